#pragma once
// The clock every benchmark reads: the performance counter, in seconds.
#include <windows.h>

#include <functional>

namespace bench {

inline double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double SecondsOf(const std::function<void()>& work)
{
    double start = Seconds();
    work();
    return Seconds() - start;
}

} // namespace bench
