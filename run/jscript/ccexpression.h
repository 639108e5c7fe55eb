#pragma once
// The expressions of JScript's conditional compilation (@if (...), @set @name = ...):
// numbers, true and false, @names and the operators of script expressions, worked out
// before the script runs. A name never set is NaN.

#include <QHash>
#include <QString>

namespace quillora::js {

struct CcValue
{
    double number = 0; // a boolean keeps 0 or 1 here
    bool isBoolean = false;
    bool isTrue() const { return number != 0 && number == number; }
    // the value as script text: "true", "5.8", "(-1)", "NaN"
    QString scriptText() const;
};

using CcVariables = QHash<QString, CcValue>;

// The variables every script starts with: @_jscript, @_jscript_version (5.8),
// @_jscript_build, @_win32 and @_x86.
CcVariables predefinedCcVariables();

// Reads one expression of `text` from `pos` (blanks and line ends before and inside it
// skipped) and leaves `pos` after its last token. False when no expression starts there or
// it breaks off (a missing operand or parenthesis); `pos` then tells where.
bool readCcExpression(QStringView text, qsizetype &pos, const CcVariables &vars, CcValue &out);

// The name of a variable at `pos` (just after its "@"); empty when none starts there.
QStringView ccName(QStringView text, qsizetype pos);

} // namespace quillora::js
