#pragma once
// JScript's scope rules that QJSEngine's parser reads otherwise, brought in by a rewrite of
// the text before the engine parses it. The rewrite adds no line break and removes none, so
// every token keeps its line (a run-time error's column comes from the script's own line);
// tokens after an insertion on the same line move right.
//
// - A function declared in a block ({ ... }, if, with) is visible in the whole enclosing
//   function from its start, also when the block never runs; a named function expression
//   declares its name in the enclosing function too (where the name is used there and not
//   declared otherwise). Each gets a declaration at the end of the enclosing function (after
//   the last token for global code) that makes the function from its own text at its first
//   call; an error inside such a function of global code is reported on its own line, one
//   inside a function made for a function's scope on that function's last line.
// - `f.arguments` inside a call of f: a declared function whose `name.arguments` the text
//   reads records its arguments while it runs.
// - `for (x in "text")` walks no characters.
// - `let` as a name (`var let = 1`), an anonymous function statement (`function () {}`),
//   `continue` to the outer of two labels on one loop, and `label: break;` inside a loop.
//
// A text that says "use strict" is left as it is (modern code, none of this applies).

#include <QString>

namespace quillora::js {

// The rewritten text; `code` itself when nothing applies. `fileName` is the name the engine
// runs the text under: the functions a rewrite hoists out of global code are compiled
// under it, at their own lines.
QString rewriteScopeRules(const QString &code, const QString &fileName);

} // namespace quillora::js
