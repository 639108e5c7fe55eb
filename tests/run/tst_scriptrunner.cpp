// The Execute-code command with scripted dialogs: the save-first box, the host matrix,
// parameter values, results, errors with the faulty character selected, the echo rewrite,
// the browser page and the time-out question.

#include "runnerfixture.h"

#include <QFile>

class TestScriptRunner : public QObject
{
    Q_OBJECT
private slots:
    void unsavedOrBlankDocumentAsksToSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("untitled") << ""
                                  << "Sub Main\nEnd Sub";
        QTest::newRow("blank text") << "a.vbs"
                                    << "  \n\t\n";
    }
    void unsavedOrBlankDocumentAsksToSave()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        RunnerFixture f;
        f.editor->SetText(text);
        if (!name.isEmpty())
            f.fileName = f.dir.filePath(name);
        f.prompts.expectMessage(
            QStringLiteral("Please save the code with proper file extension first."));
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.prompts.seen().first().title, QStringLiteral("Script Host"));
        QCOMPARE(f.shellOpens, 0);
    }

    void languageDecision_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("vbScheme");
        QTest::addColumn<bool>("jsScheme");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("vbscript");
        QTest::newRow("Test.VBS without scheme") << "Test.VBS" << false << false << true << true;
        QTest::newRow(".js with VBScript scheme") << "a.js" << true << false << true << true;
        QTest::newRow(".js") << "a.js" << false << false << true << false;
        QTest::newRow("JavaScript scheme") << "a.txt" << false << true << true << false;
        QTest::newRow("other document") << "a.txt" << false << false << false << false;
    }
    void languageDecision()
    {
        QFETCH(QString, name);
        RunnerFixture f;
        QFETCH(bool, vbScheme);
        QFETCH(bool, jsScheme);
        QFETCH(bool, runs);
        f.vbScheme = vbScheme;
        f.jsScheme = jsScheme;
        QFETCH(bool, vbscript);
        f.document(name, vbscript ? QStringLiteral("Sub Main\nEnd Sub")
                                  : QStringLiteral("function main() {\n}"));
        if (runs)
            f.prompts.expectExec([](QDialog &d) {
                d.reject(); // host dialog cancelled: nothing happens
                return 0;
            });
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shellOpens, runs ? 0 : 1);
        QCOMPARE(f.runner->IsVBScript, vbscript);
    }

    // A script of statements only, and the WSH host, run with the console host; what the
    // script writes shows in the result window.
    void consoleHost_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("asksHost");
        QTest::newRow("VBScript without header") << "a.vbs"
                                                 << "x = 1\nMsgBox x" << false;
        QTest::newRow("JScript without header") << "a.js"
                                                << "WScript.Echo(1);" << false;
        QTest::newRow("WSH chosen") << "a.vbs"
                                    << "Sub Main\nEnd Sub" << true;
    }
    void consoleHost()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(bool, asksHost);
        RunnerFixture f;
        f.document(name, code);
        f.consoleRun->output = QStringLiteral("1\nsecond line\n");
        if (asksHost)
            f.chooseHost(TFormHost::HostWsh);
        QString shown;
        f.prompts.expectExec([&](QDialog &d) {
            auto &form = dynamic_cast<TFormResult &>(d);
            shown =
                form.MemoOutput->isVisibleTo(&form) ? form.MemoOutput->toPlainText() : QString();
            return 1;
        });
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.consoleRuns, 1);
        QCOMPARE(f.shellOpens, 0);
        QCOMPARE(shown, QStringLiteral("1\nsecond line\n"));
        // No output: nothing to show. No runner: the user hears so. A cancelled save: nothing.
        f.consoleRun->output.clear();
        if (asksHost)
            f.chooseHost(TFormHost::HostWsh);
        f.runner->ToolButton6Click();
        f.consoleRun->started = false;
        if (asksHost)
            f.chooseHost(TFormHost::HostWsh);
        f.prompts.expectMessage(QStringLiteral("quillora-script"));
        f.runner->ToolButton6Click();
        f.consoleRun.reset();
        if (asksHost)
            f.chooseHost(TFormHost::HostWsh);
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.consoleRuns, 4);
    }

    void hostMatrix()
    {
        RunnerFixture f;
        f.document(QStringLiteral("a.vbs"), QStringLiteral("Sub Main\nMsgBox \"ran\"\nEnd Sub"));
        // cancel
        f.prompts.expectExec([](QDialog &d) {
            dynamic_cast<TFormHost &>(d).BitBtn2Click();
            return 0;
        });
        f.runner->ToolButton6Click();
        QCOMPARE(f.runner->FormHost->UseHost, -1);
        QCOMPARE(f.shellOpens, 0);
        // the console host (no output here, so no result dialog)
        f.chooseHost(TFormHost::HostWsh);
        f.runner->ToolButton6Click();
        QCOMPARE(f.consoleRuns, 1);
        QCOMPARE(f.shellOpens, 0);
        // the engine: a Sub shows no result dialog
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectMessage(QStringLiteral("ran"));
        f.runner->ToolButton6Click();
        // the browser
        f.browserPath = QStringLiteral("/usr/bin/browser");
        f.chooseHost(TFormHost::HostBrowser, false);
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shell.calls.size(), 1);
        QCOMPARE(f.shell.calls[0].verb, QStringLiteral("start"));
        QVERIFY(QFile::exists(f.dataPath() + QStringLiteral("scripttest.html")));
        // the host dialog keeps its choice from one show to the next
        QCOMPARE(f.runner->FormHost->ItemIndex(), int(TFormHost::HostBrowser));
        QVERIFY(!f.runner->FormHost->ExOnLoad);
    }

    void valuesArriveAsStrings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("VBScript") << "twice.vbs"
                                  << "Function Twice(x)\n  Twice = x + x\nEnd Function";
        QTest::newRow("JScript") << "twice.js"
                                 << "function Twice(x) {\n  return x + x;\n}";
    }
    void valuesArriveAsStrings()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        RunnerFixture f;
        f.document(name, code);
        f.chooseHost(TFormHost::HostEngine);
        f.typeValues(QStringLiteral("21"));
        f.expectResult();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QStringLiteral("2121"));
    }

    void oneValueForTwoNamesPassesAnEmptySecond()
    {
        RunnerFixture f;
        f.document(
            QStringLiteral("a.vbs"),
            QStringLiteral("Function Both(a, b)\n  Both = a & \"[\" & b & \"]\"\nEnd Function"));
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectExec([](QDialog &d) {
            auto &form = dynamic_cast<TFormVars &>(d);
            if (form.NameLines() != QStringList{"a=", "b="})
                qWarning() << "name lines" << form.NameLines();
            form.MemoValues->setPlainText(QStringLiteral("x"));
            form.BitBtn1Click();
            return int(form.result());
        });
        f.expectResult();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QStringLiteral("x[]"));
        QVERIFY(f.runner->FormVars->NameLines().isEmpty()); // emptied at every close
    }

    void escapeInTheValueDialogCancels()
    {
        TFormVars form;
        form.MemoValues->setPlainText(QStringLiteral("typed"));
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.ValueLines().isEmpty());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    void cancelledValuesRunNothing()
    {
        RunnerFixture f;
        f.document(QStringLiteral("a.vbs"),
                   QStringLiteral("MsgBox \"top level\"\nFunction F(a)\n  F = a\nEnd Function"));
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectExec([](QDialog &d) {
            auto &form = dynamic_cast<TFormVars &>(d);
            form.MemoValues->setPlainText(QStringLiteral("typed"));
            form.BitBtn2Click();
            return int(form.result());
        });
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QStringLiteral("<none>"));
    }

    void resultDialogRules()
    {
        RunnerFixture f;
        // JScript f() returning nothing: the dialog shows an empty field
        f.document(QStringLiteral("f.js"), QStringLiteral("function f() {\n}"));
        f.chooseHost(TFormHost::HostEngine);
        f.expectResult();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QString());
        // a blank result of a run with values shows nothing
        f.shownResult = QStringLiteral("<none>");
        f.document(QStringLiteral("g.js"), QStringLiteral("function g(a) {\n  return ' ';\n}"));
        f.chooseHost(TFormHost::HostEngine);
        f.typeValues(QStringLiteral("1"));
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QStringLiteral("<none>"));
    }

    void echoIsRewrittenForTheEngineOnly()
    {
        RunnerFixture f;
        const QString code =
            QStringLiteral("Sub Main\n  WScript.Echo \"hi\"\n  wsh.echo 2\nEnd Sub");
        f.document(QStringLiteral("e.vbs"), code);
        f.chooseHost(TFormHost::HostWsh);
        f.runner->ToolButton6Click();
        QCOMPARE(f.editor->Text(), QString(code).replace(u'\n', QStringLiteral("\r\n")));
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectMessage(QStringLiteral("hi")).expectMessage(QStringLiteral("2"));
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.editor->Text(),
                 QStringLiteral("Sub Main\r\n  MsgBox \"hi\"\r\n  MsgBox 2\r\nEnd Sub"));
    }

    void errorSelectsTheFaultyCharacter_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("selection");
        // line 3, column 4 (0-based): the fifth character of line 3
        QTest::newRow("VBScript syntax")
            << "s.vbs"
            << "Sub Main\n  x = 1\n  y=*2\nEnd Sub"
            << "1023|Microsoft VBScript compilation error|Expected expression|3|4|  y=*2"
            << "*";
        QTest::newRow("JScript syntax")
            << "s.js"
            << "function main() {\n  var x;\n  x+*2;\n}"
            << "1002|Microsoft JScript compilation error|Syntax error|3|4|  x+*2;"
            << "*";
        QTest::newRow("JScript undefined name")
            << "u.js"
            << "function main() {\n  return 1 + nope;\n}"
            << "5009|Microsoft JScript runtime error|'nope' is undefined|2|13|  return 1 + nope;"
            << "n";
        QTest::newRow("VBScript undefined procedure") << "p.vbs"
                                                      << "Sub Main\n  Missing 1\nEnd Sub"
                                                      << ""
                                                      << "";
    }
    void errorSelectsTheFaultyCharacter()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, fields);
        QFETCH(QString, selection);
        RunnerFixture f;
        f.document(name, code);
        f.chooseHost(TFormHost::HostEngine);
        f.expectError();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        if (fields.isEmpty()) { // whatever the engine says, it is shown
            QVERIFY(!f.shownError.isEmpty());
            return;
        }
        QCOMPARE(f.shownError, fields);
        QVERIFY(f.errorFromStart);
        QCOMPARE(f.selection, selection);
        QVERIFY(!f.runner->ScriptControl1()->error().isSet()); // cleared after the dialog
    }

    void timeOutQuestion()
    {
        RunnerFixture f;
        f.runner->TimeOut = 300;
        f.document(QStringLiteral("loop.js"),
                   QStringLiteral("function main() {\n  while (true) {}\n}"));
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectQuestion(Prompts::Answer::No, QStringLiteral("Stop it?"))
            .expectQuestion(Prompts::Answer::Yes, QStringLiteral("Stop it?"));
        f.expectError();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QVERIFY2(f.shownError.contains(QStringLiteral("Operation aborted")),
                 qPrintable(f.shownError));
        // the engine tells no position of an interruption: the error points at the header
        // of the procedure that was running, not at the top of the text
        QCOMPARE(f.shownError.section(u'|', 3, 5), QStringLiteral("1|9|function main() {"));
        QCOMPARE(f.selection, QStringLiteral("m"));
        // the engine runs the next script normally
        f.document(QStringLiteral("ok.vbs"), QStringLiteral("Function F()\n  F = 5\nEnd Function"));
        f.chooseHost(TFormHost::HostEngine);
        f.expectResult();
        f.runner->ToolButton6Click();
        QCOMPARE(f.shownResult, QStringLiteral("5"));
    }

    void vbscriptEndlessLoopStopsToo()
    {
        RunnerFixture f;
        f.runner->TimeOut = 300;
        f.document(QStringLiteral("loop.vbs"), QStringLiteral("Sub Main\n  Do\n  Loop\nEnd Sub"));
        f.chooseHost(TFormHost::HostEngine);
        f.prompts.expectQuestion(Prompts::Answer::Yes);
        f.expectError();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QVERIFY(f.shownError.startsWith(QStringLiteral("-2147467260|")));
    }

    void browserPageAndAddress()
    {
        RunnerFixture f;
        f.document(QStringLiteral("add.js"),
                   QStringLiteral("function add(a, b) {\n  alert('Привет €');\n}"));
        f.defaultBrowser = QStringLiteral("\"/opt/web browser/bin\" %U");
        f.chooseHost(TFormHost::HostBrowser, true);
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        const QString page = f.dataPath() + QStringLiteral("scripttest.html");
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // UTF-8 and saying so: text outside Windows-1252 reaches the browser unchanged.
        QCOMPARE(file.readAll(),
                 QStringLiteral("<html><head><meta charset=\"utf-8\"><title>testpage</title>"
                                "<script type=text/javascript>\r\n"
                                "function add(a, b) {\r\n  alert('Привет €');\r\n}\r\n"
                                "</script></head><body bgcolor=\"#ffffff\" "
                                "onload=\"add(a, b)\">\r\nscript test</body></html>")
                     .toUtf8());
        // The default browser is used, not written into the setting.
        QCOMPARE(f.browserPath, QString());
        QCOMPARE(f.shell.calls.size(), 1);
        QCOMPARE(f.shell.calls[0].target, QStringLiteral("/opt/web browser/bin"));
        QString address = QStringLiteral("file://") + page;
        address.replace(u' ', QStringLiteral("%20"));
        QCOMPARE(f.shell.calls[0].arguments, QStringList{address});
        QVERIFY(!address.contains(u' '));
    }

    // The default browser's Exec line is started as a whole (env prefix, flatpak), and the
    // user hears when no browser could be started.
    void browserFromDesktopEntry_data()
    {
        QTest::addColumn<QString>("browserPath");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QStringList>("command"); // program and arguments before the address
        QTest::newRow("env prefix") << ""
                                    << "env A=1 /snap/bin/firefox %u" << true
                                    << QStringList{"env", "A=1", "/snap/bin/firefox"};
        QTest::newRow("flatpak") << ""
                                 << "/usr/bin/flatpak run org.b.B %u" << true
                                 << QStringList{"/usr/bin/flatpak", "run", "org.b.B"};
        QTest::newRow("blank path uses the default")
            << "  "
            << "chromium %U" << true << QStringList{"chromium"};
        QTest::newRow("no default browser") << ""
                                            << "" << true << QStringList{};
        QTest::newRow("browser does not start") << "/usr/bin/b"
                                                << "" << false << QStringList{"/usr/bin/b"};
    }
    void browserFromDesktopEntry()
    {
        QFETCH(QString, browserPath);
        QFETCH(QString, exec);
        QFETCH(bool, starts);
        QFETCH(QStringList, command);
        RunnerFixture f;
        f.document(QStringLiteral("s.vbs"), QStringLiteral("Sub Main\nEnd Sub"));
        f.browserPath = browserPath;
        f.defaultBrowser = exec;
        f.shell.succeeds = starts;
        f.chooseHost(TFormHost::HostBrowser, false);
        const bool fails = command.isEmpty() || !starts;
        if (fails)
            f.prompts.expectMessage(QStringLiteral("No browser could be started"));
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.browserPath, browserPath);
        QCOMPARE(f.shell.calls.size(), command.isEmpty() ? 0 : 1);
        if (command.isEmpty())
            return;
        const QStringList started =
            QStringList{f.shell.calls[0].target} + f.shell.calls[0].arguments;
        QCOMPARE(started.mid(0, command.size()), command);
        QVERIFY(started.last().startsWith(QStringLiteral("file://")));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("endless recursion VBScript") << "r.vbs"
                                                    << "Function F()\n  F = F() + 1\nEnd Function";
        QTest::newRow("endless recursion JScript") << "r.js"
                                                   << "function f() {\n  return f() + 1;\n}";
        QTest::newRow("syntax error at the end") << "e.js"
                                                 << "function f() {\n  return (";
    }
    void badInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        RunnerFixture f;
        f.document(name, code);
        f.chooseHost(TFormHost::HostEngine);
        f.expectError();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QVERIFY(!f.shownError.isEmpty());
    }

    void functionReturningAnArrayOrObject()
    {
        RunnerFixture f;
        f.document(QStringLiteral("a.vbs"),
                   QStringLiteral("Function A()\n  A = Array(1, \"b\")\nEnd Function"));
        f.chooseHost(TFormHost::HostEngine);
        f.expectResult();
        f.runner->ToolButton6Click();
        QCOMPARE(f.shownResult, QStringLiteral("1,b"));
        f.document(QStringLiteral("o.js"), QStringLiteral("function o() {\n  return {};\n}"));
        f.chooseHost(TFormHost::HostEngine);
        f.expectResult();
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shownResult, QStringLiteral("[object Object]"));
    }
};

QTEST_MAIN(TestScriptRunner)
#include "tst_scriptrunner.moc"
