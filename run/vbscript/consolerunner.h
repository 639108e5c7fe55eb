#pragma once
// What both halves of quillora-script share: the options before the file, the engine a
// file's extension asks for, and the run of one script file with WScript and the console
// dialogs. The program itself holds only these and the VBScript engine; JScript files and
// macro runs go to its full module (fullmain.cpp), loaded when such a run asks for it.

#include "run/scriptengine.h"

#include <QString>
#include <QStringList>

#include <variant>

namespace quillora {

// A run of a script file: the file and the arguments after it, which belong to the script.
struct ConsoleRun
{
    QString path;
    QStringList args;
};

// Reads the options before the file from the arguments after the program name. Returns
// the run, or the exit status when the options end the program (help, version, a usage
// error), with their text already written.
std::variant<ConsoleRun, int> parseConsoleArguments(QStringList args);

// The script language of a file, by its extension (.vbs, .js).
enum class ScriptLanguage
{
    None,
    VBScript,
    JScript
};
ScriptLanguage scriptLanguageOf(const QString &path);

// The message and exit status of a file that no engine runs.
int reportNoEngine(const QString &path);

// Reads and runs the file on `engine`; a script error goes to standard error. Returns the
// exit status: the script's WScript.Quit code, else 0, or 1 after an error, 2 when the
// file cannot be read.
int runScriptFile(ScriptEngine *engine, const ConsoleRun &run);

} // namespace quillora
