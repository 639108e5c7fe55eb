// Conversion, math, inspection and array functions.

#include "builtins.h"
#include "convert.h"

#include <QDateTime>

#include <cmath>

namespace quillora::vbs {

Value makeStringArray(Interp &in, QStringList items)
{
    ArrayObj *a = ArrayObj::make({int(items.size()) - 1}, in.limits.maxArrayElements);
    Value v = Value::array(a);
    for (qsizetype i = 0; i < items.size(); ++i)
        a->data[size_t(i)] = Value::str(std::move(items[i]));
    return v;
}

namespace {

Value fCStr(Args &a)
{
    return Value::str(a.str(0));
}
Value fCInt(Args &a)
{
    return Value::integer(a.integer(0));
}
Value fCLng(Args &a)
{
    return Value::lng(a.lng(0));
}
Value fCDbl(Args &a)
{
    return Value::dbl(a.num(0));
}
Value fCSng(Args &a)
{
    const double d = a.num(0);
    if (std::fabs(d) > 3.402823466e38)
        throwError(err::Overflow);
    return Value::single(d);
}
Value fCBool(Args &a)
{
    return Value::boolean(a.boolean(0));
}
Value fCByte(Args &a)
{
    const Value v = a.scalar(0);
    if (v.type() == VType::Boolean)
        return Value::byte(v.intValue() & 0xFF); // True is 255
    const double d = roundHalfEven(toDouble(v));
    if (d < 0 || d > 255)
        throwError(err::Overflow);
    return Value::byte(int(d));
}
Value fCCur(Args &a)
{
    return Value::currency(toCurrency(a.scalar(0)));
}
Value fCDate(Args &a)
{
    return Value::date(toDate(a.scalar(0)));
}

// Int and Fix keep integral types and give Double for the rest.
Value roundWith(Args &a, double (*f)(double))
{
    Value v = a.scalar(0);
    if (v.isNull())
        return Value::null();
    switch (v.type()) {
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
        return v;
    case VType::Boolean:
        return Value::integer(v.intValue());
    case VType::Empty:
        return Value::integer(0);
    case VType::Currency:
        return Value::currency(int64_t(f(double(v.curValue()) / 10000.0) * 10000.0));
    case VType::Single:
        return Value::single(f(v.dblValue()));
    case VType::Date:
        return Value::date(f(v.dblValue()));
    default:
        return Value::dbl(f(toDouble(v)));
    }
}
Value fInt(Args &a)
{
    return roundWith(a, [](double d) { return std::floor(d); });
}
Value fFix(Args &a)
{
    return roundWith(a, [](double d) { return std::trunc(d); });
}

Value fRound(Args &a)
{
    Value v = a.scalar(0);
    if (v.isNull())
        return Value::null();
    const int digits = a.has(1) ? a.lng(1) : 0;
    if (digits < 0)
        throwError(err::InvalidCall);
    if (v.isIntegral())
        return v; // Boolean, Byte, Integer and Long keep their subtype
    const double d = toDouble(v);
    double r;
    if (digits == 0) {
        r = roundHalfEven(d);
    } else {
        const double scale = std::pow(10.0, std::min(digits, 22));
        // round the scaled value after removing binary noise: 2.675 rounds as written
        const double scaled = std::stod(QString::number(d * scale, 'g', 15).toStdString());
        r = roundHalfEven(scaled) / scale;
    }
    if (v.type() == VType::Single)
        return Value::single(r);
    if (v.type() == VType::Currency)
        return Value::currency(int64_t(r * 10000.0));
    return Value::dbl(r);
}

Value radix(Args &a, int base)
{
    Value v = a.scalar(0);
    if (v.isNull())
        return Value::null();
    if (v.isEmpty())
        return Value::str(QStringLiteral("0"));
    const int n = toLong(v);
    const bool word =
        (v.type() == VType::Integer || v.type() == VType::Byte || v.type() == VType::Boolean) ||
        (n >= -32768 && n < 0 && v.type() != VType::Long && v.type() != VType::Double);
    uint32_t u = word && n < 0 ? uint32_t(uint16_t(int16_t(n))) : uint32_t(n);
    return Value::str(QString::number(u, base).toUpper());
}
Value fHex(Args &a)
{
    return radix(a, 16);
}
Value fOct(Args &a)
{
    return radix(a, 8);
}

Value fAbs(Args &a)
{
    Value v = a.scalar(0);
    switch (v.type()) {
    case VType::Null:
        return v;
    case VType::Empty:
        return Value::integer(0);
    case VType::Byte:
        return v;
    case VType::Integer:
    case VType::Boolean:
        return Value::fromInt64(std::abs(int64_t(v.intValue())));
    case VType::Long:
        return v.intValue() == INT32_MIN ? Value::dbl(2147483648.0)
                                         : Value::lng(std::abs(v.intValue()));
    case VType::Currency:
        if (v.curValue() == INT64_MIN)
            throwError(err::Overflow);
        return Value::currency(std::abs(v.curValue()));
    case VType::Single:
        return Value::single(std::fabs(v.dblValue()));
    default:
        return Value::dbl(std::fabs(toDouble(v)));
    }
}

Value fSgn(Args &a)
{
    Value v = a.scalar(0);
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const double d = toDouble(v);
    return Value::integer(d > 0 ? 1 : d < 0 ? -1 : 0);
}

Value math(Args &a, double (*f)(double), bool (*valid)(double))
{
    Value v = a.scalar(0);
    if (v.isNull())
        return Value::null();
    const double d = toDouble(v);
    if (valid && !valid(d))
        throwError(err::InvalidCall);
    const double r = f(d);
    if (std::isinf(r) || std::isnan(r))
        throwError(err::Overflow);
    return Value::dbl(r);
}
Value fSqr(Args &a)
{
    return math(
        a, [](double d) { return std::sqrt(d); }, [](double d) { return d >= 0; });
}
Value fExp(Args &a)
{
    return math(
        a, [](double d) { return std::exp(d); }, nullptr);
}
Value fLog(Args &a)
{
    return math(
        a, [](double d) { return std::log(d); }, [](double d) { return d > 0; });
}
Value fSin(Args &a)
{
    return math(
        a, [](double d) { return std::sin(d); }, nullptr);
}
Value fCos(Args &a)
{
    return math(
        a, [](double d) { return std::cos(d); }, nullptr);
}
Value fTan(Args &a)
{
    return math(
        a, [](double d) { return std::tan(d); }, nullptr);
}
Value fAtn(Args &a)
{
    return math(
        a, [](double d) { return std::atan(d); }, nullptr);
}

// The 24-bit linear congruential generator of the language's Rnd.
Value fRnd(Args &a)
{
    Interp &in = a.in;
    uint32_t &seed = in.rndSeed;
    if (a.has(0)) {
        const double x = a.num(0);
        if (x == 0)
            return Value::single(double(seed) / 16777216.0);
        if (x < 0) {
            float f = float(x);
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            seed = (bits + (bits >> 24)) & 0xFFFFFF;
        }
    }
    seed = (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return Value::single(double(seed) / 16777216.0);
}

Value fRandomize(Args &a)
{
    double x = a.has(0) ? a.num(0) : double(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0;
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    const uint32_t hi = uint32_t(bits >> 32);
    const uint32_t mixed = ((hi ^ (hi >> 16)) & 0xFFFF) << 8;
    a.in.rndSeed = (a.in.rndSeed & 0xFF) | mixed;
    return Value();
}

Value fIsArray(Args &a)
{
    return Value::boolean(a[0].deref().isArray());
}
Value fIsEmpty(Args &a)
{
    return Value::boolean(a[0].deref().isEmpty());
}
Value fIsNull(Args &a)
{
    return Value::boolean(a[0].deref().isNull());
}
Value fIsObject(Args &a)
{
    return Value::boolean(a[0].deref().isObject());
}
Value fIsNumeric(Args &a)
{
    Value held = a[0].deref();
    if (held.isObject() && held.obj()) {
        // an object is numeric when its default value is
        const int member = held.obj()->defaultMember();
        if (member < 0)
            return Value::boolean(false);
        held = a.in.scalar(held);
    }
    const Value &v = held;
    switch (v.type()) {
    case VType::Empty:
    case VType::Integer:
    case VType::Long:
    case VType::Single:
    case VType::Double:
    case VType::Currency:
    case VType::Byte:
    case VType::Boolean:
        return Value::boolean(true);
    case VType::String: {
        double d;
        return Value::boolean(parseNumber(v.strRef(), &d));
    }
    default:
        return Value::boolean(false);
    }
}
Value fIsDate(Args &a)
{
    const Value &v = a[0].deref();
    if (v.type() == VType::Date)
        return Value::boolean(true);
    if (v.isString()) {
        double d;
        return Value::boolean(parseDateText(v.strRef(), &d));
    }
    return Value::boolean(false);
}
Value fTypeName(Args &a)
{
    return Value::str(typeName(a[0]));
}
Value fVarType(Args &a)
{
    return Value::integer(varType(a[0]));
}

Value fArray(Args &a)
{
    ArrayObj *arr = ArrayObj::make({a.n - 1}, a.in.limits.maxArrayElements);
    Value v = Value::array(arr);
    for (int i = 0; i < a.n; ++i)
        arr->data[size_t(i)] = a[i].deref();
    return v;
}

Value bound(Args &a, bool upper)
{
    const Value &v = a[0].deref();
    if (!v.isArray())
        throwError(err::TypeMismatch);
    const int dim = a.has(1) ? a.lng(1) : 1;
    ArrayObj *arr = v.arr();
    if (dim < 1 || dim > arr->dims())
        throwError(err::SubscriptOutOfRange);
    return Value::lng(upper ? arr->upper[size_t(dim - 1)] : 0);
}
Value fUBound(Args &a)
{
    return bound(a, true);
}
Value fLBound(Args &a)
{
    return bound(a, false);
}

Value fRGB(Args &a)
{
    auto part = [&a](int i) {
        const int v = a.lng(i);
        if (v < 0)
            throwError(err::InvalidCall);
        return std::min(v, 255);
    };
    return Value::lng(part(0) | part(1) << 8 | part(2) << 16);
}

} // namespace

void addNumberBuiltins(std::vector<Builtin> &out)
{
    out.insert(out.end(), {
                              {"cstr", 1, 1, fCStr},
                              {"cint", 1, 1, fCInt},
                              {"clng", 1, 1, fCLng},
                              {"cdbl", 1, 1, fCDbl},
                              {"csng", 1, 1, fCSng},
                              {"cbool", 1, 1, fCBool},
                              {"cbyte", 1, 1, fCByte},
                              {"ccur", 1, 1, fCCur},
                              {"cdate", 1, 1, fCDate},
                              {"int", 1, 1, fInt},
                              {"fix", 1, 1, fFix},
                              {"round", 1, 2, fRound},
                              {"hex", 1, 1, fHex},
                              {"oct", 1, 1, fOct},
                              {"abs", 1, 1, fAbs},
                              {"sgn", 1, 1, fSgn},
                              {"sqr", 1, 1, fSqr},
                              {"exp", 1, 1, fExp},
                              {"log", 1, 1, fLog},
                              {"sin", 1, 1, fSin},
                              {"cos", 1, 1, fCos},
                              {"tan", 1, 1, fTan},
                              {"atn", 1, 1, fAtn},
                              {"rnd", 0, 1, fRnd},
                              {"randomize", 0, 1, fRandomize},
                              {"isarray", 1, 1, fIsArray},
                              {"isempty", 1, 1, fIsEmpty},
                              {"isnull", 1, 1, fIsNull},
                              {"isobject", 1, 1, fIsObject},
                              {"isnumeric", 1, 1, fIsNumeric},
                              {"isdate", 1, 1, fIsDate},
                              {"typename", 1, 1, fTypeName},
                              {"vartype", 1, 1, fVarType},
                              {"array", 0, 1 << 20, fArray},
                              {"ubound", 1, 2, fUBound},
                              {"lbound", 1, 2, fLBound},
                              {"rgb", 3, 3, fRGB},
                          });
}

} // namespace quillora::vbs
