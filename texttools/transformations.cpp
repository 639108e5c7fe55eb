#include "texttools/transformations.h"

#include "texttools/textsearch.h"

#include <array>
#include <limits>

namespace {

// Nearest index of a character at or after a position that only ever grows: each
// character is looked for again only once the position has passed its last hit, so a
// whole pass over the text costs linear time.
class NextOccurrence
{
public:
    NextOccurrence(QStringView text, QChar c) : m_text(text), m_char(c) {}
    qsizetype at(qsizetype from)
    {
        if (m_next != kNone && m_next < from)
            m_next = m_text.indexOf(m_char, from);
        return m_next;
    }

private:
    static constexpr qsizetype kNone = -1;
    QStringView m_text;
    QChar m_char;
    qsizetype m_next = -2; // not looked for yet: below every position
};

// The parts of a page where hyphens belong to code or to a comment: <style> and <script>
// elements and <!-- --> comments, each from its opening mark to the end of its closing
// mark (to the end of the text when it is not closed); tag names in any case. Asked with
// positions that only grow, so a whole pass costs linear time.
class CodeRegions
{
public:
    explicit CodeRegions(QStringView text) : m_text(text) {}

    bool contains(qsizetype at)
    {
        while (!m_done && m_end <= at)
            advance();
        return !m_done && m_start <= at && at < m_end;
    }

private:
    struct Kind
    {
        QStringView open;
        QStringView close;
    };
    static constexpr Kind kKinds[] = {
        {u"<style", u"</style"}, {u"<script", u"</script"}, {u"<!--", u"-->"}};

    void advance()
    {
        qsizetype best = -1;
        std::size_t kind = 0;
        for (std::size_t k = 0; k < std::size(kKinds); ++k) {
            if (m_next[k] != -1 && m_next[k] < m_end)
                m_next[k] = m_text.indexOf(kKinds[k].open, m_end, Qt::CaseInsensitive);
            if (m_next[k] >= 0 && (best < 0 || m_next[k] < best)) {
                best = m_next[k];
                kind = k;
            }
        }
        if (best < 0) {
            m_done = true;
            return;
        }
        const qsizetype close = m_text.indexOf(kKinds[kind].close, best + kKinds[kind].open.size(),
                                               Qt::CaseInsensitive);
        m_start = best;
        m_end = close < 0 ? m_text.size() : close + kKinds[kind].close.size();
    }

    QStringView m_text;
    qsizetype m_start = -1;
    qsizetype m_end = 0;
    bool m_done = false;
    std::array<qsizetype, std::size(kKinds)> m_next = {-2, -2, -2}; // -2: not looked for yet
};

bool insideMarkup(qsizetype lt, qsizetype gt, qsizetype openBrace, qsizetype closeBrace)
{
    const bool inTag = gt >= 0 && (lt < 0 || gt < lt);
    const bool inBraces = closeBrace >= 0 && (openBrace < 0 || closeBrace < openBrace);
    return inTag || inBraces;
}

// Characters [start, start + length) of the text as it stands while the hyphen at `at` of
// the old text is looked at: `done` is the new text before the hyphen.
QString window(const QString &done, QStringView rest, qsizetype start, qsizetype length)
{
    QString result;
    if (start < done.size())
        result = done.mid(start, length);
    const qsizetype fromRest = qMax<qsizetype>(0, start - done.size());
    result += rest.mid(fromRest, length - result.size());
    return result;
}

} // namespace

bool hyphenInMarkup(QStringView text, qsizetype afterHyphen)
{
    return insideMarkup(text.indexOf(u'<', afterHyphen), text.indexOf(u'>', afterHyphen),
                        text.indexOf(u'{', afterHyphen), text.indexOf(u'}', afterHyphen));
}

HyphenRemoval removeHyphenation(QStringView text)
{
    static const QString kShortExceptions[] = {
        QStringLiteral("-to-"), QStringLiteral("-of-"), QStringLiteral("Know-how"),
        QStringLiteral("the-art"), QStringLiteral("fast-movin")};
    HyphenRemoval result;
    QString &done = result.text;
    done.reserve(text.size());
    std::array<NextOccurrence, 4> markup = {NextOccurrence(text, u'<'), NextOccurrence(text, u'>'),
                                            NextOccurrence(text, u'{'), NextOccurrence(text, u'}')};
    CodeRegions code(text);
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'-'); at >= 0; at = text.indexOf(u'-', at + 1)) {
        const qsizetype after = at + 1;
        if (code.contains(at))
            continue;
        if (insideMarkup(markup[0].at(after), markup[1].at(after), markup[2].at(after),
                         markup[3].at(after)))
            continue;
        if (after >= text.size() || text[after] < u'a' || text[after] > u'z')
            continue;
        done.append(text.sliced(copied, at - copied));
        copied = at;
        const QStringView rest = text.sliced(at);
        const qsizetype here = done.size();
        const QString near = window(done, rest, qMax<qsizetype>(0, here - 4), 10);
        bool keep = false;
        for (const QString &exception : kShortExceptions)
            keep = keep || near.contains(exception);
        keep =
            keep ||
            window(done, rest, qMax<qsizetype>(0, here - 15), 25).contains(QStringLiteral("www."));
        if (keep)
            continue;
        if (result.count == 0)
            result.first = at;
        ++result.count;
        copied = at + 1;
        result.oldEnd = at + 1;
        result.newEnd = done.size();
    }
    done.append(text.sliced(copied));
    return result;
}

QString removeLineBreaks(QStringView text)
{
    QString result = text.toString();
    result.remove(QStringLiteral("\r\n"));
    for (int pass = 0; pass < 6; ++pass)
        result.replace(QStringLiteral("  "), QStringLiteral(" "));
    return result;
}

QString insertLineBreaks(QStringView text, QStringView value)
{
    if (value.isEmpty())
        return text.toString();
    return replaceAllText(text, value, value.toString() + QStringLiteral("\r\n"), false);
}

std::optional<int> strToInt(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    int base = 10;
    if (at < text.size() && text[at] == u'$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == u'0' &&
               (text[at + 1] == u'x' || text[at + 1] == u'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}
