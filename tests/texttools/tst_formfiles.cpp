// The multi-file window: captions, loading, the run (replace, search only, failures),
// the lists, show file, undo of the last run, and the re-read of the main document.

#include "app/commandtables.h"
#include "lang/mnemonics.h"
#include "tests/app/mainformfixture.h"
#include "texttools/formfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

namespace {

struct Fixture : MainFormFixture
{
    Fixture()
    {
        show();
        form->action(QStringLiteral("MultiReplace1"))->trigger();
        files = form->FormFiles();
    }
    QStringList makeFiles(const QList<QPair<QString, QByteArray>> &contents)
    {
        QStringList paths;
        for (const auto &[name, bytes] : contents) {
            writeFile(path(name), bytes);
            paths << path(name);
        }
        return paths;
    }
    void load(const QStringList &paths)
    {
        prompts.expectOpenFiles(paths);
        files->BitBtn1->click();
    }
    void start(const QString &search, const QString &replacement, bool all, bool searchOnly,
               bool wholeWord = false)
    {
        files->EditSearch->setText(search);
        files->EditReplace->setText(replacement);
        files->CheckBoxAll->setChecked(all);
        files->CheckBoxSearch->setChecked(searchOnly);
        files->CheckBoxWord->setChecked(wholeWord);
        files->BitBtn3->click();
    }
    static QStringList names(const QListWidget *list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->item(i)->text();
        return result;
    }

    TFormFiles *files = nullptr;
};

} // namespace

class TestFormFiles : public QObject
{
    Q_OBJECT

private slots:
    void captionsAndReset();
    void replaceRun_data();
    void replaceRun();
    void searchOnlyLeavesFilesAndMovesEntries();
    void messagesForMissingInput();
    void failureEndsRunAtThatFile();
    void unencodableFilesAreListed();
    void listsAndShowFile();
    void showFileKeepsUnsavedDocument_data();
    void showFileKeepsUnsavedDocument();
    void undoLastRun();
    void mainDocumentReread();
    void cancelEndsRunAfterCurrentFile();
    void helpTopic();
    void countsOfAnEmptyListAndAfterReopening();
};

// A run over an empty search list found nothing and says 0; opening the window again shows
// the counts of its emptied lists, not those of the last run.
void TestFormFiles::countsOfAnEmptyListAndAfterReopening()
{
    Fixture f;
    f.prompts.expectMessage(QStringLiteral("Bitte Dateien laden"));
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, true);
    QVERIFY(f.prompts.done());
    QCOMPARE(f.files->EditTreffer->text(), QStringLiteral("0"));
    QCOMPARE(f.files->Edit1->text(), QStringLiteral("0"));

    f.load(f.makeFiles({{"a.txt", "cat cat"}}));
    f.start(QStringLiteral("cat"), QString(), true, true);
    QCOMPARE(f.files->EditTreffer->text(), QStringLiteral("2"));
    QCOMPARE(f.files->Edit2->text(), QStringLiteral("1"));
    f.files->close();
    f.form->action(QStringLiteral("MultiReplace1"))->trigger();
    QCOMPARE(f.files->ListBoxResult->count(), 0);
    QCOMPARE(f.files->Edit2->text(), QStringLiteral("0"));
    QCOMPARE(f.files->Edit1->text(), QStringLiteral("0"));
    QVERIFY(f.files->EditTreffer->text().isEmpty());
}

void TestFormFiles::captionsAndReset()
{
    Fixture f;
    QVERIFY(f.files->isVisible());
    QCOMPARE(f.files->windowTitle(), QStringLiteral("Suchen/Ersetzen"));
    QCOMPARE(f.files->CheckBoxCase->toolTip(),
             QStringLiteral("Groß-/Keilnschreibung berücksichtigen"));
    QCOMPARE(withoutMnemonic(f.files->BitBtn3->text()), QStringLiteral("Start"));
    QVERIFY(f.files->CheckBoxSearch->isChecked());
    f.files->close();
    QVERIFY(f.files->CurDir.isEmpty());
    f.form->Englisch1Click();
    f.form->action(QStringLiteral("MultiReplace1"))->trigger();
    QCOMPARE(f.files->windowTitle(), QStringLiteral("Search/Replace"));
    QCOMPARE(withoutMnemonic(f.files->ButtonResultOpen->text()), QStringLiteral("Show file"));
    QCOMPARE(withoutMnemonic(f.files->ButtonUndo->text()), QStringLiteral("Undo last run"));
}

void TestFormFiles::replaceRun_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("hits");
    QTest::newRow("cat all") << QByteArray("cat cat cat") << "cat"
                             << "dog" << true << false << QByteArray("dog dog dog") << 3;
    QTest::newRow("cat first") << QByteArray("cat cat cat") << "cat"
                               << "dog" << false << false << QByteArray("dog cat cat") << 1;
    QTest::newRow("a to aa") << QByteArray("aaa") << "a"
                             << "aa" << true << false << QByteArray("aaaaaa") << 3;
    QTest::newRow("x1 is one word") << QByteArray("x1") << "x"
                                    << "y" << true << true << QByteArray("x1") << 0;
    QTest::newRow("x-1 is not") << QByteArray("x-1") << "x"
                                << "y" << true << true << QByteArray("y-1") << 1;
}

void TestFormFiles::replaceRun()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, all);
    QFETCH(bool, wholeWord);
    QFETCH(QByteArray, expected);
    QFETCH(int, hits);
    Fixture f;
    const QStringList paths = f.makeFiles({{"one.txt", content}, {"other.txt", "nothing"}});
    f.load(paths);
    f.start(search, replacement, all, false, wholeWord);
    QCOMPARE(f.readFile(paths[0]), expected);
    QCOMPARE(f.files->EditTreffer->text(), QString::number(hits));
    QCOMPARE(f.files->ProgressBar1->value(), 2);
    QCOMPARE(Fixture::names(f.files->ListBoxResult),
             hits > 0 ? QStringList{"one.txt"} : QStringList());
    QVERIFY(f.prompts.done());
}

void TestFormFiles::searchOnlyLeavesFilesAndMovesEntries()
{
    Fixture f;
    const QStringList paths =
        f.makeFiles({{"a.txt", "cat"}, {"b.txt", "dog"}, {"c.txt", "cat cat"}});
    f.load(paths);
    f.start(QStringLiteral("cat"), QStringLiteral("x"), true, true);
    QCOMPARE(f.files->EditTreffer->text(), QStringLiteral("3"));
    QCOMPARE(Fixture::names(f.files->ListBoxSearch), QStringList{"b.txt"});
    QCOMPARE(Fixture::names(f.files->ListBoxResult), (QStringList{"a.txt", "c.txt"}));
    QCOMPARE(f.files->Edit1->text(), QStringLiteral("1"));
    QCOMPARE(f.files->Edit2->text(), QStringLiteral("2"));
    QCOMPARE(f.readFile(paths[0]), QByteArray("cat"));
    // A second run follows the path list: the files in the result list are searched again.
    f.files->BitBtn3->click();
    QCOMPARE(Fixture::names(f.files->ListBoxResult), (QStringList{"a.txt", "c.txt"}));
    QVERIFY(!f.files->ButtonUndo->isEnabled()); // search only changed nothing
}

void TestFormFiles::messagesForMissingInput()
{
    Fixture f;
    f.prompts.expectMessage(QStringLiteral("Bitte Dateien laden"));
    f.prompts.expectMessage(QStringLiteral("Bitte Suchtext angeben."));
    f.start(QStringLiteral("  "), QString(), true, true);
    QVERIFY(f.prompts.done());
    f.prompts.expectMessage(QStringLiteral("Suchliste"));
    f.files->ButtonSearchOpenClick();
    f.prompts.expectMessage(QStringLiteral("Ergebnisliste"));
    f.files->ButtonResultOpenClick();
    QVERIFY(f.prompts.done());
    QVERIFY(f.shell.calls.isEmpty());
}

void TestFormFiles::failureEndsRunAtThatFile()
{
    Fixture f;
    QStringList paths = f.makeFiles({{"first.txt", "cat"}, {"last.txt", "cat"}});
    paths.insert(1, f.path(QStringLiteral("gone.txt")));
    f.load(paths);
    f.prompts.expectMessage(QStringLiteral("gone.txt"));
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QVERIFY(f.prompts.done());
    QCOMPARE(f.readFile(paths[0]), QByteArray("dog"));
    QCOMPARE(f.readFile(paths[2]), QByteArray("cat"));
    QCOMPARE(Fixture::names(f.files->ListBoxResult), QStringList{"first.txt"});
    QVERIFY(f.files->EditTreffer->text().isEmpty());
    // A run that ends on a failure still reads the main document again when it changed
    // its file, so a later save does not undo the run's change unseen.
    QVERIFY(f.form->PerformFileOpen(paths[2]));
    f.load({paths[2], paths[1]});
    f.prompts.expectMessage(QStringLiteral("gone.txt"));
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QVERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("dog"));
}

void TestFormFiles::unencodableFilesAreListed()
{
    // A Windows-1252 file cannot take the Cyrillic replacement: it stays, the run goes on.
    Fixture f;
    const QStringList paths =
        f.makeFiles({{"ansi.txt", "caf\xE9\r\ncat"}, {"utf8.txt", "cat"}});
    f.load(paths);
    f.prompts.expectMessage(QStringLiteral("ansi.txt (Zeile 2: Ж (U+0416))"));
    f.start(QStringLiteral("cat"), QStringLiteral("Ж"), true, false);
    QVERIFY(f.prompts.done());
    QCOMPARE(f.readFile(paths[0]), QByteArray("caf\xE9\r\ncat"));
    QCOMPARE(f.readFile(paths[1]), QByteArray("\xD0\x96"));
}

void TestFormFiles::listsAndShowFile()
{
    Fixture f;
    const QStringList paths = f.makeFiles({{"a.txt", "cat"}, {"data.txt", "cat"}});
    f.load(paths);
    // Removing "a.txt" removes that file, not "data.txt" whose name contains it.
    f.files->ListBoxSearch->item(0)->setSelected(true);
    f.files->BitBtn5->click();
    QCOMPARE(f.files->paths(), QStringList{paths[1]});
    QCOMPARE(Fixture::names(f.files->ListBoxSearch), QStringList{"data.txt"});
    f.start(QStringLiteral("cat"), QString(), true, true);
    f.files->ListBoxResult->setCurrentRow(0);
    f.files->ButtonResultOpenClick();
    QCOMPARE(f.form->FFileName(), paths[1]);
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("cat"));
    f.files->BtnBackToSearchClick();
    QCOMPARE(Fixture::names(f.files->ListBoxSearch), QStringList{"data.txt"});
    QVERIFY(f.files->Edit2->text().isEmpty());
}

void TestFormFiles::showFileKeepsUnsavedDocument_data()
{
    QTest::addColumn<bool>("untitled"); // else a file whose folder went away
    QTest::addColumn<int>("answer");    // to the question whether to go on without saving
    QTest::addColumn<bool>("opened");
    QTest::newRow("untitled, save dialog cancelled, cancel")
        << true << int(Prompts::Answer::Cancel) << false;
    QTest::newRow("untitled, save dialog cancelled, no")
        << true << int(Prompts::Answer::No) << true;
    QTest::newRow("failed save, cancel") << false << int(Prompts::Answer::Cancel) << false;
    QTest::newRow("failed save, no") << false << int(Prompts::Answer::No) << true;
}

void TestFormFiles::showFileKeepsUnsavedDocument()
{
    QFETCH(bool, untitled);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    Fixture f;
    const QStringList paths = f.makeFiles({{"a.txt", "cat"}});
    f.load(paths);
    const QString gone = f.path(QStringLiteral("gone"));
    if (untitled) {
        f.form->FileNew();
        f.prompts.expectSaveFile(std::nullopt);
    } else {
        QVERIFY(QDir().mkdir(gone));
        f.writeFile(gone + QStringLiteral("/doc.txt"), "old");
        QVERIFY(f.form->PerformFileOpen(gone + QStringLiteral("/doc.txt")));
        QVERIFY(QDir(gone).removeRecursively());
        f.prompts.expectMessage(QStringLiteral("doc.txt"));
    }
    f.form->SynMemo1->SetText(QStringLiteral("unsaved"));
    f.prompts.expectQuestion(Prompts::Answer(answer));
    f.files->ListBoxSearch->setCurrentRow(0);
    f.files->ButtonSearchOpenClick();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), opened ? QStringLiteral("cat") : QStringLiteral("unsaved"));
}

void TestFormFiles::undoLastRun()
{
    Fixture f;
    const QStringList paths = f.makeFiles({{"a.txt", "cat"}, {"b.txt", "cat cat"}});
    f.load(paths);
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QVERIFY(f.files->ButtonUndo->isEnabled());
    f.writeFile(paths[1], "changed by hand");
    f.prompts.expectMessage(QStringLiteral("b.txt"));
    f.files->ButtonUndo->click();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.readFile(paths[0]), QByteArray("cat"));
    QCOMPARE(f.readFile(paths[1]), QByteArray("changed by hand"));
    QVERIFY(!f.files->ButtonUndo->isEnabled());
}

void TestFormFiles::mainDocumentReread()
{
    Fixture f;
    const QStringList paths = f.makeFiles({{"main.txt", "cat"}, {"other.txt", "cat"}});
    QVERIFY(f.form->PerformFileOpen(paths[0]));
    // A run that does not touch the main document's file keeps its unsaved edits.
    f.form->SynMemo1->SetText(QStringLiteral("my edits"));
    f.load({paths[1]});
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("my edits"));
    // A run that changes it asks first; No keeps the edits, modified.
    f.load({paths[0]});
    f.prompts.expectQuestion(Prompts::Answer::No, QStringLiteral("main.txt"));
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QVERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("my edits"));
    QVERIFY(f.form->SynMemo1->Modified());
    // Yes reads the file again.
    f.writeFile(paths[0], "cat");
    f.load({paths[0]});
    f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("main.txt"));
    f.start(QStringLiteral("cat"), QStringLiteral("cow"), true, false);
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("cow"));
    QVERIFY(!f.form->SynMemo1->Modified());
    // Without edits it is read again without a question.
    f.load({paths[0]});
    f.start(QStringLiteral("cow"), QStringLiteral("owl"), true, false);
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("owl"));
    // An untitled document is never read again.
    f.form->FileNew();
    f.load({paths[0]});
    f.start(QStringLiteral("owl"), QStringLiteral("emu"), true, false);
    QVERIFY(f.form->SynMemo1->Text().isEmpty());
    QVERIFY(f.prompts.done());
}

void TestFormFiles::cancelEndsRunAfterCurrentFile()
{
    Fixture f;
    const QStringList paths = f.makeFiles({{"1.txt", "cat"}, {"2.txt", "cat"}, {"3.txt", "cat"}});
    f.load(paths);
    QObject::connect(f.files->ProgressBar1, &QProgressBar::valueChanged, f.files, [&](int value) {
        QVERIFY(f.files->running());
        QVERIFY(f.files->ButtonCancel->isVisible());
        QVERIFY(!f.files->BitBtn3->isEnabled());
        if (value == 2)
            f.files->ButtonCancel->click();
    });
    f.start(QStringLiteral("cat"), QStringLiteral("dog"), true, false);
    QCOMPARE(f.readFile(paths[0]), QByteArray("dog"));
    QCOMPARE(f.readFile(paths[1]), QByteArray("dog"));
    QCOMPARE(f.readFile(paths[2]), QByteArray("cat"));
    QCOMPARE(f.files->EditTreffer->text(), QStringLiteral("2"));
    QVERIFY(!f.files->running());
    QVERIFY(f.files->BitBtn3->isEnabled());
}

void TestFormFiles::helpTopic()
{
    Fixture f;
    QSignalSpy spy(f.files, &TFormFiles::helpRequested);
    f.files->SpeedButton1->click();
    QTest::keyClick(f.files->EditSearch, Qt::Key_F1);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.first().first().toInt(), 60);
}

QTEST_MAIN(TestFormFiles)
#include "tst_formfiles.moc"
