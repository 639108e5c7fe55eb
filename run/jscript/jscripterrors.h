#pragma once
// JScript's numbers and texts for the errors the engine underneath reports in its own
// words, and the 0-based column of the token an error is about.

#include <QString>

namespace quillora::js {

struct MappedError
{
    int number = 0;
    QString description;
};

const QString &compileSource();
const QString &runtimeSource();

// A syntax error: `message` is the engine's text ("SyntaxError: Expected token `;'"),
// `lineText` the source line and `column` the 0-based column the engine reported.
MappedError mapCompileError(const QString &message, const QString &lineText, int column);
// A run-time error by its name ("TypeError") and message ("x is not defined").
MappedError mapRuntimeError(const QString &name, const QString &message);
// The 0-based column of the token a run-time error names, found in its line outside
// strings and comments; the line's first non-blank character when none is named.
int runtimeErrorColumn(const QString &message, const QString &lineText);

} // namespace quillora::js
