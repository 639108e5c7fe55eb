// Find and ReplaceAll of the macros' Editor object: the searches of the find dialog, plain
// text and regular expressions alike.

#include "run/macrodocument.h"

#include "texttools/regexsearch.h"
#include "texttools/textsearch.h"

#include <QRegularExpression>

namespace quillora {

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
        const RegexSearch search(pattern, options.matchCase, options.wholeWord);
        const QRegularExpressionMatch m = search.expression().match(text, from);
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
    if (options.regex && !pattern.isEmpty()) {
        qsizetype hits = 0;
        QString replaced = RegexSearch(pattern, options.matchCase, options.wholeWord)
                               .replaceAll(text, replacement, &hits);
        if (count)
            *count = int(hits);
        return replaced;
    }
    int n = 0;
    QString out;
    qsizetype done = 0;
    for (TextMatch m = findMatch(text, pattern, 0, options); m.position >= 0;
         m = findMatch(text, pattern, m.position + m.length, options)) {
        out += QStringView(text).sliced(done, m.position - done);
        out += replacement;
        done = m.position + m.length;
        ++n;
    }
    if (count)
        *count = n;
    if (n == 0)
        return text;
    out += QStringView(text).sliced(done);
    return out;
}

} // namespace quillora
