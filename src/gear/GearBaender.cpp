#include "GearBaender.h"
#include "GearTestnaht.h"
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include "pixelops/Zeilenbaender.h"

namespace {
// Below this many pixels starting threads costs more than it saves.
constexpr int64_t kMinPixelFuerThreads = int64_t(1) << 18;
constexpr int kMaxThreads = 8;
constexpr int kBaender = 64;
int g_erzwungen = 0;
}

void TFortschrittsMelder::Anteil(int von, int bis, int64_t erledigt, int64_t gesamt)
{
    if (gesamt <= 0)
        return;
    Melde(von + int((bis - von) * std::clamp<int64_t>(erledigt, 0, gesamt) / gesamt));
}

void TFortschrittsMelder::Melde(int prozent)
{
    if (!m_fs)
        return;
    prozent = std::clamp(prozent, 0, 100);
    // Steps of 4 % keep it to about 25 calls per operation.
    if (prozent <= m_letzter || (prozent < 100 && m_letzter >= 0 && prozent - m_letzter < 4))
        return;
    m_letzter = prozent;
    m_fs(prozent);
}

void ZeilenBaenderErzwingen(int threads)
{
    g_erzwungen = threads;
}

void ZeilenBaender(int hoehe, int64_t pixel, TFortschrittsMelder& melder, int von, int bis,
                   const std::function<void(int, int)>& arbeit)
{
    if (hoehe <= 0)
        return;
    const int baender = std::min(hoehe, kBaender);
    const int zeilenJeBand = (hoehe + baender - 1) / baender;
    const int anzahlBaender = (hoehe + zeilenJeBand - 1) / zeilenJeBand;

    int threads = 0;
    if (g_erzwungen > 0)
        threads = g_erzwungen;
    else if (pixel >= kMinPixelFuerThreads)
        threads = int(std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), kMaxThreads));
    threads = std::min(threads, anzahlBaender);

    if (threads <= 1) {
        for (int b = 0; b < anzahlBaender; ++b) {
            const int y0 = b * zeilenJeBand;
            arbeit(y0, std::min(hoehe, y0 + zeilenJeBand));
            melder.Anteil(von, bis, b + 1, anzahlBaender);
        }
        return;
    }

    std::atomic<int> naechstes{0};
    std::mutex mutex;
    std::condition_variable signal;
    int fertig = 0;
    std::exception_ptr fehler;   // the first failure of a band, raised again on the calling thread
    auto arbeiten = [&] {
        for (;;) {
            const int b = naechstes.fetch_add(1);
            if (b >= anzahlBaender)
                return;
            const int y0 = b * zeilenJeBand;
            std::exception_ptr eigener;
            try {
                arbeit(y0, std::min(hoehe, y0 + zeilenJeBand));
            } catch (...) {
                eigener = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> sperre(mutex);
                ++fertig;
                if (eigener && !fehler)
                    fehler = eigener;
            }
            signal.notify_one();
        }
    };
    // The calling thread only reports, so the status event stays on its
    // thread; where a worker cannot be started, it takes bands from the
    // queue itself first and reports after.
    std::exception_ptr meldeFehler;
    auto melden = [&] {
        std::unique_lock<std::mutex> sperre(mutex);
        int gemeldet = 0;
        while (gemeldet < anzahlBaender) {
            signal.wait(sperre, [&] { return fertig > gemeldet; });
            gemeldet = fertig;
            sperre.unlock();
            if (!meldeFehler) {
                try {
                    melder.Anteil(von, bis, gemeldet, anzahlBaender);
                } catch (...) {
                    meldeFehler = std::current_exception();
                }
            }
            sperre.lock();
        }
    };
    AufThreadsVerteilen(threads + 1, [&](int t) {
        if (t == 0)
            melden();
        else
            arbeiten();
    });
    if (fehler)
        std::rethrow_exception(fehler);
    if (meldeFehler)
        std::rethrow_exception(meldeFehler);
}
