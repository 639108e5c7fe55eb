// Err and Scripting.Dictionary, and object creation by program id.

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <cmath>

namespace quillora::vbs {

QHash<QString, int> memberTable(std::initializer_list<const char *> names)
{
    QHash<QString, int> h;
    int id = 0;
    for (const char *n : names)
        h.insert(QString::fromLatin1(n), id++);
    return h;
}

void checkArgs(int argc, int min, int max)
{
    if (argc < min || argc > max)
        throwError(err::WrongArgCount);
}

namespace {

// ---- Err

// The number Err.Raise raises: an HRESULT of a known failure becomes the language's own
// number; 0 and a positive number above 65535 are an invalid call.
int raisedNumber(int n)
{
    static const QHash<uint32_t, int> known = {
        {0x8007000Eu, 7},  {0x80070057u, 5},   {0x80004001u, 445}, {0x80020003u, 438},
        {0x80020005u, 13}, {0x80020006u, 438}, {0x8002000Au, 6},   {0x8002000Eu, 450},
        {0x80020012u, 11}, {0x8002000Bu, 9},   {0x80004005u, 5},
    };
    const uint32_t u = uint32_t(n);
    if ((u & 0xFFFF0000u) == 0x800A0000u)
        return int(u & 0xFFFF);
    auto it = known.constFind(u);
    if (it != known.constEnd())
        return it.value();
    if (n == 0 || n > 0xFFFF)
        throwError(err::InvalidCall);
    return n;
}

class ErrObject : public NativeObject
{
public:
    explicit ErrObject(Interp &interp) : in(interp) {}
    enum
    {
        Number,
        Description,
        Source,
        Raise,
        Clear,
        HelpFile,
        HelpContext
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable(
            {"number", "description", "source", "raise", "clear", "helpfile", "helpcontext"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("Object"); }
    int defaultMember() const override { return Number; }

    Value invoke(Interp &, int member, Access access, Value *args, int argc,
                 const Value *rhs) override
    {
        const bool write = access == Access::Let || access == Access::Set;
        Interp::ErrState &e = in.errState;
        switch (member) {
        case Number:
            if (write)
                e.number = toLong(in.scalar(*rhs));
            return write ? Value() : Value::lng(e.number);
        case Description:
            if (write)
                e.description = toStr(in.scalar(*rhs));
            return write ? Value() : Value::str(e.description);
        case Source:
            if (write)
                e.source = toStr(in.scalar(*rhs));
            return write ? Value() : Value::str(e.source);
        case HelpFile:
            if (write)
                e.helpFile = toStr(in.scalar(*rhs));
            return write ? Value() : Value::str(e.helpFile);
        case HelpContext:
            if (write)
                e.helpContext = toLong(in.scalar(*rhs));
            return write ? Value() : Value::lng(e.helpContext);
        case Clear:
            in.clearErr();
            return Value();
        case Raise: {
            checkArgs(argc, 1, 5);
            const int number = raisedNumber(toLong(in.scalar(args[0])));
            // what the call leaves out stays as the Err object has it
            ScriptException ex = ScriptException::runtime(number);
            if (!e.source.isEmpty())
                ex.source = e.source;
            if (!e.description.isEmpty())
                ex.description = e.description;
            ex.helpFile = e.helpFile;
            ex.helpContext = e.helpContext;
            if (hasArg(args, argc, 1))
                ex.source = toStr(in.scalar(args[1]));
            if (hasArg(args, argc, 2))
                ex.description = toStr(in.scalar(args[2]));
            if (hasArg(args, argc, 3))
                ex.helpFile = toStr(in.scalar(args[3]));
            if (hasArg(args, argc, 4))
                ex.helpContext = toLong(in.scalar(args[4]));
            throw ex;
        }
        }
        throwError(err::NoSuchMember);
    }

private:
    Interp &in;
};

// ---- Dictionary

class Dictionary : public NativeObject
{
public:
    enum
    {
        Item,
        Add,
        Exists,
        Items,
        Key,
        Keys,
        Remove,
        RemoveAll,
        Count,
        CompareMode
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable({"item", "add", "exists", "items", "key", "keys",
                                           "remove", "removeall", "count", "comparemode"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("Dictionary"); }
    int defaultMember() const override { return Item; }

    bool enumerate(Interp &, std::vector<Value> &out) override
    {
        for (const Entry &e : entries)
            if (e.alive)
                out.push_back(e.key);
        return true;
    }

    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *rhs) override
    {
        const bool write = access == Access::Let || access == Access::Set;
        switch (member) {
        case Item: {
            checkArgs(argc, 1, 1);
            Value key = keyValue(in, args[0]);
            int idx = find(key);
            if (write) {
                if (idx < 0)
                    insert(key, *rhs);
                else
                    entries[size_t(idx)].value = *rhs;
                return Value();
            }
            if (idx < 0) {
                insert(key, Value()); // reading a missing key adds it, as the original does
                return Value();
            }
            return entries[size_t(idx)].value;
        }
        case Add: {
            checkArgs(argc, 2, 2);
            Value key = keyValue(in, args[0]);
            if (find(key) >= 0)
                throwError(err::KeyExists);
            insert(key, args[1].deref());
            return Value();
        }
        case Exists:
            checkArgs(argc, 1, 1);
            return Value::boolean(find(keyValue(in, args[0])) >= 0);
        case Items:
        case Keys: {
            checkArgs(argc, 0, 0);
            ArrayObj *a = ArrayObj::make({int(live) - 1}, in.limits.maxArrayElements);
            Value v = Value::array(a);
            size_t i = 0;
            for (const Entry &e : entries)
                if (e.alive)
                    a->data[i++] = member == Keys ? e.key : e.value;
            return v;
        }
        case Key: {
            checkArgs(argc, 1, 1);
            if (!write)
                throwError(err::NoSuchMember);
            Value key = keyValue(in, args[0]);
            const int idx = find(key);
            if (idx < 0)
                throwError(err::ElementNotFound);
            Value newKey = keyValue(in, *rhs);
            if (find(newKey) >= 0)
                throwError(err::KeyExists);
            index.remove(hashKey(key));
            entries[size_t(idx)].key = newKey;
            index.insert(hashKey(newKey), idx);
            return Value();
        }
        case Remove: {
            checkArgs(argc, 1, 1);
            Value key = keyValue(in, args[0]);
            const int idx = find(key);
            if (idx < 0)
                throwError(err::ElementNotFound);
            index.remove(hashKey(key));
            entries[size_t(idx)] = Entry();
            --live;
            if (live * 2 < entries.size() && entries.size() > 16)
                compact();
            return Value();
        }
        case RemoveAll:
            entries.clear();
            index.clear();
            live = 0;
            return Value();
        case Count:
            return Value::lng(int(live));
        case CompareMode:
            if (write) {
                if (live)
                    throwError(err::InvalidCall);
                textMode = toLong(in.scalar(*rhs)) == 1;
                return Value();
            }
            return Value::lng(textMode ? 1 : 0);
        }
        throwError(err::NoSuchMember);
    }

private:
    struct Entry
    {
        Value key;
        Value value;
        bool alive = false;
    };

    static Value keyValue(Interp &in, const Value &v)
    {
        const Value &d = v.deref();
        if (d.isArray())
            throwError(err::TypeMismatch);
        (void)in;
        return d;
    }

    // The identity of a key: strings by their text (lower case in text mode), objects by
    // their address, numbers by their value whatever the subtype.
    struct HashKey
    {
        char kind = 'e';
        double num = 0;
        QString str;
        bool operator==(const HashKey &o) const
        {
            return kind == o.kind && num == o.num && (kind != 's' || str == o.str);
        }
    };
    friend size_t qHash(const HashKey &k, size_t seed)
    {
        return k.kind == 's' ? qHash(k.str, seed) : qHashMulti(seed, k.kind, k.num);
    }

    HashKey hashKey(const Value &k) const
    {
        HashKey key;
        switch (k.type()) {
        case VType::String:
            key.kind = 's';
            key.str = textMode ? k.strRef().toLower() : k.strRef();
            break;
        case VType::Object:
            key.kind = 'o';
            key.num = double(quintptr(k.obj()));
            break;
        case VType::Empty:
            break;
        case VType::Null:
            key.kind = 'z';
            break;
        default:
            key.kind = 'n';
            key.num = toDouble(k);
            if (key.num == 0)
                key.num = 0; // -0 and 0 are one key
        }
        return key;
    }

    int find(const Value &key) const { return index.value(hashKey(key), -1); }

    void insert(const Value &key, const Value &value)
    {
        index.insert(hashKey(key), int(entries.size()));
        entries.push_back(Entry{key, value, true});
        ++live;
    }

    void compact()
    {
        std::vector<Entry> kept;
        kept.reserve(live);
        index.clear();
        for (Entry &e : entries)
            if (e.alive) {
                index.insert(hashKey(e.key), int(kept.size()));
                kept.push_back(std::move(e));
            }
        entries = std::move(kept);
    }

    std::vector<Entry> entries;
    QHash<HashKey, int> index;
    size_t live = 0;
    bool textMode = false;
};

} // namespace

Object *newErrObject(Interp &in)
{
    return new ErrObject(in);
}

Object *newDictionary()
{
    return new Dictionary;
}

Object *createObjectByProgId(const QString &progId)
{
    const QString id = progId.trimmed().toLower();
    if (id == u"scripting.dictionary")
        return newDictionary();
    if (id == u"vbscript.regexp")
        return newRegExp();
    if (id == u"scripting.filesystemobject")
        return newFileSystemObject();
    return nullptr;
}

Value Interp::errObject()
{
    if (errObj.isEmpty())
        errObj = Value::object(newErrObject(*this));
    return errObj;
}

} // namespace quillora::vbs
