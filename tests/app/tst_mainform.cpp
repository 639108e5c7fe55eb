// The main window's frame: start-up, status bar, resizing, word wrap, languages, closing.

#include "mainformfixture.h"

#include "lang/mnemonics.h"
#include "editor/completion.h"
#include "schemes/formgrid.h"
#include "schemes/stringgrid.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void startsInGermanWithEmptySlotsBeforeShow();
    void languageSwitchRewritesCaptions();
    void statusBarPanels();
    void caretPanelFitsAndFollowsTheCaret_data();
    void caretPanelFitsAndFollowsTheCaret();
    void menusMarkLanguageAndScheme();
    void hintModeHidesPanels();
    void resizeRules_data();
    void resizeRules();
    void wordWrapToggles();
    void closeQuery_data();
    void closeQuery();
    void commandLineFile();
    void settingsDialogTakesEffect();
    void schemesFollowNamesAndMenu();
};

void TestMainForm::startsInGermanWithEmptySlotsBeforeShow()
{
    MainFormFixture f;
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quillora Pro"));
    QCOMPARE(f.form->Message(0), QString());
    QCOMPARE(f.form->FFileName(), QString());
    QVERIFY(!f.form->action(QStringLiteral("NachUpdatessuchen1"))->isVisible());
    f.show();
    QCOMPARE(f.form->Message(0), QStringLiteral("Untitled"));
    QCOMPARE(withoutMnemonic(f.form->findChild<QMenu *>(QStringLiteral("FileMenu"))->title()),
             QStringLiteral("Datei"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("EditUndoItem"))->text()),
             QStringLiteral("Rückgängig             STG+Z"));
    QCOMPARE(f.form->action(QStringLiteral("ToolButton8"))->toolTip(),
             QStringLiteral("Klein- zu Großschreibung"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Lesezeichen31"))->text()),
             QStringLiteral("Lesezeichen3"));
    QVERIFY(f.form->action(QStringLiteral("NachUpdatessuchen1"))->isVisible());
    QVERIFY(QFileInfo(f.dataPath()).isDir());
    QVERIFY(f.prompts.done());
}

void TestMainForm::languageSwitchRewritesCaptions()
{
    MainFormFixture f;
    f.show();
    f.form->action(QStringLiteral("Englisch1"))->trigger();
    QCOMPARE(f.form->UiLanguage(), 1);
    QCOMPARE(withoutMnemonic(f.form->findChild<QMenu *>(QStringLiteral("HelpMenu"))->title()),
             QStringLiteral("Help"));
    QCOMPARE(f.form->action(QStringLiteral("ToolButton15"))->toolTip(),
             QStringLiteral("About Corvane..."));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Lesezeichen92"))->text()),
             QStringLiteral("Bookmark9"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Englisch1"))->text()),
             QStringLiteral("English"));
    QCOMPARE(f.form->Message(5), QStringLiteral("Save change?"));
    QCOMPARE(f.form->SaveFirstMessage(),
             QStringLiteral("Please save the code with proper file extension first."));
    QVERIFY(f.form->HelpFile().endsWith(QStringLiteral("/quillora.chm")));
    // The caret panel keeps its words until the caret moves.
    QVERIFY(f.form->panelText(0).startsWith(QStringLiteral("Zeile.")));
    f.form->ShowCaretPosition();
    QVERIFY(f.form->panelText(0).startsWith(QStringLiteral("Row")));
    QVERIFY(QFile::exists(f.dataPath() + QStringLiteral("Velmora.ini")));

    f.form->action(QStringLiteral("Deutsch1"))->trigger();
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Deutsch1"))->text()),
             QStringLiteral("Deutsch"));
    QCOMPARE(f.form->action(QStringLiteral("ToolButton15"))->toolTip(), QStringLiteral("Über..."));
    QVERIFY(f.form->HelpFile().endsWith(QStringLiteral("/quillor.chm")));

    // The stored language comes back at the next start.
    f.form->action(QStringLiteral("Englisch1"))->trigger();
    MainFormFixture again;
    again.form = std::make_unique<TMainForm>(again.prompts, again.shell,
                                             QStringList{QStringLiteral("quillora")}, f.dataPath());
    again.show();
    QCOMPARE(withoutMnemonic(again.form->findChild<QMenu *>(QStringLiteral("FileMenu"))->title()),
             QStringLiteral("File"));
}

void TestMainForm::statusBarPanels()
{
    MainFormFixture f;
    f.show();
    QString text;
    for (int i = 0; i < 7; ++i)
        text += QStringLiteral("01234567890123456789\r\n");
    f.form->SynMemo1->SetText(text);
    f.form->SynMemo1->SetCaretXY(12, 7);
    f.form->ShowCaretPosition();
    QCOMPARE(f.form->panelText(0), QStringLiteral("Zeile.   7   Spalte:  12"));
    f.form->SynMemo1->SetText(QStringLiteral("ab\r\nc"));
    QCOMPARE(f.form->panelText(1), QStringLiteral("5"));
    f.form->Memo1.Add(QStringLiteral("scratch")); // the scratch list reports the document too
    QCOMPARE(f.form->panelText(1), QStringLiteral("5"));
    // Panel 3 follows the window; the last panel reaches to the right edge. Panels 0 and
    // 2 are at least their design width, wider where their texts need it.
    QVERIFY(f.form->panelWidth(0) >= 120);
    QCOMPARE(f.form->panelWidth(1), 60);
    QVERIFY(f.form->panelWidth(2) >= 60);
    QVERIFY(f.form->panelWidth(4) >= 40);
}

void TestMainForm::hintModeHidesPanels()
{
    MainFormFixture f;
    f.show();
    f.form->setPanelText(3, QStringLiteral("kept"));
    f.form->ShowHint(QStringLiteral("Datei öffnen"));
    QCOMPARE(f.form->statusBar()->currentMessage(), QStringLiteral("Datei öffnen"));
    f.form->ShowHint(QString());
    QCOMPARE(f.form->statusBar()->currentMessage(), QString());
    QCOMPARE(f.form->panelText(3), QStringLiteral("kept"));
}

// The caret panel holds its longest text in either language, and shows where the caret
// is after every move: by a command (open, go to line) as well as by the user.
void TestMainForm::caretPanelFitsAndFollowsTheCaret_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("top");   // the panel at line 1, column 1, blanks simplified
    QTest::addColumn<QString>("third"); // ... at line 3, column 1
    QTest::newRow("German") << 0 << "Zeile. 1 Spalte: 1"
                            << "Zeile. 3 Spalte: 1";
    QTest::newRow("English") << 1 << "Row 1 Col: 1"
                             << "Row 3 Col: 1";
}

void TestMainForm::caretPanelFitsAndFollowsTheCaret()
{
    QFETCH(int, language);
    QFETCH(QString, top);
    QFETCH(QString, third);
    MainFormFixture f;
    f.show();
    if (language == 1)
        f.form->action(QStringLiteral("Englisch1"))->trigger();
    QStringList lines(1300, QStringLiteral("x"));
    lines[1198] = QString(1300, u'y');
    f.form->SynMemo1->SetText(lines.join(QStringLiteral("\r\n")));
    f.form->SynMemo1->SetCaretXY(1234, 1199);
    QTRY_VERIFY(f.form->panelText(0).contains(QStringLiteral("1234")));
    QVERIFY(f.form->panelText(0).contains(QStringLiteral("1199")));
    auto *panel = f.form->statusBar()->findChildren<QLabel *>().value(0);
    QVERIFY(panel);
    QVERIFY2(panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width(),
             qPrintable(panel->text()));

    // Opening a file puts the caret at the top, and the panel says so.
    const QString doc = f.path(QStringLiteral("four.txt"));
    MainFormFixture::writeFile(doc, "a\nb\nc\nd");
    QVERIFY(f.form->PerformFileOpen(doc));
    QTRY_COMPARE(f.form->panelText(0).simplified(), top);
    // Go to line.
    f.prompts.expectInput(QStringLiteral("3"));
    f.form->action(QStringLiteral("GoToLine1"))->trigger();
    QVERIFY(f.prompts.done());
    QTRY_COMPARE(f.form->panelText(0).simplified(), third);
}

// The language menu and the scheme menu show what is in use, as radio items.
void TestMainForm::menusMarkLanguageAndScheme()
{
    MainFormFixture f;
    f.show();
    QAction *german = f.form->action(QStringLiteral("Deutsch1"));
    QAction *english = f.form->action(QStringLiteral("Englisch1"));
    QVERIFY(german->isCheckable() && german->isChecked() && !english->isChecked());
    english->trigger();
    QVERIFY(english->isChecked() && !german->isChecked());

    const QString doc = f.path(QStringLiteral("s.vbs"));
    MainFormFixture::writeFile(doc, "MsgBox 1");
    QVERIFY(f.form->PerformFileOpen(doc));
    QMenu *schemes = f.form->findChild<QMenu *>(QStringLiteral("SelectSyntaxschemeMenu"));
    QVERIFY(schemes);
    emit schemes->aboutToShow();
    QStringList checked;
    for (QAction *item : schemes->actions())
        if (item->isChecked())
            checked << item->objectName();
    QCOMPARE(checked, QStringList{"VBScript1"});
    QVERIFY(f.form->action(QStringLiteral("VBScript1"))->isCheckable());
}

void TestMainForm::resizeRules_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("panel3");
    // Widths past 950 and the growth of panel 3 beyond its 420 pixels; panels 0 and 2,
    // sized for their texts, move the threshold on by what they take beyond their design.
    QTest::newRow("950 keeps") << 950 << 420;
    QTest::newRow("951") << 951 << 421;
    QTest::newRow("1000") << 1000 << 470;
}

void TestMainForm::resizeRules()
{
    QFETCH(int, width);
    QFETCH(int, panel3);
    MainFormFixture f;
    f.show();
    f.form->resize(800, 600); // panel 3 keeps its design width below 951
    // The rule speaks of the outer width, frame included.
    const int frame = f.form->frameGeometry().width() - f.form->width();
    const int extra = f.form->panelWidth(0) - 120 + f.form->panelWidth(2) - 60;
    f.form->resize(width + extra - frame, 600);
    QTRY_COMPARE(f.form->panelWidth(3), panel3);
    QTRY_COMPARE(f.form->SynMemo1->RightEdge(), f.form->SynMemo1->CharsInWindow() - 1);
}

void TestMainForm::wordWrapToggles()
{
    MainFormFixture f;
    f.show();
    QCOMPARE(f.form->wordWrapImage(), 49);
    f.form->toolButton(QStringLiteral("ToolButton3"))->click();
    QVERIFY(f.form->SynMemo1->WordWrap());
    QCOMPARE(f.form->wordWrapImage(), 10);
    f.form->toolButton(QStringLiteral("ToolButton3"))->click();
    QVERIFY(!f.form->SynMemo1->WordWrap());
    QCOMPARE(f.form->wordWrapImage(), 49);
}

void TestMainForm::closeQuery_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes saves and closes") << int(Prompts::Answer::Yes) << true << true;
    QTest::newRow("no closes unsaved") << int(Prompts::Answer::No) << true << false;
    QTest::newRow("cancel stays open") << int(Prompts::Answer::Cancel) << false << false;
}

void TestMainForm::closeQuery()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    MainFormFixture f;
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "old");
    f.show();
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SetSelText(QStringLiteral("new "));
    f.prompts.expectQuestion(Prompts::Answer(answer), QStringLiteral("Änderungen speichern?"));
    QCOMPARE(f.form->close(), closes);
    QCOMPARE(f.form->isVisible(), !closes);
    QCOMPARE(MainFormFixture::readFile(doc), saved ? QByteArray("new old") : QByteArray("old"));
    QVERIFY(f.prompts.done());
    if (closes) // the close wrote the recent files list
        QVERIFY(QFile::exists(f.dataPath() + QStringLiteral("files.txt")));
}

void TestMainForm::commandLineFile()
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("start.txt"));
    MainFormFixture::writeFile(doc, "from the command line");
    MainFormFixture f({QStringLiteral("quillora"), doc, QStringLiteral("ignored")});
    f.show();
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("from the command line"));
    QCOMPARE(f.form->FFileName(), doc);
    QVERIFY(!f.form->SynMemo1->Modified());

    MainFormFixture missing({QStringLiteral("quillora"), dir.filePath(QStringLiteral("nope"))});
    missing.show();
    QCOMPARE(missing.form->SynMemo1->Text(), QString());
    QCOMPARE(missing.form->FFileName(), QString());
    QVERIFY(missing.prompts.done());
}

void TestMainForm::settingsDialogTakesEffect()
{
    MainFormFixture f;
    f.show();
    f.prompts.expectExec([](QDialog &dialog) {
        auto *font = dialog.findChild<QLineEdit *>(QStringLiteral("EditFont"));
        auto *size = dialog.findChild<QLineEdit *>(QStringLiteral("EditSize"));
        if (!font || !size)
            return int(QDialog::Rejected);
        font->setText(QStringLiteral("Liberation Mono"));
        size->setText(QStringLiteral("14"));
        dialog.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        return int(QDialog::Accepted);
    });
    f.form->action(QStringLiteral("Settings2"))->trigger();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->EditorFont().pointSize(), 14);
    QCOMPARE(f.form->SynMemo1->EditorFont().family(), QStringLiteral("Liberation Mono"));
}

void TestMainForm::schemesFollowNamesAndMenu()
{
    MainFormFixture f;
    f.show();
    MainFormFixture::writeFile(f.dataPath() + QStringLiteral("PasItems.src"), "begin\r\nend");
    MainFormFixture::writeFile(f.dataPath() + QStringLiteral("PasInserts.src"),
                               "begin$ret$retend;\r\nend;");
    const QString unit = f.path(QStringLiteral("Unit1.PAS"));
    MainFormFixture::writeFile(unit, "program x;");
    QVERIFY(f.form->PerformFileOpen(unit));
    QCOMPARE(f.form->panelText(2), QStringLiteral("Pascal"));
    QCOMPARE(f.form->panelText(4), QStringLiteral("STRG+Leertaste für Codevorschläge"));
    QCOMPARE(f.form->ItemFile, f.dataPath() + QStringLiteral("PasItems.src"));
    QVERIFY(f.form->SynMemo1->Highlighter());

    f.form->action(QStringLiteral("HTML1"))->trigger();
    QCOMPARE(f.form->panelText(2), QStringLiteral("HTML"));
    QCOMPARE(f.form->panelText(4), QString()); // no HTML pair in this data folder
    f.form->action(QStringLiteral("None1"))->trigger();
    QCOMPARE(f.form->panelText(2), QStringLiteral("TXT"));
    QVERIFY(!f.form->SynMemo1->Highlighter());
    QCOMPARE(f.form->ItemFile, f.dataPath() + QStringLiteral("PasItems.src"));

    // The menu lists the sixteen schemes and None, with the captions as printed.
    auto *menu = f.form->findChild<QMenu *>(QStringLiteral("SelectSyntaxschemeMenu"));
    QStringList captions;
    for (QAction *item : menu->actions()) {
        if (!item->isSeparator())
            captions << withoutMnemonic(item->text());
    }
    QCOMPARE(captions.size(), 17);
    QCOMPARE(captions.first(), QStringLiteral("ASM"));
    QCOMPARE(captions.last(), QStringLiteral("None"));
    QVERIFY(captions.contains(QStringLiteral("XML/XSL")));

    // The table editor gets the pair of the scheme chosen by name, and the scheme is
    // chosen again from the name when it closes, so a saved proposal is offered at once.
    bool handedOver = false;
    f.prompts.expectExec([&](QDialog &dialog) {
        auto *grid = qobject_cast<TFormGrid *>(&dialog);
        handedOver = grid && grid->FItems == f.dataPath() + QStringLiteral("PasItems.src") &&
                     grid->PLanguage == u"TXT" && grid->StringGrid1->Cells(0, 2) == u"end";
        if (grid) {
            grid->StringGrid1->SetCells(0, 3, QStringLiteral("repeat"));
            grid->StringGrid1->SetCells(1, 3, QStringLiteral("repeat$retuntil ;"));
            f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("TXT"));
            grid->ToolButton4Click();
        }
        return int(QDialog::Accepted);
    });
    f.form->action(QStringLiteral("ToolButton10"))->trigger();
    QVERIFY(handedOver);
    QCOMPARE(f.form->panelText(2), QStringLiteral("Pascal"));
    QCOMPARE(f.form->FormGrid()->FItems, QString());
    QCOMPARE(f.form->SynCompletionProposal1->ItemList().value(2), QStringLiteral("repeat"));
    QCOMPARE(f.form->SynCompletionProposal1->InsertList().value(2),
             QStringLiteral("repeat$retuntil ;"));

    f.form->FileNew();
    QCOMPARE(f.form->panelText(2), QString());
    QCOMPARE(f.form->ItemFile, QString());
    QVERIFY(f.prompts.done());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
