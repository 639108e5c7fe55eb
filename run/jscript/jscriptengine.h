#pragma once
// The JScript engine behind the script runner's engine interface, on QJSEngine. Scripts
// written for the JScript host find what they rely on: alert and MsgBox, ActiveXObject for
// Scripting.Dictionary, Scripting.FileSystemObject and VBScript.RegExp (the VBScript
// engine's own objects), Enumerator and VBArray, and JScript's error numbers and texts.

#include "run/scriptengine.h"

#include <QList>
#include <QMutex>
#include <QPair>
#include <QPointer>

#include <memory>

class QJSEngine;
class QJSValue;

namespace quillora {

namespace js {
class ActiveXBridge;
class HostFunctions;
} // namespace js

class JScriptEngine : public ScriptEngine
{
public:
    JScriptEngine();
    ~JScriptEngine() override;

    QString language() const override { return QStringLiteral("JScript"); }
    bool addCode(const QString &code) override;
    bool run(const QString &procedure, const QStringList &args,
             QVariant *result = nullptr) override;
    void reset() override;
    void requestInterrupt() override;
    void addObject(const QString &name, QObject *object) override;

private:
    void setUp();
    void exposeObject(const QString &name, QObject *object);
    // The error for a thrown value; `where` is a stack entry ("fn:line:column:file") that
    // gives the position when the value carries none.
    ScriptError runtimeError(const QJSValue &thrown, const QString &where);
    ScriptError compileError(const QJSValue &error, const QString &where);
    QString sourceLine(const QString &fileName, int line) const;
    // Clears an interruption that came too late to stop anything.
    void settle();

    QMutex m_engineLock; // guards m_js against requestInterrupt from another thread
    std::unique_ptr<QJSEngine> m_js;
    std::unique_ptr<js::HostFunctions> m_functions;
    std::unique_ptr<js::ActiveXBridge> m_activeX;
    std::unique_ptr<QJSValue> m_invoke;
    std::unique_ptr<QJSValue> m_wrapHost;
    QList<QPair<QString, QPointer<QObject>>> m_objects;
    // Sets line, text and column of `e` to the header of `procedure` in the sources.
    void pointAtProcedure(const QString &procedure, ScriptError &e) const;
    QStringList m_sources; // text of each addCode, by its number
};

} // namespace quillora
