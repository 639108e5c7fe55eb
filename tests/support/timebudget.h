#pragma once
// Limits for the speed checks of every test folder. The product must meet them in an
// optimised build; debug and sanitizer builds run the same work several times slower, so
// the limit stretches there. Work that grows with the square of 100,000 lines misses any
// of them by far.

#include <QtGlobal>

inline qint64 timeBudget(qint64 optimisedMs)
{
#if defined(__SANITIZE_ADDRESS__)
    return optimisedMs * 10;
#elif !defined(__OPTIMIZE__)
    return optimisedMs * 4;
#else
    return optimisedMs;
#endif
}
