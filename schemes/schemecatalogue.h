#pragma once
// The syntax schemes of the main editor: what each one is called in the menu and the
// status bar, which highlighter colours it, which pair of proposal files feeds its code
// proposals, how a file name chooses one and how pasted text is recognised.
//
// Pure functions over strings; the switching itself (editor, status bar, completion)
// lives in SchemeSwitcher.

#include <QString>
#include <QStringView>
#include <span>

enum class Scheme
{
    Asm,
    Cpp,
    Css,
    Fortran,
    Html,
    Java,
    JavaScript,
    Pascal,
    Perl,
    Php,
    Python,
    Ruby,
    Sql,
    VisualBasic,
    VBScript,
    Xml,
    CSharp, // reached only through the extension rules
    None,
};

struct SchemeEntry
{
    Scheme scheme;
    QStringView menuCaption; // empty: no menu item
    QStringView menuItem;    // name of the menu item, empty when there is none
    QStringView name;        // shown in status-bar panel 2
    QStringView highlighter; // name of the highlighter component, empty for None
    QStringView prefix;      // proposal files prefix + "Items.src" / "Inserts.src"
    int contentCode;         // what DetectScheme returns for it; 0 for none
};

// Every scheme, in menu order: the sixteen menu schemes, then C# (no menu item), then
// None.
std::span<const SchemeEntry> schemeCatalogue();
const SchemeEntry &schemeEntry(Scheme scheme);
// The scheme that content code `code` (1 to 9) stands for; None for any other value.
Scheme schemeForContentCode(int code);

inline QString proposalItemsFileName(const SchemeEntry &entry)
{
    return entry.prefix.toString() + QStringLiteral("Items.src");
}
inline QString proposalInsertsFileName(const SchemeEntry &entry)
{
    return entry.prefix.toString() + QStringLiteral("Inserts.src");
}

// The extension of the last path component from its last ".", dot included, with the
// ASCII letters lowered; empty when that component has no dot.
QString lowerExtension(QStringView fileName);

// The first of the extension rules that the name's extension matches; None for any
// other extension, the empty one included.
Scheme schemeForFileName(QStringView fileName);

// Case-insensitive (ASCII letters) search of `sub` in `text` from the 1-based `start`.
// Returns the 1-based position, or -1 when not found, when `text` or `sub` is blank, when
// the editor's text is shorter than `sub` or when `start` is not below the editor's text
// length. `sub` keeps its inner and trailing blanks.
qsizetype TextPos(QStringView sub, QStringView text, qsizetype start, qsizetype editorLength);

// The content code (0 to 9) of an editor text (lines joined by CR LF); 0 when no scheme
// is recognised.
int DetectScheme(QStringView editorText);
// The same straight on the editor's UTF-8 buffer (any line breaks): the same answer.
int DetectScheme(QByteArrayView editorUtf8);
