#include "vbscriptengine.h"

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <new>

namespace quillora {

using namespace vbs;

namespace {

ScriptError toError(const ScriptException &e)
{
    ScriptError r;
    r.number = e.number;
    r.source = e.source.isEmpty() ? runtimeSource() : e.source;
    r.description = e.description;
    r.text = e.text;
    r.line = std::max(0, e.line);
    r.column = std::max(0, e.column);
    return r;
}

ScriptError outOfMemory()
{
    ScriptException e = ScriptException::runtime(err::OutOfMemory);
    return toError(e);
}

QVariant toQVariant(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::Empty:
        return QVariant();
    case VType::Null:
        return QVariant::fromValue(nullptr);
    case VType::Boolean:
        return QVariant(v.intValue() != 0);
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
        return QVariant(v.intValue());
    case VType::Single:
    case VType::Double:
        return QVariant(v.dblValue());
    case VType::Currency:
        return QVariant(double(v.curValue()) / 10000.0);
    case VType::String:
        return QVariant(v.strRef());
    case VType::Array: {
        QVariantList l;
        for (const Value &e : v.arr()->data)
            l << toQVariant(e);
        return l;
    }
    case VType::Date:
        // the text form the language shows for a date
        return QVariant(formatDate(v.dblValue()));
    case VType::Object:
        return QVariant(typeName(v));
    default:
        return QVariant(toStr(v));
    }
}

} // namespace

VBScriptEngine::VBScriptEngine() : m_interp(std::make_unique<Interp>()) {}

VBScriptEngine::~VBScriptEngine() = default;

vbs::Limits &VBScriptEngine::limits()
{
    return m_interp->limits;
}

bool VBScriptEngine::addCode(const QString &code)
{
    m_interp->host = host();
    try {
        m_interp->addCode(code);
        return true;
    } catch (const ScriptException &e) {
        return fail(toError(e));
    } catch (const std::bad_alloc &) {
        return fail(outOfMemory());
    }
}

bool VBScriptEngine::run(const QString &procedure, const QStringList &args, QVariant *result)
{
    m_interp->host = host();
    std::vector<Value> values;
    values.reserve(size_t(args.size()));
    for (const QString &a : args)
        values.push_back(Value::str(a));
    try {
        Value r = m_interp->callByName(procedure, std::move(values));
        if (result)
            *result = toQVariant(r);
        return true;
    } catch (const ScriptException &e) {
        return fail(toError(e));
    } catch (const std::bad_alloc &) {
        return fail(outOfMemory());
    }
}

void VBScriptEngine::reset()
{
    m_interp->reset();
    clearError();
}

void VBScriptEngine::requestInterrupt()
{
    m_interp->interruptRequested.store(true);
}

void VBScriptEngine::addObject(const QString &name, QObject *object)
{
    Value v = object ? Value::object(newQObjectWrapper(object)) : Value::nothing();
    m_interp->addHostObject(name, v);
}

} // namespace quillora
