// Find and ReplaceAll of the macros' Editor object: the document search of the find
// dialog for plain text, QRegularExpression for the regex option.

#include "run/macrodocument.h"

#include "texttools/textsearch.h"

#include <QRegularExpression>

namespace quillora {

namespace {

QRegularExpression expressionFor(const QString &pattern, const SearchOptions &options)
{
    // Whole words: no document word character (A-Z, a-z, codes 192-255) on either side.
    const QString text = options.wholeWord
                             ? QStringLiteral("(?<![A-Za-z\\x{C0}-\\x{FF}])(?:") + pattern +
                                   QStringLiteral(")(?![A-Za-z\\x{C0}-\\x{FF}])")
                             : pattern;
    QRegularExpression::PatternOptions flags = QRegularExpression::MultilineOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(text, flags);
}

// The replacement of one regular-expression match: \0 ... \9 stand for its groups, \\ for
// a backslash.
QString expand(const QString &replacement, const QRegularExpressionMatch &match)
{
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c == u'\\' && i + 1 < replacement.size()) {
            const QChar next = replacement[i + 1];
            if (next.isDigit()) {
                out += match.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

SearchOptions parseSearchOptions(const QString &text)
{
    SearchOptions options;
    static const QRegularExpression separators(QStringLiteral("[\\s,;|+]+"));
    for (const QString &word : text.toLower().split(separators, Qt::SkipEmptyParts)) {
        if (word == u"case" || word == u"matchcase")
            options.matchCase = true;
        else if (word == u"word" || word == u"wholeword")
            options.wholeWord = true;
        else if (word == u"regex" || word == u"regexp")
            options.regex = true;
    }
    return options;
}

TextMatch findMatch(const QString &text, const QString &pattern, qsizetype from,
                    const SearchOptions &options)
{
    if (pattern.isEmpty() || from < 0 || from > text.size())
        return {};
    if (options.regex) {
        const QRegularExpressionMatch m = expressionFor(pattern, options).match(text, from);
        if (!m.hasMatch())
            return {};
        return {m.capturedStart(), m.capturedLength()};
    }
    const int p = FindInText(text, pattern, int(from) + 1, options.wholeWord, options.matchCase);
    if (p < 1)
        return {};
    return {p - 1, pattern.size()};
}

QString replaceMatches(const QString &text, const QString &pattern, const QString &replacement,
                       const SearchOptions &options, int *count)
{
    int n = 0;
    QString out;
    qsizetype done = 0;
    if (options.regex && !pattern.isEmpty()) {
        const QRegularExpression re = expressionFor(pattern, options);
        QRegularExpressionMatchIterator it = re.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            out += QStringView(text).sliced(done, m.capturedStart() - done);
            out += expand(replacement, m);
            done = m.capturedEnd();
            ++n;
        }
    } else {
        for (TextMatch m = findMatch(text, pattern, 0, options); m.position >= 0;
             m = findMatch(text, pattern, m.position + m.length, options)) {
            out += QStringView(text).sliced(done, m.position - done);
            out += replacement;
            done = m.position + m.length;
            ++n;
        }
    }
    if (count)
        *count = n;
    if (n == 0)
        return text;
    out += QStringView(text).sliced(done);
    return out;
}

} // namespace quillora
