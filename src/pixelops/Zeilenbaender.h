#pragma once
#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <thread>
#include <vector>

// The thread count for a picture: threads <= 0 asks for one thread per
// proThread pixels, at most one per core; a positive count is kept.
inline int ThreadZahl(int threads, long long pixel, long long proThread = 1000000)
{
    if (threads > 0)
        return threads;
    return int(std::min<long long>(std::max(1u, std::thread::hardware_concurrency()),
                                   std::max(1LL, pixel / proThread)));
}

// The same, one thread per million pixels, and never more threads than rows.
inline int ThreadsFuer(long long pixel, int threads, int zeilen)
{
    return std::clamp(ThreadZahl(threads, pixel), 1, std::max(1, zeilen));
}

// Runs arbeit(t) for t = 0 .. anzahl - 1: every t from 1 on a thread of its
// own, then t = 0 on the calling thread; returns when all have ended. A t
// whose thread cannot be started (memory or thread limit reached) runs on the
// calling thread at once instead.
template <class F> void AufThreadsVerteilen(int anzahl, F&& arbeit)
{
    std::vector<std::thread> arbeiter;
    try {
        arbeiter.reserve(size_t(std::max(0, anzahl - 1)));
    } catch (const std::bad_alloc&) {
    }
    for (int t = 1; t < anzahl; ++t) {
        // A thread that fails to start must not unwind past the running
        // ones: their destructors would end the program.
        bool gestartet = false;
        try {
            arbeiter.emplace_back([&arbeit, t] { arbeit(t); });
            gestartet = true;
        } catch (const std::exception&) {
        }
        if (!gestartet)
            arbeit(t);
    }
    arbeit(0);
    for (auto& a : arbeiter)
        a.join();
}

// Splits rows 0..zeilen into bands, one per thread, and runs arbeit(y0, y1)
// on each; the calling thread takes the first band, and every band whose
// thread cannot be started. Every operation that uses it computes each row
// on its own, so the bytes do not depend on the split.
template <class F> void InZeilenbaendern(int zeilen, int threads, F&& arbeit)
{
    if (zeilen <= 0)
        return;
    threads = std::clamp(threads, 1, zeilen);
    AufThreadsVerteilen(threads, [&](int t) {
        arbeit(int((long long)zeilen * t / threads), int((long long)zeilen * (t + 1) / threads));
    });
}

// Puts every channel byte of rows y0..y1 through a 256-entry table. The
// values come by value, so the byte stores cannot alias them and the loop
// keeps its bound and pointers in registers.
inline void ZeilenNachTabelle(uint8_t* bits, qsizetype stride, qsizetype bytes, const uint8_t* tabelle, int y0,
                              int y1)
{
    for (int y = y0; y < y1; ++y) {
        uint8_t* z = bits + qsizetype(y) * stride;
        for (qsizetype k = 0; k < bytes; ++k)
            z[k] = tabelle[z[k]];
    }
}

// Puts every channel byte of the picture through a 256-entry table, in bands.
template <class TBild> void TabelleAnwenden(TBild& bmp, const uint8_t (&tabelle)[256], int threads)
{
    const qsizetype bytes = qsizetype(bmp.Width()) * 3;
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();
    const int hoehe = bmp.Height();
    const uint8_t* t = tabelle;
    InZeilenbaendern(hoehe, ThreadsFuer((long long)bmp.Width() * hoehe, threads, hoehe),
                     [=](int y0, int y1) { ZeilenNachTabelle(bits, stride, bytes, t, y0, y1); });
}
