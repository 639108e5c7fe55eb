// The macros menu of the main window: the files of the macros folder, run on the document
// as one undo step, with their keys, the error dialog, edit and the folder.

#include "app/commandtables.h"
#include "mainformfixture.h"
#include "run/macrocommands.h"
#include "run/scriptforms.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>

class TestMacroMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_fixture.reset(); }
    void menuListsMacrosWithKeys();
    void runIsOneUndoStep_data();
    void runIsOneUndoStep();
    void lineLoopKeepsEveryLinesBreak();
    void errorShowsDialog();
    void runCommandByName();
    void editAndFolder();
    void examplesInstalledOnce();
    void recordingPlaysLikeTheKeys_data();
    void recordingPlaysLikeTheKeys();
    void helpNamesEveryCommand();
    void executeCodeScriptsReachTheEditor();

private:
    QString macroFolder() const { return m_fixture->dataPath() + QStringLiteral("macros/"); }
    void writeMacro(const QString &name, const QString &code)
    {
        MainFormFixture::writeFile(macroFolder() + name, code.toUtf8());
    }
    QAction *item(const QString &name) const
    {
        return m_fixture->form->macroCommands()->menu()->findChild<QAction *>(name);
    }
    std::unique_ptr<MainFormFixture> m_fixture;
};

void TestMacroMenu::init()
{
    m_fixture = std::make_unique<MainFormFixture>();
    QDir().mkpath(macroFolder());
    m_fixture->show();
}

void TestMacroMenu::menuListsMacrosWithKeys()
{
    writeMacro(QStringLiteral("b.js"), QStringLiteral("Editor.InsertText('b');"));
    writeMacro(QStringLiteral("A.vbs"), QStringLiteral("Editor.InsertText \"a\""));
    writeMacro(QStringLiteral("notes.txt"), QStringLiteral("no macro"));
    MacroCommands *macros = m_fixture->form->macroCommands();
    m_fixture->form->Englisch1Click();
    QCOMPARE(macros->menu()->title().remove(u'&'), QStringLiteral("Macros"));
    QCOMPARE(item(QStringLiteral("Macro1"))->text().remove(u'&'), QStringLiteral("A.vbs"));
    QCOMPARE(item(QStringLiteral("Macro2"))->text().remove(u'&'), QStringLiteral("b.js"));
    QVERIFY(!item(QStringLiteral("Macro3")));
    QCOMPARE(item(QStringLiteral("Macro1"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+Alt+1")));
    // the key runs it, from the editor
    m_fixture->form->SynMemo1->setFocus();
    QTest::keyClick(m_fixture->form->SynMemo1, Qt::Key_2, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m_fixture->form->SynMemo1->Text(), QStringLiteral("b"));
    // the menu follows the language
    m_fixture->form->Deutsch1Click();
    QCOMPARE(macros->menu()->title().remove(u'&'), QStringLiteral("Makros"));
    QVERIFY(item(QStringLiteral("OpenMacroFolder"))->text().remove(u'&') ==
            QStringLiteral("Makroordner öffnen"));
}

void TestMacroMenu::runIsOneUndoStep_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("VBScript") << "m.vbs"
                              << "For i = 1 To Editor.LineCount\n"
                                 "  Editor.Line(i) = UCase(Editor.Line(i))\n"
                                 "Next\n"
                                 "Editor.GotoLine 2\n"
                                 "Editor.InsertText \"new\" & vbCrLf\n"
                                 "Editor.ReplaceAll \"B\", \"b\"\n";
    QTest::newRow("JScript") << "m.js"
                             << "for (var i = 1; i <= Editor.LineCount; i++)\n"
                                "  Editor.Line(i, Editor.Line(i).toUpperCase());\n"
                                "Editor.GotoLine(2);\n"
                                "Editor.InsertText('new\\r\\n');\n"
                                "Editor.ReplaceAll('B', 'b');\n";
}

void TestMacroMenu::runIsOneUndoStep()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    writeMacro(name, code);
    TSynMemo *editor = m_fixture->form->SynMemo1;
    editor->SetText(QStringLiteral("one\r\nbee\r\nthree"));
    editor->SetSelText(QStringLiteral("x")); // an edit of its own before the run
    QVERIFY(m_fixture->form->macroCommands()->runMacro(macroFolder() + name));
    QCOMPARE(editor->Text(), QStringLiteral("XONE\r\nnew\r\nbEE\r\nTHREE"));
    editor->Undo();
    QCOMPARE(editor->Text(), QStringLiteral("xone\r\nbee\r\nthree"));
    QVERIFY(m_fixture->prompts.done());
}

void TestMacroMenu::lineLoopKeepsEveryLinesBreak()
{
    const QString path = m_fixture->path(QStringLiteral("mixed.txt"));
    MainFormFixture::writeFile(path, "a\nb\r\nc\rd\r\ne");
    QVERIFY(m_fixture->form->PerformFileOpen(path));
    writeMacro(QStringLiteral("up.vbs"),
               QStringLiteral("For i = 1 To Editor.LineCount: Editor.Line(i) = "
                              "UCase(Editor.Line(i)) & i: Next\n"));
    QVERIFY(m_fixture->form->macroCommands()->runMacro(macroFolder() + QStringLiteral("up.vbs")));
    QCOMPARE(m_fixture->form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(path), QByteArray("A1\nB2\r\nC3\rD4\r\nE5"));
    // undone, the lines have their old texts and breaks again
    m_fixture->form->SynMemo1->Undo();
    QCOMPARE(m_fixture->form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(path), QByteArray("a\nb\r\nc\rd\r\ne"));
}

void TestMacroMenu::errorShowsDialog()
{
    writeMacro(QStringLiteral("bad.vbs"),
               QStringLiteral("Editor.Line(1) = \"changed\"\nx = 1 / 0\n"));
    TSynMemo *editor = m_fixture->form->SynMemo1;
    editor->SetText(QStringLiteral("abc\r\ndef"));
    QString line;
    m_fixture->prompts.expectExec([&](QDialog &d) {
        line = dynamic_cast<TFormErInfo &>(d).EditLine->text();
        return 1;
    });
    QVERIFY(!m_fixture->form->macroCommands()->runMacro(macroFolder() + QStringLiteral("bad.vbs")));
    QCOMPARE(line, QStringLiteral("2"));
    QVERIFY(m_fixture->prompts.done());
    // what the macro did before its error is one step to undo
    QCOMPARE(editor->Text(), QStringLiteral("changed\r\ndef"));
    editor->Undo();
    QCOMPARE(editor->Text(), QStringLiteral("abc\r\ndef"));
}

void TestMacroMenu::runCommandByName()
{
    QVERIFY(macroCommand(QStringLiteral("RemoveHyphenation")));
    QVERIFY(macroCommand(QStringLiteral("removehyphenation1")));
    QVERIFY(!macroCommand(QStringLiteral("FileExit")));
    QVERIFY(!macroCommand(QStringLiteral("Code1"))); // the engine is busy with the macro
    QVERIFY(macroCommandNames().contains(QStringLiteral("LowertoUpper")));
    writeMacro(
        QStringLiteral("cmd.js"),
        QStringLiteral("Editor.RunCommand('Selectall'); Editor.RunCommand('LowertoUpper');"
                       "if (!Editor.RunCommand('Nothing')) Editor.StatusText(Editor.LastError);"));
    m_fixture->form->SynMemo1->SetText(QStringLiteral("abc"));
    QVERIFY(m_fixture->form->macroCommands()->runMacro(macroFolder() + QStringLiteral("cmd.js")));
    QCOMPARE(m_fixture->form->SynMemo1->Text(), QStringLiteral("ABC"));
    QCOMPARE(m_fixture->form->statusBar()->currentMessage(),
             QStringLiteral("Unknown command: Nothing"));
}

void TestMacroMenu::editAndFolder()
{
    writeMacro(QStringLiteral("e.vbs"), QStringLiteral("Editor.InsertText \"e\""));
    MacroCommands *macros = m_fixture->form->macroCommands();
    TSynMemo *editor = m_fixture->form->SynMemo1;
    editor->SetText(QStringLiteral("unsaved"));
    // the save question first; Cancel keeps the document
    m_fixture->prompts.expectQuestion(Prompts::Answer::Cancel);
    macros->editMacro(macroFolder() + QStringLiteral("e.vbs"));
    QCOMPARE(editor->Text(), QStringLiteral("unsaved"));
    m_fixture->prompts.expectQuestion(Prompts::Answer::No);
    macros->editMacro(macroFolder() + QStringLiteral("e.vbs"));
    QCOMPARE(editor->Text(), QStringLiteral("Editor.InsertText \"e\""));
    QCOMPARE(m_fixture->form->FFileName(), macroFolder() + QStringLiteral("e.vbs"));
    QVERIFY(m_fixture->prompts.done());
    macros->openMacroFolder();
    QCOMPARE(m_fixture->shell.calls.size(), 1);
    QCOMPARE(m_fixture->shell.calls[0].target, macroFolder());
}

void TestMacroMenu::examplesInstalledOnce()
{
    QTemporaryDir program;
    QDir(program.path()).mkpath(QStringLiteral("macros"));
    MainFormFixture::writeFile(program.filePath(QStringLiteral("macros/Sort.vbs")), "' sort");
    MacroCommands *macros = m_fixture->form->macroCommands();
    // a data folder that has its macros folder keeps it as it is
    macros->installStarterMacros(program.path());
    QVERIFY(MacroCommands::macroFiles(macroFolder()).isEmpty());
    QVERIFY(QDir(macroFolder()).removeRecursively());
    macros->installStarterMacros(program.path());
    QCOMPARE(MainFormFixture::readFile(macroFolder() + QStringLiteral("Sort.vbs")),
             QByteArray("' sort"));
    // the shipped examples run from the console and are found beside the program
    QVERIFY(!MacroCommands::starterFolder(QStringLiteral(QUILLORA_BINARY_DIR)).isEmpty());
}

void TestMacroMenu::helpNamesEveryCommand()
{
    for (const char *language : {"en", "de"}) {
        const QByteArray page = MainFormFixture::readFile(
            QStringLiteral(QUILLORA_SOURCE_DIR "/desktop/help/%1/macros.html")
                .arg(QLatin1String(language)));
        for (const QString &name : macroCommandNames())
            QVERIFY2(page.contains("<code>" + name.toUtf8() + "</code>"), qPrintable(name));
    }
}

using KeyStep = std::function<void(TSynMemo *)>;
Q_DECLARE_METATYPE(QList<KeyStep>)

namespace {

KeyStep type(const QString &text)
{
    return [text](TSynMemo *editor) { QTest::keyClicks(editor, text); };
}
KeyStep press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
{
    return [=](TSynMemo *editor) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(editor, key, modifiers);
    };
}

} // namespace

void TestMacroMenu::recordingPlaysLikeTheKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<KeyStep>>("steps");
    QTest::newRow("typing, VBScript")
        << "t.vbs" << QList<KeyStep>{type(QStringLiteral("Hi \"you\""))};
    QTest::newRow("typing and backspace, JScript")
        << "t.js"
        << QList<KeyStep>{type(QStringLiteral("abc")), press(Qt::Key_Backspace, {}, 2),
                          type(QStringLiteral("X"))};
    QTest::newRow("selection by keys replaced by typing")
        << "s.vbs"
        << QList<KeyStep>{press(Qt::Key_Right, {}, 2), press(Qt::Key_Right, Qt::ShiftModifier, 3),
                          type(QStringLiteral("Z"))};
    QTest::newRow("lines: down, end, enter keeps the indent")
        << "l.js" << QList<KeyStep>{press(Qt::Key_Down),   press(Qt::Key_End),
                                    press(Qt::Key_Return), type(QStringLiteral("new")),
                                    press(Qt::Key_Up),     press(Qt::Key_Delete, {}, 2)};
    QTest::newRow("home, ctrl+end, tab")
        << "h.vbs"
        << QList<KeyStep>{press(Qt::Key_End, Qt::ControlModifier), press(Qt::Key_Home),
                          press(Qt::Key_Tab), type(QStringLiteral("x")),
                          press(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier)};
}

void TestMacroMenu::recordingPlaysLikeTheKeys()
{
    QFETCH(QString, name);
    QFETCH(QList<KeyStep>, steps);
    const QString start = QStringLiteral("abcdef\r\n   indented line\r\nlast");
    TSynMemo *editor = m_fixture->form->SynMemo1;
    MacroCommands *macros = m_fixture->form->macroCommands();
    editor->SetText(start);
    editor->setFocus();
    macros->toggleRecording();
    QVERIFY(macros->isRecording());
    for (const KeyStep &step : steps)
        step(editor);
    // a menu command is part of the recording too
    m_fixture->form->action(QStringLiteral("LowertoUpper1"))->trigger();
    const QString byHand = editor->Text();
    const int selStart = editor->SelStart();
    const int selLength = editor->SelLength();
    m_fixture->prompts.expectInput(name);
    macros->toggleRecording();
    QVERIFY(!macros->isRecording());
    const QString script = QString::fromUtf8(MainFormFixture::readFile(macroFolder() + name));
    QVERIFY2(script.contains(u"Editor.RunCommand"), qPrintable(script));

    editor->SetText(start);
    QVERIFY2(macros->runMacro(macroFolder() + name), qPrintable(script));
    QCOMPARE(editor->Text(), byHand);
    QCOMPARE(editor->SelStart(), selStart);
    QCOMPARE(editor->SelLength(), selLength);
    // one undo step takes the whole played recording back
    editor->Undo();
    QCOMPARE(editor->Text(), start);
    QVERIFY(m_fixture->prompts.done());
}

void TestMacroMenu::executeCodeScriptsReachTheEditor()
{
    // a script run with Execute code edits its own document through Editor
    const QString path = m_fixture->path(QStringLiteral("s.vbs"));
    MainFormFixture::writeFile(path, "Sub Main\n  Editor.Line(3) = \"' ran\"\nEnd Sub\n'");
    QVERIFY(m_fixture->form->PerformFileOpen(path));
    m_fixture->prompts.expectExec([](QDialog &d) {
        auto &form = dynamic_cast<TFormHost &>(d);
        form.SetItemIndex(1);
        form.BitBtn1Click();
        return int(form.result());
    });
    m_fixture->form->ToolButton6Click();
    QVERIFY(m_fixture->prompts.done());
    QCOMPARE(m_fixture->form->SynMemo1->Lines().Strings(2), QStringLiteral("' ran"));
}

QTEST_MAIN(TestMacroMenu)
#include "tst_macromenu.moc"
