// Host objects: a QObject's invokable methods, slots and properties, found without regard
// to case. A Q_CLASSINFO("DefaultMember", name) names the default member; an object with
// Count and Item members can be walked with For Each.

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QMutex>
#include <QPointer>

#include <map>

namespace quillora::vbs {

Value valueFromVariant(const QVariant &v);

namespace {

struct MetaTable
{
    struct Member
    {
        bool property = false;
        int propertyIndex = -1;
        std::vector<int> methods; // overloads
    };
    std::vector<Member> members;
    QHash<QString, int> index;
    int defaultMember = -1;
};

// One table per class, shared by all engines (of any thread); entries never move.
const MetaTable &tableOf(const QMetaObject *mo)
{
    static std::map<const QMetaObject *, MetaTable> cache;
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    auto found = cache.find(mo);
    if (found != cache.end())
        return found->second;
    MetaTable *t = &cache[mo];
    for (int i = 1; i < mo->propertyCount(); ++i) { // 0 is objectName
        const QString name = QString::fromLatin1(mo->property(i).name()).toLower();
        t->index.insert(name, int(t->members.size()));
        MetaTable::Member m;
        m.property = true;
        m.propertyIndex = i;
        t->members.push_back(m);
    }
    for (int i = QObject::staticMetaObject.methodCount(); i < mo->methodCount(); ++i) {
        const QMetaMethod mm = mo->method(i);
        if (mm.access() != QMetaMethod::Public ||
            (mm.methodType() != QMetaMethod::Method && mm.methodType() != QMetaMethod::Slot))
            continue;
        const QString name = QString::fromLatin1(mm.name()).toLower();
        int idx = t->index.value(name, -1);
        if (idx < 0) {
            idx = int(t->members.size());
            t->index.insert(name, idx);
            t->members.emplace_back();
        }
        t->members[size_t(idx)].methods.push_back(i);
    }
    const int ci = mo->indexOfClassInfo("DefaultMember");
    if (ci >= 0)
        t->defaultMember =
            t->index.value(QString::fromLatin1(mo->classInfo(ci).value()).toLower(), -1);
    return *t;
}

QVariant toVariant(Interp &in, const Value &vin)
{
    Value v = in.scalar(vin);
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
    case VType::String:
        return QVariant(v.strRef());
    case VType::Array: {
        QVariantList l;
        for (const Value &e : v.arr()->data)
            l << toVariant(in, e);
        return l;
    }
    case VType::Date:
        return QVariant(toStr(v));
    default:
        return QVariant(toDouble(v));
    }
}

QVariant textVariant(Interp &in, const Value &vin)
{
    Value v = in.scalar(vin);
    if (v.isNull())
        return QVariant(QStringLiteral("Null"));
    if (v.isArray())
        throwError(err::TypeMismatch);
    return QVariant(toStr(v));
}

class QObjectWrapper : public Object
{
public:
    explicit QObjectWrapper(QObject *o) : target(o), meta(o->metaObject()) {}
    QString typeName() const override { return QString::fromLatin1(meta->className()); }
    const void *dispatchKey() const override { return meta; }
    int findMember(const QString &lowerName) const override
    {
        const int id = tableOf(meta).index.value(lowerName, -1);
        // host.CreateObject(progId) as in WScript.CreateObject: the engine's own objects
        if (id < 0 && lowerName == u"createobject")
            return kCreateObject;
        return id;
    }
    int defaultMember() const override { return tableOf(meta).defaultMember; }

    bool enumerate(Interp &in, std::vector<Value> &out) override
    {
        const int count = findMember(QStringLiteral("count"));
        const int item = findMember(QStringLiteral("item"));
        if (count < 0 || item < 0)
            return false;
        const int n = toLong(invoke(in, count, Access::Get, nullptr, 0, nullptr));
        for (int i = 0; i < n; ++i) {
            Value idx = Value::lng(i);
            out.push_back(invoke(in, item, Access::Get, &idx, 1, nullptr));
        }
        return true;
    }

    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *rhs) override
    {
        if (!target)
            throwError(err::ObjectRequired);
        if (member == kCreateObject) {
            checkArgs(argc, 1, 2);
            Object *o = in.createObject(toStr(in.scalar(args[0])));
            return Value::object(o);
        }
        const MetaTable::Member &m = tableOf(meta).members[size_t(member)];
        if (m.property) {
            QMetaProperty p = meta->property(m.propertyIndex);
            if (access == Access::Let || access == Access::Set) {
                if (!p.write(target, toVariant(in, *rhs)))
                    throwError(err::IllegalAssignment);
                return Value();
            }
            Value v = valueFromVariant(p.read(target));
            if (!argc)
                return v;
            // Arguments(0): the property's object, then its default member
            Object *o = v.obj();
            if (!o || o->defaultMember() < 0)
                throwError(err::WrongArgCount);
            return in.invokeMember(o, o->defaultMember(), Access::Get, args, argc, nullptr);
        }
        // Object.Member(args) = value: the overload that takes the value after the arguments
        std::vector<Value> withValue;
        if (access == Access::Let || access == Access::Set) {
            if (!rhs || argc == 0)
                throwError(err::IllegalAssignment);
            withValue.assign(args, args + argc);
            withValue.push_back(*rhs);
            args = withValue.data();
            ++argc;
        }
        for (int mi : m.methods) {
            const QMetaMethod mm = meta->method(mi);
            const bool variadic = mm.parameterCount() == 1 &&
                                  mm.parameterMetaType(0) == QMetaType::fromType<QVariantList>();
            if (!variadic && mm.parameterCount() != argc)
                continue;
            std::vector<QVariant> vals;
            if (variadic) {
                // variadic host methods (Echo) get the text form the language shows
                QVariantList list;
                for (int i = 0; i < argc; ++i)
                    list << (args[i].isMissing() ? QVariant() : textVariant(in, args[i]));
                vals.push_back(list);
            } else {
                for (int i = 0; i < argc; ++i) {
                    QVariant v;
                    if (args[i].isMissing())
                        v = QVariant();
                    else if (mm.parameterMetaType(i) == QMetaType::fromType<QString>())
                        v = textVariant(in, args[i]);
                    else
                        v = toVariant(in, args[i]);
                    if (!v.convert(mm.parameterMetaType(i)))
                        throwError(err::TypeMismatch);
                    vals.push_back(v);
                }
            }
            QVariant ret;
            const QMetaType rt = mm.returnMetaType();
            if (rt.id() != QMetaType::Void && rt.isValid())
                ret = QVariant(rt, nullptr);
            QGenericReturnArgument retArg;
            if (ret.isValid())
                retArg = QGenericReturnArgument(rt.name(), ret.data());
            QGenericArgument a[10];
            for (size_t i = 0; i < vals.size() && i < 10; ++i)
                a[i] = QGenericArgument(vals[i].typeName(), vals[i].constData());
            if (vals.size() > 10)
                throwError(err::WrongArgCount);
            QPointer<QObject> guard = target;
            if (!mm.invoke(target, Qt::DirectConnection, retArg, a[0], a[1], a[2], a[3], a[4], a[5],
                           a[6], a[7], a[8], a[9]))
                throwError(err::InvalidCall);
            return ret.isValid() ? valueFromVariant(ret) : Value();
        }
        if (!withValue.empty())
            throwError(err::IllegalAssignment);
        throwError(err::WrongArgCount);
    }

private:
    static constexpr int kCreateObject = 1 << 20;
    QPointer<QObject> target;
    const QMetaObject *meta;
};

} // namespace

Value valueFromVariant(const QVariant &v)
{
    if (!v.isValid())
        return Value();
    switch (v.typeId()) {
    case QMetaType::Nullptr:
        return Value::null();
    case QMetaType::Bool:
        return Value::boolean(v.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Char:
        return Value::lng(v.toInt());
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble() == double(int(v.toDouble())) ? Value::lng(int(v.toDouble()))
                                                         : Value::dbl(v.toDouble());
    case QMetaType::QString:
        return Value::str(v.toString());
    case QMetaType::QDateTime:
        return Value::date(oleFromDateTime(v.toDateTime()));
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        const QVariantList l = v.toList();
        ArrayObj *a = ArrayObj::make({int(l.size()) - 1}, size_t(1) << 26);
        Value r = Value::array(a);
        for (qsizetype i = 0; i < l.size(); ++i)
            a->data[size_t(i)] = valueFromVariant(l[i]);
        return r;
    }
    case QMetaType::QObjectStar: {
        QObject *o = v.value<QObject *>();
        return o ? Value::object(newQObjectWrapper(o)) : Value::nothing();
    }
    default:
        return Value::str(v.toString());
    }
}

Object *newQObjectWrapper(QObject *object)
{
    return new QObjectWrapper(object);
}

} // namespace quillora::vbs
