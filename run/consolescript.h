#pragma once
// The console host of the script runner: a .vbs or .js file runs in its own process with
// quillora-script, as the Windows Script Host runs it, and what it writes (its messages,
// echoes and errors) is collected for the result window.

#include <QString>

#include <functional>

namespace quillora {

struct ConsoleScriptRun
{
    bool started = false; // false: the console runner could not be started
    bool stopped = false; // ended by the user after the time-out question
    QString output;       // standard output, then standard error
    int exitCode = 0;
};

// quillora-script beside `programFolder` (the build tree, an installed bin folder), else on
// the PATH; empty when there is none.
QString consoleScriptRunner(const QString &programFolder);

// Runs `scriptFile` with `runner`, with the file's folder as working folder and no input.
// Events are processed while it runs, so the window stays painted; every `timeOutMs`
// `askStop` is asked, and when it answers true the process is ended.
ConsoleScriptRun runConsoleScript(const QString &runner, const QString &scriptFile, int timeOutMs,
                                  const std::function<bool()> &askStop);

} // namespace quillora
