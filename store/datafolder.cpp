#include "store/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// mkdir of one level with the system's text on failure; an existing folder is fine.
FileResult makeFolder(const QString &path, mode_t mode)
{
    if (::mkdir(QFile::encodeName(path).constData(), mode) == 0)
        return {};
    const int error = errno;
    if (error == EEXIST && QFileInfo(path).isDir())
        return {};
    return FileResult::failure(QStringLiteral("%1: %2").arg(
        QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
}

FileResult makeParents(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return {};
    const QString parent = QFileInfo(path).path();
    if (parent != path) {
        if (FileResult made = makeParents(parent); !made)
            return made;
    }
    return makeFolder(path, S_IRWXU | S_IRWXG | S_IRWXO); // less the umask
}

} // namespace

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qldata/");
}

FileResult ensureDataFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(path).isDir())
        return {};
    // The parents (~/.local/share on a fresh account) get the usual permissions; the data
    // folder itself is created private, so it is never open to others for a moment.
    if (FileResult made = makeParents(QFileInfo(path).path()); !made)
        return made;
    return makeFolder(path, S_IRWXU);
}
