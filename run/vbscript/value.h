#pragma once
// Variants of the interpreter. A Value is 16 bytes: a type tag and either a scalar or a
// pointer to a reference-counted heap object (string, array, object). Small numbers never
// touch the heap; an empty string is a null pointer.

#include <QString>

#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillora::vbs {

enum class VType : uint16_t
{
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Byte = 17,
    Array = 8204, // vbArray + vbVariant
    Ref = 0x7fff, // internal: a ByRef binding to another Value, never seen by scripts
};

// Base of everything a Value can point to. Not thread-safe: one engine, one thread.
class HeapObj
{
public:
    virtual ~HeapObj() = default;
    // Runs before deletion; false when the object was brought back to life meanwhile.
    virtual bool finalize() { return true; }
    uint32_t refs = 0;
    bool holdsNoValues = false;     // deleting it releases nothing else and runs no code
    HeapObj *nextPending = nullptr; // queue of deletions in destroyHeapObj
};

// Deletes the object. Nested releases are queued, so releasing a long chain of objects or
// deeply nested arrays does not recurse.
void destroyHeapObj(HeapObj *obj);

inline void retain(HeapObj *obj)
{
    if (obj)
        ++obj->refs;
}
inline void release(HeapObj *obj)
{
    if (obj && --obj->refs == 0)
        destroyHeapObj(obj);
}

class StrObj : public HeapObj
{
public:
    explicit StrObj(QString s) : str(std::move(s)) { holdsNoValues = true; }
    QString str;

    // Scripts make and drop strings by the million: their objects are kept for reuse.
    static void *operator new(size_t size);
    static void operator delete(void *p, size_t size);
};

class Value;
class ArrayObj;
class Object;

class Value
{
public:
    Value() : t(VType::Empty), l(0) {}
    Value(const Value &o) : t(o.t), l(o.l)
    {
        if (isHeap())
            retain(h);
    }
    Value(Value &&o) noexcept : t(o.t), l(o.l)
    {
        o.t = VType::Empty;
        o.l = 0;
    }
    ~Value()
    {
        if (isHeap())
            release(h);
    }
    Value &operator=(const Value &o)
    {
        // o may be this value itself (x = x): read it before this value is emptied
        if (o.isHeap())
            retain(o.h);
        const VType ot = o.t;
        const int64_t ol = o.l;
        Value old(std::move(*this));
        t = ot;
        l = ol;
        return *this;
    }
    Value &operator=(Value &&o) noexcept
    {
        if (this != &o) {
            VType ot = t;
            HeapObj *oh = h;
            t = o.t;
            l = o.l;
            o.t = VType::Empty;
            o.l = 0;
            if (heapTag(ot))
                release(oh);
        }
        return *this;
    }

    // Empties the value; what it held is let go of after, so code that runs when an
    // object goes away sees the value already empty.
    void clear()
    {
        if (!isHeap()) {
            t = VType::Empty;
            l = 0;
            return;
        }
        Value old(std::move(*this));
    }
    // Takes o's content into this value, which must be Empty (a fresh slot), without
    // looking for something to let go of.
    void fill(Value &&o) noexcept
    {
        Q_ASSERT(t == VType::Empty);
        t = o.t;
        l = o.l;
        o.t = VType::Empty;
        o.l = 0;
    }

    static Value integer(int v) { return scalarI(VType::Integer, v); }
    static Value lng(int v) { return scalarI(VType::Long, v); }
    static Value byte(int v) { return scalarI(VType::Byte, v); }
    static Value boolean(bool v) { return scalarI(VType::Boolean, v ? -1 : 0); }
    static Value errorCode(int v) { return scalarI(VType::Error, v); }
    static Value dbl(double v) { return scalarD(VType::Double, v); }
    static Value single(double v) { return scalarD(VType::Single, double(float(v))); }
    static Value date(double v) { return scalarD(VType::Date, v); }
    static Value currency(int64_t scaled)
    {
        Value r;
        r.t = VType::Currency;
        r.c = scaled;
        return r;
    }
    static Value null()
    {
        Value r;
        r.t = VType::Null;
        return r;
    }
    static Value str(const QString &s);
    static Value sharedStr(StrObj *s) // takes a new reference
    {
        Value r;
        r.t = VType::String;
        r.h = s;
        retain(s);
        return r;
    }
    static Value str(QString &&s);
    static Value object(Object *o); // takes a new reference; null is Nothing
    static Value nothing()
    {
        Value r;
        r.t = VType::Object;
        return r;
    }
    static Value array(ArrayObj *a);
    static Value missing() { return scalarI(VType::Error, 448); } // an omitted argument
    static Value refTo(Value *target)
    {
        Value r;
        r.t = VType::Ref;
        r.ref = target;
        return r;
    }
    // Makes an integral result: Integer when it fits, else Long, else Double.
    static Value fromInt64(int64_t v)
    {
        if (v >= -32768 && v <= 32767)
            return integer(int(v));
        if (v >= INT32_MIN && v <= INT32_MAX)
            return lng(int(v));
        return dbl(double(v));
    }

    VType type() const { return t; }
    // String, Object or Array, in one test: of all the types, only 8, 9 and 8204 come to 0
    // or 1 after taking 8 and clearing bits 2 and 13 (heapTag)
    bool isHeap() const { return heapTag(t); }
    static constexpr bool heapTag(VType type) { return ((unsigned(type) - 8u) & 0xDFFBu) <= 1u; }
    // The same content word for word: the same string, object or array, or the same
    // scalar of the same type.
    bool isSame(const Value &o) const { return t == o.t && l == o.l; }
    bool isEmpty() const { return t == VType::Empty; }
    bool isNull() const { return t == VType::Null; }
    bool isString() const { return t == VType::String; }
    bool isObject() const { return t == VType::Object; }
    bool isArray() const { return t == VType::Array; }
    bool isMissing() const { return t == VType::Error && i == 448; }
    bool isNumeric() const
    {
        switch (t) {
        case VType::Integer:
        case VType::Long:
        case VType::Single:
        case VType::Double:
        case VType::Currency:
        case VType::Byte:
        case VType::Boolean:
        case VType::Date:
            return true;
        default:
            return false;
        }
    }
    bool isIntegral() const
    {
        return t == VType::Integer || t == VType::Long || t == VType::Byte || t == VType::Boolean;
    }
    // The value this one stands for, following a ByRef binding.
    const Value &deref() const { return t == VType::Ref ? *ref : *this; }
    Value &deref() { return t == VType::Ref ? *ref : *this; }

    int intValue() const { return i; }
    double dblValue() const { return d; }
    int64_t curValue() const { return c; }
    const QString &strRef() const;
    StrObj *strObj() const { return static_cast<StrObj *>(h); }
    Object *obj() const; // null for Nothing and for non-objects
    ArrayObj *arr() const;
    Value *refTarget() const { return ref; }

    // Appends in place when this value holds the only reference to its string.
    void appendString(QStringView s);

private:
    static Value scalarI(VType type, int v)
    {
        Value r;
        r.t = type;
        // One 8-byte store of the whole word: copies read the word whole, and reading it
        // right after a 4-byte store into it stalls the processor until both stores land.
        if constexpr (std::endian::native == std::endian::little)
            r.l = int64_t(uint32_t(v));
        else
            r.i = v;
        return r;
    }
    static Value scalarD(VType type, double v)
    {
        Value r;
        r.t = type;
        r.d = v;
        return r;
    }

    VType t;
    union {
        int32_t i;
        int64_t l;
        int64_t c;
        double d;
        HeapObj *h;
        Value *ref;
    };
};

static_assert(Value::heapTag(VType::String) && Value::heapTag(VType::Object) &&
              Value::heapTag(VType::Array));
static_assert(!Value::heapTag(VType::Empty) && !Value::heapTag(VType::Null) &&
              !Value::heapTag(VType::Integer) && !Value::heapTag(VType::Long) &&
              !Value::heapTag(VType::Single) && !Value::heapTag(VType::Double) &&
              !Value::heapTag(VType::Currency) && !Value::heapTag(VType::Date) &&
              !Value::heapTag(VType::Error) && !Value::heapTag(VType::Boolean) &&
              !Value::heapTag(VType::Byte) && !Value::heapTag(VType::Ref));

// A multi-dimensional array with lower bounds of 0, stored row-major with the last index
// varying fastest. Arrays are values in the language: writes go through unique().
class ArrayObj : public HeapObj
{
public:
    std::vector<int> upper; // upper bound per dimension, -1 for an empty dimension
    std::vector<Value> data;
    int locks = 0;      // ByRef bindings into elements; ReDim and Erase refuse while locked
    bool fixed = false; // declared with bounds by Dim

    static ArrayObj *make(const std::vector<int> &upperBounds, size_t maxElements);
    ArrayObj *clone() const;
    int dims() const { return int(upper.size()); }
    size_t count() const { return data.size(); }
};

inline const QString &emptyQString()
{
    static const QString e;
    return e;
}

inline const QString &Value::strRef() const
{
    return h ? static_cast<StrObj *>(h)->str : emptyQString();
}
inline ArrayObj *Value::arr() const
{
    return t == VType::Array ? static_cast<ArrayObj *>(h) : nullptr;
}

} // namespace quillora::vbs
