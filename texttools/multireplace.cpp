#include "texttools/multireplace.h"

#include "editor/linelist.h"
#include "editor/textcodec.h"
#include "texttools/regexsearch.h"
#include "texttools/textsearch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString kListName = QStringLiteral("files.lst");

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The file processed in the form the editor's `Text` has (CR LF between lines) only when
// the search or the replacement holds a line break; otherwise LF and CR LF are alike to
// the search (both are non-word characters and neither can be part of a hit).
bool needsCrLf(const MultiReplaceOptions &options)
{
    // A regular expression sees every line break as one "\n".
    if (options.regex)
        return false;
    const auto hasBreak = [](const QString &s) { return s.contains(u'\r') || s.contains(u'\n'); };
    return hasBreak(options.search) || hasBreak(options.replacement);
}

} // namespace

FileTextResult processFileText(QStringView text, const MultiReplaceOptions &options)
{
    FileTextResult result;
    if (options.regex) {
        const RegexSearch regex(options.search, options.matchCase, options.wholeWord);
        qsizetype hits = 0;
        if (options.searchOnly) {
            QRegularExpressionMatchIterator it = regex.expression().globalMatch(text);
            while (it.hasNext() && (options.all || hits == 0)) {
                it.next();
                ++hits;
            }
        } else {
            result.text = regex.replaceAll(text, options.replacement, &hits, !options.all);
            if (hits == 0)
                result.text = QString();
        }
        result.hits = int(hits);
        return result;
    }
    const QString &search = options.search;
    const qsizetype m = search.size();
    if (m == 0 || text.size() < m)
        return result;
    const bool replace = !options.searchOnly;
    const QString lowered = options.matchCase ? QString() : asciiLower(text.toString());
    const QStringView haystack = options.matchCase ? text : QStringView(lowered);
    const QString needle = options.matchCase ? search : asciiLower(search);
    QString &out = result.text; // the new text up to `copied`
    qsizetype copied = 0;
    qsizetype at = 0;
    for (;;) {
        at = findExact(haystack, needle, at);
        if (at < 0)
            break;
        if (options.wholeWord) {
            // The character before may be the end of an inserted replacement.
            const bool wordBefore = at > copied     ? isFileWordChar(text[at - 1].unicode())
                                    : out.isEmpty() ? false
                                                    : isFileWordChar(out.back().unicode());
            const bool wordAfter = at + m < text.size() && isFileWordChar(text[at + m].unicode());
            if (wordBefore || wordAfter) {
                at += m + 1;
                continue;
            }
        }
        ++result.hits;
        if (replace) {
            if (result.hits == 1)
                out.reserve(text.size() + options.replacement.size());
            out.append(text.sliced(copied, at - copied));
            out.append(options.replacement);
            copied = at + m;
        }
        at += m;
        if (!options.all)
            break;
    }
    if (replace && result.hits > 0)
        out.append(text.sliced(copied));
    return result;
}

FileRunResult processFile(const QString &path, const MultiReplaceOptions &options,
                          RunBackup *backup)
{
    FileRunResult run;
    if (QFileInfo(path).isDir()) {
        run.result = FileResult::failure(QStringLiteral("Is a directory"));
        return run;
    }
    QByteArray bytes;
    run.result = readFileBytes(path, bytes);
    if (!run.result)
        return run;
    DecodedText decoded = decodeText(bytes);
    const bool crLf = needsCrLf(options);
    if (crLf)
        decoded.text.replace(u'\n', QStringLiteral("\r\n"));
    FileTextResult processed = processFileText(decoded.text, options);
    run.hits = processed.hits;
    if (options.searchOnly || processed.hits == 0)
        return run;
    decoded.text = QString(); // a large file should not be held more often than needed
    if (crLf)
        normaliseLineBreaks(processed.text);
    const QByteArray newBytes = encodeText(processed.text, decoded.format);
    processed.text = QString();
    if (newBytes == bytes)
        return run;
    if (backup) {
        run.result = backup->keep(path, bytes);
        if (!run.result)
            return run;
    }
    run.result = writeFileSafely(path, newBytes);
    if (!run.result)
        return run;
    run.changed = true;
    if (backup)
        backup->commit(path, newBytes);
    return run;
}

// ---- backup ----

RunBackup::RunBackup(QString folder) : m_folder(std::move(folder)) {}

FileResult RunBackup::clear()
{
    QDir dir(m_folder);
    if (dir.exists() && !dir.removeRecursively())
        return FileResult::failure(QStringLiteral("Cannot empty ") + m_folder);
    if (!QDir().mkpath(m_folder))
        return FileResult::failure(QStringLiteral("Cannot create ") + m_folder);
    m_kept = 0;
    return {};
}

FileResult RunBackup::keep(const QString &, const QByteArray &oldBytes)
{
    ++m_kept;
    return writeFileSafely(m_folder + QString::number(m_kept) + QStringLiteral(".bak"), oldBytes,
                           kOwnerOnlyFile);
}

FileResult RunBackup::commit(const QString &path, const QByteArray &newBytes)
{
    // One line per changed file, appended: the list grows with the run, never rewritten.
    QFile list(m_folder + kListName);
    if (!list.open(QIODevice::WriteOnly | QIODevice::Append))
        return FileResult::failure(list.errorString());
    const QByteArray line = QByteArray::number(m_kept) + '\t' + checksum(newBytes) + '\t' +
                            QUrl::toPercentEncoding(path) + '\n';
    if (list.write(line) != line.size())
        return FileResult::failure(list.errorString());
    return {};
}

bool RunBackup::isEmpty() const
{
    return QFileInfo(m_folder + kListName).size() == 0;
}

RunBackup::UndoResult RunBackup::undo()
{
    UndoResult result;
    QFile list(m_folder + kListName);
    QList<QByteArray> lines;
    if (list.open(QIODevice::ReadOnly))
        lines = list.readAll().split('\n');
    list.close();
    // Last change first: a file reached twice (through a link) gets its first state back.
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QList<QByteArray> fields = line->split('\t');
        if (fields.size() != 3)
            continue;
        const QString path = QUrl::fromPercentEncoding(fields[2]);
        QByteArray current;
        if (!readFileBytes(path, current) || checksum(current) != fields[1]) {
            result.refused.append(path);
            continue;
        }
        QByteArray old;
        FileResult done =
            readFileBytes(m_folder + QString::fromLatin1(fields[0]) + QStringLiteral(".bak"), old);
        if (done)
            done = writeFileSafely(path, old);
        if (done)
            result.restored.append(path);
        else
            result.failed.append(path + QStringLiteral(": ") + done.error);
    }
    QDir(m_folder).removeRecursively();
    m_kept = 0;
    return result;
}
