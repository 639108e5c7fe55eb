#pragma once
// A recognizer of JScript's grammar (ES3 with JScript's additions: octal literals, legacy
// escapes, anonymous function statements, conditional compilation). It builds nothing: it
// only finds the first place where a text stops being JScript and says so the way JScript
// does, with its compile error number, text, line and column. The engine underneath
// parses a later language and words its errors otherwise; the runner asks this check
// when the engine rejects a text.

#include <QString>

namespace quillora::js {

struct SyntaxFault
{
    int number = 0; // 0: the text is JScript as far as this check can tell
    QString description;
    int line = 0;   // 1-based
    int column = 0; // 0-based
    bool isSet() const { return number != 0; }
};

// The first syntax fault of `code`. Never fails on any input; a text nested too deeply to
// check gives no fault. `ccOn`: conditional compilation is on from the start (a text
// handed to eval by a script that turned it on).
SyntaxFault checkSyntax(const QString &code, bool ccOn = false);

// Binding strength of a binary punctuator ("||" 1 to "*" 10), 0 when `op` is none.
int binaryOperatorLevel(QStringView op);

// JScript's text of a compile error number ("Expected ')'" for 1006); empty when unknown.
QString syntaxErrorText(int number);

} // namespace quillora::js
