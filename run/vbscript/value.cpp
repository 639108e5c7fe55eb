#include "value.h"

#include "errors.h"

namespace quillora::vbs {

namespace {

// Freed string objects of this thread, for the next ones. Sanitizer builds use the heap
// directly, so that a use after release is still found.
struct StrObjPool
{
    struct Free
    {
        Free *next;
    };
    Free *head = nullptr;
    int count = 0;
    static constexpr int kMax = 4096;
    ~StrObjPool()
    {
        while (head) {
            Free *next = head->next;
            ::operator delete(head);
            head = next;
        }
        count = kMax; // strings released later in the thread's end go to the heap
    }
};
#ifdef QUILLORA_SANITIZE
constexpr bool kPoolStrings = false;
#else
constexpr bool kPoolStrings = true;
#endif
thread_local StrObjPool strObjPool;

} // namespace

void *StrObj::operator new(size_t size)
{
    StrObjPool &pool = strObjPool;
    if (kPoolStrings && size == sizeof(StrObj) && pool.head) {
        StrObjPool::Free *f = pool.head;
        pool.head = f->next;
        --pool.count;
        return f;
    }
    return ::operator new(size);
}

void StrObj::operator delete(void *p, size_t size)
{
    StrObjPool &pool = strObjPool;
    if (kPoolStrings && size == sizeof(StrObj) && pool.count < StrObjPool::kMax) {
        auto *f = static_cast<StrObjPool::Free *>(p);
        f->next = pool.head;
        pool.head = f;
        ++pool.count;
        return;
    }
    ::operator delete(p);
}

void destroyHeapObj(HeapObj *obj)
{
    if (obj->holdsNoValues) {
        delete obj;
        return;
    }
    // Releasing an object may release its members; those deletions are queued here and run
    // by the outermost call, so the C++ stack stays flat whatever the nesting.
    thread_local HeapObj *pending = nullptr;
    thread_local bool draining = false;
    obj->nextPending = pending;
    pending = obj;
    if (draining)
        return;
    draining = true;
    while (pending) {
        HeapObj *p = pending;
        pending = p->nextPending;
        p->nextPending = nullptr;
        if (p->finalize())
            delete p;
    }
    draining = false;
}

Value Value::str(const QString &s)
{
    Value r;
    r.t = VType::String;
    r.h = nullptr;
    if (!s.isEmpty()) {
        r.h = new StrObj(s);
        r.h->refs = 1;
    }
    return r;
}

Value Value::str(QString &&s)
{
    Value r;
    r.t = VType::String;
    r.h = nullptr;
    if (!s.isEmpty()) {
        r.h = new StrObj(std::move(s));
        r.h->refs = 1;
    }
    return r;
}

Value Value::array(ArrayObj *a)
{
    Value r;
    r.t = VType::Array;
    r.h = a;
    retain(a);
    return r;
}

void Value::appendString(QStringView s)
{
    if (t == VType::String && h && h->refs == 1) {
        QString &own = static_cast<StrObj *>(h)->str;
        if (s.size() == 1)
            own.append(s.front()); // the shorter path of a single character
        else
            own.append(s);
        return;
    }
    QString joined;
    joined.reserve(strRef().size() + s.size());
    joined.append(strRef());
    joined.append(s);
    *this = str(std::move(joined));
}

ArrayObj *ArrayObj::clone() const
{
    auto *a = new ArrayObj;
    a->upper = upper;
    a->data = data;
    a->fixed = fixed;
    return a;
}

ArrayObj *ArrayObj::make(const std::vector<int> &upperBounds, size_t maxElements)
{
    size_t total = 1;
    for (int u : upperBounds) {
        if (u < -1)
            throwError(err::SubscriptOutOfRange);
        total *= size_t(u + 1);
        if (total > maxElements)
            throwError(err::OutOfMemory);
    }
    auto *a = new ArrayObj;
    a->upper = upperBounds;
    a->data.resize(upperBounds.empty() ? 0 : total);
    return a;
}

} // namespace quillora::vbs
