// Thumbnail decoding for the thumbnail browser, free of windows and globals.
#include "VorschauLaden.h"
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <semaphore>
#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>
#include "pixelops/Bitmap_Verkleinern.h"

namespace {

// Larger pictures are refused before their memory is taken: a damaged
// header must not claim gigabytes.
constexpr qint64 MaxBildpunkte = qint64(1) << 28;

bool GroesseZulaessig(qint64 w, qint64 h)
{
    return w > 0 && h > 0 && w * h <= MaxBildpunkte;
}

// Pictures decoded at full size take their whole memory at once: of the
// very large ones only two are held at a time, whatever the thread count.
constexpr qint64 GrossAb = qint64(1) << 25;
std::counting_semaphore<2> GrossePlaetze(2);

class TGrosserPlatz {
public:
    explicit TGrosserPlatz(qint64 bildpunkte) : m_belegt(bildpunkte >= GrossAb)
    {
        if (m_belegt)
            GrossePlaetze.acquire();
    }
    ~TGrosserPlatz()
    {
        if (m_belegt)
            GrossePlaetze.release();
    }
    TGrosserPlatz(const TGrosserPlatz&) = delete;
    TGrosserPlatz& operator=(const TGrosserPlatz&) = delete;

private:
    bool m_belegt;
};

// One decompressor per thread, kept for the whole run.
struct TJpegHandle {
    tjhandle h = tjInitDecompress();
    ~TJpegHandle()
    {
        if (h)
            tjDestroy(h);
    }
};

QImage JpegDekodieren(const QString& pfad, int s)
{
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return {};
    const QByteArray daten = datei.readAll();
    if (daten.isEmpty())
        return {};
    thread_local TJpegHandle handle;
    if (!handle.h)
        return {};
    const auto* puffer = reinterpret_cast<const unsigned char*>(daten.constData());
    const auto groesse = static_cast<unsigned long>(daten.size());
    int w = 0, h = 0, unterabtastung = 0, farbraum = 0;
    // After a fatal error the decompressor is left mid-way; a fresh one
    // serves the next file.
    auto erneuern = [] {
        tjDestroy(handle.h);
        handle.h = tjInitDecompress();
    };
    if (tjDecompressHeader3(handle.h, puffer, groesse, &w, &h, &unterabtastung, &farbraum) != 0) {
        erneuern();
        return {};
    }
    const tjscalingfactor faktor{1, JpegSkalierung(w, h, s)};
    const int sw = TJSCALED(w, faktor), sh = TJSCALED(h, faktor);
    if (!GroesseZulaessig(sw, sh))
        return {};
    QImage bild(sw, sh, QImage::Format_BGR888);
    if (bild.isNull())
        return {};
    const int rc = tjDecompress2(handle.h, puffer, groesse, bild.bits(), sw, int(bild.bytesPerLine()), sh,
                                 TJPF_BGR, TJFLAG_ACCURATEDCT);
    // A warning (for example a truncated file) still gives the rows decoded
    // so far, as an image viewer shows them; a fatal error gives nothing.
    if (rc != 0) {
        const bool warnung = tjGetErrorCode(handle.h) == TJERR_WARNING;
        erneuern();
        if (!warnung)
            return {};
    }
    return bild;
}

QImage PngDekodieren(const QString& pfad)
{
    png_image bild;
    std::memset(&bild, 0, sizeof bild);
    bild.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&bild, QFile::encodeName(pfad).constData()))
        return {};
    if (!GroesseZulaessig(bild.width, bild.height)) {
        png_image_free(&bild);
        return {};
    }
    bild.format = PNG_FORMAT_BGR;
    const TGrosserPlatz platz(qint64(bild.width) * bild.height);
    QImage ergebnis(int(bild.width), int(bild.height), QImage::Format_BGR888);
    if (ergebnis.isNull()) {
        png_image_free(&bild);
        return {};
    }
    // Transparent pixels on white, as they look on the page.
    const png_color weiss{255, 255, 255};
    if (!png_image_finish_read(&bild, &weiss, ergebnis.bits(), png_int_32(ergebnis.bytesPerLine()), nullptr)) {
        png_image_free(&bild);
        return {};
    }
    return ergebnis;
}

// The first frame on its logical screen, transparent pixels and the rest of
// the screen white.
QImage GifDekodieren(const QString& pfad)
{
    int fehler = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(pfad).constData(), &fehler);
    if (!gif)
        return {};
    struct TSchliessen {
        GifFileType* g;
        ~TSchliessen()
        {
            int f = 0;
            DGifCloseFile(g, &f);
        }
    } schliessen{gif};
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1 || !gif->SavedImages)
        return {};
    const SavedImage& rahmen = gif->SavedImages[0];
    const GifImageDesc& d = rahmen.ImageDesc;
    const ColorMapObject* farben = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!farben || !rahmen.RasterBits || d.Width <= 0 || d.Height <= 0)
        return {};
    int breite = gif->SWidth, hoehe = gif->SHeight;
    if (breite <= 0 || hoehe <= 0) {
        breite = d.Left + d.Width;
        hoehe = d.Top + d.Height;
    }
    if (!GroesseZulaessig(breite, hoehe))
        return {};
    int transparent = NO_TRANSPARENT_COLOR;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK)
        transparent = gcb.TransparentColor;

    QImage bild(breite, hoehe, QImage::Format_BGR888);
    if (bild.isNull())
        return {};
    bild.fill(Qt::white);
    for (int y = 0; y < d.Height; ++y) {
        const int zy = d.Top + y;
        if (zy < 0 || zy >= hoehe)
            continue;
        const GifByteType* quelle = rahmen.RasterBits + qsizetype(y) * d.Width;
        uint8_t* ziel = bild.scanLine(zy);
        for (int x = 0; x < d.Width; ++x) {
            const int zx = d.Left + x;
            const int index = quelle[x];
            if (zx < 0 || zx >= breite || index == transparent || index >= farben->ColorCount)
                continue;
            const GifColorType& c = farben->Colors[index];
            ziel[zx * 3] = c.Blue;
            ziel[zx * 3 + 1] = c.Green;
            ziel[zx * 3 + 2] = c.Red;
        }
    }
    return bild;
}

QImage IconDekodieren(const QString& pfad)
{
    QImageReader leser(pfad, "ico");
    leser.setDecideFormatFromContent(false);
    const QImage icon = leser.read();
    if (icon.isNull() || !GroesseZulaessig(icon.width(), icon.height()))
        return {};
    QImage bild(icon.size(), QImage::Format_RGB32);
    if (bild.isNull())
        return {};
    bild.fill(Qt::white);
    QPainter p(&bild);
    p.drawImage(0, 0, icon);
    p.end();
    return bild.convertToFormat(QImage::Format_BGR888);
}

QImage BmpDekodieren(const QString& pfad)
{
    QImageReader leser(pfad, "bmp");
    leser.setDecideFormatFromContent(false);
    // The size is checked here against the program's own bound.
    leser.setAllocationLimit(0);
    const QSize groesse = leser.size();
    if (groesse.isValid() && !GroesseZulaessig(groesse.width(), groesse.height()))
        return {};
    const TGrosserPlatz platz(groesse.isValid() ? qint64(groesse.width()) * groesse.height() : 0);
    const QImage bild = leser.read();
    if (bild.isNull())
        return {};
    return bild.convertToFormat(QImage::Format_BGR888);
}

QString EndungMitPunkt(const QString& dateiName)
{
    const QString name = QFileInfo(dateiName).fileName();
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    if (punkt < 0)
        return {};
    return name.mid(punkt).toUpper();
}

}   // namespace

TVorschauWeg VorschauWeg(const QString& dateiName)
{
    const QString endung = EndungMitPunkt(dateiName);
    // A lone dot is no extension.
    if (endung.size() < 2)
        return TVorschauWeg::Keiner;
    if (QStringLiteral(".BMP .GIF .JPG .JPEG .ICO .PNG").contains(endung))
        return TVorschauWeg::Direkt;
    return TVorschauWeg::Gear;
}

int JpegSkalierung(int w, int h, int s)
{
    int teiler = 1;
    for (const int t : {2, 4, 8})
        if (w / t >= s && h / t >= s)
            teiler = t;
    return teiler;
}

QSize VorschauGroesseFuer(int w, int h, int s)
{
    if (w <= 0 || h <= 0)
        return {};
    // The ratio is held as a double and the size computed from it in
    // extended precision, so 100 x 300 gives 49 x 150, not 50 x 150.
    const double q = static_cast<double>(w) / h;
    int tw, th;
    if (q > 1) {
        tw = std::min(s, w);
        th = static_cast<int>(static_cast<long double>(tw) / q);
    } else {
        th = std::min(s, h);
        tw = static_cast<int>(static_cast<long double>(th) * q);
    }
    return {std::max(1, tw), std::max(1, th)};
}

int VorschauSpalten(int breite, int balkenBreite, int s)
{
    return std::max(1, (breite - balkenBreite) / (s + 20));
}

QPoint VorschauZelle(int k, int spalten, int s)
{
    spalten = std::max(1, spalten);
    const int c = k % spalten;   // 0-based column and row
    const int r = k / spalten;
    return {(s + 20) * c + 10, (s + 40) * r + 10};
}

QVector<int> VorschauBehalten(const QStringList& alt, const QStringList& neu)
{
    QHash<QString, int> bisher;
    bisher.reserve(alt.size());
    for (int i = 0; i < alt.size(); ++i)
        bisher.insert(alt.at(i), i);
    QVector<int> behalten;
    behalten.reserve(neu.size());
    for (const QString& eintrag : neu)
        behalten << bisher.value(eintrag, -1);
    return behalten;
}

QImage VorschauBildDekodieren(const QString& pfad, int s)
{
    const QString endung = EndungMitPunkt(pfad);
    try {
        if (endung == QLatin1String(".JPG") || endung == QLatin1String(".JPEG"))
            return JpegDekodieren(pfad, s);
        if (endung == QLatin1String(".PNG"))
            return PngDekodieren(pfad);
        if (endung == QLatin1String(".GIF"))
            return GifDekodieren(pfad);
        if (endung == QLatin1String(".ICO"))
            return IconDekodieren(pfad);
        if (endung == QLatin1String(".BMP"))
            return BmpDekodieren(pfad);
    } catch (...) {
    }
    return {};
}

QImage VorschauVerkleinern(const QImage& bild, int s, int threads)
{
    if (bild.isNull() || bild.width() <= 0 || bild.height() <= 0)
        return {};
    const TBitmap quelle(bild);
    if (bild.width() <= s && bild.height() <= s)
        return quelle.Bild().copy();
    const QSize groesse = VorschauGroesseFuer(bild.width(), bild.height(), s);
    TBitmap ziel;
    BitmapVerkleinern(quelle, ziel, groesse.width(), groesse.height(), threads);
    return ziel.Bild();
}

TVorschauErgebnis VorschauErzeugen(const QString& pfad, int s)
{
    TVorschauErgebnis e;
    switch (VorschauWeg(pfad)) {
    case TVorschauWeg::Keiner:
        e.fehler = true;
        break;
    case TVorschauWeg::Gear:
        e.gear = true;
        break;
    case TVorschauWeg::Direkt:
        const QImage bild = VorschauBildDekodieren(pfad, s);
        e.groesse = VorschauGroesseFuer(bild.width(), bild.height(), s);
        e.bild = VorschauVerkleinern(bild, s);
        e.fehler = e.bild.isNull();
        break;
    }
    return e;
}

// ---- Decoding ahead ------------------------------------------------------

TVorschauVorlader::TVorschauVorlader(QStringList pfade, int s, int threads, int vorlauf)
    : m_vorlauf(0, int(pfade.size()), [pfade, s](int k) { return VorschauErzeugen(pfade.at(k), s); }, threads, vorlauf)
{
}
