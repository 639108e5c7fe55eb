#include "base/safewrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SaveResult writeFileSafely(const QString &path, const QByteArray &bytes,
                           std::optional<QFileDevice::Permissions> newFilePermissions)
{
    return writeFileSafely(
        path, [&bytes](const PieceWriter &write) { return bytes.isEmpty() || write(bytes); },
        newFilePermissions);
}

namespace {

SafeWriteTestSeam g_seam;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// How many of `wanted` new bytes the disk takes: all of them, unless a test limits it.
qint64 spaceFor(qint64 wanted)
{
    if (g_seam.spaceLeft < 0)
        return wanted;
    const qint64 n = std::min(wanted, g_seam.spaceLeft);
    g_seam.spaceLeft -= n;
    return n;
}

// Writes all of `bytes` at `offset`, or at the file's position when `offset` is negative.
// `newBytes`: whether they take room on the disk (not so for bytes that overwrite room
// already reserved). False with errno set.
bool writeAll(int fd, QByteArrayView bytes, qint64 offset, bool newBytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 wanted = bytes.size() - done;
        const qint64 allowed = newBytes ? spaceFor(wanted) : wanted;
        if (allowed == 0) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t n = offset < 0
                              ? ::write(fd, bytes.data() + done, size_t(allowed))
                              : ::pwrite(fd, bytes.data() + done, size_t(allowed), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Back to the length before a failed write; the write's own error is what gets reported.
void cutBack(int fd, qint64 size)
{
    if (::ftruncate(fd, size) != 0)
        return;
}

// fsync, where the file system has it.
bool syncFile(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Makes sure the file can hold `newSize` bytes before any old byte changes: the blocks
// are allocated (holes of the old file too), or, where the file system cannot allocate
// ahead, the part past the old end is written first. On failure the file is cut back
// to `oldSize` and the error returned; 0 on success.
int reserve(int fd, QByteArrayView bytes, qint64 oldSize)
{
    const qint64 newSize = bytes.size();
    const qint64 growth = std::max<qint64>(0, newSize - oldSize);
    int error = 0;
    if (g_seam.spaceLeft >= 0 && growth > g_seam.spaceLeft)
        error = ENOSPC;
    else if (newSize > 0)
        error = ::posix_fallocate(fd, 0, newSize);
    if (error == EOPNOTSUPP || error == EINVAL)
        error = growth == 0 || writeAll(fd, bytes.sliced(oldSize), oldSize, false) ? 0 : errno;
    if (error != 0) {
        struct stat now = {};
        if (::fstat(fd, &now) == 0 && now.st_size != oldSize)
            cutBack(fd, oldSize);
        return error;
    }
    if (g_seam.spaceLeft >= 0)
        g_seam.spaceLeft -= growth;
    return 0;
}

// The file rewritten in its own place, for a folder that takes no temporary file. The
// content is gathered first: its size must be known to reserve the room for it.
SaveResult writeInPlace(const QString &path,
                        const std::function<bool(const PieceWriter &)> &produce)
{
    QByteArray bytes;
    if (!produce([&bytes](QByteArrayView piece) {
            bytes.append(piece);
            return true;
        }))
        return SaveResult::failure(systemError(EIO));
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC));
    struct stat old = {};
    if (fd.get() < 0 || ::fstat(fd.get(), &old) != 0)
        return SaveResult::failure(systemError(errno));
    if (const int error = reserve(fd.get(), bytes, old.st_size); error != 0)
        return SaveResult::failure(systemError(error));
    if (!writeAll(fd.get(), bytes, 0, false) || ::ftruncate(fd.get(), bytes.size()) != 0 ||
        !syncFile(fd.get()))
        return SaveResult::failure(systemError(errno));
    return {};
}

} // namespace

void setSafeWriteTestSeam(const SafeWriteTestSeam &seam)
{
    g_seam = seam;
}

SaveResult writeFileSafely(const QString &path,
                           const std::function<bool(const PieceWriter &)> &produce,
                           std::optional<QFileDevice::Permissions> newFilePermissions)
{
    // QFileInfo::exists follows links, so a link to a missing file counts as new.
    const QFileInfo target(path);
    const bool isNew = !target.exists();
    // QSaveFile resolves links itself, keeps the old file's permissions and removes its
    // temporary file when it is destroyed without a successful commit. Its own fallback
    // to writing in place would empty the file before it knows the new content fits, so
    // that case is handled here.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered: a buffered QSaveFile flushes its last bytes inside commit() without
    // looking at the result, so a short write (disk full, file size limit) would be
    // committed as a truncated file and reported as success.
    if (g_seam.noTemporaryFile || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (!isNew && target.isFile() && target.isWritable())
            return writeInPlace(path, produce);
        return SaveResult::failure(file.errorString());
    }
    QString error;
    const auto fail = [&file, &error](const QString &fallback) {
        file.cancelWriting();
        return SaveResult::failure(error.isEmpty() ? fallback : error);
    };
    if (isNew && newFilePermissions && !file.setPermissions(*newFilePermissions))
        return fail(file.errorString());
    const PieceWriter write = [&file, &error](QByteArrayView piece) {
        if (!writeAll(file.handle(), piece, -1, true)) {
            error = systemError(errno);
            return false;
        }
        return true;
    };
    if (!produce(write))
        return fail(file.errorString());
    // commit() syncs too but ignores the result; some file systems report a full disk
    // only here.
    if (!syncFile(file.handle()))
        return fail(systemError(errno));
    if (!file.commit())
        return SaveResult::failure(file.errorString());
    return {};
}

FileResult appendFileDurably(const QString &path, QByteArrayView bytes,
                             std::optional<QFileDevice::Permissions> newFilePermissions)
{
    const bool isNew = !QFileInfo::exists(path);
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                                   O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    struct stat old = {};
    if (fd.get() < 0 || ::fstat(fd.get(), &old) != 0)
        return FileResult::failure(systemError(errno));
    if (isNew && newFilePermissions)
        QFile::setPermissions(path, *newFilePermissions);
    if (!writeAll(fd.get(), bytes, -1, true) || !syncFile(fd.get())) {
        const int error = errno;
        cutBack(fd.get(), old.st_size);
        return FileResult::failure(systemError(error));
    }
    return {};
}

int removeSafeWriteLeftovers(const QString &path)
{
    // QSaveFile names its temporary file after the target with ".XXXXXX" appended (the
    // QTemporaryFile template rule). On Linux it normally stays unnamed until the final
    // rename, so a leftover means the program stopped in the middle of a write.
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QString prefix = target.fileName() + u'.';
    const auto isTemporaryName = [&prefix](const QString &name) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            return false;
        const QStringView suffix = QStringView(name).sliced(prefix.size());
        return std::all_of(suffix.begin(), suffix.end(),
                           [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
    };
    int removed = 0;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (isTemporaryName(name) && QFile::remove(folder.filePath(name)))
            ++removed;
    }
    return removed;
}
