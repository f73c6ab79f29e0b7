// Unit Global: the undo store, numbered BMP files in the temporary folder,
// newest highest.
#include "Global.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include "Einstellungen.h"
#include "Loeschen.h"
#include "Meldung.h"
#include "gear/Gear.h"
#include "pixelops/Bitmap.h"
#include "widgets/Sanduhr.h"

int RueckgaengigAnzahl = 0;
bool RueckgaengigVerworfen = false;

// Set after the first failed push of the current image, so that a full or
// vanished temporary folder warns once instead of at every edit.
static bool g_rueckgaengigGewarnt = false;

namespace {

// The control writes the program's own files without a temporary copy while
// this lives.
class TSicherSchreibenAus {
public:
    explicit TSicherSchreibenAus(TGear& gear) : m_gear(gear), m_vorher(gear.SicherSchreiben())
    {
        gear.SetSicherSchreiben(false);
    }
    ~TSicherSchreibenAus() { m_gear.SetSicherSchreiben(m_vorher); }
    TSicherSchreibenAus(const TSicherSchreibenAus&) = delete;
    TSicherSchreibenAus& operator=(const TSicherSchreibenAus&) = delete;

private:
    TGear& m_gear;
    bool m_vorher;
};

}  // namespace

QString RueckgaengigDatei(int k)
{
    return RueckgaengigPrefix + QString::number(k);
}

bool RueckgaengigSpeichern(TGear& gear, const TBitmap& bild, int farbtiefe)
{
    if (MaxRueck <= 0)
        return true;
    if (RueckgaengigPrefix.isEmpty())
        return false;

    // The new step is written under the next free number first; only once
    // it is known to be on disk are the oldest dropped and the rest moved
    // down. A failed write thus leaves the store exactly as it was and the
    // count never names a missing file.
    const int neu = RueckgaengigAnzahl + 1;
    const QString neuDatei = RueckgaengigDatei(neu);
    bool ok = false;
    {
        // Setting and cursor go back on every way out, exceptions included.
        TSicherSchreibenAus ohneKopie(gear);
        TSanduhr warten;
        try {
            // The name is taken exclusively first, so the control writes
            // into a fresh file of ours and never through a planted link.
            if (TempDateiAnlegen(neuDatei)) {
                gear.SetPicture(bild);
                FarbtiefeVorbereiten(gear, farbtiefe);
                gear.SetSaveFormat(2);
                gear.SaveImage(neuDatei);
                ok = gear.ErrCount() <= 0 && QFileInfo(neuDatei).isFile() && QFileInfo(neuDatei).size() > 0;
            }
        } catch (...) {
            ok = false;
        }
    }
    if (!ok) {
        QFile::remove(neuDatei);
        if (!g_rueckgaengigGewarnt) {
            g_rueckgaengigGewarnt = true;
            Meldung(QStringLiteral("Der Rückgängig-Schritt konnte nicht gespeichert werden."), TMeldungArt::Warnung,
                    mbOk);
        }
        return false;
    }

    if (RueckgaengigAnzahl < MaxRueck) {
        RueckgaengigAnzahl = neu;
        return true;
    }
    // Full (or MaxRueck lowered meanwhile): drop the oldest d + 1 and move
    // the newest MaxRueck down to 1 .. MaxRueck.
    const int d = RueckgaengigAnzahl - MaxRueck;
    for (int k = 1; k <= d + 1; ++k)
        QFile::remove(RueckgaengigDatei(k));
    for (int j = 1; j <= MaxRueck; ++j) {
        const QString ziel = RueckgaengigDatei(j);
        QFile::remove(ziel);   // rename never overwrites
        QFile::rename(RueckgaengigDatei(d + 1 + j), ziel);
    }
    RueckgaengigAnzahl = MaxRueck;
    RueckgaengigVerworfen = true;
    return true;
}

void RueckgaengigSchrittVerwerfen(bool geschrieben)
{
    // With a full store the count did not grow, but the newest step is still
    // the one just written.
    if (!geschrieben || MaxRueck <= 0 || RueckgaengigAnzahl <= 0 || RueckgaengigPrefix.isEmpty())
        return;
    const QString datei = RueckgaengigDatei(RueckgaengigAnzahl);
    if (QFileInfo::exists(datei))
        DateiLoeschen(datei);
    --RueckgaengigAnzahl;
}

void RueckgaengigLoeschen()
{
    if (!RueckgaengigPrefix.isEmpty())
        for (int k = 1; k <= RueckgaengigAnzahl; ++k)
            if (QFileInfo::exists(RueckgaengigDatei(k)))
                DateiLoeschen(RueckgaengigDatei(k));
    RueckgaengigAnzahl = 0;
    RueckgaengigVerworfen = false;
    g_rueckgaengigGewarnt = false;
}
