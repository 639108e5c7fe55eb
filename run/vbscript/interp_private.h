#pragma once
// Helpers shared by the interpreter's source files.

#include "interp.h"

namespace quillora::vbs {

// Arguments of one call: on the C++ stack for the common short lists.
class ArgBuffer
{
public:
    explicit ArgBuffer(size_t n)
    {
        if (n > kInline) {
            heap.resize(n);
            ptr = heap.data();
        } else {
            ptr = inlineValues;
        }
    }
    Value *data() { return ptr; }
    Value &operator[](size_t i) { return ptr[i]; }

private:
    static constexpr size_t kInline = 6;
    Value inlineValues[kInline];
    std::vector<Value> heap;
    Value *ptr;
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
