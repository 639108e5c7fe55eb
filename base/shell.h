#pragma once
// Every launch of another program or address goes through this interface. Arguments
// always travel as a list; no code path builds a command string for a shell.

#include <QString>
#include <QStringList>
#include <QUrl>

class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a document, folder or address with its default program.
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Starts a program detached.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Starts a program with administrator rights where the system offers a way.
    virtual bool startElevated(const QString &program, const QStringList &arguments) = 0;
    // Hands an address to the desktop's handler for its scheme, as "gio open" does (for
    // ftp:// a file manager through GVfs). False when no handler took it.
    virtual bool openWithDesktopHandler(const QString &address) = 0;
};

class SystemShell : public Shell
{
public:
    // The address openDocument hands on: an existing file as a file address, anything else
    // read as an address the way a user would type it.
    static QUrl urlFor(const QString &pathOrUrl);

    bool openDocument(const QString &pathOrUrl) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool startElevated(const QString &program, const QStringList &arguments) override;
    bool openWithDesktopHandler(const QString &address) override;
};
