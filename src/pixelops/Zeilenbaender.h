#pragma once
#include <algorithm>
#include <thread>
#include <vector>

// Splits rows 0..n-1 into bands, one per thread, band 0 on the calling
// thread. Pixel routines that write each row from nothing but its own inputs
// give the same bytes whatever the split.
template <class F> void InZeilenbaendern(int n, int threads, F&& arbeit)
{
    threads = std::clamp(threads, 1, std::max(1, n));
    std::vector<std::thread> arbeiter;
    for (int t = 1; t < threads; ++t) {
        const int y0 = int((long long)n * t / threads);
        const int y1 = int((long long)n * (t + 1) / threads);
        arbeiter.emplace_back([&arbeit, y0, y1] { arbeit(y0, y1); });
    }
    arbeit(0, int((long long)n / threads));
    for (auto& a : arbeiter)
        a.join();
}

// The thread count for a picture: threads <= 0 asks for one thread per
// proThread pixels, at most one per core; a positive count is kept.
inline int ThreadZahl(int threads, long long pixel, long long proThread = 1000000)
{
    if (threads > 0)
        return threads;
    return int(std::min<long long>(std::max(1u, std::thread::hardware_concurrency()),
                                   std::max(1LL, pixel / proThread)));
}
