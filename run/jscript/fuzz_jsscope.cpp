// libFuzzer target: the bytes are a JScript text for the scope rewrite. It must end on every
// input without a crash or sanitizer report, and the text it gives must have the lines of
// the input: as many line breaks, and the input itself when the input is not script.

#include "scoperules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

qsizetype lineBreaks(const QString &text)
{
    qsizetype n = 0;
    for (const QChar c : text)
        n += c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384)
        return 0;
    const QString code = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString out = quillora::js::rewriteScopeRules(code, QStringLiteral("code0"));
    if (lineBreaks(out) != lineBreaks(code))
        std::abort();
    return 0;
}
