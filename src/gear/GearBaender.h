#pragma once
#include "GearSeite.h"
#include <cstdint>

// Progress in a sub-range of 0..100, thinned out to a few dozen calls and
// never decreasing, so a long loop can report once per row without flooding
// the status event.
class TFortschrittsMelder {
public:
    explicit TFortschrittsMelder(const TFortschritt& fs) : m_fs(fs) {}
    // Reports erledigt/gesamt of the range von..bis.
    void Anteil(int von, int bis, int64_t erledigt, int64_t gesamt);
    void Melde(int prozent);

private:
    const TFortschritt& m_fs;
    int m_letzter = -1;
};

// Runs arbeit(y0, y1) over consecutive row bands [y0, y1) covering 0..hoehe.
// Large images are split over several threads; every band must write only its
// own rows, so the result is the same as with one thread. Progress is reported
// from the calling thread in the range von..bis.
void ZeilenBaender(int hoehe, int64_t pixel, TFortschrittsMelder& melder, int von, int bis,
                   const std::function<void(int, int)>& arbeit);
