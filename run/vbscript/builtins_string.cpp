// String functions.

#include "builtins.h"
#include "convert.h"

namespace quillora::vbs {

namespace {

Qt::CaseSensitivity caseOf(Args &a, int i)
{
    if (!a.has(i))
        return Qt::CaseSensitive;
    const int c = a.lng(i);
    if (c < 0 || c > 1) // vbBinaryCompare or vbTextCompare
        throwError(err::InvalidCall);
    return c == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

int nonNegative(Args &a, int i)
{
    const int n = a.lng(i);
    if (n < 0)
        throwError(err::InvalidCall);
    return n;
}

Value checked(Interp &in, QString s)
{
    if (s.size() > in.limits.maxStringLength)
        throwError(err::OutOfStringSpace);
    return Value::str(std::move(s));
}

Value fLen(Args &a)
{
    if (a.isNull(0))
        return Value::null();
    return Value::lng(int(a.text(0).size()));
}

// Left, Right and Mid check their numbers before a Null string gives Null.
Value fLeft(Args &a)
{
    const int n = nonNegative(a, 1);
    if (a.isNull(0))
        return Value::null();
    return Value::str(a.text(0).left(n));
}

Value fRight(Args &a)
{
    const int n = nonNegative(a, 1);
    if (a.isNull(0))
        return Value::null();
    return Value::str(a.text(0).right(n));
}

Value fMid(Args &a)
{
    if (a.isNull(1) || a.isNull(2))
        throwError(err::InvalidUseOfNull);
    const int start = a.lng(1);
    const int len = a.has(2) ? a.lng(2) : -1;
    if (start < 1 || (a.has(2) && len < 0))
        throwError(err::InvalidCall);
    if (a.isNull(0))
        return Value::null();
    const QString &s = a.text(0);
    if (len == 1 && start <= s.size())
        return a.in.character(s[start - 1].unicode());
    return Value::str(a.has(2) ? s.mid(start - 1, len) : s.mid(start - 1));
}

Value fInStr(Args &a)
{
    // InStr([start,] string1, string2[, compare])
    int start = 1, i = 0;
    if (a.n >= 3) {
        if (a.isNull(0))
            throwError(err::InvalidUseOfNull);
        start = a.lng(0);
        if (start < 1)
            throwError(err::InvalidCall);
        i = 1;
    }
    if (a.isNull(i) || a.isNull(i + 1))
        return Value::null();
    const QString s1 = a.str(i), s2 = a.str(i + 1);
    const Qt::CaseSensitivity cs = a.n >= 4 ? caseOf(a, 3) : Qt::CaseSensitive;
    if (s2.isEmpty())
        return Value::lng(start <= s1.size() + 1 ? start : 0);
    if (start > s1.size())
        return Value::lng(0);
    return Value::lng(int(s1.indexOf(s2, start - 1, cs)) + 1);
}

Value fInStrRev(Args &a)
{
    for (int i = 0; i < a.n; ++i)
        if (a.isNull(i))
            throwError(err::InvalidUseOfNull);
    const QString s1 = a.str(0), s2 = a.str(1);
    int start = a.has(2) ? a.lng(2) : -1;
    if (start == 0 || start < -1)
        throwError(err::InvalidCall);
    const Qt::CaseSensitivity cs = caseOf(a, 3);
    if (start == -1)
        start = int(s1.size());
    if (start > s1.size())
        return Value::lng(0);
    if (s2.isEmpty())
        return Value::lng(start);
    const int from = start - int(s2.size());
    if (from < 0)
        return Value::lng(0);
    return Value::lng(int(s1.lastIndexOf(s2, from, cs)) + 1);
}

Value fReplace(Args &a)
{
    for (int i = 0; i < a.n; ++i)
        if (a.isNull(i))
            throwError(err::InvalidUseOfNull);
    const QString s = a.str(0), find = a.str(1), repl = a.str(2);
    const int start = a.has(3) ? a.lng(3) : 1;
    const int count = a.has(4) ? a.lng(4) : -1;
    if (start < 1 || count < -1)
        throwError(err::InvalidCall);
    const Qt::CaseSensitivity cs = caseOf(a, 5);
    QString src = s.mid(start - 1);
    if (find.isEmpty() || count == 0)
        return Value::str(src);
    QString out;
    qsizetype pos = 0;
    int done = 0;
    for (;;) {
        if (count >= 0 && done >= count)
            break;
        const qsizetype hit = src.indexOf(find, pos, cs);
        if (hit < 0)
            break;
        out += QStringView(src).mid(pos, hit - pos);
        out += repl;
        pos = hit + find.size();
        ++done;
        if (out.size() > a.in.limits.maxStringLength)
            throwError(err::OutOfStringSpace);
    }
    out += QStringView(src).mid(pos);
    return checked(a.in, std::move(out));
}

Value fSplit(Args &a)
{
    if (a.isNull(0))
        throwError(err::InvalidUseOfNull);
    const QString s = a.str(0);
    const QString delim = a.has(1) ? a.str(1) : QStringLiteral(" ");
    const int count = a.has(2) ? a.lng(2) : -1;
    if (count < -1)
        throwError(err::InvalidCall);
    const Qt::CaseSensitivity cs = caseOf(a, 3);
    QStringList parts;
    if (!s.isEmpty() && count != 0) {
        if (delim.isEmpty()) {
            parts << s;
        } else {
            // one list of the final size rather than one grown step by step
            parts.reserve(s.count(delim, cs) + 1);
            qsizetype pos = 0;
            for (;;) {
                if (count > 0 && parts.size() == count - 1)
                    break;
                const qsizetype hit = s.indexOf(delim, pos, cs);
                if (hit < 0)
                    break;
                parts << s.mid(pos, hit - pos);
                pos = hit + delim.size();
            }
            parts << s.mid(pos);
        }
    }
    return makeStringArray(a.in, std::move(parts));
}

Value fJoin(Args &a)
{
    const Value &v = a[0].deref();
    if (!v.isArray() || v.arr()->dims() > 1)
        throwError(err::TypeMismatch);
    const QString delim = a.has(1) ? a.str(1) : QStringLiteral(" ");
    QString out;
    bool first = true;
    for (const Value &e : v.arr()->data) {
        if (!first)
            out += delim;
        first = false;
        Value s = a.in.scalar(e);
        if (!s.isNull())
            out += toStr(s);
        if (out.size() > a.in.limits.maxStringLength)
            throwError(err::OutOfStringSpace);
    }
    return Value::str(std::move(out));
}

QString trimSpaces(const QString &s, bool left, bool right)
{
    qsizetype b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == u' ')
            ++b;
    if (right)
        while (e > b && s[e - 1] == u' ')
            --e;
    return s.mid(b, e - b);
}

Value fTrim(Args &a)
{
    return a.isNull(0) ? Value::null() : Value::str(trimSpaces(a.str(0), true, true));
}
Value fLTrim(Args &a)
{
    return a.isNull(0) ? Value::null() : Value::str(trimSpaces(a.str(0), true, false));
}
Value fRTrim(Args &a)
{
    return a.isNull(0) ? Value::null() : Value::str(trimSpaces(a.str(0), false, true));
}
// One character for one: the simple case mapping, as VBScript maps case ("straße" gives
// "STRAßE", not the longer "STRASSE" of the full mapping).
QString mapEachCharacter(const QString &text, char32_t (*map)(char32_t))
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                : text.at(i).unicode();
        const char32_t mapped = map(c);
        if (QChar::requiresSurrogates(mapped)) {
            out.append(QChar(QChar::highSurrogate(mapped)));
            out.append(QChar(QChar::lowSurrogate(mapped)));
        } else {
            out.append(QChar(char16_t(mapped)));
        }
        i += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    return out;
}
char32_t upperOf(char32_t c)
{
    return QChar::toUpper(c);
}
char32_t lowerOf(char32_t c)
{
    return QChar::toLower(c);
}
Value fUCase(Args &a)
{
    return a.isNull(0) ? Value::null() : Value::str(mapEachCharacter(a.str(0), upperOf));
}
Value fLCase(Args &a)
{
    return a.isNull(0) ? Value::null() : Value::str(mapEachCharacter(a.str(0), lowerOf));
}

Value fSpace(Args &a)
{
    const int n = nonNegative(a, 0);
    if (n > a.in.limits.maxStringLength)
        throwError(err::OutOfStringSpace);
    return Value::str(QString(n, u' '));
}

Value fString(Args &a)
{
    const int n = nonNegative(a, 0);
    if (a.isNull(1))
        return Value::null();
    if (n > a.in.limits.maxStringLength)
        throwError(err::OutOfStringSpace);
    Value c = a.scalar(1);
    QChar ch;
    if (c.isString()) {
        if (c.strRef().isEmpty())
            throwError(err::InvalidCall);
        ch = c.strRef()[0];
    } else {
        ch = QChar(char16_t(toLong(c) & 0xFFFF));
    }
    return Value::str(QString(n, ch));
}

Value fStrReverse(Args &a)
{
    if (a.isNull(0))
        throwError(err::InvalidUseOfNull);
    QString s = a.str(0);
    std::reverse(s.begin(), s.end());
    return Value::str(std::move(s));
}

Value fStrComp(Args &a)
{
    if (a.isNull(0) || a.isNull(1))
        return Value::null();
    const int c = QString::compare(a.str(0), a.str(1), caseOf(a, 2));
    return Value::integer(c < 0 ? -1 : c > 0 ? 1 : 0);
}

Value fAsc(Args &a)
{
    if (a.isNull(0))
        throwError(err::InvalidUseOfNull);
    const QString &s = a.text(0);
    if (s.isEmpty())
        throwError(err::InvalidCall);
    const char16_t c = s[0].unicode();
    if (c < 128)
        return Value::integer(c);
    const QByteArray latin = QString(s[0]).toLatin1();
    return Value::integer(c < 256 ? c : uint8_t(latin.isEmpty() ? '?' : latin[0]));
}

Value fAscW(Args &a)
{
    if (a.isNull(0))
        throwError(err::InvalidUseOfNull);
    const QString s = a.str(0);
    if (s.isEmpty())
        throwError(err::InvalidCall);
    return Value::integer(int16_t(s[0].unicode()));
}

Value fChr(Args &a)
{
    const int c = a.lng(0);
    if (c < 0 || c > 255)
        throwError(err::InvalidCall);
    return a.in.character(char16_t(c));
}

Value fChrW(Args &a)
{
    const int c = a.lng(0);
    if (c < -32768 || c > 65535)
        throwError(err::InvalidCall);
    return a.in.character(char16_t(c & 0xFFFF));
}

Value fFilter(Args &a)
{
    const Value &v = a[0].deref();
    if (!v.isArray() || v.arr()->dims() != 1)
        throwError(err::TypeMismatch);
    const QString match = a.str(1);
    const bool include = a.has(2) ? a.boolean(2) : true;
    const Qt::CaseSensitivity cs = caseOf(a, 3);
    QStringList out;
    for (const Value &e : v.arr()->data) {
        const QString s = toStr(a.in.scalar(e));
        if (s.contains(match, cs) == include)
            out << s;
    }
    return makeStringArray(a.in, std::move(out));
}

Value fEscape(Args &a)
{
    const QString s = a.str(0);
    QString out;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
            QStringLiteral("@*_+-./").contains(c))
            out += c;
        else if (u < 256)
            out += QStringLiteral("%%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QStringLiteral("%u%1")
                       .arg(u, 4, 16, QLatin1Char('0'))
                       .toUpper()
                       .replace(QStringLiteral("%U"), QStringLiteral("%u"));
    }
    return Value::str(out);
}

Value fUnescape(Args &a)
{
    const QString s = a.str(0);
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'%') {
            bool ok = false;
            if (i + 5 < s.size() + 0 && s[i + 1] == u'u') {
                const int v = s.mid(i + 2, 4).toInt(&ok, 16);
                if (ok) {
                    out += QChar(char16_t(v));
                    i += 5;
                    continue;
                }
            }
            if (i + 2 < s.size()) {
                const int v = s.mid(i + 1, 2).toInt(&ok, 16);
                if (ok) {
                    out += QChar(char16_t(v));
                    i += 2;
                    continue;
                }
            }
        }
        out += s[i];
    }
    return Value::str(out);
}

} // namespace

void addStringBuiltins(std::vector<Builtin> &out)
{
    out.insert(out.end(), {
                              {"len", 1, 1, fLen},
                              {"left", 2, 2, fLeft},
                              {"right", 2, 2, fRight},
                              {"mid", 2, 3, fMid},
                              {"instr", 2, 4, fInStr},
                              {"instrrev", 2, 4, fInStrRev},
                              {"replace", 3, 6, fReplace},
                              {"split", 1, 4, fSplit},
                              {"join", 1, 2, fJoin},
                              {"trim", 1, 1, fTrim},
                              {"ltrim", 1, 1, fLTrim},
                              {"rtrim", 1, 1, fRTrim},
                              {"ucase", 1, 1, fUCase},
                              {"lcase", 1, 1, fLCase},
                              {"space", 1, 1, fSpace},
                              {"string", 2, 2, fString},
                              {"strreverse", 1, 1, fStrReverse},
                              {"strcomp", 2, 3, fStrComp},
                              {"asc", 1, 1, fAsc},
                              {"ascb", 1, 1, fAsc},
                              {"ascw", 1, 1, fAscW},
                              {"chr", 1, 1, fChr},
                              {"chrb", 1, 1, fChr},
                              {"chrw", 1, 1, fChrW},
                              {"filter", 2, 4, fFilter},
                              {"escape", 1, 1, fEscape},
                              {"unescape", 1, 1, fUnescape},
                          });
}

} // namespace quillora::vbs
