#pragma once
// Older JScript code writes numbers and string escapes that QJSEngine refuses or reads
// otherwise: octal number literals (010 is 8), decimals with leading zeros (080 is 80),
// octal escapes in strings ("\101" is "A", "\8" is "8") and "\v", which is "v" in JScript.
// The rewrite turns them into what QJSEngine reads the same way without moving any other
// character: the result has the same length, and every token outside a rewritten string
// keeps its line and column.

#include "ccexpression.h"

#include <QString>

namespace quillora::js {

// The text with the legacy forms rewritten; the text itself when it has none. One pass.
QString rewriteLegacySyntax(const QString &code);

// The text QJSEngine runs for a script's text: the legacy forms rewritten, and each direct
// call eval(x) turned into eval(__evalText(x)), which checks the text handed to eval with
// JScript's grammar (its compile error numbers) and rewrites it the same way. Only a line
// with such a call changes its length: what follows the call's opening parenthesis on it
// sits 12 columns further right in the engine's view (runtime error columns are found in
// the script's own text, so they stay exact).
// Conditional compilation is worked out here too (see legacysyntax.cpp); `cc` holds its
// state from one text to the next (a script turns it on, and the text it hands to eval
// then has it on), and is updated.
struct CcState
{
    bool on = false;
    CcVariables variables = predefinedCcVariables();
};
QString engineText(const QString &code, CcState &cc);

} // namespace quillora::js
