// Err and Scripting.Dictionary, and object creation by program id.

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <cmath>
#include <cstring>

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
            const Probe p = probe(key);
            const int idx = findProbe(p);
            if (write) {
                if (idx < 0)
                    insertProbe(p, key, *rhs);
                else
                    entries[size_t(idx)].value = *rhs;
                return Value();
            }
            if (idx < 0) {
                insertProbe(p, key, Value()); // reading a missing key adds it, as the original does
                return Value();
            }
            return entries[size_t(idx)].value;
        }
        case Add: {
            checkArgs(argc, 2, 2);
            Value key = keyValue(in, args[0]);
            const Probe p = probe(key);
            if (findProbe(p) >= 0)
                throwError(err::KeyExists);
            insertProbe(p, key, args[1].deref());
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
            removeSlot(probe(key));
            Entry &e = entries[size_t(idx)];
            e.key = newKey;
            e.hash = probe(newKey).hash;
            addSlot(e.hash, idx);
            return Value();
        }
        case Remove: {
            checkArgs(argc, 1, 1);
            Value key = keyValue(in, args[0]);
            const int idx = find(key);
            if (idx < 0)
                throwError(err::ElementNotFound);
            removeSlot(probe(key));
            entries[size_t(idx)] = Entry();
            --live;
            if (live * 2 < entries.size() && entries.size() > 16)
                compact();
            return Value();
        }
        case RemoveAll:
            clearAll();
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
    // A key as the index compares it: its kind, and the number, object address or text
    // that identifies it within the kind.
    enum class KeyKind : uint8_t
    {
        Empty,
        Null,
        Number,
        Object,
        String
    };
    // 40 bytes: a dictionary of a million keys holds a lot of them, and every byte is
    // memory touched. Hashes keep 32 bits, enough for an index of at most 2^32 buckets.
    struct Entry
    {
        Value key;
        Value value;
        uint32_t hash = 0;
        bool alive = false;
    };
    static_assert(sizeof(Entry) <= 40);
    // A key being looked up, with its hash; the text of a string is read in place.
    struct Probe
    {
        KeyKind kind = KeyKind::Empty;
        double num = 0;
        const QString *str = nullptr;
        const Object *obj = nullptr;
        uint32_t hash = 0;
    };

    static Value keyValue(Interp &in, const Value &v)
    {
        const Value &d = v.deref();
        if (d.isArray())
            throwError(err::TypeMismatch);
        (void)in;
        return d;
    }

    static KeyKind kindOf(const Value &k)
    {
        switch (k.type()) {
        case VType::String:
            return KeyKind::String;
        case VType::Object:
            return KeyKind::Object;
        case VType::Empty:
            return KeyKind::Empty;
        case VType::Null:
            return KeyKind::Null;
        default:
            return KeyKind::Number;
        }
    }

    // Numbers are keys by their value whatever the subtype; -0 and 0 are one key.
    static double keyNumber(const Value &k)
    {
        const double d = toDouble(k);
        return d == 0 ? 0.0 : d;
    }

    static uint32_t mix(uint64_t h)
    {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return uint32_t(h);
    }

    static bool isAscii(const QString &s)
    {
        for (QChar c : s)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    }

    // FNV-1a over the UTF-16 units; in text mode over the lower-case text, folded per
    // unit when the text is ASCII and through QString::toLower otherwise.
    uint32_t stringHash(const QString &s) const
    {
        if (textMode && !isAscii(s))
            return unitsHash(s.toLower(), false);
        return unitsHash(s, textMode);
    }
    static uint32_t unitsHash(const QString &s, bool foldAscii)
    {
        uint64_t h = 0xcbf29ce484222325ull;
        for (QChar c : s) {
            char16_t u = c.unicode();
            if (foldAscii && u >= 'A' && u <= 'Z')
                u = char16_t(u + 32);
            h = (h ^ u) * 0x100000001b3ull;
        }
        return mix(h);
    }

    bool sameText(const QString &a, const QString &b) const
    {
        if (!textMode)
            return a == b;
        if (isAscii(a) && isAscii(b))
            return a.compare(b, Qt::CaseInsensitive) == 0;
        return a.toLower() == b.toLower();
    }

    Probe probe(const Value &k) const
    {
        Probe p;
        p.kind = kindOf(k);
        switch (p.kind) {
        case KeyKind::String:
            p.str = &k.strRef();
            p.hash = stringHash(*p.str);
            break;
        case KeyKind::Object:
            p.obj = k.obj();
            p.hash = mix(quintptr(p.obj));
            break;
        case KeyKind::Number: {
            p.num = keyNumber(k);
            uint64_t bits;
            std::memcpy(&bits, &p.num, sizeof bits);
            p.hash = mix(bits);
            break;
        }
        default:
            p.hash = uint32_t(p.kind);
        }
        return p;
    }

    bool matches(const Entry &e, const Probe &p) const
    {
        if (e.hash != p.hash || kindOf(e.key) != p.kind)
            return false;
        switch (p.kind) {
        case KeyKind::String:
            return sameText(e.key.strRef(), *p.str);
        case KeyKind::Object:
            return e.key.obj() == p.obj;
        case KeyKind::Number:
            return keyNumber(e.key) == p.num;
        default:
            return true;
        }
    }

    // The index: open addressing with linear probing over a power-of-two table; a bucket
    // holds an entry's position plus one, 0 when free, kRemoved where a key was removed.
    static constexpr uint32_t kRemoved = UINT32_MAX;

    // The slot that holds the key, or -1.
    qsizetype findSlot(const Probe &p) const
    {
        if (buckets.empty())
            return -1;
        const size_t mask = buckets.size() - 1;
        for (size_t i = p.hash & mask;; i = (i + 1) & mask) {
            const uint32_t s = buckets[i];
            if (s == 0)
                return -1;
            if (s != kRemoved && matches(entries[s - 1], p))
                return qsizetype(i);
        }
    }

    int find(const Value &key) const { return findProbe(probe(key)); }
    int findProbe(const Probe &p) const
    {
        const qsizetype i = findSlot(p);
        return i < 0 ? -1 : int(buckets[size_t(i)] - 1);
    }

    // Indexes an entry that the index does not hold yet.
    void addSlot(uint32_t hash, int entry)
    {
        if ((used + 1) * 2 > buckets.size())
            rebuildIndex(entry);
        const size_t mask = buckets.size() - 1;
        size_t i = hash & mask;
        while (buckets[i] != 0 && buckets[i] != kRemoved)
            i = (i + 1) & mask;
        if (buckets[i] == 0)
            ++used;
        buckets[i] = uint32_t(entry) + 1;
    }

    void removeSlot(const Probe &p)
    {
        const qsizetype i = findSlot(p);
        if (i >= 0)
            buckets[size_t(i)] = kRemoved;
    }

    // A table of four times the live entries or more, without removed keys; the entry
    // `except` is left for the caller to add.
    void rebuildIndex(int except = -1)
    {
        size_t size = 16;
        while (size < (live + 1) * 4)
            size *= 2;
        buckets.assign(size, 0);
        used = 0;
        const size_t mask = size - 1;
        for (size_t e = 0; e < entries.size(); ++e) {
            if (!entries[e].alive || int(e) == except)
                continue;
            size_t i = entries[e].hash & mask;
            while (buckets[i] != 0)
                i = (i + 1) & mask;
            buckets[i] = uint32_t(e) + 1;
            ++used;
        }
    }

    void insert(const Value &key, const Value &value) { insertProbe(probe(key), key, value); }
    void insertProbe(const Probe &p, const Value &key, const Value &value)
    {
        entries.push_back(Entry{key, value, p.hash, true});
        ++live;
        addSlot(p.hash, int(entries.size() - 1));
    }

    void compact()
    {
        std::vector<Entry> kept;
        kept.reserve(live);
        for (Entry &e : entries)
            if (e.alive)
                kept.push_back(std::move(e));
        entries = std::move(kept);
        rebuildIndex();
    }

    void clearAll()
    {
        entries.clear();
        buckets.clear();
        used = 0;
        live = 0;
    }

    std::vector<Entry> entries;
    std::vector<uint32_t> buckets;
    size_t used = 0; // buckets that are not free: entries and removed keys
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
