#include "texttools/textsearch.h"

#include <QByteArray>
#include <algorithm>
#include <functional>

namespace {

// Patterns up to this length use Qt's search; longer ones a Boyer-Moore search with the
// good-suffix rule, whose time stays linear where a skip table alone would not.
constexpr qsizetype kShortPattern = 64;

QByteArray asciiLowerBytes(QByteArrayView bytes)
{
    QByteArray result(bytes.data(), bytes.size());
    for (char &c : result) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    }
    return result;
}

QString asciiLowerView(QStringView text)
{
    return asciiLower(text.toString());
}

QString upperEachCharacter(QStringView text)
{
    QString result = text.toString();
    for (QChar &c : result) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            if (u >= u'a' && u <= u'z')
                c = QChar(u - 32);
        } else {
            c = c.toUpper();
        }
    }
    return result;
}

// The first occurrence at or after `from`; without `matchCase` the text is folded a piece
// at a time, so a hit near `from` costs little whatever the length of the text. The pieces
// start small and double: a whole-word search that rejects many close hits starts here
// again after each of them.
template <typename View, typename Buffer>
qsizetype findFolded(View text, View pattern, qsizetype from, bool matchCase, Buffer (*fold)(View))
{
    if (matchCase)
        return findExact(text, pattern, from);
    const Buffer foldedPattern = fold(pattern);
    const qsizetype m = pattern.size();
    const qsizetype maxChunk = std::max<qsizetype>(qsizetype(1) << 20, 4 * m);
    qsizetype chunk = std::max<qsizetype>(256, 4 * m);
    for (qsizetype pos = from; pos + m <= text.size();
         pos += chunk, chunk = std::min(2 * chunk, maxChunk)) {
        const qsizetype end = std::min(text.size(), pos + chunk + m - 1);
        const Buffer piece = fold(text.sliced(pos, end - pos));
        const qsizetype hit = findExact(View(piece), View(foldedPattern), 0);
        if (hit >= 0)
            return pos + hit;
    }
    return -1;
}

bool utf8WordBefore(QByteArrayView text, qsizetype at)
{
    if (at <= 0)
        return false;
    const auto last = static_cast<unsigned char>(text[at - 1]);
    if (last < 0x80)
        return isDocumentWordChar(last);
    // U+00C0 to U+00FF are C3 80 to C3 BF; C3 is a lead byte, never a continuation.
    return last <= 0xBF && at >= 2 && static_cast<unsigned char>(text[at - 2]) == 0xC3;
}

bool utf8WordAt(QByteArrayView text, qsizetype at)
{
    if (at >= text.size())
        return false;
    const auto first = static_cast<unsigned char>(text[at]);
    if (first < 0x80)
        return isDocumentWordChar(first);
    if (first != 0xC3 || at + 1 >= text.size())
        return false;
    const auto next = static_cast<unsigned char>(text[at + 1]);
    return next >= 0x80 && next <= 0xBF;
}

} // namespace

bool isDocumentWordChar(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c <= 255);
}

bool isFileWordChar(char32_t c)
{
    return (c >= 48 && c <= 57) || (c >= 65 && c <= 122);
}

QString asciiUpperCase(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

qsizetype findExact(QStringView text, QStringView pattern, qsizetype from)
{
    const qsizetype m = pattern.size();
    if (from < 0 || m == 0 || from + m > text.size())
        return -1;
    if (m <= kShortPattern)
        return text.indexOf(pattern, from);
    const auto *begin = reinterpret_cast<const char16_t *>(text.data());
    const auto *end = begin + text.size();
    const auto *needle = reinterpret_cast<const char16_t *>(pattern.data());
    const auto *hit = std::search(begin + from, end, std::boyer_moore_searcher(needle, needle + m));
    return hit == end ? -1 : hit - begin;
}

qsizetype findExact(QByteArrayView text, QByteArrayView pattern, qsizetype from)
{
    const qsizetype m = pattern.size();
    if (from < 0 || m == 0 || from + m > text.size())
        return -1;
    if (m <= kShortPattern)
        return text.indexOf(pattern, from);
    const char *begin = text.data();
    const char *end = begin + text.size();
    const char *hit = std::search(begin + from, end,
                                  std::boyer_moore_searcher(pattern.data(), pattern.data() + m));
    return hit == end ? -1 : hit - begin;
}

int FindInText(QStringView text, QStringView pattern, int start, bool wholeWord, bool matchCase)
{
    if (text.isEmpty() || pattern.isEmpty() || start < 1)
        return 0;
    const qsizetype m = pattern.size();
    qsizetype at = start - 1;
    for (;;) {
        at = findFolded<QStringView, QString>(text, pattern, at, matchCase, asciiLowerView);
        if (at < 0)
            return 0;
        if (!wholeWord)
            return int(at + 1);
        const bool wordBefore = at > 0 && isDocumentWordChar(text[at - 1].unicode());
        const bool wordAfter = at + m < text.size() && isDocumentWordChar(text[at + m].unicode());
        if (!wordBefore && !wordAfter)
            return int(at + 1);
        at += m;
    }
}

qsizetype findInUtf8(QByteArrayView text, QByteArrayView pattern, qsizetype from, bool wholeWord,
                     bool matchCase)
{
    if (text.isEmpty() || pattern.isEmpty() || from < 0)
        return -1;
    const qsizetype m = pattern.size();
    qsizetype at = from;
    for (;;) {
        at = findFolded<QByteArrayView, QByteArray>(text, pattern, at, matchCase, asciiLowerBytes);
        if (at < 0)
            return -1;
        if (!wholeWord || (!utf8WordBefore(text, at) && !utf8WordAt(text, at + m)))
            return at;
        at += m;
    }
}

qsizetype FindInFileText(QStringView text, QStringView pattern, qsizetype start, bool wholeWord,
                         bool matchCase)
{
    if (pattern.isEmpty())
        return -1;
    const qsizetype m = pattern.size();
    qsizetype at = std::max<qsizetype>(start, 1) - 1;
    for (;;) {
        at = findFolded<QStringView, QString>(text, pattern, at, matchCase, asciiLowerView);
        if (at < 0)
            return -1;
        if (!wholeWord)
            return at + 1;
        const bool wordBefore = at > 0 && isFileWordChar(text[at - 1].unicode());
        const bool wordAfter = at + m < text.size() && isFileWordChar(text[at + m].unicode());
        if (!wordBefore && !wordAfter)
            return at + 1;
        // An accepted occurrence may begin inside a rejected one ("x;" in "ax;x;").
        at += 1;
    }
}

QString replaceAllText(QStringView text, QStringView search, QStringView replacement,
                       bool matchCase, qsizetype *count)
{
    if (count)
        *count = 0;
    if (search.isEmpty())
        return text.toString();
    QString upperText;
    QString upperSearch;
    if (!matchCase) {
        upperText = upperEachCharacter(text);
        upperSearch = upperEachCharacter(search);
    }
    const QStringView haystack = matchCase ? text : QStringView(upperText);
    const QStringView needle = matchCase ? search : QStringView(upperSearch);
    QString result;
    qsizetype copied = 0;
    qsizetype hits = 0;
    for (qsizetype at = findExact(haystack, needle, 0); at >= 0;
         at = findExact(haystack, needle, at + search.size())) {
        if (hits == 0)
            result.reserve(text.size());
        result.append(text.sliced(copied, at - copied));
        result.append(replacement);
        copied = at + search.size();
        ++hits;
    }
    if (count)
        *count = hits;
    if (hits == 0)
        return text.toString();
    result.append(text.sliced(copied));
    return result;
}
