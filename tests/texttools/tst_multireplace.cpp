// The multi-file run's logic: one file's text in one pass against the step-by-step loop,
// the examples, files on disk (no hit: untouched; failures: unchanged), the backup and
// undo of the last run, and the speed of a count over many files.

#include "editor/textcodec.h"
#include "tests/support/timebudget.h"
#include "texttools/multireplace.h"
#include "texttools/textsearch.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// The loop that searches, replaces one occurrence and searches again in the changed text:
// the behaviour the one pass must reproduce.
FileTextResult processStepByStep(QString text, const MultiReplaceOptions &o)
{
    FileTextResult result;
    qsizetype position = 1;
    for (;;) {
        const qsizetype p = FindInFileText(text, o.search, position, o.wholeWord, o.matchCase);
        if (p < 1)
            break;
        ++result.hits;
        if (!o.searchOnly) {
            text.replace(p - 1, o.search.size(), o.replacement);
            position = p + o.replacement.size();
        } else {
            position = p + o.search.size();
        }
        if (!o.all)
            break;
    }
    if (!o.searchOnly && result.hits > 0)
        result.text = text;
    return result;
}

MultiReplaceOptions options(const QString &search, const QString &replacement, bool all,
                            bool searchOnly = false, bool wholeWord = false, bool matchCase = false)
{
    MultiReplaceOptions o;
    o.search = search;
    o.replacement = replacement;
    o.all = all;
    o.searchOnly = searchOnly;
    o.wholeWord = wholeWord;
    o.matchCase = matchCase;
    return o;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

Q_DECLARE_METATYPE(MultiReplaceOptions)

class TestMultiReplace : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void onePassMatchesStepByStep();
    void filesOnDisk();
    void failuresLeaveFilesAsTheyWere();
    void undoLastRun();
    void lineBreaksOutsideTheHitStay_data();
    void lineBreaksOutsideTheHitStay();
    void noListEntryNoChange();
    void undoKeepsWhatItCouldNotRestore();
    void unencodableFileIsLeftAlone();
    void countOverManyFilesIsLinear();
    void regexRun_data();
    void regexRun();
    void regexFileAndUndo();
};

void TestMultiReplace::examples_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MultiReplaceOptions>("options");
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("expected"); // empty: the text is not changed

    QTest::newRow("cat all") << "cat cat cat" << options("cat", "dog", true) << 3 << "dog dog dog";
    QTest::newRow("cat first") << "cat cat cat" << options("cat", "dog", false) << 1
                               << "dog cat cat";
    QTest::newRow("a to aa") << "aaa" << options("a", "aa", true) << 3 << "aaaaaa";
    QTest::newRow("x1 no word") << "x1" << options("x", "y", true, false, true) << 0 << "";
    QTest::newRow("x-1 word") << "x-1" << options("x", "y", true, false, true) << 1 << "y-1";
    QTest::newRow("cat at start") << "cat." << options("cat", "dog", true, false, true) << 1
                                  << "dog.";
    QTest::newRow("search only counts")
        << "cat cat" << options("cat", "dog", true, true) << 2 << "";
    QTest::newRow("empty replacement") << "a-b-c" << options("-", "", true) << 2 << "abc";
    QTest::newRow("replacement holds search") << "ab" << options("a", "aa", true) << 1 << "aab";
    QTest::newRow("word check sees the replacement")
        << ";x;x" << options(";x", "-", true, false, true) << 2 << "--";
}

void TestMultiReplace::examples()
{
    QFETCH(QString, text);
    QFETCH(MultiReplaceOptions, options);
    QFETCH(int, hits);
    QFETCH(QString, expected);
    const FileTextResult result = processFileText(text, options);
    QCOMPARE(result.hits, hits);
    QCOMPARE(result.text, expected);
    const FileTextResult reference = processStepByStep(text, options);
    QCOMPARE(result.hits, reference.hits);
    QCOMPARE(result.text, reference.text);
}

void TestMultiReplace::onePassMatchesStepByStep()
{
    const QStringList pieces = {"a", "A", "b", "x", "1", "_", " ", "-", "\r\n", "ä", "[", "aa"};
    const QStringList searches = {"a", "aa", "ab", "x", "A a", "b"};
    const QStringList replacements = {"", "a", "aa", "b", "x1", "-", "_"};
    QRandomGenerator random(3);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int i = random.bounded(0, 25); i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        const MultiReplaceOptions o =
            options(searches[random.bounded(int(searches.size()))],
                    replacements[random.bounded(int(replacements.size()))], random.bounded(4) != 0,
                    random.bounded(4) == 0, random.bounded(2), random.bounded(2));
        const FileTextResult result = processFileText(text, o);
        const FileTextResult reference = processStepByStep(text, o);
        if (result.hits != reference.hits || result.text != reference.text)
            QFAIL(qPrintable(QStringLiteral("\"%1\" %2->%3 all %4 only %5 word %6 case %7: "
                                            "\"%8\" (%9) != \"%10\" (%11)")
                                 .arg(text, o.search, o.replacement)
                                 .arg(o.all)
                                 .arg(o.searchOnly)
                                 .arg(o.wholeWord)
                                 .arg(o.matchCase)
                                 .arg(result.text)
                                 .arg(result.hits)
                                 .arg(reference.text)
                                 .arg(reference.hits)));
    }
}

void TestMultiReplace::filesOnDisk()
{
    QTemporaryDir dir;
    const QString hit = dir.filePath("hit.txt");
    const QString miss = dir.filePath("miss.txt");
    const QString bom = dir.filePath("bom.txt");
    write(hit, "cat\r\ncat");
    write(miss, "dog\r\n");
    write(bom, "\xEF\xBB\xBF"
               "cat\xC3\xA4");
    QFile::setPermissions(miss, QFile::ReadOwner); // a write would fail: it must not happen
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());

    FileRunResult run = processFile(hit, options("cat", "dog", true), &backup);
    QVERIFY(run.result);
    QCOMPARE(run.hits, 2);
    QVERIFY(run.changed);
    QCOMPARE(read(hit), QByteArray("dog\r\ndog")); // the file's line breaks stay
    run = processFile(miss, options("cat", "dog", true), &backup);
    QVERIFY(run.result);
    QVERIFY(!run.changed);
    run = processFile(bom, options("cat", "dog", true), &backup);
    QCOMPARE(read(bom), QByteArray("\xEF\xBB\xBF"
                                   "dog\xC3\xA4"));
    // Search only never writes.
    run = processFile(hit, options("dog", "x", true, true), &backup);
    QCOMPARE(run.hits, 2);
    QVERIFY(!run.changed);
    QCOMPARE(read(hit), QByteArray("dog\r\ndog"));
}

void TestMultiReplace::failuresLeaveFilesAsTheyWere()
{
    QTemporaryDir dir;
    const MultiReplaceOptions o = options("a", "b", true);
    // A folder, a file that went away, an unreadable file, a file that cannot be written.
    FileRunResult run = processFile(dir.path(), o, nullptr);
    QVERIFY(!run.result);
    run = processFile(dir.filePath("gone.txt"), o, nullptr);
    QVERIFY(!run.result);
    QVERIFY(!run.result.error.isEmpty());
    // Binary bytes survive a replace in the text around them.
    const QString binary = dir.filePath("data.bin");
    QByteArray bytes("a\x00\x81\xFF\x90\r\nz", 8);
    write(binary, bytes);
    run = processFile(binary, options("z", "y", true), nullptr);
    QVERIFY(run.result);
    bytes[7] = 'y';
    QCOMPARE(read(binary), bytes);
    // The old content cannot be kept for undo: the file is not written.
    const QString blocker = dir.filePath("blocker");
    write(blocker, "x");
    RunBackup noRoom(blocker + QStringLiteral("/"));
    const QString kept = dir.filePath("kept.txt");
    write(kept, "aaa");
    run = processFile(kept, o, &noRoom);
    QVERIFY(!run.result);
    QCOMPARE(read(kept), QByteArray("aaa"));
    if (geteuid() == 0)
        QSKIP("root reads and writes files without permission");
    const QString locked = dir.filePath("locked.txt");
    write(locked, "aaa");
    QFile::setPermissions(locked, QFile::WriteOwner);
    run = processFile(locked, o, nullptr);
    QVERIFY(!run.result);
    // A read-only file in a folder that takes no temporary file: the write fails.
    QFile::setPermissions(locked, QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    run = processFile(locked, o, nullptr);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!run.result);
    QCOMPARE(run.hits, 3);
    QCOMPARE(read(locked), QByteArray("aaa"));
}

void TestMultiReplace::undoLastRun()
{
    QTemporaryDir dir;
    const QString one = dir.filePath("one.txt");
    const QString two = dir.filePath("two.txt");
    write(one, "cat");
    write(two, "cat cat");
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());
    QVERIFY(backup.isEmpty());
    processFile(one, options("cat", "dog", true), &backup);
    processFile(two, options("cat", "dog", true), &backup);
    QVERIFY(!backup.isEmpty());
    write(two, "edited since"); // refused by undo
    RunBackup::UndoResult undone = RunBackup(dir.filePath("backup/")).undo();
    QCOMPARE(undone.restored, QStringList{one});
    QCOMPARE(undone.refused, QStringList{two});
    QCOMPARE(read(one), QByteArray("cat"));
    QCOMPARE(read(two), QByteArray("edited since"));
    QVERIFY(backup.isEmpty());
    // A new run replaces the backup of the one before.
    QVERIFY(backup.clear());
    processFile(one, options("cat", "cow", true), &backup);
    QVERIFY(backup.clear());
    QVERIFY(backup.isEmpty());
    QCOMPARE(read(one), QByteArray("cow"));
}

void TestMultiReplace::lineBreaksOutsideTheHitStay_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QByteArray>("expected");
    // The file: two CR LF, one LF, one CR (CR LF is its most frequent break).
    QTest::newRow("a word") << "alpha"
                            << "beta" << QByteArray("one beta\r\ntwo\r\nthree\nfour\r");
    QTest::newRow("across the LF break") << "three\r\nfour"
                                         << "3-4" << QByteArray("one alpha\r\ntwo\r\n3-4\r");
    QTest::newRow("a break into the text")
        << "two"
        << "2\r\n2" << QByteArray("one alpha\r\n2\r\n2\r\nthree\nfour\r");
}

void TestMultiReplace::lineBreaksOutsideTheHitStay()
{
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("mixed.txt");
    write(path, "one alpha\r\ntwo\r\nthree\nfour\r");
    const FileRunResult run = processFile(path, options(search, replacement, true), nullptr);
    QVERIFY(run.result);
    QCOMPARE(run.hits, 1);
    QCOMPARE(read(path), expected);
}

void TestMultiReplace::noListEntryNoChange()
{
    // The copy of the old bytes fits on the disk, its line in the list does not.
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.txt");
    const QByteArray old("cat and cat");
    write(path, old);
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());
    setSafeWriteTestSeam({old.size() + 10, false});
    const FileRunResult run = processFile(path, options("cat", "dog", true), &backup);
    setSafeWriteTestSeam({});
    QVERIFY(!run.result);
    QCOMPARE(run.result.error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QVERIFY(!run.changed);
    QCOMPARE(read(path), old);
    QVERIFY(backup.isEmpty());
    // The next file is kept and listed as usual.
    QVERIFY(processFile(path, options("cat", "dog", true), &backup).changed);
    QVERIFY(!backup.isEmpty());
}

void TestMultiReplace::undoKeepsWhatItCouldNotRestore()
{
    QTemporaryDir dir;
    const QString one = dir.filePath("one.txt");
    const QString two = dir.filePath("two.txt");
    write(one, "cat");
    write(two, "cat cat");
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());
    QVERIFY(processFile(one, options("cat", "dog", true), &backup).changed);
    QVERIFY(processFile(two, options("cat", "dog", true), &backup).changed);

    // A full disk: nothing can be written back.
    setSafeWriteTestSeam({0, false});
    RunBackup::UndoResult undone = RunBackup(dir.filePath("backup/")).undo();
    setSafeWriteTestSeam({});
    QVERIFY(undone.restored.isEmpty());
    QCOMPARE(undone.failed.size(), 2);
    QCOMPARE(read(one), QByteArray("dog"));
    QVERIFY(!backup.isEmpty());

    // Room again: the same undo now restores both.
    undone = RunBackup(dir.filePath("backup/")).undo();
    QCOMPARE(undone.restored.size(), 2);
    QVERIFY(undone.failed.isEmpty());
    QCOMPARE(read(one), QByteArray("cat"));
    QCOMPARE(read(two), QByteArray("cat cat"));
    QVERIFY(backup.isEmpty());
}

void TestMultiReplace::unencodableFileIsLeftAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ansi.txt");
    const QByteArray old("caf\xE9\r\nx\r\n");
    write(path, old);
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());
    // The euro sign is in Windows-1252, the Cyrillic letter is not.
    const FileRunResult run =
        processFile(path, options("x", QString::fromUtf8("\xE2\x82\xAC\xD0\x96"), true), &backup);
    QVERIFY(run.result);
    QCOMPARE(run.hits, 1);
    QVERIFY(!run.changed);
    QVERIFY(run.unencodable);
    QCOMPARE(run.unencodable->character, char32_t(0x416));
    QCOMPARE(run.unencodable->line, 2);
    QCOMPARE(read(path), old);
    QVERIFY(backup.isEmpty());
    // What Windows-1252 holds is written.
    QVERIFY(
        processFile(path, options("x", QString::fromUtf8("\xE2\x82\xAC"), true), &backup).changed);
    QCOMPARE(read(path), QByteArray("caf\xE9\r\n\x80\r\n"));
}

void TestMultiReplace::countOverManyFilesIsLinear()
{
    QTemporaryDir dir;
    QByteArray content;
    while (content.size() < 40'000)
        content += "The cat sat on the mat, and the other cat watched it.\r\n";
    const auto makeFiles = [&](int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QStringLiteral("f%1_%2.txt").arg(count).arg(i));
            write(path, content);
            paths.append(path);
        }
        return paths;
    };
    const auto timeRun = [](const QStringList &paths) {
        SpeedTimer timer;
        timer.start();
        qint64 hits = 0;
        for (const QString &path : paths)
            hits += processFile(path, options("cat", "", true, true), nullptr).hits;
        return qMakePair(timer.elapsed(), hits);
    };
    const QStringList small = makeFiles(500);
    const QStringList large = makeFiles(5000);
    const auto [smallMs, smallHits] = timeRun(small);
    const auto [largeMs, largeHits] = timeRun(large);
    QCOMPARE(largeHits, smallHits * 10);
    qInfo("count over 500 files: %lld ms, over 5000 files: %lld ms", smallMs, largeMs);
    QVERIFY2(largeMs < timeBudget(10'000), qPrintable(QString::number(largeMs)));
}

void TestMultiReplace::regexRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MultiReplaceOptions>("options");
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("expected"); // empty: the text is not changed

    const auto regex = [](const char *search, const char *replacement, bool all,
                          bool searchOnly = false, bool wholeWord = false) {
        MultiReplaceOptions o = options(QString::fromUtf8(search), QString::fromUtf8(replacement),
                                        all, searchOnly, wholeWord);
        o.regex = true;
        return o;
    };
    QTest::newRow("captures, all")
        << "a=1\nb=2" << regex("(\\w)=(\\d)", "\\2=\\1", true) << 2 << "1=a\n2=b";
    QTest::newRow("first only") << "a=1\nb=2" << regex("(\\w)=(\\d)", "\\2=\\1", false) << 1
                                << "1=a\nb=2";
    QTest::newRow("count only") << "x\nx\nx" << regex("^x$", "y", true, true) << 3 << "";
    QTest::newRow("over lines") << "a\nb\nc" << regex("a\\nb", "ab", true) << 1 << "ab\nc";
    QTest::newRow("empty hits") << "ab" << regex("x*", "-", true) << 3 << "-a-b-";
    QTest::newRow("whole word") << "cat concat" << regex("ca?t", "X", true, false, true) << 1
                                << "X concat";
    QTest::newRow("invalid finds nothing") << "a(" << regex("a(", "b", true) << 0 << "";
}

void TestMultiReplace::regexRun()
{
    QFETCH(QString, text);
    QFETCH(MultiReplaceOptions, options);
    QFETCH(int, hits);
    QFETCH(QString, expected);
    const FileTextResult result = processFileText(text, options);
    QCOMPARE(result.hits, hits);
    QCOMPARE(result.text, expected);
}

// A regex run over a CR LF file keeps its breaks, and the undo of the last run covers it.
void TestMultiReplace::regexFileAndUndo()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("crlf.txt");
    write(path, "k=1\r\nk=2\r\n");
    RunBackup backup(dir.filePath("backup/"));
    QVERIFY(backup.clear());
    MultiReplaceOptions o = options("^k=(\\d)$", "v\\1", true);
    o.regex = true;
    const FileRunResult run = processFile(path, o, &backup);
    QVERIFY(run.result);
    QCOMPARE(run.hits, 2);
    QCOMPARE(read(path), QByteArray("v1\r\nv2\r\n"));
    const RunBackup::UndoResult undone = RunBackup(dir.filePath("backup/")).undo();
    QCOMPARE(undone.restored, QStringList{path});
    QCOMPARE(read(path), QByteArray("k=1\r\nk=2\r\n"));
}

QTEST_GUILESS_MAIN(TestMultiReplace)
#include "tst_multireplace.moc"
