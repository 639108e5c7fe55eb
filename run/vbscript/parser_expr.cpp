// Expressions: precedence levels, primaries, member and call chains.

#include "parser.h"

#include "errors.h"

namespace quillora::vbs {

Node *Parser::parseExpr()
{
    enter();
    Node *n = parseBinaryLevel(0);
    leave();
    return n;
}

namespace {
struct LevelOp
{
    Kw kw;
    const char16_t *op;
    Op code;
};
// From the loosest binding level to the tightest; level 5 is Not, 9 the unary minus.
const std::vector<std::vector<LevelOp>> &levels()
{
    static const std::vector<std::vector<LevelOp>> l = {
        {{Kw::Imp, nullptr, Op::Imp}},
        {{Kw::Eqv, nullptr, Op::Eqv}},
        {{Kw::Xor, nullptr, Op::Xor}},
        {{Kw::Or, nullptr, Op::Or}},
        {{Kw::And, nullptr, Op::And}},
        {}, // Not
        {{Kw::None, u"=", Op::Eq},
         {Kw::None, u"<>", Op::Ne},
         {Kw::None, u"<", Op::Lt},
         {Kw::None, u">", Op::Gt},
         {Kw::None, u"<=", Op::Le},
         {Kw::None, u">=", Op::Ge},
         {Kw::Is, nullptr, Op::Is}},
        {{Kw::None, u"&", Op::Cat}},
        {{Kw::None, u"+", Op::Add}, {Kw::None, u"-", Op::Sub}},
        {{Kw::Mod, nullptr, Op::Mod}},
        {{Kw::None, u"\\", Op::IDiv}},
        {{Kw::None, u"*", Op::Mul}, {Kw::None, u"/", Op::Div}},
    };
    return l;
}
} // namespace

Node *Parser::parseBinaryLevel(int level)
{
    const auto &all = levels();
    if (level >= int(all.size()))
        return parseUnary();
    if (level == 5)
        return parseNot();
    Node *left = parseBinaryLevel(level + 1);
    for (;;) {
        const LevelOp *found = nullptr;
        for (const LevelOp &lo : all[size_t(level)]) {
            if (lo.op ? isOp(lo.op) : isKw(lo.kw)) {
                found = &lo;
                break;
            }
        }
        if (!found)
            return left;
        Node *b = u.node(NK::Binary, cur().line, cur().col);
        b->op = found->code;
        next();
        enter();
        b->x = left;
        b->y = parseBinaryLevel(level + 1);
        leave();
        left = b;
    }
}

Node *Parser::parseNot()
{
    if (isKw(Kw::Not)) {
        Node *n = u.node(NK::Unary, cur().line, cur().col);
        n->op = Op::Not;
        next();
        enter();
        n->x = parseNot();
        leave();
        return n;
    }
    return parseBinaryLevel(6);
}

Node *Parser::parseUnary()
{
    return parsePow();
}

// A signed operand: the unary minus binds tighter than ^, so -3^2 is 9.
Node *Parser::parseSigned()
{
    if (isOp(u'-') || isOp(u'+')) {
        Node *n = u.node(NK::Unary, cur().line, cur().col);
        n->op = isOp(u'-') ? Op::Neg : Op::Plus;
        next();
        enter();
        n->x = parseSigned();
        leave();
        return n;
    }
    return parseChain(parsePrimary(), false);
}

Node *Parser::parsePow()
{
    Node *left = parseSigned();
    while (isOp(u'^')) {
        Node *b = u.node(NK::Binary, cur().line, cur().col);
        b->op = Op::Pow;
        next();
        enter();
        b->x = left;
        b->y = parseSigned();
        leave();
        left = b;
    }
    return left;
}

Node *Parser::parsePrimary()
{
    if (pendingPrimary) {
        Node *p = pendingPrimary;
        pendingPrimary = nullptr;
        return p;
    }
    const Token &t = cur();
    switch (t.type) {
    case Tok::Number:
    case Tok::String:
    case Tok::DateLit: {
        Node *n = u.node(NK::Literal, t.line, t.col);
        n->lit = t.value;
        n->literal = true;
        next();
        return n;
    }
    case Tok::Op:
        if (isOp(u'(')) {
            Node *n = u.node(NK::Paren, t.line, t.col);
            next();
            n->x = parseExpr();
            expectOp(u')', err::ExpectedRParen);
            // "(f)(x)" and "Call ((f)) (x)" call f: parentheses around a bare name that
            // arguments follow do not make a value
            Node *inner = n->x;
            while (inner->kind == NK::Paren)
                inner = inner->x;
            if (isOp(u'(') && inner->kind == NK::Name && !inner->hasArgs)
                return inner;
            return n;
        }
        if (isOp(u'.')) {
            // member of the With object
            Node *w = u.node(NK::WithObj, t.line, t.col);
            return w;
        }
        if (isOp(u'-') || isOp(u'+'))
            return parseSigned();
        fail(err::ExpectedExpression);
    case Tok::Ident:
        break;
    default:
        fail(err::ExpectedExpression);
    }
    Node *n = nullptr;
    switch (t.kw) {
    case Kw::True:
    case Kw::False:
        n = u.node(NK::Literal, t.line, t.col);
        n->lit = Value::boolean(t.kw == Kw::True);
        n->literal = true;
        next();
        return n;
    case Kw::Empty:
        n = u.node(NK::Literal, t.line, t.col);
        next();
        return n;
    case Kw::Null:
        n = u.node(NK::Literal, t.line, t.col);
        n->lit = Value::null();
        next();
        return n;
    case Kw::Nothing:
        n = u.node(NK::Literal, t.line, t.col);
        n->lit = Value::nothing();
        next();
        return n;
    case Kw::Me:
        if (!cls)
            fail(err::InvalidMe);
        n = u.node(NK::Me, t.line, t.col);
        next();
        return n;
    case Kw::New: {
        n = u.node(NK::New, t.line, t.col);
        next();
        n->name = identifier(&n->text);
        return n;
    }
    case Kw::Not:
        return parseNot();
    default:
        break;
    }
    if (!isIdentifier())
        fail(err::ExpectedExpression);
    n = u.node(NK::Name, t.line, t.col);
    n->name = t.lower;
    n->text = t.text;
    next();
    return n;
}

void Parser::parseArgs(Node *call)
{
    next(); // '('
    call->hasArgs = true;
    if (isOp(u')')) {
        next();
        return;
    }
    for (;;) {
        if (isOp(u',') || isOp(u')')) {
            Node *m = u.node(NK::Literal, cur().line, cur().col);
            m->lit = Value::missing();
            call->a.push_back(m);
        } else {
            call->a.push_back(parseExpr());
        }
        if (isOp(u')'))
            break;
        expectOp(u',', err::ExpectedRParen);
    }
    next();
}

Node *Parser::parseChain(Node *base, bool statementHead)
{
    Node *n = base;
    // "(New C).Prop": a member of a parenthesised value
    const bool callable = n->kind == NK::Name || n->kind == NK::WithObj || n->kind == NK::Me ||
                          (n->kind == NK::Paren && isOp(u'.'));
    if (!callable)
        return n;
    int links = 0;
    for (;;) {
        if (++links > kMaxDepth)
            fail(err::OutOfStack);
        if (isOp(u'(') && (n->kind == NK::Name || n->kind == NK::Member) && !n->hasArgs) {
            parseArgs(n);
            continue;
        }
        if (isOp(u'(') && (n->kind == NK::Name || n->kind == NK::Member) && n->hasArgs) {
            // a(1)(2): index the result of a call
            Node *m = u.node(NK::Member, cur().line, cur().col);
            m->x = n;
            m->flag = 1; // default member
            parseArgs(m);
            n = m;
            continue;
        }
        if (isOp(u'.')) {
            if (n->kind != NK::WithObj && cur().spaceBefore && statementHead)
                break;
            if (n->kind == NK::WithObj)
                n->flag = 1;
            next();
            if (cur().type != Tok::Ident)
                fail(err::ExpectedIdentifier);
            Node *m = u.node(NK::Member, cur().line, cur().col);
            m->x = n;
            m->name = cur().lower;
            m->text = cur().text;
            next();
            n = m;
            continue;
        }
        break;
    }
    if (n->kind == NK::WithObj)
        fail(err::ExpectedIdentifier);
    return n;
}

} // namespace quillora::vbs
