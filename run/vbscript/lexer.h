#pragma once
// Splits script text into tokens with their 1-based line and 0-based column.

#include "value.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quillora::vbs {

enum class Tok : uint8_t
{
    End,     // end of text
    NewLine, // line break
    Colon,   // ':' statement separator
    Ident,   // identifier or keyword (kw tells which)
    Number,  // numeric literal (value)
    String,  // string literal (value)
    DateLit, // #...# literal (value)
    Op,      // operator or punctuation (text)
};

enum class Kw : uint8_t
{
    None,
    And,
    As,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Default,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
    Eqv,
    Erase,
    Error,
    Exit,
    Explicit,
    False,
    For,
    Function,
    Get,
    GoTo,
    If,
    Imp,
    In,
    Is,
    Let,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
    Property,
    Public,
    ReDim,
    Resume,
    Select,
    Set,
    Step,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

struct Token
{
    Tok type = Tok::End;
    Kw kw = Kw::None;
    bool spaceBefore = false; // white space precedes the token on its line
    int line = 1;
    int col = 0;
    QString text;  // as written (identifier, operator)
    QString lower; // identifier in lower case
    Value value;   // literals
};

// Keywords that may also name a variable or procedure.
bool isSoftKeyword(Kw kw);

class Lexer
{
public:
    // Throws a compilation ScriptException on an invalid character, number or string.
    static std::vector<Token> tokenize(const QString &text);
};

} // namespace quillora::vbs
