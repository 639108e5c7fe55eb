// libFuzzer target: the bytes are a script; it is compiled, its top-level code runs and then
// a procedure named Main is called, all within small budgets so no input can hang or exhaust
// memory. Any crash or sanitizer report is a finding.

#include "interp.h"
#include "vbscriptengine.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString code = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    quillora::VBScriptEngine engine;
    quillora::vbs::Limits &limits = engine.limits();
    // Every statement may touch a whole string or array, so the step budget only bounds the
    // running time while strings and arrays stay small too.
    limits.maxSteps = 20000;
    limits.maxCallDepth = 300;
    limits.maxArrayElements = 4096;
    limits.maxStringLength = 1024;
    limits.allowFileSystem = false;
    engine.addCode(code);
    QVariant result;
    engine.run(QStringLiteral("Main"), {QStringLiteral("1"), QStringLiteral("x")}, &result);
    engine.reset();
    return 0;
}
