// Find and replace on an editor: the dialog searches, find next, replace and replace all,
// and the editor search against FindInText on `Text`.

#include "editor/synmemo.h"
#include "tests/app/mainformfixture.h"
#include "texttools/findreplace.h"
#include "texttools/searchdialogs.h"
#include "texttools/textsearch.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

using Hits = QList<QPair<int, int>>;

struct Fixture
{
    Fixture()
    {
        editor = new TSynMemo(&window);
        search =
            new EditorFindReplace(*editor, prompts, &window,
                                  {QStringLiteral("Box"), [] { return QStringLiteral("none"); }});
    }
    void find(const QString &text, bool wholeWord = false, bool matchCase = false)
    {
        search->FindDialog1()->setFindText(text);
        search->FindDialog1()->wholeWordBox()->setChecked(wholeWord);
        search->FindDialog1()->matchCaseBox()->setChecked(matchCase);
        search->FindDialog1()->findButton()->click();
    }
    // The selection as (1-based position, length).
    QPair<int, int> selection() const { return {editor->SelStart() + 1, editor->SelLength()}; }

    QWidget window;
    ScriptedPrompts prompts;
    TSynMemo *editor;
    EditorFindReplace *search;
};

} // namespace

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void dialogSearchContinuesAfterSelection();
    void notFoundStartsAgainAtTop();
    void findNextRules_data();
    void findNextRules();
    void findNextBeforeAnySearchDoesNothing();
    void replaceDialogFindIgnoresWholeWord();
    void replaceTakesAnySelection();
    void replaceAll_data();
    void replaceAll();
    void replaceAllWithoutHitKeepsUndo();
    void replaceAllKeepsEachLineBreak();
    void editorSearchAgreesWithText();
    void mainWindowCommands();
    void regexFind_data();
    void regexFind();
    void regexInvalidPatternSaysWhere();
    void regexReplace();
};

void TestFindReplace::dialogSearchContinuesAfterSelection()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("cat\r\nconcat cat"));
    f.search->ShowFind(true);
    QCOMPARE(f.editor->SelStart(), 1);
    f.find(QStringLiteral("cat"), true);
    QCOMPARE(f.selection(), qMakePair(1, 3));
    QCOMPARE(f.search->state().SearchStart, 2);
    f.find(QStringLiteral("cat"), true);
    QCOMPARE(f.selection(), qMakePair(13, 3)); // "concat" is no whole word
    QVERIFY(f.search->state().SearchWholeWord);
    QVERIFY(f.prompts.done());
}

void TestFindReplace::notFoundStartsAgainAtTop()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("one two"));
    f.prompts.expectMessage(QStringLiteral("none"));
    f.find(QStringLiteral("three"));
    QVERIFY(f.prompts.done());
    QCOMPARE(f.selection(), qMakePair(2, 0));
    QCOMPARE(f.prompts.seen().last().title, QStringLiteral("Box"));
    // A search for "Ä" without case does not find "ä": only A to Z are folded.
    f.editor->SetText(QStringLiteral("ä"));
    f.prompts.expectMessage();
    f.find(QStringLiteral("Ä"));
    QVERIFY(f.prompts.done());
}

void TestFindReplace::findNextRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QList<int>>("positions"); // dialog hit, then each find next; 0: not found

    // After the dialog's hit, find next starts one character on and finds an overlap.
    QTest::newRow("overlap after dialog") << "aaaa"
                                          << "aa" << QList<int>{1, 2};
    // After its own hit it starts one character on as well: every occurrence is found in
    // order, adjacent and overlapping ones included. A start beyond the text wraps to the
    // top; a search from inside the text that finds nothing more says so (0) first.
    QTest::newRow("spaced hits") << "ab ab ab"
                                 << "ab" << QList<int>{1, 4, 7, 0, 1};
    QTest::newRow("adjacent hits") << "xyxyxyz"
                                   << "xy" << QList<int>{1, 3, 5, 0, 1};
    QTest::newRow("one character each") << "xxx"
                                        << "x" << QList<int>{1, 2, 3, 1, 2};
    QTest::newRow("overlapping hits") << "aaaa"
                                      << "aa" << QList<int>{1, 2, 3, 0, 1};
    QTest::newRow("single hit then wrap") << "a == b"
                                          << "=" << QList<int>{3, 4, 0, 3};
    QTest::newRow("hit at the end") << "xyxyxy"
                                    << "xy" << QList<int>{1, 3, 5, 0, 1};
    QTest::newRow("not found then top") << "ab cd ef"
                                        << "cd" << QList<int>{4, 0, 4};
}

void TestFindReplace::findNextRules()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QList<int>, positions);
    Fixture f;
    f.editor->SetText(text);
    f.find(pattern);
    QCOMPARE(f.selection().first, positions[0]);
    for (int i = 1; i < positions.size(); ++i) {
        if (positions[i] == 0) {
            f.prompts.expectMessage(QStringLiteral("none"));
            f.search->FindNext();
            QVERIFY(f.prompts.done());
            QCOMPARE(f.search->state().SearchStart, 1);
            continue;
        }
        f.search->FindNext();
        QCOMPARE(f.selection(), qMakePair(positions[i], int(pattern.size())));
    }
}

void TestFindReplace::findNextBeforeAnySearchDoesNothing()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("abc"));
    f.editor->SetSelStart(2);
    f.search->FindNext();
    QCOMPARE(f.selection(), qMakePair(3, 0));
    QVERIFY(f.prompts.done());
}

void TestFindReplace::replaceDialogFindIgnoresWholeWord()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("concat Cat"));
    f.search->ShowReplace();
    TReplaceDialog *dialog = f.search->ReplaceDialog1();
    QVERIFY(dialog->FindText().isEmpty());
    dialog->setFindText(QStringLiteral("cat"));
    dialog->matchCaseBox()->setChecked(true);
    dialog->findButton()->click();
    QCOMPARE(f.selection(), qMakePair(4, 3));
    f.prompts.expectMessage(QStringLiteral("none"));
    dialog->findButton()->click();
    QVERIFY(f.prompts.done());
    QVERIFY(f.search->state().SearchMatchCase);
    QVERIFY(!f.search->state().SearchWholeWord);
}

void TestFindReplace::replaceTakesAnySelection()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("hello world"));
    TReplaceDialog *dialog = f.search->ReplaceDialog1();
    dialog->setFindText(QStringLiteral("xyz"));
    dialog->setReplaceText(QStringLiteral("there"));
    dialog->replaceButton()->click(); // no selection: nothing
    QCOMPARE(f.editor->Text(), QStringLiteral("hello world"));
    f.editor->SetSelStart(6);
    f.editor->SetSelLength(5);
    dialog->replaceButton()->click();
    QCOMPARE(f.editor->Text(), QStringLiteral("hello there"));
    f.editor->Undo();
    QCOMPARE(f.editor->Text(), QStringLiteral("hello world"));
}

void TestFindReplace::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("expected");

    QTest::newRow("locale folding") << QStringLiteral("Äpfel\r\näpfel") << QStringLiteral("ä")
                                    << "ae" << false << "aepfel\r\naepfel";
    QTest::newRow("match case") << "Cat cat"
                                << "cat"
                                << "dog" << true << "Cat dog";
    QTest::newRow("grows without looping") << "aaa"
                                           << "a"
                                           << "aa" << false << "aaaaaa";
    QTest::newRow("empty replacement") << "a;b;"
                                       << ";"
                                       << "" << false << "ab";
    QTest::newRow("match case, non-ASCII, at both ends")
        << QStringLiteral("äbÄ\r\nä") << QStringLiteral("ä") << "€" << true
        << QStringLiteral("€bÄ\r\n€");
    // Several megabytes of hits: the text is changed in pieces, which must join up.
    QString many;
    for (int i = 0; i < 200000; ++i)
        many += (i % 3 == 0) ? QStringLiteral("cat and Cat\r\n") : QStringLiteral("a cat\r\n");
    QString grown = many;
    grown.replace(QStringLiteral("cat"), QStringLiteral("mouse"));
    QString shrunk = many;
    shrunk.replace(QStringLiteral("cat"), QStringLiteral("x"));
    QTest::newRow("match case, megabytes, growing") << many << "cat"
                                                    << "mouse" << true << grown;
    QTest::newRow("match case, megabytes, shrinking") << many << "cat"
                                                      << "x" << true << shrunk;
}

void TestFindReplace::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, expected);
    Fixture f;
    f.editor->SetText(text);
    TReplaceDialog *dialog = f.search->ReplaceDialog1();
    dialog->setFindText(search);
    dialog->setReplaceText(replacement);
    dialog->matchCaseBox()->setChecked(matchCase);
    dialog->replaceAllButton()->click();
    QCOMPARE(f.editor->Text(), expected);
    // One undo step takes the whole replacement back.
    f.editor->Undo();
    QCOMPARE(f.editor->Text(), text);
}

void TestFindReplace::replaceAllWithoutHitKeepsUndo()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("abc"));
    f.editor->SetSelStart(3);
    f.editor->SetSelText(QStringLiteral("d"));
    f.search->ReplaceDialog1()->setFindText(QStringLiteral("xyz"));
    f.search->ReplaceDialog1()->replaceAllButton()->click();
    QCOMPARE(f.editor->Text(), QStringLiteral("abcd"));
    QVERIFY(f.editor->isUndoAvailable());
}

void TestFindReplace::replaceAllKeepsEachLineBreak()
{
    // A file with mixed breaks, megabytes long, so the text changes in several pieces:
    // after the replacement and after its undo every line still ends as in the file.
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += (i % 3 == 0) ? "cat and Cat" : "a cat";
        bytes += (i % 7 == 0) ? "\n" : "\r\n";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    Fixture f;
    QVERIFY(f.editor->Lines().LoadFromFile(path));
    TReplaceDialog *dialog = f.search->ReplaceDialog1();
    dialog->setFindText(QStringLiteral("cat"));
    dialog->setReplaceText(QStringLiteral("mouse"));
    dialog->matchCaseBox()->setChecked(true);
    dialog->replaceAllButton()->click();
    const auto saved = [&] {
        QFile out(path);
        if (!f.editor->Lines().SaveToFile(path) || !out.open(QIODevice::ReadOnly))
            return QByteArray();
        return out.readAll();
    };
    QCOMPARE(saved(), QByteArray(bytes).replace("cat", "mouse"));
    f.editor->Undo();
    QCOMPARE(saved(), bytes);
}

void TestFindReplace::editorSearchAgreesWithText()
{
    const QStringList pieces = {QStringLiteral("a"),    QStringLiteral("A"), QStringLiteral(" "),
                                QStringLiteral("\r\n"), QStringLiteral("é"), QStringLiteral("Ω"),
                                QStringLiteral("😀"),    QStringLiteral("ab")};
    QRandomGenerator random(7);
    TSynMemo editor;
    for (int round = 0; round < 300; ++round) {
        QString text;
        for (int i = random.bounded(0, 20); i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        editor.SetText(text);
        const QString pattern = random.bounded(2) ? QStringLiteral("a") : QStringLiteral("aA");
        const bool wholeWord = random.bounded(2);
        const bool matchCase = random.bounded(2);
        for (int start = 0; start <= text.size() + 1; ++start) {
            QCOMPARE(EditorFindReplace::findInEditor(editor, pattern, start, wholeWord, matchCase),
                     FindInText(text, pattern, start, wholeWord, matchCase));
        }
    }
}

void TestFindReplace::mainWindowCommands()
{
    MainFormFixture f;
    f.show();
    f.form->SynMemo1->SetText(QStringLiteral("eins zwei eins"));
    f.form->action(QStringLiteral("Find1"))->trigger();
    TFindDialog *dialog = f.form->findReplace()->FindDialog1();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Suchen"));
    dialog->setFindText(QStringLiteral("eins"));
    dialog->findButton()->click();
    // Without a selection the first search starts at the top, whatever the caret.
    QCOMPARE(f.form->SynMemo1->SelStart(), 0);
    f.form->action(QStringLiteral("Weitersuchen1"))->trigger();
    QCOMPARE(f.form->SynMemo1->SelStart(), 10);
    dialog->setFindText(QStringLiteral("drei"));
    f.prompts.expectMessage(QStringLiteral("Keine Übereinstimmung gefunden"));
    dialog->findButton()->click();
    QVERIFY(f.prompts.done());
    f.form->action(QStringLiteral("Ersetzen1"))->trigger();
    QVERIFY(f.form->findReplace()->ReplaceDialog1()->isVisible());
}

void TestFindReplace::regexFind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    // The dialog's hit, then each find next, as (position, length) into `Text`.
    QTest::addColumn<Hits>("hits");

    // In a CR LF document `\n` stands for the whole break, and a hit over it selects it.
    QTest::newRow("CR LF break") << "ab\r\ncd"
                                 << "b\\nc" << false << Hits{{2, 4}};
    QTest::newRow("line ends in CR LF") << "ab\r\ncd\r\n"
                                        << "\\w$" << false << Hits{{2, 1}, {6, 1}};
    QTest::newRow("non-ASCII, case folded") << "x Äpfel äpfel"
                                            << "ä\\w+" << false << Hits{{3, 5}, {9, 5}};
    QTest::newRow("captures in pattern") << "aa ab bb"
                                         << "(\\w)\\1" << true << Hits{{1, 2}, {7, 2}};
    // Empty hits: the dialog and find next each move on past them.
    QTest::newRow("empty hits advance") << "ab\ncd"
                                        << "^" << true << Hits{{1, 0}, {5, 0}};
}

void TestFindReplace::regexFind()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(Hits, hits);
    Fixture f;
    f.editor->SetText(text);
    f.search->FindDialog1()->regexBox()->setChecked(true);
    f.find(pattern, false, matchCase);
    QCOMPARE(f.selection(), hits[0]);
    for (int i = 1; i < hits.size(); ++i) {
        f.search->FindNext();
        QCOMPARE(f.selection(), hits[i]);
    }
    QVERIFY(f.prompts.done());
}

void TestFindReplace::regexInvalidPatternSaysWhere()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("a(b"));
    f.search->setLanguage(0);
    f.search->FindDialog1()->regexBox()->setChecked(true);
    f.prompts.expectMessage(QStringLiteral("Ungültiger regulärer Ausdruck an Position 4"));
    f.find(QStringLiteral("((b"));
    QVERIFY(f.prompts.done());
    f.search->setLanguage(1);
    f.search->ReplaceDialog1()->regexBox()->setChecked(true);
    f.search->ReplaceDialog1()->setFindText(QStringLiteral("[x"));
    f.prompts.expectMessage(QStringLiteral("Invalid regular expression at position 3"));
    f.search->ReplaceDialog1()->replaceAllButton()->click();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.editor->Text(), QStringLiteral("a(b"));
}

void TestFindReplace::regexReplace()
{
    Fixture f;
    f.editor->SetText(QStringLiteral("key1=one\r\nkey2=two\r\n"));
    TReplaceDialog *dialog = f.search->ReplaceDialog1();
    dialog->regexBox()->setChecked(true);
    dialog->setFindText(QStringLiteral("(\\w+)=(\\w+)"));
    dialog->setReplaceText(QStringLiteral("\\2: \\1"));
    // Replace: the captures of the selected hit.
    dialog->findButton()->click();
    QCOMPARE(f.selection(), qMakePair(1, 8));
    dialog->replaceButton()->click();
    QCOMPARE(f.editor->Text(), QStringLiteral("one: key1\r\nkey2=two\r\n"));
    // Replace all over lines: every break is one "\n", new breaks follow the document's.
    dialog->setFindText(QStringLiteral("\\n(k)"));
    dialog->setReplaceText(QStringLiteral("\\n\\t\\1"));
    dialog->replaceAllButton()->click();
    QCOMPARE(f.editor->Text(), QStringLiteral("one: key1\r\n\tkey2=two\r\n"));
    QVERIFY(f.prompts.done());
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
