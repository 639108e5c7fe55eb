#include "syntaxcheck.h"

#include <vector>

namespace quillora::js {

QString syntaxErrorText(int number)
{
    static const struct
    {
        int number;
        const char16_t *text;
    } table[] = {
        {1002, u"Syntax error"},
        {1003, u"Expected ':'"},
        {1004, u"Expected ';'"},
        {1005, u"Expected '('"},
        {1006, u"Expected ')'"},
        {1007, u"Expected ']'"},
        {1008, u"Expected '{'"},
        {1009, u"Expected '}'"},
        {1010, u"Expected identifier"},
        {1011, u"Expected '='"},
        {1012, u"Expected '/'"},
        {1014, u"Invalid character"},
        {1015, u"Unterminated string constant"},
        {1016, u"Unterminated comment"},
        {1018, u"'return' statement outside of function"},
        {1019, u"Can't have 'break' outside of loop"},
        {1020, u"Can't have 'continue' outside of loop"},
        {1023, u"Expected hexadecimal digit"},
        {1024, u"Expected 'while'"},
        {1025, u"Label redefined"},
        {1026, u"Label not found"},
        {1027, u"'default' can only appear once in a 'switch' statement"},
        {1028, u"Expected identifier, string or number"},
        {1029, u"Expected '@end'"},
        {1030, u"Conditional compilation is turned off"},
        {1031, u"Expected constant"},
        {1032, u"Expected '@'"},
        {1033, u"Expected 'catch'"},
        {1035, u"Throw must be followed by an expression on the same source line"},
    };
    for (const auto &row : table)
        if (row.number == number)
            return QString::fromUtf16(row.text);
    return QString();
}

namespace {

enum class T : uint8_t
{
    End,
    Name,   // identifier or keyword
    Number, // also a string or a regular expression: a value
    Punct,
    CcWord, // @if, @elif, @else, @end, @set
    CcVar,  // @name, a conditional compilation variable
};

struct Token
{
    T type = T::End;
    QStringView text;
    int line = 1;
    int col = 0;
    qsizetype pos = 0;
    bool newlineBefore = false;
};

struct Fault
{
    int number;
    int line;
    int col;
};

struct TooDeep
{
};

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$' || (c.unicode() >= 0x80 && c.isLetterOrNumber());
}

bool isIdentPart(QChar c)
{
    return isIdentStart(c) || c.isDigit() || c.category() == QChar::Mark_NonSpacing ||
           c.category() == QChar::Mark_SpacingCombining ||
           c.category() == QChar::Punctuation_Connector;
}

bool isHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == QChar(0xA0) ||
           c == QChar(0xFEFF) || c.category() == QChar::Separator_Space;
}

class Lexer
{
public:
    Lexer(const QString &code, bool ccOn) : s(code), ccOn(ccOn) {}

    // The next token; a slash is a division sign here, see regExpAt.
    Token next()
    {
        bool newline = false;
        skipBlank(newline);
        Token t;
        t.newlineBefore = newline;
        t.line = line;
        t.col = col();
        t.pos = p;
        if (p >= s.size()) {
            if (inCcComment)
                throw Fault{1016, ccLine, ccCol};
            t.type = T::End;
            return t;
        }
        const QChar c = s.at(p);
        if (isIdentStart(c) || c == u'\\') {
            const qsizetype start = p;
            while (p < s.size() && (isIdentPart(s.at(p)) || s.at(p) == u'\\')) {
                if (s.at(p) == u'\\') { // \uXXXX in a name
                    if (p + 1 >= s.size() || s.at(p + 1) != u'u')
                        throw Fault{1014, line, col()};
                    p += 2;
                    hexDigits(4);
                } else {
                    ++p;
                }
            }
            t.type = T::Name;
            t.text = QStringView(s).mid(start, p - start);
            return t;
        }
        if (c.isDigit() || (c == u'.' && p + 1 < s.size() && s.at(p + 1).isDigit())) {
            number();
            t.type = T::Number;
            t.text = QStringView(s).mid(t.pos, p - t.pos);
            return t;
        }
        if (c == u'"' || c == u'\'') {
            string(c, t);
            t.type = T::Number;
            return t;
        }
        if (c == u'@')
            return ccToken(t);
        static const char16_t *const puncts[] = {
            u">>>=", u"===", u"!==", u">>>", u"<<=", u">>=", u"<=", u">=", u"==", u"!=",
            u"++",   u"--",  u"<<",  u">>",  u"&&",  u"||",  u"+=", u"-=", u"*=", u"%=",
            u"&=",   u"|=",  u"^=",  u"/=",  u"::",  u"{",   u"}",  u"(",  u")",  u"[",
            u"]",    u".",   u";",   u",",   u"<",   u">",   u"+",  u"-",  u"*",  u"%",
            u"&",    u"|",   u"^",   u"!",   u"~",   u"?",   u":",  u"=",  u"/"};
        const QStringView rest = QStringView(s).mid(p);
        for (const char16_t *q : puncts) {
            const QStringView op(q);
            if (rest.startsWith(op)) {
                p += op.size();
                t.type = T::Punct;
                t.text = op;
                return t;
            }
        }
        throw Fault{1014, line, col()};
    }

    // Reads a regular expression literal that starts at the slash token `t`; the token
    // becomes a value.
    void regExpAt(Token &t)
    {
        p = t.pos + 1;
        bool inClass = false;
        while (true) {
            if (p >= s.size() || isLineEnd(s.at(p)))
                throw Fault{1012, line, col()};
            const QChar c = s.at(p++);
            if (c == u'\\') {
                if (p >= s.size() || isLineEnd(s.at(p)))
                    throw Fault{1012, line, col()};
                ++p;
            } else if (c == u'[') {
                inClass = true;
            } else if (c == u']') {
                inClass = false;
            } else if (c == u'/' && !inClass) {
                break;
            }
        }
        while (p < s.size() && isIdentPart(s.at(p)))
            ++p;
        t.type = T::Number;
        t.text = QStringView(s).mid(t.pos, p - t.pos);
    }

    int line = 1;

private:
    int col() const { return int(p - lineStart); }

    void newLine()
    {
        if (s.at(p) == u'\r' && p + 1 < s.size() && s.at(p + 1) == u'\n')
            ++p;
        ++p;
        ++line;
        lineStart = p;
    }

    bool startsCc(qsizetype at) const
    {
        // a comment opened by "/*@" or "//@" holds code once conditional compilation is on
        // or when it turns it on
        return at < s.size() && s.at(at) == u'@' &&
               (ccOn || QStringView(s).mid(at + 1).startsWith(u"cc_on"));
    }

    // The length of "/*@" or "//@" at p: the at sign begins the directive or name right
    // after it, or goes with the comment's opening
    qsizetype ccOpener() const { return p + 3 < s.size() && isIdentPart(s.at(p + 3)) ? 2 : 3; }

    void skipBlank(bool &newline)
    {
        while (p < s.size()) {
            const QChar c = s.at(p);
            if (isLineEnd(c)) {
                newline = true;
                if (inCcLine) {
                    inCcLine = false;
                }
                newLine();
            } else if (isSpace(c)) {
                ++p;
            } else if (c == u'/' && p + 1 < s.size() && s.at(p + 1) == u'/') {
                if (!inCcComment && !inCcLine && startsCc(p + 2)) {
                    inCcLine = true;
                    p += ccOpener();
                    continue;
                }
                while (p < s.size() && !isLineEnd(s.at(p)))
                    ++p;
            } else if (c == u'/' && p + 1 < s.size() && s.at(p + 1) == u'*') {
                if (!inCcComment && !inCcLine && startsCc(p + 2)) {
                    inCcComment = true;
                    ccLine = line;
                    ccCol = col();
                    p += ccOpener();
                    continue;
                }
                const int l = line, k = col();
                p += 2;
                while (true) {
                    if (p >= s.size())
                        throw Fault{1016, l, k};
                    if (s.at(p) == u'*' && p + 1 < s.size() && s.at(p + 1) == u'/') {
                        p += 2;
                        break;
                    }
                    if (isLineEnd(s.at(p))) {
                        newline = true;
                        newLine();
                    } else {
                        ++p;
                    }
                }
            } else if (inCcComment && c == u'@' && p + 2 < s.size() && s.at(p + 1) == u'*' &&
                       s.at(p + 2) == u'/') {
                inCcComment = false;
                p += 3;
            } else {
                return;
            }
        }
    }

    void hexDigits(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (p >= s.size() || !isHex(s.at(p)))
                throw Fault{1023, line, col()};
            ++p;
        }
    }

    void digits()
    {
        while (p < s.size() && s.at(p).isDigit())
            ++p;
    }

    void number()
    {
        if (s.at(p) == u'0' && p + 1 < s.size() && (s.at(p + 1) == u'x' || s.at(p + 1) == u'X') &&
            p + 2 < s.size() && isHex(s.at(p + 2))) {
            p += 2;
            while (p < s.size() && isHex(s.at(p)))
                ++p;
            return;
        }
        const bool leadingZero = s.at(p) == u'0';
        digits();
        // an octal literal has no fraction: JScript reads "001.5" as 001 followed by .5
        if (p < s.size() && s.at(p) == u'.' && !(leadingZero && isOctalRun())) {
            ++p;
            digits();
        }
        if (p < s.size() && (s.at(p) == u'e' || s.at(p) == u'E')) {
            qsizetype q = p + 1;
            if (q < s.size() && (s.at(q) == u'+' || s.at(q) == u'-'))
                ++q;
            if (q < s.size() && s.at(q).isDigit()) {
                p = q;
                digits();
            }
        }
    }

    // The digits just read form an octal literal (a leading 0 and more than one digit,
    // all below 8).
    bool isOctalRun() const
    {
        qsizetype q = p - 1;
        while (q >= 0 && s.at(q).isDigit())
            --q;
        const QStringView run = QStringView(s).mid(q + 1, p - q - 1);
        if (run.size() < 2)
            return false;
        for (QChar d : run)
            if (d > u'7')
                return false;
        return true;
    }

    void string(QChar quote, Token &t)
    {
        const int l = line, k = col();
        ++p;
        while (true) {
            if (p >= s.size() || isLineEnd(s.at(p)))
                throw Fault{1015, l, k};
            const QChar c = s.at(p++);
            if (c == quote)
                break;
            if (c != u'\\')
                continue;
            if (p >= s.size())
                throw Fault{1015, l, k};
            const QChar e = s.at(p);
            if (isLineEnd(e)) { // a line continued inside the string
                newLine();
            } else if (e == u'x') {
                ++p;
                hexDigits(2);
            } else if (e == u'u') {
                ++p;
                hexDigits(4);
            } else {
                ++p;
            }
        }
        t.text = QStringView(s).mid(t.pos, p - t.pos);
    }

    Token ccToken(Token &t)
    {
        ++p;
        const qsizetype start = p;
        while (p < s.size() && isIdentPart(s.at(p)))
            ++p;
        const QStringView word = QStringView(s).mid(start, p - start);
        if (word == u"cc_on") {
            ccOn = true;
            return next();
        }
        if (word == u"if" || word == u"set") // outside a comment they turn it on too
            ccOn = true;
        if (!ccOn)
            throw Fault{1030, t.line, t.col};
        if (word.isEmpty())
            throw Fault{1002, t.line, t.col};
        t.text = QStringView(s).mid(t.pos, p - t.pos);
        t.type = (word == u"if" || word == u"elif" || word == u"else" || word == u"end" ||
                  word == u"set")
                     ? T::CcWord
                     : T::CcVar;
        return t;
    }

    const QString &s;
    qsizetype p = 0;
    qsizetype lineStart = 0;
    bool ccOn = false;
    bool inCcComment = false;
    bool inCcLine = false;
    int ccLine = 1;
    int ccCol = 0;
};

bool isReserved(QStringView w)
{
    static const char16_t *const words[] = {
        u"break",  u"case",   u"catch",      u"continue", u"default", u"delete",
        u"do",     u"else",   u"false",      u"finally",  u"for",     u"function",
        u"if",     u"in",     u"instanceof", u"new",      u"null",    u"return",
        u"switch", u"this",   u"throw",      u"true",     u"try",     u"typeof",
        u"var",    u"void",   u"while",      u"with",     u"class",   u"const",
        u"enum",   u"export", u"extends",    u"import",   u"super",   u"debugger"};
    for (const char16_t *w2 : words)
        if (w == QStringView(w2))
            return true;
    return false;
}

struct Label
{
    QStringView name;
    bool loop = false;
};

class Parser
{
public:
    Parser(const QString &code, bool ccOn) : lex(code, ccOn) { advance(); }

    void program()
    {
        while (tok.type != T::End)
            statement();
        if (ccDepth > 0)
            fail(1029);
    }

private:
    // ---- tokens

    void advance() { tok = lex.next(); }

    [[noreturn]] void fail(int number) const { throw Fault{number, tok.line, tok.col}; }

    bool isPunct(const char16_t *p) const
    {
        return tok.type == T::Punct && tok.text == QStringView(p);
    }
    bool isWord(const char16_t *w) const
    {
        return tok.type == T::Name && tok.text == QStringView(w);
    }

    void expect(const char16_t *p, int number)
    {
        if (!isPunct(p))
            fail(number);
        advance();
    }

    void expectName()
    {
        if (tok.type != T::Name || isReserved(tok.text))
            fail(1010);
        advance();
    }

    // The end of a statement: ";", or a line break, "}" or the end before the next token.
    void semicolon()
    {
        if (isPunct(u";")) {
            advance();
            return;
        }
        if (tok.type == T::End || isPunct(u"}") || tok.newlineBefore || tok.type == T::CcWord)
            return;
        fail(1004);
    }

    struct Depth
    {
        Parser &parser;
        explicit Depth(Parser &p) : parser(p)
        {
            if (++parser.depth > 400)
                throw TooDeep();
        }
        ~Depth() { --parser.depth; }
    };

    // ---- statements

    void statement()
    {
        Depth d(*this);
        // every label directly before a loop is a loop's label
        std::vector<size_t> chain;
        chain.swap(pendingLabels);
        if (isWord(u"do") || isWord(u"while") || isWord(u"for"))
            for (size_t i : chain)
                labels[i].loop = true;
        if (tok.type == T::CcWord) {
            ccStatement();
            return;
        }
        if (tok.type == T::Punct) {
            if (isPunct(u"{")) {
                block();
                return;
            }
            if (isPunct(u";")) {
                advance();
                return;
            }
        }
        if (tok.type == T::Name) {
            const QStringView w = tok.text;
            if (w == u"var") {
                advance();
                varList(false);
                semicolon();
                return;
            }
            if (w == u"if") {
                advance();
                parenthesised();
                statement();
                if (isWord(u"else")) {
                    advance();
                    statement();
                }
                return;
            }
            if (w == u"do") {
                advance();
                loopBody();
                if (!isWord(u"while"))
                    fail(1024);
                advance();
                parenthesised();
                if (isPunct(u";"))
                    advance();
                return;
            }
            if (w == u"while") {
                advance();
                parenthesised();
                loopBody();
                return;
            }
            if (w == u"for") {
                forStatement();
                return;
            }
            if (w == u"continue" || w == u"break") {
                jump(w == u"continue");
                return;
            }
            if (w == u"return") {
                if (!inFunction)
                    fail(1018);
                advance();
                if (!isPunct(u";") && !isPunct(u"}") && tok.type != T::End && !tok.newlineBefore)
                    expression(false);
                semicolon();
                return;
            }
            if (w == u"with") {
                advance();
                parenthesised();
                statement();
                return;
            }
            if (w == u"switch") {
                switchStatement();
                return;
            }
            if (w == u"throw") {
                advance();
                if (tok.newlineBefore || tok.type == T::End)
                    fail(1035);
                expression(false);
                semicolon();
                return;
            }
            if (w == u"try") {
                tryStatement();
                return;
            }
            if (w == u"function") {
                function();
                return;
            }
            if (w == u"debugger") {
                advance();
                semicolon();
                return;
            }
            if (!isReserved(w)) {
                const Token save = tok;
                advance();
                if (isPunct(u":")) {
                    advance();
                    labelled(save, std::move(chain));
                    return;
                }
                hasRestart = true; // not a label: the name starts an expression
            }
        }
        expression(false);
        semicolon();
    }

    // `chain`: the labels directly before this one (a: b: while ...)
    void labelled(const Token &name, std::vector<size_t> chain)
    {
        for (const Label &l : labels)
            if (l.name == name.text)
                throw Fault{1025, name.line, name.col};
        chain.push_back(labels.size());
        labels.push_back({name.text, false});
        pendingLabels = std::move(chain);
        statement();
        labels.pop_back();
    }

    void jump(bool isContinue)
    {
        const Token at = tok;
        advance();
        if (tok.type == T::Name && !tok.newlineBefore && !isReserved(tok.text)) {
            const Label *found = nullptr;
            for (const Label &l : labels)
                if (l.name == tok.text)
                    found = &l;
            if (!found)
                fail(1026);
            if (isContinue && (!found->loop || loops == 0))
                throw Fault{1020, at.line, at.col};
            advance();
        } else if (isContinue ? loops == 0 : loops + switches == 0) {
            throw Fault{isContinue ? 1020 : 1019, at.line, at.col};
        }
        semicolon();
    }

    void block()
    {
        expect(u"{", 1008);
        while (!isPunct(u"}")) {
            if (tok.type == T::End)
                fail(1009);
            statement();
        }
        advance();
    }

    void parenthesised()
    {
        expect(u"(", 1005);
        expression(false);
        expect(u")", 1006);
    }

    void loopBody()
    {
        ++loops;
        statement();
        --loops;
    }

    void varList(bool noIn)
    {
        while (true) {
            expectName();
            if (isPunct(u"=")) {
                advance();
                assignment(noIn);
            }
            if (!isPunct(u","))
                return;
            advance();
        }
    }

    void forStatement()
    {
        advance();
        expect(u"(", 1005);
        bool forIn = false;
        if (isWord(u"var")) {
            advance();
            varList(true);
            forIn = isWord(u"in");
        } else if (!isPunct(u";")) {
            expression(true);
            forIn = isWord(u"in");
        }
        if (forIn) {
            advance();
            expression(false);
        } else {
            expect(u";", 1004);
            if (!isPunct(u";"))
                expression(false);
            expect(u";", 1004);
            if (!isPunct(u")"))
                expression(false);
        }
        expect(u")", 1006);
        loopBody();
    }

    void switchStatement()
    {
        advance();
        parenthesised();
        expect(u"{", 1008);
        bool hasDefault = false;
        ++switches;
        while (!isPunct(u"}")) {
            if (isWord(u"case")) {
                advance();
                expression(false);
            } else if (isWord(u"default")) {
                if (hasDefault)
                    fail(1027);
                hasDefault = true;
                advance();
            } else {
                fail(tok.type == T::End ? 1009 : 1002);
            }
            expect(u":", 1003);
            while (!isWord(u"case") && !isWord(u"default") && !isPunct(u"}")) {
                if (tok.type == T::End)
                    fail(1009);
                statement();
            }
        }
        --switches;
        advance();
    }

    void tryStatement()
    {
        advance();
        block();
        bool handled = false;
        if (isWord(u"catch")) {
            advance();
            expect(u"(", 1005);
            expectName();
            expect(u")", 1006);
            block();
            handled = true;
        }
        if (isWord(u"finally")) {
            advance();
            block();
            handled = true;
        }
        if (!handled)
            fail(1033);
    }

    // A function declaration or expression. JScript also takes a statement
    // without a name, and "function object::event()" for event handlers.
    void function()
    {
        advance();
        if (tok.type == T::Name && !isReserved(tok.text)) {
            advance();
            while (isPunct(u".") || isPunct(u"::")) {
                advance();
                expectName();
            }
        }
        expect(u"(", 1005);
        if (!isPunct(u")")) {
            while (true) {
                expectName();
                if (!isPunct(u","))
                    break;
                advance();
            }
        }
        expect(u")", 1006);
        // a body is a fresh context: no loops, no labels, return allowed
        const bool wasInFunction = inFunction;
        const int oldLoops = loops, oldSwitches = switches;
        std::vector<Label> oldLabels;
        oldLabels.swap(labels);
        pendingLabels.clear();
        inFunction = true;
        loops = switches = 0;
        block();
        inFunction = wasInFunction;
        loops = oldLoops;
        switches = oldSwitches;
        labels.swap(oldLabels);
    }

    void ccStatement()
    {
        const QStringView w = tok.text.mid(1);
        if (w == u"if" || w == u"elif") {
            if (w == u"elif" && ccDepth == 0)
                fail(1002);
            advance();
            parenthesised();
            if (w == u"if")
                ++ccDepth;
        } else if (w == u"else") {
            if (ccDepth == 0)
                fail(1002);
            advance();
        } else if (w == u"end") {
            if (ccDepth == 0)
                fail(1002);
            --ccDepth;
            advance();
        } else { // @set @name = value
            advance();
            if (tok.type != T::CcVar)
                fail(1032);
            if (tok.text.size() < 2 || tok.text.at(1).isDigit()) // "@1" names nothing
                fail(1010);
            advance();
            expect(u"=", 1011);
            if (!(tok.type == T::Number || tok.type == T::CcVar || isWord(u"true") ||
                  isWord(u"false") || isPunct(u"(") || isPunct(u"-") || isPunct(u"!") ||
                  isPunct(u"~") || isPunct(u"+")))
                fail(1031);
            assignment(false);
        }
    }

    // ---- expressions

    void expression(bool noIn)
    {
        assignment(noIn);
        while (isPunct(u",")) {
            advance();
            assignment(noIn);
        }
    }

    static bool isAssignOp(QStringView op)
    {
        static const char16_t *const ops[] = {u"=",   u"*=",  u"/=",   u"%=", u"+=", u"-=",
                                              u"<<=", u">>=", u">>>=", u"&=", u"^=", u"|="};
        for (const char16_t *o : ops)
            if (op == QStringView(o))
                return true;
        return false;
    }

    void assignment(bool noIn)
    {
        Depth d(*this);
        conditional(noIn);
        if (tok.type == T::Punct && isAssignOp(tok.text)) {
            advance();
            assignment(noIn);
        }
    }

    void conditional(bool noIn)
    {
        binary(0, noIn);
        if (isPunct(u"?")) {
            advance();
            assignment(false);
            expect(u":", 1003);
            assignment(noIn);
        }
    }

    // Binding strength of a binary operator, 0 when the token is none.
    int precedence(bool noIn) const
    {
        if (tok.type == T::Name) {
            if (tok.text == u"instanceof" || (tok.text == u"in" && !noIn))
                return 7;
            return 0;
        }
        if (tok.type != T::Punct)
            return 0;
        return binaryOperatorLevel(tok.text);
    }

    void binary(int above, bool noIn)
    {
        unary();
        while (true) {
            const int level = precedence(noIn);
            if (level <= above)
                return;
            advance();
            Depth d(*this);
            binary(level, noIn);
        }
    }

    void unary()
    {
        Depth d(*this);
        if (hasRestart) { // the name read while looking for a label starts the operand
            leftHandSide();
            if ((isPunct(u"++") || isPunct(u"--")) && !tok.newlineBefore)
                advance();
            return;
        }
        if (tok.type == T::Name &&
            (tok.text == u"delete" || tok.text == u"void" || tok.text == u"typeof")) {
            advance();
            unary();
            return;
        }
        if (tok.type == T::Punct && (tok.text == u"++" || tok.text == u"--" || tok.text == u"+" ||
                                     tok.text == u"-" || tok.text == u"~" || tok.text == u"!")) {
            advance();
            unary();
            return;
        }
        leftHandSide();
        if ((isPunct(u"++") || isPunct(u"--")) && !tok.newlineBefore)
            advance();
    }

    void arguments()
    {
        advance(); // (
        if (!isPunct(u")")) {
            while (true) {
                assignment(false);
                if (!isPunct(u","))
                    break;
                advance();
            }
        }
        expect(u")", 1006);
    }

    void leftHandSide()
    {
        while (!hasRestart && isWord(u"new"))
            advance();
        primary();
        while (true) {
            if (isPunct(u".")) {
                advance();
                if (tok.type != T::Name)
                    fail(1010);
                advance();
            } else if (isPunct(u"[")) {
                advance();
                expression(false);
                expect(u"]", 1007);
            } else if (isPunct(u"(")) {
                arguments();
            } else {
                return;
            }
        }
    }

    void primary()
    {
        Depth d(*this);
        if (hasRestart) { // a name read while looking for a label
            hasRestart = false;
            return;
        }
        switch (tok.type) {
        case T::Number:
        case T::CcVar:
            advance();
            return;
        case T::Name:
            if (tok.text == u"function") {
                function();
                return;
            }
            if (isReserved(tok.text) && tok.text != u"this" && tok.text != u"null" &&
                tok.text != u"true" && tok.text != u"false")
                fail(1002);
            advance();
            return;
        case T::Punct:
            if (tok.text == u"(") {
                advance();
                expression(false);
                expect(u")", 1006);
                return;
            }
            if (tok.text == u"[") {
                arrayLiteral();
                return;
            }
            if (tok.text == u"{") {
                objectLiteral();
                return;
            }
            if (tok.text == u"/" || tok.text == u"/=") {
                lex.regExpAt(tok);
                advance();
                return;
            }
            fail(1002);
        default:
            fail(1002);
        }
    }

    void arrayLiteral()
    {
        advance();
        while (!isPunct(u"]")) {
            if (isPunct(u",")) {
                advance();
                continue;
            }
            assignment(false);
            if (isPunct(u","))
                advance();
            else if (!isPunct(u"]"))
                fail(1007);
        }
        advance();
    }

    void objectLiteral()
    {
        advance();
        while (!isPunct(u"}")) {
            if (tok.type != T::Name && tok.type != T::Number)
                fail(1028);
            advance();
            expect(u":", 1003);
            assignment(false);
            if (isPunct(u","))
                advance();
            else if (!isPunct(u"}"))
                fail(1009);
        }
        advance();
    }

    Lexer lex;
    Token tok;
    bool hasRestart = false;
    int depth = 0;
    bool inFunction = false;
    int loops = 0;
    int switches = 0;
    int ccDepth = 0;
    std::vector<Label> labels;
    std::vector<size_t> pendingLabels;
};

} // namespace

int binaryOperatorLevel(QStringView op)
{
    static const struct
    {
        const char16_t *op;
        int level;
    } ops[] = {{u"||", 1},  {u"&&", 2},  {u"|", 3}, {u"^", 4}, {u"&", 5},  {u"==", 6}, {u"!=", 6},
               {u"===", 6}, {u"!==", 6}, {u"<", 7}, {u">", 7}, {u"<=", 7}, {u">=", 7}, {u"<<", 8},
               {u">>", 8},  {u">>>", 8}, {u"+", 9}, {u"-", 9}, {u"*", 10}, {u"/", 10}, {u"%", 10}};
    for (const auto &o : ops)
        if (op == QStringView(o.op))
            return o.level;
    return 0;
}

SyntaxFault checkSyntax(const QString &code, bool ccOn)
{
    SyntaxFault r;
    try {
        Parser parser(code, ccOn);
        parser.program();
    } catch (const Fault &f) {
        r.number = f.number;
        r.description = syntaxErrorText(f.number);
        r.line = f.line;
        r.column = f.col;
    } catch (const TooDeep &) {
    }
    return r;
}

} // namespace quillora::js
