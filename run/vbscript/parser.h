#pragma once
// Recursive-descent parser: tokens to an unresolved tree. Records the declarations of each
// scope (globals, procedure locals, class members) for the resolver.

#include "ast.h"
#include "lexer.h"

#include <functional>

namespace quillora::vbs {

struct ParsedUnit
{
    QStringList globalDims;   // names declared at top level by Dim/Public/Private
    QStringList globalConsts; // names declared at top level by Const
};

class Parser
{
public:
    static constexpr int kMaxDepth = 150;

    Parser(Unit &unit, std::vector<Token> tokens) : u(unit), toks(std::move(tokens)) {}
    // Parses a whole program into unit.top, unit.procs and unit.classes.
    ParsedUnit parseProgram();
    // Parses one expression followed by the end of the text (Eval).
    Node *parseExpressionText();

private:
    const Token &cur() const { return toks[pos]; }
    const Token &peek(int k = 1) const
    {
        size_t p = pos + size_t(k);
        return toks[p < toks.size() ? p : toks.size() - 1];
    }
    void next()
    {
        if (pos + 1 < toks.size())
            ++pos;
    }
    bool isKw(Kw k) const { return cur().type == Tok::Ident && cur().kw == k; }
    bool isOp(char16_t c) const
    {
        return cur().type == Tok::Op && cur().text.size() == 1 && cur().text[0] == c;
    }
    bool isOp(const char16_t *s) const { return cur().type == Tok::Op && cur().text == s; }
    bool atEndOfStatement() const
    {
        return cur().type == Tok::NewLine || cur().type == Tok::Colon || cur().type == Tok::End ||
               (inSingleLineIf > 0 && isKw(Kw::Else)) || atBlockEnd();
    }
    // "End Sub", "End Function", "End Property", "End Class" or "End If" may follow the
    // last statement of a block on the same line.
    bool atBlockEnd() const
    {
        if (!isKw(Kw::End) || peek().type != Tok::Ident)
            return false;
        const Kw k = peek().kw;
        return k == Kw::Sub || k == Kw::Function || k == Kw::Property || k == Kw::Class ||
               k == Kw::If;
    }
    [[noreturn]] void fail(int number) const;
    [[noreturn]] void failAt(int number, const Token &t) const;
    void expectKw(Kw k, int number);
    void expectOp(char16_t c, int number);
    void endStatement();
    void skipSeparators();
    QString identifier(QString *asWritten = nullptr);
    bool isIdentifier() const;
    void enter();
    void leave() { --depth; }

    Node *parseBlock(const std::function<bool()> &atEnd, int eofError = 1014);
    void parseStatement(Node *block);
    void parseDim(Node *block, bool isPublic, bool inClassBody);
    void parseConst(Node *block);
    Node *parseReDim();
    Node *parseIf();
    Node *parseSelect();
    Node *parseFor();
    Node *parseDo();
    Node *parseWhile();
    Node *parseWith();
    Node *parseExit();
    Node *parseOnError();
    Node *parseAssignOrCall(bool isSet, bool hasCall);
    static Node *startsAt(Node *statement, int line, int col);
    void parseProcedure(bool isPublic, bool isDefault);
    void parseClass();
    void declareLocal(const QString &lower, const Token &at);

    Node *parseExpr();
    Node *parseBinaryLevel(int level);
    Node *parseNot();
    Node *parseUnary();
    Node *parseSigned();
    Node *parsePow();
    Node *parsePrimary();
    Node *parseChain(Node *base, bool statementHead);
    void parseArgs(Node *call); // after '('

    Unit &u;
    std::vector<Token> toks;
    size_t pos = 0;
    int depth = 0;
    int inSingleLineIf = 0;
    int doDepth = 0;
    int forDepth = 0;
    Procedure *proc = nullptr; // procedure being parsed, null at top level
    ClassDef *cls = nullptr;
    ParsedUnit result;
    Node *pendingPrimary = nullptr;
};

} // namespace quillora::vbs
