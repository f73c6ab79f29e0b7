#include "GearFax.h"
#include "GearFaxZeilen.h"
#include "GearHilfen.h"
#include "GearTestnaht.h"
#include "GearTiff.h"
#include <tiffio.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool FaxSchnellpruefungErlaubt = true;
bool FaxSchnellpruefungNachpruefen = std::getenv("ZELVANO_FAX_NACHPRUEFEN") != nullptr;
std::atomic<int> FaxSchnellpruefungAbweichungen{0};

namespace {

struct TFaxArt {
    int kompression;
    bool zweiD;
    bool lsbZuerst;
};

// Upper bound of the rows: every coded row takes at least one bit.
int HoechstZeilen(const QByteArray& daten, int breite)
{
    const qint64 nachDaten = qint64(daten.size()) * 8 + 1;
    const qint64 nachSpeicher = GearMaxPixel / std::max(1, breite);
    return int(std::clamp<qint64>(std::min(nachDaten, nachSpeicher), 1, 1 << 30));
}

// Width and row count of one coding; 0 rows when it does not fit.
struct TFund {
    int breite = 0;
    int zeilen = 0;
    bool sauber = false;   // decoded up to the end mark or the end of the data
    int gefragt = 0;       // the width asked for
    bool geschaetzt = false;   // our reader's answer, not yet libtiff's
    bool gleichKodierbar = true;   // false: KodiertGleich cannot hold
};

bool operator==(const TFund& a, const TFund& b)
{
    return a.breite == b.breite && a.zeilen == b.zeilen && a.sauber == b.sauber;
}

TFund TiffPruefen(const QByteArray& daten, const TFaxArt& art, int breite)
{
    TFaxEnde ende;
    TFund f;
    f.breite = breite;
    f.zeilen = TiffFaxZeilen(daten, art.kompression, art.zweiD, art.lsbZuerst, breite, HoechstZeilen(daten, breite),
                             {}, ende);
    f.sauber = f.zeilen > 0 && (ende.endeMarke || ende.datenEnde);
    if (ende.gemeldeteBreite > 0 && ende.gemeldeteBreite != breite && f.zeilen == 0) {
        TFaxEnde zweites;
        const int b = ende.gemeldeteBreite;
        const int z = TiffFaxZeilen(daten, art.kompression, art.zweiD, art.lsbZuerst, b, HoechstZeilen(daten, b), {},
                                    zweites);
        if (z > 0) {
            f.breite = b;
            f.zeilen = z;
            f.sauber = zweites.endeMarke || zweites.datenEnde;
        }
    }
    f.gefragt = breite;
    return f;
}

TFaxKodierung Kodierung(const TFaxArt& art)
{
    if (art.kompression == COMPRESSION_CCITTFAX4)
        return TFaxKodierung::G4;
    return art.zweiD ? TFaxKodierung::G3ZweiD : TFaxKodierung::G3EinD;
}

// The same answer as TiffPruefen from our own reader, where it is certain.
bool Schaetzen(const QByteArray& daten, const TFaxArt& art, int breite, TFund& f)
{
    const TFaxLauf l = FaxZeilenLesen(daten, Kodierung(art), art.lsbZuerst, breite, HoechstZeilen(daten, breite));
    if (!l.sicher)
        return false;
    f = TFund{breite, l.zeilen, l.zeilen > 0 && l.ende, breite, true, l.gleichKodierbar};
    if (l.gemeldeteBreite > 0 && l.gemeldeteBreite != breite && l.zeilen == 0) {
        const int b = l.gemeldeteBreite;
        const TFaxLauf z = FaxZeilenLesen(daten, Kodierung(art), art.lsbZuerst, b, HoechstZeilen(daten, b));
        if (!z.sicher)
            return false;
        if (z.zeilen > 0) {
            f.breite = b;
            f.zeilen = z.zeilen;
            f.sauber = z.ende;
            f.gleichKodierbar = z.gleichKodierbar;
        }
    }
    return true;
}

TFund Pruefen(const QByteArray& daten, const TFaxArt& art, int breite, bool schnell)
{
    TFund f;
    if (!schnell || !Schaetzen(daten, art, breite, f))
        return TiffPruefen(daten, art, breite);
    if (FaxSchnellpruefungNachpruefen && !(TiffPruefen(daten, art, breite) == f)) {
        ++FaxSchnellpruefungAbweichungen;
        if (std::getenv("ZELVANO_FAX_NACHPRUEFEN"))
            std::abort();
    }
    return f;
}

bool Bilden(const QByteArray& daten, const TFaxArt& art, const TFund& bester, TGearSeite& seite, QString& fehler,
            const TFortschritt& fs)
{
    QImage bild = GearNeuesBild(bester.breite, bester.zeilen, QImage::Format_Indexed8, fehler);
    if (bild.isNull())
        return false;
    bild.fill(0);
    TFortschrittsBand band(fs, 0, 100, bester.zeilen);
    const int w = bester.breite;
    TFaxEnde ende;
    TiffFaxZeilen(daten, art.kompression, art.zweiD, art.lsbZuerst, w, bester.zeilen,
                  [&](int y, const uint8_t* bits) {
                      uint8_t* z = bild.scanLine(y);
                      for (int x = 0; x < w; ++x)
                          z[x] = uint8_t((bits[x >> 3] >> (7 - (x & 7))) & 1);
                      band.Zeile(y);
                  },
                  ende);
    bild.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    seite.bild = std::move(bild);
    seite.bpp = 1;
    return true;
}

// T.6 coding leaves the encoder no choice, so the right width codes the
// decoded rows into the same bits again.
bool KodiertGleich(const QByteArray& daten, const TFaxArt& art, const TFund& f)
{
    TGearSeite seite;
    QString fehler;
    QByteArray neu;
    if (art.lsbZuerst || !f.gleichKodierbar || !Bilden(daten, art, f, seite, fehler, {})
        || !FaxRohKodieren(seite, true, neu, fehler))
        return false;
    const qsizetype n = std::max<qsizetype>(0, std::min(daten.size(), neu.size()) - 3);
    return n > 0 && std::abs(daten.size() - neu.size()) <= 3
        && std::memcmp(daten.constData(), neu.constData(), size_t(n)) == 0;
}

// Pixels that may be decoded in the search over every width, counted alike
// whoever reads them, so that the fast reader only saves time. Wrong widths
// fail within a few rows, a quarter of this over all widths; a stream that
// reads at any width and never ends, such as one of V0 codes only, was
// decoded in full at all 8192 widths: minutes for a file of 30 KB.
constexpr qint64 SuchAufwand = qint64(1) << 30;

// alleBreiten: after the common widths, every width up to 8192 (about half
// a second for a file that fits none).
TFund G4Breite(const QByteArray& daten, const TFaxArt& art, bool alleBreiten, bool schnell)
{
    // Nearly every wrong width fails within a few rows of real content; of
    // those that pass, the one that codes back the same wins, else the first.
    TFund ersterSauberer;
    const TFund erster = Pruefen(daten, art, 1728, schnell);
    auto passt = [&](const TFund& f) {
        if (!f.sauber)
            return false;
        if (KodiertGleich(daten, art, f))
            return true;
        if (!ersterSauberer.sauber)
            ersterSauberer = f;
        return false;
    };
    if (passt(erster))
        return erster;
    static const int ueblich[] = {2048, 2432, 2592, 3456, 864, 1216, 1024, 1280, 2480, 2560, 3300, 4864};
    for (int b : ueblich)
        if (const TFund f = Pruefen(daten, art, b, schnell); passt(f))
            return f;
    qint64 aufwand = 0;
    for (int b = 1; alleBreiten && b <= 8192 && aufwand < SuchAufwand; ++b) {
        const TFund f = Pruefen(daten, art, b, schnell);
        if (passt(f))
            return f;
        aufwand += qint64(f.zeilen + 1) * b + (f.sauber ? qint64(f.zeilen) * f.breite : 0);
    }
    return ersterSauberer.sauber ? ersterSauberer : erster;
}

} // namespace

bool FaxRohKodieren(const TGearSeite& seite, bool g4, QByteArray& aus, QString& fehler)
{
    return TiffFaxStreifen(seite, g4 ? COMPRESSION_CCITTFAX4 : COMPRESSION_CCITTFAX3, false, aus, fehler);
}

namespace {

struct TWahl {
    TFund bester;
    TFaxArt art{};
    bool istG4 = false;
};

TWahl Waehlen(const QByteArray& daten, bool g4, bool schnell)
{
    const TFaxArt g3Arten[] = {{COMPRESSION_CCITTFAX3, false, false}, {COMPRESSION_CCITTFAX3, true, false},
                               {COMPRESSION_CCITTFAX3, false, true}, {COMPRESSION_CCITTFAX3, true, true}};
    const TFaxArt g4Arten[] = {{COMPRESSION_CCITTFAX4, false, false}, {COMPRESSION_CCITTFAX4, false, true}};
    TWahl w;
    TFund& bester = w.bester;
    for (int runde = 0; runde < 2 && !bester.sauber; ++runde) {
        const bool versucheG4 = (runde == 0) == g4;
        if (versucheG4) {
            for (const TFaxArt& a : g4Arten) {
                const TFund f = G4Breite(daten, a, g4 && !a.lsbZuerst, schnell);
                if (f.zeilen > bester.zeilen || (f.sauber && !bester.sauber)) {
                    bester = f;
                    w.art = a;
                    w.istG4 = true;
                }
                if (f.sauber)
                    break;
            }
        } else {
            for (const TFaxArt& a : g3Arten) {
                TFund f = Pruefen(daten, a, 1728, schnell);
                // A longer first row only tells its length when the width
                // asked for is larger still.
                if (!f.sauber)
                    if (const TFund weit = Pruefen(daten, a, 1 << 15, schnell); weit.sauber)
                        f = weit;
                if ((f.sauber && !bester.sauber) || (f.sauber == bester.sauber && f.zeilen > bester.zeilen)) {
                    bester = f;
                    w.art = a;
                    w.istG4 = false;
                }
                if (f.sauber)
                    break;
            }
        }
    }
    return w;
}

} // namespace

bool FaxRohDekodieren(const QByteArray& daten, bool g4, TGearSeite& seite, QString& kompression, QString& fehler,
                      const TFortschritt& fs)
{
    TWahl w = Waehlen(daten, g4, FaxSchnellpruefungErlaubt);
    // libtiff confirms the winner; should it read the data otherwise, the
    // whole choice is made again by libtiff alone.
    if (w.bester.geschaetzt && w.bester.zeilen > 0 && !(TiffPruefen(daten, w.art, w.bester.gefragt) == w.bester))
        w = Waehlen(daten, g4, false);
    if (w.bester.zeilen <= 0) {
        fehler = QStringLiteral("Die Faxdaten können nicht gelesen werden.");
        return false;
    }
    if (!Bilden(daten, w.art, w.bester, seite, fehler, fs))
        return false;
    kompression = w.istG4 ? QStringLiteral("CCITT G4") : QStringLiteral("CCITT G3");
    return true;
}
