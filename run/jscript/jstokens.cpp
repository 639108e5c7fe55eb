#include "jstokens.h"

namespace quillora::js::scan {

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

namespace {

bool isBlank(QChar c)
{
    if (c.unicode() < 0x80)
        return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == QChar(0xA0) ||
           c == QChar(0xFEFF) || c.category() == QChar::Separator_Space;
}

bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
               u == u'_' || u == u'$' || u == u'\\';
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'\\' ||
           (c.unicode() >= 0x80 && !isBlank(c) && !isLineEnd(c));
}

} // namespace

bool keywordBeforeOperand(QStringView w)
{
    static constexpr QStringView words[] = {
        u"return", u"typeof", u"instanceof", u"in",   u"of",  u"new", u"delete", u"void",
        u"throw",  u"case",   u"do",         u"else", u"var", u"let", u"const",  u"yield"};
    if (w.size() < 2 || w.size() > 10 || w.at(0) < u'a' || w.at(0) > u'y')
        return false;
    for (const QStringView k : words)
        if (w == k)
            return true;
    return false;
}

bool tokenize(const QString &s, QList<Token> &out)
{
    static constexpr QStringView puncts[] = {
        u">>>=", u"...", u"===", u"!==", u"**=", u">>>", u"<<=", u">>=", u"&&=", u"||=", u"?\?=",
        u"=>",   u"<=",  u">=",  u"==",  u"!=",  u"++",  u"--",  u"<<",  u">>",  u"&&",  u"||",
        u"?\?",  u"?.",  u"+=",  u"-=",  u"*=",  u"%=",  u"&=",  u"|=",  u"^=",  u"/=",  u"**"};
    const qsizetype n = s.size();
    qsizetype p = 0;
    bool newline = false;
    while (p < n) {
        const QChar c = s.at(p);
        if (isLineEnd(c)) {
            newline = true;
            ++p;
            continue;
        }
        if (isBlank(c)) {
            ++p;
            continue;
        }
        if (c == u'/' && p + 1 < n && s.at(p + 1) == u'/') {
            while (p < n && !isLineEnd(s.at(p)))
                ++p;
            continue;
        }
        if (c == u'/' && p + 1 < n && s.at(p + 1) == u'*') {
            const qsizetype close = s.indexOf(u"*/", p + 2);
            if (close < 0)
                return false;
            for (qsizetype q = p; q < close; ++q)
                newline = newline || isLineEnd(s.at(q));
            p = close + 2;
            continue;
        }
        Token t;
        t.pos = p;
        t.newlineBefore = newline;
        newline = false;
        const Token *prev = out.isEmpty() ? nullptr : &out.constLast();
        if (isNameChar(c) && !c.isDigit()) {
            while (p < n && isNameChar(s.at(p)))
                ++p;
            t.kind = Kind::Name;
        } else if (c.isDigit() || (c == u'.' && p + 1 < n && s.at(p + 1).isDigit())) {
            const bool hex = c == u'0' && p + 1 < n && (s.at(p + 1) == u'x' || s.at(p + 1) == u'X');
            while (p < n && (isNameChar(s.at(p)) || s.at(p) == u'.' ||
                             (!hex && (s.at(p) == u'+' || s.at(p) == u'-') &&
                              (s.at(p - 1) == u'e' || s.at(p - 1) == u'E'))))
                ++p;
            t.kind = Kind::Value;
        } else if (c == u'"' || c == u'\'') {
            ++p;
            while (p < n && s.at(p) != c) {
                if (isLineEnd(s.at(p)))
                    return false;
                p += s.at(p) == u'\\' ? 2 : 1;
                if (p <= n && s.at(p - 1) == u'\r' && p < n && s.at(p) == u'\n')
                    ++p;
            }
            if (p >= n)
                return false;
            ++p;
            t.kind = Kind::Value;
        } else if (c == u'`') {
            ++p;
            int depth = 0; // inside ${ ... }
            while (p < n && (depth > 0 || s.at(p) != u'`')) {
                if (s.at(p) == u'\\') {
                    p += 2;
                    continue;
                }
                if (s.at(p) == u'$' && p + 1 < n && s.at(p + 1) == u'{') {
                    ++depth;
                    p += 2;
                    continue;
                }
                if (depth > 0 && s.at(p) == u'{')
                    ++depth;
                else if (depth > 0 && s.at(p) == u'}')
                    --depth;
                ++p;
            }
            if (p >= n)
                return false;
            ++p;
            t.kind = Kind::Value;
        } else if (c == u'/' && (!prev ||
                                 (prev->kind == Kind::Punct && !prev->is(u")") && !prev->is(u"]") &&
                                  !prev->is(u"}")) ||
                                 (prev->kind == Kind::Name && keywordBeforeOperand(prev->text)))) {
            ++p;
            bool inClass = false;
            while (p < n && (inClass || s.at(p) != u'/')) {
                if (isLineEnd(s.at(p)))
                    return false;
                if (s.at(p) == u'\\')
                    ++p;
                else if (s.at(p) == u'[')
                    inClass = true;
                else if (s.at(p) == u']')
                    inClass = false;
                ++p;
            }
            if (p >= n)
                return false;
            ++p;
            while (p < n && isNameChar(s.at(p)))
                ++p;
            t.kind = Kind::Value;
        } else {
            const QStringView rest = QStringView(s).mid(p);
            qsizetype length = 1;
            for (const QStringView q : puncts) {
                if (q.at(0) == c && rest.startsWith(q)) {
                    length = q.size();
                    break;
                }
            }
            p += length;
            t.kind = Kind::Punct;
        }
        t.end = p;
        t.text = QStringView(s).mid(t.pos, t.end - t.pos);
        out.append(t);
    }
    return true;
}

} // namespace quillora::js::scan
