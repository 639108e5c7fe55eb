// The engine interface: Run with string arguments, Reset, the error and its listener, host
// dialogs, host objects, interruption from another thread, and input that must not crash.

#include "scriptrun.h"

#include "run/vbscript/interp.h" // Limits
#include "tests/support/timebudget.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <thread>

using quillora::ScriptError;
using quillora::VBScriptEngine;

class HostObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
public:
    QString m_title = QStringLiteral("start");
    QString title() const { return m_title; }
    void setTitle(const QString &t) { m_title = t; }
    Q_INVOKABLE int add(int a, int b) { return a + b; }
    Q_INVOKABLE QString upper(const QString &s) { return s.toUpper(); }
};

class TestVbsEngine : public QObject
{
    Q_OBJECT

private slots:
    void language()
    {
        VBScriptEngine e;
        QCOMPARE(e.language(), QStringLiteral("VBScript"));
    }

    void runPassesStrings()
    {
        VBScriptEngine e;
        QVERIFY(e.addCode("Function Add(a, b)\n Add = a + b\nEnd Function\n"
                          "Function Kind(a): Kind = TypeName(a): End Function"));
        QVariant r;
        QVERIFY(e.run("Add", {"2", "3"}, &r));
        QCOMPARE(r, QVariant(QStringLiteral("23"))); // strings: + joins them
        QVERIFY(e.run("Kind", {"7"}, &r));
        QCOMPARE(r.toString(), QStringLiteral("String"));
        QVERIFY(e.run("add", {"1", "1"}, &r)); // names ignore case
    }

    void runResultTypes()
    {
        VBScriptEngine e;
        QVERIFY(
            e.addCode("Function N(): N = 6 * 7: End Function\nFunction D(): D = 1.5: End Function\n"
                      "Function B(): B = True: End Function\nSub S(): End Sub\n"
                      "Function Dt(): Dt = DateSerial(2024, 1, 2): End Function"));
        QVariant r;
        QVERIFY(e.run("N", {}, &r));
        QCOMPARE(r, QVariant(42));
        QVERIFY(e.run("D", {}, &r));
        QCOMPARE(r, QVariant(1.5));
        QVERIFY(e.run("B", {}, &r));
        QCOMPARE(r, QVariant(true));
        r = QVariant(1);
        QVERIFY(e.run("S", {}, &r));
        QVERIFY(!r.isValid());
        QVERIFY(e.run("Dt", {}, &r));
        QCOMPARE(r.toString(), QStringLiteral("1/2/2024"));
    }

    void runCallsAcrossAddCode()
    {
        VBScriptEngine e;
        QVERIFY(e.addCode("Dim counter\nFunction Base(x): Base = x * 10: End Function"));
        QVERIFY(e.addCode(
            "Function Uses(x): counter = counter + 1: Uses = Base(x) + counter: End Function"));
        QVariant r;
        QVERIFY(e.run("Uses", {"2"}, &r));
        QCOMPARE(r.toInt(), 21);
        QVERIFY(e.run("Uses", {"2"}, &r));
        QCOMPARE(r.toInt(), 22);
        QVERIFY(e.run("Base", {"3"}, &r));
        QCOMPARE(r.toInt(), 30);
    }

    void callsASubOfALaterText()
    {
        ScriptRun s;
        QVERIFY(s.engine.addCode("Sub First\n Dim unknownArg\n Later\n Third unknownArg\nEnd Sub"));
        QVERIFY(s.engine.addCode("Sub Later: WScript.Echo \"later\": End Sub\n"
                                 "Sub Third(a): WScript.Echo \"third\", IsEmpty(a): End Sub"));
        QVERIFY(s.engine.run("First", {}, nullptr));
        QCOMPARE(s.sink.lines, QStringList({"later", "third True"}));
    }

    void runErrors()
    {
        VBScriptEngine e;
        QVERIFY(e.addCode("Function F(a): F = 1 / a: End Function"));
        QVERIFY(!e.run("F", {}, nullptr));
        QCOMPARE(e.error().number, 450);
        QVERIFY(!e.run("F", {"0"}, nullptr));
        QCOMPARE(e.error().number, 11);
        QCOMPARE(e.error().line, 1);
        QCOMPARE(e.error().text, QStringLiteral("Function F(a): F = 1 / a: End Function"));
        QVERIFY(!e.run("Missing", {}, nullptr));
        QCOMPARE(e.error().number, 35);
        e.clearError();
        QVERIFY(!e.error().isSet());
    }

    void failedCompileLeavesNoProcedureBehind()
    {
        VBScriptEngine e;
        QVERIFY(e.addCode("Function Keep(): Keep = 1: End Function"));
        // the error comes from name resolution, after the procedures were seen
        QVERIFY(!e.addCode("Function Keep(): Keep = 2: End Function\n"
                           "Function Gone(): End Function\n"
                           "Class K: Sub M: For M = 1 To 2: Next: End Sub: End Class"));
        QCOMPARE(e.error().number, 1040);
        QVariant r;
        QVERIFY(e.run("Keep", {}, &r));
        QCOMPARE(r.toInt(), 1);
        QVERIFY(!e.run("Gone", {}, &r));
        QVERIFY(!e.addCode("Set k = New K"));
        QCOMPARE(e.error().number, 506);
    }

    void resetDiscardsEverything()
    {
        VBScriptEngine e;
        QVERIFY(e.addCode("Dim gv: gv = 5\nFunction G(): G = gv: End Function"));
        QVariant r;
        QVERIFY(e.run("G", {}, &r));
        QCOMPARE(r.toInt(), 5);
        e.reset();
        QVERIFY(!e.run("G", {}, &r));
        QVERIFY(e.addCode("Function G(): G = IsEmpty(gv): End Function"));
        QVERIFY(e.run("G", {}, &r));
        QCOMPARE(r, QVariant(true));
    }

    void errorListenerRunsInsideTheFailingCall()
    {
        VBScriptEngine e;
        QList<ScriptError> seen;
        bool returned = false;
        e.setErrorListener([&](const ScriptError &err) {
            QVERIFY(!returned);
            QCOMPARE(e.error().number, err.number);
            seen << err;
        });
        returned = e.addCode("x = 1\nIf x Then\n");
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].number, 1014);
        QVERIFY(e.addCode("Sub Boom: Err.Raise 9: End Sub"));
        returned = false;
        returned = e.run("Boom", {}, nullptr);
        QVERIFY(!returned);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].number, 9);
        QCOMPARE(seen[1].description, QStringLiteral("Subscript out of range"));
    }

    void hostDialogs()
    {
        ScriptRun s;
        s.host.inputs << QStringLiteral("Ada");
        const QString out = s.run("r = MsgBox(\"Proceed?\", vbYesNo + vbQuestion, \"T\")\n"
                                  "n = InputBox(\"Name?\")\nc = InputBox(\"Again?\")\n"
                                  "WScript.Echo r, n, IsEmpty(c)");
        QCOMPARE(out, QStringLiteral("1 Ada True"));
        QCOMPARE(s.host.prompts, QStringList({"Proceed?", "Name?", "Again?"}));
        QCOMPARE(s.host.buttons, QList<int>({36}));
    }

    void hostObject()
    {
        ScriptRun s;
        HostObject host;
        s.engine.addObject(QStringLiteral("App"), &host);
        QCOMPARE(
            s.run("WScript.Echo App.Title, App.Add(2, 3), App.Upper(\"ab\")\nApp.Title = \"new\""),
            QStringLiteral("start 5 AB"));
        QCOMPARE(host.m_title, QStringLiteral("new"));
    }

    void interruptEndlessLoop()
    {
        VBScriptEngine e;
        std::atomic<bool> done{false};
        std::thread watchdog([&] {
            while (!done.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                e.requestInterrupt();
            }
        });
        QElapsedTimer t;
        t.start();
        const bool ok = e.addCode("Do: Loop");
        done = true;
        watchdog.join();
        QVERIFY(!ok);
        QCOMPARE(e.error().number, int(0x80004004));
        QVERIFY(t.elapsed() < 10000);
        // the engine works again afterwards
        QVERIFY(e.addCode("x = 1"));
    }

    void interruptIsNotCaughtByResumeNext()
    {
        VBScriptEngine e;
        std::thread t([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            e.requestInterrupt();
        });
        const bool ok = e.addCode("On Error Resume Next\nDo\n x = x + 1\nLoop");
        t.join();
        QVERIFY(!ok);
        QCOMPARE(e.error().number, int(0x80004004));
    }

    void deepRecursionIsError28()
    {
        VBScriptEngine e;
        QVERIFY(!e.addCode("Function Down(n)\n Down = Down(n + 1) + 1\nEnd Function\nx = Down(0)"));
        QCOMPARE(e.error().number, 28);
        QVERIFY(!e.addCode(
            "Sub A(n): B n: End Sub\nSub B(n): Dim s: s = \"x\" & n: A n + 1: End Sub\nA 0"));
        QCOMPARE(e.error().number, 28);
        QVERIFY(!e.addCode("Class C\n Public Property Get P(): P = Me.P: End Property\nEnd Class\n"
                           "Set o = New C: x = o.P"));
        QCOMPARE(e.error().number, 28);
        QVERIFY(e.addCode("x = 1"));
    }

    void hostileInputDoesNotCrash_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("nested parentheses")
            << "x = " + QString(20000, u'(') + "1" + QString(20000, u')');
        QTest::newRow("long operator chain") << "x = 1" + QStringLiteral(" + 1").repeated(100000);
        QTest::newRow("nested ifs") << QStringLiteral("If 1 Then\n").repeated(5000) + "x = 1";
        QTest::newRow("unary chain") << "x = " + QString(50000, u'-') + "1";
        QTest::newRow("Not chain") << "x = " + QStringLiteral("Not ").repeated(50000) + "1";
        QTest::newRow("member chain") << "x = a" + QStringLiteral(".b").repeated(50000);
        QTest::newRow("call chain") << "x = a" + QStringLiteral("(1)").repeated(50000);
        QTest::newRow("huge array") << "ReDim a(2000000000)";
        QTest::newRow("huge string") << "s = Space(2000000000)";
        QTest::newRow("doubling string") << "s = \"ab\": Do: s = s & s: Loop";
        QTest::newRow("nested arrays") << "a = Array(): For i = 1 To 200000: a = Array(a): Next";
        QTest::newRow("garbage") << QString::fromLatin1("\x01\x02 If Then Else End ( ) # \" _");
    }

    void hostileInputDoesNotCrash()
    {
        QFETCH(QString, code);
        VBScriptEngine e;
        e.limits().maxStringLength = 1 << 24;
        QVERIFY(!e.addCode(code) || true);
        QVERIFY(e.addCode("y = 2"));
    }

    void longNumericStringComparesInLinearTime()
    {
        // A string that reads as a number is parsed at every comparison with a number.
        ScriptRun s;
        SpeedTimer timer;
        timer.start();
        QCOMPARE(s.run("s = String(100000, \"0\") & \"1\"\nFor i = 1 To 500\n"
                       " If s = 1 Then n = n + 1\nNext\nWScript.Echo n"),
                 QStringLiteral("500"));
        QVERIFY2(timer.elapsed() < timeBudget(2000), qPrintable(QString::number(timer.elapsed())));
    }

    void longObjectChainIsReleasedWithoutRecursion()
    {
        ScriptRun s;
        QCOMPARE(s.run("Class N: Public Nxt: End Class\n"
                       "Set head = Nothing\nFor i = 1 To 300000\n Set n = New N: Set n.Nxt = head: "
                       "Set head = n\n"
                       "Next\nSet n = Nothing: Set head = Nothing\nWScript.Echo \"released\""),
                 QStringLiteral("released"));
    }
};

QTEST_GUILESS_MAIN(TestVbsEngine)
#include "tst_vbs_engine.moc"
