#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>
#include "GearSeite.h"

// TIFF through libtiff, in memory. Reading decodes the first page (directory)
// and leaves the others to dok.quelle, which decodes each when it is asked
// for; bilevel, grey and palette pages keep their own depth. The orientation
// tag decides the row and column order. A page whose strips cannot hold its
// declared size is refused before anything is allocated.
bool TiffDekodieren(const QByteArray& daten, TGearDokument& dok, QString& fehler, const TFortschritt& fs = {});

// kompression is a libtiff COMPRESSION_* value; g3ZweiD selects 2-D coding
// for COMPRESSION_CCITTFAX3. The fax codings get bilevel data (min-is-white).
bool TiffKodieren(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs = {});

// The single strip of a fax-coded TIFF page: raw CCITT data without header.
bool TiffFaxStreifen(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& roh, QString& fehler);

// How decoding raw fax data stopped.
struct TFaxEnde {
    bool endeMarke = false;     // at the end mark (RTC or EOFB)
    bool datenEnde = false;     // the data ran out at a row boundary
    bool fehlerhaft = false;    // a row did not decode at this width
    int gemeldeteBreite = 0;    // G3: the length the first row really had, when it differs
};

// Decodes raw CCITT rows (kompression COMPRESSION_CCITTRLE, _CCITTFAX3 or
// _CCITTFAX4) at the given width and hands every clean row to zeile as
// packed bits (1 = black). Stops at the end mark, a faulty row or maxZeilen;
// returns the number of clean rows.
int TiffFaxZeilen(const QByteArray& roh, int kompression, bool g3ZweiD, bool lsbZuerst, int breite, int maxZeilen,
                  const std::function<void(int, const uint8_t*)>& zeile, TFaxEnde& ende);
