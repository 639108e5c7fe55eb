#pragma once
// Helpers shared by the interpreter's source files.

#include "interp.h"

#include <new>

namespace quillora::vbs {

// Arguments of one call: on the C++ stack for the common short lists. Only the values in
// use are made and destroyed.
class ArgBuffer
{
public:
    explicit ArgBuffer(size_t n) : count(n)
    {
        if (n > kInline) {
            heap.resize(n);
            ptr = heap.data();
        } else {
            ptr = reinterpret_cast<Value *>(inlineStorage);
            for (size_t i = 0; i < n; ++i)
                new (ptr + i) Value();
        }
    }
    ~ArgBuffer()
    {
        if (count <= kInline)
            for (size_t i = 0; i < count; ++i)
                ptr[i].~Value();
    }
    ArgBuffer(const ArgBuffer &) = delete;
    ArgBuffer &operator=(const ArgBuffer &) = delete;
    Value *data() { return ptr; }
    Value &operator[](size_t i) { return ptr[i]; }

private:
    static constexpr size_t kInline = 6;
    alignas(Value) unsigned char inlineStorage[kInline * sizeof(Value)];
    std::vector<Value> heap;
    Value *ptr;
    size_t count;
};

// Entry from outside the interpreter: records where the C++ stack starts, so deep script
// recursion ends with error 28 long before the real stack does.
struct EntryGuard
{
    Interp &in;
    bool outer;
    explicit EntryGuard(Interp &interp);
    ~EntryGuard() { --in.entryDepth; }
};

} // namespace quillora::vbs
