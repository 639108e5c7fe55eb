#include "editor/highlighters.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercsharp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerfortran.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexerruby.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>

#include <QFont>
#include <functional>

namespace {

// Windows' named colours as colour values.
constexpr int kGreen = 0x008000;
constexpr int kOlive = 0x008080;
constexpr int kPurple = 0x800080;
constexpr int kNavy = 0x800000;
constexpr int kRed = 0x0000FF;
constexpr int kGray = 0x808080;
constexpr int kMaroon = 0x000080;
constexpr int kTeal = 0x808000;

// ---- Lexers QScintilla has no class for: Scintilla's own lexer by name, with a
// description for every style we show (styles without one are skipped when the lexer is
// set) and keyword lists (sets count from 1). ----

// Scintilla's "asm" lexer.
class AsmLexer : public QsciLexer
{
public:
    enum
    {
        Default = 0,
        Comment = 1,
        Number = 2,
        String = 3,
        Operator = 4,
        Identifier = 5,
        CpuInstruction = 6,
        MathInstruction = 7,
        Register = 8,
        Directive = 9,
        DirectiveOperand = 10,
        CommentBlock = 11,
        Character = 12,
        UnclosedString = 13,
        ExtInstruction = 14,
        CommentDirective = 15,
    };

    using QsciLexer::QsciLexer;
    const char *language() const override { return "Assembler"; }
    const char *lexer() const override { return "asm"; }

    QString description(int style) const override
    {
        static const char *const names[] = {
            "Default",          "Comment",           "Number",
            "String",           "Operator",          "Identifier",
            "CPU instruction",  "FPU instruction",   "Register",
            "Directive",        "Directive operand", "Block comment",
            "Character",        "Unclosed string",   "Extended instruction",
            "Comment directive"};
        return style >= 0 && style <= CommentDirective ? QString::fromLatin1(names[style])
                                                       : QString();
    }

    const char *keywords(int set) const override
    {
        switch (set) {
        case 1:
            return "aaa aad aam aas adc add and call cbw cdq clc cld cli cmc cmp cmps cmpsb "
                   "cmpsd cmpsw cwd cwde daa das dec div enter hlt idiv imul in inc int into "
                   "iret ja jae jb jbe jc jcxz je jecxz jg jge jl jle jmp jna jnae jnb jnbe jnc "
                   "jne jng jnge jnl jnle jno jnp jns jnz jo jp jpe jpo js jz lahf lds lea leave "
                   "les lods lodsb lodsd lodsw loop loope loopne loopnz loopz mov movs movsb "
                   "movsd movsw movsx movzx mul neg nop not or out pop popa popad popf popfd "
                   "push pusha pushad pushf pushfd rcl rcr rep repe repne repnz repz ret retf "
                   "retn rol ror sahf sal sar sbb scas scasb scasd scasw seta setb sete setg "
                   "setl setne setz shl shld shr shrd stc std sti stos stosb stosd stosw sub "
                   "syscall test xchg xlat xor";
        case 2:
            return "f2xm1 fabs fadd faddp fchs fcom fcomp fcompp fcos fdiv fdivp fdivr fild "
                   "fist fistp fld fld1 fldz fmul fmulp fninit fsin fsqrt fst fstp fsub fsubp "
                   "fsubr ftst fwait fxch";
        case 3:
            return "ah al ax bh bl bp bx ch cl cs cx dh di dl ds dx eax ebp ebx ecx edi edx "
                   "es esi esp fs gs si sp ss st rax rbx rcx rdx rsi rdi rbp rsp r8 r9 r10 "
                   "r11 r12 r13 r14 r15";
        case 4:
            return ".386 .486 .586 .code .data .model .stack align assume bits byte db dd "
                   "dq dt dw dword end endm endp ends equ extern extrn global include invoke "
                   "label local macro offset org proc proto ptr qword resb resd resq resw "
                   "section segment struc struct times word";
        case 5:
            return "flat near far short stdcall c pascal public private uses";
        case 6:
            return "cpuid movaps movdqa movdqu movups paddd pxor rdtsc";
        default:
            return nullptr;
        }
    }

    QColor defaultColor(int style) const override
    {
        switch (style) {
        case Comment:
        case CommentBlock:
        case CommentDirective:
            return QColor(0x00, 0x7f, 0x00);
        case Number:
            return QColor(0x00, 0x7f, 0x7f);
        case String:
        case Character:
        case UnclosedString:
            return QColor(0x7f, 0x00, 0x7f);
        case CpuInstruction:
        case MathInstruction:
        case ExtInstruction:
            return QColor(0x00, 0x00, 0x7f);
        case Register:
            return QColor(0x7f, 0x00, 0x00);
        case Directive:
        case DirectiveOperand:
            return QColor(0x00, 0x5f, 0x9f);
        default:
            return QsciLexer::defaultColor(style);
        }
    }
};

// Scintilla's "vb" and "vbscript" lexers: the same styles, keywords compared in lower
// case. The two differ in the keyword lists they are given.
class BasicLexer : public QsciLexer
{
public:
    enum
    {
        Default = 0,
        Comment = 1,
        Number = 2,
        Keyword = 3,
        String = 4,
        PreProcessor = 5,
        Operator = 6,
        Identifier = 7,
        Date = 8,
        UnclosedString = 9,
        Keyword2 = 10,
        Keyword3 = 11,
        Keyword4 = 12,
    };

    BasicLexer(const char *lexerName, const char *languageName, const char *keywordList,
               const char *functionList, QObject *parent)
        : QsciLexer(parent), m_lexer(lexerName), m_language(languageName), m_keywords(keywordList),
          m_functions(functionList)
    {
    }
    const char *language() const override { return m_language; }
    const char *lexer() const override { return m_lexer; }

    QString description(int style) const override
    {
        static const char *const names[] = {
            "Default",      "Comment",    "Number",     "Keyword", "String",
            "Preprocessor", "Operator",   "Identifier", "Date",    "Unclosed string",
            "Functions",    "Keywords 3", "Keywords 4"};
        return style >= 0 && style <= Keyword4 ? QString::fromLatin1(names[style]) : QString();
    }

    const char *keywords(int set) const override
    {
        switch (set) {
        case 1:
            return m_keywords;
        case 2:
            return m_functions;
        default:
            return nullptr;
        }
    }

    QColor defaultColor(int style) const override
    {
        switch (style) {
        case Comment:
            return QColor(0x00, 0x7f, 0x00);
        case Number:
        case Date:
            return QColor(0x00, 0x7f, 0x7f);
        case Keyword:
            return QColor(0x00, 0x00, 0x7f);
        case Keyword2:
            return QColor(0x00, 0x5f, 0x9f);
        case String:
        case UnclosedString:
            return QColor(0x7f, 0x00, 0x7f);
        case PreProcessor:
            return QColor(0x7f, 0x7f, 0x00);
        default:
            return QsciLexer::defaultColor(style);
        }
    }

private:
    const char *m_lexer;
    const char *m_language;
    const char *m_keywords;
    const char *m_functions;
};

constexpr char kVbKeywords[] =
    "addressof alias and as attribute base begin binary boolean byref byte byval call case "
    "cdecl class compare const currency date decimal declare defbool defbyte defcur defdate "
    "defdbl defdec defint deflng defobj defsng defstr defvar dim do double each else elseif "
    "empty end enum eqv erase error event exit explicit false for friend function get global "
    "gosub goto if imp implements in input integer is len let lib like load lock long loop "
    "lset me mod new next not nothing null object on option optional or paramarray preserve "
    "print private property public raiseevent randomize redim rem resume return rset seek "
    "select set single static step stop string sub then to true type typeof unload until "
    "variant wend while with withevents xor";
constexpr char kVbFunctions[] =
    "abs array asc chr cint clng cstr cdbl date doevents format hex instr int lbound lcase "
    "left mid msgbox now right rnd round space split str trim ubound ucase val";
constexpr char kVbsKeywords[] =
    "and as byref byval call case class const dim do each else elseif empty end erase error "
    "eqv exit explicit false for function get if imp in is let loop me mod new next not "
    "nothing null on option or preserve private property public randomize redim rem resume "
    "select set step stop sub then to true until wend while with xor";
constexpr char kVbsFunctions[] =
    "abs array asc cbool cbyte ccur cdate cdbl chr cint clng createobject csng cstr date "
    "dateadd datediff datepart dateserial day eval filter fix formatnumber getobject hex hour "
    "inputbox instr instrrev int isarray isdate isempty isnull isnumeric isobject join lbound "
    "lcase left len ltrim mid minute month msgbox now oct replace right rnd round rtrim second "
    "sgn space split sqr strcomp string strreverse time timer trim typename ubound ucase vartype "
    "weekday year wscript";

// JScript's predefined objects and functions, coloured apart from the reserved words.
class JScriptLexer : public QsciLexerJavaScript
{
public:
    using QsciLexerJavaScript::QsciLexerJavaScript;
    const char *keywords(int set) const override
    {
        if (set == 2)
            return "ActiveXObject Array Boolean Date Enumerator Error Function Math Number "
                   "Object RegExp String alert arguments confirm console decodeURI "
                   "decodeURIComponent document encodeURI encodeURIComponent escape eval "
                   "isFinite isNaN parseFloat parseInt prompt undefined unescape window";
        return QsciLexerJavaScript::keywords(set);
    }
};

// ---- What each highlighter offers the colour step ----

struct NamedAttribute
{
    QString name;
    QList<int> styles;
};

struct DesignColour
{
    QList<int> styles;
    int bgr;
};

struct HighlighterRow
{
    QString name;
    std::function<QsciLexer *(QObject *)> create;
    // Styles of the four kinds; an empty list: the highlighter lacks that kind.
    QList<int> comment, identifier, keyword, symbol;
    QList<NamedAttribute> named;
    QList<DesignColour> designColours;
};

const QList<int> kCppComments = {QsciLexerCPP::Comment,
                                 QsciLexerCPP::CommentLine,
                                 QsciLexerCPP::CommentDoc,
                                 QsciLexerCPP::CommentLineDoc,
                                 QsciLexerCPP::PreProcessorComment,
                                 QsciLexerCPP::PreProcessorCommentLineDoc};

template <typename Lexer> QsciLexer *make(QObject *parent)
{
    return new Lexer(parent);
}

const QList<HighlighterRow> &rows()
{
    using Html = QsciLexerHTML;
    static const QList<HighlighterRow> table = {
        {u"SynCppSyn1"_qs,
         make<QsciLexerCPP>,
         kCppComments,
         {QsciLexerCPP::Identifier},
         {QsciLexerCPP::Keyword, QsciLexerCPP::KeywordSet2},
         {QsciLexerCPP::Operator},
         {},
         {}},
        {u"SynJavaSyn1"_qs,
         make<QsciLexerJava>,
         kCppComments,
         {QsciLexerCPP::Identifier},
         {QsciLexerCPP::Keyword, QsciLexerCPP::KeywordSet2},
         {QsciLexerCPP::Operator},
         {},
         {}},
        {u"SynPasSyn1"_qs,
         make<QsciLexerPascal>,
         {QsciLexerPascal::Comment, QsciLexerPascal::CommentParenthesis,
          QsciLexerPascal::CommentLine},
         {QsciLexerPascal::Identifier},
         {QsciLexerPascal::Keyword},
         {QsciLexerPascal::Operator},
         {},
         {{{QsciLexerPascal::Asm}, kGreen},
          {{QsciLexerPascal::Comment, QsciLexerPascal::CommentParenthesis,
            QsciLexerPascal::CommentLine},
           kOlive},
          {{QsciLexerPascal::Identifier}, kPurple},
          {{QsciLexerPascal::Keyword}, kNavy},
          {{QsciLexerPascal::Operator}, kRed}}},
        {u"SynVBSyn1"_qs,
         [](QObject *parent) -> QsciLexer * {
             return new BasicLexer("vb", "Visual Basic", kVbKeywords, kVbFunctions, parent);
         },
         {BasicLexer::Comment},
         {BasicLexer::Identifier},
         {BasicLexer::Keyword, BasicLexer::Keyword2, BasicLexer::Keyword3, BasicLexer::Keyword4},
         {BasicLexer::Operator},
         {},
         {}},
        {u"SynCSSyn1"_qs,
         make<QsciLexerCSharp>,
         kCppComments,
         {QsciLexerCPP::Identifier},
         {QsciLexerCPP::Keyword, QsciLexerCPP::KeywordSet2},
         {},
         {},
         {}},
        {u"SynHTMLSyn1"_qs,
         make<QsciLexerHTML>,
         {Html::HTMLComment},
         {Html::Attribute, Html::UnknownAttribute},
         {Html::Tag, Html::UnknownTag, Html::XMLTagEnd},
         {Html::OtherInTag},
         {{u"ValueAttri"_qs,
           {Html::HTMLDoubleQuotedString, Html::HTMLSingleQuotedString, Html::HTMLValue,
            Html::HTMLNumber}},
          {u"AndAttri"_qs, {Html::Entity}}},
         {{{Html::Entity}, kNavy},
          {{Html::HTMLComment}, kGray},
          {{Html::Attribute, Html::UnknownAttribute}, kMaroon}}},
        {u"SynJScriptSyn1"_qs,
         make<JScriptLexer>,
         kCppComments,
         {QsciLexerCPP::Identifier},
         {QsciLexerCPP::Keyword},
         {QsciLexerCPP::Operator},
         {},
         {{{QsciLexerCPP::KeywordSet2}, kMaroon}, {{QsciLexerCPP::Operator}, kRed}}},
        {u"SynPHPSyn1"_qs,
         make<QsciLexerHTML>,
         {Html::PHPComment, Html::PHPCommentLine},
         {Html::PHPVariable, Html::PHPDoubleQuotedVariable, Html::PHPDefault},
         {Html::PHPKeyword},
         {Html::PHPOperator},
         {},
         {}},
        {u"SynVBScriptSyn1"_qs,
         [](QObject *parent) -> QsciLexer * {
             return new BasicLexer("vbscript", "VBScript", kVbsKeywords, kVbsFunctions, parent);
         },
         {BasicLexer::Comment},
         {BasicLexer::Identifier},
         {BasicLexer::Keyword, BasicLexer::Keyword2, BasicLexer::Keyword3, BasicLexer::Keyword4},
         {BasicLexer::Operator},
         {},
         {{{BasicLexer::Comment}, kGray},
          {{BasicLexer::Identifier}, kMaroon},
          {{BasicLexer::Keyword}, kNavy},
          {{BasicLexer::Number}, kGreen}}},
        {u"SynXMLSyn1"_qs,
         make<QsciLexerXML>,
         {Html::HTMLComment},
         {Html::Attribute, Html::UnknownAttribute},
         {Html::Tag, Html::UnknownTag, Html::XMLTagEnd},
         {Html::OtherInTag},
         {},
         {}},
        {u"SynPerlSyn1"_qs,
         make<QsciLexerPerl>,
         {QsciLexerPerl::Comment, QsciLexerPerl::POD},
         {QsciLexerPerl::Identifier, QsciLexerPerl::Scalar, QsciLexerPerl::Array,
          QsciLexerPerl::Hash},
         {QsciLexerPerl::Keyword},
         {QsciLexerPerl::Operator},
         {},
         {}},
        {u"SynPythonSyn1"_qs,
         make<QsciLexerPython>,
         {QsciLexerPython::Comment, QsciLexerPython::CommentBlock},
         {},
         {QsciLexerPython::Keyword, QsciLexerPython::HighlightedIdentifier},
         {QsciLexerPython::Operator},
         {},
         {}},
        {u"SynRubySyn1"_qs,
         make<QsciLexerRuby>,
         {QsciLexerRuby::Comment, QsciLexerRuby::POD},
         {QsciLexerRuby::Identifier},
         {QsciLexerRuby::Keyword, QsciLexerRuby::DemotedKeyword},
         {},
         {},
         {{{QsciLexerRuby::Operator}, kTeal}}},
        {u"SynSQLSyn1"_qs,
         make<QsciLexerSQL>,
         {QsciLexerSQL::Comment, QsciLexerSQL::CommentLine, QsciLexerSQL::CommentDoc,
          QsciLexerSQL::PlusComment, QsciLexerSQL::CommentLineHash},
         {QsciLexerSQL::Identifier, QsciLexerSQL::QuotedIdentifier},
         {QsciLexerSQL::Keyword, QsciLexerSQL::PlusKeyword, QsciLexerSQL::KeywordSet5,
          QsciLexerSQL::KeywordSet6, QsciLexerSQL::KeywordSet7, QsciLexerSQL::KeywordSet8},
         {QsciLexerSQL::Operator},
         {},
         {}},
        {u"SynAsmSyn1"_qs,
         make<AsmLexer>,
         {AsmLexer::Comment, AsmLexer::CommentBlock, AsmLexer::CommentDirective},
         {AsmLexer::Identifier},
         {AsmLexer::CpuInstruction, AsmLexer::MathInstruction, AsmLexer::Register,
          AsmLexer::Directive, AsmLexer::DirectiveOperand, AsmLexer::ExtInstruction},
         {AsmLexer::Operator},
         {},
         {}},
        {u"SynFortranSyn1"_qs,
         make<QsciLexerFortran>,
         {QsciLexerFortran::Comment},
         {QsciLexerFortran::Identifier},
         {QsciLexerFortran::Keyword, QsciLexerFortran::IntrinsicFunction,
          QsciLexerFortran::ExtendedFunction},
         {QsciLexerFortran::Operator, QsciLexerFortran::DottedOperator},
         {},
         {}},
        {u"SynCssSyn1"_qs,
         make<QsciLexerCSS>,
         {QsciLexerCSS::Comment},
         {},
         {QsciLexerCSS::AtRule, QsciLexerCSS::MediaRule, QsciLexerCSS::Important},
         {},
         {{u"PropertyAttri"_qs,
           {QsciLexerCSS::CSS1Property, QsciLexerCSS::CSS2Property, QsciLexerCSS::CSS3Property,
            QsciLexerCSS::ExtendedCSSProperty}},
          {u"ValueAttri"_qs,
           {QsciLexerCSS::Value, QsciLexerCSS::DoubleQuotedString,
            QsciLexerCSS::SingleQuotedString}}},
         {}},
    };
    return table;
}

const HighlighterRow *rowOf(const QsciLexer *highlighter)
{
    if (!highlighter)
        return nullptr;
    const QString name = highlighter->objectName();
    for (const HighlighterRow &row : rows()) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

void setForeground(QsciLexer *highlighter, const QList<int> &styles, int bgr)
{
    const QColor colour = colourFromBgr(bgr);
    for (int style : styles)
        highlighter->setColor(colour, style);
}

} // namespace

QColor colourFromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int bgrFromColour(const QColor &colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

Highlighters::Highlighters(QObject *parent) : QObject(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    for (const HighlighterRow &row : rows()) {
        QsciLexer *lexer = row.create(this);
        lexer->setObjectName(row.name);
        lexer->setDefaultFont(font);
        lexer->setFont(font, -1);
        for (const DesignColour &design : row.designColours)
            setForeground(lexer, design.styles, design.bgr);
        m_all.append(lexer);
    }
}

QsciLexer *Highlighters::byName(QStringView name) const
{
    for (QsciLexer *lexer : m_all) {
        if (lexer->objectName() == name)
            return lexer;
    }
    return nullptr;
}

QString highlighterName(const QsciLexer *highlighter)
{
    const HighlighterRow *row = rowOf(highlighter);
    return row ? row->name : QString();
}

QList<int> kindStyles(const QsciLexer *highlighter, int kind)
{
    const HighlighterRow *row = rowOf(highlighter);
    if (!row)
        return {};
    switch (kind) {
    case AttributeKind::Comment:
        return row->comment;
    case AttributeKind::Identifier:
        return row->identifier;
    case AttributeKind::Keyword:
        return row->keyword;
    case AttributeKind::Symbol:
        return row->symbol;
    default:
        return {};
    }
}

QList<int> namedStyles(const QsciLexer *highlighter, QStringView attribute)
{
    if (const HighlighterRow *row = rowOf(highlighter)) {
        for (const NamedAttribute &named : row->named) {
            if (named.name == attribute)
                return named.styles;
        }
    }
    return {};
}

bool setKindColour(QsciLexer *highlighter, int kind, int bgrColour)
{
    const QList<int> styles = kindStyles(highlighter, kind);
    if (styles.isEmpty())
        return false;
    setForeground(highlighter, styles, bgrColour);
    return true;
}

bool setNamedColour(QsciLexer *highlighter, QStringView attribute, int bgrColour)
{
    const QList<int> styles = namedStyles(highlighter, attribute);
    if (styles.isEmpty())
        return false;
    setForeground(highlighter, styles, bgrColour);
    return true;
}
