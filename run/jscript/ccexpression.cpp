#include "ccexpression.h"
#include "syntaxcheck.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace quillora::js {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

CcValue number(double v)
{
    return {v, false};
}

CcValue boolean(bool v)
{
    return {v ? 1.0 : 0.0, true};
}

qint32 toInt32(double v)
{
    if (!std::isfinite(v))
        return 0;
    const double m = std::fmod(std::trunc(v), 4294967296.0);
    return qint32(quint32(qint64(m < 0 ? m + 4294967296.0 : m)));
}

// Precedence climbing over the binary operators of script expressions.
class Reader
{
public:
    Reader(QStringView text, qsizetype pos, const CcVariables &vars) : p(pos), s(text), vars(vars)
    {
    }

    bool expression(CcValue &out, int level = 1)
    {
        if (!unary(out))
            return false;
        while (true) {
            const qsizetype save = p;
            const Op op = binaryOp();
            if (op.level < level) {
                p = save;
                return true;
            }
            CcValue right;
            if (!expression(right, op.level + 1))
                return false;
            out = apply(op.text, out, right);
        }
    }

    qsizetype p;

private:
    struct Op
    {
        QStringView text;
        int level = 0;
    };

    void blanks()
    {
        while (p < s.size() && s.at(p).isSpace())
            ++p;
    }

    Op binaryOp()
    {
        blanks();
        const QStringView rest = s.mid(p);
        // the longest punctuator that is a binary operator; an assignment or a compound
        // one ends the expression
        for (qsizetype n = qMin<qsizetype>(3, rest.size()); n > 0; --n) {
            const QStringView op = rest.left(n);
            const int level = binaryOperatorLevel(op);
            if (level == 0)
                continue;
            const bool comparison = level == 6 || op == u"<=" || op == u">=";
            if (rest.size() > n && rest.at(n) == u'=' && !comparison)
                return {};
            p += n;
            return {op, level};
        }
        return {};
    }

    bool unary(CcValue &out)
    {
        blanks();
        if (p >= s.size())
            return false;
        const QChar c = s.at(p);
        if (c == u'!' || c == u'-' || c == u'+' || c == u'~') {
            ++p;
            if (!unary(out))
                return false;
            if (c == u'!')
                out = boolean(!out.isTrue());
            else if (c == u'-')
                out = number(-out.number);
            else if (c == u'+')
                out = number(out.number);
            else
                out = number(~toInt32(out.number));
            return true;
        }
        if (c == u'(') {
            ++p;
            if (!expression(out))
                return false;
            blanks();
            if (p >= s.size() || s.at(p) != u')')
                return false;
            ++p;
            return true;
        }
        if (c == u'@') {
            const QStringView name = ccName(s, p + 1);
            if (name.isEmpty())
                return false;
            p += 1 + name.size();
            out = vars.value(name.toString(), number(std::numeric_limits<double>::quiet_NaN()));
            return true;
        }
        if (c.isDigit() || (c == u'.' && p + 1 < s.size() && s.at(p + 1).isDigit()))
            return literal(out);
        const qsizetype start = p;
        while (p < s.size() && isNameChar(s.at(p)))
            ++p;
        const QStringView word = s.mid(start, p - start);
        if (word == u"true" || word == u"false") {
            out = boolean(word == u"true");
            return true;
        }
        p = start;
        return false;
    }

    bool literal(CcValue &out)
    {
        const qsizetype start = p;
        if (s.at(p) == u'0' && p + 1 < s.size() && (s.at(p + 1) == u'x' || s.at(p + 1) == u'X')) {
            p += 2;
            while (p < s.size() && isHexDigit(s.at(p)))
                ++p;
            bool ok = false;
            const double v = double(s.mid(start + 2, p - start - 2).toULongLong(&ok, 16));
            out = number(v);
            return ok;
        }
        while (p < s.size() && (s.at(p).isDigit() || s.at(p) == u'.'))
            ++p;
        if (p < s.size() && (s.at(p) == u'e' || s.at(p) == u'E')) {
            ++p;
            if (p < s.size() && (s.at(p) == u'+' || s.at(p) == u'-'))
                ++p;
            while (p < s.size() && s.at(p).isDigit())
                ++p;
        }
        bool ok = false;
        out = number(s.mid(start, p - start).toDouble(&ok));
        return ok;
    }

    static CcValue apply(QStringView op, const CcValue &a, const CcValue &b)
    {
        const double x = a.number, y = b.number;
        if (op == u"||")
            return a.isTrue() ? a : b;
        if (op == u"&&")
            return a.isTrue() ? b : a;
        if (op == u"===")
            return boolean(a.isBoolean == b.isBoolean && x == y);
        if (op == u"!==")
            return boolean(!(a.isBoolean == b.isBoolean && x == y));
        if (op == u"==")
            return boolean(x == y);
        if (op == u"!=")
            return boolean(x != y);
        if (op == u"<")
            return boolean(x < y);
        if (op == u">")
            return boolean(x > y);
        if (op == u"<=")
            return boolean(x <= y);
        if (op == u">=")
            return boolean(x >= y);
        if (op == u"+")
            return number(x + y);
        if (op == u"-")
            return number(x - y);
        if (op == u"*")
            return number(x * y);
        if (op == u"/")
            return number(x / y);
        if (op == u"%")
            return number(std::fmod(x, y));
        const qint32 i = toInt32(x), j = toInt32(y);
        if (op == u"|")
            return number(i | j);
        if (op == u"^")
            return number(i ^ j);
        if (op == u"&")
            return number(i & j);
        if (op == u"<<")
            return number(qint32(quint32(i) << (j & 31)));
        if (op == u">>")
            return number(i >> (j & 31));
        return number(double(quint32(i) >> (j & 31))); // >>>
    }

    QStringView s;
    const CcVariables &vars;
};

} // namespace

QString CcValue::scriptText() const
{
    if (isBoolean)
        return number != 0 ? QStringLiteral("true") : QStringLiteral("false");
    if (number != number)
        return QStringLiteral("NaN");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("Infinity") : QStringLiteral("(-Infinity)");
    const QString text = QString::number(number, 'g', QLocale::FloatingPointShortest);
    return number < 0 || (number == 0 && std::signbit(number)) ? u'(' + text + u')' : text;
}

CcVariables predefinedCcVariables()
{
    CcVariables v;
    v.insert(QStringLiteral("_jscript"), boolean(true));
    v.insert(QStringLiteral("_jscript_version"), number(5.8));
    v.insert(QStringLiteral("_jscript_build"), number(0)); // as ScriptEngineBuildVersion()
    v.insert(QStringLiteral("_win32"), boolean(true));
    v.insert(QStringLiteral("_x86"), boolean(true));
    return v;
}

bool readCcExpression(QStringView text, qsizetype &pos, const CcVariables &vars, CcValue &out)
{
    Reader r(text, pos, vars);
    const bool ok = r.expression(out);
    pos = r.p;
    return ok;
}

QStringView ccName(QStringView text, qsizetype pos)
{
    qsizetype end = pos;
    while (end < text.size() && isNameChar(text.at(end)))
        ++end;
    if (end == pos || text.at(pos).isDigit())
        return {};
    return text.mid(pos, end - pos);
}

} // namespace quillora::js
