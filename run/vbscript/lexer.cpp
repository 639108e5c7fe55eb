#include "lexer.h"

#include "convert.h"
#include "errors.h"

#include <QHash>

#include <cmath>

namespace quillora::vbs {

namespace {

const QHash<QString, Kw> &keywords()
{
    static const QHash<QString, Kw> map = {
        {QStringLiteral("and"), Kw::And},
        {QStringLiteral("as"), Kw::As},
        {QStringLiteral("byref"), Kw::ByRef},
        {QStringLiteral("byval"), Kw::ByVal},
        {QStringLiteral("call"), Kw::Call},
        {QStringLiteral("case"), Kw::Case},
        {QStringLiteral("class"), Kw::Class},
        {QStringLiteral("const"), Kw::Const},
        {QStringLiteral("default"), Kw::Default},
        {QStringLiteral("dim"), Kw::Dim},
        {QStringLiteral("do"), Kw::Do},
        {QStringLiteral("each"), Kw::Each},
        {QStringLiteral("else"), Kw::Else},
        {QStringLiteral("elseif"), Kw::ElseIf},
        {QStringLiteral("empty"), Kw::Empty},
        {QStringLiteral("end"), Kw::End},
        {QStringLiteral("eqv"), Kw::Eqv},
        {QStringLiteral("erase"), Kw::Erase},
        {QStringLiteral("error"), Kw::Error},
        {QStringLiteral("exit"), Kw::Exit},
        {QStringLiteral("explicit"), Kw::Explicit},
        {QStringLiteral("false"), Kw::False},
        {QStringLiteral("for"), Kw::For},
        {QStringLiteral("function"), Kw::Function},
        {QStringLiteral("get"), Kw::Get},
        {QStringLiteral("goto"), Kw::GoTo},
        {QStringLiteral("if"), Kw::If},
        {QStringLiteral("imp"), Kw::Imp},
        {QStringLiteral("in"), Kw::In},
        {QStringLiteral("is"), Kw::Is},
        {QStringLiteral("let"), Kw::Let},
        {QStringLiteral("loop"), Kw::Loop},
        {QStringLiteral("me"), Kw::Me},
        {QStringLiteral("mod"), Kw::Mod},
        {QStringLiteral("new"), Kw::New},
        {QStringLiteral("next"), Kw::Next},
        {QStringLiteral("not"), Kw::Not},
        {QStringLiteral("nothing"), Kw::Nothing},
        {QStringLiteral("null"), Kw::Null},
        {QStringLiteral("on"), Kw::On},
        {QStringLiteral("option"), Kw::Option},
        {QStringLiteral("or"), Kw::Or},
        {QStringLiteral("preserve"), Kw::Preserve},
        {QStringLiteral("private"), Kw::Private},
        {QStringLiteral("property"), Kw::Property},
        {QStringLiteral("public"), Kw::Public},
        {QStringLiteral("redim"), Kw::ReDim},
        {QStringLiteral("resume"), Kw::Resume},
        {QStringLiteral("select"), Kw::Select},
        {QStringLiteral("set"), Kw::Set},
        {QStringLiteral("step"), Kw::Step},
        {QStringLiteral("sub"), Kw::Sub},
        {QStringLiteral("then"), Kw::Then},
        {QStringLiteral("to"), Kw::To},
        {QStringLiteral("true"), Kw::True},
        {QStringLiteral("until"), Kw::Until},
        {QStringLiteral("wend"), Kw::Wend},
        {QStringLiteral("while"), Kw::While},
        {QStringLiteral("with"), Kw::With},
        {QStringLiteral("xor"), Kw::Xor},
    };
    return map;
}

[[noreturn]] void compileError(int number, int line, int col)
{
    ScriptException e;
    e.number = number;
    e.description = errorText(number);
    e.source = compileSource();
    e.compile = true;
    e.line = line;
    e.column = col;
    throw e;
}

bool isIdentStart(QChar c)
{
    return c.isLetter();
}
bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

bool isSoftKeyword(Kw kw)
{
    switch (kw) {
    case Kw::Default:
    case Kw::Error:
    case Kw::Explicit:
    case Kw::Property:
    case Kw::Step:
    case Kw::Get:
    case Kw::Let:
    case Kw::Preserve:
    case Kw::Resume:
        return true;
    default:
        return false;
    }
}

std::vector<Token> Lexer::tokenize(const QString &text)
{
    std::vector<Token> out;
    const int n = int(text.size());
    int pos = 0, line = 1, lineStart = 0;
    bool space = false;
    auto atStatementStart = [&]() {
        return out.empty() || out.back().type == Tok::NewLine || out.back().type == Tok::Colon;
    };
    auto push = [&](Tok type, int start) -> Token & {
        Token t;
        t.type = type;
        t.line = line;
        t.col = start - lineStart;
        t.spaceBefore = space;
        out.push_back(std::move(t));
        space = false;
        return out.back();
    };
    auto newLine = [&](int start, int len) {
        if (out.empty() || out.back().type != Tok::NewLine)
            push(Tok::NewLine, start);
        pos = start + len;
        ++line;
        lineStart = pos;
        space = false;
    };
    while (pos < n) {
        const QChar c = text[pos];
        if (c == u' ' || c == u'\t' || c == QChar(0xA0) || c == u'\f' || c == u'\v') {
            ++pos;
            space = true;
            continue;
        }
        if (c == u'\r') {
            newLine(pos, pos + 1 < n && text[pos + 1] == u'\n' ? 2 : 1);
            continue;
        }
        if (c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029)) {
            newLine(pos, 1);
            continue;
        }
        if (c == u'\'') {
            while (pos < n && text[pos] != u'\r' && text[pos] != u'\n')
                ++pos;
            continue;
        }
        const int start = pos;
        if (c == u'_') {
            // line continuation: '_' followed by blanks and a line break
            int p = pos + 1;
            while (p < n && (text[p] == u' ' || text[p] == u'\t'))
                ++p;
            if (p >= n || text[p] == u'\r' || text[p] == u'\n') {
                if (p < n)
                    p += (text[p] == u'\r' && p + 1 < n && text[p + 1] == u'\n') ? 2 : 1;
                pos = p;
                ++line;
                lineStart = pos;
                space = true;
                continue;
            }
            compileError(err::InvalidCharacter, line, start - lineStart);
        }
        if (isIdentStart(c)) {
            while (pos < n && isIdentChar(text[pos]))
                ++pos;
            QString word = text.mid(start, pos - start);
            QString lower = word.toLower();
            if (lower == u"rem" && atStatementStart()) {
                while (pos < n && text[pos] != u'\r' && text[pos] != u'\n')
                    ++pos;
                continue;
            }
            if (word.size() > 255)
                compileError(1030, line, start - lineStart);
            Token &t = push(Tok::Ident, start);
            t.kw = keywords().value(lower, Kw::None);
            t.text = std::move(word);
            t.lower = std::move(lower);
            continue;
        }
        if (c == u'[') {
            int p = pos + 1;
            while (p < n && text[p] != u']' && text[p] != u'\r' && text[p] != u'\n')
                ++p;
            if (p >= n || text[p] != u']')
                compileError(err::ExpectedRBracket, line, p - lineStart);
            Token &t = push(Tok::Ident, start);
            t.text = text.mid(pos + 1, p - pos - 1);
            t.lower = t.text.toLower();
            pos = p + 1;
            continue;
        }
        if (c == u'"') {
            QString s;
            ++pos;
            for (;;) {
                if (pos >= n || text[pos] == u'\r' || text[pos] == u'\n')
                    compileError(err::UnterminatedString, line, start - lineStart);
                if (text[pos] == u'"') {
                    if (pos + 1 < n && text[pos + 1] == u'"') {
                        s += u'"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                s += text[pos++];
            }
            push(Tok::String, start).value = Value::str(std::move(s));
            continue;
        }
        if (c == u'#') {
            int p = pos + 1;
            while (p < n && text[p] != u'#' && text[p] != u'\r' && text[p] != u'\n')
                ++p;
            double d = 0;
            if (p >= n || text[p] != u'#' ||
                !parseDateText(text.mid(pos + 1, p - pos - 1), &d, true))
                compileError(err::SyntaxError, line, start - lineStart);
            push(Tok::DateLit, start).value = Value::date(d);
            pos = p + 1;
            continue;
        }
        if (c.isDigit() || (c == u'.' && pos + 1 < n && text[pos + 1].isDigit() &&
                            !(space == false && !out.empty() &&
                              (out.back().type == Tok::Ident || out.back().text == u")")))) {
            while (pos < n && text[pos].isDigit())
                ++pos;
            bool isFloat = false;
            if (pos < n && text[pos] == u'.') {
                isFloat = true;
                ++pos;
                while (pos < n && text[pos].isDigit())
                    ++pos;
            }
            if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
                int p = pos + 1;
                if (p < n && (text[p] == u'+' || text[p] == u'-'))
                    ++p;
                if (p < n && text[p].isDigit()) {
                    isFloat = true;
                    pos = p;
                    while (pos < n && text[pos].isDigit())
                        ++pos;
                }
            }
            if (pos < n && isIdentStart(text[pos]))
                compileError(err::ExpectedEndOfStatement, line, pos - lineStart);
            QString num = text.mid(start, pos - start);
            bool ok = false;
            double d = num.toDouble(&ok);
            // an exponent too small for a Double gives 0; one too large is no number
            if (!ok && num.contains(QLatin1String("e-"), Qt::CaseInsensitive))
                d = 0, ok = true;
            if (!ok || std::isinf(d))
                compileError(err::InvalidNumber, line, start - lineStart);
            Value v;
            if (!isFloat && d <= 2147483647.0)
                v = Value::fromInt64(int64_t(d));
            else
                v = Value::dbl(d);
            push(Tok::Number, start).value = v;
            continue;
        }
        if (c == u'&' && pos + 1 < n &&
            (text[pos + 1] == u'h' || text[pos + 1] == u'H' || text[pos + 1] == u'o' ||
             text[pos + 1] == u'O' || text[pos + 1].isDigit())) {
            int base = 8;
            int p = pos + 1;
            if (text[p] == u'h' || text[p] == u'H') {
                base = 16;
                ++p;
            } else if (text[p] == u'o' || text[p] == u'O') {
                ++p;
            }
            int digitsStart = p;
            uint64_t v = 0;
            while (p < n) {
                int dv = -1;
                QChar d = text[p];
                if (d.isDigit())
                    dv = d.unicode() - u'0';
                else if (base == 16 && d.toLower() >= u'a' && d.toLower() <= u'f')
                    dv = d.toLower().unicode() - u'a' + 10;
                if (dv < 0 || dv >= base)
                    break;
                v = v * base + dv;
                if (v > 0xFFFFFFFFull)
                    compileError(err::InvalidNumber, line, start - lineStart);
                ++p;
            }
            if (p == digitsStart)
                compileError(err::InvalidNumber, line, start - lineStart);
            const int digits = p - digitsStart;
            const bool longSuffix = p < n && text[p] == u'&';
            if (longSuffix)
                ++p;
            Value val;
            const int32_t asLong = int32_t(uint32_t(v));
            if (longSuffix) // &hFFFFFFFF& is -1, an Integer; &hFFFF& is 65535, a Long
                val = asLong >= -32768 && asLong <= 32767 ? Value::integer(asLong)
                                                          : Value::lng(asLong);
            else if (v <= 0xFFFF && digits <= (base == 16 ? 4 : 6))
                val = Value::integer(int16_t(uint16_t(v)));
            else
                val = Value::lng(asLong);
            pos = p;
            push(Tok::Number, start).value = val;
            continue;
        }
        if (c == u':') {
            push(Tok::Colon, start);
            ++pos;
            continue;
        }
        static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                          QStringLiteral(">="), QStringLiteral("=<"),
                                          QStringLiteral("=>"), QStringLiteral("><")};
        QString op;
        if (pos + 1 < n) {
            QString two = text.mid(pos, 2);
            for (const QString &t : twoChar)
                if (two == t)
                    op = two;
        }
        if (op.isEmpty()) {
            static const QString single = QStringLiteral("+-*/\\^&=<>(),.");
            if (!single.contains(c))
                compileError(err::InvalidCharacter, line, start - lineStart);
            op = QString(c);
        }
        pos += int(op.size());
        if (op == u"=<")
            op = QStringLiteral("<=");
        else if (op == u"=>")
            op = QStringLiteral(">=");
        else if (op == u"><")
            op = QStringLiteral("<>");
        push(Tok::Op, start).text = op;
    }
    push(Tok::NewLine, n);
    push(Tok::End, n);
    return out;
}

} // namespace quillora::vbs
