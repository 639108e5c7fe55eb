#pragma once
// Objects seen by scripts: instances of script classes and native objects (Dictionary,
// RegExp, FileSystemObject, host objects). Member names are looked up once per call site;
// the call site caches the member id under the object's dispatch key.

#include "value.h"

#include <QHash>
#include <QString>

#include <vector>

namespace quillora::vbs {

class Interp;
struct ClassDef;

enum class Access : uint8_t
{
    Get,  // read a property or call a function for its value
    Call, // call as a statement; the result is discarded
    Let,  // assign a value
    Set,  // assign an object reference
};

class Object : public HeapObj
{
public:
    virtual QString typeName() const = 0;
    virtual const void *dispatchKey() const = 0;
    // Member id for a lower-case name, -1 when the object has no such member.
    virtual int findMember(const QString &lowerName) const = 0;
    // args are plain values (no ByRef bindings); rhs is the assigned value for Let/Set.
    virtual Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                         const Value *rhs) = 0;
    virtual int defaultMember() const { return -1; }
    // The items of For Each; false when the object is not a collection.
    virtual bool enumerate(Interp &, std::vector<Value> &) { return false; }
    // The class of an instance of a script class; null for every other object.
    ClassDef *scriptClass() const { return scriptCls; }

protected:
    ClassDef *scriptCls = nullptr;
};

inline Object *Value::obj() const
{
    return t == VType::Object ? static_cast<Object *>(h) : nullptr;
}

inline Value Value::object(Object *o)
{
    Value r;
    r.t = VType::Object;
    r.h = o;
    retain(o);
    return r;
}

// Base of native objects: a fixed table of member names per class.
class NativeObject : public Object
{
public:
    const void *dispatchKey() const override { return &members(); }
    int findMember(const QString &lowerName) const override
    {
        return members().value(lowerName, -1);
    }
    // Member names of the class, lower case, mapped to ids.
    virtual const QHash<QString, int> &members() const = 0;
};

// Builds a member table from a list of names: the id is the position in the list.
QHash<QString, int> memberTable(std::initializer_list<const char *> names);

// Argument helpers for native members: raise 450 on a wrong count.
void checkArgs(int argc, int min, int max);
inline bool hasArg(Value *args, int argc, int i)
{
    return i < argc && !args[i].isMissing();
}

} // namespace quillora::vbs
