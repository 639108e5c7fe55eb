#pragma once
// The text rules of the script runner: the procedure header scan, the parameter split,
// the value lines of the value dialog, the echo rewrite and the browser test page.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>

namespace quillora {

constexpr int kParamSlots = 11;
using ParamNameSlots = std::array<QString, kParamSlots>;

struct ScriptEntry
{
    QString name; // empty when no header was found
    bool isFunction = false;
    QString paramList; // between the parentheses, not trimmed
};

enum class ScriptSyntax
{
    VBScript,
    JScript
};

// The first procedure header gives the procedure: "Function" or "Sub" (VBScript; JScript
// only "function"), ASCII case ignored, as a whole word at the start of a statement
// (line start, after ":" in VBScript or ";" in JScript), optionally after Public, Private,
// Default or async, and followed by a name. Comments and strings are skipped.
// `line(i)` returns line i of `count`.
ScriptEntry FindScriptEntry(int count, const std::function<QString(int)> &line,
                            ScriptSyntax syntax);
ScriptEntry FindScriptEntry(const QStringList &lines, ScriptSyntax syntax = ScriptSyntax::VBScript);

// The names of a parameter list in 11 slots; the eleventh and every later name all land
// in the last slot, the last of them staying there.
ParamNameSlots SplitParameters(const QString &paramList);
// The value dialog's name lines: slot + "=" for each slot that is not empty.
QStringList ParameterNameLines(const ParamNameSlots &names);
// The values after OK: exactly one line per name line, missing ones empty.
QStringList ValuesForNames(const QStringList &typed, int nameCount);
// The lines of a multi-line text as a memo counts them: none for an empty text, and a
// final line break starts no line of its own.
QStringList MemoLines(const QString &text);

// Every "Wscript.echo", then every "WSH.echo", in any case, becomes "MsgBox".
QString RewriteEcho(QString text);

// The browser test page: head (declaring UTF-8), CR LF, the script, CR LF, tail.
QString TestPage(const QString &typeWord, const QString &name, bool onLoad,
                 const QString &callArguments, const QString &script);

// A procedure's result as the result dialog shows it: an array's items joined by ",",
// a Boolean as "True" or "False".
QString ResultText(const QVariant &value);

} // namespace quillora
