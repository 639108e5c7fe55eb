#pragma once
// Searching with regular expressions (Perl syntax, through QRegularExpression).
//
// The searched text has LF line breaks whatever the file's own breaks are, so `\n` in a
// pattern matches every line break; `^` and `$` match at the start and end of each line
// (and a text searched with CR LF or CR breaks is read the same way);
// `.` does not match a line break (write `\n` or `[\s\S]` for a pattern over lines).
// `\w`, `\b` and the case folding know every Unicode letter.
//
// The replacement text takes `\1` to `\9` for the captured groups, `\0` for the whole
// match, `\n` for a line break, `\t` for a tab and `\\` for a backslash; every other
// character, `$` included, stands for itself (so PHP or shell code can be replaced in
// without escaping).

#include <QByteArrayView>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

class RegexSearch
{
public:
    // With `wholeWord` a hit must not have a word character just before or after it.
    RegexSearch(const QString &pattern, bool matchCase, bool wholeWord);

    bool isValid() const { return m_expression.isValid(); }
    // Why the pattern is invalid, naming the position (from 1) in the pattern as typed,
    // in the UI language (0 German, any other value English); empty when valid.
    QString errorText(int language) const;
    const QRegularExpression &expression() const { return m_expression; }

    // The replacement of `match`, its escapes expanded.
    static QString expand(QStringView replacement, const QRegularExpressionMatch &match);

    // Every hit replaced, left to right without overlap, as Perl takes them: after an
    // empty hit the search moves on by one character, an empty hit just after a longer
    // one counts (so `x*` on "axb" gives three hits). Returns
    // the text unchanged (and a count of 0) when there is no hit or the pattern is invalid.
    // With `first`, only the first hit is replaced.
    QString replaceAll(QStringView text, QStringView replacement, qsizetype *count = nullptr,
                       bool first = false) const;

    // The first hit at or after byte `from` (a character start) of UTF-8 text with LF
    // breaks, as byte positions [start, end); start -1 when there is none. The text is
    // read in pieces of whole lines that grow from `from` on, so a hit near `from` costs
    // little; the line that holds `from` is read from its start so that look-behinds and
    // `^` see it whole. `notEmptyAt`: an empty hit at that byte is passed over.
    struct Utf8Hit
    {
        qsizetype start = -1;
        qsizetype end = -1;
    };
    Utf8Hit findInUtf8(QByteArrayView text, qsizetype from, qsizetype notEmptyAt = -1) const;

private:
    QRegularExpression m_expression;
    qsizetype m_prefix = 0; // characters put before the pattern as typed
};
