#pragma once
// A plain tokenizer of JavaScript text for the scope rewrite (scoperules.h): names,
// punctuators and values (numbers, strings, template literals and regular expressions,
// a slash taken as one where an operand may stand), with comments and blanks skipped.

#include <QList>
#include <QString>

namespace quillora::js::scan {

enum class Kind
{
    Name,
    Punct,
    Value
};

struct Token
{
    Kind kind = Kind::Punct;
    qsizetype pos = 0;
    qsizetype end = 0;
    bool newlineBefore = false;
    QStringView text;
    // (a literal's length is known here: most names differ in length and cost no compare)
    template <qsizetype N> bool is(const char16_t (&t)[N]) const
    {
        return text.size() == N - 1 && text == QStringView(t, N - 1);
    }
};

// The tokens of `s`; false when a comment, string or expression runs to the end of the
// text unclosed.
bool tokenize(const QString &s, QList<Token> &out);

bool isLineEnd(QChar c);

// Words after which a slash starts a regular expression rather than a division, and
// after which no expression has ended.
bool keywordBeforeOperand(QStringView w);

} // namespace quillora::js::scan
