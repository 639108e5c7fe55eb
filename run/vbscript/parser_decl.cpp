// Declarations: procedures (Sub, Function, Property) and classes.

#include "parser.h"

#include "errors.h"

namespace quillora::vbs {

void Parser::parseProcedure(bool isPublic, bool isDefault)
{
    if (proc)
        fail(err::ExpectedStatement);
    const Token start = cur();
    ProcKind kind = ProcKind::Sub;
    Kw endKw = Kw::Sub;
    if (isKw(Kw::Function)) {
        kind = ProcKind::Function;
        endKw = Kw::Function;
        next();
    } else if (isKw(Kw::Sub)) {
        next();
    } else {
        next(); // Property
        if (!cls)
            failAt(1048, start);
        endKw = Kw::Property;
        if (isKw(Kw::Get))
            kind = ProcKind::PropGet;
        else if (isKw(Kw::Let))
            kind = ProcKind::PropLet;
        else if (isKw(Kw::Set))
            kind = ProcKind::PropSet;
        else
            fail(err::ExpectedLetSetGet);
        next();
    }
    if (isDefault && kind != ProcKind::PropGet && kind != ProcKind::Function &&
        kind != ProcKind::Sub)
        fail(1058);
    const Token nameTok = cur();
    QString written;
    QString name = identifier(&written);
    auto *p = new Procedure;
    u.procs.emplace_back(p);
    p->name = written;
    p->kind = kind;
    p->isPublic = isPublic;
    p->isDefault = isDefault;
    p->line = nameTok.line;
    p->col = nameTok.col;
    p->cls = cls;
    proc = p;
    if (isOp(u'(')) {
        next();
        if (!isOp(u')')) {
            for (;;) {
                bool byRef = true;
                if (isKw(Kw::ByVal)) {
                    byRef = false;
                    next();
                } else if (isKw(Kw::ByRef)) {
                    next();
                }
                const Token at = cur();
                QString pname = identifier();
                if (isOp(u'(')) {
                    next();
                    expectOp(u')', err::ExpectedRParen);
                }
                declareLocal(pname, at);
                p->byRef.push_back(byRef);
                ++p->nParams;
                if (!isOp(u','))
                    break;
                next();
            }
        }
        expectOp(u')', err::ExpectedRParen);
    }
    if ((kind == ProcKind::PropLet || kind == ProcKind::PropSet) && p->nParams == 0)
        failAt(1054, nameTok);
    if (kind == ProcKind::Function || kind == ProcKind::PropGet)
        p->resultSlot = p->nLocals++;
    endStatement();
    p->body = parseBlock([this] { return isKw(Kw::End); });
    next();
    if (!isKw(endKw))
        fail(endKw == Kw::Sub        ? err::ExpectedSub
             : endKw == Kw::Function ? err::ExpectedFunction
                                     : err::ExpectedProperty);
    next();
    proc = nullptr;
    endStatement();

    if (cls) {
        const bool special = name == u"class_initialize" || name == u"class_terminate";
        if (special) {
            if (p->nParams != 0)
                failAt(err::InitTerminateArgs, nameTok);
            (name == u"class_initialize" ? cls->init : cls->term) = p;
        }
        int idx = int(cls->memberIndex.value(name, -1));
        if (idx >= 0) {
            ClassMember &m = cls->members[size_t(idx)];
            bool clash = m.kind != ClassMember::Property || kind < ProcKind::PropGet ||
                         (kind == ProcKind::PropGet && m.get) ||
                         (kind == ProcKind::PropLet && m.let) ||
                         (kind == ProcKind::PropSet && m.set);
            if (clash)
                failAt(err::NameRedefined, nameTok);
        } else {
            ClassMember m;
            m.name = written;
            m.kind = kind >= ProcKind::PropGet ? ClassMember::Property : ClassMember::Method;
            m.isPublic = isPublic;
            idx = int(cls->members.size());
            cls->members.push_back(m);
            cls->memberIndex.insert(name, idx);
        }
        ClassMember &m = cls->members[size_t(idx)];
        if (isPublic)
            m.isPublic = true;
        switch (kind) {
        case ProcKind::PropGet:
            m.get = p;
            break;
        case ProcKind::PropLet:
            m.let = p;
            break;
        case ProcKind::PropSet:
            m.set = p;
            break;
        default:
            m.method = p;
        }
        if (isDefault) {
            if (cls->defaultMember >= 0 && cls->defaultMember != idx)
                failAt(1052, nameTok);
            cls->defaultMember = idx;
        }
    }
}

void Parser::parseClass()
{
    if (proc || cls)
        fail(err::ExpectedStatement);
    next();
    const Token nameTok = cur();
    QString written;
    identifier(&written);
    auto *c = new ClassDef;
    u.classes.emplace_back(c);
    c->name = written;
    cls = c;
    endStatement();
    for (;;) {
        skipSeparators();
        if (isKw(Kw::End))
            break;
        if (cur().type == Tok::End)
            fail(err::ExpectedEnd);
        const Kw k = cur().kw;
        if (k == Kw::Dim || k == Kw::Public || k == Kw::Private || k == Kw::Sub ||
            k == Kw::Function || k == Kw::Property) {
            Node scratch;
            parseStatement(&scratch);
        } else {
            fail(err::ExpectedStatement);
        }
    }
    next();
    expectKw(Kw::Class, err::ExpectedClass);
    cls = nullptr;
    endStatement();
}

} // namespace quillora::vbs
