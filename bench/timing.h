#pragma once
// Timing for the Win32 benchmarks: the median of several rounds of some work, by the
// performance counter.

#include <windows.h>

#include <algorithm>
#include <vector>

namespace korvane::bench {

// The performance counter, in seconds from an arbitrary start.
inline double now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median time of `rounds` runs of work(), in seconds; -1 when a run answers false.
template <typename Work>
double median(int rounds, Work work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        if (!work()) {
            return -1;
        }
        QueryPerformanceCounter(&end);
        times.push_back(seconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace korvane::bench
