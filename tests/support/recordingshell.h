#pragma once
// Shell for tests: records every launch instead of starting anything.

#include "base/shell.h"

#include <QList>

class RecordingShell : public Shell
{
public:
    struct Call
    {
        QString verb; // "open", "start", "elevated" or "desktop"
        QString target;
        QStringList arguments;
    };

    bool openDocument(const QString &pathOrUrl) override
    {
        calls.append({QStringLiteral("open"), pathOrUrl, {}});
        return succeeds;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        calls.append({QStringLiteral("start"), program, arguments});
        return succeeds;
    }
    bool startElevated(const QString &program, const QStringList &arguments) override
    {
        calls.append({QStringLiteral("elevated"), program, arguments});
        return succeeds;
    }

    bool openWithDesktopHandler(const QString &address) override
    {
        calls.append({QStringLiteral("desktop"), address, {}});
        return succeeds;
    }

    QList<Call> calls;
    // What every launch reports: false acts as a program that could not be started.
    bool succeeds = true;
};
