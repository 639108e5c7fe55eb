#include "jscriptengine.h"

#include "activex.h"
#include "hostfunctions.h"
#include "jscripterrors.h"
#include "legacysyntax.h"
#include "scoperules.h"
#include "syntaxcheck.h"

#include <QJSEngine>
#include <QMutexLocker>
#include <QRegularExpression>

#include <cmath>

namespace quillora {

namespace js {
const QString &preludeScript();
const QString &builtinsScript();
const QString &regexpRulesScript();
const QString &langRulesScript();
} // namespace js

using namespace js;

namespace {

struct StackEntry
{
    bool compile = false; // a syntax error: no function part
    int line = 0;
    int column = -1; // 1-based, -1 when unknown
    QString file;
};

// "function:line:column:file" as QJSEngine reports it.
StackEntry parseStackEntry(const QString &entry)
{
    StackEntry r;
    const QStringList parts = entry.split(u':');
    if (parts.size() < 4)
        return r;
    r.compile = parts.at(0).isEmpty();
    r.line = parts.at(1).toInt();
    r.column = parts.at(2).toInt();
    r.file = parts.last();
    return r;
}

// The file and line of the first frame in a script's own code of an error's stack
// ("function@file:line" a line).
QPair<QString, int> scriptFrame(const QString &stack)
{
    for (const QStringView frame : QStringView(stack).split(u'\n')) {
        const QStringView place = frame.mid(frame.lastIndexOf(u'@') + 1);
        const qsizetype colon = place.lastIndexOf(u':');
        const QStringView file = place.left(colon).mid(place.left(colon).lastIndexOf(u':') + 1);
        if (colon > 0 && file.startsWith(u"code"))
            return {file.toString(), place.mid(colon + 1).toInt()};
    }
    return {QString(), 0};
}

// A text that did not compile has one stack entry, without a function; a SyntaxError
// thrown by running code (JSON.parse, eval, new RegExp) has the frames that led there.
bool isCompileError(const QJSValue &r, const QStringList &stack)
{
    return r.isError() && r.property(QStringLiteral("name")).toString() == u"SyntaxError" &&
           stack.size() == 1 && parseStackEntry(stack.at(0)).compile;
}

QString fileName(int index)
{
    return QStringLiteral("code%1").arg(index);
}

QVariant toVariant(const QJSValue &v)
{
    if (v.isUndefined())
        return QVariant();
    if (v.isNull())
        return QVariant::fromValue(nullptr);
    if (v.isBool())
        return QVariant(v.toBool());
    if (v.isNumber()) {
        const double d = v.toNumber();
        if (std::isfinite(d) && d == std::floor(d) && std::abs(d) <= 2147483647.0)
            return QVariant(int(d));
        return QVariant(d);
    }
    if (v.isArray()) {
        QVariantList list;
        const int n = v.property(QStringLiteral("length")).toInt();
        for (int i = 0; i < n; ++i)
            list << toVariant(v.property(quint32(i)));
        return list;
    }
    return QVariant(v.toString());
}

} // namespace

JScriptEngine::JScriptEngine()
{
    setUp();
}

JScriptEngine::~JScriptEngine()
{
    m_invoke.reset();
    m_wrapHost.reset();
    m_flushLines.reset();
    m_activeX.reset();
    m_functions.reset();
    m_js.reset();
}

void JScriptEngine::setUp()
{
    auto js = std::make_unique<QJSEngine>();
    m_functions = std::make_unique<HostFunctions>(*this, *js);
    m_activeX = std::make_unique<ActiveXBridge>(*js);
    QJSEngine::setObjectOwnership(m_functions.get(), QJSEngine::CppOwnership);
    QJSEngine::setObjectOwnership(m_activeX.get(), QJSEngine::CppOwnership);

    QJSValue global = js->globalObject();
    const QJSValue functions = js->newQObject(m_functions.get());
    global.setProperty(QStringLiteral("alert"), functions.property(QStringLiteral("alert")));
    global.setProperty(QStringLiteral("MsgBox"), functions.property(QStringLiteral("MsgBox")));
    js->evaluate(regexpRulesScript(), QStringLiteral("regexprules")).call({global});
    const QJSValue prelude = js->evaluate(preludeScript(), QStringLiteral("prelude"));
    const QJSValue parts = prelude.call({global, js->newQObject(m_activeX.get()),
                                         functions.property(QStringLiteral("hostInfo")),
                                         functions.property(QStringLiteral("errorNumber"))});
    Q_ASSERT(parts.isObject());
    m_activeX->setWrapper(parts.property(QStringLiteral("wrap")));
    m_invoke = std::make_unique<QJSValue>(parts.property(QStringLiteral("invoke")));
    m_wrapHost = std::make_unique<QJSValue>(parts.property(QStringLiteral("wrapHost")));
    m_flushLines = std::make_unique<QJSValue>(parts.property(QStringLiteral("flushLines")));
    js->evaluate(builtinsScript(), QStringLiteral("builtins")).call({global, functions});
    js->evaluate(langRulesScript(), QStringLiteral("langrules"))
        .call({global, functions.property(QStringLiteral("compileAt"))});
    {
        QMutexLocker lock(&m_engineLock);
        m_js = std::move(js);
    }
    for (const auto &[name, object] : std::as_const(m_objects))
        if (object)
            exposeObject(name, object);
}

void JScriptEngine::exposeObject(const QString &name, QObject *object)
{
    QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
    const QJSValue wrapped = m_wrapHost->call({m_js->newQObject(object)});
    m_js->globalObject().setProperty(name, wrapped);
}

void JScriptEngine::addObject(const QString &name, QObject *object)
{
    m_objects.append({name, object});
    if (object)
        exposeObject(name, object);
    else
        m_js->globalObject().setProperty(name, QJSValue(QJSValue::NullValue));
}

void JScriptEngine::settle()
{
    m_js->setInterrupted(false);
    if (m_flushLines->call().isError()) { // a stop that came while they were written
        m_js->setInterrupted(false);
        m_flushLines->call();
    }
}

QString JScriptEngine::sourceLine(const QString &file, int line) const
{
    if (!file.startsWith(u"code") || line < 1)
        return QString();
    const int index = file.mid(4).toInt();
    if (index < 0 || index >= m_sources.size())
        return QString();
    // walk to the line without splitting the whole text
    const QString &text = m_sources.at(index);
    qsizetype start = 0;
    for (int i = 1; i < line; ++i) {
        start = text.indexOf(u'\n', start);
        if (start < 0)
            return QString();
        ++start;
    }
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0)
        end = text.size();
    if (end > start && text.at(end - 1) == u'\r')
        --end;
    return text.mid(start, end - start);
}

void JScriptEngine::pointAtProcedure(const QString &procedure, ScriptError &e) const
{
    // The engine gives no position for an interruption: the error names the header of the
    // procedure that was running, so the user sees where the script stood.
    const QRegularExpression header(QStringLiteral("\\bfunction\\s+(") +
                                    QRegularExpression::escape(procedure) +
                                    QStringLiteral(")\\s*\\("));
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        const QString &text = m_sources.at(i);
        const QRegularExpressionMatch match = header.match(text);
        if (!match.hasMatch())
            continue;
        const qsizetype at = match.capturedStart();
        e.line = int(text.left(at).count(u'\n')) + 1;
        e.text = sourceLine(fileName(int(i)), e.line);
        const qsizetype lineStart = at > 0 ? text.lastIndexOf(u'\n', at - 1) + 1 : 0;
        e.column = int(match.capturedStart(1) - lineStart); // at the procedure's name
        return;
    }
}

ScriptError JScriptEngine::compileError(const QJSValue &error, const QString &where)
{
    const StackEntry at = parseStackEntry(where);
    ScriptError e;
    e.source = compileSource();
    // JScript's own number, text and place where the text breaks JScript's grammar; the
    // engine's word where it breaks only the engine's (a later language's) rules
    const int index = at.file.startsWith(u"code") ? at.file.mid(4).toInt() : -1;
    if (index >= 0 && index < m_sources.size()) {
        const SyntaxFault fault = checkSyntax(m_sources.at(index));
        if (fault.isSet()) {
            e.number = fault.number;
            e.description = fault.description;
            e.line = fault.line;
            e.column = fault.column;
            e.text = sourceLine(at.file, e.line);
            return e;
        }
    }
    e.line = at.line > 0 ? at.line : error.property(QStringLiteral("lineNumber")).toInt();
    e.text = sourceLine(at.file, e.line);
    e.column = std::max(0, at.column - 1);
    const MappedError m =
        mapCompileError(error.property(QStringLiteral("message")).toString(), e.text, e.column);
    e.number = m.number;
    e.description = m.description;
    return e;
}

ScriptError JScriptEngine::runtimeError(const QJSValue &thrown, const QString &where)
{
    const StackEntry at = parseStackEntry(where);
    ScriptError e;
    e.source = runtimeSource();
    QString message;
    MappedError m;
    if (thrown.isObject() && thrown.hasProperty(QStringLiteral("message"))) {
        const QString name = thrown.property(QStringLiteral("name")).toString();
        message = thrown.property(QStringLiteral("message")).toString();
        m = mapRuntimeError(name, message);
        // JScript's own Error objects carry number and description
        const QJSValue number = thrown.property(QStringLiteral("number"));
        if (number.isNumber() && number.toInt() != 0) {
            const unsigned n = unsigned(number.toInt());
            m.number = (n & 0xFFFF0000u) == 0x800A0000u ? int(n & 0xFFFF) : int(n);
        }
        // the script's own text, or the text of an error raised with its number (the
        // host's own JScript errors, a script's numbered Error); the engine's errors keep
        // JScript's
        const QJSValue description = thrown.property(QStringLiteral("description"));
        const bool ownText = thrown.hasOwnProperty(QStringLiteral("description")) ||
                             thrown.hasOwnProperty(QStringLiteral("number"));
        if (ownText && description.isString() && !description.toString().isEmpty())
            m.description = description.toString();
        e.line = thrown.property(QStringLiteral("lineNumber")).toInt();
        QString file = thrown.property(QStringLiteral("fileName")).toString();
        file = file.section(u':', -1);
        if (file.isEmpty())
            file = at.file;
        if (!file.isEmpty() && !file.startsWith(u"code")) {
            // thrown inside the host's own script code: the script's line that led there
            const auto frame = scriptFrame(thrown.property(QStringLiteral("stack")).toString());
            file = frame.first;
            e.line = frame.second;
        }
        e.text = sourceLine(file, e.line);
    } else {
        m = {5022, QStringLiteral("Exception thrown and not caught")};
    }
    if (e.line <= 0 && at.line > 0) {
        e.line = at.line;
        e.text = sourceLine(at.file, e.line);
    }
    e.number = m.number;
    e.description = m.description;
    e.column = e.text.isEmpty() ? 0 : runtimeErrorColumn(message, e.text);
    return e;
}

bool JScriptEngine::addCode(const QString &code)
{
    const QString file = fileName(int(m_sources.size()));
    m_sources.append(code);
    QStringList stack;
    // lines in the rewritten texts are those of the script's own, and so are the columns
    // outside a line with an eval call
    const QString modern = m_functions->engineText(code);
    const QString scoped = rewriteScopeRules(modern, file);
    QJSValue r = m_js->evaluate(scoped, file, 1, &stack);
    if (scoped != modern && isCompileError(r, stack)) {
        // nothing ran: the text as written decides (and reports its own fault)
        stack.clear();
        r = m_js->evaluate(modern, file, 1, &stack);
    }
    settle();
    if (stack.isEmpty() && !r.isError())
        return true;
    const QString where = stack.value(0);
    if (isCompileError(r, stack))
        return fail(compileError(r, where));
    return fail(runtimeError(r, where));
}

bool JScriptEngine::run(const QString &procedure, const QStringList &args, QVariant *result)
{
    const QJSValue fn = m_js->globalObject().property(procedure);
    if (!fn.isCallable()) {
        ScriptError e;
        e.number = 5009;
        e.source = runtimeSource();
        e.description = QStringLiteral("'%1' is undefined").arg(procedure);
        return fail(e);
    }
    QJSValue list = m_js->newArray(uint(args.size()));
    for (qsizetype i = 0; i < args.size(); ++i)
        list.setProperty(quint32(i), args.at(i));
    const QJSValue out = m_invoke->call({fn, list});
    settle();
    if (out.isError()) { // an interruption is not caught by the script's own handlers
        ScriptError e = runtimeError(out, QString());
        if (e.line <= 0)
            pointAtProcedure(procedure, e);
        return fail(e);
    }
    if (!out.property(QStringLiteral("ok")).toBool())
        return fail(runtimeError(out.property(QStringLiteral("error")), QString()));
    if (result)
        *result = toVariant(out.property(QStringLiteral("value")));
    return true;
}

void JScriptEngine::reset()
{
    m_invoke.reset();
    m_wrapHost.reset();
    m_flushLines.reset();
    m_activeX.reset();
    m_functions.reset();
    {
        QMutexLocker lock(&m_engineLock);
        m_js.reset();
    }
    m_sources.clear();
    setUp();
    clearError();
}

void JScriptEngine::requestInterrupt()
{
    QMutexLocker lock(&m_engineLock);
    if (m_js)
        m_js->setInterrupted(true);
}

} // namespace quillora
