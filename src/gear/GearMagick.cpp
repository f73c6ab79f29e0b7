#include "GearMagick.h"
#include "GearHilfen.h"
#include <Magick++.h>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>

namespace {

// Raster coders we let ImageMagick run; anything else a signature names
// (scripts, vector and text formats, URLs) is refused.
const QSet<QString>& Erlaubt()
{
    static const QSet<QString> s = {
        QStringLiteral("BMP"), QStringLiteral("BMP2"), QStringLiteral("BMP3"), QStringLiteral("CALS"),
        QStringLiteral("CAL"), QStringLiteral("FAX"), QStringLiteral("G3"), QStringLiteral("G4"),
        QStringLiteral("CUT"), QStringLiteral("DCX"), QStringLiteral("PCX"), QStringLiteral("GIF"),
        QStringLiteral("GIF87"), QStringLiteral("ICO"), QStringLiteral("ICON"), QStringLiteral("CUR"),
        QStringLiteral("JPEG"), QStringLiteral("JPG"), QStringLiteral("PBM"), QStringLiteral("PGM"),
        QStringLiteral("PPM"), QStringLiteral("PNM"), QStringLiteral("PCD"), QStringLiteral("PCDS"),
        QStringLiteral("PICT"), QStringLiteral("PCT"), QStringLiteral("PNG"), QStringLiteral("SUN"),
        QStringLiteral("RAS"), QStringLiteral("TGA"), QStringLiteral("VDA"), QStringLiteral("ICB"),
        QStringLiteral("VST"), QStringLiteral("TIFF"), QStringLiteral("TIF"), QStringLiteral("WMF"),
        QStringLiteral("WPG"), QStringLiteral("XBM"), QStringLiteral("XPM"), QStringLiteral("XWD"),
        QStringLiteral("SGI"), QStringLiteral("PSD"), QStringLiteral("EPS"), QStringLiteral("EPSF"),
        QStringLiteral("EPSI"), QStringLiteral("EPT"), QStringLiteral("WEBP"), QStringLiteral("MAC"),
    };
    return s;
}

// ImageMagick's coders also allocate buffers of their own, sized from
// fields a ping does not read (the bounds of each PICT pixmap, say). While
// a thread reads a file, any one large allocation beyond what the load's
// budget has left is refused, and the coder fails with a memory error.
// Small ones always pass: without memory for its own structures ImageMagick
// ends the process.
thread_local qint64 magickGrenze = -1; // -1: no read under way
thread_local qint64 magickAbgelehnt = 0; // the largest request refused
constexpr size_t MagickImmerErlaubt = size_t(16) << 20;

bool MagickZuviel(size_t n)
{
    if (magickGrenze < 0 || n <= MagickImmerErlaubt || n <= uint64_t(magickGrenze))
        return false;
    magickAbgelehnt = std::max(magickAbgelehnt, qint64(std::min<uint64_t>(n, std::numeric_limits<qint64>::max())));
    return true;
}

void* MagickHolen(size_t n)
{
    return MagickZuviel(n) ? nullptr : std::malloc(n);
}

void* MagickVergroessern(void* p, size_t n)
{
    return MagickZuviel(n) ? nullptr : std::realloc(p, n);
}

void MagickFreigeben(void* p)
{
    std::free(p);
}

// The pixel cache comes through these: a frame's pixels, at the size its
// header gives, whatever the ping said.
void* MagickAusgerichtetHolen(size_t n, size_t ausrichtung)
{
    void* p = nullptr;
    if (MagickZuviel(n) || posix_memalign(&p, ausrichtung, n) != 0)
        return nullptr;
    return p;
}

// Installed before main, while no thread uses ImageMagick yet; the library's
// own methods are malloc, realloc, posix_memalign and free as well.
[[maybe_unused]] const bool magickSpeicherGeprueft = [] {
    MagickCore::SetMagickMemoryMethods(MagickHolen, MagickVergroessern, MagickFreigeben);
    MagickCore::SetMagickAlignedMemoryMethods(MagickAusgerichtetHolen, MagickFreigeben);
    return true;
}();

// Holds this thread's ImageMagick allocations to the budget's rest while it lives.
class TMagickSpeicherGrenze
{
public:
    TMagickSpeicherGrenze() { Erneuern(); magickAbgelehnt = 0; }
    ~TMagickSpeicherGrenze() { magickGrenze = -1; }
    TMagickSpeicherGrenze(const TMagickSpeicherGrenze&) = delete;
    TMagickSpeicherGrenze& operator=(const TMagickSpeicherGrenze&) = delete;
    void Erneuern() { magickGrenze = std::max<qint64>(0, GearSpeicherRest()); }
    // The refusal as the German memory message, if there was one.
    bool Abgelehnt(QString& fehler) const { return magickAbgelehnt > 0 && !GearSpeicherNehmen(magickAbgelehnt, fehler); }
};

// Sample scaling between 8 bits and the library's quantum depth.
using MagickCore::Quantum;
const double Quantumbereich = QuantumRange;

inline MagickCore::Quantum AusByte(int v)
{
    return MagickCore::Quantum(v * (Quantumbereich / 255.0) + 0.5);
}

inline int ZuByte(double q)
{
    return std::clamp(int(q * 255.0 / Quantumbereich + 0.5), 0, 255);
}

struct TMonitor {
    const TFortschritt* fs = nullptr;
    Qt::HANDLE faden = nullptr;
};

// ImageMagick calls this from its worker threads too; only the thread that
// started the operation reports.
MagickCore::MagickBooleanType Monitor(const char*, const MagickCore::MagickOffsetType offset,
                                      const MagickCore::MagickSizeType extent, void* client)
{
    auto* m = static_cast<TMonitor*>(client);
    if (m && m->fs && *m->fs && QThread::currentThreadId() == m->faden) {
        const qint64 p = extent > 1 ? qint64(100 * offset / qint64(extent - 1)) : 100;
        (*m->fs)(int(std::clamp<qint64>(p, 0, 100)));
    }
    return MagickCore::MagickTrue;
}

QString KompressionsText(MagickCore::CompressionType c)
{
    using namespace MagickCore;
    switch (c) {
    case UndefinedCompression:
    case NoCompression: return QStringLiteral("UNCOMPRESSED");
    case RLECompression: return QStringLiteral("RLE");
    case JPEGCompression: return QStringLiteral("JPEG");
    case LZWCompression: return QStringLiteral("LZW");
    case ZipCompression: return QStringLiteral("DEFLATE");
    case FaxCompression: return QStringLiteral("CCITT G3");
    case Group4Compression: return QStringLiteral("CCITT G4");
    default: {
        const char* t = CommandOptionToMnemonic(MagickCompressOptions, ssize_t(c));
        return t ? QString::fromLatin1(t).toUpper() : QStringLiteral("UNKNOWN");
    }
    }
}

bool IstGrau(MagickCore::ColorspaceType c)
{
    using namespace MagickCore;
    return c == GRAYColorspace || c == Rec601LumaColorspace || c == Rec709LumaColorspace
        || c == LinearGRAYColorspace;
}

bool AlsSeite(Magick::Image& bild, TGearSeite& seite, QString& fehler)
{
    using namespace MagickCore;
    const Image* img = bild.constImage();
    const int w = int(img->columns), h = int(img->rows);
    // Freed on every way out, also when a colour-space change throws.
    const std::unique_ptr<ExceptionInfo, ExceptionInfo* (*)(ExceptionInfo*)> ausnahme(AcquireExceptionInfo(),
                                                                                    DestroyExceptionInfo);
    ExceptionInfo* exc = ausnahme.get();
    bool ok = true;
    if (img->storage_class == PseudoClass && img->colors > 0 && img->colors <= 256 && img->colormap) {
        QImage q = GearNeuesBild(w, h, QImage::Format_Indexed8, fehler);
        ok = !q.isNull();
        const int n = int(img->colors);
        for (int y = 0; ok && y < h; ++y) {
            const PixelPacket* p = GetVirtualPixels(img, 0, y, size_t(w), 1, exc);
            const IndexPacket* idx = GetVirtualIndexQueue(img);
            if (!p || !idx) {
                ok = false;
                fehler = QStringLiteral("Das Bild kann nicht gelesen werden.");
                break;
            }
            uint8_t* z = q.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const int i = int(idx[x]);
                z[x] = uint8_t(i < n ? i : 0);
            }
        }
        if (ok) {
            QList<QRgb> t;
            for (int i = 0; i < n; ++i)
                t.append(qRgb(ZuByte(img->colormap[i].red), ZuByte(img->colormap[i].green),
                              ZuByte(img->colormap[i].blue)));
            q.setColorTable(t);
            seite.bild = std::move(q);
            seite.bpp = GearTiefeFuerFarben(n);
        }
    } else if (IstGrau(img->colorspace)) {
        QImage q = GearNeuesBild(w, h, QImage::Format_Indexed8, fehler);
        ok = !q.isNull();
        const bool zweiwertig = img->depth == 1;
        for (int y = 0; ok && y < h; ++y) {
            uint8_t* z = q.scanLine(y);
            ok = ExportImagePixels(img, 0, y, size_t(w), 1, "R", CharPixel, z, exc) != MagickFalse;
            if (zweiwertig)
                for (int x = 0; x < w; ++x)
                    z[x] = z[x] > 127;
        }
        if (ok) {
            q.setColorTable(zweiwertig ? GearGrauPalette(2) : GearGrauPalette(256));
            seite.bild = std::move(q);
            seite.bpp = zweiwertig ? 1 : 8;
        } else if (fehler.isEmpty()) {
            fehler = QStringLiteral("Das Bild kann nicht gelesen werden.");
        }
    } else {
        if (img->colorspace != sRGBColorspace && img->colorspace != RGBColorspace) {
            bild.colorSpace(Magick::sRGBColorspace);
            img = bild.constImage();
        }
        QImage q = GearNeuesBild(w, h, QImage::Format_BGR888, fehler);
        ok = !q.isNull();
        for (int y = 0; ok && y < h; ++y)
            ok = ExportImagePixels(img, 0, y, size_t(w), 1, "BGR", CharPixel, q.scanLine(y), exc) != MagickFalse;
        if (ok) {
            seite.bild = std::move(q);
            seite.bpp = 24;
        } else if (fehler.isEmpty()) {
            fehler = QStringLiteral("Das Bild kann nicht gelesen werden.");
        }
    }
    return ok;
}

// A MagickCore image of the page: 24 bits as DirectClass, palettes as
// PseudoClass with exactly the page's colours.
MagickCore::Image* AlsMagick(const TGearSeite& seite, QString& fehler)
{
    using namespace MagickCore;
    const QImage& q = seite.bild;
    const int w = q.width(), h = q.height();
    ImageInfo* info = AcquireImageInfo();
    Image* img = AcquireImage(info);
    DestroyImageInfo(info);
    if (!img || !SetImageExtent(img, size_t(w), size_t(h))) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        if (img)
            DestroyImage(img);
        return nullptr;
    }
    img->depth = 8;
    ExceptionInfo* exc = AcquireExceptionInfo();
    bool ok = true;
    if (q.format() == QImage::Format_Indexed8) {
        const QList<QRgb> t = q.colorTable();
        const int n = std::max<int>(1, int(t.size()));
        ok = AcquireImageColormap(img, size_t(n)) != MagickFalse;
        for (int i = 0; ok && i < n && i < t.size(); ++i) {
            img->colormap[i].red = AusByte((qRed(t[i])));
            img->colormap[i].green = AusByte((qGreen(t[i])));
            img->colormap[i].blue = AusByte((qBlue(t[i])));
            img->colormap[i].opacity = OpaqueOpacity;
        }
        for (int y = 0; ok && y < h; ++y) {
            PixelPacket* p = QueueAuthenticPixels(img, 0, y, size_t(w), 1, exc);
            IndexPacket* idx = GetAuthenticIndexQueue(img);
            if (!p || !idx) {
                ok = false;
                break;
            }
            const uint8_t* s = q.constScanLine(y);
            for (int x = 0; x < w; ++x) {
                const int i = s[x] < n ? s[x] : 0;
                idx[x] = IndexPacket(i);
                p[x] = img->colormap[i];
            }
            ok = SyncAuthenticPixels(img, exc) != MagickFalse;
        }
    } else {
        const QImage bgr = GearAlsBgr888(seite);
        ok = !bgr.isNull();
        for (int y = 0; ok && y < h; ++y)
            ok = ImportImagePixels(img, 0, y, size_t(w), 1, "BGR", CharPixel, bgr.constScanLine(y)) != MagickFalse;
    }
    DestroyExceptionInfo(exc);
    if (!ok) {
        fehler = QStringLiteral("Das Bild kann nicht übergeben werden.");
        DestroyImage(img);
        return nullptr;
    }
    return img;
}

// Big-endian reader over a byte array that reports running off the end
// instead of reading past it.
class TPsdLeser
{
public:
    TPsdLeser(const QByteArray& d, qint64 pos, qint64 ende) : m_d(d), m_pos(pos), m_ende(std::min<qint64>(ende, d.size())) {}
    bool Ok() const { return m_ok; }
    qint64 Pos() const { return m_pos; }
    // End of a block of n bytes from here, for a reader of its own.
    qint64 BlockEnde(uint64_t n) const { return m_pos + qint64(std::min<uint64_t>(n, uint64_t(m_d.size()))); }
    uint64_t Zahl(int bytes)
    {
        if (!m_ok || m_ende - m_pos < bytes) {
            m_ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | uint8_t(m_d[m_pos + i]);
        m_pos += bytes;
        return v;
    }
    int64_t Vorzeichen32() { return int32_t(uint32_t(Zahl(4))); }
    void Ueberspringen(uint64_t n)
    {
        if (!m_ok || uint64_t(m_ende - m_pos) < n)
            m_ok = false;
        else
            m_pos += qint64(n);
    }

private:
    const QByteArray& m_d;
    qint64 m_pos;
    qint64 m_ende;
    bool m_ok = true;
};

// Declared pixel counts are held at 2^64, above any budget, so that sums
// over many layers or frames stay in range.
constexpr unsigned __int128 PixelGrenze = (unsigned __int128)1 << 64;

// A rectangle as the PSD reader takes it: right minus left in signed 64 bits,
// then unsigned, so a reversed edge pair stands for an enormous size.
unsigned __int128 PsdFlaeche(TPsdLeser& l)
{
    const int64_t oben = l.Vorzeichen32(), links = l.Vorzeichen32();
    const int64_t unten = l.Vorzeichen32(), rechts = l.Vorzeichen32();
    if (!l.Ok())
        return 0;
    return std::min((unsigned __int128)uint64_t(rechts - links) * uint64_t(unten - oben), PixelGrenze);
}

// Pixels of the layer records from pos on: each layer and each layer mask
// becomes an image of its own in the reader, sized by the record alone, and
// those images are filled before any channel data is read.
unsigned __int128 PsdEbenenRecords(const QByteArray& d, qint64 pos, qint64 ende, bool psb)
{
    TPsdLeser l(d, pos, ende);
    const int anzahl = std::abs(int(int16_t(l.Zahl(2))));
    unsigned __int128 summe = 0;
    for (int i = 0; i < anzahl && l.Ok(); ++i) {
        summe += PsdFlaeche(l);
        const uint64_t kanaele = l.Zahl(2);
        l.Ueberspringen(kanaele * (psb ? 10 : 6));
        l.Ueberspringen(12); // signature, blend mode, opacity, clipping, flags, filler
        const uint64_t extra = l.Zahl(4);
        if (extra >= 4) {
            TPsdLeser m(d, l.Pos(), l.BlockEnde(extra));
            if (m.Zahl(4) != 0)
                summe += PsdFlaeche(m);
        }
        l.Ueberspringen(extra);
    }
    return summe;
}

// All layer and mask pixels a Photoshop file declares: the layer info of the
// layer-and-mask section, and the 16- and 32-bit layer blocks that follow the
// global mask when that layer info is empty.
unsigned __int128 PsdEbenenPixel(const QByteArray& d)
{
    TPsdLeser l(d, 0, d.size());
    if (l.Zahl(4) != 0x38425053) // "8BPS"
        return 0;
    const bool psb = l.Zahl(2) == 2;
    l.Ueberspringen(20);
    l.Ueberspringen(l.Zahl(4)); // colour mode data
    l.Ueberspringen(l.Zahl(4)); // image resources
    const int breite = psb ? 8 : 4;
    const uint64_t abschnitt = l.Zahl(breite);
    if (!l.Ok() || abschnitt == 0)
        return 0;
    TPsdLeser a(d, l.Pos(), l.BlockEnde(abschnitt));
    const uint64_t info = a.Zahl(breite);
    if (!a.Ok())
        return 0;
    if (info != 0)
        return PsdEbenenRecords(d, a.Pos(), a.BlockEnde(info), psb);
    a.Ueberspringen(a.Zahl(4)); // global layer mask
    unsigned __int128 summe = 0;
    while (a.Ok()) {
        const uint64_t signatur = a.Zahl(4);
        const uint64_t schluessel = a.Zahl(4);
        const bool ebenen = schluessel == 0x4C723136 || schluessel == 0x4C723332 || schluessel == 0x4C617972; // Lr16, Lr32, Layr
        // A large document gives these blocks 64-bit lengths.
        const uint64_t laenge = a.Zahl(psb && (ebenen || schluessel == 0x4C4D736B || schluessel == 0x4D743136
                                               || schluessel == 0x4D743332 || schluessel == 0x4D74726E) // LMsk, Mt16, Mt32, Mtrn
                                           ? 8 : 4);
        if (!a.Ok() || (signatur != 0x3842494D && signatur != 0x38423634)) // "8BIM", "8B64"
            break;
        if (ebenen)
            summe += PsdEbenenRecords(d, a.Pos(), a.BlockEnde(laenge), psb);
        a.Ueberspringen(laenge);
    }
    return summe;
}

// Canvas and layer pixels of a Photoshop file, from the file itself: a ping
// clears the whole canvas, however large the header says it is, and sees
// none of the layers.
std::optional<unsigned __int128> PsdPixel(const QByteArray& daten)
{
    TPsdLeser kopf(daten, 14, daten.size());
    const uint64_t hoehe = kopf.Zahl(4), breite = kopf.Zahl(4);
    if (!daten.startsWith("8BPS") || !kopf.Ok())
        return std::nullopt;
    return (unsigned __int128)breite * hoehe + PsdEbenenPixel(daten);
}

// Pixels of all frames of a GIF, from its image descriptors: the ping of a
// damaged GIF may report nothing, while the reader then sets up each frame
// at the size its descriptor gives. Bytes that start no block are passed
// over one by one, as the reader does.
std::optional<unsigned __int128> GifPixel(const QByteArray& d)
{
    if (!d.startsWith("GIF8") || d.size() < 13)
        return std::nullopt;
    const auto byte = [&](qsizetype i) { return i < d.size() ? uint8_t(d[i]) : uint8_t(0); };
    // Data sub-blocks: a length byte and that many bytes, up to a zero length.
    const auto bloecke = [&](qsizetype& i) {
        while (i < d.size() && byte(i) != 0)
            i += 1 + byte(i);
        ++i;
    };
    qsizetype i = 13;
    if (byte(10) & 0x80)
        i += 3 << ((byte(10) & 7) + 1);
    unsigned __int128 summe = 0;
    while (i < d.size()) {
        const uint8_t art = byte(i++);
        if (art == ';')
            break;
        if (art == '!') {
            ++i;
            bloecke(i);
        } else if (art == ',') {
            summe += uint64_t(byte(i + 4) | byte(i + 5) << 8) * uint64_t(byte(i + 6) | byte(i + 7) << 8);
            const uint8_t flags = byte(i + 8);
            i += 9;
            if (flags & 0x80)
                i += 3 << ((flags & 7) + 1);
            ++i; // LZW code size
            bloecke(i);
        }
    }
    return summe;
}

// Pixels of all frames a ping of the file declares.
unsigned __int128 GepingtePixel(const MagickCore::ImageInfo* vorlage, const QByteArray& daten)
{
    using namespace MagickCore;
    const std::unique_ptr<ImageInfo, ImageInfo* (*)(ImageInfo*)> info(CloneImageInfo(vorlage), DestroyImageInfo);
    const std::unique_ptr<ExceptionInfo, ExceptionInfo* (*)(ExceptionInfo*)> exc(AcquireExceptionInfo(),
                                                                               DestroyExceptionInfo);
    if (!info || !exc)
        return 0;
    SetImageInfoProgressMonitor(info.get(), nullptr, nullptr);
    Image* liste = PingBlob(info.get(), daten.constData(), size_t(daten.size()), exc.get());
    unsigned __int128 summe = 0;
    for (const Image* p = liste; p; p = p->next)
        summe += std::min((unsigned __int128)p->columns * p->rows, PixelGrenze);
    if (liste)
        DestroyImageList(liste);
    return summe;
}

// The pixel cache ImageMagick will ask for, from the declared sizes of all
// frames, taken from the load's memory budget before the pixels are read.
// Declared sizes can be anything up to 2^64 each: summed in 128 bits and
// held at the largest count, which no budget covers.
bool PixelSpeicherReicht(const MagickCore::ImageInfo* vorlage, const QByteArray& daten, QString& fehler)
{
    std::optional<unsigned __int128> pixel;
    if (qstrcmp(vorlage->magick, "PSD") == 0)
        pixel = PsdPixel(daten);
    if (!pixel)
        pixel = GepingtePixel(vorlage, daten);
    if (qstrncmp(vorlage->magick, "GIF", 3) == 0)
        pixel = std::max(*pixel, GifPixel(daten).value_or(0));
    const unsigned __int128 summe = *pixel * (sizeof(MagickCore::PixelPacket) + sizeof(MagickCore::IndexPacket));
    const qint64 bytes = qint64(std::min<unsigned __int128>(summe, std::numeric_limits<qint64>::max()));
    return GearSpeicherNehmen(bytes, fehler);
}

} // namespace

QString MagickSignatur(const QByteArray& daten)
{
    using namespace MagickCore;
    ExceptionInfo* exc = AcquireExceptionInfo();
    const MagicInfo* m = GetMagicInfo(reinterpret_cast<const unsigned char*>(daten.constData()), size_t(daten.size()), exc);
    const char* name = m ? GetMagicName(m) : nullptr;
    QString ergebnis = name ? QString::fromLatin1(name).toUpper() : QString();
    DestroyExceptionInfo(exc);
    return ergebnis;
}

bool MagickDekodieren(const QByteArray& daten, const QString& hinweis, TGearDokument& dok, QString& fehler,
                      const TFortschritt& fs)
{
    QString coder = MagickSignatur(daten);
    if (coder.isEmpty())
        coder = hinweis.toUpper();
    if (coder.isEmpty()) {
        fehler = QStringLiteral("Das Dateiformat ist unbekannt.");
        return false;
    }
    if (!Erlaubt().contains(coder)) {
        fehler = QStringLiteral("Das Dateiformat %1 wird nicht unterstützt.").arg(coder);
        return false;
    }
    std::vector<Magick::Image> bilder;
    TMonitor monitor{&fs, QThread::currentThreadId()};
    try {
        Magick::ReadOptions optionen;
        optionen.quiet(true);
        MagickCore::ImageInfo* info = optionen.imageInfo();
        MagickCore::CopyMagickString(info->magick, coder.toLatin1().constData(), MaxTextExtent);
        MagickCore::SetImageInfoProgressMonitor(info, Monitor, &monitor);
        TMagickSpeicherGrenze grenze;
        if (!PixelSpeicherReicht(info, daten, fehler))
            return false;
        grenze.Erneuern();
        const Magick::Blob blob(daten.constData(), size_t(daten.size()));
        try {
            Magick::readImages(&bilder, blob, optionen);
        } catch (const Magick::Warning&) {
            // A warning still delivers the image.
        } catch (const Magick::Exception&) {
            if (grenze.Abgelehnt(fehler))
                return false;
            throw;
        }
        if (grenze.Abgelehnt(fehler))
            return false;
        if (bilder.empty()) {
            fehler = QStringLiteral("Die Datei kann nicht gelesen werden.");
            return false;
        }
        // A Photoshop file holds the merged picture first and its layers after it.
        if (coder == QLatin1String("PSD"))
            bilder.resize(1);
        dok.seiten.clear();
        for (Magick::Image& b : bilder) {
            b.quiet(true);
            TGearSeite s;
            if (!AlsSeite(b, s, fehler)) {
                if (dok.seiten.empty())
                    return false;
                break;
            }
            dok.seiten.push_back(std::move(s));
        }
        const MagickCore::Image* erstes = bilder.front().constImage();
        dok.typ = QString::fromLatin1(erstes->magick).toUpper();
        if (dok.typ.isEmpty())
            dok.typ = coder;
        dok.kompression = KompressionsText(erstes->compression);
    } catch (const Magick::Exception& e) {
        fehler = QStringLiteral("Die Datei kann nicht gelesen werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        dok.seiten.clear();
        return false;
    } catch (const std::exception& e) {
        fehler = QStringLiteral("Die Datei kann nicht gelesen werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        dok.seiten.clear();
        return false;
    }
    return true;
}

bool MagickKodieren(const TGearSeite& seite, const QString& coder, bool ascii, QByteArray& aus, QString& fehler,
                    const TFortschritt& fs)
{
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    MagickCore::Image* img = AlsMagick(seite, fehler);
    if (!img)
        return false;
    TMonitor monitor{&fs, QThread::currentThreadId()};
    try {
        Magick::Image bild(img);
        bild.quiet(true);
        bild.magick(coder.toStdString());
        // The rows are handed over top row first; coders that store an
        // origin (TGA) must say so, or other readers turn the picture over.
        bild.orientation(Magick::TopLeftOrientation);
        if (ascii)
            bild.compressType(Magick::NoCompression);
        MagickCore::SetImageProgressMonitor(bild.image(), Monitor, &monitor);
        Magick::Blob blob;
        try {
            bild.write(&blob);
        } catch (const Magick::Warning&) {
        }
        if (blob.length() == 0) {
            fehler = QStringLiteral("Die Datei kann nicht erzeugt werden.");
            return false;
        }
        aus = QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
    } catch (const Magick::Exception& e) {
        fehler = QStringLiteral("Die Datei kann nicht erzeugt werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        return false;
    } catch (const std::exception& e) {
        fehler = QStringLiteral("Die Datei kann nicht erzeugt werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}
