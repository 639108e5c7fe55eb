#include "texttools/regexsearch.h"

#include "editor/textcodec.h"

#include <algorithm>

namespace {

// Pieces of the UTF-8 text start at this many bytes and double.
constexpr qsizetype kFirstPiece = qsizetype(1) << 16;

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// UTF-16 length of the editor's UTF-8 (a four-byte character takes two units).
qsizetype utf16Length(QByteArrayView bytes)
{
    qsizetype units = 0;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!isContinuation(c))
            units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

// Byte offset in `bytes` of the UTF-16 offset `units`.
qsizetype utf8Offset(QByteArrayView bytes, qsizetype units)
{
    qsizetype at = 0;
    while (units > 0 && at < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        units -= b >= 0xF0 ? 2 : 1;
        ++at;
        while (at < bytes.size() && isContinuation(bytes[at]))
            ++at;
    }
    return at;
}

} // namespace

RegexSearch::RegexSearch(const QString &pattern, bool matchCase, bool wholeWord)
{
    QRegularExpression::PatternOptions options =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    // "^", "$" and "." see CR, LF and CR LF alike as a line break, so a file searched with
    // its own breaks matches as the editor's text does.
    const QString lead = QStringLiteral("(*ANYCRLF)");
    QString full = lead + pattern;
    m_prefix = lead.size();
    if (wholeWord) {
        const QString prefix = QStringLiteral("(?<!\\w)(?:");
        // The pattern's own text first: a pattern ending in "\" must not escape the ")".
        QRegularExpression alone(pattern, options);
        if (alone.isValid()) {
            full = lead + prefix + pattern + QStringLiteral(")(?!\\w)");
            m_prefix += prefix.size();
        }
    }
    m_expression = QRegularExpression(full, options);
    m_expression.optimize();
}

QString RegexSearch::errorText(int language) const
{
    if (isValid())
        return QString();
    const qsizetype position =
        std::max<qsizetype>(0, m_expression.patternErrorOffset() - m_prefix) + 1;
    const QString reason = m_expression.errorString();
    if (language == 0)
        return QStringLiteral("Ungültiger regulärer Ausdruck an Position %1: %2")
            .arg(position)
            .arg(reason);
    return QStringLiteral("Invalid regular expression at position %1: %2")
        .arg(position)
        .arg(reason);
}

QString RegexSearch::expand(QStringView replacement, const QRegularExpressionMatch &match)
{
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != u'\\' || i + 1 == replacement.size()) {
            out.append(c);
            continue;
        }
        const QChar next = replacement[i + 1];
        if (next >= u'0' && next <= u'9')
            out.append(match.capturedView(next.unicode() - u'0'));
        else if (next == u'n')
            out.append(u'\n');
        else if (next == u't')
            out.append(u'\t');
        else if (next == u'\\')
            out.append(u'\\');
        else {
            out.append(c);
            out.append(next);
        }
        ++i;
    }
    return out;
}

QString RegexSearch::replaceAll(QStringView text, QStringView replacement, qsizetype *count,
                                bool first) const
{
    if (count)
        *count = 0;
    if (!isValid())
        return text.toString();
    // Replacements without escapes are copied as they are.
    const bool plain = !replacement.contains(u'\\');
    QString result;
    qsizetype copied = 0;
    qsizetype hits = 0;
    QRegularExpressionMatchIterator it = m_expression.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (hits == 0)
            result.reserve(text.size() + text.size() / 8);
        result.append(text.sliced(copied, match.capturedStart() - copied));
        if (plain)
            result.append(replacement);
        else
            result.append(expand(replacement, match));
        copied = match.capturedEnd();
        ++hits;
        if (first)
            break;
    }
    if (count)
        *count = hits;
    if (hits == 0)
        return text.toString();
    result.append(text.sliced(copied));
    return result;
}

RegexSearch::Utf8Hit RegexSearch::findInUtf8(QByteArrayView text, qsizetype from,
                                             qsizetype notEmptyAt) const
{
    if (!isValid() || from < 0 || from > text.size())
        return {};
    const qsizetype base = from == 0 ? 0 : text.lastIndexOf('\n', from - 1) + 1;
    for (qsizetype piece = kFirstPiece;; piece *= 2) {
        qsizetype cut = std::min(text.size(), from + piece);
        if (cut < text.size()) {
            const qsizetype lineEnd = text.indexOf('\n', cut);
            cut = lineEnd < 0 ? text.size() : lineEnd + 1;
        }
        const bool whole = cut == text.size();
        // A hit is taken when it ends before the last line of the piece, so that a
        // pattern reading on to a line end sees the line whole; on the whole rest of the
        // text, any hit is taken.
        const qsizetype lastLine = whole ? cut : cut < 2 ? 0 : text.lastIndexOf('\n', cut - 2) + 1;
        const QByteArrayView bytes = text.sliced(base, cut - base);
        const QString subject = fromEditorUtf8(bytes);
        qsizetype offset = utf16Length(text.sliced(base, from - base));
        for (;;) {
            const QRegularExpressionMatch match = m_expression.match(subject, offset);
            if (!match.hasMatch())
                break;
            const qsizetype start = base + utf8Offset(bytes, match.capturedStart());
            const qsizetype end = base + utf8Offset(bytes, match.capturedEnd());
            if (!whole && end >= lastLine)
                break;
            if (start == end && start == notEmptyAt) {
                // Past the empty hit by one character, and search again.
                offset = match.capturedStart() + 1;
                if (offset < subject.size() && subject[offset - 1].isHighSurrogate() &&
                    subject[offset].isLowSurrogate())
                    ++offset;
                if (offset > subject.size())
                    return {};
                continue;
            }
            return {start, end};
        }
        if (whole)
            return {};
    }
}
