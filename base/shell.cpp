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
