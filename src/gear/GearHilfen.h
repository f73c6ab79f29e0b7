#pragma once
#include <QImage>
#include <QList>
#include <QString>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>
#include "GearSeite.h"

// Shared pieces of the imaging control's coders: allocation with limits,
// colour tables, depth rules and the conversions every coder needs.

// Largest picture a coder allocates; a corrupt header cannot ask for more.
constexpr qint64 GearMaxPixel = qint64(1) << 29;

// A new picture, or a null one with a German reason when the size is not
// sane or the memory is not there. Its bytes are taken from the memory
// budget before anything is allocated.
QImage GearNeuesBild(qint64 breite, qint64 hoehe, QImage::Format format, QString& fehler);

// One memory budget for a whole load (or page change): opened on the stack,
// it holds what the machine has available at that moment, and every
// allocation of the decoders is taken from it, so a file cannot ask for more
// in several steps than at once. Without an open budget an allocation is
// checked against the available memory alone.
// A budget opened inside another one of the same thread holds no more than
// the outer one has left, and what it gave out counts against the outer one
// when it closes; hoechstens caps it further (a share of the memory for work
// that runs beside other work).
class TGearSpeicherRahmen {
public:
    explicit TGearSpeicherRahmen(qint64 hoechstens = std::numeric_limits<qint64>::max());
    ~TGearSpeicherRahmen();
    TGearSpeicherRahmen(const TGearSpeicherRahmen&) = delete;
    TGearSpeicherRahmen& operator=(const TGearSpeicherRahmen&) = delete;
    qint64 Rest() const { return m_rest; }
private:
    friend bool GearSpeicherNehmen(qint64 bytes, QString& fehler);
    qint64 m_rest;
    qint64 m_anfang;
    TGearSpeicherRahmen* m_vorher;
};

// Takes bytes from the open budget; false with the German message when they
// are not there.
bool GearSpeicherNehmen(qint64 bytes, QString& fehler);
// What the open budget has left, or the available memory without one.
qint64 GearSpeicherRest();
// Whether a load's error text is the refusal of a picture the memory cannot
// hold; the user is told that one, not just shown the error picture.
bool GearSpeicherFehler(const QString& fehler);
// The memory available to this process now (MemAvailable, else the physical
// memory), or the limit set through GearTestnaht.h.
qint64 GearVerfuegbarerSpeicher();

// A buffer of n elements taken from the budget; false with the German
// message instead of throwing.
template <class T>
bool GearPuffer(std::vector<T>& v, qint64 n, QString& fehler)
{
    // A count from a file's header may be anything: more bytes than a
    // qint64 holds are asked for as the largest count, which no budget has.
    constexpr qint64 hoechstens = std::numeric_limits<qint64>::max() / qint64(sizeof(T));
    if (n < 0 || !GearSpeicherNehmen(n > hoechstens ? std::numeric_limits<qint64>::max() : n * qint64(sizeof(T)), fehler))
        return false;
    try {
        v.resize(size_t(n));
    } catch (const std::exception&) { // bad_alloc, or length_error beyond max_size()
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    return true;
}

// Decodes the first page of an opened page source into dok and keeps the
// source there when more pages follow.
bool GearErsteSeite(std::shared_ptr<TGearSeitenQuelle> quelle, TGearDokument& dok, QString& fehler,
                    const TFortschritt& fs);

// Depth of a palette with n colours: <= 2 -> 1, <= 16 -> 4, else 8.
int GearTiefeFuerFarben(int n);
// A file's own bit depth as the control reports it: 1 and 8 stay, 2..4 -> 4,
// 5..8 -> 8.
int GearTiefeFuerBits(int bits);

QList<QRgb> GearGrauPalette(int stufen);
bool GearIstGrauRampe(const QList<QRgb>& tabelle);
// Colour table entries become opaque.
QList<QRgb> GearOhneAlpha(QList<QRgb> tabelle);

// Pads the colour table with black so every index in the pixels has a colour.
void GearIndizesAbsichern(QImage& bild);

// Any QImage as a page: BGR888 at 24, Indexed8 by the number of colours.
TGearSeite GearSeiteAusBild(const QImage& bild);

// The page's pixels as BGR888 (palette expanded); a 24-bit page is shared.
QImage GearAlsBgr888(const TGearSeite& seite);

// A picture with transparent parts laid on a solid colour, as BGR888: the
// colour fills the picture's size and the picture is drawn over it. A null
// image with a German reason when the memory is not there.
QImage GearAufHintergrund(const QImage& bild, QRgb farbe, QString& fehler);

// Fills the page's gap (the part a damaged file never reached) with farbe
// and empties it. A palette page takes the colour into its table, growing
// its depth as far as needed, or becomes 24 bits when the table is full.
// False when the memory for that is not there (the gap is left as decoded).
bool GearLueckeFuellen(TGearSeite& seite, QRgb farbe);

// For bilevel coders: per index (palette) or per pixel, whether it is black.
// A two-colour page takes its darker colour as black; everything else
// thresholds the luminance at 128.
QImage GearAlsSchwarzWeiss(const TGearSeite& seite);   // Indexed8, 0 = white, 1 = black

// Luminance 0..255 of a colour, integer weights as the display uses them.
inline int GearHelligkeit(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000;
}

// Reports a percentage when it changes, from row y of hoehe rows mapped into
// the band von..bis.
class TFortschrittsBand {
public:
    TFortschrittsBand(const TFortschritt& fs, int von, int bis, int hoehe)
        : m_fs(fs), m_von(von), m_bis(bis), m_hoehe(hoehe > 0 ? hoehe : 1) {}
    void Zeile(int y)
    {
        if (!m_fs)
            return;
        const int p = m_von + int(qint64(m_bis - m_von) * y / m_hoehe);
        if (p != m_letzter) {
            m_letzter = p;
            m_fs(p);
        }
    }
private:
    const TFortschritt& m_fs;
    int m_von, m_bis, m_hoehe;
    int m_letzter = -1;
};
