// Statements: blocks, assignment, conditionals, loops, declarations.

#include "interp.h"

#include "convert.h"
#include "interp_private.h"
#include "objects.h"

namespace quillora::vbs {

namespace {

// Under On Error Resume Next an error in the header of a block statement (For, For Each,
// Do, While, Select Case, With) records the error and goes on with the block's body, as
// it does for If. False when the error must propagate.
bool trapHeader(Interp &in, ScriptException &e, const Node *at)
{
    Frame *f = in.currentFrame();
    if (!f || !f->resumeNext || e.fatal)
        return false;
    in.fillPosition(e, at);
    in.setErr(e);
    return true;
}

// The body of a loop whose header failed: run once.
Flow bodyOnce(Flow f)
{
    return f == Flow::ExitFor ? Flow::Normal : f;
}

} // namespace

// ---- statements

Flow Interp::execBlock(Node *block)
{
    return runBlock(block);
}

// The statements of a block; inlined where a block runs most, as the body of a loop.
[[gnu::always_inline]] inline Flow Interp::runBlock(Node *block)
{
    for (Node *s : block->a) {
        checkInterrupt();
        Flow f;
        try {
            f = exec(s);
        } catch (ScriptException &e) {
            fillPosition(e, s);
            if (!frame || !frame->resumeNext || e.fatal || e.compile)
                throw;
            setErr(e);
            continue;
        }
        if (f != Flow::Normal)
            return f;
    }
    return Flow::Normal;
}

// Runs the body of a procedure whose arguments are already in its locals; the caller owns
// the locals and holds Me.
Value Interp::runProc(Procedure *p, Object *me, Value *locals)
{
    enterCall();
    Frame f;
    f.locals = locals;
    f.proc = p;
    f.me = me;
    f.inst = me && me->scriptClass() ? static_cast<ClassInstance *>(me) : nullptr;
    f.parent = frame;
    frame = &f;
    FrameScope scope{*this, f};
    runBlock(p->body);
    if (p->resultSlot >= 0)
        return std::move(locals[p->resultSlot]);
    return Value();
}

bool Interp::condition(Node *n)
{
    if (n->intHeight)
        if (const IntResult r = intTree(n); r.kind)
            return r.v != 0;
    Value v = eval(n);
    const Value *p = &v.deref();
    if (p->type() == VType::Boolean)
        return p->intValue() != 0;
    Value hold;
    if (p->isObject()) {
        hold = scalar(*p);
        p = &hold;
    }
    if (p->isNull())
        return false;
    return toBool(*p);
}

void Interp::store(Value &slot, Value v, bool isSet)
{
    Value &val = v.deref();
    if (isSet) {
        if (!val.isObject())
            throwError(err::ObjectRequired);
        slot = std::move(val);
        return;
    }
    if (val.isObject())
        slot = scalar(val);
    else
        slot = std::move(val);
}

Value *Interp::elementAddress(Value &arrayValue, Node *n, bool forWrite)
{
    const size_t nIdx = n->a.size();
    int idx[64];
    if (nIdx > 60)
        throwError(err::SubscriptOutOfRange);
    for (size_t i = 0; i < nIdx; ++i) {
        Node *an = n->a[i];
        Value iv = eval(an);
        const Value &d = iv.deref();
        idx[i] = d.isIntegral() ? d.intValue() : toLong(scalar(d));
    }
    if (!arrayValue.isArray())
        throwError(err::TypeMismatch);
    ArrayObj *a = arrayValue.arr();
    if (size_t(a->dims()) != nIdx)
        throwError(err::SubscriptOutOfRange);
    size_t flat = 0;
    for (size_t i = 0; i < nIdx; ++i) {
        if (idx[i] < 0 || idx[i] > a->upper[i])
            throwError(err::SubscriptOutOfRange);
        flat = flat * size_t(a->upper[i] + 1) + size_t(idx[i]);
    }
    if (forWrite && a->refs - uint32_t(a->locks) > 1) {
        ArrayObj *c = a->clone();
        arrayValue = Value::array(c);
        a = c;
    }
    return &a->data[flat];
}

void Interp::assign(Node *t, Value v, bool isSet)
{
    // Convert first: a default property may run script code, and no address into an array
    // may be held while that happens.
    {
        Value &val = v.deref();
        if (isSet) {
            if (!val.isObject())
                throwError(err::ObjectRequired);
        } else if (val.isObject()) {
            v = scalar(val);
        }
    }
    switch (t->kind) {
    case NK::Local:
    case NK::Global:
    case NK::Field: {
        if (t->kind == NK::Global && (t->g->proc || t->g->isConst))
            throwError(err::IllegalAssignment);
        Value *slot = varAddress(t);
        if (!t->hasArgs) {
            store(*slot, std::move(v), isSet);
            return;
        }
        if (slot->isArray()) {
            Value *e = elementAddress(*slot, t, true);
            store(*e, std::move(v), isSet);
            return;
        }
        if (Object *o = slot->obj()) {
            Value hold = *slot;
            const int id = o->defaultMember();
            if (id < 0)
                throwError(err::NoSuchMember);
            ArgBuffer args(*this, t->a);
            Value &val = v.deref();
            invokeMember(o, id, isSet ? Access::Set : Access::Let, args.data(), int(t->a.size()),
                         &val);
            return;
        }
        throwError(err::TypeMismatch);
    }
    case NK::ClassProc: {
        Value &val = v.deref();
        callClassMember(frame->me, meInstance()->cls, t->slot, isSet ? Access::Set : Access::Let, t,
                        &val);
        return;
    }
    case NK::Member: {
        Value &val = v.deref();
        evalMember(t, isSet ? Access::Set : Access::Let, &val);
        return;
    }
    case NK::Undefined:
        throwError(err::VariableUndefined);
    default:
        throwError(err::IllegalAssignment);
    }
}

// The statements that run most, dispatched inside the block's own loop; the others in
// execOther.
[[gnu::always_inline]] inline Flow Interp::exec(Node *s)
{
    switch (s->kind) {
    case NK::Assign:
        execAssign(s);
        return Flow::Normal;
    case NK::AppendAssign:
        execAppend(s);
        return Flow::Normal;
    case NK::If:
        return execIf(s);
    case NK::For:
        return execFor(s);
    case NK::CallStmt:
        // a call of a procedure of the script needs none of execCall's other cases
        if (s->x->kind == NK::Global && s->x->g->proc)
            callProc(s->x->g->proc, nullptr, s->x, nullptr);
        else
            execCall(s->x);
        return Flow::Normal;
    default:
        return execOther(s);
    }
}

[[gnu::always_inline]] inline void Interp::execAssign(Node *s)
{
    Node *y = s->y;
    if (!s->x->hasArgs && s->flag != 1) {
        if (y->intHeight) {
            // an integer result into a plain variable, made in registers
            if (const IntResult r = intTree(y); r.kind)
                if (Value *slot = varAddress(s->x)) {
                    *slot = r.value();
                    return;
                }
        } else if (const Value *p = leaf(y); p && !p->isObject()) {
            // a literal or another variable, copied straight across
            if (Value *slot = varAddress(s->x)) {
                *slot = *p;
                return;
            }
        }
    }
    Value v = eval(y);
    if (s->flag == 1) {
        *varAddress(s->x) = std::move(v.deref());
        return;
    }
    // A plain variable given a value that is not an object: stored as it is.
    Node *t = s->x;
    Value &val = v.deref();
    if (!t->hasArgs && !val.isObject()) {
        if (Value *slot = varAddress(t)) {
            *slot = std::move(val);
            return;
        }
    }
    assign(t, std::move(v), false);
}

[[gnu::noinline]] Flow Interp::execOther(Node *s)
{
    switch (s->kind) {
    case NK::SetAssign:
        assign(s->x, eval(s->y), true);
        return Flow::Normal;
    case NK::Select: {
        Flow f = Flow::Normal;
        execSelect(s, &f);
        return f;
    }
    case NK::ForEach:
        return execForEach(s);
    case NK::DoLoop:
        return execDo(s);
    case NK::Exit:
        return s->flag == uint8_t(ExitKind::Do)    ? Flow::ExitDo
               : s->flag == uint8_t(ExitKind::For) ? Flow::ExitFor
                                                   : Flow::ExitProc;
    case NK::With: {
        Value obj;
        try {
            obj = eval(s->x);
            if (!obj.deref().isObject())
                throwError(err::ObjectRequired);
        } catch (ScriptException &e) {
            if (!trapHeader(*this, e, s))
                throw;
            obj = Value(); // the body runs without an object: its members fail in turn
        }
        frame->locals[s->slot] = std::move(obj.deref());
        Flow f = execBlock(s->y);
        frame->locals[s->slot] = Value();
        return f;
    }
    case NK::Dim:
        execDim(s);
        return Flow::Normal;
    case NK::ReDim:
        execReDim(s);
        return Flow::Normal;
    case NK::Erase:
        execErase(s);
        return Flow::Normal;
    case NK::OnError:
        frame->resumeNext = s->flag == 1;
        clearErr();
        return Flow::Normal;
    case NK::Const: {
        Value v = eval(s->y);
        Value *slot = s->x->kind == NK::Global ? &s->x->g->value : varAddress(s->x);
        if (slot)
            *slot = std::move(v.deref());
        return Flow::Normal;
    }
    default:
        return Flow::Normal;
    }
}

[[gnu::noinline]] void Interp::execCall(Node *c)
{
    switch (c->kind) {
    case NK::Member:
        // obj.Method args on a script class instance in a plain variable, the member
        // already looked up: straight to the call, which holds the instance
        if (const Value *in = leaf(c->x); in && in->isObject() && c->flag != 1 && c->cacheId >= 0) {
            Object *o = in->obj();
            ClassDef *cls = o ? o->scriptClass() : nullptr;
            if (cls && c->cacheKey == cls) {
                const ClassMember &m = cls->members[size_t(c->cacheId)];
                if (m.kind == ClassMember::Method && canReach(m, o)) {
                    try {
                        callProc(m.method, o, c, nullptr);
                    } catch (ScriptException &e) {
                        fillPosition(e, c);
                        throw;
                    }
                    break;
                }
            }
        }
        evalMember(c, Access::Call, nullptr);
        break;
    case NK::Global:
        if (c->g->proc) {
            callProc(c->g->proc, nullptr, c, nullptr);
            break;
        }
        if (!(c->hasArgs && c->g->value.isArray())) {
            if (c->g->value.isObject() && c->g->value.obj()) {
                Value hold = c->g->value;
                Object *o = hold.obj();
                const int id = o->defaultMember();
                if (id < 0)
                    throwError(err::NoSuchMember);
                ArgBuffer args(*this, c->a);
                invokeMember(o, id, Access::Call, args.data(), int(c->a.size()), nullptr);
                break;
            }
            ScriptException e = ScriptException::runtime(err::TypeMismatch);
            fillPosition(e, c);
            throw e;
        }
        eval(c);
        break;
    case NK::ClassProc:
        callClassMember(frame->me, meInstance()->cls, c->slot, Access::Call, c, nullptr);
        break;
    case NK::Builtin:
        evalBuiltin(c, true);
        if (c->flag == ConversionBuiltin)
            throwError(err::AutomationType);
        break;
    default:
        eval(c);
    }
}

[[gnu::noinline]] Flow Interp::execIf(Node *s)
{
    for (size_t i = 0; i + 1 < s->a.size(); i += 2) {
        bool c;
        try {
            c = condition(s->a[i]);
        } catch (ScriptException &e) {
            if (!frame->resumeNext || e.fatal)
                throw;
            fillPosition(e, s->a[i]);
            setErr(e);
            c = true; // the language goes on with the next statement: the Then part
        }
        if (c)
            return execBlock(s->a[i + 1]);
    }
    if (s->y)
        return execBlock(s->y);
    return Flow::Normal;
}

[[gnu::noinline]] void Interp::execAppend(Node *s)
{
    Value *slot = varAddress(s->x);
    // a literal or another variable that holds no object is read in place
    const Value *part = leaf(s->y);
    Value r;
    // The variable is the left operand, read before the right one runs any code: when a
    // call there assigns the variable, the value from before is the one appended to.
    Value before;
    if (!part || part == slot || part->isObject()) {
        if (slot)
            before = *slot;
        r = eval(s->y);
        part = &r.deref();
        slot = varAddress(s->x);
        if (slot && !slot->isSame(before))
            return appendToValue(s, before, *part);
        before.clear(); // the string is the variable's alone again, to grow in place
    }
    const Value &rv = *part;
    if (slot && slot->isString() && !rv.isObject() && !rv.isNull() && !rv.isArray()) {
        if (rv.isString()) {
            if (slot->strRef().size() + rv.strRef().size() > limits.maxStringLength)
                throwError(err::OutOfStringSpace);
            slot->appendString(rv.strRef());
        } else {
            slot->appendString(toStr(rv));
        }
        return;
    }
    appendToValue(s, eval(s->x), rv);
}

// v = left & right on the general path, v being the statement's target.
void Interp::appendToValue(Node *s, const Value &left, const Value &right)
{
    Value v;
    try {
        v = binaryOp(*this, Op::Cat, left, right, false, false);
    } catch (ScriptException &e) {
        fillPosition(e, s);
        throw;
    }
    assign(s->x, std::move(v), false);
}

void Interp::execSelect(Node *s, Flow *flow)
{
    Value subject;
    try {
        subject = eval(s->x);
        if (subject.deref().isObject())
            subject = scalar(subject);
    } catch (ScriptException &e) {
        if (!trapHeader(*this, e, s))
            throw;
        // on with the next statement: the body of the first Case
        if (!s->a.empty())
            *flow = execBlock(s->a[0]->y);
        return;
    }
    for (Node *c : s->a) {
        if (c->flag == 1) {
            *flow = execBlock(c->y);
            return;
        }
        for (Node *e : c->a) {
            Value v = eval(e);
            if (v.deref().isObject())
                v = scalar(v);
            if (compareValues(subject, v, false, s->x->literal, e->literal) == 0) {
                *flow = execBlock(c->y);
                return;
            }
        }
    }
}

[[gnu::noinline]] Flow Interp::execFor(Node *s)
{
    auto num = [this](Node *n) {
        Value v = eval(n);
        Value r = v.deref().isObject() ? scalar(v) : Value(v.deref());
        if (r.isNull())
            throwError(err::InvalidUseOfNull);
        if (r.isString())
            r = Value::dbl(toDouble(r));
        if (r.isEmpty())
            r = Value::integer(0);
        return r;
    };
    Value from, to, step;
    try {
        from = num(s->a[0]);
        to = num(s->a[1]);
        step = s->a.size() > 2 ? num(s->a[2]) : Value::integer(1);
    } catch (ScriptException &e) {
        if (!trapHeader(*this, e, s))
            throw;
        return bodyOnce(execBlock(s->y));
    }
    Value *cv = varAddress(s->x);
    if (!cv)
        throwError(err::IllegalAssignment);
    if (from.isIntegral() && to.isIntegral() && step.isIntegral()) {
        const bool small = from.type() == VType::Integer && step.type() == VType::Integer;
        int64_t i = from.intValue();
        const int64_t limit = to.intValue(), st = step.intValue();
        for (;;) {
            *cv = small ? Value::fromInt64(i)
                        : (i >= INT32_MIN && i <= INT32_MAX ? Value::lng(int(i))
                                                            : Value::dbl(double(i)));
            if (st >= 0 ? i > limit : i < limit)
                break;
            const Flow f = runBlock(s->y);
            if (f == Flow::ExitFor)
                break;
            if (f != Flow::Normal)
                return f;
            checkInterrupt();
            if (cv->isIntegral())
                i = int64_t(cv->intValue()) + st;
            else
                i = int64_t(toDouble(scalar(*cv))) + st;
        }
        return Flow::Normal;
    }
    double i = toDouble(from);
    const double limit = toDouble(to), st = toDouble(step);
    const bool asDate = from.type() == VType::Date;
    for (;;) {
        *cv = asDate ? Value::date(i) : Value::dbl(i);
        if (st >= 0 ? i > limit : i < limit)
            break;
        const Flow f = execBlock(s->y);
        if (f == Flow::ExitFor)
            break;
        if (f != Flow::Normal)
            return f;
        checkInterrupt();
        i = toDouble(scalar(*cv)) + st;
    }
    return Flow::Normal;
}

Flow Interp::execForEach(Node *s)
{
    Value coll;
    try {
        coll = eval(s->a[0]);
        const Value &c = coll.deref();
        if (!c.isArray() && !c.obj())
            throwError(err::NotACollection);
    } catch (ScriptException &e) {
        if (!trapHeader(*this, e, s))
            throw;
        return bodyOnce(execBlock(s->y));
    }
    const Value &c = coll.deref();
    Value *cv = varAddress(s->x);
    if (!cv)
        throwError(err::IllegalAssignment);
    auto body = [&](const Value &item) {
        *cv = item;
        const Flow f = execBlock(s->y);
        checkInterrupt();
        return f;
    };
    if (c.isArray()) {
        Value hold = c; // the loop walks this copy; writes to the variable clone the array
        ArrayObj *a = hold.arr();
        // the first index varies fastest, as in the array's storage order of the language;
        // the elements are kept with the last index fastest, so walk them by strides
        const int dims = a->dims();
        std::vector<size_t> stride(size_t(dims), 1), index(size_t(dims), 0);
        for (int k = dims - 2; k >= 0; --k)
            stride[size_t(k)] = stride[size_t(k) + 1] * size_t(a->upper[size_t(k) + 1] + 1);
        size_t offset = 0;
        for (size_t i = 0; i < a->data.size(); ++i) {
            const Flow f = body(a->data[offset]);
            if (f == Flow::ExitFor)
                return Flow::Normal;
            if (f != Flow::Normal)
                return f;
            for (int k = 0; k < dims; ++k) {
                const size_t d = size_t(k);
                offset += stride[d];
                if (++index[d] <= size_t(a->upper[d]))
                    break;
                offset -= stride[d] * index[d];
                index[d] = 0;
            }
        }
        *cv = Value(); // a loop that ran to its end leaves the variable Empty
        return Flow::Normal;
    }
    Object *o = c.obj();
    std::vector<Value> items;
    try {
        if (!o || !o->enumerate(*this, items))
            throwError(err::NotACollection);
    } catch (ScriptException &e) {
        if (!trapHeader(*this, e, s))
            throw;
        return bodyOnce(execBlock(s->y));
    }
    for (const Value &item : items) {
        const Flow f = body(item);
        if (f == Flow::ExitFor)
            return Flow::Normal;
        if (f != Flow::Normal)
            return f;
    }
    *cv = Value();
    return Flow::Normal;
}

Flow Interp::execDo(Node *s)
{
    const auto k = LoopKind(s->flag);
    // a condition that fails under On Error Resume Next goes on with the next statement:
    // into the body before it, out of the loop after it
    auto test = [this, s](bool onError) {
        try {
            return condition(s->x);
        } catch (ScriptException &e) {
            if (!trapHeader(*this, e, s->x))
                throw;
            return onError;
        }
    };
    for (;;) {
        checkInterrupt();
        if (k == LoopKind::PreWhile && !test(true))
            break;
        if (k == LoopKind::PreUntil && test(false))
            break;
        const Flow f = execBlock(s->y);
        if (f == Flow::ExitDo)
            break;
        if (f != Flow::Normal)
            return f;
        if (k == LoopKind::PostWhile && !test(false))
            break;
        if (k == LoopKind::PostUntil && test(true))
            break;
    }
    return Flow::Normal;
}

std::vector<int> Interp::bounds(Node *item)
{
    std::vector<int> b;
    for (Node *n : item->a) {
        Value v = eval(n);
        b.push_back(toLong(scalar(v)));
        if (b.back() < -1)
            throwError(err::SubscriptOutOfRange);
    }
    return b;
}

void Interp::execDim(Node *s)
{
    for (Node *item : s->a) {
        if (!item->hasArgs)
            continue;
        Value *slot = varAddress(item);
        if (!slot)
            continue;
        std::vector<int> b = bounds(item);
        ArrayObj *a = ArrayObj::make(b, limits.maxArrayElements);
        a->fixed = !b.empty();
        *slot = Value::array(a);
    }
}

void Interp::execReDim(Node *s)
{
    const bool preserve = s->flag == 1;
    for (Node *item : s->a) {
        Value *slot = varAddress(item);
        if (!slot)
            throwError(err::IllegalAssignment);
        ArrayObj *old = slot->arr();
        if (!preserve && old && (old->fixed || old->locks)) // before the bounds are read
            throwError(err::ArrayLocked);
        std::vector<int> b = bounds(item);
        old = slot->arr();
        if (old && (old->fixed || old->locks))
            throwError(err::ArrayLocked);
        ArrayObj *a = ArrayObj::make(b, limits.maxArrayElements);
        Value fresh = Value::array(a);
        if (preserve && old && old->dims() > 0) {
            if (old->dims() != a->dims())
                throwError(err::SubscriptOutOfRange);
            for (int d = 0; d + 1 < a->dims(); ++d)
                if (old->upper[size_t(d)] != a->upper[size_t(d)])
                    throwError(err::SubscriptOutOfRange);
            if (a->dims() == 1) {
                const size_t n = std::min(old->data.size(), a->data.size());
                for (size_t i = 0; i < n; ++i)
                    a->data[i] = old->data[i];
            } else {
                const size_t oldLast = size_t(old->upper.back() + 1);
                const size_t newLast = size_t(a->upper.back() + 1);
                const size_t rows = newLast ? a->data.size() / newLast : 0;
                const size_t keepCols = std::min(oldLast, newLast);
                for (size_t r = 0; r < rows; ++r)
                    for (size_t c = 0; c < keepCols; ++c)
                        a->data[r * newLast + c] = old->data[r * oldLast + c];
            }
        }
        *slot = std::move(fresh);
    }
}

void Interp::execErase(Node *s)
{
    Value *slot = varAddress(s->x);
    if (!slot || !slot->isArray())
        throwError(err::TypeMismatch);
    ArrayObj *a = slot->arr();
    if (a->locks)
        throwError(err::ArrayLocked);
    if (a->fixed) {
        ArrayObj *c = ArrayObj::make(a->upper, limits.maxArrayElements);
        c->fixed = true;
        *slot = Value::array(c);
    } else {
        *slot = Value::array(ArrayObj::make({}, limits.maxArrayElements));
    }
}

} // namespace quillora::vbs
