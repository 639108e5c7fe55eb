#pragma once
// ActiveXObject for JScript: the VBScript engine's Dictionary, FileSystemObject and RegExp
// objects, reached from JavaScript through a proxy that forwards every member access here.

#include <QHash>
#include <QJSValue>
#include <QObject>

#include <memory>
#include <vector>

class QJSEngine;

namespace quillora::vbs {
class Interp;
class Value;
} // namespace quillora::vbs

namespace quillora::js {

class ActiveXBridge : public QObject
{
    Q_OBJECT
public:
    explicit ActiveXBridge(QJSEngine &engine);
    ~ActiveXBridge() override;

    // The script function that wraps an object handle into a proxy.
    void setWrapper(const QJSValue &wrap) { m_wrap = wrap; }

    // A new object by program id; throws the script error 429 for an unknown one.
    Q_INVOKABLE QJSValue create(const QString &progId);
    // 0: no such member, 1: a property, 2: a method.
    Q_INVOKABLE int kind(int handle, const QString &name);
    Q_INVOKABLE QJSValue get(int handle, const QString &name);
    Q_INVOKABLE QJSValue call(int handle, const QString &name, const QJSValue &args);
    Q_INVOKABLE void put(int handle, const QString &name, const QJSValue &value);
    // The items of a collection object as a script array.
    Q_INVOKABLE QJSValue items(int handle);
    Q_INVOKABLE QString typeName(int handle);

private:
    QJSValue toScript(const vbs::Value &v);
    vbs::Value fromScript(const QJSValue &v);
    QJSValue invoke(int handle, const QString &name, int access, const QJSValue &args,
                    const QJSValue *rhs);
    int handleFor(const vbs::Value &object);
    void throwScriptError(int number, const QString &description);

    QJSEngine &m_engine;
    std::unique_ptr<vbs::Interp> m_interp; // the context the objects' members run in
    QJSValue m_wrap;
    std::vector<vbs::Value> m_objects; // by handle
    QHash<const void *, int> m_handles;
};

} // namespace quillora::js
