#include "run/consolescript.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quillora {

QString consoleScriptRunner(const QString &programFolder)
{
    const QString beside = programFolder + QStringLiteral("/quillora-script");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("quillora-script"));
}

ConsoleScriptRun runConsoleScript(const QString &runner, const QString &scriptFile, int timeOutMs,
                                  const std::function<bool()> &askStop)
{
    ConsoleScriptRun run;
    if (runner.isEmpty())
        return run;
    QProcess process;
    process.setWorkingDirectory(QFileInfo(scriptFile).absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    // "--" first: a file name that starts with "--" is still the file.
    process.start(runner, {QStringLiteral("--"), scriptFile});
    if (!process.waitForStarted())
        return run;
    run.started = true;
    QDeadlineTimer askAt(timeOutMs);
    while (!process.waitForFinished(50)) {
        if (process.state() == QProcess::NotRunning)
            break;
        QCoreApplication::processEvents();
        if (askAt.hasExpired()) {
            if (askStop && askStop()) {
                process.kill();
                process.waitForFinished();
                run.stopped = true;
                break;
            }
            askAt.setRemainingTime(timeOutMs);
        }
    }
    run.output = QString::fromUtf8(process.readAllStandardOutput()) +
                 QString::fromUtf8(process.readAllStandardError());
    run.exitCode = process.exitCode();
    return run;
}

} // namespace quillora
