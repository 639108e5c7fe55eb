// Nothing lost: typed text survives a window that goes away without closing (the test's
// crash), changes of the file on disk are asked about once and each answer does what it
// says, a second window is warned about a file with unsaved edits, and a reopened file
// gets its caret, view and bookmarks back.

#include "mainformfixture.h"

#include "store/documentguard.h"
#include "store/editjournal.h"
#include "texttools/documenttools.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QPushButton>

#include <cstdio>

using Answer = Prompts::Answer;

namespace {

QStringList journals(const MainFormFixture &f)
{
    return EditJournal::journals(EditJournal::folder(f.dataPath()));
}

// Types into the editor as a user would: "^" is Return, "<" Backspace, ">" Delete, "#"
// goes to the end of the document, "!" to the start; every other character is typed.
void type(TSynMemo *editor, const QString &keys)
{
    editor->setFocus();
    for (const QChar key : keys) {
        switch (key.unicode()) {
        case '^':
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        case '<':
            QTest::keyClick(editor, Qt::Key_Backspace);
            break;
        case '>':
            QTest::keyClick(editor, Qt::Key_Delete);
            break;
        case '#':
            QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
            break;
        case '!':
            QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
            break;
        default:
            // By text: QTest's character clicks take ASCII only.
            QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_unknown, QString(key),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_unknown, QString(key),
                                Qt::NoModifier);
        }
    }
}

// The window goes away without closing its document, as a killed program does.
void crash(MainFormFixture &f)
{
    f.form->documentGuard()->flushJournal();
    f.form.reset();
}

void restart(MainFormFixture &f, const QStringList &arguments = {QStringLiteral("quillora")})
{
    f.form = std::make_unique<TMainForm>(f.prompts, f.shell, arguments, f.dataPath());
}

void rewrite(const QString &path, const QByteArray &bytes, const QString &how)
{
    if (how == u"rename") {
        // As safe writers and version control do: a new file renamed over the old one.
        const QString fresh = path + QStringLiteral(".new");
        MainFormFixture::writeFile(fresh, bytes);
        QVERIFY(std::rename(QFile::encodeName(fresh).constData(),
                            QFile::encodeName(path).constData()) == 0);
    } else if (how == u"delete") {
        QVERIFY(QFile::remove(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void restoreAfterCrash_data();
    void restoreAfterCrash();
    void changedFileRestoresUntitled();
    void blankedDocumentRestoresUntitled_data();
    void blankedDocumentRestoresUntitled();
    void restoreAfterAnsiCopy();
    void offerAnswers_data();
    void offerAnswers();
    void damagedJournalSetAside();
    void journalGoesWithCleanEnds();
    void journalSwitchInSettings();
    void diskChanges_data();
    void diskChanges();
    void writerInStepsAskedOnce();
    void ownSaveAsksNothing();
    void secondWindowIsWarned();
    void viewComesBack();
};

void TestRecovery::restoreAfterCrash_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("keys");
    QTest::newRow("utf8 crlf") << QByteArray("eins\r\nzwei\r\n")
                               << QStringLiteral("#drei^vier<r!>E");
    QTest::newRow("utf16 le mixed breaks") << QByteArray("\xFF\xFE"
                                                         "a\0\r\0\n\0b\0\n\0c\0",
                                                         14)
                                           << QStringLiteral("!x^y#z");
    QTest::newRow("windows-1252") << QByteArray("Gr\xFC\xDF\x65\r\n\x80")
                                  << QStringLiteral("#\u00e4^\u00df");
    QTest::newRow("untitled") << QByteArray() << QStringLiteral("neu^text<t");
}

void TestRecovery::restoreAfterCrash()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, keys);
    MainFormFixture f;
    f.show();
    // Not "*.txt": save as would write the ANSI copy.
    const QString doc = f.path(QStringLiteral("doc.dat"));
    const bool untitled = bytes.isEmpty();
    if (!untitled) {
        MainFormFixture::writeFile(doc, bytes);
        QVERIFY(f.form->PerformFileOpen(doc));
    }
    type(f.form->SynMemo1, keys);
    const QString typed = f.form->SynMemo1->Text();
    // What saving the window would have written.
    const QString expectedPath = f.path(QStringLiteral("expected"));
    QVERIFY(f.form->SynMemo1->Lines().SaveToFile(expectedPath));
    QCOMPARE(journals(f).size(), 1);
    crash(f);

    restart(f);
    f.prompts.expectQuestion(Answer::Yes, untitled ? QString() : doc);
    f.show();
    // The offer comes once the window is on the screen.
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), typed);
    QVERIFY(f.form->SynMemo1->Modified());
    QCOMPARE(f.form->FFileName(), untitled ? f.form->Message(0) : doc);
    // Nothing is written to the file until the user saves.
    if (!untitled)
        QCOMPARE(MainFormFixture::readFile(doc), bytes);

    // The restored window goes on journaling into the same journal.
    QCOMPARE(journals(f).size(), 1);
    if (untitled)
        f.prompts.expectSaveFile(doc);
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(doc), MainFormFixture::readFile(expectedPath));
    QVERIFY(journals(f).isEmpty());
    QVERIFY(f.prompts.done());
}

void TestRecovery::changedFileRestoresUntitled()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "one\r\ntwo");
    QVERIFY(f.form->PerformFileOpen(doc));
    type(f.form->SynMemo1, QStringLiteral("#^three"));
    crash(f);
    MainFormFixture::writeFile(doc, "changed by someone else");

    restart(f);
    f.prompts.expectQuestion(Answer::Yes, doc).expectMessage(doc);
    f.show();
    // The offer comes once the window is on the screen.
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("one\r\ntwo\r\nthree"));
    QCOMPARE(f.form->FFileName(), f.form->Message(0));
    QVERIFY(f.form->SynMemo1->Modified());
    QCOMPARE(f.form->SynMemo1->format().lineBreak, LineBreak::CrLf);
    QCOMPARE(MainFormFixture::readFile(doc), QByteArray("changed by someone else"));
}

void TestRecovery::blankedDocumentRestoresUntitled_data()
{
    QTest::addColumn<bool>("undo");
    QTest::newRow("typed into the blank document") << false;
    QTest::newRow("undo brings the file back") << true;
}

void TestRecovery::blankedDocumentRestoresUntitled()
{
    // A document emptied by an edit becomes untitled, and what is typed then starts a new
    // one: after a crash it comes back untitled, never replayed over the file. An undo
    // that brings the text back brings the name back; what is typed after it comes back
    // after a crash too, as a new document beside the untouched file.
    QFETCH(bool, undo);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.dat"));
    MainFormFixture::writeFile(doc, "one\r\ntwo");
    QVERIFY(f.form->PerformFileOpen(doc));
    TSynMemo *editor = f.form->SynMemo1;
    editor->SelectAll();
    type(editor, QStringLiteral(">"));
    QCOMPARE(f.form->FFileName(), f.form->Message(0));
    if (undo) {
        editor->Undo();
        QCOMPARE(f.form->FFileName(), doc);
    }
    type(editor, QStringLiteral("new"));
    const QString typed = editor->Text();
    crash(f);

    restart(f);
    f.prompts.expectQuestion(Answer::Yes, undo ? doc : QString());
    f.show();
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), typed);
    QCOMPARE(f.form->FFileName(), f.form->Message(0));
    QCOMPARE(MainFormFixture::readFile(doc), QByteArray("one\r\ntwo"));
}

void TestRecovery::restoreAfterAnsiCopy()
{
    // The ANSI copy ends every line, the last one too: it reads back with one more line
    // than the window holds, so the journal cannot build on it.
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.dat"));
    MainFormFixture::writeFile(doc, "a\nb");
    QVERIFY(f.form->PerformFileOpen(doc));
    const QString copy = f.path(QStringLiteral("copy.txt"));
    f.prompts.expectSaveFile(copy);
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(copy), QByteArray("a\r\nb\r\n"));
    type(f.form->SynMemo1, QStringLiteral("#x"));
    const QString typed = f.form->SynMemo1->Text();
    crash(f);
    restart(f);
    f.prompts.expectQuestion(Answer::Yes, copy);
    f.show();
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), typed);
}

void TestRecovery::offerAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("journalsAfter");
    QTest::newRow("no discards") << int(Answer::No) << 0;
    QTest::newRow("cancel asks next time") << int(Answer::Cancel) << 1;
}

void TestRecovery::offerAnswers()
{
    QFETCH(int, answer);
    QFETCH(int, journalsAfter);
    MainFormFixture f;
    f.show();
    type(f.form->SynMemo1, QStringLiteral("kept"));
    crash(f);
    restart(f);
    f.prompts.expectQuestion(Answer(answer));
    f.show();
    // The offer comes once the window is on the screen.
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), QString());
    QCOMPARE(journals(f).size(), journalsAfter);
}

void TestRecovery::damagedJournalSetAside()
{
    MainFormFixture f;
    QDir().mkpath(EditJournal::folder(f.dataPath()));
    const QString bad = EditJournal::folder(f.dataPath()) + QStringLiteral("bad.journal");
    MainFormFixture::writeFile(bad, "not a journal");
    f.prompts.expectMessage(bad + QStringLiteral(".broken"));
    f.show();
    // The offer comes once the window is on the screen.
    QTRY_VERIFY(f.prompts.done());
    QVERIFY(journals(f).isEmpty());
    QCOMPARE(MainFormFixture::readFile(bad + QStringLiteral(".broken")),
             QByteArray("not a journal"));

    // Edits that do not fit the text: the journal is set aside the same way.
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "abc");
    QVERIFY(f.form->PerformFileOpen(doc));
    type(f.form->SynMemo1, QStringLiteral("#d"));
    const QString path = f.form->documentGuard()->journal().path();
    crash(f);
    QFile journal(path);
    QVERIFY(journal.open(QIODevice::Append));
    journal.write("E 999 0 1\nx\n");
    journal.close();
    restart(f);
    f.prompts.expectQuestion(Answer::Yes, doc).expectMessage(QStringLiteral(".broken"));
    f.show();
    // The offer comes once the window is on the screen.
    QTRY_VERIFY(f.prompts.done());
    QVERIFY(QFile::exists(path + QStringLiteral(".broken")));
    QVERIFY(!f.form->SynMemo1->Modified());
}

void TestRecovery::journalGoesWithCleanEnds()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "text");
    QVERIFY(f.form->PerformFileOpen(doc));
    type(f.form->SynMemo1, QStringLiteral("a"));
    QCOMPARE(journals(f).size(), 1);
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QVERIFY(journals(f).isEmpty());

    type(f.form->SynMemo1, QStringLiteral("b"));
    QCOMPARE(journals(f).size(), 1);
    // New asks to save: No throws the edits away.
    f.prompts.expectQuestion(Answer::No);
    f.form->FileNew();
    QVERIFY(journals(f).isEmpty());

    type(f.form->SynMemo1, QStringLiteral("c"));
    QCOMPARE(journals(f).size(), 1);
    f.prompts.expectQuestion(Answer::No);
    QVERIFY(f.form->close());
    QVERIFY(journals(f).isEmpty());
    QVERIFY(f.prompts.done());
}

void TestRecovery::journalSwitchInSettings()
{
    MainFormFixture f;
    f.show();
    type(f.form->SynMemo1, QStringLiteral("a"));
    QCOMPARE(journals(f).size(), 1);
    f.prompts.expectExec([](QDialog &dialog) {
        auto *keep = dialog.findChild<QCheckBox *>(QStringLiteral("CheckJournal"));
        if (!keep || !keep->isChecked())
            return int(QDialog::Rejected);
        keep->setChecked(false);
        dialog.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        return int(QDialog::Accepted);
    });
    f.form->action(QStringLiteral("Settings2"))->trigger();
    QVERIFY(f.prompts.done());
    QVERIFY(journals(f).isEmpty());
    type(f.form->SynMemo1, QStringLiteral("b"));
    QVERIFY(journals(f).isEmpty());
    QVERIFY(MainFormFixture::readFile(f.dataPath() + QStringLiteral("preferences.txt"))
                .contains("recovery.journal=0"));

    // The next start reads the switch.
    f.prompts.expectQuestion(Answer::No);
    QVERIFY(f.form->close());
    restart(f);
    f.show();
    type(f.form->SynMemo1, QStringLiteral("c"));
    QVERIFY(journals(f).isEmpty());
}

void TestRecovery::diskChanges_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    for (const char *how : {"rewrite", "rename"}) {
        for (const bool modified : {false, true}) {
            for (const Answer answer : {Answer::Yes, Answer::No}) {
                QTest::addRow("%s, %s, %s", how, modified ? "modified" : "unmodified",
                              answer == Answer::Yes ? "reload" : "keep")
                    << QString::fromLatin1(how) << modified << int(answer);
            }
        }
    }
    QTest::newRow("delete, unmodified") << QStringLiteral("delete") << false << int(Answer::Ok);
    QTest::newRow("delete, modified") << QStringLiteral("delete") << true << int(Answer::Ok);
}

void TestRecovery::diskChanges()
{
    QFETCH(QString, how);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "1\r\n2\r\n3\r\n4");
    QVERIFY(f.form->PerformFileOpen(doc));
    TSynMemo *editor = f.form->SynMemo1;
    editor->SetCaretXY(1, 3);
    if (modified)
        type(editor, QStringLiteral("x"));
    const QString before = editor->Text();
    const QByteArray outside("a\nb\nc\nd\ne");
    rewrite(doc, outside, how);

    if (how == u"delete")
        f.prompts.expectMessage(doc);
    else
        f.prompts.expectQuestion(Answer(answer), doc);
    f.form->documentGuard()->checkDisk();
    // One question per change, however often the window gets the focus back.
    f.form->documentGuard()->windowActivated();
    QTest::qWait(50);
    f.form->documentGuard()->checkDisk();
    QVERIFY(f.prompts.done());

    if (how == u"delete") {
        QCOMPARE(editor->Text(), before);
        QVERIFY(editor->Modified());
        // Saving writes the file again without a question.
        QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
        QVERIFY(QFile::exists(doc));
        return;
    }
    if (Answer(answer) == Answer::Yes) {
        QCOMPARE(editor->Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\ne"));
        QCOMPARE(editor->lineBreak(), LineBreak::Lf);
        QCOMPARE(editor->CaretY(), 3);
        QVERIFY(!editor->Modified());
        QVERIFY(journals(f).isEmpty());
        return;
    }
    QCOMPARE(editor->Text(), before);
    QCOMPARE(editor->Modified(), modified);
    // Saving over the changed file asks first; No leaves it alone, Yes writes.
    f.prompts.expectQuestion(Answer::No, doc);
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Cancelled);
    QCOMPARE(MainFormFixture::readFile(doc), outside);
    f.prompts.expectQuestion(Answer::Yes, doc);
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(QString::fromUtf8(MainFormFixture::readFile(doc)), before);
    // The kept edits survive a crash even though the file under them changed.
    if (modified) {
        type(editor, QStringLiteral("y"));
        MainFormFixture::writeFile(doc, "again from outside, larger");
        const QString typed = editor->Text();
        crash(f);
        restart(f);
        f.prompts.expectQuestion(Answer::Yes, doc).expectMessage(doc);
        f.show();
        QTRY_VERIFY(f.prompts.done());
        QCOMPARE(f.form->SynMemo1->Text(), typed);
    }
    QVERIFY(f.prompts.done());
}

void TestRecovery::writerInStepsAskedOnce()
{
    // A program that empties the file and writes it a moment later, while the window has
    // the focus: one question, after the writer paused, about the file as it ends up.
    MainFormFixture f;
    f.show();
    f.form->activateWindow();
    QTRY_VERIFY(f.form->isActiveWindow());
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "old");
    QVERIFY(f.form->PerformFileOpen(doc));
    MainFormFixture::writeFile(doc, "");
    QTest::qWait(DocumentGuard::kSettleMilliseconds / 3);
    QVERIFY(f.prompts.done());
    MainFormFixture::writeFile(doc, "new");
    f.prompts.expectQuestion(Answer::Yes, doc);
    QTRY_VERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("new"));
    f.form->documentGuard()->windowActivated();
    QTest::qWait(DocumentGuard::kSettleMilliseconds * 2);
    QVERIFY(f.prompts.done());
}

void TestRecovery::ownSaveAsksNothing()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "text");
    QVERIFY(f.form->PerformFileOpen(doc));
    for (int i = 0; i < 3; ++i) {
        type(f.form->SynMemo1, QStringLiteral("a"));
        QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
        QTest::qWait(50); // the watcher's report of the save arrives
        f.form->documentGuard()->checkDisk();
    }
    f.prompts.expectSaveFile(f.path(QStringLiteral("other.txt")));
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Saved);
    f.form->documentGuard()->checkDisk();
    QVERIFY(f.prompts.done());
}

void TestRecovery::secondWindowIsWarned()
{
    MainFormFixture first;
    first.show();
    const QString doc = first.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "text");
    QVERIFY(first.form->PerformFileOpen(doc));

    ScriptedPrompts prompts;
    RecordingShell shell;
    TMainForm second(prompts, shell, {QStringLiteral("quillora")}, first.dataPath());
    // Unmodified in the first window: no warning.
    QVERIFY(second.PerformFileOpen(doc));
    second.FileNew();

    type(first.form->SynMemo1, QStringLiteral("a"));
    prompts.expectQuestion(Answer::Cancel, doc);
    QVERIFY(!second.PerformFileOpen(doc));
    QCOMPARE(second.FFileName(), second.Message(0));
    prompts.expectQuestion(Answer::Ok, doc);
    QVERIFY(second.PerformFileOpen(doc));
    second.FileNew();
    QVERIFY(prompts.done());

    // The first window is killed: its lock is stale and taken over without a word.
    crash(first);
    QVERIFY(second.PerformFileOpen(doc));
    QVERIFY(prompts.done());
}

void TestRecovery::viewComesBack()
{
    MainFormFixture f;
    f.show();
    const QString a = f.path(QStringLiteral("a.txt"));
    const QString b = f.path(QStringLiteral("b.txt"));
    QByteArray lines;
    for (int i = 1; i <= 200; ++i)
        lines += "line " + QByteArray::number(i) + "\n";
    MainFormFixture::writeFile(a, lines);
    MainFormFixture::writeFile(b, "b");
    QVERIFY(f.form->PerformFileOpen(a));
    TSynMemo *editor = f.form->SynMemo1;
    editor->SetCaretXY(3, 10);
    f.form->SetBookmarkClick(2);
    editor->SetCaretXY(5, 150);
    editor->setFirstVisibleLine(140);
    QVERIFY(f.form->PerformFileOpen(b));
    QCOMPARE(editor->CaretY(), 1);

    const auto check = [](TMainForm &form) {
        TSynMemo *memo = form.SynMemo1;
        QCOMPARE(memo->CaretY(), 150);
        QCOMPARE(memo->CaretX(), 5);
        QCOMPARE(memo->firstVisibleLine(), 140);
        int column = 0, line = 0;
        QVERIFY(memo->GetBookMark(2, column, line));
        QCOMPARE(line, 10);
        QCOMPARE(column, 3);
        QVERIFY(form.documentTools()->isChecked(2));
    };
    int entry = 0;
    while (f.form->recentFiles().entry(entry).path != a)
        ++entry;
    f.form->OpenRecentFile(entry);
    QCOMPARE(f.form->FFileName(), a);
    check(*f.form);

    // After a restart, from the command line.
    QVERIFY(f.form->close());
    restart(f, {QStringLiteral("quillora"), a});
    f.show();
    check(*f.form);
    // Opened through the open dialog it starts at the top, as before.
    QVERIFY(f.form->PerformFileOpen(b));
    QVERIFY(f.form->PerformFileOpen(a));
    QCOMPARE(f.form->SynMemo1->CaretY(), 1);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
