// The two message tables, entry N of each is message N. Texts stand letter for letter,
// runs of spaces included; entry 69 is reserved and keeps the numbering.

#include "lang/messages.h"

#include <array>

namespace {

const std::array<QStringView, kMessageCount> kGerman = {
    u"Untitled",                                      // 0
    u"Geändert",                                      // 1
    u"Zeile. %3d   Spalte: %3d",                      // 2
    u"Kein Sourcecode verfügbar",                     // 3
    u"Keine Übereinstimmung gefunden",                // 4
    u"Änderungen speichern?",                         // 5
    u"Keine FTP Logindaten",                          // 6
    u"Löschen?",                                      // 7
    u"Silbentrennung entfernt.",                      // 8
    u"Online Update fehlgeschlagen oder abgebrochen", // 9
    u"Ungültige Zeilennummer",                        // 10
    u"Ok zum Übeschreiben",                           // 11
    u"Zeilennummer eingeben",                         // 12
    u"Ungültige Eingabe",                             // 13
    u"Online Update fehlgeschlagen oder abgebrochen", // 14
    u"Neu",                                           // 15
    u"Datei öffnen",                                  // 16
    u"Datei speichern",                               // 17
    u"Drucken",                                       // 18
    u"Ausschneiden",                                  // 19
    u"Kopieren",                                      // 20
    u"Einfügen",                                      // 21
    u"Rückgängig",                                    // 22
    u"Löschen",                                       // 23
    u"Suchen",                                        // 24
    u"Alles auswählen",                               // 25
    u"Groß- zu Kleinschreibung",                      // 26
    u"Klein- zu Großschreibung",                      // 27
    u"Zeilenbegrenzung ein/aus",                      // 28
    u"Im Browser ausführen",                          // 29
    u"Code ausführen",                                // 30
    u"FTP Verzeichnis öffnen",                        // 31
    u"Codevorschläge bearbeiten",                     // 32
    u"Hilfe",                                         // 33
    u"Über...",                                       // 34
    u"Beenden",                                       // 35
    u"Datei",                                         // 36
    u"Bearbeiten",                                    // 37
    u"Optionen",                                      // 38
    u"Sprache",                                       // 39
    u"Hilfe",                                         // 40
    u"Neu",                                           // 41
    u"Öffnen",                                        // 42
    u"Speichern",                                     // 43
    u"Speichern unter...",                            // 44
    u"Als ASCII Text speichern",                      // 45
    u"Drucken",                                       // 46
    u"Beenden",                                       // 47
    u"Rückgängig             STG+Z",                  // 48
    u"Alles auswählen       STRG+A",                  // 49
    u"Ausschneiden          STRG+X",                  // 50
    u"Kopieren                  STRG+C",              // 51
    u"Einfügen                  STRG+V",              // 52
    u"Suchen...",                                     // 53
    u"Nächsten suchen",                               // 54
    u"Ersetzen",                                      // 55
    u"Multi Suchen/Ersetzen",                         // 56
    u"Gehe zu Zeile",                                 // 57
    u"Silbentrennung entfernen",                      // 58
    u"Zeilenumbruch entfernen",                       // 59
    u"Zeilenumbruch einfügen",                        // 60
    u"Groß- zu Kleinschreibung",                      // 61
    u"Klein- zu Großschreibung",                      // 62
    u"Syntaxschema",                                  // 63
    u"Codevorschläge bearbeiten",                     // 64
    u"Einstellungen",                                 // 65
    u"FTP",                                           // 66
    u"Code ausführen",                                // 67
    u"Nach Updates suchen",                           // 68
    u"",                                              // 69
    u"Englisch",                                      // 70
    u"Deutsch",                                       // 71
    u"Inhalt",                                        // 72
    u"Über...",                                       // 73
    u"Rückgängig",                                    // 74
    u"Kopieren",                                      // 75
    u"Ausschneiden",                                  // 76
    u"Einfügen",                                      // 77
    u"Suchen",                                        // 78
    u"Nächsten suchen",                               // 79
    u"Ersetzen",                                      // 80
    u"Lesezeichen setzen...",                         // 81
    u"Gehe zu Lesezeichen...",                        // 82
    u"Lesezeichen löschen",                           // 83
    u"Lesezeichen",                                   // 84
    u"STRG+Leertaste für Codevorschläge",             // 85
    u"Letzte Dateien löschen...",                     // 86
    u"Keine Codevorschläge verfügbar.",               // 87
};

const std::array<QStringView, kMessageCount> kEnglish = {
    u"Untitled",                                   // 0
    u"Changed",                                    // 1
    u"Row %3d   Col: %3d",                         // 2
    u"No source available!",                       // 3
    u"No matches found!",                          // 4
    u"Save change?",                               // 5
    u"No FTP login data!",                         // 6
    u"Delete?",                                    // 7
    u"Hypenation removed.",                        // 8
    u"Online update failed or cancelled by user!", // 9
    u"Invalid line number",                        // 10
    u"OK to overwrite",                            // 11
    u"Enter line number:",                         // 12
    u"Invalid input!",                             // 13
    u"Online update failed or cancelled by user!", // 14
    u"New",                                        // 15
    u"Open file",                                  // 16
    u"Save file",                                  // 17
    u"Print",                                      // 18
    u"Cut",                                        // 19
    u"Copy",                                       // 20
    u"Paste",                                      // 21
    u"Undo",                                       // 22
    u"Delete",                                     // 23
    u"Find",                                       // 24
    u"Select all",                                 // 25
    u"Upper- to Lowercase",                        // 26
    u"Lower- to Uppercase",                        // 27
    u"WordWrap on/off",                            // 28
    u"Execute in browser",                         // 29
    u"Execute code",                               // 30
    u"Open FTP resource",                          // 31
    u"Edit code proposals",                        // 32
    u"Help",                                       // 33
    u"About Corvane...",                           // 34
    u"Quit",                                       // 35
    u"File",                                       // 36
    u"Edit",                                       // 37
    u"Options",                                    // 38
    u"Language",                                   // 39
    u"Help",                                       // 40
    u"New",                                        // 41
    u"Open",                                       // 42
    u"Save",                                       // 43
    u"Save as...",                                 // 44
    u"Save as Ascii file",                         // 45
    u"Print",                                      // 46
    u"Quit",                                       // 47
    u"Undo                        CTRL+Z",         // 48
    u"Select all                  CTRL+A",         // 49
    u"Cut                           CTRL+X",       // 50
    u"Copy                        CTRL+C",         // 51
    u"Paste                       CTRL+V",         // 52
    u"Find...",                                    // 53
    u"Find next",                                  // 54
    u"Replace...",                                 // 55
    u"Multi Searchn/Replace...",                   // 56
    u"Goto line...",                               // 57
    u"Remove hyphenation",                         // 58
    u"Remove LF",                                  // 59
    u"Insert LF",                                  // 60
    u"Upper- to lowercase",                        // 61
    u"Lower- to uppercase",                        // 62
    u"Syntax scheme",                              // 63
    u"Edit code proposals",                        // 64
    u"Settings",                                   // 65
    u"Ftp",                                        // 66
    u"Execute code",                               // 67
    u"Check for updates",                          // 68
    u"",                                           // 69
    u"English",                                    // 70
    u"German",                                     // 71
    u"Content",                                    // 72
    u"About...",                                   // 73
    u"Undo",                                       // 74
    u"Copy",                                       // 75
    u"Cut",                                        // 76
    u"Paste",                                      // 77
    u"Find",                                       // 78
    u"Find next",                                  // 79
    u"Replace",                                    // 80
    u"Set Bookmark...",                            // 81
    u"Goto Bookmark...",                           // 82
    u"Clear Bookmarks",                            // 83
    u"Bookmark",                                   // 84
    u"CTRL+Space for code proposals",              // 85
    u"Clear last files...",                        // 86
    u"No code proposals available.",               // 87
};

} // namespace

QString messageText(int language, int number)
{
    if (number < 0 || number >= kMessageCount)
        return QString();
    return (isGerman(language) ? kGerman : kEnglish)[number].toString();
}

QString saveFirstMessage(int language)
{
    return isGerman(language)
               ? QStringLiteral("Bitte speichern Sie zuerst den Code mit richtiger Dateiendung.")
               : QStringLiteral("Please save the code with proper file extension first.");
}

QString characterWithCode(char32_t character)
{
    return QString::fromUcs4(&character, 1) + QStringLiteral(" (U+") +
           QString::number(uint(character), 16).toUpper().rightJustified(4, u'0') + u')';
}

QString unencodableQuestion(int language, char32_t character, qsizetype line)
{
    const QString shown = characterWithCode(character);
    return (isGerman(language)
                ? QStringLiteral("Windows-1252 kann das Zeichen %1 in Zeile %2 nicht aufnehmen; "
                                 "es würde zu \"?\". Stattdessen als UTF-8 speichern?")
                : QStringLiteral("Windows-1252 cannot hold the character %1 in line %2; it would "
                                 "become \"?\". Save as UTF-8 instead?"))
        .arg(shown)
        .arg(line);
}

QString settingsNotSavedMessage(int language)
{
    return isGerman(language) ? QStringLiteral("Die Einstellungen wurden nicht gespeichert.")
                              : QStringLiteral("The settings were not saved.");
}

QString helpFileName(int language)
{
    return isGerman(language) ? QStringLiteral("quillor.chm") : QStringLiteral("quillora.chm");
}
