#pragma once
// The VBScript engine behind the script runner's engine interface.

#include "run/scriptengine.h"

#include <memory>

namespace quillora::vbs {
class Interp;
struct Limits;
} // namespace quillora::vbs

namespace quillora {

class VBScriptEngine : public ScriptEngine
{
public:
    VBScriptEngine();
    ~VBScriptEngine() override;

    QString language() const override { return QStringLiteral("VBScript"); }
    bool addCode(const QString &code) override;
    bool run(const QString &procedure, const QStringList &args,
             QVariant *result = nullptr) override;
    void reset() override;
    void requestInterrupt() override;
    void addObject(const QString &name, QObject *object) override;

    // Bounds for untrusted input (the fuzzer): call depth, statements, array and string sizes.
    vbs::Limits &limits();

private:
    std::unique_ptr<vbs::Interp> m_interp;
};

} // namespace quillora
