#include "activex.h"

#include "run/vbscript/convert.h"
#include "run/vbscript/errors.h"
#include "run/vbscript/interp.h"
#include "run/vbscript/objects.h"

#include <QDateTime>
#include <QJSEngine>
#include <QSet>

#include <cmath>
#include <new>

namespace quillora::js {

using namespace vbs;

namespace {

// Members that JScript reads as values; every other member is called as a method.
bool isProperty(const QString &lowerName)
{
    static const QSet<QString> names = {
        QStringLiteral("count"),         QStringLiteral("comparemode"),
        QStringLiteral("atendofstream"), QStringLiteral("atendofline"),
        QStringLiteral("line"),          QStringLiteral("column"),
        QStringLiteral("name"),          QStringLiteral("path"),
        QStringLiteral("size"),          QStringLiteral("datelastmodified"),
        QStringLiteral("parentfolder"),  QStringLiteral("files"),
        QStringLiteral("subfolders"),    QStringLiteral("shortname"),
        QStringLiteral("type"),          QStringLiteral("value"),
        QStringLiteral("firstindex"),    QStringLiteral("length"),
        QStringLiteral("submatches"),    QStringLiteral("pattern"),
        QStringLiteral("ignorecase"),    QStringLiteral("global"),
        QStringLiteral("multiline"),
    };
    return names.contains(lowerName);
}

} // namespace

ActiveXBridge::ActiveXBridge(QJSEngine &engine)
    : m_engine(engine), m_interp(std::make_unique<Interp>())
{
}

ActiveXBridge::~ActiveXBridge()
{
    m_objects.clear(); // before the interpreter they may refer to
}

void ActiveXBridge::throwScriptError(int number, const QString &description)
{
    QJSValue error = m_engine.newErrorObject(QJSValue::GenericError, description);
    // JScript shows errors of automation objects as HRESULTs of the VBScript facility
    error.setProperty(QStringLiteral("number"), int(0x800A0000u | unsigned(number & 0xFFFF)));
    error.setProperty(QStringLiteral("description"), description);
    m_engine.throwError(error);
}

int ActiveXBridge::handleFor(const Value &object)
{
    const void *key = object.obj();
    const auto found = m_handles.constFind(key);
    if (found != m_handles.constEnd())
        return found.value();
    const int handle = int(m_objects.size());
    m_objects.push_back(object);
    m_handles.insert(key, handle);
    return handle;
}

QJSValue ActiveXBridge::create(const QString &progId)
{
    Object *o = createObjectByProgId(progId);
    if (!o) {
        throwScriptError(err::CannotCreateObject, errorText(err::CannotCreateObject));
        return QJSValue();
    }
    return toScript(Value::object(o));
}

QJSValue ActiveXBridge::toScript(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::Empty:
        return QJSValue();
    case VType::Null:
        return QJSValue(QJSValue::NullValue);
    case VType::Boolean:
        return QJSValue(v.intValue() != 0);
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
        return QJSValue(v.intValue());
    case VType::Single:
    case VType::Double:
        return QJSValue(v.dblValue());
    case VType::Currency:
        return QJSValue(double(v.curValue()) / 10000.0);
    case VType::String:
        return QJSValue(v.strRef());
    case VType::Date: {
        int y, mo, d, h, mi, s;
        dateToParts(v.dblValue(), &y, &mo, &d, &h, &mi, &s);
        return m_engine.toScriptValue(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
    }
    case VType::Array: {
        const ArrayObj *a = v.arr();
        QJSValue list = m_engine.newArray(uint(a->data.size()));
        for (size_t i = 0; i < a->data.size(); ++i)
            list.setProperty(quint32(i), toScript(a->data[i]));
        return list;
    }
    case VType::Object:
        if (!v.obj())
            return QJSValue(QJSValue::NullValue);
        return m_wrap.call({QJSValue(handleFor(v))});
    default:
        return QJSValue(toStr(v));
    }
}

Value ActiveXBridge::fromScript(const QJSValue &v)
{
    if (v.isUndefined())
        return Value();
    if (v.isNull())
        return Value::null();
    if (v.isBool())
        return Value::boolean(v.toBool());
    if (v.isNumber()) {
        const double d = v.toNumber();
        if (std::isfinite(d) && d == std::floor(d) && std::abs(d) <= 2147483647.0)
            return Value::lng(int(d));
        return Value::dbl(d);
    }
    if (v.isString())
        return Value::str(v.toString());
    if (v.isDate())
        return Value::date(oleFromDateTime(v.toDateTime()));
    if (v.isArray()) {
        const int n = v.property(QStringLiteral("length")).toInt();
        ArrayObj *a = ArrayObj::make({n - 1}, size_t(n) + 1);
        for (int i = 0; i < n; ++i)
            a->data[size_t(i)] = fromScript(v.property(quint32(i)));
        return Value::array(a);
    }
    if (v.isCallable()) {
        const QJSValue handle = v.property(QStringLiteral("__handle"));
        if (handle.isNumber()) {
            const int h = handle.toInt();
            if (h >= 0 && size_t(h) < m_objects.size())
                return m_objects[size_t(h)];
        }
    }
    return Value::str(v.toString());
}

int ActiveXBridge::kind(int handle, const QString &name)
{
    if (handle < 0 || size_t(handle) >= m_objects.size())
        return 0;
    const QString lower = name.toLower();
    if (m_objects[size_t(handle)].obj()->findMember(lower) < 0)
        return 0;
    return isProperty(lower) ? 1 : 2;
}

QJSValue ActiveXBridge::invoke(int handle, const QString &name, int access, const QJSValue &args,
                               const QJSValue *rhs)
{
    if (handle < 0 || size_t(handle) >= m_objects.size())
        return QJSValue();
    Object *o = m_objects[size_t(handle)].obj();
    const int member = name.isEmpty() ? o->defaultMember() : o->findMember(name.toLower());
    try {
        if (member < 0)
            throwError(err::NoSuchMember);
        std::vector<Value> values;
        const int n = args.isArray() ? args.property(QStringLiteral("length")).toInt() : 0;
        for (int i = 0; i < n; ++i)
            values.push_back(fromScript(args.property(quint32(i))));
        Value assigned;
        if (rhs)
            assigned = fromScript(*rhs);
        const Value r = o->invoke(*m_interp, member, Access(access), values.data(),
                                  int(values.size()), rhs ? &assigned : nullptr);
        return toScript(r);
    } catch (const ScriptException &e) {
        throwScriptError(e.number, e.description.isEmpty() ? errorText(e.number) : e.description);
    } catch (const std::bad_alloc &) {
        throwScriptError(err::OutOfMemory, errorText(err::OutOfMemory));
    }
    return QJSValue();
}

QJSValue ActiveXBridge::get(int handle, const QString &name)
{
    return invoke(handle, name, int(Access::Get), QJSValue(), nullptr);
}

QJSValue ActiveXBridge::call(int handle, const QString &name, const QJSValue &args)
{
    return invoke(handle, name, int(Access::Get), args, nullptr);
}

void ActiveXBridge::put(int handle, const QString &name, const QJSValue &value)
{
    const bool object = value.isCallable() && value.property(QStringLiteral("__handle")).isNumber();
    invoke(handle, name, int(object ? Access::Set : Access::Let), QJSValue(), &value);
}

QJSValue ActiveXBridge::items(int handle)
{
    if (handle < 0 || size_t(handle) >= m_objects.size())
        return m_engine.newArray();
    std::vector<Value> out;
    try {
        Object *o = m_objects[size_t(handle)].obj();
        if (!o->enumerate(*m_interp, out)) {
            // a Dictionary enumerates its keys
            const int keys = o->findMember(QStringLiteral("keys"));
            if (keys < 0)
                throwError(err::NotACollection);
            const Value r = o->invoke(*m_interp, keys, Access::Get, nullptr, 0, nullptr);
            if (const ArrayObj *a = r.arr())
                out = a->data;
        }
    } catch (const ScriptException &e) {
        throwScriptError(e.number, e.description.isEmpty() ? errorText(e.number) : e.description);
        return QJSValue();
    }
    QJSValue list = m_engine.newArray(uint(out.size()));
    for (size_t i = 0; i < out.size(); ++i)
        list.setProperty(quint32(i), toScript(out[i]));
    return list;
}

QString ActiveXBridge::typeName(int handle)
{
    if (handle < 0 || size_t(handle) >= m_objects.size())
        return QString();
    return m_objects[size_t(handle)].obj()->typeName();
}

} // namespace quillora::js
