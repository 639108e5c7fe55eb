// libFuzzer target: the bytes are a JScript text for the grammar check. It must end on every
// input without a crash or sanitizer report, and a fault it reports must carry a known
// number and a place inside the text.

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
    return 0;
}
