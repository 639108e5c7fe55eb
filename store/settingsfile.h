#pragma once
// The settings file "Velmora.ini" in the data folder: 16 positional lines, stored
// scrambled. Line by line:
//   0 font name, 1 font size, 2 line numbers ("false" is off), 3 FTP user, 4 FTP password,
//   5 FTP server, 6 FTP login mode ("Anonymous" / "UserLogin"), 7 browser program,
//   8-11 keyword, parameter, comment and symbol colour (Windows colour values 0x00BBGGRR
//   in decimal), 12-13 reserved (carried through unchanged), 14 UI language (0 German,
//   anything else English), 15 flag ("true" / "false").
// A missing line reads as empty. The main window reads the file at start and after the
// settings dialog; the dialog writes all lines, a language switch lines 12 to 15.

#include "base/safewrite.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QDebug;

inline constexpr int kSettingsLineCount = 16;

enum SettingsLine
{
    FontNameLine = 0,
    FontSizeLine = 1,
    LineNumbersLine = 2,
    FtpUserLine = 3,
    FtpPasswordLine = 4,
    FtpServerLine = 5,
    FtpLoginLine = 6,
    BrowserLine = 7,
    FirstColourLine = 8, // keyword, parameter, comment, symbol
    Reserved1Line = 12,
    Reserved2Line = 13,
    LanguageLine = 14,
    FlagLine = 15,
};

// Index into Settings::colours and SetupFields::colours, in file order.
enum ColourKind
{
    KeywordColour,
    ParameterColour,
    CommentColour,
    SymbolColour
};
inline constexpr int kColourCount = 4;

inline constexpr std::array<int, kColourCount> kDefaultColours = {
    0x00800000, // keyword: navy
    0x00000080, // parameter: maroon
    0x00808080, // comment: grey
    0x00800000, // symbol: navy
};

// The one warning a bad settings file gives, the same in both languages.
inline constexpr char16_t kSettingsCorruptedText[] = u"Error! Ini file corrupted!";

// dataFolder (ending with "/") + "Velmora.ini".
QString settingsFilePath(const QString &dataFolder);

// The values the main window holds program-wide, with the values they have when no
// settings file exists.
struct Settings
{
    QString fontName = QStringLiteral("Courier New");
    int fontSize = 9;
    bool lineNumbers = true;
    QString ftpUser;
    QString ftpPassword;
    QString ftpServer;
    QString ftpLoginMode = QStringLiteral("Anonymous");
    QString browserPath;
    std::array<int, kColourCount> colours = kDefaultColours;
    QString reserved1;
    QString reserved2;
    int language = 0;
    bool flag = true;

    bool operator==(const Settings &) const = default;
};
QDebug operator<<(QDebug debug, const Settings &settings);

// The integer conversion of the settings file: optional leading spaces, an optional sign,
// then decimal digits, or hexadecimal digits after "$" or "0x". Nothing may follow.
// Decimal values must fit 32 bits; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is
// -1). Anything else is nullopt.
std::optional<int> StrToInt(QStringView text);

// The name of the system's language as the system spells it ("Deutsch" on a German
// system).
QString SystemLanguageName();

enum class SettingsRead
{
    NoFile,     // nothing changed but the FTP values (cleared, login "Anonymous")
    Read,       // every value of the file applied
    Corrupted,  // line 14 is not an integer; the file has been deleted
    Unreadable, // the file could not be read (no permission, an I/O error): it stays
};

struct SettingsReadResult
{
    SettingsRead status = SettingsRead::NoFile;
    QString detail; // the system's text (unreadable) or the bad line (corrupted)
};

// Applies the settings file of `dataFolder` to `settings`. The FTP user, password and
// server are cleared and the login mode set to "Anonymous" first. A blank font name, size
// or colour line keeps the value; a size that is not an integer between 1 and 500 gives 9;
// the colour lines stop silently at the first that is not an integer; a blank language
// line takes German when `systemLanguageName` contains "Deutsch", else English; the flag
// is read only from a file of 16 lines or more.
// Corrupted: the values read before the failure stay set, the file is deleted; the caller
// shows kSettingsCorruptedText and does not apply the colours. Unreadable: nothing is
// applied and the file is kept, since nothing is known to be wrong with it.
SettingsReadResult ReadSettingsFile(const QString &dataFolder, Settings &settings,
                                    const QString &systemLanguageName);

struct SettingsUpdate
{
    FileResult read;  // the existing file could not be read; nothing was written
    FileResult write; // the write failed and was cleaned up; the earlier file is whole
};

// Stores the language, the flag and the reserved values (lines 12 to 15) of `settings`,
// keeping every other line of the file. A missing file is created with a single space in
// each of lines 0 to 11.
SettingsUpdate UpdateSettingsFile(const QString &dataFolder, const Settings &settings);

// The clean-up after a failed write of one of the program's own files: `path` ending in
// ".ini" (any case) means the settings file, anything else the recent files list
// "files.txt", both in `dataFolder`. Only the temporary files a broken write of that file
// left behind are removed; the file itself is never deleted, since a failed safe write
// leaves it whole.
void DeleteFailedFile(const QString &dataFolder, const QString &path);

// The settings dialog's fields as texts, exactly as its controls hold them; the defaults
// are the dialog's design texts.
struct SetupFields
{
    QString fontName;
    QString fontSize;
    bool lineNumbers = true;
    QString user = QStringLiteral("ftp");
    QString password = QStringLiteral("NoWord");
    QString server = QStringLiteral("ftp.gnu.org");
    bool anonymous = true;
    QString browser;
    std::array<QString, kColourCount> colours;
    QString reserved1;
    QString reserved2;

    SetupFields();
    bool operator==(const SetupFields &) const = default;
};

// Fills `fields` from the settings file's lines as the dialog does when shown: the font
// name always (also empty), the size or else `currentFontSize`, user, password, server
// and browser only from non-blank lines (a blank line keeps the field's text), the login
// from line 6 ("UserLogin" unticks anonymous), colours from non-blank lines or else the
// default colours, and the reserved lines.
void LoadSetupLines(const QStringList &lines, int currentFontSize, SetupFields &fields);

// The 16 lines the dialog writes: its fields as they are, unvalidated, the UI language in
// decimal and "false" as the flag.
QStringList SetupFileLines(const SetupFields &fields, int language);
