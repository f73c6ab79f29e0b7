#pragma once
#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <thread>
#include <vector>

// Splits rows 0..zeilen into bands, one per thread, and runs arbeit(y0, y1)
// on each; the calling thread takes the first band, and every band whose
// thread cannot be started (memory or thread limit reached). Every operation
// that uses it computes each row on its own, so the bytes do not depend on
// the split.
// threads = 0 picks one thread per million pixels, up to the core count.
inline int ThreadsFuer(long long pixel, int threads, int zeilen)
{
    if (threads <= 0) {
        const long long kerne = std::max(1u, std::thread::hardware_concurrency());
        threads = int(std::min(kerne, std::max(1LL, pixel / 1000000)));
    }
    return std::clamp(threads, 1, std::max(1, zeilen));
}

template <class F> void InZeilenbaendern(int zeilen, int threads, F&& arbeit)
{
    if (zeilen <= 0)
        return;
    threads = std::clamp(threads, 1, zeilen);
    if (threads == 1) {
        arbeit(0, zeilen);
        return;
    }
    std::vector<std::thread> arbeiter;
    try {
        arbeiter.reserve(size_t(threads - 1));
    } catch (const std::bad_alloc&) {
        arbeit(0, zeilen);
        return;
    }
    for (int t = 1; t < threads; ++t) {
        const int y0 = int((long long)zeilen * t / threads);
        const int y1 = int((long long)zeilen * (t + 1) / threads);
        // A thread that fails to start must not unwind past the running
        // ones: their destructors would end the program.
        bool gestartet = false;
        try {
            arbeiter.emplace_back([&arbeit, y0, y1] { arbeit(y0, y1); });
            gestartet = true;
        } catch (const std::exception&) {
        }
        if (!gestartet)
            arbeit(y0, y1);
    }
    arbeit(0, int((long long)zeilen / threads));
    for (auto& a : arbeiter)
        a.join();
}

// Puts every channel byte of the rows through a 256-entry table, in bands.
template <class TBild> void TabelleAnwenden(TBild& bmp, const uint8_t (&tabelle)[256], int threads)
{
    const qsizetype bytes = qsizetype(bmp.Width()) * 3;
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();
    const int hoehe = bmp.Height();
    InZeilenbaendern(hoehe, ThreadsFuer((long long)bmp.Width() * hoehe, threads, hoehe), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* z = bits + qsizetype(y) * stride;
            for (qsizetype k = 0; k < bytes; ++k)
                z[k] = tabelle[z[k]];
        }
    });
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
