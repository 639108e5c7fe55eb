#include "schemes/proposalfiles.h"

#include "base/textrules.h"
#include "editor/linelist.h"
#include "schemes/schemecatalogue.h"
#include "store/storedtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// Whether the file's text is blank. Without a byte-order mark every byte above 32 is a
// character above 32 (in UTF-8 and in Windows-1252 alike), so the bytes decide without
// decoding.
bool isBlankFile(const QByteArray &bytes)
{
    const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
                        bytes.startsWith("\xFE\xFF");
    if (marked)
        return isBlank(decodeText(bytes).text);
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) <= 32; });
}

// One file of the pair into `list`. The blank test looks at the text as the file holds
// it: a blank file that the plain-text check would take for scrambled (control
// characters only) still adds nothing.
FileResult appendProposalFile(const QString &path, QStringList &list)
{
    QByteArray bytes;
    if (FileResult result = readFileBytes(path, bytes); !result)
        return result;
    if (isBlankFile(bytes))
        return {};
    list = DecodeStoredText(bytes).lines;
    return {};
}

} // namespace

ProposalLoad loadProposalPair(const QString &itemsPath, const QString &insertsPath,
                              QStringList &items, QStringList &inserts)
{
    items.clear();
    inserts.clear();
    ProposalLoad load;
    if (!QFileInfo::exists(itemsPath) || !QFileInfo::exists(insertsPath))
        return load;
    for (auto [path, list] : {std::pair{&itemsPath, &items}, {&insertsPath, &inserts}}) {
        if (FileResult result = appendProposalFile(*path, *list); !result) {
            load.result = result;
            load.failedPath = *path;
            return load;
        }
    }
    load.loaded = true;
    return load;
}

QString expandReturnMarkers(QStringView value, QStringView lineBreak)
{
    static constexpr QStringView marker = u"$ret";
    QString out;
    out.reserve(value.size());
    qsizetype from = 0;
    for (qsizetype at; (at = value.indexOf(marker, from)) >= 0; from = at + marker.size()) {
        out.append(value.sliced(from, at - from));
        out.append(lineBreak);
    }
    out.append(value.sliced(from));
    return out;
}

QString starterProposalFolder(const QString &programFolder)
{
    for (const QString &candidate :
         {QStringLiteral("/proposals"), QStringLiteral("/../share/quillora/proposals")}) {
        const QString folder = QDir::cleanPath(programFolder + candidate);
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

StarterInstall installStarterProposals(const QString &sourceFolder, const QString &dataFolder)
{
    StarterInstall install;
    if (sourceFolder.isEmpty())
        return install;
    auto fail = [&](const QString &path, const QString &error) {
        if (install.result)
            install.result = FileResult::failure(path + QStringLiteral(": ") + error);
    };
    QStringList done; // C/C++ and C# share one pair
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.prefix.isEmpty() || done.contains(entry.prefix))
            continue;
        done.append(entry.prefix.toString());
        const QStringList names = {proposalItemsFileName(entry), proposalInsertsFileName(entry)};
        bool missing = true;
        bool shipped = true;
        for (const QString &name : names) {
            missing = missing && !QFileInfo::exists(dataFolder + name);
            shipped = shipped && QFileInfo::exists(sourceFolder + u'/' + name);
        }
        if (!missing || !shipped)
            continue;
        QStringList copied;
        for (const QString &name : names) {
            QFile source(sourceFolder + u'/' + name);
            const QString target = dataFolder + name;
            if (!source.copy(target)) {
                fail(target, source.errorString());
                break;
            }
            // Installed files may be read-only; the user edits these.
            QFile::setPermissions(target, kOwnerOnlyFile);
            copied.append(target);
        }
        if (copied.size() == names.size()) {
            ++install.copiedPairs;
        } else {
            for (const QString &target : std::as_const(copied))
                QFile::remove(target);
        }
    }
    return install;
}
