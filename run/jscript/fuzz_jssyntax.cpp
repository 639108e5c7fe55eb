// libFuzzer target: the bytes are a JScript text for the grammar check and for the rewrite
// the engine runs (legacy forms, eval calls, conditional compilation). Both must end on
// every input without a crash or sanitizer report; a fault the check reports must carry a
// known number and a place inside the text, and the rewrite must keep every line.

#include "legacysyntax.h"
#include "syntaxcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384)
        return 0;
    const QString code = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const quillora::js::SyntaxFault f = quillora::js::checkSyntax(code);
    if (f.isSet() && (f.description.isEmpty() || f.line < 1 || f.column < 0 ||
                      f.line > code.size() + 1 || f.column > code.size()))
        std::abort();
    quillora::js::CcState cc;
    const QString text = quillora::js::engineText(code, cc);
    if (text.count(u'\n') != code.count(u'\n') || text.size() < code.size())
        std::abort();
    for (bool on : {false, true}) // as eval'd text of a script with it on, too
        quillora::js::checkSyntax(code, on);
    return 0;
}
