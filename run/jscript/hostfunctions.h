#pragma once
// The global functions JScript scripts get from their host: alert and MsgBox through the
// engine's ScriptHost, and the member table the script side uses to wrap host QObjects.

#include "legacysyntax.h"

#include <QJSValue>
#include <QObject>

class QJSEngine;

namespace quillora {
class ScriptEngine;
}

namespace quillora::js {

class HostFunctions : public QObject
{
    Q_OBJECT
public:
    HostFunctions(ScriptEngine &owner, QJSEngine &engine) : m_owner(owner), m_engine(engine) {}

    Q_INVOKABLE void alert(const QJSValue &message);
    Q_INVOKABLE int MsgBox(const QJSValue &prompt, int buttons = 0,
                           const QString &title = QStringLiteral("JScript"));
    // { isHost, names: lower-case name -> member name, lists: members taking an argument
    // list, defaultMember: the member a call of the object itself reaches, lineBlocks:
    // whether it reads and writes lines in blocks (readLines, writeLines) }
    Q_INVOKABLE QJSValue hostInfo(const QJSValue &value);
    // JScript's error number (0x800A0000 and the code) for an error the engine raised
    Q_INVOKABLE int errorNumber(const QString &name, const QString &message) const;
    // The text handed to eval: [number, description] of its first fault by JScript's
    // grammar, or null when it has none; and the text the engine runs for it.
    Q_INVOKABLE QJSValue syntaxFault(const QString &code) const;
    Q_INVOKABLE QString engineText(const QString &code);
    // The value of `text` run as global code under the name of a script's text from `line`
    // on (a function the scope rewrite hoists out of global code, see scoperules.h)
    Q_INVOKABLE QJSValue compileAt(const QString &text, const QString &fileName, int line);

private:
    ScriptEngine &m_owner;
    QJSEngine &m_engine;
    CcState m_cc; // conditional compilation, from the script to the text it hands to eval
};

} // namespace quillora::js
