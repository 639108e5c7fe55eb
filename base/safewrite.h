#pragma once
// Writing a whole file so that a failure never costs the old content. Every file the
// program writes goes through writeFileSafely.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <functional>
#include <optional>

// What a write or read of a whole file came to: `error` holds the system's text (for
// example "Permission denied") when `ok` is false, ready to be shown to the user.
struct FileResult
{
    bool ok = true;
    QString error;
    // The user stopped the work (a long load or save): nothing to report.
    bool cancelled = false;

    static FileResult failure(const QString &error) { return {false, error, false}; }
    static FileResult cancel() { return {false, QString(), true}; }
    explicit operator bool() const { return ok; }
};
using SaveResult = FileResult;

// The text of an error box about a file: the file's path, a blank line, the system's text.
// Every box that reports a failed read or write names its file this way.
inline QString fileErrorText(const QString &path, const QString &error)
{
    return path.isEmpty() ? error : path + QStringLiteral("\n\n") + error;
}

// Read and write for the owner only: the program's own files in its data folder.
inline constexpr QFileDevice::Permissions kOwnerOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Replaces the content of `path` with `bytes`.
//
// The bytes go into a temporary file beside the target, which is then renamed over it,
// so a failed write (disk full, no permission, a folder in the way) leaves the old file
// whole and the error is returned. A symbolic link is written through to its target and
// stays a link; an existing file keeps its permissions. A new file gets
// `newFilePermissions`, or the usual 0666 less the umask when none are given. Only when
// the folder cannot take a temporary file (no write permission on the folder, but on the
// file) is the file written in place: the room for the new content is then reserved on
// the disk before the first old byte is overwritten, so a full disk fails the write with
// the old content whole.
SaveResult writeFileSafely(const QString &path, const QByteArray &bytes,
                           std::optional<QFileDevice::Permissions> newFilePermissions = {});

// The same for content made piece by piece, so a large file needs no copy in memory:
// `produce` hands every piece to the writer it is given, which returns false once a
// write has failed; `produce` then returns false too.
using PieceWriter = std::function<bool(QByteArrayView)>;
SaveResult writeFileSafely(const QString &path,
                           const std::function<bool(const PieceWriter &)> &produce,
                           std::optional<QFileDevice::Permissions> newFilePermissions = {});

// Appends `bytes` to `path` (created when missing, with `newFilePermissions`) and syncs it
// to the disk. On any failure the file is cut back to its earlier length: it then holds
// either all of `bytes` or none of them.
FileResult appendFileDurably(const QString &path, QByteArrayView bytes,
                             std::optional<QFileDevice::Permissions> newFilePermissions = {});

// For tests: a disk that takes only `spaceLeft` more bytes (negative: no limit) and a
// folder that takes no temporary file, for every write of this file. Writes past the
// limit fail as on a full disk, after the bytes that still fit.
struct SafeWriteTestSeam
{
    qint64 spaceLeft = -1;
    bool noTemporaryFile = false;
};
void setSafeWriteTestSeam(const SafeWriteTestSeam &seam);

// Removes the temporary files that an interrupted writeFileSafely of `path` can leave
// beside it (named after the target plus a dot and six letters or digits). `path` itself
// is never touched. Returns how many were removed.
int removeSafeWriteLeftovers(const QString &path);
