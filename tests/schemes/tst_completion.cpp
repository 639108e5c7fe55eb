// The completion pop-up on a bare editor, driven by key events: opening, filtering,
// completing with Enter, Tab and end characters, Escape, the trigger pause, undo.

#include "editor/completion.h"
#include "schemes/proposalfiles.h"

#include <QTest>

#include "tests/support/timebudget.h"
#include <Qsci/qsciscintilla.h>

class tst_Completion : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ctrlSpaceEnterUndo();
    void completionKeys_data();
    void completionKeys();
    void escapeCancels();
    void typingNarrowsAndWidens();
    void missingInsertLeavesWord();
    void triggerCharAfterPause();
    void detachedDoesNothing();
    void hugeListStaysFast();
    void editorDeletedWhileAttached();

private:
    void type(const QString &text) { QTest::keyClicks(m_editor, text); }
    void ctrlSpace() { QTest::keyClick(m_editor, Qt::Key_Space, Qt::ControlModifier); }

    QsciScintilla *m_editor = nullptr;
    TSynCompletionProposal *m_completion = nullptr;
};

void tst_Completion::init()
{
    m_editor = new QsciScintilla;
    m_editor->setUtf8(true);
    m_editor->setEolMode(QsciScintilla::EolUnix);
    m_editor->resize(600, 400);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor));
    m_editor->setFocus();
    m_completion = new TSynCompletionProposal;
    m_completion->SetItemList({"begin", "Break", "procedure", "beep"});
    m_completion->SetInsertList(
        {"begin$retend;", "break;", "procedure Name;$retbegin$ret$retend;", "Beep$RET"});
    m_completion->SetOnCodeCompletion([this](QString &value, int, QChar) {
        value = expandReturnMarkers(value, m_completion->EditorLineBreak());
    });
    m_completion->SetEditor(m_editor);
}

void tst_Completion::cleanup()
{
    delete m_completion;
    delete m_editor;
}

void tst_Completion::ctrlSpaceEnterUndo()
{
    type("x := 0; BE");
    ctrlSpace();
    QVERIFY(m_completion->IsActive());
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 3})); // "begin", "beep"
    QTest::keyClick(m_editor, Qt::Key_Return);
    QVERIFY(!m_completion->IsActive());
    QCOMPARE(m_editor->text(), u"x := 0; begin\nend;");
    // The caret stands after the inserted text: typing goes on there.
    type("!");
    QCOMPARE(m_editor->text(), u"x := 0; begin\nend;!");
    m_editor->undo();
    m_editor->undo();
    QCOMPARE(m_editor->text(), u"x := 0; BE");
}

void tst_Completion::completionKeys_data()
{
    QTest::addColumn<QString>("before"); // text typed, then the caret goes back `back` characters
    QTest::addColumn<int>("back");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Enter replaces the whole word")
        << "prXYZ" << 3 << int(Qt::Key_Return) << "procedure Name;\nbegin\n\nend;";
    QTest::newRow("Tab replaces the whole word") << "brXYZ" << 3 << int(Qt::Key_Tab) << "break;";
    QTest::newRow("end char replaces to the caret, then is typed")
        << "brXYZ" << 3 << int(Qt::Key_ParenLeft) << "break;(XYZ";
    QTest::newRow("full stop completes") << "br" << 0 << int(Qt::Key_Period) << "break;.";
    QTest::newRow("capital marker stays") << "beE" << 0 << int(Qt::Key_Return) << "Beep$RET";
}

void tst_Completion::completionKeys()
{
    QFETCH(QString, before);
    QFETCH(int, back);
    QFETCH(int, key);
    QFETCH(QString, expected);
    type(before);
    for (int i = 0; i < back; ++i)
        QTest::keyClick(m_editor, Qt::Key_Left);
    ctrlSpace();
    QVERIFY(m_completion->IsActive());
    if (key == Qt::Key_ParenLeft || key == Qt::Key_Period)
        QTest::keyClicks(m_editor, QString(QChar(key)));
    else
        QTest::keyClick(m_editor, Qt::Key(key));
    QCOMPARE(m_editor->text(), expected);
}

void tst_Completion::escapeCancels()
{
    type("be");
    ctrlSpace();
    QVERIFY(m_completion->IsActive());
    QTest::keyClick(m_editor, Qt::Key_Escape);
    QVERIFY(!m_completion->IsActive());
    QCOMPARE(m_editor->text(), u"be");
}

void tst_Completion::typingNarrowsAndWidens()
{
    type("b");
    ctrlSpace();
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 1, 3}));
    type("E");
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 3}));
    type("g");
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0}));
    QTest::keyClick(m_editor, Qt::Key_Backspace);
    QVERIFY(m_completion->IsActive());
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 3}));
    type("x"); // nothing begins with "bex": the list closes
    QVERIFY(!m_completion->IsActive());
    QCOMPARE(m_editor->text(), u"bEx");
    type(" ");
    ctrlSpace(); // an empty word lists everything
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 1, 2, 3}));
}

void tst_Completion::missingInsertLeavesWord()
{
    m_completion->SetInsertList({"begin$retend;"}); // one insert for four keywords
    type("brXY");
    QTest::keyClick(m_editor, Qt::Key_Left);
    QTest::keyClick(m_editor, Qt::Key_Left);
    ctrlSpace();
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->text(), u"brXY");
    QVERIFY(!m_editor->isUndoAvailable() || (m_editor->undo(), m_editor->text().isEmpty()));
}

void tst_Completion::triggerCharAfterPause()
{
    m_completion->SetTriggerChars("<");
    m_completion->SetItemList({"div", "span"});
    m_completion->SetInsertList({"div>$ret</div>", "span></span>"});
    type("<");
    QVERIFY(!m_completion->IsActive());
    QTRY_VERIFY_WITH_TIMEOUT(m_completion->IsActive(), 2000);
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 1}));
    type("s");
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({1}));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->text(), u"<span></span>");

    // Typing on after the trigger character cancels the pause.
    m_editor->clear();
    type("<d");
    QTest::qWait(m_completion->TimerInterval() + 200);
    QVERIFY(!m_completion->IsActive());
}

void tst_Completion::detachedDoesNothing()
{
    m_completion->SetEditor(nullptr);
    type("be");
    ctrlSpace();
    QVERIFY(!m_completion->IsActive());
    QCOMPARE(m_editor->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE), 0);
    m_completion->SetTriggerChars(".");
    type(".");
    QTest::qWait(m_completion->TimerInterval() + 200);
    QCOMPARE(m_editor->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE), 0);
}

void tst_Completion::hugeListStaysFast()
{
    QStringList items, inserts;
    for (int i = 0; i < 100000; ++i) {
        items << QStringLiteral("item%1").arg(i);
        inserts << QStringLiteral("code%1$ret").arg(i);
    }
    items[5] = QStringLiteral("bad\x1e"
                              "entry") +
               QChar(0) + QStringLiteral("nul");
    m_completion->SetItemList(items);
    m_completion->SetInsertList(inserts);

    SpeedTimer timer;
    timer.start();
    ctrlSpace();
    const qint64 openMs = timer.elapsed();
    QVERIFY(m_completion->IsActive());
    QCOMPARE(m_completion->ShownIndexes().size(), TSynCompletionProposal::kMaxShown);
    timer.restart();
    type("item9999");
    const qint64 typeMs = timer.elapsed();
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({9999, 99990, 99991, 99992, 99993, 99994,
                                                       99995, 99996, 99997, 99998, 99999}));
    qInfo("100,000 keywords: list opened in %lld ms, 8 keystrokes filtered in %lld ms", openMs,
          typeMs);
    QVERIFY(openMs < timeBudget(150));
    QVERIFY(typeMs < timeBudget(200));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->text(), u"code9999\n");

    // The entry with a NUL and a separator is shown whole, at its own index.
    m_editor->clear();
    type("bad");
    ctrlSpace();
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({5}));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->text(), u"code5\n");
}

void tst_Completion::editorDeletedWhileAttached()
{
    type("be");
    ctrlSpace();
    QVERIFY(m_completion->IsActive());
    delete m_editor;
    m_editor = nullptr;
    QVERIFY(!m_completion->Editor());
    QVERIFY(!m_completion->IsActive());
    m_completion->Activate(); // detached: nothing happens
}

QTEST_MAIN(tst_Completion)
#include "tst_completion.moc"
