// The main window's text commands: transformations on the editor (one undo step for
// hyphen removal), go to line, delete selection, bookmarks and the gutter click.

#include "app/commandtables.h"
#include "tests/app/mainformfixture.h"
#include "tests/support/timebudget.h"
#include "texttools/documenttools.h"
#include "texttools/findreplace.h"
#include "texttools/searchdialogs.h"

#include <QAction>

namespace {

struct Fixture : MainFormFixture
{
    Fixture() { show(); }
    TSynMemo &editor() { return *form->SynMemo1; }
    void run(const char *name) { form->action(QString::fromLatin1(name))->trigger(); }
    bool checked(int n, bool goTo) { return form->action(bookmarkItemName(n, goTo))->isChecked(); }
};

} // namespace

class TestDocumentTools : public QObject
{
    Q_OBJECT

private slots:
    void hyphenRemovalIsOneUndoStep();
    void lineBreaks();
    void wholeTextCommandsAreOneUndoStep_data();
    void wholeTextCommandsAreOneUndoStep();
    void caseConversionOfSelection();
    void goToLine_data();
    void goToLine();
    void deleteSelection();
    void bookmarksAndCheckMarks();
    void gutterClickSetsAndClears();
    void bookmarkInEmptyDocument();
    void replaceAllOnLargeDocument();
};

void TestDocumentTools::hyphenRemovalIsOneUndoStep()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("a well-known\r\nstate-of-the-art hy-phen"));
    f.prompts.expectMessage(QStringLiteral("2 x Silbentrennung entfernt."));
    f.run("RemoveHyphenation1");
    QVERIFY(f.prompts.done());
    QCOMPARE(f.editor().Text(), QStringLiteral("a wellknown\r\nstate-of-the-art hyphen"));
    f.editor().Undo();
    QCOMPARE(f.editor().Text(), QStringLiteral("a well-known\r\nstate-of-the-art hy-phen"));
    f.prompts.expectMessage(QStringLiteral("0 x "));
    f.editor().SetText(QString());
    f.run("RemoveHyphenation1");
    QVERIFY(f.prompts.done());
}

void TestDocumentTools::lineBreaks()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("a \r\n b"));
    f.run("Removelinebreaks1");
    QCOMPARE(f.editor().Text(), QStringLiteral("a b"));
    f.editor().SetText(QStringLiteral("a;b;"));
    f.editor().SetModified(false);
    f.prompts.expectInput(std::nullopt); // Cancel changes nothing
    f.run("Insertlinebreaks1");
    QCOMPARE(f.editor().Text(), QStringLiteral("a;b;"));
    QVERIFY(!f.editor().Modified());
    f.prompts.expectInput(QStringLiteral(";"));
    f.run("Insertlinebreaks1");
    QCOMPARE(f.editor().Text(), QStringLiteral("a;\r\nb;\r\n"));
    f.prompts.expectInput(QString());
    f.run("Insertlinebreaks1");
    QCOMPARE(f.editor().Text(), QStringLiteral("a;\r\nb;\r\n"));
    QCOMPARE(f.prompts.seen().first().title, QStringLiteral("Umbrüche einfügen"));
    QVERIFY(f.prompts.done());
}

void TestDocumentTools::wholeTextCommandsAreOneUndoStep_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("remove line breaks") << "remove"
                                        << "ab; c";
    QTest::newRow("insert line breaks") << "insert"
                                        << "a\r\nb;\r\n c";
    QTest::newRow("replace all") << "replace"
                                 << "a\r\nB; c";
}

void TestDocumentTools::wholeTextCommandsAreOneUndoStep()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    Fixture f;
    f.editor().SetText(QStringLiteral("a\r\nb; c"));
    f.editor().SetSelStart(0);
    f.editor().SetSelText(QStringLiteral("x")); // an earlier edit, to undo later
    f.editor().SetSelStart(0);
    f.editor().SetSelLength(1);
    f.editor().SetSelText(QString());
    f.editor().SetModified(false);
    if (command == u"remove") {
        f.run("Removelinebreaks1");
    } else if (command == u"insert") {
        f.prompts.expectInput(QStringLiteral(";"));
        f.run("Insertlinebreaks1");
    } else {
        f.form->findReplace()->ReplaceDialog1()->setFindText(QStringLiteral("b"));
        f.form->findReplace()->ReplaceDialog1()->setReplaceText(QStringLiteral("B"));
        f.form->findReplace()->ReplaceDialog1Replace(true);
    }
    QVERIFY(f.prompts.done());
    QCOMPARE(f.editor().Text(), expected);
    QVERIFY(f.editor().Modified());
    // One undo takes the command back, the history before it is still there.
    f.editor().Undo();
    QCOMPARE(f.editor().Text(), QStringLiteral("a\r\nb; c"));
    QVERIFY(!f.editor().Modified());
    f.editor().Undo();
    QCOMPARE(f.editor().Text(), QStringLiteral("xa\r\nb; c"));
}

void TestDocumentTools::caseConversionOfSelection()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("x straße äb y"));
    f.editor().SetSelStart(2);
    f.editor().SetSelLength(9);
    f.run("ToolButton8");
    QCOMPARE(f.editor().Text(), QStringLiteral("x STRAßE äB y"));
    QCOMPARE(f.editor().SelLength(), 0);
    QCOMPARE(f.editor().SelStart(), 11);
    f.editor().SelectAll();
    f.run("UppertoLower1");
    QCOMPARE(f.editor().Text(), QStringLiteral("x straße äb y"));
    f.editor().Undo();
    QCOMPARE(f.editor().Text(), QStringLiteral("x STRAßE äB y"));
}

void TestDocumentTools::goToLine_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column"); // 0: message 10, -1: nothing; the caret stays for both
    QTest::newRow("9999") << std::optional<QString>(QStringLiteral("9999")) << 10 << 1;
    QTest::newRow("3") << std::optional<QString>(QStringLiteral("3")) << 3 << 1;
    QTest::newRow("0 keeps column") << std::optional<QString>(QStringLiteral("0")) << 1 << 3;
    QTest::newRow("abc") << std::optional<QString>(QStringLiteral("abc")) << 0 << 0;
    QTest::newRow("empty answer") << std::optional<QString>(QString()) << 0 << 0;
    QTest::newRow("cancel does nothing") << std::optional<QString>() << 0 << -1;
}

void TestDocumentTools::goToLine()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, line);
    QFETCH(int, column);
    Fixture f;
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines << QStringLiteral("line %1").arg(i);
    f.editor().SetText(lines.join(QStringLiteral("\r\n")));
    f.editor().SetCaretXY(3, 5);
    f.prompts.expectInput(answer);
    if (column == 0)
        f.prompts.expectMessage(QStringLiteral("Ungültige Zeilennummer"));
    f.run("GoToLine1");
    QVERIFY(f.prompts.done());
    QCOMPARE(f.prompts.seen().first().title, QStringLiteral("Zeilennummer eingeben"));
    if (column <= 0) {
        QCOMPARE(f.editor().CaretY(), 5);
        QCOMPARE(f.prompts.seen().size(), column == 0 ? 2 : 1);
        return;
    }
    QCOMPARE(f.editor().CaretY(), line);
    QCOMPARE(f.editor().CaretX(), column);
}

void TestDocumentTools::deleteSelection()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("abcdef"));
    f.editor().SetSelStart(1);
    f.run("ToolButtonDel");
    QCOMPARE(f.editor().Text(), QStringLiteral("abcdef"));
    f.editor().SetSelLength(2);
    f.run("ToolButtonDel");
    QCOMPARE(f.editor().Text(), QStringLiteral("adef"));
}

void TestDocumentTools::bookmarksAndCheckMarks()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    f.editor().SetCaretXY(2, 2);
    f.form->action(bookmarkItemName(4, false))->trigger();
    QVERIFY(f.checked(4, false));
    QVERIFY(f.checked(4, true));
    f.editor().SetCaretXY(1, 3);
    f.form->action(bookmarkItemName(4, true))->trigger();
    QCOMPARE(f.editor().CaretY(), 2);
    QCOMPARE(f.editor().CaretX(), 2);
    f.run("Lesezeichenlschen1");
    QVERIFY(!f.checked(4, false));
    QVERIFY(!f.checked(4, true));
    int column = 0, line = 0;
    QVERIFY(!f.editor().GetBookMark(4, column, line));
}

void TestDocumentTools::gutterClickSetsAndClears()
{
    Fixture f;
    f.editor().SetText(QStringLiteral("a\r\nb\r\nc"));
    f.editor().SetCaretXY(1, 2);
    f.form->action(bookmarkItemName(0, false))->trigger();
    f.form->action(bookmarkItemName(1, false))->trigger();
    f.editor().SetCaretXY(1, 3);
    f.form->action(bookmarkItemName(3, false))->trigger();
    // The bookmark on the clicked line goes ...
    emit f.editor().OnGutterClick(Qt::LeftButton, 3);
    int column = 0, line = 0;
    QVERIFY(!f.editor().GetBookMark(3, column, line));
    QVERIFY(!f.checked(3, false));
    // ... and a second click sets the lowest number without a check mark there.
    f.form->SynMemo1GutterClick(3);
    QVERIFY(f.editor().GetBookMark(2, column, line));
    QCOMPARE(line, 3);
    QVERIFY(f.checked(2, true));
    // Two on one line: the lowest number goes first.
    f.form->SynMemo1GutterClick(2);
    QVERIFY(!f.editor().GetBookMark(0, column, line));
    QVERIFY(f.editor().GetBookMark(1, column, line));
}

void TestDocumentTools::bookmarkInEmptyDocument()
{
    Fixture f;
    f.form->action(bookmarkItemName(5, false))->trigger();
    QVERIFY(!f.checked(5, false));
}

void TestDocumentTools::replaceAllOnLargeDocument()
{
    // Replace all with a million hits in 50 MB, and hyphen removal on 10 MB: one editor
    // update each, in time proportional to the text.
    Fixture f;
    // 50 characters a line, one hit in each: a million hits in 50 MB.
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy cat dog.\r\n");
    const auto timeReplace = [&](qsizetype size) {
        QString text;
        text.reserve(size + line.size());
        while (text.size() < size)
            text += line;
        f.editor().SetText(text);
        SpeedTimer timer;
        timer.start();
        f.form->findReplace()->ReplaceDialog1()->setFindText(QStringLiteral("CAT"));
        f.form->findReplace()->ReplaceDialog1()->setReplaceText(QStringLiteral("mouse"));
        f.form->findReplace()->ReplaceDialog1Replace(true);
        return timer.elapsed();
    };
    const qint64 small = timeReplace(5'000'000);
    const qint64 large = timeReplace(50'000'000);
    qInfo("replace all: 5 MB %lld ms, 50 MB %lld ms", small, large);
    QVERIFY(f.editor().TextLength() >= 52'000'000);
    QVERIFY2(large < 30'000, qPrintable(QString::number(large)));
}

QTEST_MAIN(TestDocumentTools)
#include "tst_documenttools.moc"
