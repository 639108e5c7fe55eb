// Expressions: names, members, built-ins, operators; the argument helpers of built-ins.

#include "interp.h"

#include "convert.h"
#include "interp_private.h"
#include "objects.h"

namespace quillora::vbs {

// ---- expressions

Value Interp::evalNameArgs(Value &v, Node *n)
{
    if (v.isArray()) {
        if (n->a.empty())
            return v;
        return *elementAddress(v, n, false);
    }
    if (Object *o = v.obj()) {
        Value hold = v;
        const int id = o->defaultMember();
        if (id < 0)
            throwError(err::NoSuchMember);
        ArgBuffer args(*this, n->a);
        return invokeMember(o, id, Access::Get, args.data(), int(n->a.size()), nullptr);
    }
    if (n->a.empty())
        return v;
    throwError(err::TypeMismatch);
}

Value Interp::evalMember(Node *n, Access access, const Value *rhs)
{
    // An instance of a script class in a plain variable is used in place: the member's call
    // holds it. Anything else is copied, as code run for the arguments may drop it.
    Value base;
    const Value *in = leaf(n->x);
    if (!in || !in->obj() || !in->obj()->scriptClass()) {
        base = in ? *in : eval(n->x);
        in = &base.deref();
    }
    const Value &bv = *in;
    try {
        if (bv.isArray() && n->flag == 1) {
            if (access == Access::Let || access == Access::Set)
                throwError(err::IllegalAssignment);
            return *elementAddress(base.deref(), n, false); // an array is always copied
        }
        Object *o = bv.obj();
        if (!o)
            throwError(err::ObjectRequired);
        // a script class instance's dispatch key is its class
        ClassDef *cls = o->scriptClass();
        const void *key = cls ? static_cast<const void *>(cls) : o->dispatchKey();
        int id;
        if (n->flag == 1) {
            id = o->defaultMember();
        } else if (n->cacheKey == key) {
            id = n->cacheId;
        } else {
            id = o->findMember(n->name);
            n->cacheKey = key;
            n->cacheId = id;
        }
        if (id < 0)
            throwError(err::NoSuchMember);
        if (cls)
            return callClassMember(o, cls, id, access, n, rhs);
        ArgBuffer args(*this, n->a);
        return o->invoke(*this, id, access, args.data(), int(n->a.size()), rhs);
    } catch (ScriptException &e) {
        fillPosition(e, n);
        throw;
    }
}

Value Interp::evalBuiltin(Node *n, bool statement)
{
    const Builtin *b = n->bi;
    const int argc = int(n->a.size());
    try {
        if (argc < b->minArgs || argc > b->maxArgs)
            throwError(err::WrongArgCount);
        if (n->flag == NoValueBuiltin && !statement)
            throwError(err::TypeMismatch);
        ArgBuffer args(*this, n->a);
        Args a(*this, args.data(), argc);
        return b->fn(a);
    } catch (ScriptException &e) {
        fillPosition(e, n);
        throw;
    }
}

Value Interp::evalNew(Node *n)
{
    try {
        // the class found last, while no class was defined or removed since
        if (n->cacheKey && n->cacheId == classGeneration)
            return createClassInstance(static_cast<ClassDef *>(const_cast<void *>(n->cacheKey)));
        // the built-in RegExp wins over a script class of the same name
        if (n->name == u"regexp")
            return Value::object(newRegExp());
        if (ClassDef *c = findClass(n->name)) {
            n->cacheKey = c;
            n->cacheId = classGeneration;
            return createClassInstance(c);
        }
        throwError(err::ClassNotDefined);
    } catch (ScriptException &e) {
        fillPosition(e, n);
        throw;
    }
}

static inline bool smallInts(const Value &a, const Value &b)
{
    return unsigned(int(a.type()) - 2) <= 1 && unsigned(int(b.type()) - 2) <= 1;
}

IntResult Interp::intTree(const Node *n) const
{
    // The top of the operand stack stays in registers; heights stay below 32, and so does
    // the depth of the stack below it. Each step jumps to the next on its own (a jump the
    // processor predicts per step rather than one shared by all). An operator step first
    // takes its two operands into x and y, from the stack or from the step itself.
#define OPERATOR_FORMS(op) &&op##OfStack, &&op##OfConstant, &&op##OfLocal
    static constexpr void *kStep[] = {
        &&end,
        &&constant,
        &&local,
        &&global,
        &&field,
        OPERATOR_FORMS(add),
        OPERATOR_FORMS(sub),
        OPERATOR_FORMS(mul),
        OPERATOR_FORMS(idiv),
        OPERATOR_FORMS(mod),
        OPERATOR_FORMS(eq),
        OPERATOR_FORMS(ne),
        OPERATOR_FORMS(lt),
        OPERATOR_FORMS(gt),
        OPERATOR_FORMS(le),
        OPERATOR_FORMS(ge),
    };
#undef OPERATOR_FORMS
    static_assert(std::size(kStep) == IntStep::KindCount);
    int32_t below[40];
    bool belowLong[40];
    int sp = 0;
    int32_t top = 0;
    bool topLong = false;
    int32_t x, y;
    bool anyLong;
    int64_t r;
    const Value *operand;
    const IntStep *step = n->intCode;
#define NEXT_STEP goto *kStep[(++step)->kind]
#define OPERANDS(op)                                                                               \
    op##OfStack : --sp;                                                                            \
    x = below[sp];                                                                                 \
    y = top;                                                                                       \
    anyLong = belowLong[sp] || topLong;                                                            \
    goto op;                                                                                       \
    op##OfConstant : x = top;                                                                      \
    y = step->value;                                                                               \
    anyLong = topLong || step->isLong;                                                             \
    goto op;                                                                                       \
    op##OfLocal : operand = &frame->locals[step->value].deref();                                   \
    if (operand->type() != VType::Integer && operand->type() != VType::Long)                       \
        return {};                                                                                 \
    x = top;                                                                                       \
    y = operand->intValue();                                                                       \
    anyLong = topLong || operand->type() == VType::Long;                                           \
    goto op;
    goto *kStep[step->kind];
end:
    return {top, topLong ? IntResult::Long : IntResult::Integer};
constant:
    below[sp] = top;
    belowLong[sp++] = topLong;
    top = step->value;
    topLong = step->isLong;
    NEXT_STEP;
local:
    operand = &frame->locals[step->value].deref();
    goto push;
global:
    if (step->g->proc)
        return {};
    operand = &step->g->value;
    goto push;
field:
    if (!frame || !frame->inst)
        return {};
    operand = &frame->inst->fields[size_t(step->value)];
    goto push;
push : {
    const VType t = operand->type();
    if (t != VType::Integer && t != VType::Long)
        return {};
    below[sp] = top;
    belowLong[sp++] = topLong;
    top = operand->intValue();
    topLong = t == VType::Long;
    NEXT_STEP;
}
    OPERANDS(add)
    OPERANDS(sub)
    OPERANDS(mul)
    OPERANDS(idiv)
    OPERANDS(mod)
    OPERANDS(eq)
    OPERANDS(ne)
    OPERANDS(lt)
    OPERANDS(gt)
    OPERANDS(le)
    OPERANDS(ge)
#undef OPERANDS
add:
    r = int64_t(x) + y;
    goto fit;
sub:
    r = int64_t(x) - y;
    goto fit;
mul:
    r = int64_t(x) * y;
    goto fit;
// 32-bit division, -1 apart, the one divisor that can overflow it
mod:
    if (y == 0)
        return {};
    r = y == -1 ? 0 : x % y;
    goto fit;
idiv:
    if (y == 0)
        return {};
    r = y == -1 ? -int64_t(x) : x / y;
    goto fit;
eq:
    return {x == y, IntResult::Boolean};
ne:
    return {x != y, IntResult::Boolean};
lt:
    return {x < y, IntResult::Boolean};
gt:
    return {x > y, IntResult::Boolean};
le:
    return {x <= y, IntResult::Boolean};
ge:
    return {x >= y, IntResult::Boolean};
fit:
    // the type rule of intBinary below (written out in both for speed): Integer while both
    // are and the result fits
    if (!anyLong && r >= -32768 && r <= 32767) {
        top = int32_t(r);
        topLong = false;
        NEXT_STEP;
    }
    if (r < INT32_MIN || r > INT32_MAX)
        return {};
    top = int32_t(r);
    topLong = true;
    NEXT_STEP;
#undef NEXT_STEP
}

// An operator of two Integer or Long operands, computed inline: the most common case.
// Empty when the operator is not one of these or the division is by zero.
[[gnu::always_inline]] static inline Value intBinary(Op op, const Value &a, const Value &b)
{
    const int64_t x = a.intValue(), y = b.intValue();
    const bool bothInteger = a.type() == VType::Integer && b.type() == VType::Integer;
    auto fit = [bothInteger](int64_t r) {
        if (bothInteger && r >= -32768 && r <= 32767)
            return Value::integer(int(r));
        if (r >= INT32_MIN && r <= INT32_MAX)
            return Value::lng(int(r));
        return Value::dbl(double(r));
    };
    switch (op) {
    case Op::Add:
        return fit(x + y);
    case Op::Sub:
        return fit(x - y);
    case Op::Mul:
        return fit(x * y);
    // 32-bit division, which many processors do in a fraction of the time of 64-bit
    // division; -1 apart, the one divisor that can overflow it
    case Op::Mod:
        if (y != 0)
            return fit(y == -1 ? 0 : int32_t(x) % int32_t(y));
        break;
    case Op::IDiv:
        if (y != 0)
            return fit(y == -1 ? -x : int32_t(x) / int32_t(y));
        break;
    case Op::Eq:
        return Value::boolean(x == y);
    case Op::Ne:
        return Value::boolean(x != y);
    case Op::Lt:
        return Value::boolean(x < y);
    case Op::Gt:
        return Value::boolean(x > y);
    case Op::Le:
        return Value::boolean(x <= y);
    case Op::Ge:
        return Value::boolean(x >= y);
    default:
        break;
    }
    return Value();
}

// An operator of two operands, kept out of eval so that the simple nodes stay cheap.
[[gnu::noinline]] Value Interp::evalBinary(Node *n)
{
    checkStack();
    // Plain operands (literals and variables) are read in place while no code runs
    // before the operator does: a call, or an object's default value, may reassign
    // them. So the left one is read in place only next to a plain right one, and a
    // plain right one only after the left is evaluated to something not an object.
    // (Integer and Long operands of this kind have been tried as an integer tree already.)
    const Value *pa = leaf(n->x);
    if (!pa && n->y->kind == NK::Literal) {
        // A value computed by code, then a literal: the shape of F(x) Mod 7 or Len(s) - 1.
        // Nothing the left runs can change the literal.
        Value ta = eval(n->x);
        const Value &lit = n->y->lit;
        if (smallInts(ta, lit)) {
            Value r = intBinary(n->op, ta, lit);
            if (!r.isEmpty())
                return r;
        }
        return binaryOther(n, &ta, ta, lit);
    }
    const Value *pb = leaf(n->y);
    if (pa && pb && !pa->isObject() && !pb->isObject()) {
        // two strings compared for equality: their code units, as compareValues does
        if ((n->op == Op::Eq || n->op == Op::Ne) && pa->isString() && pb->isString())
            return Value::boolean((pa->strRef() == pb->strRef()) == (n->op == Op::Eq));
        return binaryOther(n, nullptr, *pa, *pb);
    }
    Value ta = eval(n->x);
    Value tb;
    pb = leaf(n->y);
    if (!pb || pb->isObject() || ta.deref().isObject()) {
        tb = eval(n->y);
        pb = &tb;
    }
    if (smallInts(ta, *pb)) {
        Value r = intBinary(n->op, ta, *pb);
        if (!r.isEmpty())
            return r;
    }
    return binaryOther(n, &ta, ta, *pb);
}

// The operators and operands the inline cases above leave; `made` is the left operand when
// it is a value just computed, which this may take over.
[[gnu::noinline]] Value Interp::binaryOther(Node *n, Value *made, const Value &a, const Value &b)
{
    try {
        // a & b & c: the left operand is a string just made, so the next part goes on its end
        if (n->op == Op::Cat && made && appendInPlace(*this, *made, b))
            return std::move(*made);
        return binaryOp(*this, n->op, a, b, n->x->literal, n->y->literal);
    } catch (ScriptException &e) {
        fillPosition(e, n);
        throw;
    }
}

// Literals, plain variables and operators, in a function small enough to cost little per
// node; the other nodes below.
Value Interp::eval(Node *n)
{
    switch (n->kind) {
    case NK::Literal:
        return n->lit;
    case NK::Local:
    case NK::Global:
    case NK::Field:
        if (const Value *v = leaf(n))
            return *v;
        // a call of a script procedure; its errors take the position of their statement
        if (n->kind == NK::Global && n->g->proc)
            return callProc(n->g->proc, nullptr, n, nullptr);
        break;
    case NK::Binary:
        if (n->intHeight)
            if (const IntResult r = intTree(n); r.kind)
                return r.value();
        return evalBinary(n);
    case NK::Paren:
        return eval(n->x);
    default:
        break;
    }
    return evalOther(n);
}

[[gnu::noinline]] Value Interp::evalOther(Node *n)
{
    switch (n->kind) {
    case NK::Literal:
        return n->lit;
    case NK::Local: {
        Value &v = frame->locals[n->slot].deref();
        if (!n->hasArgs)
            return v;
        try {
            return evalNameArgs(v, n);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    }
    case NK::Global: {
        GlobalSlot *g = n->g;
        try {
            if (g->proc)
                return callProc(g->proc, nullptr, n, nullptr);
            if (!n->hasArgs)
                return g->value;
            return evalNameArgs(g->value, n);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    }
    case NK::Field: {
        Value &v = meInstance()->fields[size_t(n->slot)];
        if (!n->hasArgs)
            return v;
        try {
            return evalNameArgs(v, n);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    }
    case NK::ClassProc:
        try {
            return callClassMember(frame->me, meInstance()->cls, n->slot, Access::Get, n, nullptr);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    case NK::Builtin:
        return evalBuiltin(n);
    case NK::Undefined: {
        ScriptException e = ScriptException::runtime(err::VariableUndefined);
        fillPosition(e, n);
        throw e;
    }
    case NK::Member:
        return evalMember(n, Access::Get, nullptr);
    case NK::WithObj:
        if (n->slot < 0)
            throwError(505);
        return frame->locals[n->slot];
    case NK::Me:
        return Value::object(frame->me);
    case NK::New:
        return evalNew(n);
    case NK::Paren:
        return eval(n->x);
    case NK::Unary: {
        Value a = eval(n->x);
        try {
            return unaryOp(*this, n->op, a);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    }
    case NK::Binary:
        return evalBinary(n);
    default:
        throwError(err::SyntaxError);
    }
}

// ---- Args

static bool smallInt(const Value &v)
{
    return v.type() == VType::Integer || v.type() == VType::Long;
}

Value Args::scalar(int i) const
{
    if (i >= n || v[i].isMissing())
        return Value();
    return in.scalar(v[i]);
}
QString Args::str(int i) const
{
    if (i < n && v[i].deref().isString())
        return v[i].deref().strRef();
    return toStr(scalar(i));
}
const QString &Args::convertedText(int i)
{
    held[size_t(i)] = toStr(scalar(i));
    return held[size_t(i)];
}
double Args::num(int i) const
{
    if (i < n && smallInt(v[i].deref()))
        return v[i].deref().intValue();
    return toDouble(scalar(i));
}
int Args::toLong(int i) const
{
    return vbs::toLong(scalar(i));
}
int Args::integer(int i) const
{
    return toInteger(scalar(i));
}
bool Args::boolean(int i) const
{
    return toBool(scalar(i));
}

} // namespace quillora::vbs
