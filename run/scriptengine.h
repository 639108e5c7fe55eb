#pragma once
// The small interface the script runner talks to. One implementation per script language
// (VBScript on our own interpreter, JScript on QJSEngine); QtCore only.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace quillora {

// The last error of an engine. Line is 1-based, Column 0-based; Text is the source line.
struct ScriptError
{
    int number = 0;
    QString source;
    QString description;
    QString text;
    int line = 0;
    int column = 0;

    bool isSet() const { return number != 0; }
    void clear() { *this = ScriptError(); }
};

// What a script may ask of the program it runs in: message and input boxes. The window routes
// them to real dialogs, the console runner to the terminal, tests to scripted answers.
class ScriptHost
{
public:
    virtual ~ScriptHost() = default;
    // Returns the button pressed (1 OK, 2 Cancel, 6 Yes, 7 No, ...).
    virtual int messageBox(const QString &prompt, int buttons, const QString &title) = 0;
    // Returns the text entered; cancelled is true when the user cancelled.
    virtual QString inputBox(const QString &prompt, const QString &title,
                             const QString &defaultText, bool *cancelled) = 0;
};

class ScriptEngine
{
public:
    using ErrorListener = std::function<void(const ScriptError &)>;

    virtual ~ScriptEngine() = default;

    virtual QString language() const = 0;
    // Compiles the text, runs its top-level code and makes its procedures callable.
    virtual bool addCode(const QString &code) = 0;
    // Calls a procedure with string arguments. The result of a Sub is an invalid QVariant.
    virtual bool run(const QString &procedure, const QStringList &args,
                     QVariant *result = nullptr) = 0;
    // Discards all added code and state.
    virtual void reset() = 0;
    // Safe to call from any thread: the running script stops soon with an error.
    virtual void requestInterrupt() = 0;
    // Makes a host object (its slots, invokable methods and properties) a named global.
    virtual void addObject(const QString &name, QObject *object) = 0;

    const ScriptError &error() const { return m_error; }
    void clearError() { m_error.clear(); }
    // Called synchronously inside the failing addCode or run, before it returns false.
    void setErrorListener(ErrorListener listener) { m_listener = std::move(listener); }
    void setHost(ScriptHost *host) { m_host = host; }
    ScriptHost *host() const { return m_host; }

protected:
    bool fail(const ScriptError &error)
    {
        m_error = error;
        if (m_listener)
            m_listener(m_error);
        return false;
    }

private:
    ScriptError m_error;
    ErrorListener m_listener;
    ScriptHost *m_host = nullptr;
};

} // namespace quillora
