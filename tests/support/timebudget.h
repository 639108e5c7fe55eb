#pragma once
// Limits for the speed checks of every test folder. The product must meet them in an
// optimised build; debug and sanitizer builds run the same work several times slower, so
// the limit stretches there (the sanitizer build is also unoptimised: a character loop
// there was measured at 20 times its optimised time). Work that grows with the square of
// 100,000 lines misses any of them by far.

#include <QtGlobal>

#include <ctime>

inline qint64 timeBudget(qint64 optimisedMs)
{
#if defined(__SANITIZE_ADDRESS__)
    return optimisedMs * 30;
#elif !defined(__OPTIMIZE__)
    return optimisedMs * 4;
#else
    return optimisedMs;
#endif
}

// Measures the CPU time of the test process, not the wall clock, so that other work on a busy
// machine (parallel tests, builds) does not count against a limit. Same calls as
// QElapsedTimer: start(), then elapsed() or restart() in milliseconds.
class SpeedTimer
{
public:
    void start() { m_start = now(); }
    qint64 elapsed() const { return (now() - m_start) / 1'000'000; }
    qint64 restart()
    {
        const qint64 ms = elapsed();
        start();
        return ms;
    }

private:
    static qint64 now()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
    }
    qint64 m_start = 0;
};
