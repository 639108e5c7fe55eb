#include "run/textdocument.h"

#include "base/textrules.h"
#include "editor/linelist.h"
#include "texttools/textsearch.h"
#include "texttools/transformations.h"

#include <algorithm>

namespace quillora {

TextDocument::TextDocument()
{
    m_lines << QString();
}

FileResult TextDocument::load(const QString &path)
{
    QByteArray bytes;
    if (FileResult read = readFileBytes(path, bytes); !read)
        return read;
    DecodedText decoded = decodeText(bytes);
    m_format = decoded.format;
    m_breaks = std::move(decoded.breaks);
    // The editor ends a line at LF alone (after the decoder has made every break one).
    m_lines = decoded.text.split(u'\n');
    m_fileName = path;
    m_modified = false;
    m_anchor = m_caret = 0;
    m_starts.clear();
    return {};
}

QByteArray TextDocument::bytes() const
{
    return encodeText(m_lines.join(u'\n'), m_format, m_breaks);
}

void TextDocument::setPlainText(const QString &text)
{
    QString lf = text;
    normaliseLineBreaks(lf);
    m_format = TextFormat();
    m_breaks = LineBreaks(LineBreak::Lf);
    m_lines = lf.split(u'\n');
    m_anchor = m_caret = 0;
    m_starts.clear();
}

void TextDocument::changed()
{
    m_modified = true;
    m_starts.clear();
}

void TextDocument::ensureStarts() const
{
    if (!m_starts.empty())
        return;
    m_starts.reserve(size_t(m_lines.size()) + 1);
    qsizetype at = 0;
    for (const QString &line : m_lines) {
        m_starts.push_back(int(at));
        at += line.size() + 2;
    }
    m_starts.push_back(int(at - 2)); // the end of the text
}

int TextDocument::lineStart(int line) const
{
    ensureStarts();
    return m_starts[size_t(std::clamp(line, 0, lineCount()))];
}

int TextDocument::lineOf(int index) const
{
    ensureStarts();
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end() - 1, index);
    return std::max(0, int(it - m_starts.begin()) - 1);
}

QStringList TextDocument::lines(int first, int count) const
{
    first = std::clamp(first, 0, lineCount());
    return m_lines.mid(first, std::clamp(count, 0, lineCount() - first));
}

void TextDocument::setLines(const std::map<int, QString> &lines)
{
    for (const auto &[line, text] : lines)
        if (line >= 0 && line < lineCount())
            m_lines[line] = text;
    changed();
}

QString TextDocument::text() const
{
    return m_lines.join(QStringLiteral("\r\n"));
}

QString TextDocument::selText() const
{
    const int start = selStart();
    const int end = start + selLength();
    const int first = lineOf(start);
    const int last = lineOf(end);
    QStringList parts = m_lines.mid(first, last - first + 1);
    parts.last().truncate(end - lineStart(last));
    parts.first().remove(0, start - lineStart(first));
    return parts.join(QStringLiteral("\r\n"));
}

void TextDocument::replaceRange(int start, int length, const QString &text)
{
    const int total = lineStart(lineCount());
    start = std::clamp(start, 0, total);
    const int end = std::clamp(start + std::max(0, length), start, total);
    const int first = lineOf(start);
    const int last = lineOf(end);
    const int firstColumn = std::min(start - lineStart(first), int(m_lines[first].size()));
    const int lastColumn = std::min(end - lineStart(last), int(m_lines[last].size()));
    QString inserted = text;
    normaliseLineBreaks(inserted);
    const QStringList pieces =
        (m_lines[first].left(firstColumn) + inserted + m_lines[last].mid(lastColumn)).split(u'\n');
    // As in the editor: the joined lines keep the last one's break, new lines get the
    // most frequent one.
    if (last > first)
        m_breaks.linesRemoved(first, last - first);
    if (pieces.size() > 1)
        m_breaks.linesInserted(first, pieces.size() - 1);
    if (pieces.size() == last - first + 1) {
        for (qsizetype i = 0; i < pieces.size(); ++i)
            m_lines[first + i] = pieces[i];
    } else {
        // one pass over the list, however many lines come or go
        m_lines = m_lines.mid(0, first) + pieces + m_lines.mid(last + 1);
    }
    changed();
    m_anchor = m_caret = start + crlfLength(text);
}

void TextDocument::select(int start, int length)
{
    const int total = lineStart(lineCount());
    m_anchor = std::clamp(start, 0, total);
    m_caret = std::clamp(start + std::max(0, length), m_anchor, total);
}

int TextDocument::caretLine() const
{
    return lineOf(m_caret) + 1;
}

int TextDocument::caretColumn() const
{
    return m_caret - lineStart(lineOf(m_caret)) + 1;
}

bool TextDocument::setScheme(const QString &name)
{
    m_scheme = name;
    return true;
}

// From the console a macro works on the files it is given: it may not put another
// document in their place, and the runner itself writes each file back when it changed.
QString TextDocument::newDocument()
{
    return QStringLiteral("New is not available in the console");
}

QString TextDocument::open(const QString &)
{
    return QStringLiteral("Open is not available in the console");
}

QString TextDocument::save()
{
    return {};
}

QString TextDocument::saveAs(const QString &)
{
    return QStringLiteral("SaveAs is not available in the console");
}

void TextDocument::convertSelection(QString (*convert)(QString))
{
    // without a selection nothing changes, as in the window
    if (selLength() > 0)
        replaceRange(selStart(), selLength(), convert(selText()));
}

QString TextDocument::runCommand(const QString &name)
{
    // The commands that only change the text work without a window too.
    const QString key = asciiLower(name);
    const auto wholeText = [this](const QString &now) {
        replaceRange(0, lineStart(lineCount()), now);
        select(0, 0);
    };
    if (key == u"removehyphenation" || key == u"removehyphenation1")
        wholeText(removeHyphenation(text()).text);
    else if (key == u"removelinebreaks" || key == u"removelinebreaks1")
        wholeText(removeLineBreaks(text()));
    else if (key == u"uppertolower" || key == u"uppertolower1")
        convertSelection(asciiLower);
    else if (key == u"lowertoupper" || key == u"lowertoupper1")
        convertSelection(asciiUpperCase);
    else if (key == u"selectall" || key == u"selectall1")
        select(0, lineStart(lineCount()));
    else
        return QStringLiteral("The command %1 is not available here").arg(name);
    return {};
}

void TextDocument::statusText(const QString &) {}

} // namespace quillora

namespace quillora {

QString TextDocument::key(const QString &name)
{
    return QStringLiteral("The key %1 can be played only in the window").arg(name);
}

} // namespace quillora
