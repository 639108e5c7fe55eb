#pragma once
// The product's own facts: its web addresses, the version the build stamps into the
// program, the update installer's name and arguments, and where the help pages are.

#include <QString>
#include <QStringList>

// The product's web sites, German and English, each ending with "/". Every address the
// program opens on them is built from these two.
inline constexpr char16_t kGermanSite[] = u"https://www.quillora.de/";
inline constexpr char16_t kEnglishSite[] = u"https://www.quillora.com/";

// The home page of the language's site (0 German, else English).
QString productHomePage(int language);
// The news page "news.html" of the language's site.
QString productNewsPage(int language);
// What the update command says: updates come through the package manager.
QString updateThroughPackagesMessage(int language);

// Shown instead of a version when the program carries none; the same in both languages.
inline constexpr char16_t kNoVersionText[] = u"Nicht vefügbar";

// A version as four decimal numbers joined by "." ("4.8" gives "4.8.0.0"); kNoVersionText
// when `stamped` is empty, is not made of one to four numbers from 0 to 65535, or has
// more parts.
QString versionText(QStringView stamped);

// The version text of the running program, from the version the build stamped in.
// `programFile` names the program, as the caller knows it; the version is the running
// program's own whichever file is named.
QString GetFileVersionText(const QString &programFile);

// The update installer beside the program file.
inline constexpr char16_t kInstallerName[] = u"Install.exe";

// The installer's six arguments: the product word "QuilloraD", the version text, the
// program file's name, the UI language in decimal ("0" German, "1" English), the mode
// word and the check word (either may be empty, and is then passed as an empty argument).
QStringList updateInstallerArguments(const QString &version, const QString &programName,
                                     int language, const QString &mode, const QString &check);

// The folder of the help pages below the program's folder: "help" beside the program (the
// build tree) or "../share/quillora/help" (an installed program); empty when neither is
// there. It holds one folder per language, "de" and "en".
QString helpRootFolder(const QString &programFolder);

// The language folder ("de" or "en") of a help file name: "quillor.chm" is the German
// help, any other name the English one.
QString helpLanguageFolder(const QString &helpFile);

// The page of a help topic: topic 0 is the contents "index.html", topic 60 the multi-file
// search page; an unknown topic gives the contents.
QString helpTopicPage(int topic);
