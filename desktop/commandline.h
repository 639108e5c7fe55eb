#pragma once
// The program's command line: a file to open, optionally at a place, and the console
// options.
//
//   quillora FILE              quillora FILE:LINE      quillora FILE:LINE:COLUMN
//   quillora +LINE FILE        quillora --help         quillora --version
//
// A name that exists as it is (say "notes:3" on disk) is taken whole, so a file whose
// name ends in ":digits" still opens. After "--" every argument is a file name.

#include <QString>
#include <QStringList>
#include <functional>

struct CommandLine
{
    enum class Action
    {
        Open,    // open `file` (none: start empty)
        Help,    // print helpText() and end with 0
        Version, // print versionLine() and end with 0
        Error    // print `error` on the error channel and end with 2
    };
    Action action = Action::Open;
    QString file;
    int line = 0;   // 1-based; 0 for none
    int column = 0; // 1-based; 0 for none
    QString error;
};

// `arguments` without the program itself; `exists` tells whether a path names a file.
// Texts in `language` (0 German, any other value English).
CommandLine parseCommandLine(const QStringList &arguments,
                             const std::function<bool(const QString &)> &exists, int language);

QString commandLineHelp(int language);
QString commandLineVersion(const QString &version);
