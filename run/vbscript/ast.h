#pragma once
// The compiled form of a script: a tree of nodes whose names are resolved to slots
// (procedure locals, globals, fields of Me) or to built-ins before the code runs.
// Every node belongs to its Unit, so freeing a tree never recurses.

#include "value.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace quillora::vbs {

class Interp;
struct Procedure;
struct ClassDef;
struct GlobalSlot;
struct Builtin;
struct Unit;

enum class NK : uint8_t
{
    // expressions
    Literal,   // lit
    Name,      // unresolved name (parser output only)
    Local,     // local slot of the running procedure
    Global,    // g: a global variable, constant or procedure
    Field,     // slot: field of Me
    ClassProc, // member of Me's class: method or property (member index in slot)
    Builtin,   // bi
    Undefined, // a name Option Explicit does not know: error 500 when evaluated
    Member,    // x.name(args)
    WithObj,   // the object of the innermost With (local slot)
    Me,
    New,    // New name
    Unary,  // op x
    Binary, // x op y
    Paren,  // (x): a value, never a reference
            // statements
    Block,
    Assign,
    SetAssign,
    AppendAssign, // v = v & y on a plain variable: appends in place
    CallStmt,
    If,
    Select,
    Case,
    For,
    ForEach,
    DoLoop,
    Exit,
    With,
    Dim,
    ReDim,
    Erase,
    OnError,
    Const,
    Nop,
};

enum class Op : uint8_t
{
    None,
    Pow,
    Mul,
    Div,
    IDiv,
    Mod,
    Add,
    Sub,
    Cat,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Is,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Neg,
    Not,
    Plus,
};

enum class LoopKind : uint8_t
{
    Plain,
    PreWhile,
    PreUntil,
    PostWhile,
    PostUntil
};
enum class ExitKind : uint8_t
{
    Do,
    For,
    Proc
};

// One step of the code of an integer tree (Node::intCode), in postfix order: operands
// are pushed, an operator takes the top two, a comparison ends the code of its tree. An
// operator whose right operand is a literal or a local comes as one step that carries the
// operand (value, isLong), so that the operand is never pushed.
struct IntStep
{
    enum Kind : uint8_t
    {
        End,
        Constant, // value, a Long when isLong
        Local,    // value is the slot
        Global,   // g
        Field,    // value is the slot
        // the operators, each in three forms: of the top two, of the top and a constant,
        // of the top and a local (operatorStep)
        Add,
        Sub = Add + 3,
        Mul = Sub + 3,
        IDiv = Mul + 3,
        Mod = IDiv + 3,
        Eq = Mod + 3,
        Ne = Eq + 3,
        Lt = Ne + 3,
        Gt = Lt + 3,
        Le = Gt + 3,
        Ge = Le + 3,
        KindCount = Ge + 3
    };
    enum Operand : uint8_t
    {
        OfStack,
        OfConstant,
        OfLocal
    };
    static Kind operatorStep(Kind op, Operand right) { return Kind(int(op) + int(right)); }
    Kind kind = End;
    bool isLong = false;
    int32_t value = 0;
    GlobalSlot *g = nullptr;
};

struct Node
{
    NK kind = NK::Nop;
    Op op = Op::None;
    uint8_t flag = 0;     // loop kind, exit kind, Preserve, Case Else, On Error mode
    bool hasArgs = false; // an argument list was written (even an empty one)
    bool literal = false; // a literal or a constant: compared with a string, converts it
    // Binary: the height of a tree of Integer arithmetic (+ - * \ Mod) over literals and
    // plain variables, or a comparison of two such, which runs in registers first
    // (Interp::intTree); 0 when the node is not one
    uint8_t intHeight = 0;
    const IntStep *intCode = nullptr; // the tree's code when intHeight is not 0
    int line = 0;
    int col = 0;
    int slot = -1;
    Value lit;
    QString name; // lower case
    QString text; // as written
    Node *x = nullptr;
    Node *y = nullptr;
    std::vector<Node *> a; // arguments, statements, clauses
    GlobalSlot *g = nullptr;
    Procedure *proc = nullptr;
    const Builtin *bi = nullptr;
    // inline cache of a member lookup on an object (the object's dispatch key and member),
    // or of the class of New (the class and the interpreter's class generation)
    const void *cacheKey = nullptr;
    int cacheId = -1;
};

enum class ProcKind : uint8_t
{
    Sub,
    Function,
    PropGet,
    PropLet,
    PropSet
};

struct Procedure
{
    QString name;
    ProcKind kind = ProcKind::Sub;
    bool isPublic = true;
    bool isDefault = false;
    int line = 0;
    int col = 0;
    std::vector<uint8_t> byRef; // per parameter, 1 when ByRef
    int nParams = 0;
    int nLocals = 0;     // parameters first, then the result, declared and hidden slots
    int resultSlot = -1; // functions and Property Get
    QHash<QString, int> localNames;
    Node *body = nullptr;
    ClassDef *cls = nullptr;
    bool isTopLevel = false;
    const Unit *unit = nullptr;
};

struct ClassMember
{
    enum Kind : uint8_t
    {
        Field,
        Method,
        Property
    } kind = Field;
    QString name;
    bool isPublic = true;
    int field = -1;
    Procedure *method = nullptr;
    Procedure *get = nullptr;
    Procedure *let = nullptr;
    Procedure *set = nullptr;
};

struct ClassDef
{
    QString name;
    std::vector<ClassMember> members;
    QHash<QString, int> memberIndex; // lower-case name -> members index
    int nFields = 0;
    std::vector<std::pair<int, Node *>> fieldArrays; // field slot -> Dim node with bounds
    Procedure *init = nullptr;
    Procedure *term = nullptr;
    int defaultMember = -1;
};

struct GlobalSlot
{
    QString name;
    Value value;
    Procedure *proc = nullptr;
    bool declared = false; // Dim, Const or a procedure; otherwise created by first use
    bool isConst = false;
    bool hostObject = false;
};

// One compiled text: owns its nodes, procedures and classes.
struct Unit
{
    std::vector<std::unique_ptr<Node>> nodes;
    std::vector<std::unique_ptr<Procedure>> procs;
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::vector<std::unique_ptr<IntStep[]>> intCodes;
    Procedure *top = nullptr; // the top-level code
    QStringList lines;        // source lines, for the error text
    bool optionExplicit = false;
    std::vector<std::pair<int, int>> captures; // Execute: own slot -> slot of the caller
    // Execute: own slot -> a name the code creates in the caller's scope
    std::vector<std::pair<int, QString>> namedCaptures;

    Node *node(NK kind, int line, int col)
    {
        nodes.push_back(std::make_unique<Node>());
        Node *n = nodes.back().get();
        n->kind = kind;
        n->line = line;
        n->col = col;
        return n;
    }
};

} // namespace quillora::vbs
