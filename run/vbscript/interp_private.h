#pragma once
// Helpers shared by the interpreter's source files.

#include "interp.h"

#include <new>

namespace quillora::vbs {

// Leaves a procedure's frame however the call ends: the caller's frame comes back and the
// call depth unwinds.
struct FrameScope
{
    Interp &in;
    Frame &f;
    ~FrameScope()
    {
        in.frame = f.parent;
        --in.callDepth;
    }
};

// The values of a call's argument nodes, evaluated in order straight into place: on the C++
// stack for the common short lists.
class ArgBuffer
{
public:
    ArgBuffer(Interp &in, const std::vector<Node *> &nodes)
    {
        if (nodes.size() > kInline) {
            heap.reserve(nodes.size());
            for (Node *n : nodes)
                heap.push_back(in.eval(n));
            ptr = heap.data();
            return;
        }
        ptr = reinterpret_cast<Value *>(inlineStorage);
        try {
            for (Node *n : nodes) {
                // literals, plain variables and integer trees without a call to eval
                if (const Value *p = in.leaf(n))
                    new (ptr + made) Value(*p);
                else if (IntResult r = n->intHeight ? in.intTree(n) : IntResult(); r.kind)
                    new (ptr + made) Value(r.value());
                else
                    new (ptr + made) Value(in.eval(n));
                ++made;
            }
        } catch (...) {
            destroyMade(); // a constructor that throws runs no destructor
            throw;
        }
    }
    ~ArgBuffer() { destroyMade(); }
    ArgBuffer(const ArgBuffer &) = delete;
    ArgBuffer &operator=(const ArgBuffer &) = delete;
    Value *data() { return ptr; }
    Value &operator[](size_t i) { return ptr[i]; }

private:
    void destroyMade()
    {
        for (size_t i = 0; i < made; ++i)
            ptr[i].~Value();
    }
    static constexpr size_t kInline = 6;
    alignas(Value) unsigned char inlineStorage[kInline * sizeof(Value)];
    std::vector<Value> heap;
    Value *ptr = nullptr;
    size_t made = 0; // values made in inlineStorage
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
