// Statements, expressions and calls of the tree-walking interpreter.

#include "interp.h"

#include "convert.h"
#include "objects.h"

#include <pthread.h>

namespace quillora::vbs {

namespace {

// Arguments of one call: on the C++ stack for the common short lists.
class ArgBuffer
{
public:
    explicit ArgBuffer(size_t n)
    {
        if (n > kInline) {
            heap.resize(n);
            ptr = heap.data();
        } else {
            ptr = inlineValues;
        }
    }
    Value *data() { return ptr; }
    Value &operator[](size_t i) { return ptr[i]; }

private:
    static constexpr size_t kInline = 6;
    Value inlineValues[kInline];
    std::vector<Value> heap;
    Value *ptr;
};

size_t stackRoom(char *here)
{
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0)
        return size_t(1) << 20;
    void *addr = nullptr;
    size_t size = 0;
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
    char *low = static_cast<char *>(addr);
    if (here <= low || size_t(here - low) > size)
        return size_t(1) << 20;
    return size_t(here - low);
}

struct PositionOnError
{
};

} // namespace

// Entry from outside the interpreter: records where the C++ stack starts, so deep script
// recursion ends with error 28 long before the real stack does.
struct EntryGuard
{
    Interp &in;
    bool outer;
    explicit EntryGuard(Interp &interp);
    ~EntryGuard() { --in.entryDepth; }
};

EntryGuard::EntryGuard(Interp &interp) : in(interp), outer(interp.entryDepth++ == 0)
{
    if (!outer)
        return;
    char here;
    in.stackBase = &here;
    const size_t room = stackRoom(&here);
    const size_t margin = size_t(1536) * 1024;
    in.stackBudget = room > 2 * margin ? room - margin : room / 2;
    in.steps = 0;
}

Value *ValueStack::push(int n, Mark *mark)
{
    mark->chunk = chunk;
    mark->used = used;
    if (n <= 0)
        return nullptr;
    for (;;) {
        if (chunk < chunks.size()) {
            Chunk &c = chunks[chunk];
            if (c.size - used >= size_t(n)) {
                Value *p = c.values.get() + used;
                used += size_t(n);
                return p;
            }
            if (chunk + 1 < chunks.size() && chunks[chunk + 1].size < size_t(n))
                chunks.erase(chunks.begin() + qsizetype(chunk) + 1, chunks.end());
            ++chunk;
            used = 0;
            continue;
        }
        const size_t size = std::max<size_t>(1024, size_t(n));
        chunks.push_back(Chunk{std::make_unique<Value[]>(size), size});
    }
}

Interp::Interp()
{
    // The bottom frame for code that runs outside any procedure (Run with no frame).
}

Interp::~Interp()
{
    dying = true;
    globals.clear();
    units.clear();
}

GlobalSlot *Interp::global(const QString &lower, const QString &written)
{
    GlobalSlot *g = globalIndex.value(lower);
    if (g)
        return g;
    globals.push_back(std::make_unique<GlobalSlot>());
    g = globals.back().get();
    g->name = written;
    globalIndex.insert(lower, g);
    return g;
}

void Interp::registerClass(ClassDef *cls)
{
    classes.insert(cls->name.toLower(), cls);
}

void Interp::addHostObject(const QString &name, const Value &object)
{
    GlobalSlot *g = global(name.toLower(), name);
    g->value = object;
    g->declared = true;
    g->hostObject = true;
    g->isConst = true;
}

void Interp::reset()
{
    if (entryDepth > 0)
        return; // never from inside a running script
    {
        EntryGuard guard(*this);
        for (auto &g : globals)
            if (!g->hostObject)
                g->value = Value();
    }
    dying = true;
    std::vector<std::unique_ptr<GlobalSlot>> keep;
    for (auto &g : globals)
        if (g->hostObject)
            keep.push_back(std::move(g));
    globals.clear();
    globalIndex.clear();
    for (auto &g : keep) {
        globalIndex.insert(g->name.toLower(), g.get());
        globals.push_back(std::move(g));
    }
    classes.clear();
    units.clear();
    errState = ErrState();
    dying = false;
}

void Interp::checkInterrupt()
{
    if (interruptRequested.load(std::memory_order_relaxed) ||
        (limits.maxSteps && ++steps > limits.maxSteps)) {
        interruptRequested.store(false);
        throw ScriptException::runtime(err::Interrupted);
    }
}

void Interp::enterCall()
{
    char here;
    if (callDepth >= limits.maxCallDepth ||
        (stackBase && size_t(stackBase - &here) > stackBudget))
        throwError(err::OutOfStack);
    ++callDepth;
}

void Interp::fillPosition(ScriptException &e, const Node *n) const
{
    if (e.line >= 0 || !n)
        return;
    e.line = n->line;
    e.column = n->col;
    if (frame && frame->proc && frame->proc->unit) {
        const QStringList &lines = frame->proc->unit->lines;
        if (e.line >= 1 && e.line <= lines.size())
            e.text = lines[e.line - 1];
    }
}

void Interp::setErr(const ScriptException &e)
{
    errState.number = e.number;
    errState.description = e.description;
    errState.source = e.source;
}

ClassInstance *Interp::meInstance() const
{
    return static_cast<ClassInstance *>(frame->me);
}

// ---- entry points

Value Interp::runUnit(Unit *u)
{
    Frame *outer = frame;
    std::vector<Value> args(size_t(u->top->nParams));
    if (!u->captures.empty() && outer) {
        // Execute in a procedure: bind the caller's names like ByRef parameters
        ValueStack::Mark mark;
        enterCall();
        Value *locals = stack.push(u->top->nLocals, &mark);
        for (const auto &c : u->captures)
            locals[c.first] = Value::refTo(&outer->locals[c.second].deref());
        Frame f;
        f.locals = locals;
        f.proc = u->top;
        f.me = outer->me;
        f.parent = frame;
        frame = &f;
        struct Cleanup
        {
            Interp &in;
            Frame &f;
            ValueStack::Mark mark;
            ~Cleanup()
            {
                in.frame = f.parent;
                for (int i = 0; i < f.proc->nLocals; ++i)
                    f.locals[i] = Value();
                in.stack.pop(mark);
                --in.callDepth;
            }
        } cleanup{*this, f, mark};
        execBlock(u->top->body);
        return u->top->resultSlot >= 0 ? locals[u->top->resultSlot] : Value();
    }
    Object *me = (outer && u->top->cls) ? outer->me : nullptr;
    return invokeProc(u->top, me, args.data(), 0);
}

void Interp::addCode(const QString &text)
{
    EntryGuard guard(*this);
    interruptRequested.store(false);
    Unit *u = compile(text, nullptr, false);
    runUnit(u);
}

void Interp::execute(const QString &text, bool globalScope)
{
    Procedure *scope = nullptr;
    if (!globalScope && frame && frame->proc && !frame->proc->isTopLevel)
        scope = frame->proc;
    Unit *u = compile(text, scope, false);
    runUnit(u);
}

Value Interp::evalText(const QString &text)
{
    Procedure *scope = nullptr;
    if (frame && frame->proc && !frame->proc->isTopLevel)
        scope = frame->proc;
    Unit *u = compile(text, scope, true);
    return runUnit(u);
}

Value Interp::callByName(const QString &name, std::vector<Value> args)
{
    EntryGuard guard(*this);
    interruptRequested.store(false);
    GlobalSlot *g = findGlobal(name.toLower());
    if (!g || !g->proc)
        throwError(err::SubNotDefined);
    return invokeProc(g->proc, nullptr, args.data(), int(args.size()));
}

// ---- calls

Value Interp::invokeProc(Procedure *p, Object *me, Value *args, int argc)
{
    if (argc != p->nParams)
        throwError(err::WrongArgCount);
    enterCall();
    ValueStack::Mark mark;
    Value *locals = stack.push(p->nLocals, &mark);
    for (int i = 0; i < argc; ++i)
        locals[i] = std::move(args[i]);
    Frame f;
    f.locals = locals;
    f.proc = p;
    f.me = me;
    f.parent = frame;
    Value meHold = me ? Value::object(me) : Value();
    frame = &f;
    struct Cleanup
    {
        Interp &in;
        Frame &f;
        ValueStack::Mark mark;
        ~Cleanup()
        {
            in.frame = f.parent;
            for (int i = 0; i < f.proc->nLocals; ++i)
                f.locals[i] = Value();
            in.stack.pop(mark);
            --in.callDepth;
        }
    } cleanup{*this, f, mark};
    execBlock(p->body);
    if (p->resultSlot >= 0)
        return std::move(locals[p->resultSlot]);
    return Value();
}

Value *Interp::address(Node *n, std::vector<Value> *keep, std::vector<ArrayObj *> *locks)
{
    Value *base = nullptr;
    switch (n->kind) {
    case NK::Local:
        base = &frame->locals[n->slot].deref();
        break;
    case NK::Global:
        if (n->g->proc || n->g->isConst)
            return nullptr;
        base = &n->g->value;
        break;
    case NK::Field:
        keep->push_back(Value::object(frame->me));
        base = &meInstance()->fields[size_t(n->slot)];
        break;
    default:
        return nullptr;
    }
    if (!n->hasArgs)
        return base;
    if (!base->isArray())
        return nullptr;
    Value *e = elementAddress(*base, n, true);
    ArrayObj *a = base->arr();
    retain(a);
    ++a->locks;
    locks->push_back(a);
    return e;
}

Value Interp::callProc(Procedure *p, Object *me, Node *site, const Value *extra)
{
    const int given = int(site->a.size());
    const int argc = given + (extra ? 1 : 0);
    if (argc != p->nParams)
        throwError(err::WrongArgCount);
    ArgBuffer args{size_t(argc)};
    std::vector<Value> keep;
    std::vector<ArrayObj *> locks;
    struct Unlock
    {
        std::vector<ArrayObj *> &locks;
        ~Unlock()
        {
            for (ArrayObj *a : locks) {
                --a->locks;
                release(a);
            }
        }
    } unlock{locks};
    for (int k = 0; k < given; ++k) {
        Node *an = site->a[size_t(k)];
        if (an->kind == NK::Literal && an->lit.isMissing())
            throwError(err::WrongArgCount);
        Value *addr = p->byRef[size_t(k)] ? address(an, &keep, &locks) : nullptr;
        if (addr)
            args[size_t(k)] = Value::refTo(addr);
        else
            args[size_t(k)] = eval(an);
    }
    if (extra)
        args[size_t(given)] = *extra;
    return invokeProc(p, me, args.data(), argc);
}

Value Interp::callClassMember(Object *o, ClassDef *cls, int member, Access access, Node *site,
                              const Value *rhs)
{
    const ClassMember &m = cls->members[size_t(member)];
    if (!m.isPublic && (!frame || frame->me != o))
        throwError(err::NoSuchMember);
    auto *inst = static_cast<ClassInstance *>(o);
    const bool write = access == Access::Let || access == Access::Set;
    switch (m.kind) {
    case ClassMember::Field: {
        Value hold = Value::object(o);
        Value &f = inst->fields[size_t(m.field)];
        if (write) {
            if (site->a.empty())
                store(f, *rhs, access == Access::Set);
            else if (f.isArray())
                store(*elementAddress(f, site, true), *rhs, access == Access::Set);
            else
                throwError(err::TypeMismatch);
            return Value();
        }
        if (site->a.empty())
            return f;
        return evalNameArgs(f, site);
    }
    case ClassMember::Method:
        if (write)
            throwError(err::IllegalAssignment);
        return callProc(m.method, o, site, nullptr);
    case ClassMember::Property:
    default:
        if (write) {
            Procedure *p = access == Access::Set ? m.set : m.let;
            if (!p)
                throwError(err::NoSuchMember);
            return callProc(p, o, site, rhs);
        }
        if (!m.get)
            throwError(err::NoSuchMember);
        return callProc(m.get, o, site, nullptr);
    }
}

Value Interp::invokeMember(Object *o, int member, Access access, Value *args, int argc,
                           const Value *rhs)
{
    ClassDef *cls = o->scriptClass();
    if (!cls)
        return o->invoke(*this, member, access, args, argc, rhs);
    const ClassMember &m = cls->members[size_t(member)];
    auto *inst = static_cast<ClassInstance *>(o);
    const bool write = access == Access::Let || access == Access::Set;
    if (!m.isPublic && (!frame || frame->me != o))
        throwError(err::NoSuchMember);
    if (m.kind == ClassMember::Field) {
        if (argc)
            throwError(err::WrongArgCount);
        if (write) {
            store(inst->fields[size_t(m.field)], *rhs, access == Access::Set);
            return Value();
        }
        return inst->fields[size_t(m.field)];
    }
    Procedure *p = m.kind == ClassMember::Method ? m.method
                   : write ? (access == Access::Set ? m.set : m.let)
                           : m.get;
    if (!p)
        throwError(err::NoSuchMember);
    std::vector<Value> all(args, args + argc);
    if (write)
        all.push_back(*rhs);
    return invokeProc(p, o, all.data(), int(all.size()));
}

Value Interp::scalar(const Value &vin)
{
    const Value &v = vin.deref();
    if (!v.isObject())
        return v;
    Object *o = v.obj();
    if (!o)
        throwError(err::ObjectNotSet);
    const int id = o->defaultMember();
    if (id < 0)
        throwError(err::NoSuchMember);
    Value hold = v;
    Value r = invokeMember(o, id, Access::Get, nullptr, 0, nullptr);
    if (r.deref().isObject())
        return scalar(r);
    return r;
}

Value Interp::createClassInstance(ClassDef *cls)
{
    auto *inst = new ClassInstance(this, cls);
    Value hold = Value::object(inst);
    for (const auto &fa : cls->fieldArrays) {
        std::vector<int> bounds;
        for (Node *b : fa.second->a)
            bounds.push_back(toLong(scalar(eval(b))));
        ArrayObj *a = ArrayObj::make(bounds, limits.maxArrayElements);
        a->fixed = !bounds.empty();
        inst->fields[size_t(fa.first)] = Value::array(a);
    }
    if (cls->init)
        invokeProc(cls->init, inst, nullptr, 0);
    return hold;
}

bool Interp::finalizeInstance(ClassInstance *inst)
{
    if (inst->terminated || dying || !inst->cls->term)
        return true;
    inst->terminated = true;
    inst->refs = 1;
    try {
        EntryGuard guard(*this);
        invokeProc(inst->cls->term, inst, nullptr, 0);
    } catch (...) {
        // an error in Class_Terminate has nowhere to go
    }
    return --inst->refs == 0;
}

ClassInstance::ClassInstance(Interp *in, ClassDef *c) : interp(in), cls(c)
{
    fields.resize(size_t(c->nFields));
}

QString ClassInstance::typeName() const
{
    return cls->name;
}

int ClassInstance::findMember(const QString &lowerName) const
{
    return cls->memberIndex.value(lowerName, -1);
}

int ClassInstance::defaultMember() const
{
    return cls->defaultMember;
}

Value ClassInstance::invoke(Interp &in, int member, Access access, Value *args, int argc,
                            const Value *rhs)
{
    return in.invokeMember(this, member, access, args, argc, rhs);
}

// ---- statements

Flow Interp::execBlock(Node *block)
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

bool Interp::condition(Node *n)
{
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

Value *Interp::varAddress(Node *n)
{
    switch (n->kind) {
    case NK::Local:
        return &frame->locals[n->slot].deref();
    case NK::Global:
        if (n->g->proc || n->g->isConst)
            return nullptr;
        return &n->g->value;
    case NK::Field:
        return &meInstance()->fields[size_t(n->slot)];
    default:
        return nullptr;
    }
}

void Interp::assign(Node *t, Value v, bool isSet)
{
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
            ArgBuffer args(t->a.size());
            for (size_t i = 0; i < t->a.size(); ++i)
                args[i] = eval(t->a[i]);
            Value &val = v.deref();
            invokeMember(o, id, isSet ? Access::Set : Access::Let, args.data(), int(t->a.size()),
                         &val);
            return;
        }
        throwError(err::TypeMismatch);
    }
    case NK::ClassProc: {
        Value &val = v.deref();
        if (!isSet && val.isObject())
            val = scalar(val);
        callClassMember(frame->me, meInstance()->cls, t->slot, isSet ? Access::Set : Access::Let,
                        t, &val);
        return;
    }
    case NK::Member: {
        Value &val = v.deref();
        if (isSet && !val.isObject())
            throwError(err::ObjectRequired);
        if (!isSet && val.isObject())
            val = scalar(val);
        evalMember(t, isSet ? Access::Set : Access::Let, &val);
        return;
    }
    case NK::Undefined:
        throwError(err::VariableUndefined);
    default:
        throwError(err::IllegalAssignment);
    }
}

Flow Interp::exec(Node *s)
{
    switch (s->kind) {
    case NK::Assign: {
        Value v = eval(s->y);
        if (s->flag == 1) {
            *varAddress(s->x) = std::move(v.deref());
            return Flow::Normal;
        }
        assign(s->x, std::move(v), false);
        return Flow::Normal;
    }
    case NK::SetAssign:
        assign(s->x, eval(s->y), true);
        return Flow::Normal;
    case NK::AppendAssign:
        execAppend(s);
        return Flow::Normal;
    case NK::CallStmt: {
        Node *c = s->x;
        switch (c->kind) {
        case NK::Member:
            evalMember(c, Access::Call, nullptr);
            break;
        case NK::Global:
            if (!c->g->proc && !(c->hasArgs && c->g->value.isArray())) {
                if (c->g->value.isObject() && c->g->value.obj()) {
                    Value hold = c->g->value;
                    Object *o = hold.obj();
                    const int id = o->defaultMember();
                    if (id < 0)
                        throwError(err::NoSuchMember);
                    ArgBuffer args(c->a.size());
                    for (size_t i = 0; i < c->a.size(); ++i)
                        args[i] = eval(c->a[i]);
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
        default:
            eval(c);
        }
        return Flow::Normal;
    }
    case NK::If: {
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
    case NK::Select: {
        Flow f = Flow::Normal;
        execSelect(s, &f);
        return f;
    }
    case NK::For:
        return execFor(s);
    case NK::ForEach:
        return execForEach(s);
    case NK::DoLoop:
        return execDo(s);
    case NK::Exit:
        return s->flag == uint8_t(ExitKind::Do)    ? Flow::ExitDo
               : s->flag == uint8_t(ExitKind::For) ? Flow::ExitFor
                                                   : Flow::ExitProc;
    case NK::With: {
        Value obj = eval(s->x);
        if (!obj.deref().isObject())
            throwError(err::ObjectRequired);
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

void Interp::execAppend(Node *s)
{
    Value r = eval(s->y);
    const Value &rv = r.deref();
    Value *slot = varAddress(s->x);
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
    Value l = eval(s->x);
    Value v;
    try {
        v = binaryOp(*this, Op::Cat, l, rv, false, false);
    } catch (ScriptException &e) {
        fillPosition(e, s);
        throw;
    }
    assign(s->x, std::move(v), false);
}

void Interp::execSelect(Node *s, Flow *flow)
{
    Value subject = eval(s->x);
    if (subject.deref().isObject())
        subject = scalar(subject);
    for (Node *c : s->a) {
        if (c->flag == 1) {
            *flow = execBlock(c->y);
            return;
        }
        for (Node *e : c->a) {
            Value v = eval(e);
            if (v.deref().isObject())
                v = scalar(v);
            if (compareValues(subject, v, false, s->x->literalString, e->literalString) == 0) {
                *flow = execBlock(c->y);
                return;
            }
        }
    }
}

Flow Interp::execFor(Node *s)
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
    Value from = num(s->a[0]);
    Value to = num(s->a[1]);
    Value step = s->a.size() > 2 ? num(s->a[2]) : Value::integer(1);
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
            const Flow f = execBlock(s->y);
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
    Value coll = eval(s->a[0]);
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
        for (size_t i = 0; i < a->data.size(); ++i) {
            const Flow f = body(a->data[i]);
            if (f == Flow::ExitFor)
                break;
            if (f != Flow::Normal)
                return f;
        }
        return Flow::Normal;
    }
    Object *o = c.obj();
    std::vector<Value> items;
    if (!o || !o->enumerate(*this, items))
        throwError(err::NotACollection);
    for (const Value &item : items) {
        const Flow f = body(item);
        if (f == Flow::ExitFor)
            break;
        if (f != Flow::Normal)
            return f;
    }
    return Flow::Normal;
}

Flow Interp::execDo(Node *s)
{
    const auto k = LoopKind(s->flag);
    for (;;) {
        checkInterrupt();
        if (k == LoopKind::PreWhile && !condition(s->x))
            break;
        if (k == LoopKind::PreUntil && condition(s->x))
            break;
        const Flow f = execBlock(s->y);
        if (f == Flow::ExitDo)
            break;
        if (f != Flow::Normal)
            return f;
        if (k == LoopKind::PostWhile && !condition(s->x))
            break;
        if (k == LoopKind::PostUntil && condition(s->x))
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
        std::vector<int> b = bounds(item);
        ArrayObj *old = slot->arr();
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
        ArgBuffer args(n->a.size());
        for (size_t i = 0; i < n->a.size(); ++i)
            args[i] = eval(n->a[i]);
        return invokeMember(o, id, Access::Get, args.data(), int(n->a.size()), nullptr);
    }
    if (n->a.empty())
        return v;
    throwError(err::TypeMismatch);
}

Value Interp::evalMember(Node *n, Access access, const Value *rhs)
{
    Value base = n->x->kind == NK::WithObj ? frame->locals[n->x->slot] : eval(n->x);
    Value &bv = base.deref();
    try {
        if (bv.isArray() && n->flag == 1) {
            if (access == Access::Let || access == Access::Set)
                throwError(err::IllegalAssignment);
            return *elementAddress(bv, n, false);
        }
        Object *o = bv.obj();
        if (!o)
            throwError(err::ObjectRequired);
        int id;
        if (n->flag == 1) {
            id = o->defaultMember();
        } else if (n->cacheKey == o->dispatchKey()) {
            id = n->cacheId;
        } else {
            id = o->findMember(n->name);
            n->cacheKey = o->dispatchKey();
            n->cacheId = id;
        }
        if (id < 0)
            throwError(err::NoSuchMember);
        if (ClassDef *cls = o->scriptClass())
            return callClassMember(o, cls, id, access, n, rhs);
        ArgBuffer args(n->a.size());
        for (size_t i = 0; i < n->a.size(); ++i)
            args[i] = eval(n->a[i]);
        return o->invoke(*this, id, access, args.data(), int(n->a.size()), rhs);
    } catch (ScriptException &e) {
        fillPosition(e, n);
        throw;
    }
}

Value Interp::evalBuiltin(Node *n)
{
    const Builtin *b = n->bi;
    const int argc = int(n->a.size());
    try {
        if (argc < b->minArgs || argc > b->maxArgs)
            throwError(err::WrongArgCount);
        ArgBuffer args{size_t(argc)};
        for (int i = 0; i < argc; ++i)
            args[size_t(i)] = eval(n->a[size_t(i)]);
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
        if (ClassDef *c = findClass(n->name))
            return createClassInstance(c);
        if (n->name == u"regexp")
            return Value::object(newRegExp());
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

Value Interp::eval(Node *n)
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
            return callClassMember(frame->me, meInstance()->cls, n->slot, Access::Get, n,
                                   nullptr);
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
    case NK::Binary: {
        checkStack();
        Value a = eval(n->x);
        Value b = eval(n->y);
        if (smallInts(a, b)) {
            const int64_t x = a.intValue(), y = b.intValue();
            const bool bothInteger = a.type() == VType::Integer && b.type() == VType::Integer;
            auto fit = [bothInteger](int64_t r) {
                if (bothInteger && r >= -32768 && r <= 32767)
                    return Value::integer(int(r));
                if (r >= INT32_MIN && r <= INT32_MAX)
                    return Value::lng(int(r));
                return Value::dbl(double(r));
            };
            switch (n->op) {
            case Op::Add:
                return fit(x + y);
            case Op::Sub:
                return fit(x - y);
            case Op::Mul:
                return fit(x * y);
            case Op::Mod:
                if (y != 0)
                    return fit(x % y);
                break;
            case Op::IDiv:
                if (y != 0)
                    return fit(x / y);
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
        }
        try {
            return binaryOp(*this, n->op, a, b, n->x->literalString, n->y->literalString);
        } catch (ScriptException &e) {
            fillPosition(e, n);
            throw;
        }
    }
    default:
        throwError(err::SyntaxError);
    }
}

// ---- Args

Value Args::scalar(int i) const
{
    if (i >= n || v[i].isMissing())
        return Value();
    return in.scalar(v[i]);
}
QString Args::str(int i) const
{
    return toStr(scalar(i));
}
double Args::num(int i) const
{
    return toDouble(scalar(i));
}
int Args::lng(int i) const
{
    return toLong(scalar(i));
}
int Args::integer(int i) const
{
    return toInteger(scalar(i));
}
bool Args::boolean(int i) const
{
    return toBool(scalar(i));
}
bool Args::isNull(int i) const
{
    return i < n && v[i].deref().isNull();
}

} // namespace quillora::vbs
