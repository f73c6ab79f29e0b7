// The ordered worker queue: every item comes back once, in order, and the
// workers keep only so far ahead of the reader; a worker thread the system
// will not start leaves the work to the others, or to the reader.
#include <gtest/gtest.h>
#include <atomic>
#include <vector>
#include "TestHilfen.h"
#include "Vorlauf.h"

namespace {

std::vector<int> AlleHolen(TVorlauf<int>& vorlauf, int von, int bis)
{
    std::vector<int> ergebnisse;
    for (int i = von; i < bis; ++i) {
        int e = -1;
        while (!vorlauf.Holen(i, e, 10)) {
        }
        ergebnisse.push_back(e);
    }
    return ergebnisse;
}

std::vector<int> Quadrate(int von, int bis)
{
    std::vector<int> q;
    for (int i = von; i < bis; ++i)
        q.push_back(i * i);
    return q;
}

TEST(Vorlauf, JedesErgebnisEinmalInDerReihenfolgeUndNichtWeiterVorausAlsErlaubt)
{
    std::atomic<int> begonnen{0};
    std::atomic<int> gelesen{0};
    std::atomic<int> weitesterVorsprung{0};
    TVorlauf<int> vorlauf(
        5, 105,
        [&](int i) {
            ++begonnen;
            const int vorsprung = i - 5 - gelesen.load();
            int bisher = weitesterVorsprung.load();
            while (vorsprung > bisher && !weitesterVorsprung.compare_exchange_weak(bisher, vorsprung)) {
            }
            return i * i;
        },
        4, 3);
    std::vector<int> ergebnisse;
    for (int i = 5; i < 105; ++i) {
        int e = -1;
        while (!vorlauf.Holen(i, e, 10)) {
        }
        ergebnisse.push_back(e);
        ++gelesen;
    }
    EXPECT_EQ(ergebnisse, Quadrate(5, 105));
    EXPECT_EQ(begonnen.load(), 100);
    // An item is begun only while it is fewer than three past the one read.
    EXPECT_LE(weitesterVorsprung.load(), 3);
}

TEST(Vorlauf, AusnahmeInDerArbeitGibtEinLeeresErgebnis)
{
    TVorlauf<int> vorlauf(0, 6, [](int i) {
        if (i == 2)
            throw std::runtime_error("kaputt");
        return i + 1;
    });
    EXPECT_EQ(AlleHolen(vorlauf, 0, 6), (std::vector<int>{1, 2, 0, 4, 5, 6}));
}

TEST(Vorlauf, ThreadsDieNichtStartenKoennenLassenDieArbeitDennochFertigWerden)
{
    // The stacks of 200 workers do not fit below the limit: the ones that
    // start, or else the reader itself, do all items.
    // With a few megabytes to spare not even the first stack fits.
    for (const size_t spielraum : {size_t(64) << 20, size_t(2) << 20}) {
        std::vector<int> ergebnisse;
        {
            TSpeicherGrenze grenze(spielraum);
            ASSERT_TRUE(grenze.ok);
            ergebnisse.reserve(300);
            TVorlauf<int> vorlauf(0, 300, [](int i) { return i * i; }, 200, 200);
            ergebnisse = AlleHolen(vorlauf, 0, 300);
        }
        EXPECT_EQ(ergebnisse, Quadrate(0, 300)) << (spielraum >> 20) << " MB";
    }
}

} // namespace
