#pragma once
// Older JScript code writes numbers and string escapes that QJSEngine refuses or reads
// otherwise: octal number literals (010 is 8), decimals with leading zeros (080 is 80),
// octal escapes in strings ("\101" is "A", "\8" is "8") and "\v", which is "v" in JScript.
// The rewrite turns them into what QJSEngine reads the same way without moving any other
// character: the result has the same length, and every token outside a rewritten string
// keeps its line and column.

#include <QString>

namespace quillora::js {

// The text with the legacy forms rewritten; the text itself when it has none. One pass.
QString rewriteLegacySyntax(const QString &code);

} // namespace quillora::js
