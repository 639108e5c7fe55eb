#include "base/safewrite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// Files may not grow beyond `bytes` while it lives: writes past it fail with EFBIG. This
// makes a write fail even for root, who passes every permission check.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT
private slots:
    void newFilePermissions();
    void keepsPermissionsOfExistingFile();
    void writesThroughSymbolicLink();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void failuresCarryTheSystemText_data();
    void failuresCarryTheSystemText();
    void writesInPlaceWhenFolderIsClosed();
    void removesOnlyLeftovers();
    void inPlaceWriteNeedsRoomFirst_data();
    void inPlaceWriteNeedsRoomFirst();
    void inPlaceWriteOnFullTmpfs();
};

void TestSafeWrite::newFilePermissions()
{
    QTemporaryDir dir;
    const QString owned = dir.filePath(QStringLiteral("owned"));
    QVERIFY(writeFileSafely(owned, "secret", kOwnerOnlyFile));
    QCOMPARE(modeOf(owned), mode_t(0600));
    QCOMPARE(readAll(owned), QByteArray("secret"));

    const mode_t mask = ::umask(022);
    ::umask(mask);
    const QString usual = dir.filePath(QStringLiteral("usual"));
    QVERIFY(writeFileSafely(usual, "text"));
    QCOMPARE(modeOf(usual), mode_t(0666 & ~mask));
}

void TestSafeWrite::keepsPermissionsOfExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    QVERIFY(writeFileSafely(path, "one"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    // The permissions for new files do not apply to an existing one.
    QVERIFY(writeFileSafely(path, "two", kOwnerOnlyFile));
    QCOMPARE(modeOf(path), mode_t(0640));
    QCOMPARE(readAll(path), QByteArray("two"));
}

void TestSafeWrite::writesThroughSymbolicLink()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    QVERIFY(writeFileSafely(target, "old"));
    QVERIFY(QFile::link(target, link));

    QVERIFY(writeFileSafely(link, "new"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), QByteArray("new"));

    // A link to a file that does not exist yet creates the file.
    const QString dangling = dir.filePath(QStringLiteral("dangling.txt"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("later.txt")), dangling));
    QVERIFY(writeFileSafely(dangling, "made"));
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(readAll(dir.filePath(QStringLiteral("later.txt"))), QByteArray("made"));
}

void TestSafeWrite::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");
    QTest::newRow("large write") << 4096 << 256 * 1024;
    // Small enough to sit in a write buffer until the commit.
    QTest::newRow("short write at the end") << 8 << 100;
}

void TestSafeWrite::failedWriteKeepsOldFile()
{
    QFETCH(int, limit);
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.ini"));
    QVERIFY(writeFileSafely(path, "the earlier settings"));

    SaveResult result;
    {
        FileSizeLimit sizeLimit(limit);
        result = writeFileSafely(path, QByteArray(size, 'x'));
    }
    QVERIFY(!result);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readAll(path), QByteArray("the earlier settings"));
    // Nothing of the broken write is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Velmora.ini")});
}

void TestSafeWrite::failuresCarryTheSystemText_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("missing folder") << QStringLiteral("no/such/file.txt");
    QTest::newRow("a folder in the way") << QStringLiteral("folder");
    QTest::newRow("a file as folder") << QStringLiteral("plain/file.txt");
}

void TestSafeWrite::failuresCarryTheSystemText()
{
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeFileSafely(dir.filePath(QStringLiteral("plain")), "x"));

    const SaveResult result = writeFileSafely(dir.filePath(relativePath), "bytes");
    QVERIFY(!result);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QCOMPARE(readAll(dir.filePath(QStringLiteral("plain"))), QByteArray("x"));
}

void TestSafeWrite::writesInPlaceWhenFolderIsClosed()
{
    if (::geteuid() == 0)
        QSKIP("root may create files in any folder, so the fallback is not reached");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    QVERIFY(writeFileSafely(path, "old"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const SaveResult result = writeFileSafely(path, "new");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(result, qPrintable(result.error));
    QCOMPARE(readAll(path), QByteArray("new"));
}

void TestSafeWrite::removesOnlyLeftovers()
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QStringList names = {
        QStringLiteral("Velmora.ini"),         QStringLiteral("Velmora.ini.Ab3xY9"),
        QStringLiteral("Velmora.ini.bak"),     QStringLiteral("Velmora.ini.ab-123"),
        QStringLiteral("Velmora.ini.Ab3xY9z"), QStringLiteral("files.txt.Ab3xY9"),
    };
    for (const QString &name : names)
        QVERIFY(writeFileSafely(folder.filePath(name), "x"));

    QCOMPARE(removeSafeWriteLeftovers(folder.filePath(QStringLiteral("Velmora.ini"))), 1);
    QStringList expected = names;
    expected.removeOne(QStringLiteral("Velmora.ini.Ab3xY9"));
    expected.sort();
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), expected);
}

namespace {

// 1,500 numbered lines: the old file of the in-place cases.
QByteArray numberedLines(int count, const char *word)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += word + QByteArray::number(i) + '\n';
    return bytes;
}

} // namespace

void TestSafeWrite::inPlaceWriteNeedsRoomFirst_data()
{
    QTest::addColumn<qint64>("spaceLeft");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<int>("newLines");
    QTest::addColumn<bool>("fits");
    QTest::newRow("shorter, full disk") << qint64(0) << 0 << 100 << true;
    QTest::newRow("longer, room enough") << qint64(1 << 20) << 0 << 3000 << true;
    QTest::newRow("longer, full disk") << qint64(100) << 0 << 3000 << false;
    // The kernel's own refusal (EFBIG), so the reservation itself is tried for real.
    QTest::newRow("longer, file size limit") << qint64(-1) << 20000 << 3000 << false;
}

void TestSafeWrite::inPlaceWriteNeedsRoomFirst()
{
    QFETCH(qint64, spaceLeft);
    QFETCH(int, sizeLimit);
    QFETCH(int, newLines);
    QFETCH(bool, fits);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    const QByteArray old = numberedLines(1500, "old line ");
    QVERIFY(writeFileSafely(path, old));
    const QByteArray wanted = numberedLines(newLines, "new line ");

    SaveResult result;
    {
        std::optional<FileSizeLimit> limit;
        if (sizeLimit > 0)
            limit.emplace(sizeLimit);
        setSafeWriteTestSeam({spaceLeft, true});
        result = writeFileSafely(path, wanted);
        setSafeWriteTestSeam({});
    }
    QCOMPARE(bool(result), fits);
    QCOMPARE(readAll(path), fits ? wanted : old);
    if (!fits)
        QVERIFY(!result.error.isEmpty());
}

void TestSafeWrite::inPlaceWriteOnFullTmpfs()
{
    // A real small file system, filled up: the reservation must meet the real ENOSPC.
    if (::geteuid() != 0)
        QSKIP("mounting a tmpfs needs root");
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir.path()}) != 0)
        QSKIP("no tmpfs can be mounted here (a container without mount rights)");
    const auto unmount =
        qScopeGuard([&dir] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    const QByteArray old = numberedLines(1500, "line ");
    QVERIFY(writeFileSafely(path, old));
    // Fill the rest of the disk.
    QFile filler(dir.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    filler.close();

    setSafeWriteTestSeam({-1, true});
    const SaveResult result = writeFileSafely(path, numberedLines(3000, "other "));
    setSafeWriteTestSeam({});
    QVERIFY(!result);
    QCOMPARE(result.error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QCOMPARE(readAll(path), old);
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
