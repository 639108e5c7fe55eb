#include "editor/linebreaks.h"

#include <algorithm>
#include <array>

LineBreak LineBreaks::breakOf(qsizetype line) const
{
    const auto it = std::lower_bound(m_exceptions.begin(), m_exceptions.end(), line,
                                     [](const Exception &e, qsizetype l) { return e.line < l; });
    return (it != m_exceptions.end() && it->line == line) ? it->style : m_dominant;
}

std::vector<LineBreaks::Exception>::iterator LineBreaks::firstAtOrAfter(qsizetype line)
{
    return std::lower_bound(m_exceptions.begin(), m_exceptions.end(), line,
                            [](const Exception &e, qsizetype l) { return e.line < l; });
}

void LineBreaks::linesInserted(qsizetype line, qsizetype count)
{
    if (count <= 0 || m_exceptions.empty())
        return;
    for (auto it = firstAtOrAfter(line); it != m_exceptions.end(); ++it)
        it->line += count;
}

std::vector<LineBreaks::Exception> LineBreaks::linesRemoved(qsizetype line, qsizetype count)
{
    if (count <= 0 || m_exceptions.empty())
        return {};
    // The breaks of `line` .. `line + count - 1` are gone; the last line's moves up.
    const auto first = firstAtOrAfter(line);
    const auto last = std::lower_bound(first, m_exceptions.end(), line + count,
                                       [](const Exception &e, qsizetype l) { return e.line < l; });
    std::vector<Exception> lost(first, last);
    const auto rest = m_exceptions.erase(first, last);
    for (auto it = rest; it != m_exceptions.end(); ++it)
        it->line -= count;
    return lost;
}

void LineBreaks::restore(const std::vector<Exception> &breaks)
{
    if (breaks.empty())
        return;
    // The lost breaks were consecutive lines; none of them is listed now.
    const auto at = firstAtOrAfter(breaks.front().line);
    m_exceptions.insert(at, breaks.begin(), breaks.end());
}

LineBreaks LineBreaks::Builder::finish()
{
    std::array<qsizetype, 3> counts{};
    std::array<qsizetype, 3> firstSeen{-1, -1, -1};
    for (qsizetype i = 0; i < qsizetype(m_styles.size()); ++i) {
        const unsigned char s = m_styles[i];
        if (counts[s]++ == 0)
            firstSeen[s] = i;
    }
    LineBreaks result;
    int best = -1;
    for (int s = 0; s < 3; ++s) {
        if (counts[s] == 0)
            continue;
        if (best < 0 || counts[s] > counts[best] ||
            (counts[s] == counts[best] && firstSeen[s] < firstSeen[best]))
            best = s;
    }
    if (best >= 0)
        result.m_dominant = static_cast<LineBreak>(best);
    const qsizetype others = qsizetype(m_styles.size()) - (best >= 0 ? counts[best] : 0);
    result.m_exceptions.reserve(others);
    for (qsizetype i = 0; i < qsizetype(m_styles.size()); ++i) {
        if (m_styles[i] != best)
            result.m_exceptions.push_back({i, static_cast<LineBreak>(m_styles[i])});
    }
    m_styles.clear();
    m_styles.shrink_to_fit();
    return result;
}
