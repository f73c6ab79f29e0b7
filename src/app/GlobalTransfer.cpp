// Unit Global: an imaging control's picture into a working bitmap, and a
// control's colour depth fitted before it writes.
#include "Global.h"
#include <QList>
#include <atomic>
#include <cstring>
#include <new>
#include "Meldung.h"
#include "Testnaht.h"
#include "gear/Gear.h"
#include "pixelops/Bitmap.h"

// A palette picture at 24 bits through its colour table, as a 24-bit read of
// the BMP file written at its own depth gives it: the table's alpha plays no
// part, and an index beyond the table reads as black.
static QImage PaletteAls24Bit(const QImage& bild)
{
    uint8_t tabelle[256][3] = {};
    const QList<QRgb> farben = bild.colorTable();
    for (int i = 0; i < farben.size() && i < 256; ++i) {
        tabelle[i][0] = uint8_t(qBlue(farben[i]));
        tabelle[i][1] = uint8_t(qGreen(farben[i]));
        tabelle[i][2] = uint8_t(qRed(farben[i]));
    }
    QImage aus(bild.size(), QImage::Format_BGR888);
    if (aus.isNull())
        return {};
    const int breite = bild.width();
    for (int y = 0; y < bild.height(); ++y) {
        const uint8_t* q = bild.constScanLine(y);
        uint8_t* z = aus.scanLine(y);
        for (int x = 0; x < breite; ++x, z += 3)
            std::memcpy(z, tabelle[q[x]], 3);
    }
    return aus;
}

// Read by worker threads too.
static std::atomic<bool> g_transferStoerung{false};

void TransferStoerungSetzen(bool an)
{
    g_transferStoerung = an;
}

bool GearZuBitmap(TGear& gear, TBitmap& bmp)
{
    if (GearZuBitmapOhneMeldung(gear, bmp))
        return true;
    Meldung(QStringLiteral("Fehler beim Bitmaptransfer"), TMeldungArt::Warnung, mbOk);
    return false;
}

bool GearZuBitmapOhneMeldung(TGear& gear, TBitmap& bmp)
{
    // The picture is handed over in memory. A 24-bit picture is shared with
    // the control rather than copied; whichever side changes first gets its
    // own rows then.
    try {
        if (g_transferStoerung)
            throw std::bad_alloc();
        const QImage bild = gear.Picture();
        if (bild.isNull() || bild.width() <= 0 || bild.height() <= 0)
            return false;
        QImage bgr;
        if (bild.format() == QImage::Format_BGR888)
            bgr = bild;
        else if (bild.format() == QImage::Format_Indexed8)
            bgr = PaletteAls24Bit(bild);
        else
            bgr = bild.convertToFormat(QImage::Format_BGR888);
        if (bgr.isNull())
            return false;
        bmp.Assign(bgr);
        return true;
    } catch (...) {
        return false;
    }
}

// Reduces the control's picture to 1, 4 or 8 bits; any other depth is left.
static void FarbtiefeReduzieren(TGear& gear, int tiefe)
{
    switch (tiefe) {
    case 1:
        gear.DiffusionMono();
        break;
    case 4:
        gear.SetOctreeBits(4);
        gear.SetOctreeColors(16);
        gear.Octree(1);
        break;
    case 8:
        gear.SetOctreeBits(8);
        gear.SetOctreeColors(256);
        gear.Octree(1);
        break;
    default:
        break;
    }
}

void FarbtiefeVorbereiten(TGear& gear, int tiefe)
{
    const int aktuell = gear.ImageBitsPerPixel();
    if (aktuell <= 0)
        return;   // no picture, nothing to fit
    if (tiefe < aktuell)
        FarbtiefeReduzieren(gear, tiefe);
    else if (aktuell < tiefe)
        gear.PromoteColor(tiefe);
}

void FormatFarbtiefeVorbereiten(TGear& gear, const QString& schluessel)
{
    const int hoechste = FormatHoechsteFarbtiefe(schluessel);
    const int niedrigste = FormatNiedrigsteFarbtiefe(schluessel);
    if (hoechste <= 0 || niedrigste <= 0)
        return;   // not a row of the table
    const int aktuell = gear.ImageBitsPerPixel();
    if (aktuell <= 0)
        return;
    if (hoechste < aktuell)
        FarbtiefeReduzieren(gear, hoechste);
    else if (aktuell < niedrigste)
        gear.PromoteColor(niedrigste);
}
