#include "schemes/schemecatalogue.h"

#include "base/textrules.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<SchemeEntry, 18> kCatalogue = {{
    {Scheme::Asm, u"ASM", u"ASM1", u"ASM", u"SynAsmSyn1", u"Asm", 0},
    {Scheme::Cpp, u"C/C++", u"CC1", u"C/C++", u"SynCppSyn1", u"C", 2},
    {Scheme::Css, u"CSS", u"CSS1", u"CSS", u"SynCssSyn1", u"Css", 0},
    {Scheme::Fortran, u"Fortran", u"Fortran1", u"Fortran", u"SynFortranSyn1", u"Fortran", 0},
    {Scheme::Html, u"HTML", u"HTML1", u"HTML", u"SynHTMLSyn1", u"Html", 5},
    {Scheme::Java, u"Java", u"Java1", u"Java", u"SynJavaSyn1", u"Java", 8},
    {Scheme::JavaScript, u"JavaScript", u"JavaScript1", u"JavaScript", u"SynJScriptSyn1", u"Js", 3},
    {Scheme::Pascal, u"Pascal", u"Pascal1", u"Pascal", u"SynPasSyn1", u"Pas", 1},
    {Scheme::Perl, u"Perl", u"Perl1", u"Perl", u"SynPerlSyn1", u"Pearl", 9},
    {Scheme::Php, u"PHP", u"Php1", u"PHP", u"SynPHPSyn1", u"Php", 7},
    {Scheme::Python, u"Python", u"Python1", u"Python", u"SynPythonSyn1", u"Pyth", 0},
    {Scheme::Ruby, u"Ruby", u"Ruby1", u"Ruby", u"SynRubySyn1", u"Ruby", 0},
    {Scheme::Sql, u"SQL", u"SQL1", u"SQL", u"SynSQLSyn1", u"Sql", 0},
    {Scheme::VisualBasic, u"Visual Basic", u"VisualBasic1", u"VBasic", u"SynVBSyn1", u"Vb", 4},
    {Scheme::VBScript, u"VBScript", u"VBScript1", u"VBScript", u"SynVBScriptSyn1", u"Vbs", 0},
    {Scheme::Xml, u"XML/XSL", u"XML1", u"XML", u"SynXMLSyn1", u"Xml", 6},
    {Scheme::CSharp, u"", u"", u"C#", u"SynCSSyn1", u"C", 0},
    {Scheme::None, u"None", u"None1", u"TXT", u"", u"", 0},
}};

// How a rule tests the lower-case extension (dot included).
enum class Test
{
    Contains,
    Equals
};

struct ExtensionRule
{
    Test test;
    std::array<QStringView, 5> patterns; // unused slots stay empty
    Scheme scheme;
};

// Tried in this order; the first match decides. Rule 2 before PHP makes ".phtml" HTML,
// rule 1 makes ".asmx" assembler.
constexpr std::array<ExtensionRule, 17> kExtensionRules = {{
    {Test::Contains, {u"asm"}, Scheme::Asm},
    {Test::Contains, {u"htm"}, Scheme::Html},
    {Test::Equals, {u".pas", u".pp", u".dpk", u".dpr", u".dproj"}, Scheme::Pascal},
    {Test::Equals, {u".c", u".h", u".cpp", u".vcproj", u".vcxproj"}, Scheme::Cpp},
    {Test::Contains, {u"vbs"}, Scheme::VBScript},
    {Test::Equals, {u".bas", u".vbproj"}, Scheme::VisualBasic},
    {Test::Contains, {u".js"}, Scheme::JavaScript},
    {Test::Contains, {u"xml", u"xsl", u"dtd", u"xsd"}, Scheme::Xml},
    {Test::Equals, {u".css"}, Scheme::Css},
    {Test::Equals, {u".cs", u".csproj"}, Scheme::CSharp},
    {Test::Contains, {u"java"}, Scheme::Java},
    {Test::Contains, {u".ph"}, Scheme::Php},
    {Test::Contains, {u".py"}, Scheme::Python},
    {Test::Contains, {u".for"}, Scheme::Fortran},
    {Test::Contains, {u".rb"}, Scheme::Ruby},
    {Test::Contains, {u".pl", u".pm", u".cgi"}, Scheme::Perl},
    {Test::Contains, {u".sql"}, Scheme::Sql},
}};

bool matches(const ExtensionRule &rule, QStringView extension)
{
    for (QStringView pattern : rule.patterns) {
        if (pattern.isEmpty())
            continue;
        if (rule.test == Test::Equals ? extension == pattern : extension.contains(pattern))
            return true;
    }
    return false;
}

inline char16_t asciiLowerChar(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// One unit of a text: UTF-16 or UTF-8. All the words looked for are ASCII, and in UTF-8
// every byte of another character is above 127, so both forms give the same answers.
inline char16_t unitAt(QStringView text, qsizetype i)
{
    return text[i].unicode();
}
inline char16_t unitAt(QByteArrayView text, qsizetype i)
{
    return static_cast<unsigned char>(text[i]);
}

// `lowerSub` is all lower case; only the ASCII letters of `text` are folded.
template <typename Text> bool equalsAsciiFolded(Text text, QStringView lowerSub)
{
    for (qsizetype i = 0; i < lowerSub.size(); ++i) {
        if (asciiLowerChar(unitAt(text, i)) != lowerSub[i].unicode())
            return false;
    }
    return true;
}

template <typename Text> bool isBlankText(Text text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (unitAt(text, i) > 32)
            return false;
    }
    return true;
}

} // namespace

std::span<const SchemeEntry> schemeCatalogue()
{
    return kCatalogue;
}

const SchemeEntry &schemeEntry(Scheme scheme)
{
    for (const SchemeEntry &entry : kCatalogue) {
        if (entry.scheme == scheme)
            return entry;
    }
    return kCatalogue.back();
}

Scheme schemeForContentCode(int code)
{
    if (code <= 0)
        return Scheme::None;
    for (const SchemeEntry &entry : kCatalogue) {
        if (entry.contentCode == code)
            return entry.scheme;
    }
    return Scheme::None;
}

QString lowerExtension(QStringView fileName)
{
    const QStringView name = fileName.sliced(fileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QString();
    return asciiLower(name.sliced(dot).toString());
}

Scheme schemeForFileName(QStringView fileName)
{
    const QString extension = lowerExtension(fileName);
    for (const ExtensionRule &rule : kExtensionRules) {
        if (matches(rule, extension))
            return rule.scheme;
    }
    return Scheme::None;
}

qsizetype TextPos(QStringView sub, QStringView text, qsizetype start, qsizetype editorLength)
{
    if (isBlank(text) || isBlank(sub) || editorLength < sub.size() || start >= editorLength)
        return -1;
    if (start <= 0)
        start = 1;
    const QString lowerSub = asciiLower(sub.toString());
    // Qt's case-insensitive search finds every ASCII-folded match and, rarely, a Unicode
    // one (the Kelvin sign for "k"); those are checked and stepped over.
    for (qsizetype from = start - 1; from <= text.size() - lowerSub.size(); ++from) {
        from = text.indexOf(lowerSub, from, Qt::CaseInsensitive);
        if (from < 0)
            return -1;
        if (equalsAsciiFolded(text.sliced(from), lowerSub))
            return from + 1;
    }
    return -1;
}

namespace {

template <typename Text> int detectSchemeIn(Text editorText)
{
    // One pass over the text finds the first place of every word the tests ask about; the
    // outcome is that of searching each word with TextPos from position 1 ("end" from
    // where "begin" starts). A paste into a large document without a scheme runs this.
    enum Word
    {
        Begin,
        End,
        Procedure,
        Html,
        Head,
        Xml,
        Php,
        Open,
        Close,
        Stdio,
        Public,
        Static,
        Sub,
        EndSub,
        Perl,
        WordCount
    };
    static constexpr std::array<QStringView, WordCount> words = {
        u"begin",  u"end",    u"procedure", u"<html",   u"<head>",
        u"<?xml",  u"<?php",  u"{",         u"}",       u"stdio.h",
        u"public", u"static", u"sub ",      u"end sub", u"#!/usr/bin/perl"};

    const qsizetype length = editorText.size();
    // TextPos finds nothing in a blank text or from a start not below the text's length.
    if (length < 2 || isBlankText(editorText))
        return 0;
    std::array<bool, WordCount> found{};
    bool beginSeen = false;
    auto test = [&](Word word, qsizetype at) {
        if (!found[word] && length - at >= words[word].size() &&
            equalsAsciiFolded(editorText.sliced(at), words[word]))
            found[word] = true;
    };
    // Most characters start none of the words; one table look-up passes them without
    // the switch's unpredictable jump.
    static constexpr std::array<bool, 128> starts = [] {
        std::array<bool, 128> table{};
        for (char16_t c : std::u16string_view(u"bBeEpPsS<{}#"))
            table[c] = true;
        return table;
    }();
    for (qsizetype at = 0; at < length; ++at) {
        const char16_t unit = unitAt(editorText, at);
        if (unit >= 128 || !starts[unit])
            continue;
        switch (asciiLowerChar(unit)) {
        case u'b':
            test(Begin, at);
            beginSeen = found[Begin];
            break;
        case u'e':
            if (beginSeen)
                test(End, at);
            test(EndSub, at);
            break;
        case u'p':
            test(Procedure, at);
            test(Public, at);
            break;
        case u'<':
            test(Html, at);
            test(Head, at);
            test(Xml, at);
            test(Php, at);
            break;
        case u'{':
            found[Open] = true;
            break;
        case u'}':
            found[Close] = true;
            break;
        case u's':
            test(Stdio, at);
            test(Static, at);
            test(Sub, at);
            break;
        case u'#':
            test(Perl, at);
            break;
        default:
            break;
        }
    }

    if ((found[Begin] && found[End]) || found[Procedure])
        return 1;
    if (found[Html] || found[Head])
        return 5;
    if (found[Xml])
        return 6;
    if (found[Php])
        return 7;
    if (found[Open] && found[Close]) {
        if (!found[Stdio] && (found[Public] || found[Static]))
            return 8;
        return found[Stdio] ? 2 : 3;
    }
    if (found[Sub] && found[EndSub])
        return 4;
    if (found[Perl])
        return 9;
    return 0;
}

} // namespace

int DetectScheme(QStringView editorText)
{
    return detectSchemeIn(editorText);
}

int DetectScheme(QByteArrayView editorUtf8)
{
    return detectSchemeIn(editorUtf8);
}
