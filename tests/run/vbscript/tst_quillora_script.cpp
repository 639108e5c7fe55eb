// The console runner: output, arguments, exit status and the error line on standard error.

#include "run/consolescript.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestQuilloraScript : public QObject
{
    Q_OBJECT

private:
    struct Result
    {
        QString out;
        QString err;
        int status = -1;
    };

    QTemporaryDir dir;

    QString writeScript(const QString &name, const QString &code)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(code.toUtf8());
        return path;
    }

    static Result run(const QStringList &args, const QByteArray &input = QByteArray(),
                      const QString &locale = QString(),
                      const QString &program = QStringLiteral(QUILLORA_BINARY_DIR
                                                              "/quillora-script"))
    {
        QProcess p;
        if (!locale.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LC_ALL"), locale);
            env.insert(QStringLiteral("LANG"), locale);
            p.setProcessEnvironment(env);
        }
        p.start(program, args);
        p.waitForStarted();
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(60000);
        return {QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError()), p.exitCode()};
    }

private slots:
    // Options come before the file; after it every argument is the script's.
    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out"); // start of standard output
        QTest::addColumn<QString>("err"); // start of standard error
        QTest::addColumn<int>("status");
        QTest::newRow("help") << QStringList{"--help"} << "Usage: quillora-script"
                              << "" << 0;
        QTest::newRow("version") << QStringList{"--version"} << "quillora-script " QUILLORA_VERSION
                                 << "" << 0;
        QTest::newRow("unknown option") << QStringList{"--nope"} << ""
                                        << "--nope: unknown option" << 2;
        QTest::newRow("no file") << QStringList{} << ""
                                 << "Usage: quillora-script" << 2;
        QTest::newRow("only the end mark") << QStringList{"--"} << ""
                                           << "Usage: quillora-script" << 2;
    }
    void options()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, status);
        const Result r = run(args);
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.startsWith(out), qPrintable(r.out));
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.status, status);
        if (args == QStringList{"--help"}) {
            QVERIFY(r.out.contains(QStringLiteral("--version")));
            QVERIFY(r.out.contains(QStringLiteral("JScript")));
        }
    }

    void argumentsAfterTheFileBelongToTheScript()
    {
        const QString path = writeScript("args.vbs", "WScript.Echo WScript.Arguments(0)\n");
        QCOMPARE(run({path, "--help"}).out, QStringLiteral("--help\n"));
        QCOMPARE(run({"--", path, "x"}).out, QStringLiteral("x\n"));
    }

    // The script runner's console host: the runner beside the program, the output of both
    // channels, and a script stopped after the time-out question.
    void consoleHostRun()
    {
        using namespace quillora;
        const QString runner = consoleScriptRunner(QStringLiteral(QUILLORA_BINARY_DIR));
        QCOMPARE(runner, QStringLiteral(QUILLORA_BINARY_DIR "/quillora-script"));
        const QString path =
            writeScript("--odd name.vbs", "WScript.Echo \"Grüße\"\nMsgBox 2\nx = 1 / 0\n");
        const ConsoleScriptRun run = runConsoleScript(runner, path, 10000, nullptr);
        QVERIFY(run.started);
        QVERIFY2(run.output.startsWith(QStringLiteral("Grüße\n2\n")), qPrintable(run.output));
        QVERIFY2(run.output.contains(QStringLiteral("Division by zero")), qPrintable(run.output));
        QCOMPARE(run.exitCode, 1);

        int asked = 0;
        const ConsoleScriptRun stopped = runConsoleScript(
            runner, writeScript("loop.js", "while (true) {}\n"), 200, [&] { return ++asked == 2; });
        QVERIFY(stopped.started && stopped.stopped);
        QCOMPARE(asked, 2);
        QVERIFY(!runConsoleScript(QString(), path, 1000, nullptr).started);
    }

    void echoArgumentsAndNames()
    {
        const QString path = writeScript(
            "hello.vbs", "WScript.Echo \"Hello\", 42, 1.5\nWScript.Echo\n"
                         "WScript.Echo WScript.Arguments.Count, WScript.Arguments(0), "
                         "WScript.Arguments.Item(1)\n"
                         "For Each a In WScript.Arguments: s = s & \"<\" & a & \">\": Next\n"
                         "WScript.Echo s, WScript.ScriptName, WScript.ScriptFullName = \"" +
                             dir.filePath("hello.vbs") +
                             "\"\n"
                             "WScript.StdOut.Write \"no break\"\nWScript.StdOut.WriteLine \"!\"\n"
                             "Set d = WScript.CreateObject(\"Scripting.Dictionary\")\n"
                             "WScript.Echo TypeName(d)\n");
        const Result r = run({path, "one", "two words"});
        QCOMPARE(r.out,
                 QStringLiteral("Hello 42 1.5\n\n2 one two words\n<one><two words> hello.vbs "
                                "True\nno break!\nDictionary\n"));
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
    }

    void runtimeErrorGoesToStandardError()
    {
        const QString path =
            writeScript("fail.vbs", "WScript.Echo \"before\"\nx = 1 / 0\nWScript.Echo \"after\"\n");
        const Result r = run({path});
        QCOMPARE(r.out, QStringLiteral("before\n"));
        QCOMPARE(r.err, path + QStringLiteral(
                                   "(2, 1) Microsoft VBScript runtime error: Division by zero\n"));
        QCOMPARE(r.status, 1);
    }

    void compileErrorGoesToStandardError()
    {
        const QString path = writeScript("syntax.vbs", "WScript.Echo \"never\"\nx = 1 2\n");
        const Result r = run({path});
        QCOMPARE(r.out, QString());
        QCOMPARE(
            r.err,
            path + QStringLiteral(
                       "(2, 7) Microsoft VBScript compilation error: Expected end of statement\n"));
        QCOMPARE(r.status, 1);
    }

    void quitEndsWithItsCode()
    {
        const QString path =
            writeScript("quit.vbs", "WScript.Echo \"a\"\nWScript.Quit 3\nWScript.Echo \"b\"\n");
        const Result r = run({path});
        QCOMPARE(r.out, QStringLiteral("a\n"));
        QCOMPARE(r.status, 3);
    }

    void dialogsAndStandardInput()
    {
        const QString path =
            writeScript("ask.vbs", "r = MsgBox(\"Really?\", vbYesNo)\nname = InputBox(\"Name\")\n"
                                   "line = WScript.StdIn.ReadLine\nWScript.Echo r, name, line\n"
                                   "WScript.Echo IsEmpty(InputBox(\"more\"))\n");
        const Result r = run({path}, "Ada\nsecond line\n");
        QCOMPARE(r.out, QStringLiteral("Really?\n1 Ada second line\nTrue\n"));
        QCOMPARE(r.status, 0);
    }

    void inventorySample()
    {
        const QString sample = QStringLiteral(QUILLORA_SOURCE_DIR "/tests/run/vbscript/samples/");
        const Result r = run({sample + "inventory.vbs", dir.path()});
        QFile expected(sample + "inventory.expected");
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString::fromUtf8(expected.readAll()));
        QCOMPARE(r.status, 0);
        QFile report(dir.filePath("report.txt"));
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray text = report.readAll();
        QVERIFY(text.startsWith("Electrical (2 items)\r\n"));
        QVERIFY(text.endsWith("grand total 218.43\r\n"));
    }

    void followsTheSystemLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C is US English")
            << "C.UTF-8"
            << "1.5 1,234.50 3/5/2024 2:05:00 PM 3/5/2024 True Tuesday, March 5, 2024\n";
        QTest::newRow("German") << "de_DE.UTF-8"
                                << "1,5 1.234,50 05.03.2024 14:05:00 05.03.2024 True "
                                   "Dienstag, 5. März 2024\n";
    }

    void followsTheSystemLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QString path = writeScript(
            "locale.vbs", "d = DateSerial(2024, 3, 5)\n"
                          "WScript.Echo CStr(1.5), FormatNumber(1234.5), d + TimeSerial(14, 5, 0), "
                          "CDate(CStr(d)), IsDate(CStr(d)), FormatDateTime(d, vbLongDate)\n");
        const Result r = run({path}, QByteArray(), locale);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, expected);
    }

    // .js files and --macro runs go to the runner's module beside it; a runner without
    // the module still takes .vbs files and says why it cannot take the others.
    void runsOfTheModule_data()
    {
        QTest::addColumn<bool>("withModule");
        QTest::addColumn<QStringList>("args"); // FILE stands for the text file of the macro
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // start of standard error
        QTest::addColumn<int>("status");
        const QString noModule =
            QStringLiteral("quillora-script: cannot load its module for JScript and macros: ");
        QTest::newRow("js") << true << QStringList{"echo.js", "x"} << "js x\n"
                            << "" << 0;
        QTest::newRow("macro") << true << QStringList{"--macro", "upper.vbs", "FILE"}
                               << "changed: FILE\n"
                               << "" << 0;
        QTest::newRow("macro usage")
            << true << QStringList{"--macro", "upper.vbs"} << ""
            << "Usage: quillora-script --macro FILE.vbs|FILE.js PATH... [--dry-run]\n"
            << 2;
        QTest::newRow("vbs without the module")
            << false << QStringList{"echo.vbs", "x"} << "vbs x\n"
            << "" << 0;
        QTest::newRow("js without the module")
            << false << QStringList{"echo.js", "x"} << "" << noModule << 2;
        QTest::newRow("macro without the module")
            << false << QStringList{"--macro", "upper.vbs", "FILE"} << "" << noModule << 2;
    }
    void runsOfTheModule()
    {
        QFETCH(bool, withModule);
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, status);
        writeScript("echo.js", "WScript.Echo('js', WScript.Arguments(0));\n");
        writeScript("echo.vbs", "WScript.Echo \"vbs\", WScript.Arguments(0)\n");
        writeScript("upper.vbs", "Editor.Line(1) = UCase(Editor.Line(1))\n");
        const QString text = writeScript("text.txt", "abc\n");
        QString program = QStringLiteral(QUILLORA_BINARY_DIR "/quillora-script");
        if (!withModule) {
            const QString alone = dir.filePath("alone/quillora-script");
            QVERIFY(QDir().mkpath(dir.filePath("alone")));
            QVERIFY(QFile::exists(alone) || QFile::copy(program, alone));
            program = alone;
        }
        for (QString &arg : args)
            arg = arg == u"FILE" ? text : arg.contains(u'.') ? dir.filePath(arg) : arg;
        const Result r = run(args, QByteArray(), QString(), program);
        QCOMPARE(r.out, out.replace(QStringLiteral("FILE"), text));
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.status, status);
    }

    void usageErrors()
    {
        QCOMPARE(run({}).status, 2);
        QCOMPARE(run({dir.filePath("missing.vbs")}).status, 2);
        QCOMPARE(run({writeScript("x.txt", "x")}).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestQuilloraScript)
#include "tst_quillora_script.moc"
