// Arithmetic, comparison and logic with the language's conversion and promotion rules.

#include "convert.h"
#include "interp.h"

#include <cmath>

namespace quillora::vbs {

namespace {

// Numeric rank of an operand: which result type an operation produces.
enum Rank
{
    RByte = 1,
    RInteger,
    RLong,
    RSingle,
    RDouble,
    RCurrency,
    RDate
};

Rank rankOf(const Value &v)
{
    switch (v.type()) {
    case VType::Byte:
        return RByte;
    case VType::Empty:
    case VType::Boolean:
    case VType::Integer:
        return RInteger;
    case VType::Long:
        return RLong;
    case VType::Single:
        return RSingle;
    case VType::Currency:
        return RCurrency;
    case VType::Date:
        return RDate;
    case VType::String:
    case VType::Double:
        return RDouble;
    default:
        throwError(err::TypeMismatch);
    }
}

Value fitIntegral(int64_t r, Rank rank)
{
    if (rank == RByte && r >= 0 && r <= 255)
        return Value::byte(int(r));
    if (rank <= RInteger && r >= -32768 && r <= 32767)
        return Value::integer(int(r));
    if (r >= INT32_MIN && r <= INT32_MAX)
        return Value::lng(int(r));
    return Value::dbl(double(r));
}

Value fitDouble(double d, Rank rank)
{
    if (std::isinf(d) || std::isnan(d))
        throwError(err::Overflow);
    if (rank == RSingle && std::fabs(d) <= 3.402823466e38)
        return Value::single(d);
    return Value::dbl(d);
}

// The result rank of +, - and *: the more precise operand, except that a Single with a
// Long gives a Double.
Rank resultRank(Rank ra, Rank rb)
{
    if ((ra == RSingle && rb == RLong) || (ra == RLong && rb == RSingle))
        return RDouble;
    return std::max(ra, rb);
}

Value arith(Op op, const Value &a, const Value &b)
{
    const Rank ra = rankOf(a), rb = rankOf(b);
    Rank rank = resultRank(ra, rb);
    if (rank <= RLong) {
        const int64_t x = a.type() == VType::Empty ? 0 : a.intValue();
        const int64_t y = b.type() == VType::Empty ? 0 : b.intValue();
        int64_t r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
        return fitIntegral(r, rank);
    }
    if (rank == RDate) {
        double r = op == Op::Add   ? toDouble(a) + toDouble(b)
                   : op == Op::Sub ? toDouble(a) - toDouble(b)
                                   : toDouble(a) * toDouble(b);
        if (op == Op::Sub && ra == RDate && rb == RDate)
            return Value::dbl(r);
        if (op == Op::Mul)
            return Value::dbl(r);
        if (r < -657434.0 || r > 2958466.0)
            throwError(err::Overflow);
        return Value::date(r);
    }
    if (rank == RCurrency) {
        // a Currency with any other number, a Single or Double too, gives a Currency
        const int64_t x = toCurrency(a), y = toCurrency(b);
        int64_t r = 0;
        if (op == Op::Mul) {
            double d = roundHalfEven(double(x) * double(y) / 10000.0);
            if (std::fabs(d) >= 9.2233720368547e18)
                throwError(err::Overflow);
            return Value::currency(int64_t(d));
        }
        const bool overflow =
            op == Op::Sub ? __builtin_sub_overflow(x, y, &r) : __builtin_add_overflow(x, y, &r);
        if (overflow)
            throwError(err::Overflow);
        return Value::currency(r);
    }
    const double x = toDouble(a), y = toDouble(b);
    return fitDouble(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y, rank);
}

bool isNumberLike(const Value &v)
{
    return v.isNumeric() || v.isEmpty();
}

Value logicResult(int64_t r, const Value &a, const Value &b)
{
    if (a.type() == VType::Boolean && b.type() == VType::Boolean)
        return Value::boolean(r != 0);
    auto small = [](const Value &v) {
        return v.type() == VType::Boolean || v.type() == VType::Integer ||
               v.type() == VType::Byte || v.type() == VType::Empty || v.type() == VType::Null;
    };
    if (small(a) && small(b))
        return Value::integer(int16_t(r));
    return Value::lng(int32_t(r));
}

int64_t bitsOf(const Value &v)
{
    if (v.isEmpty())
        return 0;
    if (v.type() == VType::Boolean || v.type() == VType::Integer || v.type() == VType::Byte)
        return v.intValue();
    return toLong(v);
}

Value logic(Op op, const Value &a, const Value &b)
{
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn) {
        if (an && bn)
            return Value::null();
        const Value &other = an ? b : a;
        const int64_t o = bitsOf(other);
        switch (op) {
        case Op::And:
            return o == 0 ? logicResult(0, other, other) : Value::null();
        case Op::Or:
            return o == -1 ? logicResult(-1, other, other) : Value::null();
        case Op::Imp:
            if (an) // Null Imp x
                return o == -1 ? logicResult(-1, other, other) : Value::null();
            return o == 0 ? logicResult(-1, other, other) : Value::null();
        default:
            return Value::null();
        }
    }
    const int64_t x = bitsOf(a), y = bitsOf(b);
    int64_t r = 0;
    switch (op) {
    case Op::And:
        r = x & y;
        break;
    case Op::Or:
        r = x | y;
        break;
    case Op::Xor:
        r = x ^ y;
        break;
    case Op::Eqv:
        r = ~(x ^ y);
        break;
    default:
        r = ~x | y;
        break;
    }
    return logicResult(r, a, b);
}

} // namespace

int compareValues(const Value &ain, const Value &bin, bool text, bool aLit, bool bLit)
{
    const Value &a = ain.deref(), &b = bin.deref();
    if (a.isNull() || b.isNull())
        return 2;
    if (a.isArray() || b.isArray() || a.isObject() || b.isObject())
        throwError(err::TypeMismatch);
    auto cmpNum = [](double x, double y) { return x < y ? -1 : x > y ? 1 : 0; };
    auto cmpStr = [text](const QString &x, const QString &y) {
        int c = QString::compare(x, y, text ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    const bool as = a.isString(), bs = b.isString();
    if (as && bs)
        return cmpStr(a.strRef(), b.strRef());
    if (!as && !bs) {
        if (a.type() == VType::Currency && b.type() == VType::Currency)
            return a.curValue() < b.curValue() ? -1 : a.curValue() > b.curValue();
        // a Single with a Double compares at the precision of the Single
        if ((a.type() == VType::Single && b.type() == VType::Double) ||
            (a.type() == VType::Double && b.type() == VType::Single))
            return cmpNum(float(toDouble(a)), float(toDouble(b)));
        return cmpNum(toDouble(a), toDouble(b));
    }
    const Value &num = as ? b : a;
    const Value &str = as ? a : b;
    const bool numLit = as ? bLit : aLit, strLit = as ? aLit : bLit;
    // Between two variables a number is less than any string. When either side is a
    // literal or a constant, a string that reads as a number compares as that number.
    int r = -1;
    double d;
    if (num.isEmpty())
        r = cmpStr(QString(), str.strRef());
    else if ((strLit || numLit) && parseNumber(str.strRef(), &d))
        r = cmpNum(toDouble(num), d);
    return as ? -r : r;
}

// The text an operand of & adds, as a view: a string's own text, an integer's digits
// written into `digits`, anything else converted into `buffer`; Null adds nothing. Numbers
// are the common other operand ("k" & i), and their digits need no string of their own.
struct CatText
{
    QString buffer;
    char16_t digits[12];
    QStringView of(const Value &v)
    {
        switch (v.type()) {
        case VType::String:
            return v.strRef();
        case VType::Integer:
        case VType::Long:
        case VType::Byte:
            return intDigits(v.intValue());
        case VType::Null:
            return {};
        default:
            buffer = toStr(v);
            return buffer;
        }
    }
    // The same text as QString::number(n).
    QStringView intDigits(int n)
    {
        uint32_t u = n < 0 ? 0u - uint32_t(n) : uint32_t(n);
        qsizetype at = 12;
        do {
            digits[--at] = char16_t(u'0' + u % 10);
            u /= 10;
        } while (u);
        if (n < 0)
            digits[--at] = u'-';
        return QStringView(digits + at, 12 - at);
    }
};

bool appendInPlace(Interp &in, Value &left, const Value &right)
{
    const Value &b = right.deref();
    if (!left.isString() || !left.strObj() || left.strObj()->refs != 1 || b.isObject() ||
        b.isArray() || b.isNull())
        return false;
    CatText part;
    const QStringView text = part.of(b);
    if (left.strRef().size() + text.size() > in.limits.maxStringLength)
        throwError(err::OutOfStringSpace);
    left.appendString(text);
    return true;
}

Value binaryOp(Interp &in, Op op, const Value &ain, const Value &bin, bool aLit, bool bLit)
{
    if (op == Op::Is) {
        const Value &a = ain.deref(), &b = bin.deref();
        if (!a.isObject() || !b.isObject())
            throwError(err::ObjectRequired);
        return Value::boolean(a.obj() == b.obj());
    }
    Value aHold, bHold;
    const Value *pa = &ain.deref(), *pb = &bin.deref();
    if (pa->isObject()) {
        aHold = in.scalar(*pa);
        pa = &aHold;
    }
    if (pb->isObject()) {
        bHold = in.scalar(*pb);
        pb = &bHold;
    }
    const Value &a = *pa, &b = *pb;
    if (a.isArray() || b.isArray())
        throwError(err::TypeMismatch);
    switch (op) {
    case Op::Cat: {
        if (a.isNull() && b.isNull())
            return Value::null();
        CatText partA, partB;
        const QStringView sa = partA.of(a), sb = partB.of(b);
        if (sa.size() + sb.size() > in.limits.maxStringLength)
            throwError(err::OutOfStringSpace);
        // built once at its full size: a copy of the left text would be copied again to grow
        QString s;
        s.reserve(sa.size() + sb.size());
        s.append(sa);
        s.append(sb);
        return Value::str(std::move(s));
    }
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge: {
        const int c = compareValues(a, b, false, aLit, bLit);
        if (c == 2)
            return Value::null();
        bool r = op == Op::Eq   ? c == 0
                 : op == Op::Ne ? c != 0
                 : op == Op::Lt ? c < 0
                 : op == Op::Gt ? c > 0
                 : op == Op::Le ? c <= 0
                                : c >= 0;
        return Value::boolean(r);
    }
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp:
        return logic(op, a, b);
    default:
        break;
    }
    if (a.isNull() || b.isNull())
        return Value::null();
    switch (op) {
    case Op::Add:
        if (a.isString() && b.isString()) {
            QString s = a.strRef() + b.strRef();
            if (s.size() > in.limits.maxStringLength)
                throwError(err::OutOfStringSpace);
            return Value::str(std::move(s));
        }
        [[fallthrough]];
    case Op::Sub:
    case Op::Mul:
        if (!isNumberLike(a) && !a.isString())
            throwError(err::TypeMismatch);
        if (!isNumberLike(b) && !b.isString())
            throwError(err::TypeMismatch);
        if (a.isString() || b.isString()) {
            // a string operand counts as a Double
            Value x = a.isString() ? Value::dbl(toDouble(a)) : a;
            Value y = b.isString() ? Value::dbl(toDouble(b)) : b;
            return arith(op, x, y);
        }
        return arith(op, a, b);
    case Op::Div: {
        const double x = toDouble(a), y = toDouble(b);
        if (y == 0)
            throwError(x == 0 ? err::Overflow : err::DivisionByZero);
        const Rank r = resultRank(rankOf(a), rankOf(b));
        return fitDouble(x / y, r == RSingle ? RSingle : RDouble);
    }
    case Op::IDiv:
    case Op::Mod: {
        const int64_t x = toLong(a), y = toLong(b);
        if (y == 0)
            throwError(err::DivisionByZero);
        const int64_t r = op == Op::IDiv ? x / y : x % y;
        const Rank rank = std::max(rankOf(a), rankOf(b)) <= RInteger ? RInteger : RLong;
        return fitIntegral(r, rank);
    }
    case Op::Pow: {
        const double x = toDouble(a), y = toDouble(b);
        if (x == 0 && y < 0)
            throwError(err::InvalidCall);
        const double r = std::pow(x, y);
        if (std::isnan(r))
            throwError(err::InvalidCall);
        if (std::isinf(r))
            throwError(err::Overflow);
        return Value::dbl(r);
    }
    default:
        throwError(err::SyntaxError);
    }
}

Value unaryOp(Interp &in, Op op, const Value &ain)
{
    if (op == Op::Plus && ain.deref().isObject())
        return ain.deref(); // unary plus leaves an object as it is
    Value hold;
    const Value *pa = &ain.deref();
    if (pa->isObject()) {
        hold = in.scalar(*pa);
        pa = &hold;
    }
    const Value &a = *pa;
    if (a.isNull())
        return Value::null();
    if (a.isArray())
        throwError(err::TypeMismatch);
    if (op == Op::Not) {
        switch (a.type()) {
        case VType::Boolean:
            return Value::boolean(a.intValue() == 0);
        case VType::Empty:
            return Value::integer(-1);
        case VType::Integer:
            return Value::integer(~a.intValue());
        case VType::Byte:
            return Value::byte(~a.intValue() & 0xFF);
        default:
            return Value::lng(~toLong(a));
        }
    }
    if (op == Op::Plus)
        return a.isEmpty() ? Value::integer(0) : a;
    switch (a.type()) {
    case VType::Empty:
        return Value::integer(0);
    case VType::Boolean:
    case VType::Integer:
    case VType::Byte:
        return Value::fromInt64(-int64_t(a.intValue()));
    case VType::Long:
        return a.intValue() == INT32_MIN ? Value::dbl(2147483648.0) : Value::lng(-a.intValue());
    case VType::Single:
        return Value::single(-a.dblValue());
    case VType::Date:
        return Value::date(-a.dblValue());
    case VType::Currency:
        if (a.curValue() == INT64_MIN)
            throwError(err::Overflow);
        return Value::currency(-a.curValue());
    default:
        return Value::dbl(-toDouble(a));
    }
}

QString typeName(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::Empty:
        return QStringLiteral("Empty");
    case VType::Null:
        return QStringLiteral("Null");
    case VType::Integer:
        return QStringLiteral("Integer");
    case VType::Long:
        return QStringLiteral("Long");
    case VType::Single:
        return QStringLiteral("Single");
    case VType::Double:
        return QStringLiteral("Double");
    case VType::Currency:
        return QStringLiteral("Currency");
    case VType::Date:
        return QStringLiteral("Date");
    case VType::String:
        return QStringLiteral("String");
    case VType::Boolean:
        return QStringLiteral("Boolean");
    case VType::Byte:
        return QStringLiteral("Byte");
    case VType::Error:
        return QStringLiteral("Error");
    case VType::Array:
        return QStringLiteral("Variant()");
    case VType::Object:
        return v.obj() ? v.obj()->typeName() : QStringLiteral("Nothing");
    default:
        return QStringLiteral("Unknown");
    }
}

int varType(const Value &vin)
{
    const Value &v = vin.deref();
    return int(v.type());
}

} // namespace quillora::vbs
