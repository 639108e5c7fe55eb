#pragma once
// The console form of macros: quillora-script --macro FILE.vbs|FILE.js PATH... [--dry-run]
// runs the macro with `Editor` on each file, read the way the editor reads it, and writes
// a file back (through the safe writer) only when its bytes changed. One line per file
// tells what happened; the exit code is 1 when any file failed.

#include "base/safewrite.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace quillora {

class ScriptHost;
class ScriptEngine;

// The engine for a script file, chosen by its extension (.vbs, .js); null when none runs it.
std::unique_ptr<ScriptEngine> engineForScript(const QString &path);

struct MacroConsoleOptions
{
    QString script;
    QStringList paths; // files, or folders whose files (not below) are taken
    bool dryRun = false;
    // Writes a changed file; tests put a failing one in.
    std::function<SaveResult(const QString &, const QByteArray &)> write;
};

// The arguments after the program name. No value when they do not ask for a macro run
// (they do not start with --macro); `error` is set when they ask for one but are wrong.
std::optional<MacroConsoleOptions> parseMacroArguments(const QStringList &args, QString *error);

// Runs the macro over every file; MsgBox and InputBox go to `host`. Returns the exit code:
// 0 all went well, 1 some file failed, 2 the macro itself could not be read.
int runMacroOverFiles(const MacroConsoleOptions &options, ScriptHost *host, FILE *out, FILE *err);

} // namespace quillora
