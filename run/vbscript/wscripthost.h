#pragma once
// The objects the console runner gives scripts: WScript with Arguments, StdIn, StdOut and
// StdErr, plus the console form of MsgBox and InputBox. Language-neutral: QObjects that any
// engine can expose.

#include "run/scriptengine.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>

#include <cstdio>

namespace quillora {

class ConsoleArguments : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int length READ Count)
public:
    explicit ConsoleArguments(QStringList args, QObject *parent = nullptr)
        : QObject(parent), m_args(std::move(args))
    {
    }
    Q_INVOKABLE int Count() const { return int(m_args.size()); }
    Q_INVOKABLE QString Item(int index) const;

private:
    QStringList m_args;
};

class ConsoleStream : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool AtEndOfStream READ atEndOfStream)
public:
    ConsoleStream(FILE *file, QObject *parent = nullptr) : QObject(parent), m_file(file) {}
    Q_INVOKABLE void Write(const QString &text);
    Q_INVOKABLE void WriteLine(const QVariantList &text);
    Q_INVOKABLE void WriteBlankLines(int count);
    Q_INVOKABLE QString ReadLine();
    Q_INVOKABLE QString ReadAll();
    bool atEndOfStream();

private:
    FILE *m_file;
};

class WScriptObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *Arguments READ arguments)
    Q_PROPERTY(QObject *StdOut READ stdOut)
    Q_PROPERTY(QObject *StdErr READ stdErr)
    Q_PROPERTY(QObject *StdIn READ stdIn)
    Q_PROPERTY(QString ScriptName READ scriptName)
    Q_PROPERTY(QString ScriptFullName READ scriptFullName)
    Q_PROPERTY(QString Name READ name)
public:
    WScriptObject(ScriptEngine *engine, const QString &scriptPath, const QStringList &args);

    Q_INVOKABLE void Echo(const QVariantList &args);
    Q_INVOKABLE void Quit(const QVariantList &args);
    Q_INVOKABLE void Sleep(int milliseconds);

    QObject *arguments() { return &m_arguments; }
    QObject *stdOut() { return &m_stdOut; }
    QObject *stdErr() { return &m_stdErr; }
    QObject *stdIn() { return &m_stdIn; }
    QString scriptName() const;
    QString scriptFullName() const;
    QString name() const { return QStringLiteral("Windows Script Host"); }

    bool quitRequested() const { return m_quit; }
    int exitCode() const { return m_exitCode; }

private:
    ScriptEngine *m_engine;
    QString m_path;
    ConsoleArguments m_arguments;
    ConsoleStream m_stdOut{stdout};
    ConsoleStream m_stdErr{stderr};
    ConsoleStream m_stdIn{stdin};
    bool m_quit = false;
    int m_exitCode = 0;
};

// MsgBox writes its prompt to standard output and answers OK; InputBox reads a line.
class ConsoleHost : public ScriptHost
{
public:
    int messageBox(const QString &prompt, int buttons, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     bool *cancelled) override;
};

// Reads one line from a C stream without its line break; false at end of input.
bool readConsoleLine(FILE *file, QString *line);
void writeConsole(FILE *file, const QString &text);

} // namespace quillora
