#include "scoperules.h"

#include "jstokens.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>

namespace quillora::js {

namespace {

using namespace scan;

struct Edit
{
    qsizetype pos = 0;
    qsizetype removed = 0;
    QString text;
};

struct Function
{
    QStringView name;
    qsizetype start = 0;
    qsizetype open = -1; // the body's braces
    qsizetype close = -1;
    int scope = 0; // the scope it is declared or written in
    bool declaration = false;
    bool inBlock = false;
    bool special = false;   // a generator or async function: left as it is
    bool directive = false; // the body starts with a string ("use strict" and kin)
    QSet<QStringView> params;
};

struct Scope
{
    qsizetype open = -1; // body braces; -1 for the global code
    qsizetype close = -1;
    QSet<QStringView> declared;  // var, let, const, parameters and functions declared at its level
    QSet<QStringView> functions; // functions declared at its level, outside blocks
};

enum class Brace
{
    Block,
    Body,
    Expression
};

struct Open
{
    QChar bracket; // '{', '(' or '['
    Brace brace = Brace::Block;
    bool params = false;    // a parenthesis holding a function's parameters
    int function = -1;      // the function of a body or parameter list
    int scope = 0;          // the scope inside
    QStringView header;     // the statement word of a header's parenthesis (if, for, ...)
    qsizetype inAt = -1;    // a for header: the end of its `in`
    bool semicolon = false; // a for header: a semicolon at its level
};

struct Alias
{
    QStringView from, to;
    int depth = 0;
};

class Analysis
{
public:
    Analysis(const QString &code, const QList<Token> &tokens, const QString &fileName)
        : s(code), t(tokens), m_file(fileName)
    {
    }

    QString run()
    {
        m_scopes.append(Scope{});
        collectArgumentsReaders();
        walk();
        if (m_failed || m_stack.size() != 0)
            return s;
        instrumentArguments();
        hoist();
        if (m_edits.isEmpty())
            return s;
        std::stable_sort(m_edits.begin(), m_edits.end(),
                         [](const Edit &a, const Edit &b) { return a.pos < b.pos; });
        QString out;
        out.reserve(s.size() + 256);
        qsizetype from = 0;
        for (const Edit &e : std::as_const(m_edits)) {
            if (e.pos < from)
                return s; // overlapping edits: leave the text alone
            out += QStringView(s).mid(from, e.pos - from);
            out += e.text;
            from = e.pos + e.removed;
        }
        out += QStringView(s).mid(from);
        return out;
    }

private:
    const Token *at(qsizetype i) const { return i >= 0 && i < t.size() ? &t.at(i) : nullptr; }
    template <qsizetype N> bool tokenIs(qsizetype i, const char16_t (&text)[N]) const
    {
        const Token *k = at(i);
        return k && k->is(text);
    }

    int currentScope() const { return m_stack.isEmpty() ? 0 : m_stack.constLast().scope; }
    int stackLevel() const { return int(m_stack.size()); }
    bool inBlock() const
    {
        for (qsizetype i = m_stack.size() - 1; i >= 0; --i) {
            const Open &o = m_stack.at(i);
            if (o.bracket != u'{')
                continue;
            return o.brace == Brace::Block;
        }
        return false;
    }

    static bool endsExpression(const Token &k)
    {
        if (k.kind == Kind::Value)
            return true;
        if (k.kind == Kind::Name)
            return !keywordBeforeOperand(k.text);
        return k.is(u")") || k.is(u"]") || k.is(u"}") || k.is(u"++") || k.is(u"--");
    }
    static bool startsStatement(const Token &k)
    {
        return k.kind != Kind::Punct || k.is(u"{") || k.is(u"++") || k.is(u"--");
    }

    // Names whose `name.arguments` the text reads.
    void collectArgumentsReaders()
    {
        for (qsizetype i = 2; i < t.size(); ++i)
            if (t.at(i).is(u"arguments") && t.at(i - 1).is(u".") && t.at(i - 2).kind == Kind::Name)
                m_readers.insert(t.at(i - 2).text);
    }

    void walk()
    {
        bool statementNext = true;
        bool headerNext = false;
        bool arrowNext = false;
        int bodyNext = -1;   // the function whose body the next brace opens
        int paramsNext = -1; // the function whose parameters the next parenthesis holds
        QStringView headerWord;
        int varDepth = -1; // a var, let or const statement at this stack depth
        int caseDepth = -1;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const Token &k = t.at(i);
            const Token *prev = at(i - 1);
            const bool statement = statementNext || (k.newlineBefore && prev &&
                                                     endsExpression(*prev) && startsStatement(k));
            statementNext = false;
            const int depth = int(m_stack.size());
            if (statement && varDepth >= 0 && depth <= varDepth && !tokenIs(i - 1, u","))
                varDepth = -1;
            if (k.kind == Kind::Name) {
                name(i, statement, statementNext, varDepth, caseDepth, headerNext, headerWord,
                     paramsNext);
                continue;
            }
            if (k.kind == Kind::Value)
                continue;
            if (k.is(u"(")) {
                Open o;
                o.bracket = u'(';
                o.scope = currentScope();
                if (paramsNext >= 0) {
                    o.function = paramsNext;
                    o.params = true;
                } else if (headerNext) {
                    o.header = headerWord;
                }
                paramsNext = -1;
                headerNext = false;
                m_stack.append(o);
            } else if (k.is(u")")) {
                if (m_stack.isEmpty() || m_stack.constLast().bracket != u'(')
                    return fail();
                const Open o = m_stack.takeLast();
                if (o.function >= 0) {
                    bodyNext = o.function;
                } else if (o.header == u"if" || o.header == u"for" || o.header == u"while" ||
                           o.header == u"with" || o.header == u"switch" || o.header == u"catch") {
                    statementNext = true;
                    if (o.header == u"for" && o.inAt >= 0 && !o.semicolon) {
                        // for (x in "text") walks no characters
                        m_edits.append({o.inAt, 0, QStringLiteral(" __quilloraForIn(")});
                        m_edits.append({k.pos, 0, QStringLiteral(")")});
                    }
                }
            } else if (k.is(u"{")) {
                Open o;
                o.bracket = u'{';
                o.scope = currentScope();
                if (bodyNext >= 0 || arrowNext || (!statement && prev && prev->is(u")"))) {
                    o.brace = Brace::Body;
                    o.function = bodyNext;
                    Scope scope;
                    scope.open = k.pos;
                    m_scopes.append(scope);
                    o.scope = int(m_scopes.size() - 1);
                    if (bodyNext >= 0) {
                        Function &f = m_functions[bodyNext];
                        f.open = k.pos;
                        m_scopes[o.scope].declared.unite(f.params);
                        const Token *first = at(i + 1);
                        f.directive =
                            first && first->kind == Kind::Value &&
                            (first->text.startsWith(u'"') || first->text.startsWith(u'\''));
                    }
                    statementNext = true;
                } else if (statement) {
                    o.brace = Brace::Block;
                    statementNext = true;
                } else {
                    o.brace = Brace::Expression;
                }
                bodyNext = -1;
                arrowNext = false;
                m_stack.append(o);
            } else if (k.is(u"}")) {
                if (m_stack.isEmpty() || m_stack.constLast().bracket != u'{')
                    return fail();
                const Open o = m_stack.takeLast();
                endAliases(stackLevel());
                if (o.brace == Brace::Body) {
                    m_scopes[o.scope].close = k.pos;
                    if (o.function >= 0) {
                        Function &f = m_functions[o.function];
                        f.close = k.pos;
                        statementNext = f.declaration;
                        if (f.declaration && f.name.isEmpty() && !f.special) {
                            // an anonymous function statement: an expression statement here
                            m_edits.append({f.start, 0, QStringLiteral("(")});
                            m_edits.append({k.end, 0, QStringLiteral(");")});
                        }
                    }
                } else {
                    statementNext = o.brace == Brace::Block;
                }
            } else if (k.is(u"[")) {
                Open o;
                o.bracket = u'[';
                o.scope = currentScope();
                m_stack.append(o);
            } else if (k.is(u"]")) {
                if (m_stack.isEmpty() || m_stack.constLast().bracket != u'[')
                    return fail();
                m_stack.removeLast();
            } else if (k.is(u";")) {
                statementNext = true;
                if (!m_stack.isEmpty() && m_stack.constLast().bracket == u'(')
                    m_stack.last().semicolon = true;
                endAliases(depth);
            } else if (k.is(u"=>")) {
                arrowNext = tokenIs(i + 1, u"{");
            } else if (k.is(u":")) {
                if (caseDepth == depth) {
                    caseDepth = -1;
                    statementNext = true;
                } else if (m_labelColon == i) {
                    statementNext = true;
                }
            } else if (k.is(u",") && varDepth == depth) {
                const Token *next = at(i + 1);
                if (next && next->kind == Kind::Name)
                    m_scopes[currentScope()].declared.insert(next->text);
            }
        }
    }

    void name(qsizetype i, bool statement, bool &statementNext, int &varDepth, int &caseDepth,
              bool &headerNext, QStringView &headerWord, int &paramsNext)
    {
        const Token &k = t.at(i);
        const int depth = int(m_stack.size());
        const Token *next = at(i + 1);
        const bool member = tokenIs(i - 1, u".") || tokenIs(i - 1, u"?.");
        if (!m_stack.isEmpty() && m_stack.constLast().params &&
            (tokenIs(i - 1, u"(") || tokenIs(i - 1, u",") || tokenIs(i - 1, u"..."))) {
            m_functions[m_stack.constLast().function].params.insert(k.text);
            return;
        }
        if (member)
            return;
        m_uses.append({k.text, k.pos, currentScope()});
        if (k.is(u"function")) {
            function(i, statement, paramsNext);
            return;
        }
        if (k.is(u"let") && !(next && (next->kind == Kind::Name || next->is(u"[") ||
                                       next->is(u"{") || next->is(u":")))) {
            // let as a name, which JScript allows and the engine does not: a look-alike
            // name of the same length (a Cyrillic e)
            m_edits.append({k.pos + 1, 1, QString(QChar(0x0435))});
            return;
        }
        if (k.is(u"var") || k.is(u"let") || k.is(u"const")) {
            varDepth = depth;
            if (next && next->kind == Kind::Name)
                m_scopes[currentScope()].declared.insert(next->text);
            return;
        }
        if (k.is(u"if") || k.is(u"for") || k.is(u"while") || k.is(u"with") || k.is(u"switch") ||
            k.is(u"catch")) {
            headerNext = true;
            headerWord = k.text;
            return;
        }
        if (k.is(u"else") || k.is(u"do") || k.is(u"try") || k.is(u"finally")) {
            statementNext = true;
            return;
        }
        if (k.is(u"in") && !m_stack.isEmpty() && m_stack.constLast().header == u"for" &&
            m_stack.constLast().inAt < 0) {
            m_stack.last().inAt = k.end;
            return;
        }
        if (statement && (k.is(u"case") || k.is(u"default"))) {
            caseDepth = depth;
            return;
        }
        if (k.is(u"continue") && next && next->kind == Kind::Name && !next->newlineBefore) {
            for (qsizetype a = m_aliases.size() - 1; a >= 0; --a) {
                if (m_aliases.at(a).from == next->text) {
                    m_edits.append(
                        {next->pos, next->end - next->pos, m_aliases.at(a).to.toString()});
                    break;
                }
            }
            return;
        }
        // a label is a name; a word of the language before a colon is a fault the engine
        // reports on the text as written
        if (statement && next && next->is(u":") && k.kind == Kind::Name && !k.is(u"break") &&
            !k.is(u"continue") && !keywordBeforeOperand(k.text)) {
            label(i, depth);
            statementNext = false;
        }
    }

    void label(qsizetype i, int depth)
    {
        const Token &k = t.at(i);
        m_labelColon = i + 1;
        const Token *after = at(i + 2);
        if (!after)
            return;
        if ((after->is(u"break") || after->is(u"continue"))) {
            const Token *end = at(i + 3);
            if (!end || end->is(u";") || end->is(u"}") || end->newlineBefore) {
                // `label: break;` inside a loop leaves the loop; the engine underneath
                // leaves only the label and loops for ever: the label goes
                // (a comment between them keeps its line breaks)
                QString blank = s.mid(k.pos, t.at(i + 1).end - k.pos);
                for (QChar &c : blank)
                    if (c != u'\n' && c != u'\r' && c != QChar(0x2028) && c != QChar(0x2029))
                        c = u' ';
                m_edits.append({k.pos, blank.size(), blank});
                return;
            }
        }
        // two labels on one statement: `continue` to the outer one goes to the inner one,
        // which names the same loop (the engine refuses the outer one)
        qsizetype last = i;
        while (at(last + 3) && at(last + 2)->kind == Kind::Name && at(last + 3)->is(u":"))
            last += 2;
        for (qsizetype l = i; l < last; l += 2)
            m_aliases.append({t.at(l).text, t.at(last).text, depth});
    }

    // A labelled statement ends at a semicolon or closing brace at its label's level.
    void endAliases(int level)
    {
        while (!m_aliases.isEmpty() && m_aliases.constLast().depth >= level)
            m_aliases.removeLast();
    }

    void function(qsizetype i, bool statement, int &paramsNext)
    {
        Function f;
        f.start = t.at(i).pos;
        f.declaration = statement;
        f.inBlock = inBlock();
        f.scope = currentScope();
        f.special = tokenIs(i - 1, u"async");
        qsizetype j = i + 1;
        if (tokenIs(j, u"*")) {
            f.special = true;
            ++j;
        }
        const Token *n = at(j);
        if (n && n->kind == Kind::Name) {
            f.name = n->text;
            ++j;
        }
        if (!tokenIs(j, u"("))
            return;
        if (f.declaration && !f.name.isEmpty()) {
            Scope &scope = m_scopes[f.scope];
            if (!f.inBlock) {
                scope.functions.insert(f.name);
                scope.declared.insert(f.name);
            }
        }
        m_functions.append(f);
        paramsNext = int(m_functions.size() - 1);
    }

    // A declared function whose `name.arguments` the text reads keeps its arguments there
    // while it runs.
    void instrumentArguments()
    {
        for (const Function &f : std::as_const(m_functions)) {
            if (!f.declaration || f.special || f.directive || f.name.isEmpty() || f.close < 0 ||
                !m_readers.contains(f.name) || f.params.contains(f.name))
                continue;
            m_edits.append({f.open + 1, 0,
                            QStringLiteral("try{__quilloraArgs.enter(%1,arguments);").arg(f.name)});
            m_edits.append(
                {f.close, 0, QStringLiteral("}finally{__quilloraArgs.leave(%1)}").arg(f.name)});
        }
    }

    bool usedOutside(const Function &f) const
    {
        const Scope &scope = m_scopes.at(f.scope);
        for (const qsizetype pos : m_usesOf.value(f.name)) {
            if (pos >= f.start && pos <= f.close)
                continue;
            if (scope.open < 0 || (pos > scope.open && pos < scope.close))
                return true;
        }
        return false;
    }

    // Where the names of named function expressions are used (one pass over the uses).
    void collectUses()
    {
        for (const Function &f : std::as_const(m_functions))
            if (!f.declaration && !f.name.isEmpty())
                m_usesOf.insert(f.name, {});
        for (const Use &u : std::as_const(m_uses)) {
            const auto found = m_usesOf.find(u.name);
            if (found != m_usesOf.end())
                found->append(u.pos);
        }
    }

    static QString quoted(QStringView text)
    {
        QString q = QStringLiteral("\"");
        for (QChar c : text) {
            if (c == u'\\' || c == u'"')
                q += u'\\', q += c;
            else if (c == u'\n')
                q += QStringLiteral("\\n");
            else if (c == u'\r')
                q += QStringLiteral("\\r");
            else if (c == QChar(0x2028) || c == QChar(0x2029))
                q += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16);
            else
                q += c;
        }
        return q + u'"';
    }

    // The line (from 1) of a position, as the engine counts lines.
    int lineOf(qsizetype pos)
    {
        if (m_lineStarts.isEmpty()) {
            m_lineStarts.append(0);
            for (qsizetype i = 0; i < s.size(); ++i) {
                const QChar c = s.at(i);
                if (c == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n')
                    continue;
                if (isLineEnd(c))
                    m_lineStarts.append(i + 1);
            }
        }
        return int(std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), pos) -
                   m_lineStarts.cbegin());
    }

    // Functions JScript declares in the whole enclosing function: those declared in blocks,
    // and named function expressions whose name the function uses and does not declare.
    // Each is made from its text at its first call: one of global code by the host, on its
    // own line of the script (an error inside it is reported there); one inside a function
    // by eval where it stands (an error inside it is reported on the line of the stub).
    void hoist()
    {
        collectUses();
        int count = 0;
        for (const Function &f : std::as_const(m_functions)) {
            if (f.name.isEmpty() || f.special || f.close < 0)
                continue;
            const Scope &scope = m_scopes.at(f.scope);
            bool wanted = false;
            if (f.declaration)
                wanted = f.inBlock && !scope.functions.contains(f.name);
            else
                wanted = !scope.declared.contains(f.name) && usedOutside(f);
            if (!wanted)
                continue;
            const QString text =
                quoted(u'(' + QStringView(s).mid(f.start, f.close + 1 - f.start).toString() + u')');
            const QString make = scope.open < 0 ? QStringLiteral("__quilloraCompile(%1,%2,%3)")
                                                      .arg(text, quoted(m_file))
                                                      .arg(lineOf(f.start))
                                                : QStringLiteral("eval(%1)").arg(text);
            const QString stub =
                QStringLiteral(";function %1(){return __quilloraHoist(%2,function(){return %3})"
                               ".apply(this,arguments)}")
                    .arg(f.name, quoted(m_file + u'.' + QString::number(count++)), make);
            if (scope.open < 0) // after the last token: on the script's last line of code
                m_edits.append({t.constLast().end, 0, stub});
            else
                m_edits.append({scope.close, 0, stub});
        }
    }

    void fail() { m_failed = true; }

    struct Use
    {
        QStringView name;
        qsizetype pos;
        int scope;
    };

    const QString &s;
    const QList<Token> &t;
    const QString m_file;
    QList<Open> m_stack;
    QList<Scope> m_scopes;
    QList<Function> m_functions;
    QList<Use> m_uses;
    QList<Alias> m_aliases;
    QSet<QStringView> m_readers;
    QHash<QStringView, QList<qsizetype>> m_usesOf;
    QList<qsizetype> m_lineStarts;
    QList<Edit> m_edits;
    qsizetype m_labelColon = -1;
    bool m_failed = false;
};

} // namespace

QString rewriteScopeRules(const QString &code, const QString &fileName)
{
    if (code.contains(u"use strict"))
        return code;
    QList<Token> tokens;
    if (!tokenize(code, tokens))
        return code;
    return Analysis(code, tokens, fileName).run();
}

} // namespace quillora::js
