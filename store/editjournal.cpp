#include "store/editjournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSysInfo>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kMagic = QByteArrayLiteral("Quillora recovery journal 1");
const QString kJournalSuffix = QStringLiteral(".journal");
constexpr qint64 kDigestPart = 1024 * 1024;

// Tokens of the writers alive in this process; a journal whose writer went away without
// closing (a test's simulated crash) is then as stale as one of a killed process.
QSet<QString> &liveTokens()
{
    static QSet<QString> tokens;
    return tokens;
}

QString lockPath(const QString &journalPath)
{
    return journalPath + QStringLiteral(".lock");
}

QString snapshotPath(const QString &journalPath)
{
    return journalPath + QStringLiteral(".base");
}

FileResult systemError(const QString &path, int error)
{
    return FileResult::failure(QStringLiteral("%1: %2").arg(
        QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
}

FileResult ensurePrivateFolder(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return systemError(folder, errno);
    return {};
}

const char *baseName(JournalHeader::Base base)
{
    switch (base) {
    case JournalHeader::Base::File:
        return "file";
    case JournalHeader::Base::Snapshot:
        return "snapshot";
    case JournalHeader::Base::Empty:
        break;
    }
    return "empty";
}

// One "E position removed length" line and its bytes; false when `data` holds no whole
// record from `at` (a torn end) and `damaged` when what is there is no record at all.
bool parseRecord(const QByteArray &data, qsizetype &at, JournalEdit &edit, bool &damaged)
{
    const qsizetype end = data.indexOf('\n', at);
    if (end < 0)
        return false;
    const QList<QByteArray> fields = data.mid(at, end - at).split(' ');
    bool ok[3] = {false, false, false};
    if (fields.size() != 4 || fields[0] != "E") {
        damaged = true;
        return false;
    }
    edit.position = fields[1].toLongLong(&ok[0]);
    edit.removed = fields[2].toLongLong(&ok[1]);
    const qint64 length = fields[3].toLongLong(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || edit.position < 0 || edit.removed < 0 || length < 0) {
        damaged = true;
        return false;
    }
    const qsizetype bytesAt = end + 1;
    if (data.size() - bytesAt < length + 1)
        return false;
    if (data.at(bytesAt + length) != '\n') {
        damaged = true;
        return false;
    }
    edit.inserted = data.mid(bytesAt, length);
    at = bytesAt + length + 1;
    return true;
}

bool parseHeader(const QByteArray &bytes, JournalHeader &header)
{
    bool known = true;
    for (const QByteArray &line : bytes.split('\n').mid(1)) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "path")
            header.path = QUrl::fromPercentEncoding(value);
        else if (key == "base")
            header.base = value == "file"       ? JournalHeader::Base::File
                          : value == "snapshot" ? JournalHeader::Base::Snapshot
                          : value == "empty"    ? JournalHeader::Base::Empty
                                                : (known = false, JournalHeader::Base::Empty);
        else if (key == "size")
            header.size = value.toLongLong();
        else if (key == "mtime")
            header.mtimeNs = value.toLongLong();
        else if (key == "digest")
            header.digest = value;
        else if (key == "snapshot")
            header.snapshot = value == "1";
        else if (key == "encoding")
            header.encoding = value.toInt();
        else if (key == "linebreak")
            header.lineBreak = value.toInt();
    }
    return known && (header.base != JournalHeader::Base::Snapshot || header.snapshot);
}

} // namespace

FileStamp FileStamp::of(const QString &path)
{
    struct stat info;
    FileStamp stamp;
    // Anything but a file in its place (a folder) counts as no file.
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = info.st_size;
    stamp.mtimeNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
    stamp.device = info.st_dev;
    return stamp;
}

QByteArray sampleDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint64 size = file.size();
    hash.addData(QByteArray::number(size));
    hash.addData(file.read(kDigestPart));
    if (size > kDigestPart) {
        file.seek(qMax(kDigestPart, size - kDigestPart));
        hash.addData(file.read(kDigestPart));
    }
    return hash.result().toHex();
}

QByteArray journalHeaderBytes(const JournalHeader &header)
{
    QByteArray bytes = kMagic + '\n';
    bytes += "path=" + QUrl::toPercentEncoding(header.path) + '\n';
    bytes += QByteArray("base=") + baseName(header.base) + '\n';
    bytes += "size=" + QByteArray::number(header.size) + '\n';
    bytes += "mtime=" + QByteArray::number(header.mtimeNs) + '\n';
    bytes += "digest=" + header.digest + '\n';
    bytes += "snapshot=" + QByteArray(header.snapshot ? "1" : "0") + '\n';
    bytes += "encoding=" + QByteArray::number(header.encoding) + '\n';
    bytes += "linebreak=" + QByteArray::number(header.lineBreak) + '\n';
    return bytes + '\n';
}

QString EditJournal::folder(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("recovery/");
}

QStringList EditJournal::journals(const QString &folder)
{
    QStringList paths;
    const QFileInfoList found = QDir(folder).entryInfoList(
        {QStringLiteral("*") + kJournalSuffix}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : found)
        paths << info.absoluteFilePath();
    return paths;
}

JournalOwner EditJournal::ownOwner(const QString &token)
{
    return {qint64(::getpid()), QSysInfo::machineHostName(), token};
}

bool EditJournal::ownerAlive(const JournalOwner &owner)
{
    if (owner.host != QSysInfo::machineHostName())
        return true;
    if (owner.pid == qint64(::getpid()))
        return liveTokens().contains(owner.token);
    if (owner.pid <= 0 || (::kill(pid_t(owner.pid), 0) != 0 && errno != EPERM))
        return false;
    // A killed process may linger a moment as a zombie, and its number may be given to
    // another program later: only a running program of our own name holds a lock.
    const auto procFile = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QString proc = QStringLiteral("/proc/%1/").arg(owner.pid);
    const QByteArray stat = procFile(proc + QStringLiteral("stat"));
    const qsizetype nameEnd = stat.lastIndexOf(") ");
    if (nameEnd >= 0 && stat.mid(nameEnd + 2, 1) == "Z")
        return false;
    const QByteArray name = procFile(proc + QStringLiteral("comm"));
    return name.isEmpty() || name == procFile(QStringLiteral("/proc/self/comm"));
}

bool EditJournal::readOwner(const QString &journalPath, JournalOwner &owner)
{
    QFile file(lockPath(journalPath));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 3)
        return false;
    bool ok = false;
    owner.pid = lines[0].toLongLong(&ok);
    owner.host = QString::fromUtf8(lines[1]);
    owner.token = QString::fromUtf8(lines[2]);
    return ok;
}

EditJournal::~EditJournal()
{
    abandon();
}

FileResult EditJournal::openFor(const QString &journalPath, const QString &token, bool create)
{
    // The lock first: a journal seen without one is taken for a crashed window's.
    const JournalOwner owner = ownOwner(token);
    const QByteArray lock = QByteArray::number(owner.pid) + '\n' + owner.host.toUtf8() + '\n' +
                            owner.token.toUtf8() + '\n';
    if (const SaveResult locked = writeFileSafely(lockPath(journalPath), lock, kOwnerOnlyFile);
        !locked)
        return locked;
    m_file.setFileName(journalPath);
    const QIODevice::OpenMode mode =
        create ? QIODevice::WriteOnly | QIODevice::NewOnly : QIODevice::Append;
    if (!m_file.open(mode)) {
        if (create)
            QFile::remove(lockPath(journalPath));
        return FileResult::failure(fileErrorText(journalPath, m_file.errorString()));
    }
    m_file.setPermissions(kOwnerOnlyFile);
    m_token = token;
    liveTokens().insert(token);
    return {};
}

FileResult EditJournal::start(const QString &folder, const JournalHeader &header,
                              const QString &token, QByteArrayView snapshotBytes)
{
    abandon();
    if (FileResult made = ensurePrivateFolder(folder); !made)
        return made;
    const QString path =
        folder + QUuid::createUuid().toString(QUuid::WithoutBraces) + kJournalSuffix;
    if (header.snapshot) {
        if (const SaveResult saved =
                writeFileSafely(snapshotPath(path), snapshotBytes.toByteArray(), kOwnerOnlyFile);
            !saved)
            return saved;
    }
    if (FileResult opened = openFor(path, token, true); !opened) {
        QFile::remove(snapshotPath(path));
        return opened;
    }
    m_header = header;
    m_buffer = journalHeaderBytes(header);
    return flush();
}

FileResult EditJournal::resume(const QString &journalPath, const QString &token)
{
    abandon();
    const Contents contents = read(journalPath);
    if (!contents.error.isEmpty())
        return FileResult::failure(contents.error);
    m_header = contents.header;
    // A record torn by the crash would stand between the old records and the new ones.
    if (QFileInfo(journalPath).size() > contents.validEnd &&
        !QFile(journalPath).resize(contents.validEnd))
        return FileResult::failure(fileErrorText(journalPath, QStringLiteral("resize")));
    return openFor(journalPath, token, false);
}

void EditJournal::append(qint64 position, qint64 removed, QByteArrayView inserted)
{
    if (!active())
        return;
    m_buffer += "E " + QByteArray::number(position) + ' ' + QByteArray::number(removed) + ' ' +
                QByteArray::number(inserted.size()) + '\n';
    m_buffer += inserted;
    m_buffer += '\n';
}

FileResult EditJournal::flush()
{
    if (!active() || m_buffer.isEmpty())
        return {};
    const qint64 written = m_file.write(m_buffer);
    if (written != m_buffer.size() || !m_file.flush())
        return FileResult::failure(fileErrorText(m_file.fileName(), m_file.errorString()));
    m_buffer.clear();
    ::fdatasync(m_file.handle());
    return {};
}

void EditJournal::release()
{
    liveTokens().remove(m_token);
    m_token.clear();
    m_buffer.clear();
}

void EditJournal::discard()
{
    if (!active())
        return;
    const QString path = m_file.fileName();
    m_file.close();
    remove(path);
    release();
}

void EditJournal::abandon()
{
    if (!active())
        return;
    flush();
    m_file.close();
    release();
}

EditJournal::Contents EditJournal::read(const QString &journalPath)
{
    Contents contents;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = fileErrorText(journalPath, file.errorString());
        return contents;
    }
    contents.lastEdit = QFileInfo(file).lastModified();
    const QByteArray data = file.readAll();
    const qsizetype headerEnd = data.indexOf("\n\n");
    const QString damaged = QStringLiteral("%1: damaged").arg(journalPath);
    if (!data.startsWith(kMagic + '\n') || headerEnd < 0) {
        contents.error = damaged;
        return contents;
    }
    if (!parseHeader(data.left(headerEnd), contents.header)) {
        contents.error = damaged;
        return contents;
    }
    const JournalHeader &header = contents.header;
    if (header.snapshot) {
        QFile base(snapshotPath(journalPath));
        if (!base.open(QIODevice::ReadOnly)) {
            contents.error = fileErrorText(base.fileName(), base.errorString());
            return contents;
        }
        contents.snapshot = base.readAll();
    }
    qsizetype at = headerEnd + 2;
    bool broken = false;
    JournalEdit edit;
    while (at < data.size() && parseRecord(data, at, edit, broken))
        contents.edits.push_back(std::move(edit));
    contents.validEnd = at;
    if (broken)
        contents.error = damaged;
    return contents;
}

bool EditJournal::readHeader(const QString &journalPath, JournalHeader &header, QDateTime &lastEdit)
{
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lastEdit = QFileInfo(file).lastModified();
    // Paths are short: a header that does not end in the first 64 KiB is damaged.
    const QByteArray start = file.read(64 * 1024);
    const qsizetype headerEnd = start.indexOf("\n\n");
    return start.startsWith(kMagic + '\n') && headerEnd >= 0 &&
           parseHeader(start.left(headerEnd), header);
}

bool EditJournal::baseFileUnchanged(const JournalHeader &header)
{
    if (header.base != JournalHeader::Base::File)
        return false;
    const FileStamp now = FileStamp::of(header.path);
    return now.exists && now.size == header.size && now.mtimeNs == header.mtimeNs &&
           sampleDigest(header.path) == header.digest;
}

void EditJournal::remove(const QString &journalPath)
{
    QFile::remove(journalPath);
    QFile::remove(lockPath(journalPath));
    QFile::remove(snapshotPath(journalPath));
}

QString EditJournal::setAside(const QString &journalPath)
{
    const QString aside = journalPath + QStringLiteral(".broken");
    QFile::remove(aside);
    QFile::rename(journalPath, aside);
    QFile::remove(lockPath(journalPath));
    if (QFileInfo::exists(snapshotPath(journalPath))) {
        QFile::remove(snapshotPath(aside));
        QFile::rename(snapshotPath(journalPath), snapshotPath(aside));
    }
    return aside;
}
