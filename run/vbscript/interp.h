#pragma once
// The tree-walking interpreter: globals, frames, statements, expressions, calls.

#include "ast.h"
#include "errors.h"
#include "object.h"

#include <QHash>

#include <array>
#include <atomic>
#include <map>
#include <memory>

namespace quillora {
class ScriptHost;
}

namespace quillora::vbs {

class ClassInstance;

enum class Flow : uint8_t
{
    Normal,
    ExitDo,
    ExitFor,
    ExitProc
};

struct Frame
{
    Value *locals = nullptr;
    Procedure *proc = nullptr;
    Object *me = nullptr;
    ClassInstance *inst = nullptr; // Me when it is an instance of a script class
    bool resumeNext = false;
    Frame *parent = nullptr;
    // variables that code run by Execute created in this procedure; nodes never move
    std::unique_ptr<std::map<QString, Value>> executeLocals;
};

// Locals live in chunks that never move, so ByRef bindings into a caller's frame stay valid.
class ValueStack
{
public:
    ValueStack();
    struct Mark
    {
        size_t chunk = 0;
        Value *top = nullptr;
    };
    Value *push(int n, Mark *mark)
    {
        mark->chunk = chunk;
        mark->top = top;
        if (limit - top >= n) {
            Value *p = top;
            top += n;
            return p;
        }
        return pushNewChunk(n);
    }
    void pop(const Mark &mark)
    {
        if (mark.chunk != chunk)
            enterChunk(mark.chunk);
        top = mark.top;
    }

private:
    Value *pushNewChunk(int n);
    void enterChunk(size_t index);
    struct Chunk
    {
        std::unique_ptr<Value[]> values;
        size_t size = 0;
    };
    std::vector<Chunk> chunks;
    size_t chunk = 0; // the chunk top and limit are in
    Value *top = nullptr;
    Value *limit = nullptr;
};

struct Limits
{
    int maxCallDepth = 2000;
    size_t maxArrayElements = size_t(1) << 24;
    qsizetype maxStringLength = qsizetype(1) << 26;
    long long maxSteps = 0; // statements and loop rounds; 0 for no limit
    bool allowFileSystem = true;
};

// Arguments of a built-in function, with conversions that first take an object's default
// value.
class Args
{
public:
    Args(Interp &interp, Value *values, int count) : in(interp), v(values), n(count) {}
    Interp &in;
    Value *v;
    int n;
    std::array<QString, 2> held; // text() of arguments that are not strings

    bool has(int i) const { return i < n && !v[i].isMissing(); }
    Value &operator[](int i) { return v[i]; }
    Value scalar(int i) const;
    QString str(int i) const;
    // The text of argument 0 or 1 without a copy while it is a string; valid while the
    // arguments are
    const QString &text(int i)
    {
        if (i < n && v[i].deref().isString())
            return v[i].deref().strRef();
        return convertedText(i);
    }
    double num(int i) const;
    int lng(int i) const
    {
        if (i < n) {
            const Value &a = v[i].deref();
            if (a.type() == VType::Integer || a.type() == VType::Long)
                return a.intValue();
        }
        return toLong(i);
    }
    int integer(int i) const;
    bool boolean(int i) const;
    bool isNull(int i) const { return i < n && v[i].deref().isNull(); }

private:
    const QString &convertedText(int i);
    int toLong(int i) const;
};

struct Builtin
{
    const char *name;
    int minArgs;
    int maxArgs;
    Value (*fn)(Args &);
};

const Builtin *findBuiltin(const QString &lowerName);

// How a built-in may be used, kept in the flag of its node.
enum BuiltinUse : uint8_t
{
    PlainBuiltin,
    // a numeric or date conversion: discarding its result (Call CInt(1)) raises 458
    ConversionBuiltin,
    // Randomize: a statement that gives no value; used as one it raises 13
    NoValueBuiltin,
};
uint8_t builtinUse(const QString &lowerName);
bool findConstant(const QString &lowerName, Value *out);

// An Integer, Long or comparison computed in registers; kind None when an operand is of
// another type.
struct IntResult
{
    enum Kind : int32_t
    {
        None,
        Integer,
        Long,
        Boolean
    };
    int32_t v = 0;
    Kind kind = None;
    Value value() const
    {
        return kind == Integer ? Value::integer(v)
               : kind == Long  ? Value::lng(v)
                               : Value::boolean(v);
    }
};

class Interp
{
public:
    Interp();
    ~Interp();

    // Compiles the text and runs its top-level code. Throws ScriptException.
    void addCode(const QString &text);
    Value callByName(const QString &name, std::vector<Value> args);
    void reset();
    void addHostObject(const QString &name, const Value &object);

    // Dynamic code: Execute runs in the current scope, ExecuteGlobal at global scope.
    void execute(const QString &text, bool global);
    Value evalText(const QString &text);

    // The error of the Err object.
    struct ErrState
    {
        int number = 0;
        QString description;
        QString source;
        QString helpFile;
        int helpContext = 0;
    } errState;
    void setErr(const ScriptException &e);
    void clearErr() { errState = ErrState(); }
    Value errObject();

    // Object operations used by built-ins and native objects.
    Value scalar(const Value &v); // an object's default value; 438 when it has none
    Value invokeMember(Object *o, int member, Access access, Value *args, int argc,
                       const Value *rhs);
    Value createClassInstance(ClassDef *cls);
    // GetRef: an object whose default member calls the named procedure; raises 5.
    Value procedureRef(const QString &name);
    Value callProcedure(Procedure *p, Value *args, int argc)
    {
        return invokeProc(p, nullptr, args, argc);
    }
    Object *createObject(const QString &progId); // CreateObject; raises 429
    // A one-character string; those of the first 256 characters are made once and shared.
    Value character(char16_t c);
    bool finalizeInstance(ClassInstance *inst); // runs Class_Terminate

    ScriptHost *host = nullptr;
    std::atomic<bool> interruptRequested{false};
    Limits limits;
    uint32_t rndSeed = 0x50000;
    bool dying = false;
    QString lastCompileText;
    void checkInterrupt()
    {
        if (interruptRequested.load(std::memory_order_relaxed) || limits.maxSteps)
            countStep();
    }
    // Long operator chains nest deeply in the tree: stop with error 28 before the stack ends.
    void checkStack()
    {
        char here;
        if (stackBase && size_t(stackBase - &here) > stackBudget)
            throwError(err::OutOfStack);
    }

    GlobalSlot *findGlobal(const QString &lower) const { return globalIndex.value(lower); }
    GlobalSlot *global(const QString &lower, const QString &written);
    ClassDef *findClass(const QString &lower) const { return classes.value(lower); }
    void registerClass(ClassDef *cls);
    void restoreClass(const QString &lower, ClassDef *previous);
    Frame *currentFrame() const { return frame; }
    void fillPosition(ScriptException &e, const Node *n) const;
    [[noreturn]] void raise(int number) { throwError(number); }

private:
    friend class Resolver;
    friend struct EntryGuard;
    friend struct FrameScope;
    friend struct LocalsScope;
    Unit *compile(const QString &text, Procedure *localScope, bool expression);
    Unit *compileDynamic(const QString &text, Procedure *localScope, bool expression);
    Unit *compileUnit(const QString &text, Procedure *localScope, bool expression);
    Value runUnit(Unit *u);
    void dropIfTransient(Unit *u);

    Flow execBlock(Node *block);
    Flow runBlock(Node *block);
    Flow exec(Node *s);
    Flow execOther(Node *s);
    void execAssign(Node *s);
    void execCall(Node *c);
    Flow execIf(Node *s);
    Flow execFor(Node *s);
    Flow execForEach(Node *s);
    Flow execDo(Node *s);
    void execSelect(Node *s, Flow *flow);
    void execDim(Node *s);
    void execReDim(Node *s);
    void execErase(Node *s);
    void execAppend(Node *s);
    void appendToValue(Node *s, const Value &left, const Value &right);

public:
    Value eval(Node *n);
    bool condition(Node *n);
    // A tree of Integer arithmetic (Node::intHeight) computed in registers. Kind None,
    // having run no code and changed nothing, when an operand is not an Integer or Long, a
    // divisor is 0 or a result leaves Long: the general path then does the work and raises
    // the error.
    IntResult intTree(const Node *n) const;
    // The value of a literal or a plain variable, read in place; null for other nodes.
    const Value *leaf(const Node *n) const;

private:
    Value evalChecked(Node *n); // eval, with the node's position put on an error
    Value evalNameArgs(Value &v, Node *n);
    Value evalMember(Node *n, Access access, const Value *rhs);
    Value evalBuiltin(Node *n, bool statement = false);
    Value evalNew(Node *n);
    Value evalBinary(Node *n);
    Value binaryOther(Node *n, Value *made, const Value &a, const Value &b);
    Value evalOther(Node *n);
    Value callProc(Procedure *p, Object *me, Node *site, const Value *extra);
    Value callClassMember(Object *o, ClassDef *cls, int member, Access access, Node *site,
                          const Value *rhs);
    Value invokeProc(Procedure *p, Object *me, Value *args, int argc);
    Value runProc(Procedure *p, Object *me, Value *locals);
    Value *address(Node *n, std::vector<Value> *keep, std::vector<ArrayObj *> *locks);
    Value *elementAddress(Value &arrayValue, Node *n, bool forWrite);
    void assign(Node *target, Value v, bool isSet);
    Value *varAddress(Node *n);
    std::vector<int> bounds(Node *item);
    void store(Value &slot, Value v, bool isSet);
    Object *meObject() const { return frame ? frame->me : nullptr; }
    // A private member is reached only from code of the same instance.
    bool canReach(const ClassMember &m, const Object *o) const
    {
        return m.isPublic || (frame && frame->me == o);
    }
    // Field and member nodes run only in methods, where Me is an instance of their class;
    // a class field's array bounds are the exception, evaluated before any method runs.
    ClassInstance *meInstance() const
    {
        if (frame && frame->inst) [[likely]]
            return frame->inst;
        throwError(err::ObjectRequired);
    }
    void enterCall()
    {
        char here;
        if (callDepth >= limits.maxCallDepth ||
            (stackBase && size_t(stackBase - &here) > stackBudget))
            throwError(err::OutOfStack);
        ++callDepth;
    }
    void countStep();

    std::vector<std::unique_ptr<Unit>> units;
    std::vector<std::unique_ptr<GlobalSlot>> globals;
    QHash<QString, GlobalSlot *> globalIndex;
    QHash<QString, ClassDef *> classes;
    int classGeneration = 0; // changes with every change of `classes`
    ValueStack stack;
    Frame *frame = nullptr;
    int callDepth = 0;
    int entryDepth = 0;
    long long steps = 0;
    char *stackBase = nullptr;
    Value errObj;
    size_t stackBudget = 0;
    std::array<StrObj *, 256> characters{}; // each holds a reference
};

// Instance of a script class.
class ClassInstance : public Object
{
public:
    ClassInstance(Interp *interp, ClassDef *cls);
    QString typeName() const override;
    const void *dispatchKey() const override { return cls; }
    int findMember(const QString &lowerName) const override;
    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *rhs) override;
    int defaultMember() const override;
    bool finalize() override { return interp->finalizeInstance(this); }

    Interp *interp;
    ClassDef *cls;
    std::vector<Value> fields;
    bool terminated = false;
};

// Where a plain variable's value lives; nullptr for a procedure or a constant, which have
// no slot to write to.
inline Value *Interp::varAddress(Node *n)
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

// The value of a literal or a plain variable without copying it; null for anything else.
inline const Value *Interp::leaf(const Node *n) const
{
    switch (n->kind) {
    case NK::Literal:
        return &n->lit;
    case NK::Local:
        return n->hasArgs ? nullptr : &frame->locals[n->slot].deref();
    case NK::Global:
        return n->hasArgs || n->g->proc ? nullptr : &n->g->value;
    case NK::Field:
        return n->hasArgs || !frame || !frame->inst ? nullptr
                                                    : &frame->inst->fields[size_t(n->slot)];
    default:
        return nullptr;
    }
}

// Comparison and arithmetic (operators.cpp).
Value binaryOp(Interp &in, Op op, const Value &a, const Value &b, bool aLiteral, bool bLiteral);
Value unaryOp(Interp &in, Op op, const Value &a);
// left & right into left, when left is a string no other value shares and right is a plain
// value; false, with nothing changed, otherwise.
bool appendInPlace(Interp &in, Value &left, const Value &right);
// -1, 0, 1; 2 when either side is Null. textCompare: case-insensitive strings.
int compareValues(const Value &a, const Value &b, bool textCompare, bool aLiteral = false,
                  bool bLiteral = false);
QString typeName(const Value &v);
int varType(const Value &v);

} // namespace quillora::vbs
