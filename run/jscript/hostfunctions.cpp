#include "hostfunctions.h"

#include "jscripterrors.h"
#include "legacysyntax.h"
#include "run/scriptengine.h"
#include "syntaxcheck.h"

#include <QJSEngine>
#include <QMetaMethod>
#include <QMetaProperty>

namespace quillora::js {

void HostFunctions::alert(const QJSValue &message)
{
    MsgBox(message, 0, QStringLiteral("JScript"));
}

int HostFunctions::MsgBox(const QJSValue &prompt, int buttons, const QString &title)
{
    const QString text = prompt.isUndefined() ? QString() : prompt.toString();
    ScriptHost *host = m_owner.host();
    return host ? host->messageBox(text, buttons, title) : 1;
}

int HostFunctions::errorNumber(const QString &name, const QString &message) const
{
    const int code = mapRuntimeError(name, message).number;
    return code >= 0 && code <= 0xFFFF ? int(0x800A0000u | unsigned(code)) : code;
}

QJSValue HostFunctions::syntaxFault(const QString &code) const
{
    const SyntaxFault fault = checkSyntax(code, m_cc.on);
    if (!fault.isSet())
        return QJSValue(QJSValue::NullValue);
    QJSValue r = m_engine.newArray(2);
    r.setProperty(0, fault.number);
    r.setProperty(1, fault.description);
    return r;
}

QString HostFunctions::engineText(const QString &code)
{
    return js::engineText(code, m_cc);
}

QJSValue HostFunctions::compileAt(const QString &text, const QString &fileName, int line)
{
    return m_engine.evaluate(text, fileName, line);
}

QJSValue HostFunctions::hostInfo(const QJSValue &value)
{
    QJSValue info = m_engine.newObject();
    QObject *object = value.toQObject();
    info.setProperty(QStringLiteral("isHost"), object != nullptr);
    QJSValue names = m_engine.newObject();
    QJSValue lists = m_engine.newArray();
    if (object) {
        const QMetaObject *mo = object->metaObject();
        for (int i = 1; i < mo->propertyCount(); ++i) {
            const QString name = QString::fromLatin1(mo->property(i).name());
            names.setProperty(name.toLower(), name);
        }
        quint32 listCount = 0;
        for (int i = QObject::staticMetaObject.methodCount(); i < mo->methodCount(); ++i) {
            const QMetaMethod m = mo->method(i);
            if (m.access() != QMetaMethod::Public)
                continue;
            const QString name = QString::fromLatin1(m.name());
            names.setProperty(name.toLower(), name);
            if (m.parameterCount() == 1 &&
                m.parameterMetaType(0) == QMetaType::fromType<QVariantList>())
                lists.setProperty(listCount++, name);
        }
    }
    if (object) {
        const QMetaObject *mo = object->metaObject();
        info.setProperty(QStringLiteral("lineBlocks"),
                         mo->indexOfMethod("readLines(int,int)") >= 0 &&
                             mo->indexOfMethod("writeLines(QList<int>,QStringList)") >= 0);
        const int index = mo->indexOfClassInfo("DefaultMember");
        if (index >= 0)
            info.setProperty(QStringLiteral("defaultMember"),
                             QString::fromLatin1(mo->classInfo(index).value()));
    }
    info.setProperty(QStringLiteral("names"), names);
    info.setProperty(QStringLiteral("lists"), lists);
    return info;
}

} // namespace quillora::js
