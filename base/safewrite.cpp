#include "base/safewrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

SaveResult writeFileSafely(const QString &path, const QByteArray &bytes,
                           std::optional<QFileDevice::Permissions> newFilePermissions)
{
    return writeFileSafely(
        path, [&bytes](const PieceWriter &write) { return bytes.isEmpty() || write(bytes); },
        newFilePermissions);
}

SaveResult writeFileSafely(const QString &path,
                           const std::function<bool(const PieceWriter &)> &produce,
                           std::optional<QFileDevice::Permissions> newFilePermissions)
{
    // QFileInfo::exists follows links, so a link to a missing file counts as new.
    const bool isNew = !QFileInfo::exists(path);
    // QSaveFile resolves links itself, keeps the old file's permissions and removes its
    // temporary file when it is destroyed without a successful commit.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const auto fail = [&file](const QString &error) {
        file.cancelWriting();
        return SaveResult::failure(error);
    };
    // Unbuffered: a buffered QSaveFile flushes its last bytes inside commit() without
    // looking at the result, so a short write (disk full, file size limit) would be
    // committed as a truncated file and reported as success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return SaveResult::failure(file.errorString());
    if (isNew && newFilePermissions && !file.setPermissions(*newFilePermissions))
        return fail(file.errorString());
    const PieceWriter write = [&file](QByteArrayView piece) {
        // A short count is no error yet; the next call reports why the rest did not fit.
        for (qint64 written = 0; written < piece.size();) {
            const qint64 n = file.write(piece.data() + written, piece.size() - written);
            if (n <= 0)
                return false;
            written += n;
        }
        return true;
    };
    if (!produce(write))
        return fail(file.errorString());
    // commit() syncs too but ignores the result; some file systems report a full disk
    // only here.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return SaveResult::failure(file.errorString());
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
