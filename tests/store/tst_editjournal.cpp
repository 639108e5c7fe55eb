// The recovery journal: what is written reads back, a torn end costs only the torn
// record, damage is reported, a journal goes on after a crash, the files are private,
// and a lock tells a live writer from a dead one.

#include "store/editjournal.h"
#include "store/viewmemory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::vector<JournalEdit> kEdits = {
    {0, 0, QByteArray("x")},
    {5, 3, QByteArray()},
    {7, 0, QByteArray("line\nbreak\n", 11)},
    {2, 1, QByteArray("nul\0byte \xC3\xA4", 11)},
};

JournalHeader fileHeader(const QString &path)
{
    JournalHeader header;
    header.path = path;
    header.base = JournalHeader::Base::File;
    const FileStamp stamp = FileStamp::of(path);
    header.size = stamp.size;
    header.mtimeNs = stamp.mtimeNs;
    header.digest = sampleDigest(path);
    return header;
}

QString writeJournal(const QString &folder, const JournalHeader &header,
                     const std::vector<JournalEdit> &edits, QByteArrayView snapshot = {})
{
    EditJournal journal;
    if (!journal.start(folder, header, QStringLiteral("writer"), snapshot))
        return {};
    for (const JournalEdit &edit : edits)
        journal.append(edit.position, edit.removed, edit.inserted);
    journal.flush();
    const QString path = journal.path();
    journal.abandon();
    return path;
}

int mode(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

} // namespace

class TestEditJournal : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void tornOrDamaged_data();
    void tornOrDamaged();
    void resumeCutsTornRecord();
    void privateFiles();
    void ownerAlive();
    void baseFileChange_data();
    void baseFileChange();
    void viewMemory();
};

void TestEditJournal::roundTrip()
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("a b\nc.txt"));
    {
        QFile file(doc);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("some text");
    }
    JournalHeader header = fileHeader(doc);
    header.snapshot = true;
    header.encoding = 3;
    header.lineBreak = 2;
    const QString path = writeJournal(dir.filePath(QStringLiteral("recovery/")), header, kEdits,
                                      QByteArrayView("some text"));
    QVERIFY(!path.isEmpty());
    const EditJournal::Contents read = EditJournal::read(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.header.path, doc);
    QCOMPARE(read.header.digest, header.digest);
    QCOMPARE(read.header.size, qint64(9));
    QCOMPARE(read.header.encoding, 3);
    QCOMPARE(read.header.lineBreak, 2);
    QCOMPARE(read.snapshot, QByteArray("some text"));
    QVERIFY(read.edits == kEdits);
    QVERIFY(EditJournal::baseFileUnchanged(read.header));
    QCOMPARE(EditJournal::journals(dir.filePath(QStringLiteral("recovery/"))), QStringList{path});
}

void TestEditJournal::tornOrDamaged_data()
{
    QTest::addColumn<int>("cutFromEnd");
    QTest::addColumn<QByteArray>("appended");
    QTest::addColumn<int>("editsRead");
    QTest::addColumn<bool>("damaged");
    // The last record is "E 2 1 11\n" + 11 bytes + "\n" (21 bytes).
    QTest::newRow("whole") << 0 << QByteArray() << 4 << false;
    QTest::newRow("torn in the bytes") << 5 << QByteArray() << 3 << false;
    QTest::newRow("torn in the record line") << 17 << QByteArray() << 3 << false;
    QTest::newRow("garbage after records") << 0 << QByteArray("Z 1 2\nmore") << 4 << true;
    QTest::newRow("length beyond the end") << 0 << QByteArray("E 1 0 99\nabc") << 4 << false;
    QTest::newRow("bytes not closed") << 0 << QByteArray("E 1 0 1\nab\n") << 4 << true;
}

void TestEditJournal::tornOrDamaged()
{
    QFETCH(int, cutFromEnd);
    QFETCH(QByteArray, appended);
    QFETCH(int, editsRead);
    QFETCH(bool, damaged);
    QTemporaryDir dir;
    JournalHeader header;
    header.base = JournalHeader::Base::Snapshot;
    header.snapshot = true;
    const QString path = writeJournal(dir.path() + u'/', header, kEdits, "");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() - cutFromEnd));
    file.seek(file.size());
    file.write(appended);
    file.close();
    const EditJournal::Contents read = EditJournal::read(path);
    QCOMPARE(int(read.edits.size()), editsRead);
    QCOMPARE(!read.error.isEmpty(), damaged);

    // A header that does not read is damage too; it is set aside, never removed.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Quillora recovery journal 1\nbase=sideways\n\n");
    file.close();
    QVERIFY(!EditJournal::read(path).error.isEmpty());
    const QString aside = EditJournal::setAside(path);
    QVERIFY(QFile::exists(aside));
    QVERIFY(EditJournal::journals(dir.path() + u'/').isEmpty());
}

void TestEditJournal::resumeCutsTornRecord()
{
    QTemporaryDir dir;
    JournalHeader header;
    header.base = JournalHeader::Base::Snapshot;
    header.snapshot = true;
    const QString path = writeJournal(dir.path() + u'/', header, kEdits, "base");
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("E 3 0 5\nab");
    file.close();
    EditJournal journal;
    QVERIFY(journal.resume(path, QStringLiteral("next")));
    journal.append(1, 0, "y");
    QVERIFY(journal.flush());
    journal.abandon();
    const EditJournal::Contents read = EditJournal::read(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(int(read.edits.size()), 5);
    QVERIFY(read.edits.back() == (JournalEdit{1, 0, "y"}));
    QCOMPARE(read.snapshot, QByteArray("base"));
}

void TestEditJournal::privateFiles()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery/"));
    JournalHeader header;
    header.base = JournalHeader::Base::Snapshot;
    header.snapshot = true;
    EditJournal journal;
    QVERIFY(journal.start(folder, header, QStringLiteral("t"), "text"));
    QCOMPARE(mode(folder), 0700);
    QCOMPARE(mode(journal.path()), 0600);
    QCOMPARE(mode(journal.path() + QStringLiteral(".lock")), 0600);
    QCOMPARE(mode(journal.path() + QStringLiteral(".base")), 0600);
    const QString path = journal.path();
    journal.discard();
    QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
}

void TestEditJournal::ownerAlive()
{
    QTemporaryDir dir;
    JournalHeader header;
    header.base = JournalHeader::Base::Snapshot;
    header.snapshot = true;
    EditJournal journal;
    QVERIFY(journal.start(dir.path() + u'/', header, QStringLiteral("live"), ""));
    JournalOwner owner;
    QVERIFY(EditJournal::readOwner(journal.path(), owner));
    QCOMPARE(owner, EditJournal::ownOwner(QStringLiteral("live")));
    QVERIFY(EditJournal::ownerAlive(owner));
    journal.abandon();
    // The writer in this process went away: its lock is stale.
    QVERIFY(!EditJournal::ownerAlive(owner));

    // A process that has ended.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QVERIFY(!EditJournal::ownerAlive({pid, owner.host, QStringLiteral("x")}));
    // Another host cannot be asked: its lock counts.
    QVERIFY(EditJournal::ownerAlive({pid, owner.host + u'x', QStringLiteral("x")}));

    // A number given to another program since.
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("10")});
    QVERIFY(other.waitForStarted());
    QVERIFY(!EditJournal::ownerAlive({other.processId(), owner.host, QStringLiteral("x")}));
    other.kill();
    other.waitForFinished();

    // Killed but not yet reaped: a zombie holds no lock.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    const auto zombie = [child] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
    };
    QTRY_VERIFY(zombie());
    QVERIFY(!EditJournal::ownerAlive({qint64(child), owner.host, QStringLiteral("x")}));
    ::waitpid(child, nullptr, 0);
}

void TestEditJournal::baseFileChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("rewritten, same size") << "rewrite";
    QTest::newRow("replaced by rename") << "rename";
    QTest::newRow("deleted") << "delete";
}

void TestEditJournal::baseFileChange()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("doc.txt"));
    QFile file(doc);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("abcdef");
    file.close();
    const JournalHeader header = fileHeader(doc);
    QVERIFY(EditJournal::baseFileUnchanged(header));
    if (how == u"rewrite") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("abcdeX");
        file.close();
        // The same size and modification time: only the digest can tell.
        const timespec times[2] = {
            {0, UTIME_OMIT},
            {time_t(header.mtimeNs / 1000000000), long(header.mtimeNs % 1000000000)}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(doc).constData(), times, 0) == 0);
        QCOMPARE(FileStamp::of(doc).mtimeNs, header.mtimeNs);
    } else if (how == u"rename") {
        QFile other(dir.filePath(QStringLiteral("new")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("ghijkl");
        other.close();
        QVERIFY(::rename(QFile::encodeName(other.fileName()).constData(),
                         QFile::encodeName(doc).constData()) == 0);
    } else {
        QVERIFY(QFile::remove(doc));
    }
    QVERIFY(!EditJournal::baseFileUnchanged(header));
}

void TestEditJournal::viewMemory()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("positions.txt"));
    ViewMemory memory;
    for (int i = 0; i < ViewMemory::kLimit + 5; ++i)
        memory.remember({QStringLiteral("/f%1").arg(i), i + 1, 2, 1, {}});
    const ViewMemory::View tabbed{QStringLiteral("/a\tb c"), 7, 3, 2, {{0, 7, 3}, {9, 1, 1}}};
    memory.remember(tabbed);
    memory.remember({QStringLiteral("/line\nbreak"), 1, 1, 1, {}}); // cannot be kept
    QCOMPARE(memory.views().size(), ViewMemory::kLimit);
    QVERIFY(memory.save(file));

    // A damaged line costs only itself.
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray saved = raw.readAll();
    raw.close();
    QVERIFY(raw.open(QIODevice::WriteOnly));
    raw.write("x\t1\t1\t\t/bad\r\n1\t1\t1\t5:0:1\t/bad\r\n" + saved);
    raw.close();
    ViewMemory read;
    QVERIFY(read.load(file));
    QCOMPARE(read.views().size(), ViewMemory::kLimit);
    QCOMPARE(read.views().first(), tabbed);
    QVERIFY(!read.find(QStringLiteral("/f0")));
    QVERIFY(!read.find(QStringLiteral("/f5")));
    QCOMPARE(read.find(QStringLiteral("/f6"))->line, 7);
    QVERIFY(!read.find(QStringLiteral("/bad")));

    ViewMemory missing;
    QVERIFY(missing.load(dir.filePath(QStringLiteral("none"))));
    QVERIFY(missing.views().isEmpty());
}

QTEST_GUILESS_MAIN(TestEditJournal)
#include "tst_editjournal.moc"
