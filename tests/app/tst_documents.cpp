// Document commands: open, save and save as in every encoding, the ask-to-save rules,
// failures that must not lose work, printing, and the recent files list.

#include "mainformfixture.h"

#include "base/safewrite.h"
#include "lang/mnemonics.h"
#include "texttools/documentformat.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>

using Answer = Prompts::Answer;

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void openSaveRoundTrip_data();
    void openSaveRoundTrip();
    void editKeepsBytesOutside();
    void formatPanelFollowsLanguage();
    void saveAsNames_data();
    void saveAsNames();
    void newIsUtf8WithLf();
    void ansiCopyAddsNoEmptyLine();
    void unencodableSaveAsks_data();
    void unencodableSaveAsks();
    void encodingByChoice_data();
    void encodingByChoice();
    void encodingChoiceAsks();
    void blankDocumentUndoBringsBackFile();
    void recentFilesHoldAnyPath();
    void settingsWriteFailureIsReported();
    void overwriteCancelWritesNothing();
    void blankSaveWritesNothing();
    void askToSave_data();
    void askToSave();
    void failedSaveKeepsOldFile();
    void dialogsStartFolder_data();
    void dialogsStartFolder();
    void openFailures_data();
    void openFailures();
    void printsToPdf();
    void recentFilesFillFromBottom();
    void recentFilesSurviveRestart();
};

void TestDocuments::openSaveRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf8 crlf final break") << QByteArray("eins\r\nzwei \xC3\xA4\r\n");
    QTest::newRow("utf8 mark lf no break") << QByteArray("\xEF\xBB\xBF"
                                                         "eins\nzwei");
    QTest::newRow("utf16 le cr") << QByteArray("\xFF\xFEx\0\r\0y\0", 8);
    QTest::newRow("utf16 be crlf") << QByteArray("\xFE\xFF\0x\0\r\0\n\0y", 10);
    QTest::newRow("windows-1252") << QByteArray("Gr\xFC\xDF\x65\r\n\x80\x81");
    QTest::newRow("nul and invalid utf8") << QByteArray("a\0b\xC3(c\n", 7);
}

void TestDocuments::openSaveRoundTrip()
{
    QFETCH(QByteArray, bytes);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.dat"));
    MainFormFixture::writeFile(doc, bytes);
    QVERIFY(f.form->PerformFileOpen(doc));
    QVERIFY(!f.form->SynMemo1->Modified());
    f.form->SynMemo1->SetSelText(QStringLiteral("x")); // any edit, then undone
    f.form->SynMemo1->Undo();
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(doc), bytes);
}

// The status bar's encoding and breaks: shown after opening, worded anew when the
// language changes although the document did not.
void TestDocuments::formatPanelFollowsLanguage()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("mixed.txt"));
    MainFormFixture::writeFile(doc, "a\r\nb\nc");
    QVERIFY(f.form->PerformFileOpen(doc));
    const auto *panel = f.form->findChild<QLabel *>(QStringLiteral("FormatPanel"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("UTF-8 \u00B7 gemischt"));
    f.form->Englisch1Click();
    QCOMPARE(panel->text(), QStringLiteral("UTF-8 \u00B7 mixed"));
    f.form->SynMemo1->SetSelStart(0);
    f.form->SynMemo1->SetSelText(QStringLiteral("x"));
    QCOMPARE(panel->text(), QStringLiteral("UTF-8 \u00B7 mixed"));
}

void TestDocuments::editKeepsBytesOutside()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("utf16.txt"));
    MainFormFixture::writeFile(doc, QByteArray("\xFF\xFE"
                                               "a\0\r\0\n\0b\0",
                                               10));
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SetSelStart(3);
    f.form->SynMemo1->SetSelText(QStringLiteral("€"));
    QVERIFY(f.form->SynMemo1->Modified());
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(doc), QByteArray("\xFF\xFE"
                                                        "a\0\r\0\n\0\xAC\x20"
                                                        "b\0",
                                                        12));
    QVERIFY(!f.form->SynMemo1->Modified());
}

void TestDocuments::saveAsNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray asLoaded("\xEF\xBB\xBF"
                              "Stra\xC3\x9F"
                              "e\n\xE2\x82\xAC");
    const QByteArray ansi("Stra\xDF"
                          "e\r\n\x80\r\n");
    QTest::newRow("notes.TXT") << "notes.TXT" << false << ansi;
    QTest::newRow("mytxt") << "mytxt" << false << ansi;
    QTest::newRow("page.html") << "page.html" << false << asLoaded;
    QTest::newRow("ascii command") << "page.html" << true << ansi;
}

void TestDocuments::saveAsNames()
{
    QFETCH(QString, name);
    QFETCH(bool, ascii);
    QFETCH(QByteArray, expected);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("source.src"));
    MainFormFixture::writeFile(doc, "\xEF\xBB\xBF"
                                    "Stra\xC3\x9F"
                                    "e\n\xE2\x82\xAC");
    QVERIFY(f.form->PerformFileOpen(doc));
    const QString target = f.path(name);
    f.prompts.expectSaveFile(target);
    const auto outcome = ascii ? f.form->AlsAsciiTextspeichern1Click() : f.form->FileSaveAs();
    QCOMPARE(outcome, TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(target), expected);
    QCOMPARE(f.form->FFileName(), target);
    QCOMPARE(f.form->recentFiles().entry(2).path, target);
    QVERIFY(f.prompts.done());
}

void TestDocuments::newIsUtf8WithLf()
{
    // Whatever was open before: here a Windows-1252 file with CR LF.
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("ansi.txt"));
    MainFormFixture::writeFile(doc, "Gr\xFC\xDF\x65\r\nx");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->FileNew();
    QCOMPARE(f.form->FFileName(), QStringLiteral("Untitled"));
    QCOMPARE(f.form->panelText(1), QString());
    f.form->SynMemo1->SetText(QStringLiteral("Привет ✓\r\nzwei"));
    const QString target = f.path(QStringLiteral("x.htm"));
    f.prompts.expectSaveFile(target);
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(target), QStringLiteral("Привет ✓\nzwei").toUtf8());
    QCOMPARE(f.prompts.seen().last().text, QStringLiteral("Untitled")); // proposed name
    QVERIFY(f.prompts.done());
}

void TestDocuments::ansiCopyAddsNoEmptyLine()
{
    // A document ending with a line break, saved as ".txt" twice: the text file's lines,
    // each with CR LF, and nothing more.
    MainFormFixture f;
    f.show();
    f.form->SynMemo1->SetText(QStringLiteral("eins\r\nzwei\r\n"));
    const QString target = f.path(QStringLiteral("notes.txt"));
    f.prompts.expectSaveFile(target);
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(target), QByteArray("eins\r\nzwei\r\n"));
    QVERIFY(f.form->PerformFileOpen(target));
    f.prompts.expectSaveFile(target).expectQuestion(Answer::Ok);
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(target), QByteArray("eins\r\nzwei\r\n"));
    QVERIFY(f.prompts.done());
}

// A save into Windows-1252 that would lose characters asks first, naming the first of
// them and its line: OK saves UTF-8 instead, Cancel nothing.
void TestDocuments::unencodableSaveAsks_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("expected"); // the file afterwards
    const QByteArray old("caf\xE9\r\nx");
    QTest::newRow("save, UTF-8 instead") << "save" << int(Answer::Ok)
                                         << QByteArray("caf\xC3\xA9\r\nx \xE4\xB8\xAD\xE6\x96\x87 "
                                                       "\xCE\xA9");
    QTest::newRow("save, cancel") << "save" << int(Answer::Cancel) << old;
    QTest::newRow("ansi copy, UTF-8 instead")
        << "ascii" << int(Answer::Ok)
        << QByteArray("caf\xC3\xA9\r\nx \xE4\xB8\xAD\xE6\x96\x87 \xCE\xA9\r\n");
    QTest::newRow("ansi copy, cancel") << "ascii" << int(Answer::Cancel) << QByteArray("<missing>");
}

void TestDocuments::unencodableSaveAsks()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(QByteArray, expected);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("ansi.dat"));
    MainFormFixture::writeFile(doc, "caf\xE9\r\nx");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SetSelStart(f.form->SynMemo1->TextLength());
    f.form->SynMemo1->SetSelText(QStringLiteral(" 中文 Ω"));
    const QString target = command == u"save" ? doc : f.path(QStringLiteral("copy.dat"));
    if (command != u"save")
        f.prompts.expectSaveFile(target);
    f.prompts.expectQuestion(Answer(answer), QStringLiteral("中 (U+4E2D) in Zeile 2"));
    const auto outcome =
        command == u"save" ? f.form->FileSave() : f.form->AlsAsciiTextspeichern1Click();
    QVERIFY(f.prompts.done());
    QCOMPARE(outcome, answer == int(Answer::Ok) ? TMainForm::SaveOutcome::Saved
                                                : TMainForm::SaveOutcome::Cancelled);
    QCOMPARE(MainFormFixture::readFile(target), expected);
    QCOMPARE(f.form->SynMemo1->Modified(), answer != int(Answer::Ok));
}

// A file read again in the encoding the user picks from the View menu, and a document
// saved in a picked encoding: the text shown, the bytes written, the encoding kept.
void TestDocuments::encodingByChoice_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("reopen");   // -1: as detected
    QTest::addColumn<QString>("text"); // as Text() shows it, lines joined by CR LF
    QTest::addColumn<int>("save");     // -1: a plain save
    QTest::addColumn<QByteArray>("written");
    const QByteArray koi8("\xF0\xD2\xC9\xD7\xC5\xD4\r\n\xEA\xC1");
    QTest::newRow("koi8-r, saved unedited")
        << koi8 << int(TextEncoding::Koi8R) << QStringLiteral("Привет\r\nЙа") << -1 << koi8;
    const QByteArray euro("5 \xA4\n");
    QTest::newRow("iso-8859-15 taken for Windows-1252")
        << euro << int(TextEncoding::Iso8859_15) << QStringLiteral("5 €\r\n") << -1 << euro;
    const QByteArray utf16("h\0i\0", 4);
    QTest::newRow("utf-16 le without mark taken for utf-8")
        << utf16 << int(TextEncoding::Utf16LE) << QStringLiteral("hi") << -1 << utf16;
    QTest::newRow("saved as utf-16 le") << QByteArray("a\xC3\xA4\r\n") << -1
                                        << QStringLiteral("aä\r\n") << int(TextEncoding::Utf16LE)
                                        << QByteArray("\xFF\xFE"
                                                      "a\0\xE4\0\r\0\n\0",
                                                      10);
    QTest::newRow("saved as shift-jis")
        << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC\n") << -1 << QStringLiteral("日本\r\n")
        << int(TextEncoding::ShiftJis) << QByteArray("\x93\xFA\x96\x7B\n");
    QTest::newRow("gb18030 reopened, saved as utf-8")
        << QByteArray("\xD6\xD0\r\n") << int(TextEncoding::Gb18030) << QStringLiteral("中\r\n")
        << int(TextEncoding::Utf8) << QByteArray("\xE4\xB8\xAD\r\n");
}

void TestDocuments::encodingByChoice()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, reopen);
    QFETCH(QString, text);
    QFETCH(int, save);
    QFETCH(QByteArray, written);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.dat"));
    MainFormFixture::writeFile(doc, bytes);
    QVERIFY(f.form->PerformFileOpen(doc));
    if (reopen >= 0)
        f.form->action(DocumentFormat::itemName(false, TextEncoding(reopen)))->trigger();
    QCOMPARE(f.form->SynMemo1->Text(), text);
    QVERIFY(!f.form->SynMemo1->Modified());
    const TextEncoding kept = save >= 0 ? TextEncoding(save) : TextEncoding(reopen);
    if (save >= 0)
        f.form->action(DocumentFormat::itemName(true, kept))->trigger();
    else
        QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QVERIFY(f.prompts.done());
    QCOMPARE(MainFormFixture::readFile(doc), written);
    // Later saves keep the encoding; the status bar and the menu show it.
    QCOMPARE(f.form->SynMemo1->format().encoding, kept);
    QVERIFY(f.form->documentFormat()->statusText(1).startsWith(encodingName(kept)));
    QVERIFY(f.form->action(DocumentFormat::itemName(true, kept))->isChecked());
}

// A reopen of a changed document asks first; a save into an encoding that cannot hold a
// character names it and its line, and Cancel keeps file and encoding as they were; a
// reopen that meets bytes that are no characters says so.
void TestDocuments::encodingChoiceAsks()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.dat"));
    const QByteArray bytes("eins\nzwei \xE4\xB8\xAD\n");
    MainFormFixture::writeFile(doc, bytes);
    QVERIFY(f.form->PerformFileOpen(doc));
    QAction *reopenKoi8 = f.form->action(DocumentFormat::itemName(false, TextEncoding::Koi8R));
    QAction *saveKoi8 = f.form->action(DocumentFormat::itemName(true, TextEncoding::Koi8R));

    f.form->SynMemo1->SetSelText(QStringLiteral("neu "));
    f.prompts.expectQuestion(Answer::Cancel);
    reopenKoi8->trigger();
    QVERIFY(f.prompts.done());
    QVERIFY(f.form->SynMemo1->Text().startsWith(u"neu eins"));
    QCOMPARE(f.form->SynMemo1->format().encoding, TextEncoding::Utf8);

    f.prompts.expectQuestion(Answer::Cancel, QStringLiteral("中 (U+4E2D) in Zeile 2"));
    saveKoi8->trigger();
    QVERIFY(f.prompts.done());
    QCOMPARE(MainFormFixture::readFile(doc), bytes);
    QCOMPARE(f.form->SynMemo1->format().encoding, TextEncoding::Utf8);
    QVERIFY(f.form->SynMemo1->Modified());

    // "No" to the save question discards the change.
    f.prompts.expectQuestion(Answer::No);
    reopenKoi8->trigger();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.form->SynMemo1->format().encoding, TextEncoding::Koi8R);
    QVERIFY(!f.form->SynMemo1->Modified());
    QCOMPARE(MainFormFixture::readFile(doc), bytes);

    MainFormFixture::writeFile(doc, "a\x82");
    f.prompts.expectMessage(QStringLiteral("Shift-JIS"));
    f.form->action(DocumentFormat::itemName(false, TextEncoding::ShiftJis))->trigger();
    QVERIFY(f.prompts.done());
}

void TestDocuments::blankDocumentUndoBringsBackFile()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("page.html"));
    MainFormFixture::writeFile(doc, "<p>text</p>\r\n");
    QVERIFY(f.form->PerformFileOpen(doc));
    // Select all, Delete: the key's release makes the blank document untitled.
    f.form->SynMemo1->SelectAll();
    QTest::keyClick(f.form->SynMemo1, Qt::Key_Delete);
    QCOMPARE(f.form->SynMemo1->TextLength(), 0);
    QCOMPARE(f.form->FFileName(), QStringLiteral("Untitled"));
    // Undo brings back the text and the file it belongs to.
    QTest::keyClick(f.form->SynMemo1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("<p>text</p>\r\n"));
    QCOMPARE(f.form->FFileName(), doc);
    QVERIFY(!f.form->SynMemo1->Modified());
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Saved);
    QCOMPARE(MainFormFixture::readFile(doc), QByteArray("<p>text</p>\r\n"));
    // Text typed into the blank document starts a new one instead.
    f.form->SynMemo1->SelectAll();
    QTest::keyClick(f.form->SynMemo1, Qt::Key_Delete);
    QTest::keyClicks(f.form->SynMemo1, QStringLiteral("new"));
    QCOMPARE(f.form->FFileName(), QStringLiteral("Untitled"));
}

void TestDocuments::recentFilesHoldAnyPath()
{
    // The scratch list last read a Windows-1252 file, which cannot hold the path.
    const QString name = QStringLiteral("Документ-ü.txt");
    QString path;
    QString dataPath;
    {
        MainFormFixture f;
        f.show();
        path = f.path(name);
        dataPath = f.dataPath();
        MainFormFixture::writeFile(path, "x");
        const QString ansi = f.path(QStringLiteral("ansi.txt"));
        MainFormFixture::writeFile(ansi, "\xFC");
        QVERIFY(f.form->Memo1.LoadFromFile(ansi));
        QCOMPARE(f.form->Memo1.format().encoding, TextEncoding::Windows1252);
        QVERIFY(f.form->PerformFileOpen(path));
        f.form->SaveRecentFiles();
        const QByteArray written = MainFormFixture::readFile(dataPath + "files.txt");
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        QVERIFY(written.contains(path.toUtf8()));

        // Read back by a new window.
        MainFormFixture g;
        QVERIFY(QDir().mkpath(g.dataPath()));
        QVERIFY(QFile::copy(dataPath + "files.txt", g.dataPath() + "files.txt"));
        g.show();
        QCOMPARE(g.form->recentFiles().entry(3).path, path);
        QCOMPARE(g.form->recentFiles().entry(3).name, name);
    }
}

void TestDocuments::settingsWriteFailureIsReported()
{
    // A full disk: the language switch cannot be stored, and the box says so in the
    // language just chosen.
    MainFormFixture f;
    f.show();
    setSafeWriteTestSeam({0, false});
    f.prompts.expectMessage(QStringLiteral("The settings were not saved."));
    f.form->Englisch1Click();
    setSafeWriteTestSeam({});
    QVERIFY(f.prompts.done());
}

void TestDocuments::overwriteCancelWritesNothing()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("mine.txt"));
    const QString other = f.path(QStringLiteral("other.html"));
    MainFormFixture::writeFile(doc, "mine");
    MainFormFixture::writeFile(other, "other");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.prompts.expectSaveFile(other).expectQuestion(Answer::Cancel,
                                                   QStringLiteral("Ok zum Übeschreiben"));
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Cancelled);
    QCOMPARE(MainFormFixture::readFile(other), QByteArray("other"));
    QCOMPARE(f.form->FFileName(), doc);
    QVERIFY(f.prompts.done());
}

void TestDocuments::blankSaveWritesNothing()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("keep.txt"));
    MainFormFixture::writeFile(doc, "content");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SelectAll();
    f.form->SynMemo1->SetSelText(QStringLiteral("  \r\n\t "));
    QCOMPARE(f.form->FileSave(), TMainForm::SaveOutcome::Skipped);
    QCOMPARE(MainFormFixture::readFile(doc), QByteArray("content"));
    QVERIFY(f.form->SynMemo1->Modified());
    QVERIFY(f.prompts.done());
}

// Each command that replaces the document asks first when it is modified; Cancel, and a
// Yes whose save does not happen, stop the command.
void TestDocuments::askToSave_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cancelSaveDialog");
    QTest::addColumn<bool>("replaced");
    for (const char *command : {"new", "open", "quit", "drop", "recent"}) {
        const QByteArray c(command);
        QTest::newRow((c + " cancel").constData())
            << QString::fromLatin1(command) << int(Answer::Cancel) << false << false;
        QTest::newRow((c + " no").constData())
            << QString::fromLatin1(command) << int(Answer::No) << false << true;
        QTest::newRow((c + " yes, save dialog cancelled").constData())
            << QString::fromLatin1(command) << int(Answer::Yes) << true << false;
    }
}

void TestDocuments::askToSave()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, cancelSaveDialog);
    QFETCH(bool, replaced);
    MainFormFixture f;
    const QString other = f.path(QStringLiteral("other.txt"));
    MainFormFixture::writeFile(other, "other");
    f.show();
    if (command == u"recent") {
        f.form->AddRecentFile(other);
    }
    f.form->SynMemo1->SetText(QStringLiteral("unsaved work"));
    f.prompts.expectQuestion(Answer(answer));
    if (cancelSaveDialog)
        f.prompts.expectSaveFile(std::nullopt);
    if (command == u"open" && replaced)
        f.prompts.expectOpenFile(other);

    if (command == u"new") {
        f.form->FileNew();
    } else if (command == u"open") {
        f.form->FileOpen();
    } else if (command == u"quit") {
        f.form->close();
    } else if (command == u"drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(f.path("second"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(f.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.form.get(), &drop);
    } else {
        f.form->action(QStringLiteral("file41"))->trigger();
    }
    QVERIFY(f.prompts.done());
    if (command == u"quit") {
        QCOMPARE(f.form->isVisible(), !replaced);
    } else {
        QCOMPARE(f.form->SynMemo1->Text() != QStringLiteral("unsaved work"), replaced);
    }
}

void TestDocuments::failedSaveKeepsOldFile()
{
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "old");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SetText(QStringLiteral("new"));
    // A name that is a folder cannot take the document.
    const QString folder = f.path(QStringLiteral("folder.html"));
    QVERIFY(QDir().mkdir(folder));
    // Every error box names the file it is about.
    f.prompts.expectSaveFile(folder).expectQuestion(Answer::Ok).expectMessage(folder);
    QCOMPARE(f.form->FileSaveAs(), TMainForm::SaveOutcome::Failed);
    QVERIFY(f.form->SynMemo1->Modified());
    QCOMPARE(f.form->FFileName(), doc);
    QVERIFY(QFileInfo(folder).isDir());

    // A Yes to the close question whose save fails keeps the window open.
    QFile::remove(doc);
    QVERIFY(QDir().mkdir(doc));
    f.prompts.expectQuestion(Answer::Yes).expectMessage(doc);
    QVERIFY(!f.form->close());
    QVERIFY(f.prompts.done());
}

void TestDocuments::dialogsStartFolder_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("save");
    QTest::newRow("open, no file yet") << false << false;
    QTest::newRow("save as, no file yet") << false << true;
    QTest::newRow("open, named document") << true << false;
    QTest::newRow("save as, named document") << true << true;
}

void TestDocuments::dialogsStartFolder()
{
    QFETCH(bool, named);
    QFETCH(bool, save);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    if (named) {
        MainFormFixture::writeFile(doc, "text");
        QVERIFY(f.form->PerformFileOpen(doc));
    } else {
        f.form->FileNew();
    }
    if (save) {
        f.prompts.expectSaveFile(std::nullopt);
        f.form->FileSaveAs();
    } else {
        f.prompts.expectOpenFile(std::nullopt);
        f.form->FileOpen();
    }
    QVERIFY(f.prompts.done());
    const ScriptedPrompts::Seen &seen = f.prompts.seen().last();
    const QString folder = save ? seen.title : seen.text;
    QCOMPARE(folder, named ? f.dir.path() : QDir::homePath());
    QVERIFY(QDir::homePath() != QStringLiteral("/"));
}

void TestDocuments::openFailures_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("folder") << "folder";
    QTest::newRow("deleted after choosing") << "deleted";
    QTest::newRow("larger than the editor holds") << "large";
}

void TestDocuments::openFailures()
{
    QFETCH(QString, what);
    MainFormFixture f;
    f.show();
    const QString doc = f.path(QStringLiteral("doc.txt"));
    MainFormFixture::writeFile(doc, "kept");
    QVERIFY(f.form->PerformFileOpen(doc));
    f.form->SynMemo1->SetSelText(QStringLiteral("+"));
    const QString bad = f.path(what);
    if (what == u"folder")
        QVERIFY(QDir().mkdir(bad));
    if (what == u"large") {
        // Refused from its size alone, before anything is read (a sparse file).
        QFile large(bad);
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(TSynMemo::kMaxTextBytes + 1));
    }
    f.prompts.expectMessage(what == u"large" ? bad : QString());
    QVERIFY(!f.form->PerformFileOpen(bad));
    QCOMPARE(f.form->SynMemo1->Text(), QStringLiteral("+kept"));
    QCOMPARE(f.form->FFileName(), doc);
    QVERIFY(f.form->SynMemo1->Modified());
    QVERIFY(f.prompts.done());

    const QString empty = f.path(QStringLiteral("empty.txt"));
    MainFormFixture::writeFile(empty, QByteArray());
    f.prompts.expectQuestion(Answer::No);
    f.prompts.expectOpenFile(empty);
    f.form->FileOpen();
    QCOMPARE(f.form->SynMemo1->Text(), QString());
    QCOMPARE(f.form->FFileName(), empty);
}

void TestDocuments::printsToPdf()
{
    if (!QFile::exists(QStringLiteral(PDFTOTEXT)))
        QSKIP("pdftotext is missing");
    MainFormFixture f;
    f.show();
    QString text;
    for (int i = 1; i <= 400; ++i)
        text += QStringLiteral("Zeile %1 mit Text äöü\r\n").arg(i);
    f.form->SynMemo1->SetText(text);
    const QString pdf = f.path(QStringLiteral("out.pdf"));
    f.prompts.expectPrint([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    });
    f.form->FilePrint();
    QVERIFY(f.prompts.done());
    QProcess run;
    run.start(QStringLiteral(PDFTOTEXT), {pdf, QStringLiteral("-")});
    QVERIFY(run.waitForFinished());
    const QString printed = QString::fromUtf8(run.readAllStandardOutput());
    QVERIFY(printed.contains(QStringLiteral("Zeile 1 mit Text äöü")));
    QVERIFY(printed.contains(QStringLiteral("Zeile 400 mit Text")));
    // Pages are separated by form feeds: 400 lines of 8 points need several pages.
    QVERIFY2(printed.count(u'\f') >= 4, qPrintable(QString::number(printed.count(u'\f'))));
}

void TestDocuments::recentFilesFillFromBottom()
{
    MainFormFixture f;
    f.show();
    QStringList paths;
    for (const char *name : {"A.txt", "B.txt", "C.txt", "D.txt", "E.txt"}) {
        paths << f.path(QString::fromLatin1(name));
        MainFormFixture::writeFile(paths.last(), name);
    }
    for (int i = 0; i < 3; ++i)
        QVERIFY(f.form->PerformFileOpen(paths[i]));
    QVERIFY(!f.form->action(QStringLiteral("file11"))->isVisible());
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file21"))->text()),
             QStringLiteral("C.txt"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file31"))->text()),
             QStringLiteral("B.txt"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file41"))->text()),
             QStringLiteral("A.txt"));
    QCOMPARE(f.form->action(QStringLiteral("file41"))->statusTip(), paths[0]);
    QVERIFY(f.form->action(QStringLiteral("DelLast"))->isVisible());

    // Case variants (A to Z) of a listed path change nothing.
    f.form->AddRecentFile(
        paths[0].toUpper().replace(QStringLiteral("/TMP"), QStringLiteral("/tmp")));
    QCOMPARE(f.form->action(QStringLiteral("file11"))->isVisible(), false);

    QVERIFY(f.form->PerformFileOpen(paths[3]));
    QVERIFY(f.form->PerformFileOpen(paths[4]));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file11"))->text()),
             QStringLiteral("E.txt"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file21"))->text()),
             QStringLiteral("D.txt"));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file41"))->text()),
             QStringLiteral("B.txt"));

    // A vanished file is silently not opened and stays listed.
    QFile::remove(paths[1]);
    f.form->OpenRecentFile(3);
    QCOMPARE(f.form->FFileName(), paths[4]);
    QVERIFY(f.prompts.done());
}

void TestDocuments::recentFilesSurviveRestart()
{
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/qldata/");
    const QString doc = dir.filePath(QStringLiteral("a.txt"));
    MainFormFixture::writeFile(doc, "a");
    {
        MainFormFixture f;
        f.form = std::make_unique<TMainForm>(f.prompts, f.shell, QStringList{"quillora"}, data);
        f.show();
        QVERIFY(f.form->PerformFileOpen(doc));
        QVERIFY(f.form->close());
    }
    QCOMPARE(MainFormFixture::readFile(data + QStringLiteral("files.txt")),
             QByteArray("\r\n\r\n\r\na.txt\r\n\r\n\r\n\r\n") + doc.toUtf8());
    {
        MainFormFixture f;
        f.form = std::make_unique<TMainForm>(f.prompts, f.shell, QStringList{"quillora"}, data);
        f.show();
        QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file41"))->text()),
                 QStringLiteral("a.txt"));
        f.form->DelLastClick();
        QVERIFY(!QFile::exists(data + QStringLiteral("files.txt")));
        QVERIFY(!f.form->action(QStringLiteral("DelLast"))->isVisible());
        QVERIFY(f.form->close());
    }
    QCOMPARE(MainFormFixture::readFile(data + QStringLiteral("files.txt")),
             QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    // A list with a mark and too few lines loads without a message.
    MainFormFixture::writeFile(data + QStringLiteral("files.txt"), "\xEF\xBB\xBFx.txt\r\n\r\n");
    MainFormFixture f;
    f.form = std::make_unique<TMainForm>(f.prompts, f.shell, QStringList{"quillora"}, data);
    f.show();
    QVERIFY(!f.form->action(QStringLiteral("DelLast"))->isVisible() ||
            withoutMnemonic(f.form->action(QStringLiteral("file11"))->text()) == u"x.txt");
    QVERIFY(f.prompts.done());
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
