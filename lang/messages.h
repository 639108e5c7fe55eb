#pragma once
// The program's texts in German and English. The UI language is an integer: 0 is
// German, every other value English.

#include <QString>

inline constexpr int kMessageCount = 88;

inline bool isGerman(int language)
{
    return language == 0;
}

// Entry `number` (0..87) of the table of `language`; empty for a number outside it.
QString messageText(int language, int number);

// Shown when a script is run before it was saved under a proper name.
QString saveFirstMessage(int language);

// A character shown with its code, for example "Ж (U+0416)".
QString characterWithCode(char32_t character);

// Asked before a document is saved in Windows-1252, which cannot hold `character` of
// line `line` (from 1): OK saves it as UTF-8 instead, Cancel saves nothing.
QString unencodableQuestion(int language, char32_t character, qsizetype line);

// Reported when the settings file could not be written (the system's text follows).
QString settingsNotSavedMessage(int language);

// Name of the help file of the language, beside the program file.
QString helpFileName(int language);

// The one warning that has no German text.
inline QString iniCorruptedMessage()
{
    return QStringLiteral("Error! Ini file corrupted!");
}
