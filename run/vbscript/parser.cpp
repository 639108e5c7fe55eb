#include "parser.h"

#include "errors.h"

namespace quillora::vbs {

void Parser::failAt(int number, const Token &t) const
{
    ScriptException e;
    e.number = number;
    e.description = errorText(number);
    e.source = compileSource();
    e.compile = true;
    e.line = t.line;
    e.column = t.col;
    throw e;
}

void Parser::fail(int number) const
{
    failAt(number, cur());
}

void Parser::enter()
{
    if (++depth > kMaxDepth)
        fail(err::OutOfStack);
}

void Parser::expectKw(Kw k, int number)
{
    if (!isKw(k))
        fail(number);
    next();
}

void Parser::expectOp(char16_t c, int number)
{
    if (!isOp(c))
        fail(number);
    next();
}

void Parser::endStatement()
{
    if (cur().type == Tok::NewLine || cur().type == Tok::Colon) {
        if (inSingleLineIf == 0 || cur().type == Tok::Colon)
            next();
        return;
    }
    if (cur().type == Tok::End || (inSingleLineIf > 0 && isKw(Kw::Else)) || atBlockEnd())
        return;
    fail(err::ExpectedEndOfStatement);
}

void Parser::skipSeparators()
{
    while (cur().type == Tok::NewLine || cur().type == Tok::Colon)
        next();
}

bool Parser::isIdentifier() const
{
    return cur().type == Tok::Ident && (cur().kw == Kw::None || isSoftKeyword(cur().kw));
}

QString Parser::identifier(QString *asWritten)
{
    if (!isIdentifier())
        fail(err::ExpectedIdentifier);
    QString s = cur().lower;
    if (asWritten)
        *asWritten = cur().text;
    next();
    return s;
}

void Parser::declareLocal(const QString &lower, const Token &at)
{
    if (proc->localNames.contains(lower) || lower == proc->name.toLower())
        failAt(err::NameRedefined, at);
    proc->localNames.insert(lower, proc->nLocals++);
}

ParsedUnit Parser::parseProgram()
{
    auto *top = new Procedure;
    u.procs.emplace_back(top);
    top->name = QStringLiteral("<global>");
    top->isTopLevel = true;
    u.top = top;
    skipSeparators();
    if (isKw(Kw::Option)) {
        next();
        expectKw(Kw::Explicit, err::ExpectedStatement);
        u.optionExplicit = true;
        endStatement();
    }
    top->body = parseBlock([this] { return cur().type == Tok::End; });
    return result;
}

Node *Parser::parseExpressionText()
{
    skipSeparators();
    Node *e = parseExpr();
    skipSeparators();
    if (cur().type != Tok::End)
        fail(err::ExpectedEndOfStatement);
    return e;
}

Node *Parser::parseBlock(const std::function<bool()> &atEnd, int eofError)
{
    enter();
    Node *block = u.node(NK::Block, cur().line, cur().col);
    for (;;) {
        skipSeparators();
        if (atEnd())
            break;
        if (cur().type == Tok::End)
            fail(eofError);
        parseStatement(block);
    }
    leave();
    return block;
}

void Parser::parseStatement(Node *block)
{
    const Token &t = cur();
    const int line0 = t.line, col0 = t.col; // where the statement starts, keyword included
    if (t.type != Tok::Ident && !isOp(u'.')) {
        fail(err::ExpectedStatement);
    }
    switch (t.kw) {
    case Kw::Dim:
        // Dim in a class body declares a public field
        next();
        parseDim(block, true, cls != nullptr && proc == nullptr);
        return;
    case Kw::Public:
    case Kw::Private: {
        const bool isPublic = t.kw == Kw::Public;
        next();
        bool isDefault = false;
        if (isKw(Kw::Default)) {
            if (!isPublic)
                fail(1057);
            isDefault = true;
            next();
        }
        if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
            parseProcedure(isPublic, isDefault);
            return;
        }
        if (isDefault)
            fail(1056);
        if (isKw(Kw::Const)) {
            next();
            parseConst(block);
            return;
        }
        parseDim(block, isPublic, cls != nullptr && proc == nullptr);
        return;
    }
    case Kw::Const:
        next();
        parseConst(block);
        return;
    case Kw::ReDim:
        block->a.push_back(parseReDim());
        return;
    case Kw::Erase: {
        Node *n = u.node(NK::Erase, t.line, t.col);
        next();
        n->x = parsePrimary();
        block->a.push_back(n);
        endStatement();
        return;
    }
    case Kw::If:
        block->a.push_back(parseIf());
        return;
    case Kw::Select:
        block->a.push_back(parseSelect());
        return;
    case Kw::For:
        block->a.push_back(parseFor());
        return;
    case Kw::Do:
        block->a.push_back(parseDo());
        return;
    case Kw::While:
        block->a.push_back(parseWhile());
        return;
    case Kw::With:
        block->a.push_back(parseWith());
        return;
    case Kw::Exit:
        block->a.push_back(parseExit());
        return;
    case Kw::On:
        block->a.push_back(parseOnError());
        return;
    case Kw::Set:
        next();
        block->a.push_back(startsAt(parseAssignOrCall(true, false), line0, col0));
        return;
    case Kw::Call:
        next();
        block->a.push_back(startsAt(parseAssignOrCall(false, true), line0, col0));
        return;
    case Kw::Property:
        if (peek().kw != Kw::Get && peek().kw != Kw::Let && peek().kw != Kw::Set)
            break; // a variable named Property
        parseProcedure(true, false);
        return;
    case Kw::Sub:
    case Kw::Function:
        parseProcedure(true, false);
        return;
    case Kw::Class:
        parseClass();
        return;
    case Kw::Option:
        fail(1042);
    case Kw::Loop:
        fail(err::LoopWithoutDo);
    case Kw::Next:
        fail(err::UnexpectedNext);
    case Kw::Let:
        next();
        block->a.push_back(startsAt(parseAssignOrCall(false, false), line0, col0));
        return;
    default:
        break;
    }
    if (t.kw == Kw::None && t.lower == u"stop" &&
        (peek().type == Tok::NewLine || peek().type == Tok::Colon || peek().type == Tok::End)) {
        next(); // Stop: a breakpoint for a debugger, of no effect here
        endStatement();
        return;
    }
    if (t.kw != Kw::None && !isSoftKeyword(t.kw) && t.kw != Kw::Me && !isOp(u'.'))
        fail(err::ExpectedStatement);
    block->a.push_back(parseAssignOrCall(false, false));
}

void Parser::parseDim(Node *block, bool isPublic, bool inClassBody)
{
    Node *dim = u.node(NK::Dim, cur().line, cur().col);
    for (;;) {
        const Token at = cur();
        QString written;
        QString name = identifier(&written);
        Node *item = u.node(NK::Name, at.line, at.col);
        item->name = name;
        item->text = written;
        if (isOp(u'(')) {
            next();
            item->hasArgs = true;
            if (!isOp(u')')) {
                for (;;) {
                    item->a.push_back(parseExpr());
                    if (!isOp(u','))
                        break;
                    next();
                }
            }
            expectOp(u')', err::ExpectedRParen);
        }
        if (inClassBody) {
            if (cls->memberIndex.contains(name))
                failAt(err::NameRedefined, at);
            ClassMember m;
            m.kind = ClassMember::Field;
            m.name = written;
            m.isPublic = isPublic;
            m.field = cls->nFields++;
            cls->memberIndex.insert(name, int(cls->members.size()));
            cls->members.push_back(m);
            if (item->hasArgs)
                cls->fieldArrays.emplace_back(m.field, item);
        } else if (proc) {
            declareLocal(name, at);
            dim->a.push_back(item);
        } else {
            if (result.globalDims.contains(name) || result.globalConsts.contains(name))
                failAt(err::NameRedefined, at);
            result.globalDims.append(name);
            dim->a.push_back(item);
        }
        if (!isOp(u','))
            break;
        next();
    }
    if (!dim->a.empty())
        block->a.push_back(dim);
    endStatement();
}

void Parser::parseConst(Node *block)
{
    for (;;) {
        const Token at = cur();
        QString written;
        QString name = identifier(&written);
        expectOp(u'=', err::ExpectedEquals);
        Node *c = u.node(NK::Const, at.line, at.col);
        Node *target = u.node(NK::Name, at.line, at.col);
        target->name = name;
        target->text = written;
        c->x = target;
        c->y = parseExpr();
        if (proc) {
            declareLocal(name, at);
        } else {
            if (result.globalDims.contains(name) || result.globalConsts.contains(name))
                failAt(err::NameRedefined, at);
            result.globalConsts.append(name);
        }
        block->a.push_back(c);
        if (!isOp(u','))
            break;
        next();
    }
    endStatement();
}

Node *Parser::parseReDim()
{
    Node *n = u.node(NK::ReDim, cur().line, cur().col);
    next();
    if (isKw(Kw::Preserve)) {
        n->flag = 1;
        next();
    }
    for (;;) {
        const Token at = cur();
        QString written;
        Node *item = u.node(NK::Name, at.line, at.col);
        item->name = identifier(&written);
        item->text = written;
        expectOp(u'(', err::ExpectedLParen);
        item->hasArgs = true;
        for (;;) {
            item->a.push_back(parseExpr());
            if (!isOp(u','))
                break;
            next();
        }
        expectOp(u')', err::ExpectedRParen);
        n->a.push_back(item);
        if (!isOp(u','))
            break;
        next();
    }
    endStatement();
    return n;
}

Node *Parser::parseIf()
{
    Node *n = u.node(NK::If, cur().line, cur().col);
    next();
    n->a.push_back(parseExpr());
    expectKw(Kw::Then, err::ExpectedThen);
    if (cur().type != Tok::NewLine && cur().type != Tok::End) {
        // single-line form: statements up to the end of the line, optional Else part
        ++inSingleLineIf;
        auto parseLine = [this]() {
            Node *block = u.node(NK::Block, cur().line, cur().col);
            while (cur().type == Tok::Colon)
                next();
            while (cur().type != Tok::NewLine && cur().type != Tok::End && !isKw(Kw::Else) &&
                   !(isKw(Kw::End) && peek().kw == Kw::If)) {
                parseStatement(block);
                while (cur().type == Tok::Colon)
                    next();
            }
            return block;
        };
        n->a.push_back(parseLine());
        if (isKw(Kw::Else)) {
            next();
            n->y = parseLine();
        }
        if (isKw(Kw::End) && peek().kw == Kw::If) { // "If c Then x = 1 End If"
            next();
            next();
        }
        --inSingleLineIf;
        if (inSingleLineIf == 0 && cur().type == Tok::NewLine)
            next();
        return n;
    }
    const int saved = inSingleLineIf;
    inSingleLineIf = 0;
    auto atClause = [this] { return isKw(Kw::ElseIf) || isKw(Kw::Else) || isKw(Kw::End); };
    n->a.push_back(parseBlock(atClause));
    for (;;) {
        if (isKw(Kw::ElseIf)) {
            next();
            n->a.push_back(parseExpr());
            expectKw(Kw::Then, err::ExpectedThen);
            n->a.push_back(parseBlock(atClause));
        } else if (isKw(Kw::Else)) {
            next();
            n->y =
                parseBlock([this] { return isKw(Kw::End) || isKw(Kw::ElseIf) || isKw(Kw::Else); });
            if (!isKw(Kw::End))
                fail(err::ExpectedEnd);
        } else {
            break;
        }
    }
    expectKw(Kw::End, err::ExpectedEnd);
    expectKw(Kw::If, err::ExpectedIf);
    inSingleLineIf = saved;
    endStatement();
    return n;
}

Node *Parser::parseSelect()
{
    Node *n = u.node(NK::Select, cur().line, cur().col);
    next();
    expectKw(Kw::Case, err::ExpectedCase);
    n->x = parseExpr();
    endStatement();
    skipSeparators();
    bool sawElse = false;
    while (isKw(Kw::Case)) {
        if (sawElse)
            fail(err::ExpectedEnd);
        Node *c = u.node(NK::Case, cur().line, cur().col);
        next();
        if (isKw(Kw::Else)) {
            next();
            c->flag = 1;
            sawElse = true;
        } else {
            for (;;) {
                c->a.push_back(parseExpr());
                if (!isOp(u','))
                    break;
                next();
            }
        }
        // the first statement may follow the values on the same line, even without a colon
        if (cur().type == Tok::Colon || cur().type == Tok::NewLine)
            next();
        else if (cur().type != Tok::Ident || isKw(Kw::To) || isKw(Kw::Is))
            fail(err::ExpectedEndOfStatement);
        c->y = parseBlock([this] { return isKw(Kw::Case) || isKw(Kw::End); });
        n->a.push_back(c);
    }
    expectKw(Kw::End, err::ExpectedEnd);
    expectKw(Kw::Select, err::ExpectedSelect);
    endStatement();
    return n;
}

Node *Parser::parseFor()
{
    const Token start = cur();
    next();
    if (isKw(Kw::Each)) {
        next();
        Node *n = u.node(NK::ForEach, start.line, start.col);
        const Token at = cur();
        Node *var = u.node(NK::Name, at.line, at.col);
        var->name = identifier(&var->text);
        n->x = var;
        expectKw(Kw::In, err::ExpectedIn);
        n->a.push_back(parseExpr());
        endStatement();
        ++forDepth;
        n->y = parseBlock([this] { return isKw(Kw::Next); }, err::ExpectedNext);
        --forDepth;
        next();
        endStatement();
        return n;
    }
    Node *n = u.node(NK::For, start.line, start.col);
    const Token at = cur();
    if (!isIdentifier())
        fail(err::InvalidForVariable);
    Node *var = u.node(NK::Name, at.line, at.col);
    var->name = identifier(&var->text);
    n->x = var;
    expectOp(u'=', err::ExpectedEquals);
    n->a.push_back(parseExpr());
    expectKw(Kw::To, err::ExpectedTo);
    n->a.push_back(parseExpr());
    if (isKw(Kw::Step)) {
        next();
        n->a.push_back(parseExpr());
    }
    endStatement();
    ++forDepth;
    n->y = parseBlock([this] { return isKw(Kw::Next); }, err::ExpectedNext);
    --forDepth;
    next();
    if (isIdentifier() && cur().type == Tok::Ident)
        next(); // Next i
    endStatement();
    return n;
}

Node *Parser::parseDo()
{
    Node *n = u.node(NK::DoLoop, cur().line, cur().col);
    next();
    if (isKw(Kw::While) || isKw(Kw::Until)) {
        n->flag = uint8_t(isKw(Kw::While) ? LoopKind::PreWhile : LoopKind::PreUntil);
        next();
        n->x = parseExpr();
    }
    endStatement();
    ++doDepth;
    n->y = parseBlock([this] { return isKw(Kw::Loop); }, err::ExpectedLoop);
    --doDepth;
    next();
    if (isKw(Kw::While) || isKw(Kw::Until)) {
        if (n->x)
            fail(err::ExpectedEndOfStatement);
        n->flag = uint8_t(isKw(Kw::While) ? LoopKind::PostWhile : LoopKind::PostUntil);
        next();
        n->x = parseExpr();
    }
    endStatement();
    return n;
}

Node *Parser::parseWhile()
{
    Node *n = u.node(NK::DoLoop, cur().line, cur().col);
    next();
    n->flag = uint8_t(LoopKind::PreWhile);
    n->x = parseExpr();
    endStatement();
    n->y = parseBlock([this] { return isKw(Kw::Wend); }, err::ExpectedWend);
    next();
    endStatement();
    return n;
}

Node *Parser::parseWith()
{
    Node *n = u.node(NK::With, cur().line, cur().col);
    next();
    n->x = parseExpr();
    endStatement();
    n->y = parseBlock([this] { return isKw(Kw::End); });
    next();
    expectKw(Kw::With, err::ExpectedWith);
    endStatement();
    return n;
}

Node *Parser::parseExit()
{
    Node *n = u.node(NK::Exit, cur().line, cur().col);
    next();
    if (isKw(Kw::Do)) {
        if (doDepth == 0)
            fail(err::InvalidExit);
        n->flag = uint8_t(ExitKind::Do);
    } else if (isKw(Kw::For)) {
        if (forDepth == 0)
            fail(err::InvalidExit);
        n->flag = uint8_t(ExitKind::For);
    } else if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
        const Kw k = cur().kw;
        const bool ok = proc && ((k == Kw::Sub && proc->kind == ProcKind::Sub) ||
                                 (k == Kw::Function && proc->kind == ProcKind::Function) ||
                                 (k == Kw::Property && proc->kind >= ProcKind::PropGet));
        if (!ok)
            fail(err::InvalidExit);
        n->flag = uint8_t(ExitKind::Proc);
    } else {
        fail(err::InvalidExit);
    }
    next();
    endStatement();
    return n;
}

Node *Parser::parseOnError()
{
    Node *n = u.node(NK::OnError, cur().line, cur().col);
    next();
    expectKw(Kw::Error, err::SyntaxError);
    if (isKw(Kw::Resume)) {
        next();
        expectKw(Kw::Next, err::SyntaxError);
        n->flag = 1;
    } else if (isKw(Kw::GoTo)) {
        next();
        if (cur().type != Tok::Number || cur().value.intValue() != 0 ||
            cur().value.type() != VType::Integer)
            fail(err::SyntaxError);
        next();
        n->flag = 0;
    } else {
        fail(err::SyntaxError);
    }
    endStatement();
    return n;
}

// A statement begins at its keyword (Set, Call, Let): run-time errors point there.
Node *Parser::startsAt(Node *statement, int line, int col)
{
    statement->line = line;
    statement->col = col;
    return statement;
}

Node *Parser::parseAssignOrCall(bool isSet, bool hasCall)
{
    const Token start = cur();
    enter();
    Node *target = parseChain(parsePrimary(), true);
    Node *result = nullptr;
    if (isOp(u'=') && !hasCall) {
        next();
        result = u.node(isSet ? NK::SetAssign : NK::Assign, start.line, start.col);
        result->x = target;
        if (isSet && isKw(Kw::New)) {
            result->y = parsePrimary();
            result->y = parseChain(result->y, false);
        } else {
            result->y = parseExpr();
        }
        if (target->kind == NK::Literal || target->kind == NK::Binary ||
            target->kind == NK::Unary || target->kind == NK::Paren || target->kind == NK::New)
            failAt(err::ExpectedStatement, start);
    } else {
        if (isSet)
            fail(err::ExpectedEquals);
        if (target->kind != NK::Name && target->kind != NK::Member)
            failAt(err::ExpectedStatement, start);
        result = u.node(NK::CallStmt, start.line, start.col);
        result->x = target;
        if (!atEndOfStatement()) {
            if (hasCall)
                fail(err::ExpectedEndOfStatement);
            if (target->hasArgs) {
                // "Foo (a) + 1, b": the parenthesised text began the first argument
                if (target->a.size() != 1)
                    fail(err::ExpectedEndOfStatement);
                Node *p = u.node(NK::Paren, target->a[0]->line, target->a[0]->col);
                p->x = target->a[0];
                target->a.clear();
                pendingPrimary = p;
            }
            target->hasArgs = true;
            for (;;) {
                if (isOp(u',')) {
                    Node *m = u.node(NK::Literal, cur().line, cur().col);
                    m->lit = Value::missing();
                    target->a.push_back(m);
                } else {
                    target->a.push_back(parseExpr());
                }
                if (!isOp(u','))
                    break;
                next();
                if (atEndOfStatement()) {
                    Node *m = u.node(NK::Literal, cur().line, cur().col);
                    m->lit = Value::missing();
                    target->a.push_back(m);
                }
            }
        } else if (target->hasArgs && !hasCall) {
            if (target->a.size() > 1)
                failAt(err::ParensOnSubCall, start);
            if (target->a.size() == 1) {
                // "Foo(x)" as a statement passes x by value
                Node *p = u.node(NK::Paren, target->a[0]->line, target->a[0]->col);
                p->x = target->a[0];
                target->a[0] = p;
            }
        }
    }
    leave();
    endStatement();
    return result;
}

} // namespace quillora::vbs
