#pragma once
// Runs small scripts for the tests: Echo output is collected line by line, MsgBox and
// InputBox answer from a script of answers.

#include "run/vbscript/vbscriptengine.h"

#include <QObject>
#include <QStringList>
#include <QTest>
#include <QVariantList>

class EchoSink : public QObject
{
    Q_OBJECT
public:
    QStringList lines;
    Q_INVOKABLE void Echo(const QVariantList &args)
    {
        QStringList parts;
        for (const QVariant &a : args)
            parts << a.toString();
        lines << parts.join(u' ');
    }
};

class ScriptedHost : public quillora::ScriptHost
{
public:
    QStringList prompts;
    QList<int> buttons;
    QStringList inputs;
    int messageBox(const QString &prompt, int b, const QString &) override
    {
        prompts << prompt;
        buttons << b;
        return 1;
    }
    QString inputBox(const QString &prompt, const QString &, const QString &,
                     bool *cancelled) override
    {
        prompts << prompt;
        *cancelled = inputs.isEmpty();
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
};

// Runs the code in a fresh engine with a WScript object that has Echo. Returns the echoed
// lines joined by "|"; on an error, "error N" after the output.
struct ScriptRun
{
    quillora::VBScriptEngine engine;
    EchoSink sink;
    ScriptedHost host;
    ScriptRun()
    {
        engine.addObject(QStringLiteral("WScript"), &sink);
        engine.setHost(&host);
    }
    // Ends with a reset, as the runner does: the terminators of objects still referenced
    // at the end run then.
    QString run(const QString &code)
    {
        const bool ok = engine.addCode(code);
        const int number = engine.error().number;
        engine.reset();
        QString out = sink.lines.join(u'|');
        if (!ok)
            out += (out.isEmpty() ? QString() : QStringLiteral("|")) +
                   QStringLiteral("error %1").arg(number);
        return out;
    }
};

// The data columns of a table of scripts: each row is (name, (code, expected output)).
inline void scriptTable(const QList<std::pair<const char *, std::pair<QString, QString>>> &rows)
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    for (const auto &r : rows)
        QTest::newRow(r.first) << r.second.first << r.second.second;
}

// The test of such a row: the script, run as `ScriptRun` runs it, gives the expected output.
inline void checkScriptOutput()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);
    ScriptRun s;
    QCOMPARE(s.run(code), expected);
}
