// Statements, expressions and calls of the tree-walking interpreter.

#include "interp.h"

#include "convert.h"
#include "interp_private.h"
#include "objects.h"

#include <optional>

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

extern "C" void *__libc_stack_end; // the C library's mark near the top of the main stack

namespace quillora::vbs {

namespace {

size_t stackRoom(char *here)
{
    // The main thread's stack ends its limit below the top: pthread_getattr_np would find
    // that by reading the process's memory map, which costs more than a short script.
    rlimit limit;
    char *top = static_cast<char *>(__libc_stack_end);
    if (getpid() == gettid() && getrlimit(RLIMIT_STACK, &limit) == 0 &&
        limit.rlim_cur != RLIM_INFINITY && here < top && size_t(top - here) < limit.rlim_cur)
        return size_t(limit.rlim_cur) - size_t(top - here);
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

} // namespace

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

// A procedure's locals on the value stack: they let go of what they hold and the stack
// unwinds however the call ends, also when an argument fails before the call starts.
struct LocalsScope
{
    Interp &in;
    Value *locals;
    int n;
    ValueStack::Mark mark;
    LocalsScope(Interp &interp, int count) : in(interp), n(count)
    {
        locals = in.stack.push(n, &mark);
    }
    ~LocalsScope()
    {
        for (int i = 0; i < n; ++i)
            locals[i].clear();
        in.stack.pop(mark);
    }
};

ValueStack::ValueStack()
{
    chunks.push_back(Chunk{std::make_unique<Value[]>(1024), 1024});
    enterChunk(0);
    top = chunks[0].values.get();
}

void ValueStack::enterChunk(size_t index)
{
    chunk = index;
    limit = chunks[index].values.get() + chunks[index].size;
}

// The current chunk is full: the next one, when it is big enough, or a new one.
Value *ValueStack::pushNewChunk(int n)
{
    const size_t next = chunk + 1;
    if (next < chunks.size() && chunks[next].size < size_t(n))
        chunks.erase(chunks.begin() + qsizetype(next), chunks.end());
    if (next == chunks.size()) {
        const size_t size = std::max<size_t>(1024, size_t(n));
        chunks.push_back(Chunk{std::make_unique<Value[]>(size), size});
    }
    enterChunk(next);
    Value *p = chunks[next].values.get();
    top = p + n;
    return p;
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
    for (StrObj *c : characters)
        release(c);
}

Value Interp::character(char16_t c)
{
    if (c >= characters.size())
        return Value::str(QString(QChar(c)));
    StrObj *&shared = characters[c];
    if (!shared) {
        shared = new StrObj(QString(QChar(c)));
        shared->refs = 1;
    }
    return Value::sharedStr(shared);
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
    ++classGeneration;
}

void Interp::restoreClass(const QString &lower, ClassDef *previous)
{
    if (previous)
        classes.insert(lower, previous);
    else
        classes.remove(lower);
    ++classGeneration;
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
    ++classGeneration;
    units.clear();
    errState = ErrState();
    dying = false;
}

// The slow part of checkInterrupt: an interruption was asked for or steps are counted.
void Interp::countStep()
{
    if (interruptRequested.load(std::memory_order_relaxed) ||
        (limits.maxSteps && ++steps > limits.maxSteps)) {
        interruptRequested.store(false);
        throw ScriptException::runtime(err::Interrupted);
    }
}

void Interp::fillPosition(ScriptException &e, const Node *n) const
{
    // A run-time error is reported at the start of the statement that raised it, as the
    // language does: expression nodes leave the position to their statement.
    if (e.line >= 0 || !n || n->kind < NK::Block)
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
    errState.helpFile = e.helpFile;
    errState.helpContext = e.helpContext;
}

// ---- entry points

Value Interp::runUnit(Unit *u)
{
    Frame *outer = frame;
    std::vector<Value> args(size_t(u->top->nParams));
    if ((!u->captures.empty() || !u->namedCaptures.empty()) && outer) {
        // Execute in a procedure: bind the caller's names like ByRef parameters
        enterCall();
        LocalsScope ls(*this, u->top->nLocals);
        Value *locals = ls.locals;
        for (const auto &c : u->captures)
            locals[c.first] = Value::refTo(&outer->locals[c.second].deref());
        if (!u->namedCaptures.empty() && !outer->executeLocals)
            outer->executeLocals = std::make_unique<std::map<QString, Value>>();
        for (const auto &c : u->namedCaptures)
            locals[c.first] = Value::refTo(&(*outer->executeLocals)[c.second]);
        Frame f;
        f.locals = locals;
        f.proc = u->top;
        f.me = outer->me;
        f.inst = outer->inst;
        f.parent = frame;
        frame = &f;
        FrameScope scope{*this, f};
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

// Code run by Execute or Eval that defines no procedure or class is not needed afterwards;
// dropping it keeps a loop of Execute calls from growing memory.
void Interp::dropIfTransient(Unit *u)
{
    if (u->procs.size() > 1 || !u->classes.empty())
        return;
    for (auto it = units.end(); it != units.begin();) {
        --it;
        if (it->get() == u) {
            units.erase(it);
            return;
        }
    }
}

// A syntax error in the text of Execute, ExecuteGlobal or Eval is an error of the statement
// that runs it: On Error Resume Next traps it, and it is reported at that statement, with
// the number and source of the compilation error.
Unit *Interp::compileDynamic(const QString &text, Procedure *localScope, bool expression)
{
    try {
        return compile(text, localScope, expression);
    } catch (ScriptException &e) {
        e.compile = false;
        e.line = -1;
        e.column = -1;
        e.text.clear();
        throw;
    }
}

void Interp::execute(const QString &text, bool globalScope)
{
    Procedure *scope = nullptr;
    if (!globalScope && frame && frame->proc && !frame->proc->isTopLevel)
        scope = frame->proc;
    Unit *u = compileDynamic(text, scope, false);
    struct Drop
    {
        Interp &in;
        Unit *u;
        ~Drop() { in.dropIfTransient(u); }
    } drop{*this, u};
    runUnit(u);
}

Value Interp::evalText(const QString &text)
{
    Procedure *scope = nullptr;
    if (frame && frame->proc && !frame->proc->isTopLevel)
        scope = frame->proc;
    Unit *u = compileDynamic(text, scope, true);
    struct Drop
    {
        Interp &in;
        Unit *u;
        ~Drop() { in.dropIfTransient(u); }
    } drop{*this, u};
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

namespace {

// What GetRef returns: calling it, or its default member, calls the procedure.
class ProcedureRef : public Object
{
public:
    explicit ProcedureRef(Procedure *proc) : p(proc) {}
    QString typeName() const override { return QStringLiteral("Object"); }
    const void *dispatchKey() const override { return &p; }
    int findMember(const QString &) const override { return -1; }
    int defaultMember() const override { return 0; }
    Value invoke(Interp &in, int, Access access, Value *args, int argc, const Value *) override
    {
        if (access == Access::Let || access == Access::Set)
            throwError(err::IllegalAssignment);
        return in.callProcedure(p, args, argc);
    }

private:
    Procedure *p;
};

} // namespace

Value Interp::procedureRef(const QString &name)
{
    GlobalSlot *g = findGlobal(name.toLower());
    if (!g || !g->proc)
        throwError(err::InvalidCall);
    return Value::object(new ProcedureRef(g->proc));
}

Value Interp::invokeProc(Procedure *p, Object *me, Value *args, int argc)
{
    if (argc != p->nParams)
        throwError(err::WrongArgCount);
    Value meHold = me ? Value::object(me) : Value();
    LocalsScope ls(*this, p->nLocals);
    for (int i = 0; i < argc; ++i)
        ls.locals[i] = std::move(args[i]);
    return runProc(p, me, ls.locals);
}

Value *Interp::address(Node *n, std::vector<Value> *keep, std::vector<ArrayObj *> *locks)
{
    Value *base = nullptr;
    switch (n->kind) {
    case NK::Local:
    case NK::Global:
        base = varAddress(n);
        if (!base)
            return nullptr;
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
    Value meHold = me ? Value::object(me) : Value();
    // What ByRef arguments into array elements and fields hold for the call: the arrays stay
    // locked against ReDim and Erase, and Me alive. Made only when such an argument comes.
    struct Holds
    {
        std::vector<Value> keep;
        std::vector<ArrayObj *> locks;
        ~Holds()
        {
            for (ArrayObj *a : locks) {
                --a->locks;
                release(a);
            }
        }
    };
    std::unique_ptr<Holds> holds;
    // The arguments go straight into the callee's locals; calls made while they are
    // evaluated use the value stack above them and give it back.
    LocalsScope ls(*this, p->nLocals);
    Value *locals = ls.locals;
    Node *const *argNodes = site->a.data();
    const uint8_t *byRef = p->byRef.data();
    for (int k = 0; k < given; ++k) {
        Node *an = argNodes[k];
        // only variables and their elements pass by reference; literals and expressions
        // pass their value
        switch (an->kind) {
        case NK::Literal:
            if (an->lit.isMissing())
                throwError(err::WrongArgCount);
            locals[k].fill(Value(an->lit));
            continue;
        case NK::Local:
            if (!an->hasArgs) {
                Value &v = frame->locals[an->slot].deref();
                locals[k].fill(byRef[k] ? Value::refTo(&v) : Value(v));
                continue;
            }
            break;
        case NK::Global:
            if (!an->hasArgs && !an->g->proc) {
                Value &v = an->g->value;
                locals[k].fill(byRef[k] && !an->g->isConst ? Value::refTo(&v) : Value(v));
                continue;
            }
            break;
        default:
            if (an->intHeight) {
                if (const IntResult r = intTree(an); r.kind) {
                    locals[k].fill(r.value());
                    continue;
                }
            }
            break;
        }
        Value *addr = nullptr;
        const bool variable =
            an->kind == NK::Local || an->kind == NK::Global || an->kind == NK::Field;
        if (variable && byRef[k]) {
            if (!holds)
                holds = std::make_unique<Holds>();
            addr = address(an, &holds->keep, &holds->locks);
        }
        if (addr)
            locals[k].fill(Value::refTo(addr));
        else
            locals[k].fill(eval(an));
    }
    if (extra)
        locals[given] = *extra;
    return runProc(p, me, locals);
}

Value Interp::callClassMember(Object *o, ClassDef *cls, int member, Access access, Node *site,
                              const Value *rhs)
{
    const ClassMember &m = cls->members[size_t(member)];
    if (!canReach(m, o))
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
    if (!canReach(m, o))
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
                   : write                       ? (access == Access::Set ? m.set : m.let)
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
    scriptCls = c;
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

} // namespace quillora::vbs
