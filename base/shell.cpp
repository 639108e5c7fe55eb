#include "base/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

QUrl SystemShell::urlFor(const QString &pathOrUrl)
{
    return QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl)
                                        : QUrl::fromUserInput(pathOrUrl);
}

bool SystemShell::openDocument(const QString &pathOrUrl)
{
    return QDesktopServices::openUrl(urlFor(pathOrUrl));
}

bool SystemShell::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool SystemShell::startElevated(const QString &program, const QStringList &arguments)
{
    const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    if (pkexec.isEmpty())
        return startProgram(program, arguments);
    return QProcess::startDetached(pkexec, QStringList{program} + arguments);
}

bool SystemShell::openWithDesktopHandler(const QString &address)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return false;
    // gio hands the address over and ends at once; its exit status says whether a handler
    // took it. The wait is bounded so a hanging desktop service cannot hold the window.
    QProcess process;
    process.start(gio, {QStringLiteral("open"), address});
    if (!process.waitForFinished(5000))
        return process.state() != QProcess::NotRunning;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
