// VBScript.RegExp with its Matches, Match and SubMatches objects, on QRegularExpression.

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <QRegularExpression>

namespace quillora::vbs {

namespace {

// A read-only list: Count, Item (default) and For Each.
class ValueList : public NativeObject
{
public:
    ValueList(QString name, std::vector<Value> items)
        : type(std::move(name)), values(std::move(items))
    {
    }
    enum
    {
        Item,
        Count
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable({"item", "count"});
        return m;
    }
    QString typeName() const override { return type; }
    int defaultMember() const override { return Item; }
    bool enumerate(Interp &, std::vector<Value> &out) override
    {
        out = values;
        return true;
    }
    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        if (access == Access::Let || access == Access::Set)
            throwError(err::IllegalAssignment);
        if (member == Count)
            return Value::lng(int(values.size()));
        checkArgs(argc, 1, 1);
        const int i = toLong(in.scalar(args[0]));
        if (i < 0 || size_t(i) >= values.size())
            throwError(err::InvalidCall);
        return values[size_t(i)];
    }

private:
    QString type;
    std::vector<Value> values;
};

class Match : public NativeObject
{
public:
    enum
    {
        ValueM,
        FirstIndex,
        Length,
        SubMatches
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable({"value", "firstindex", "length", "submatches"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("IMatch2"); }
    int defaultMember() const override { return ValueM; }
    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        if (access == Access::Let || access == Access::Set)
            throwError(err::IllegalAssignment);
        if (member != SubMatches && argc)
            throwError(err::WrongArgCount);
        switch (member) {
        case ValueM:
            return Value::str(value);
        case FirstIndex:
            return Value::lng(firstIndex);
        case Length:
            return Value::lng(int(value.size()));
        default:
            if (argc == 1) {
                const int i = toLong(in.scalar(args[0]));
                if (i < 0 || size_t(i) >= subMatches.size())
                    throwError(err::InvalidCall);
                return subMatches[size_t(i)];
            }
            return Value::object(new ValueList(QStringLiteral("ISubMatches"), subMatches));
        }
    }
    QString value;
    int firstIndex = 0;
    std::vector<Value> subMatches;
};

class RegExp : public NativeObject
{
public:
    enum
    {
        Pattern,
        IgnoreCase,
        Global,
        Multiline,
        Test,
        Execute,
        Replace
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable(
            {"pattern", "ignorecase", "global", "multiline", "test", "execute", "replace"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("IRegExp2"); }

    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *rhs) override
    {
        const bool write = access == Access::Let || access == Access::Set;
        auto flag = [&](bool &f) {
            if (write) {
                f = toBool(in.scalar(*rhs));
                compiled = false;
                return Value();
            }
            return Value::boolean(f);
        };
        switch (member) {
        case Pattern:
            if (write) {
                pattern = toStr(in.scalar(*rhs));
                compiled = false;
                return Value();
            }
            return Value::str(pattern);
        case IgnoreCase:
            return flag(ignoreCase);
        case Global:
            return flag(global);
        case Multiline:
            return flag(multiline);
        case Test: {
            checkArgs(argc, 1, 1);
            return Value::boolean(regex().match(toStr(in.scalar(args[0]))).hasMatch());
        }
        case Execute: {
            checkArgs(argc, 1, 1);
            const QString s = toStr(in.scalar(args[0]));
            std::vector<Value> matches;
            forEachMatch(s, [&](const QRegularExpressionMatch &m) {
                auto *mo = new Match;
                mo->value = m.captured(0);
                mo->firstIndex = int(m.capturedStart(0));
                for (int g = 1; g <= m.lastCapturedIndex() || g <= regex().captureCount(); ++g) {
                    if (m.capturedStart(g) < 0)
                        mo->subMatches.push_back(Value());
                    else
                        mo->subMatches.push_back(Value::str(m.captured(g)));
                }
                matches.push_back(Value::object(mo));
            });
            return Value::object(new ValueList(QStringLiteral("IMatchCollection2"), matches));
        }
        case Replace: {
            checkArgs(argc, 2, 2);
            const QString s = toStr(in.scalar(args[0]));
            const Value replValue = in.scalar(args[1]);
            // a Boolean replacement writes its number: True is "-1"
            const QString repl = replValue.type() == VType::Boolean
                                     ? QString::number(replValue.intValue())
                                     : toStr(replValue);
            QString out;
            qsizetype last = 0;
            forEachMatch(s, [&](const QRegularExpressionMatch &m) {
                out += QStringView(s).mid(last, m.capturedStart(0) - last);
                out += expand(repl, m, s);
                last = m.capturedEnd(0);
                if (out.size() > in.limits.maxStringLength)
                    throwError(err::OutOfStringSpace);
            });
            out += QStringView(s).mid(last);
            return Value::str(out);
        }
        }
        throwError(err::NoSuchMember);
    }

private:
    const QRegularExpression &regex()
    {
        if (!compiled) {
            QRegularExpression::PatternOptions o = QRegularExpression::NoPatternOption;
            if (ignoreCase)
                o |= QRegularExpression::CaseInsensitiveOption;
            if (multiline)
                o |= QRegularExpression::MultilineOption;
            re = QRegularExpression(pattern, o);
            compiled = true;
        }
        if (!re.isValid())
            throwError(err::RegExpSyntax);
        return re;
    }

    template <class F> void forEachMatch(const QString &s, F f)
    {
        const QRegularExpression &r = regex();
        qsizetype pos = 0;
        while (pos <= s.size()) {
            QRegularExpressionMatch m = r.match(s, pos);
            if (!m.hasMatch())
                break;
            f(m);
            if (!global)
                break;
            pos = m.capturedEnd(0) > m.capturedStart(0) ? m.capturedEnd(0) : m.capturedEnd(0) + 1;
        }
    }

    static QString expand(const QString &repl, const QRegularExpressionMatch &m, const QString &s)
    {
        QString out;
        for (qsizetype i = 0; i < repl.size(); ++i) {
            const QChar c = repl[i];
            if (c != u'$' || i + 1 >= repl.size()) {
                out += c;
                continue;
            }
            const QChar n = repl[i + 1];
            if (n == u'$') {
                out += u'$';
                ++i;
            } else if (n == u'&') {
                out += m.captured(0);
                ++i;
            } else if (n == u'`') {
                out += s.left(m.capturedStart(0));
                ++i;
            } else if (n == u'\'') {
                out += s.mid(m.capturedEnd(0));
                ++i;
            } else if (n.isDigit()) {
                int g = n.digitValue();
                qsizetype used = 1;
                if (i + 2 < repl.size() && repl[i + 2].isDigit()) {
                    const int two = g * 10 + repl[i + 2].digitValue();
                    if (two <= m.lastCapturedIndex()) {
                        g = two;
                        used = 2;
                    }
                }
                if (g >= 1 && g <= m.regularExpression().captureCount()) {
                    out += m.captured(g);
                    i += used;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        return out;
    }

    QString pattern;
    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;
    bool compiled = false;
    QRegularExpression re;
};

} // namespace

Object *newRegExp()
{
    return new RegExp;
}

} // namespace quillora::vbs
