// Name resolution: turns the parser's names into locals, globals, fields of Me, class
// members, built-ins and constants, so nothing is looked up by name while the code runs.

#include "interp.h"
#include "lexer.h"
#include "parser.h"

#include <QSet>

#include <algorithm>

namespace quillora::vbs {

class Resolver
{
public:
    Resolver(Interp &interp, Unit &unit) : in(interp), u(unit) {}

    // Registers the unit's classes and procedures, then resolves its code. When resolving
    // fails the registrations are undone: nothing may point into a unit that is discarded.
    void resolveUnit(const ParsedUnit &pu)
    {
        // a procedure may not share its name with a variable or a constant of the text; a
        // procedure defined twice takes its last definition
        QSet<QString> seen(pu.globalDims.begin(), pu.globalDims.end());
        seen.unite(QSet<QString>(pu.globalConsts.begin(), pu.globalConsts.end()));
        for (auto &p : u.procs) {
            if (p->isTopLevel || p->cls)
                continue;
            const QString lower = p->name.toLower();
            if (seen.contains(lower)) {
                ScriptException e;
                e.number = err::NameRedefined;
                e.description = errorText(e.number);
                e.source = compileSource();
                e.compile = true;
                e.line = p->line;
                e.column = p->col;
                throw e;
            }
        }
        std::vector<std::pair<QString, ClassDef *>> oldClasses;
        std::vector<std::pair<GlobalSlot *, Procedure *>> oldProcs;
        for (auto &c : u.classes) {
            oldClasses.emplace_back(c->name.toLower(), in.findClass(c->name.toLower()));
            in.registerClass(c.get());
        }
        for (auto &p : u.procs) {
            if (p->isTopLevel || p->cls)
                continue;
            GlobalSlot *g = in.global(p->name.toLower(), p->name);
            oldProcs.emplace_back(g, g->proc);
            g->proc = p.get();
        }
        try {
            resolveBodies(pu);
        } catch (...) {
            for (auto it = oldProcs.rbegin(); it != oldProcs.rend(); ++it)
                it->first->proc = it->second;
            for (auto it = oldClasses.rbegin(); it != oldClasses.rend(); ++it)
                in.restoreClass(it->first, it->second);
            throw;
        }
        for (auto &p : u.procs) {
            if (p->isTopLevel || p->cls)
                continue;
            GlobalSlot *g = in.findGlobal(p->name.toLower());
            g->declared = true;
            g->value = Value();
        }
    }

    void resolveBodies(const ParsedUnit &pu)
    {
        for (const QString &name : pu.globalDims)
            in.global(name, name)->declared = true;
        for (const QString &name : pu.globalConsts) {
            GlobalSlot *g = in.global(name, name);
            g->declared = true;
            g->isConst = true;
        }
        for (auto &c : u.classes)
            for (auto &fa : c->fieldArrays) {
                proc = nullptr;
                cls = c.get();
                for (Node *b : fa.second->a)
                    expr(b);
            }
        // The text's own code first: a variable it assigns without Dim is a global, which
        // the procedures then use instead of making a local of that name. A name it only
        // reads stays local in a procedure that assigns it.
        proc = u.top;
        cls = nullptr;
        withSlots.clear();
        block(u.top->body);
        for (auto &p : u.procs) {
            if (p->isTopLevel || p.get() == u.top)
                continue;
            proc = p.get();
            cls = p->cls;
            withSlots.clear();
            block(p->body);
        }
    }

    // Code run by Execute inside a procedure sees that procedure's names.
    Procedure *outerScope = nullptr;
    Object *outerMe = nullptr;
    Procedure *proc = nullptr;
    ClassDef *cls = nullptr;

    void block(Node *b)
    {
        for (Node *s : b->a)
            stmt(s);
    }

    void expr(Node *n)
    {
        switch (n->kind) {
        case NK::Name:
            name(n, false);
            return;
        case NK::Member:
            if (n->x)
                expr(n->x);
            args(n);
            return;
        case NK::WithObj:
            // outside With: error 505 when the code runs, which On Error can trap
            n->slot = withSlots.empty() ? -1 : withSlots.back();
            return;
        case NK::Unary:
        case NK::Paren:
            expr(n->x);
            return;
        case NK::Binary:
            in.checkStack();
            expr(n->x);
            expr(n->y);
            n->intHeight = intHeight(n);
            if (n->intHeight)
                n->intCode = intCode(n);
            return;
        case NK::New:
            if (n->name == u"regexp")
                return;
            return;
        default:
            return;
        }
    }

    // How tall an operand is as part of an integer tree; 0 when it cannot be one. Plain
    // variables qualify here and are checked for their type when the code runs.
    static int operandHeight(const Node *n)
    {
        switch (n->kind) {
        case NK::Paren:
            return operandHeight(n->x);
        case NK::Binary:
            return isIntArithmetic(n->op) ? n->intHeight : 0;
        case NK::Literal:
            return n->lit.type() == VType::Integer || n->lit.type() == VType::Long ? 1 : 0;
        case NK::Local:
        case NK::Global:
        case NK::Field:
            return n->hasArgs ? 0 : 1;
        default:
            return 0;
        }
    }
    static bool isIntArithmetic(Op op)
    {
        return op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::IDiv || op == Op::Mod;
    }
    static bool isComparison(Op op)
    {
        return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Gt || op == Op::Le ||
               op == Op::Ge;
    }
    // Short trees only, so that evaluating one never needs a check of the stack.
    static uint8_t intHeight(const Node *n)
    {
        if (!isIntArithmetic(n->op) && !isComparison(n->op))
            return 0;
        const int hx = operandHeight(n->x), hy = operandHeight(n->y);
        if (!hx || !hy || std::max(hx, hy) >= 32)
            return 0;
        return uint8_t(std::max(hx, hy) + 1);
    }

    const IntStep *intCode(const Node *n)
    {
        std::vector<IntStep> steps;
        emitInt(n, &steps);
        steps.push_back(IntStep{});
        u.intCodes.push_back(std::make_unique<IntStep[]>(steps.size()));
        std::copy(steps.begin(), steps.end(), u.intCodes.back().get());
        return u.intCodes.back().get();
    }
    static void emitInt(const Node *n, std::vector<IntStep> *steps)
    {
        IntStep s;
        switch (n->kind) {
        case NK::Paren:
            emitInt(n->x, steps);
            return;
        case NK::Binary: {
            emitInt(n->x, steps);
            // a literal or local right operand goes into the operator's own step
            const Node *right = n->y;
            while (right->kind == NK::Paren)
                right = right->x;
            if (right->kind == NK::Literal || right->kind == NK::Local) {
                emitInt(right, steps);
                s = steps->back();
                steps->pop_back();
                s.kind = IntStep::operatorStep(intOperator(n->op), right->kind == NK::Literal
                                                                       ? IntStep::OfConstant
                                                                       : IntStep::OfLocal);
                break;
            }
            emitInt(n->y, steps);
            s.kind = intOperator(n->op);
            break;
        }
        case NK::Literal:
            s.kind = IntStep::Constant;
            s.value = n->lit.intValue();
            s.isLong = n->lit.type() == VType::Long;
            break;
        case NK::Local:
            s.kind = IntStep::Local;
            s.value = n->slot;
            break;
        case NK::Field:
            s.kind = IntStep::Field;
            s.value = n->slot;
            break;
        default: // a global: the only other operand intHeight lets in
            s.kind = IntStep::Global;
            s.g = n->g;
            break;
        }
        steps->push_back(s);
    }
    static IntStep::Kind intOperator(Op op)
    {
        switch (op) {
        case Op::Add:
            return IntStep::Add;
        case Op::Sub:
            return IntStep::Sub;
        case Op::Mul:
            return IntStep::Mul;
        case Op::IDiv:
            return IntStep::IDiv;
        case Op::Mod:
            return IntStep::Mod;
        case Op::Eq:
            return IntStep::Eq;
        case Op::Ne:
            return IntStep::Ne;
        case Op::Lt:
            return IntStep::Lt;
        case Op::Gt:
            return IntStep::Gt;
        case Op::Le:
            return IntStep::Le;
        default:
            return IntStep::Ge;
        }
    }

    void args(Node *n)
    {
        for (Node *a : n->a)
            expr(a);
    }

    // Resolves a variable that a statement writes to.
    void target(Node *n)
    {
        if (n->kind == NK::Name)
            name(n, true);
        else
            expr(n);
    }

    void stmt(Node *s)
    {
        switch (s->kind) {
        case NK::Assign:
        case NK::SetAssign:
            expr(s->y);
            target(s->x);
            if (s->kind == NK::Assign)
                maybeAppend(s);
            return;
        case NK::CallStmt:
            // a called name that nothing declares is a procedure still to come, never a local
            calling = s->x->kind == NK::Name;
            expr(s->x);
            calling = false;
            return;
        case NK::If:
            for (Node *c : s->a) {
                if (c->kind == NK::Block)
                    block(c);
                else
                    expr(c);
            }
            if (s->y)
                block(s->y);
            return;
        case NK::Select:
            expr(s->x);
            for (Node *c : s->a) {
                args(c);
                block(c->y);
            }
            return;
        case NK::For:
            args(s);
            target(s->x);
            if (!isPlainVariable(s->x))
                fail(s->x, err::InvalidForVariable);
            block(s->y);
            return;
        case NK::ForEach:
            args(s);
            target(s->x);
            if (!isPlainVariable(s->x))
                fail(s->x, err::InvalidForVariable);
            block(s->y);
            return;
        case NK::DoLoop:
            if (s->x)
                expr(s->x);
            block(s->y);
            return;
        case NK::With:
            expr(s->x);
            s->slot = proc->nLocals++;
            withSlots.push_back(s->slot);
            block(s->y);
            withSlots.pop_back();
            return;
        case NK::Dim:
        case NK::ReDim:
            // ReDim also declares a name that nothing declared before; its bounds are
            // ordinary expressions
            for (Node *item : s->a) {
                args(item);
                const bool had = item->hasArgs;
                item->hasArgs = false;
                declaring = true;
                name(item, true);
                declaring = false;
                item->hasArgs = had;
            }
            return;
        case NK::Erase:
            target(s->x);
            return;
        case NK::Const:
            expr(s->y);
            name(s->x, true);
            if (s->x->kind == NK::Global) {
                s->x->g->isConst = true;
                // a constant is known before the code runs, even in a branch never taken
                if (s->y->kind == NK::Literal)
                    s->x->g->value = s->y->lit;
                else if (s->y->kind == NK::Unary && s->y->x->kind == NK::Literal &&
                         s->y->x->lit.isNumeric())
                    s->x->g->value = unaryOp(in, s->y->op, s->y->x->lit);
            }
            return;
        default:
            return;
        }
    }

private:
    [[noreturn]] void fail(Node *n, int number)
    {
        ScriptException e;
        e.number = number;
        e.description = errorText(number);
        e.source = compileSource();
        e.compile = true;
        e.line = n->line;
        e.column = n->col;
        throw e;
    }

    static bool isPlainVariable(Node *n)
    {
        return !n->hasArgs &&
               (n->kind == NK::Local || n->kind == NK::Global || n->kind == NK::Field);
    }

    // v = v & a & b ... appends (a & b ...) to v in place: building a long string in a loop
    // stays linear. The & chain is left-deep, so v is its leftmost leaf.
    void maybeAppend(Node *s)
    {
        Node *t = s->x;
        if (!isPlainVariable(t))
            return;
        Node *parent = nullptr, *cat = s->y;
        if (cat->kind != NK::Binary || cat->op != Op::Cat)
            return;
        while (cat->x->kind == NK::Binary && cat->x->op == Op::Cat) {
            parent = cat;
            cat = cat->x;
        }
        Node *l = cat->x;
        if (l->kind != t->kind || l->hasArgs || l->slot != t->slot || l->g != t->g)
            return;
        s->kind = NK::AppendAssign;
        if (parent)
            parent->x = cat->y;
        else
            s->y = cat->y;
    }

    void name(Node *n, bool isTarget)
    {
        const bool wasCalling = calling;
        calling = false;
        args(n);
        calling = wasCalling;
        const QString &nm = n->name;
        if (proc && !proc->isTopLevel) {
            if (proc->resultSlot >= 0 && !n->hasArgs && nm == proc->name.toLower()) {
                n->kind = NK::Local;
                n->slot = proc->resultSlot;
                return;
            }
            auto it = proc->localNames.constFind(nm);
            if (it != proc->localNames.constEnd()) {
                n->kind = NK::Local;
                n->slot = it.value();
                return;
            }
        }
        if (outerScope) {
            auto it = outerScope->localNames.constFind(nm);
            if (it != outerScope->localNames.constEnd()) {
                // a name of the procedure that runs Execute: bound like a ByRef parameter
                auto own = proc->localNames.constFind(nm);
                int slot = own != proc->localNames.constEnd() ? own.value() : -1;
                if (slot < 0) {
                    slot = proc->nLocals++;
                    proc->localNames.insert(nm, slot);
                    captures.emplace_back(slot, it.value());
                }
                n->kind = NK::Local;
                n->slot = slot;
                return;
            }
        }
        if (cls) {
            int idx = cls->memberIndex.value(nm, -1);
            if (idx >= 0) {
                const ClassMember &m = cls->members[size_t(idx)];
                if (m.kind == ClassMember::Field) {
                    n->kind = NK::Field;
                    n->slot = m.field;
                } else {
                    n->kind = NK::ClassProc;
                    n->slot = idx;
                }
                return;
            }
        }
        GlobalSlot *known = in.findGlobal(nm);
        if (known && !known->declared && !known->proc && onlyReadByText.contains(nm)) {
            if (proc == u.top && isTarget)
                onlyReadByText.remove(nm);
            else if (proc != u.top)
                known = nullptr;
        }
        if (GlobalSlot *g = known) {
            if (g->declared || g->proc || !u.optionExplicit) {
                n->kind = NK::Global;
                n->g = g;
                n->literal = g->isConst;
                return;
            }
        }
        if (!isTarget) {
            Value c;
            if (!n->hasArgs && findConstant(nm, &c)) {
                n->kind = NK::Literal;
                n->lit = c;
                return;
            }
            if (const Builtin *b = findBuiltin(nm)) {
                n->kind = NK::Builtin;
                n->bi = b;
                n->flag = builtinUse(nm);
                return;
            }
        }
        if (u.optionExplicit && !declaring && !calling && !(n->hasArgs && !isTarget)) {
            n->kind = NK::Undefined;
            return;
        }
        if (proc && !proc->isTopLevel && !calling && !(n->hasArgs && !isTarget)) {
            n->kind = NK::Local;
            n->slot = proc->nLocals++;
            proc->localNames.insert(nm, n->slot);
            if (outerScope) // Execute: the new name lives on in the caller's scope
                namedCaptures.emplace_back(n->slot, nm);
            return;
        }
        if (proc == u.top && !isTarget && !declaring && !in.findGlobal(nm))
            onlyReadByText.insert(nm);
        n->kind = NK::Global;
        n->g = in.global(nm, n->text);
        if (declaring)
            n->g->declared = true;
    }

    Interp &in;
    Unit &u;
    std::vector<int> withSlots;
    bool declaring = false;
    bool calling = false;
    // Globals this text's own code made by reading them before any assignment.
    QSet<QString> onlyReadByText;

public:
    std::vector<std::pair<int, int>> captures;          // snippet slot -> outer slot
    std::vector<std::pair<int, QString>> namedCaptures; // snippet slot -> name created
};

// The source's lines, for the text of an error: CR LF, CR and LF each end one.
static QStringList sourceLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

Unit *Interp::compileUnit(const QString &text, Procedure *localScope, bool expression)
{
    auto unit = std::make_unique<Unit>();
    unit->lines = sourceLines(text);
    Parser parser(*unit, Lexer::tokenize(text));
    Resolver r(*this, *unit);
    if (expression) {
        auto *top = new Procedure;
        unit->procs.emplace_back(top);
        top->isTopLevel = true;
        top->name = QStringLiteral("<eval>");
        unit->top = top;
        Node *e = parser.parseExpressionText();
        Node *body = unit->node(NK::Block, e->line, e->col);
        top->body = body;
        top->resultSlot = top->nLocals++;
        Node *assign = unit->node(NK::Assign, e->line, e->col);
        Node *res = unit->node(NK::Local, e->line, e->col);
        res->slot = top->resultSlot;
        assign->x = res;
        assign->y = e;
        body->a.push_back(assign);
        r.proc = top;
        if (localScope) {
            r.outerScope = localScope;
            r.cls = localScope->cls;
            top->isTopLevel = false;
            top->cls = localScope->cls;
        }
        // the result slot is set by the Assign node directly; resolve the expression only
        r.expr(e);
        assign->flag = 1; // store the value as it is, objects included
    } else {
        ParsedUnit pu = parser.parseProgram();
        if (localScope) {
            r.outerScope = localScope;
            r.cls = localScope->cls;
            unit->top->isTopLevel = false;
            unit->top->cls = localScope->cls;
        }
        r.resolveUnit(pu);
    }
    for (auto &p : unit->procs)
        p->unit = unit.get();
    unit->captures = std::move(r.captures);
    unit->namedCaptures = std::move(r.namedCaptures);
    units.push_back(std::move(unit));
    return units.back().get();
}

Unit *Interp::compile(const QString &text, Procedure *localScope, bool expression)
{
    try {
        return compileUnit(text, localScope, expression);
    } catch (ScriptException &e) {
        if (e.text.isEmpty() && e.line >= 1) {
            const QStringList lines = sourceLines(text);
            if (e.line <= lines.size())
                e.text = lines[e.line - 1];
        }
        throw;
    }
}

} // namespace quillora::vbs
