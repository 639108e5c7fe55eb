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
    // A regular expression takes each of the file's own breaks as a line break itself.
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
            result.replaced.push_back(at);
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

namespace {

// The decoded text (LF breaks) with every line's own break from `breaks`, or with CR LF
// for every line when `crLf`.
QString withBreaks(QStringView lfText, const LineBreaks &breaks, bool crLf)
{
    QString out;
    out.reserve(lfText.size() + lfText.size() / 16);
    qsizetype line = 0;
    qsizetype from = 0;
    for (qsizetype at; (at = lfText.indexOf(u'\n', from)) >= 0; from = at + 1) {
        out.append(lfText.sliced(from, at - from));
        out.append(crLf ? QStringLiteral("\r\n") : lineBreakText(breaks.breakOf(line)));
        ++line;
    }
    out.append(lfText.sliced(from));
    return out;
}

// Walks a text in its CR LF form and in its own form side by side (they differ only in
// their line breaks) to turn positions of the first into positions of the second.
// Positions must come in ascending order.
class BreakMap
{
public:
    BreakMap(QStringView crLfText, QStringView ownText) : m_crLf(crLfText), m_own(ownText) {}
    // A position inside a CR LF pair stands before the break for a start and after it
    // for an end.
    qsizetype map(qsizetype target, bool end)
    {
        while (m_i < target) {
            if (m_crLf[m_i] == u'\r' && m_i + 1 < m_crLf.size() && m_crLf[m_i + 1] == u'\n') {
                const qsizetype length =
                    m_own[m_j] == u'\r' && m_j + 1 < m_own.size() && m_own[m_j + 1] == u'\n' ? 2
                                                                                             : 1;
                if (target == m_i + 1)
                    return end ? m_j + length : m_j;
                m_i += 2;
                m_j += length;
            } else {
                ++m_i;
                ++m_j;
            }
        }
        return m_j;
    }

private:
    QStringView m_crLf, m_own;
    qsizetype m_i = 0, m_j = 0;
};

} // namespace

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
    // The search runs over the text with its own breaks: they are non-word characters
    // and no part of a hit, like the CR LF of the editor's `Text`. Only a search or
    // replacement with a line break needs that form itself; its hits are then carried
    // over to the text with its own breaks.
    const bool crLf = needsCrLf(options);
    const QString own = withBreaks(decoded.text, decoded.breaks, false);
    const QString searched = crLf ? withBreaks(decoded.text, decoded.breaks, true) : QString();
    decoded.text = QString(); // a large file should not be held more often than needed
    FileTextResult processed = processFileText(crLf ? searched : own, options);
    run.hits = processed.hits;
    if (options.searchOnly || processed.hits == 0)
        return run;
    if (crLf) {
        QString replacement = options.replacement;
        normaliseLineBreaks(replacement);
        replacement = withLineBreaks(replacement, lineBreakText(decoded.breaks.dominant()));
        BreakMap map(searched, own);
        QString out;
        qsizetype copied = 0;
        for (const qsizetype at : processed.replaced) {
            const qsizetype start = map.map(at, false);
            out.append(QStringView(own).sliced(copied, start - copied));
            out.append(replacement);
            copied = map.map(at + options.search.size(), true);
        }
        out.append(QStringView(own).sliced(copied));
        processed.text = std::move(out);
    }
    if (auto missing = firstUnencodable(processed.text, decoded.format.encoding)) {
        run.unencodable = missing;
        return run;
    }
    // The text holds its own breaks already: each of its LF is one, so LF is written as LF.
    TextFormat format = decoded.format;
    format.lineBreak = LineBreak::Lf;
    const QByteArray newBytes = encodeText(processed.text, format, LineBreaks(LineBreak::Lf));
    processed.text = QString();
    if (newBytes == bytes)
        return run;
    if (backup) {
        run.result = backup->keep(path, bytes, newBytes);
        if (!run.result)
            return run;
    }
    run.result = writeFileSafely(path, newBytes);
    if (!run.result) {
        if (backup)
            backup->discardLast();
        return run;
    }
    run.changed = true;
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

QString RunBackup::listPath() const
{
    return m_folder + kListName;
}

FileResult RunBackup::keep(const QString &path, const QByteArray &oldBytes,
                           const QByteArray &newBytes)
{
    const QString copy = m_folder + QString::number(m_kept + 1) + QStringLiteral(".bak");
    if (FileResult kept = writeFileSafely(copy, oldBytes, kOwnerOnlyFile); !kept)
        return kept;
    // One line per changed file, appended: the list grows with the run, never rewritten.
    // The line is written before the file changes, so nothing is changed that undo would
    // not know of.
    const QByteArray line = QByteArray::number(m_kept + 1) + '\t' + checksum(newBytes) + '\t' +
                            QUrl::toPercentEncoding(path) + '\n';
    m_listSizeBefore = QFileInfo(listPath()).size();
    if (FileResult listed = appendFileDurably(listPath(), line, kOwnerOnlyFile); !listed) {
        QFile::remove(copy);
        return listed;
    }
    ++m_kept;
    return {};
}

void RunBackup::discardLast()
{
    if (m_kept == 0)
        return;
    QFile::resize(listPath(), m_listSizeBefore);
    QFile::remove(m_folder + QString::number(m_kept) + QStringLiteral(".bak"));
    --m_kept;
}

bool RunBackup::isEmpty() const
{
    return QFileInfo(listPath()).size() == 0;
}

RunBackup::UndoResult RunBackup::undo()
{
    UndoResult result;
    QFile list(listPath());
    QList<QByteArray> lines;
    if (list.open(QIODevice::ReadOnly))
        lines = list.readAll().split('\n');
    list.close();
    // The entries of files that could not be written back, in their order.
    QList<QByteArray> kept;
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
        if (done) {
            result.restored.append(path);
        } else {
            result.failed.append(path + QStringLiteral(": ") + done.error);
            kept.prepend(*line + '\n');
        }
    }
    m_kept = 0;
    if (kept.isEmpty()) {
        QDir(m_folder).removeRecursively();
        return result;
    }
    // The list shrinks in its own place, which needs no room on a full disk. Copies of
    // files that are no longer listed stay until the next run clears the folder.
    if (list.open(QIODevice::ReadWrite)) {
        const QByteArray rest = kept.join();
        if (list.write(rest) == rest.size())
            list.resize(rest.size());
    }
    return result;
}
