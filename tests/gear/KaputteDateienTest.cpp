// Damaged files of every readable format, made from the sample folder and
// small generated pictures: cut at many offsets, bytes flipped, declared
// sizes made huge or zero. Loading each one as the viewer does gives the
// picture or the error picture, never a crash, and within a time bound.
// Declared sizes beyond the memory are refused with a message.
#include "gear/Gear.h"
#include "Global.h"
#include "gear/GearHilfen.h"
#include "TestHilfen.h"
#include "gear/GearTestnaht.h"
#include <gtest/gtest.h>
#include <Magick++.h>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <array>
#include <cstring>
#include <malloc.h>
#include <sys/resource.h>
#include <zlib.h>
#include <limits>
#include <utility>
#include <vector>

namespace {

struct TQuelle {
    QString name;    // with the extension the file is loaded under
    QByteArray daten;
};

QByteArray MagickBytes(const Magick::Image& vorlage, const char* format, void (*einstellen)(Magick::Image&) = nullptr)
{
    Magick::Image bild(vorlage);
    if (einstellen)
        einstellen(bild);
    bild.magick(format);
    Magick::Blob blob;
    bild.write(&blob);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

// Small pictures keep the many loads fast; the samples add the real files.
std::vector<TQuelle> Quellen()
{
    Magick::Image v(Magick::Geometry(37, 23), Magick::Color("white"));
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            v.pixelColor(size_t(x), size_t(y), Magick::ColorRGB(x / 37.0, y / 23.0, ((x ^ y) & 7) / 7.0));
    auto palette = [](Magick::Image& b) { b.quantizeColors(60); b.quantize(); b.type(Magick::PaletteType); };
    auto rle = [](Magick::Image& b) {
        b.quantizeColors(60); b.quantize(); b.type(Magick::PaletteType);
        b.compressType(Magick::RLECompression);
    };
    auto rle4 = [](Magick::Image& b) {
        b.quantizeColors(12); b.quantize(); b.type(Magick::PaletteType);
        b.compressType(Magick::RLECompression);
    };
    auto lzw = [](Magick::Image& b) { b.compressType(Magick::LZWCompression); };
    auto tgaRle = [](Magick::Image& b) { b.compressType(Magick::RLECompression); };
    auto progressiv = [](Magick::Image& b) { b.interlaceType(Magick::PlaneInterlace); };
    auto g4 = [](Magick::Image& b) { b.type(Magick::BilevelType); b.compressType(Magick::Group4Compression); };

    std::vector<TQuelle> q = {
        {QStringLiteral("klein.bmp"), MagickBytes(v, "BMP3")},
        {QStringLiteral("rle8.bmp"), MagickBytes(v, "BMP3", rle)},
        {QStringLiteral("rle4.bmp"), MagickBytes(v, "BMP3", rle4)},
        {QStringLiteral("palette.bmp"), MagickBytes(v, "BMP3", palette)},
        {QStringLiteral("klein.jpg"), MagickBytes(v, "JPEG")},
        {QStringLiteral("progressiv.jpg"), MagickBytes(v, "JPEG", progressiv)},
        {QStringLiteral("klein.png"), MagickBytes(v, "PNG")},
        {QStringLiteral("palette.png"), MagickBytes(v, "PNG8")},
        {QStringLiteral("klein.gif"), MagickBytes(v, "GIF")},
        {QStringLiteral("lzw.tif"), MagickBytes(v, "TIFF", lzw)},
        {QStringLiteral("g4.tif"), MagickBytes(v, "TIFF", g4)},
        {QStringLiteral("roh.tga"), MagickBytes(v, "TGA")},
        {QStringLiteral("rle.tga"), MagickBytes(v, "TGA", tgaRle)},
        {QStringLiteral("klein.pcx"), MagickBytes(v, "PCX")},
    };
    // The general coder's formats and the icon reader, as far as the local
    // ImageMagick writes them.
    for (const auto& [format, endung] : std::vector<std::pair<const char*, const char*>>{
             {"ICO", "ico"}, {"PSD", "psd"}, {"SGI", "sgi"}, {"SUN", "ras"}, {"XPM", "xpm"}, {"XBM", "xbm"},
             {"PPM", "ppm"}, {"PGM", "pgm"}, {"PBM", "pbm"}, {"DCX", "dcx"}, {"XWD", "xwd"}, {"PICT", "pct"},
             {"CALS", "cal"}, {"WEBP", "webp"}}) {
        try {
            q.push_back({QStringLiteral("klein.") + QLatin1String(endung), MagickBytes(v, format)});
        } catch (const std::exception&) {
        }
    }
    // The formats only our own writers write here, and a bilevel IOCA segment.
    QImage farbig(37, 23, QImage::Format_BGR888);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            std::memcpy(farbig.scanLine(y) + 3 * x, std::array<uint8_t, 3>{uint8_t(x * 7), uint8_t(y * 11), uint8_t(x ^ y)}.data(), 3);
    const QImage sw = farbig.convertToFormat(QImage::Format_Mono).convertToFormat(QImage::Format_Indexed8);
    auto eigen = [](const QImage& bild, int speicherId, int steuerung = 0) {
        TGear g;
        g.SetPicture(bild);
        g.SetSaveFormat(speicherId);
        if (steuerung) {
            g.SetControlMode(steuerung);
            g.SetControlValue(1);
        }
        QByteArray d;
        return g.SaveToBytes(d) ? d : QByteArray();
    };
    const QByteArray g3 = eigen(sw, 196634);
    q.push_back({QStringLiteral("klein.iff"), eigen(farbig, 18)});
    q.push_back({QStringLiteral("palette.iff"), eigen(sw, 18)});
    q.push_back({QStringLiteral("klein.clp"), eigen(farbig, 5)});
    q.push_back({QStringLiteral("klein.g3"), g3});
    q.push_back({QStringLiteral("klein.g4"), eigen(sw, 262170)});
    q.push_back({QStringLiteral("klein.brk"), QByteArray(128, '\0') + g3});
    q.push_back({QStringLiteral("verlustfrei.jpg"), eigen(farbig, 21, 1813)});
    QByteArray ioca("\x70\x00\x91\x01\xFF\x94\x09\x00\x07\xD0\x07\xD0\x00\x10\x00\x04\x95\x02\x03\x01\x96\x01\x01"
                    "\xFE\x92\x00\x08",
                    29);
    ioca += QByteArray("\xF0\x0F\x0F\xF0\xAA\x55\x55\xAA\x93\x00\x71\x00", 12);
    q.push_back({QStringLiteral("klein.ica"), ioca});
    for (const char* muster : {"testbild.gif", "testbild.jpg", "testbild.png", "testbild.tif", "dreiseiten.tif",
                               "palette8.png", "mono1.png"})
        q.push_back({QString::fromLatin1(muster), DateiBytes(MusterPfad(QString::fromLatin1(muster)))});
    return q;
}

// Byte ranges that hold a format's sizes and counts: the first bytes of
// every file, the frame header of a JPEG and the first directory of a TIFF.
std::vector<std::pair<int, int>> Kopfbereiche(const QByteArray& d)
{
    std::vector<std::pair<int, int>> b = {{0, std::min<int>(int(d.size()), 64)}};
    const int sof = std::max(d.indexOf("\xff\xc0"), d.indexOf("\xff\xc2"));
    if (sof > 0)
        b.push_back({sof + 2, std::min<int>(int(d.size()), sof + 14)});
    if (d.startsWith("II*") && d.size() >= 8) {
        const auto* u = reinterpret_cast<const uint8_t*>(d.constData());
        const qint64 ifd = u[4] | (u[5] << 8) | (u[6] << 16) | (qint64(u[7]) << 24);
        if (ifd + 2 < d.size()) {
            const int n = u[ifd] | (u[ifd + 1] << 8);
            b.push_back({int(ifd) + 2, int(std::min<qint64>(d.size(), ifd + 2 + 12 * qint64(n)))});
        }
    }
    return b;
}

// The damaged variants of one file.
std::vector<QByteArray> Varianten(const QByteArray& d)
{
    std::vector<QByteArray> v;
    const int n = int(d.size());
    // Truncated: densely through the headers, then spread over the data.
    for (int l = 0; l < std::min(n, 80); l += 3)
        v.push_back(d.left(l));
    for (int k = 1; k < 24; ++k)
        v.push_back(d.left(qint64(n) * k / 24));
    // Bytes flipped, half of them in the first 256 bytes.
    uint32_t z = uint32_t(n) * 2654435761u;
    auto zufall = [&z] { z = z * 1103515245u + 12345u; return z >> 8; };
    for (int k = 0; k < 30; ++k) {
        QByteArray f = d;
        const int anzahl = 1 + int(zufall() % 8);
        for (int j = 0; j < anzahl && n > 0; ++j) {
            const int pos = int(zufall() % uint32_t(j % 2 ? n : std::min(n, 256)));
            f[pos] = char(f[pos] ^ char(1 + zufall() % 255));
        }
        v.push_back(f);
    }
    // Every 16- and 32-bit field of the headers made huge or zero, in both
    // byte orders.
    for (const auto& [von, bis] : Kopfbereiche(d)) {
        for (int i = von; i + 2 <= bis; i += 2) {
            for (const char* wert : {"\xff\xff", "\x00\x00", "\x7f\xff"}) {
                QByteArray f = d;
                f.replace(i, 2, wert, 2);
                v.push_back(f);
            }
            if (i + 4 <= bis) {
                QByteArray f = d;
                f.replace(i, 4, "\xff\xff\xff\x7f", 4);
                v.push_back(f);
            }
        }
    }
    return v;
}

struct TGrenze {
    explicit TGrenze(qint64 bytes) { GearSpeicherGrenzeSetzen(bytes); }
    ~TGrenze() { GearSpeicherGrenzeSetzen(0); }
};

TEST(KaputteDateien, JedeGibtBildOderFehlerbildOhneAbsturzUndRechtzeitig)
{
    // A budget of 256 MB: a declared size beyond it is refused rather than
    // allocated, whatever the machine has.
    const TGrenze grenze(qint64(256) << 20);
    const std::vector<TQuelle> quellen = Quellen();
    ASSERT_GE(quellen.size(), size_t(30));
    const QString ordner = FrischerOrdner(QStringLiteral("kaputt"));
    const QImage fehlerBild = FehlerBild().convertToFormat(QImage::Format_BGR888);
    int dateien = 0, fehlerbilder = 0;
    for (const TQuelle& q : quellen) {
        if (q.daten.isEmpty())
            continue;   // a format this ImageMagick cannot write
        const QString pfad = ordner + QStringLiteral("/v.") + q.name.section(QLatin1Char('.'), -1);
        int nr = 0;
        for (const QByteArray& variante : Varianten(q.daten)) {
            DateiSchreiben(pfad, variante);
            TGear gear;
            QElapsedTimer uhr;
            uhr.start();
            LadeGearBild(gear, pfad);
            for (int s = 2; s <= std::min(gear.PageCount(), 3); ++s)
                gear.SetPage(s);
            const qint64 ms = uhr.elapsed();
            EXPECT_LT(ms, 5000) << q.name.toStdString() << " Variante " << nr;
            ASSERT_GT(gear.ImageWidth(), 0) << q.name.toStdString() << " Variante " << nr;
            ASSERT_GT(gear.ImageHeight(), 0) << q.name.toStdString() << " Variante " << nr;
            if (gear.Picture().convertToFormat(QImage::Format_BGR888) == fehlerBild)
                ++fehlerbilder;
            ++dateien;
            ++nr;
        }
    }
    // The corpus holds both kinds: pictures that survive damage and files
    // that give the error picture.
    EXPECT_GT(fehlerbilder, dateien / 10);
    EXPECT_LT(fehlerbilder, dateien);
}

// ---- Declared sizes beyond the memory ----------------------------------------

void Le16(QByteArray& d, int i, uint32_t v) { d[i] = char(v); d[i + 1] = char(v >> 8); }
void Le32(QByteArray& d, int i, uint32_t v) { for (int k = 0; k < 4; ++k) d[i + k] = char(v >> (8 * k)); }
void Be16(QByteArray& d, int i, uint32_t v) { d[i] = char(v >> 8); d[i + 1] = char(v); }
void Be32(QByteArray& d, int i, uint32_t v) { for (int k = 0; k < 4; ++k) d[i + k] = char(v >> (8 * (3 - k))); }

qint64 BelegterSpeicher()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64(m.uordblks) + qint64(m.hblkhd);
}

TEST(KaputteDateien, RiesigeAngabeWirdInJedemFormatMitMeldungAbgelehnt)
{
    // 12000 x 10000 pixels need at least 120 MB; the machine pretends to
    // have 64 MB. Each file carries enough data for a few rows only.
    constexpr uint32_t W = 12000, H = 10000;
    Magick::Image v(Magick::Geometry(16, 16), Magick::Color("teal"));
    struct TFall { const char* name; QByteArray daten; };
    std::vector<TFall> faelle;

    QByteArray bmp = MagickBytes(v, "BMP3");
    Le32(bmp, 18, W);
    Le32(bmp, 22, H);
    bmp.append(QByteArray(1 << 20, '\x40'));
    faelle.push_back({"gross.bmp", bmp});

    QByteArray tga = MagickBytes(v, "TGA");
    Le16(tga, 12, W);
    Le16(tga, 14, H);
    tga.append(QByteArray(1 << 20, '\x40'));
    faelle.push_back({"gross.tga", tga});

    QByteArray gif = MagickBytes(v, "GIF");
    Le16(gif, 6, W);
    Le16(gif, 8, H);
    // The image descriptor follows the colour table and any extension blocks.
    int i = 13 + ((gif[10] & 0x80) ? 3 << ((gif[10] & 7) + 1) : 0);
    while (i < gif.size() && gif[i] == '!') {
        i += 2;
        while (i < gif.size() && gif[i] != 0)
            i += 1 + uint8_t(gif[i]);
        ++i;
    }
    ASSERT_EQ(gif[i], ',');
    Le16(gif, i + 5, W);
    Le16(gif, i + 7, H);
    faelle.push_back({"gross.gif", gif});

    QByteArray png = MagickBytes(v, "PNG24");
    Be32(png, 16, W);
    Be32(png, 20, H);
    Be32(png, 29, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), 17)));
    faelle.push_back({"gross.png", png});

    QByteArray jpg = MagickBytes(v, "JPEG");
    const int sof = jpg.indexOf("\xff\xc0");
    ASSERT_GT(sof, 0);
    Be16(jpg, sof + 5, H);
    Be16(jpg, sof + 7, W);
    faelle.push_back({"gross.jpg", jpg});

    QByteArray pcx = MagickBytes(v, "PCX");
    Le16(pcx, 8, W - 1);
    Le16(pcx, 10, H - 1);
    faelle.push_back({"gross.pcx", pcx});

    const QString ordner = FrischerOrdner(QStringLiteral("riesig"));
    const TGrenze grenze(qint64(64) << 20);
    for (const TFall& f : faelle) {
        const QString pfad = ordner + QLatin1Char('/') + QLatin1String(f.name);
        DateiSchreiben(pfad, f.daten);
        const qint64 vorher = BelegterSpeicher();
        TGear g;
        g.LoadImage(pfad);
        EXPECT_GT(g.ErrCount(), 0) << f.name;
        // Our own readers that take the size from the header name the memory
        // (a PNG's refusal is not called damage); the others find the data
        // too short before they allocate.
        const QString meldung = g.LetzterFehler();
        const QString name = QString::fromLatin1(f.name);
        if (name.endsWith(QLatin1String(".bmp")) || name.endsWith(QLatin1String(".gif")) || name.endsWith(QLatin1String(".png")))
            EXPECT_TRUE(meldung.startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht: es braucht ")))
                << f.name << ": " << meldung.toStdString();
        else
            EXPECT_TRUE(meldung.contains(QStringLiteral("unvollständig")) || meldung.contains(QStringLiteral("zu wenig Bilddaten"))
                        || meldung.contains(QStringLiteral("insufficient image data")))
                << f.name << ": " << meldung.toStdString();
        // Nothing of the size was kept.
        EXPECT_LT(BelegterSpeicher() - vorher, qint64(16) << 20) << f.name;
    }
}

TEST(KaputteDateien, PsdEbenenMitRiesigenAngabenWerdenAbgelehnt)
{
    // Layers whose declared sizes multiply beyond 64 bits (a fuzzer's find:
    // the memory check's product overflowed, which the sanitizers of the
    // fuzz build report). Refused by the memory check or by ImageMagick's
    // own limits, whichever sees the sizes first.
    const QByteArray psd = QByteArray::fromBase64(
        "OEJQUwABAAAAAAAAAAMAAAAQAAAAGAAIAAMAAAAAAAAAHDhCSU0D7QAAAAAAEAAAAAEAAQABAAAAAQABAAEAAAQRAAAECgABAAAA"
        "REZIU01pbmNoby1XMwADAAAAAAFbAAEAAAEiAAIAAAFKOEJJTW5vcm3/AAEAAAAADAAAAAAAAAAAAkwxAAACeJz7////3/9vBRkY"
        "GRkE3/7/C2EzMDD8xyH+79+/v/9g4v/+QthA8d+/f//681qIkYmJUejN3z9//r4RZmJhZmb+DwI/+IAqGLg/g9gf2EBshvDI5LyS"
        "MmMTa2fPsOVbdh86eaqjc8L0eUsZGJgkFPXcQ+Kzyhpq2yfPW7nt/O3nn/79Z+OR0jCycfaLSMqtaJ0we+n6XQdPX3vw+iuHsKy6"
        "obULWLypd/qiNTsOn7v55P1PoHViysZOQfFZpY09Mxav27H/2Nnrj979DI9Lzc2K9rP3dvYKjIhPy62bve3Kszeff/369ePX3QXp"
        "mtw83NxcnJxsSrHTLr55+frN+fPnL+6dnOWgrQMEuro6DlmT9r97e+XS7t2796ztKwh0dAIDx4CCru3//x/fsf/Y/8sABOtw2P/L"
        "AATrcHFwcHBw2P/LAATrcGjRosWzOsqSo6LBICq5tH3Gnr0LF3UDQUdTTWkRFJRWN3a0tXV3AwAEAL7+AAJ4nPv/Hwr+/n8ryMDI"
        "AAP/cYj/g4G//1DEf//+/QcMfv99I8TIzAQGzMzM/xHgCxcDAoRHJueV1DR3TZw+f0FsfFpuSXVT54Tp85YyMDBJKOpauPhHpRZ1"
        "z1i8bufRC7eff/r3n41HSsPIxj0wJq2wuqln+sI12w6evvbg9VdWQRl1kHh0WkF1a/+MRTBxJnFwcHBwcHBwcHBw2P/LAATr2P/L"
        "AATrcNj/TkEJJbA5aYV1vXPXwMzh1XRLgtq1bPGUtnIgu2vSzPnL9NIW3vn57du3r18+f70xO1GFjcsABOtwcXCdjQXoFmb79Im7"
        "L56/AAKX9k3JdtTR0zUoLjPSDczrXbNnNxjsWdtXEOjobBe0flOoXXJp+6zFi8Bg8ayOsuSo6OjIwqLI6NLqxo5uKOhoqiktAoLc"
        "3KIiAHDjv6oAAnic+/v/rRCD0Jv/b5BJQQbGv7jE/4HF/71BJoHiv36/EmIQfvXnlTCj8Ou/r0WYRF7/eyPCzPL//y9BBoFv/7/y"
        "MvB8+v+Rk4Hj3f+3LAwMYZFx8vI6NV1dHp7hy7dsLS5pvHjv/tx5yxgYmNUNbSxdAjLLGmrbp6zdeeTg6Rsf//1n45FS0bN0C4xO"
        "zq1onTBr0ZrtR87ffPj6Kwu/lLKepbNfREp+dduE2UvX7wKKP37zjYVfWs3I1iMkNiWnuKZj8ryVWw+cvvHix39mLkEJeTU9E9ek"
        "utlrN+86eLeff7tr0sz5y/TSFt75+e3bt69fPn+9MTtRhY2djQXoFmb79L+4xP+Bxf+9QSaB4r9+vxJiEH7155Uwo/Drv69FmERe"
        "/3sjwszy//8vQQaBb/+/8jLwfPr/kZOB493/tywMDGGRcfLyOjVdXR6e4cu3bC0uabx47/7cecsYGJjVDW0sXQIyyxpq26es3Xnk"
        "4OkbH//9Z+ORUtGzdAuMTs6taJ0wa9Ga7f68Ar2hooD9iwOIgnx1+XIEdXtwcIGIhgKGi4uA+P8F/f/tEQAB+ACA+P8F/f/tEQAB"
        "+ACA+P4F/f7tEQAB+ACA/vv7/AWL/ewSAQP7Av4DcHAGcHBwcNiA9v8B9Ar2WmN1h5qj/8sABOtwcHDY+6L/ywAE63BwAaZuAl14"
        "ZID5cgN1e4GIcERG+UuLAJECYYt7dYA=");
    const QString pfad = FrischerOrdner(QStringLiteral("psd")) + QStringLiteral("/ebenen.psd");
    DateiSchreiben(pfad, psd);
    TGear g;
    g.LoadImage(pfad);
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_TRUE(g.LetzterFehler().startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht"))
                || g.LetzterFehler().contains(QStringLiteral("exceeds limit")))
        << g.LetzterFehler().toStdString();
}

TEST(KaputteDateien, PsdEbenenUeberDemSpeicherWerdenVorDemLesenAbgelehnt)
{
    // A 16 x 24 canvas with one layer record whose edges lie 1.8 billion
    // pixels apart (a fuzzer's find: the reader asked for 14 GB for that
    // layer, which the ping of the canvas did not show).
    const QByteArray psd = QByteArray::fromBase64(
        "OEJQUwABAAAAAAAAAAMAAAAQAAAAGAAIAAMAAAAAAAAAHDhCSU0D7QAACAAAEAAIAAEAAQABAAAAAQABAAEAAAQRAAAECgABAAAAAJUC"
        "AAAAAAAQAAAAGAADAAAAAAFbAAEAAAEiAAIAAAFKOEJJTU/LrYA=");
    const QString ordner = FrischerOrdner(QStringLiteral("psdebene"));
    const auto laden = [&](const QString& name, const QByteArray& daten) {
        DateiSchreiben(ordner + QLatin1Char('/') + name, daten);
        TGear g;
        g.LoadImage(ordner + QLatin1Char('/') + name);
        return g.ErrCount() > 0 ? g.LetzterFehler() : QString();
    };
    const qint64 vorher = BelegterSpeicher();
    EXPECT_TRUE(laden(QStringLiteral("breit.psd"), psd).startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")));
    EXPECT_LT(BelegterSpeicher() - vorher, qint64(16) << 20);

    // The same width in a layer mask, and a layer whose edges are swapped,
    // which the reader takes as a size near 2^64.
    QByteArray maske = psd; // the layer record from offset 72 on, cut off after its blend mode
    Be32(maske, 76, 0);     // left
    maske.append(QByteArray::fromHex("ff000000"           // opacity, clipping, flags, filler
                                     "00000020"           // extra data
                                     "00000014"           // mask: top, left, bottom, right, colour, flags
                                     "00000000" "95000000" "00000010" "00000018" "00000000"
                                     "00000000" "00000000")); // blending ranges, name
    EXPECT_TRUE(laden(QStringLiteral("maske.psd"), maske).startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")));
    QByteArray verkehrt = maske;
    Be32(verkehrt, 132, 0); // mask left
    Be32(verkehrt, 76, 24); // left
    Be32(verkehrt, 84, 0);  // right
    EXPECT_TRUE(laden(QStringLiteral("verkehrt.psd"), verkehrt).startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")));

    // A layered file as ImageMagick writes it still loads, with its merged picture.
    Magick::Image hinten(Magick::Geometry(40, 30), Magick::Color("red"));
    Magick::Image ebene(Magick::Geometry(20, 10), Magick::Color("blue"));
    ebene.page(Magick::Geometry(20, 10, 5, 5));
    std::vector<Magick::Image> liste{hinten, hinten, ebene};
    for (Magick::Image& b : liste)
        b.magick("PSD");
    Magick::Blob blob;
    Magick::writeImages(liste.begin(), liste.end(), &blob, true);
    TGear g;
    DateiSchreiben(ordner + QStringLiteral("/ebenen.psd"),
                   QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length())));
    g.LoadImage(ordner + QStringLiteral("/ebenen.psd"));
    EXPECT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.ImageWidth(), 40);
    EXPECT_EQ(g.ImageHeight(), 30);

    // A large-document header of 14,848 x 3.8 million pixels and no data,
    // named as a raw fax file. Pinging it cleared that canvas row by row
    // before the budget could refuse it.
    QElapsedTimer uhr;
    uhr.start();
    EXPECT_TRUE(laden(QStringLiteral("riesig.brk"),
                      QByteArray::fromHex("3842505300020000000000000001003a000000003a000001003a00000000"
                                          "3a28")
                          + QByteArray(26, '\0') + QByteArray("\x2e", 1))
                    .startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")));
    EXPECT_LT(uhr.elapsed(), 5000);
}

// Loads the file under a small budget: it must be refused with the memory
// message, and the process's peak resident size must not grow by twice the
// budget.
void UnterKleinemBudgetMitMeldungAbgelehnt(const QString& name, const QByteArray& daten, int budgetMB = 256)
{
    const QString pfad = FrischerOrdner(QStringLiteral("budget")) + QLatin1Char('/') + name;
    DateiSchreiben(pfad, daten);
    struct rusage vorher {}, nachher {};
    getrusage(RUSAGE_SELF, &vorher);
    TGrenze grenze(qint64(budgetMB) << 20);
    TGear g;
    g.LoadImage(pfad);
    getrusage(RUSAGE_SELF, &nachher);
    ASSERT_GT(g.ErrCount(), 0);
    EXPECT_TRUE(g.LetzterFehler().startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")))
        << g.LetzterFehler().toStdString();
    EXPECT_LT(nachher.ru_maxrss - vorher.ru_maxrss, 2 * budgetMB * 1024); // KB
}

TEST(KaputteDateien, PictPixmapUeberDemSpeicherWirdVorDemLesenAbgelehnt)
{
    // A PICT whose frame is 24 x 16 pixels and whose direct-colour pixmap
    // claims 11,000 x 11,000 (after a fuzzer's find of 29,352 x 18,521: the
    // coder asked for 4.5 GB for the pixmap's rows, which the ping of the
    // frame did not show). This size stays within ImageMagick's own limits.
    const QByteArray pict = QByteArray(512, '\0')
        + QByteArray::fromHex("02000000000000100018001102ff0c00fffe000000000000000000000000000000100018000000000001"
                              "000a0000000000100018009a000000ff806000000000" "2af82af8" "000000040000000000000000000000"
                              "0000100020000300080000000000000000000000000000000000100018000000000010001800403bfe"
                              "ff11fdff");
    UnterKleinemBudgetMitMeldungAbgelehnt(QStringLiteral("pixmap.pct"), pict);
}

TEST(KaputteDateien, GifRahmenUeberDemSpeicherWirdVorDemLesenAbgelehnt)
{
    // A damaged GIF (a fuzzer's find) whose first frame declares 17,920 x
    // 8,759 pixels. Its ping fails, and the read then took 1.5 GB.
    const QByteArray gif = QByteArray::fromHex("474946383948200000000000002c082f312300463722c8450049000000"
                                               "00002c00000000800000000000002c00383961200000000008002c6a00"
                                               "000039000000006a000000397073");
    UnterKleinemBudgetMitMeldungAbgelehnt(QStringLiteral("rahmen.gif"), gif);

    // A 1 x 1 frame whose data ends after one pixel. The reader then scans
    // the rest byte by byte and finds a frame of 16,000 x 1,600 (245 MB of
    // pixel cache) inside a sub-block, where no walk over the blocks sees it.
    const QByteArray versteckt = QByteArray::fromHex("474946383920010001000000002c00000000010001000002024401"
                                                     "0a2c00000000803e400600003b");
    UnterKleinemBudgetMitMeldungAbgelehnt(QStringLiteral("versteckt.gif"), versteckt, 64);
}

TEST(KaputteDateien, ErschoepftesBudgetBeendetDasProgrammNichtInImageMagick)
{
    // ImageMagick ends the process when it gets no memory for its own
    // structures: with the budget used up, a damaged GIF named as a raw fax
    // file (a fuzzer's find) and a sound PCX must still only fail to load.
    const QString ordner = FrischerOrdner(QStringLiteral("budgetleer"));
    DateiSchreiben(ordner + QStringLiteral("/x.brk"),
                   QByteArray::fromBase64("R0lGODnCYQAACgCWCQAs9CIsCiIAATAAAAkAACwAAAL//zhCUFNJIgoK"));
    Magick::Image pcx(Magick::Geometry(64, 48), Magick::Color("green"));
    pcx.write(QString(ordner + QStringLiteral("/gruen.pcx")).toStdString());
    const auto laden = [&](const char* name, qint64 budget) {
        TGrenze grenze(budget);
        TGear g;
        g.LoadImage(ordner + QLatin1String(name));
        return g.ErrCount() > 0 ? g.LetzterFehler() : QString();
    };
    EXPECT_FALSE(laden("/x.brk", qint64(4) << 20).isEmpty());
    EXPECT_TRUE(laden("/gruen.pcx", 1024).startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")));
    EXPECT_EQ(laden("/gruen.pcx", 0), QString());
}

TEST(KaputteDateien, AnteilDesBudgetsBegrenztDasLaden)
{
    // 360,054 bytes of file and 360,000 of picture, with 1 MB available.
    const QString pfad = FrischerOrdner(QStringLiteral("anteil")) + QStringLiteral("/bild.bmp");
    QImage bild(400, 300, QImage::Format_RGB888);
    bild.fill(Qt::darkCyan);
    ASSERT_TRUE(bild.save(pfad, "BMP"));
    TGrenze grenze(qint64(1) << 20);
    TGear g;
    {
        // Work beside other work gets a share, and a load inside it no more.
        const TGearSpeicherRahmen anteil(600 * 1000);
        g.LoadImage(pfad);
        EXPECT_TRUE(GearSpeicherFehler(g.LetzterFehler())) << g.LetzterFehler().toStdString();
    }
    {
        const TGearSpeicherRahmen anteil(900 * 1000);
        g.LoadImage(pfad);
        EXPECT_EQ(g.ErrCount(), 0);
        // What the load took counts against the share once it is done.
        EXPECT_LE(anteil.Rest(), 900 * 1000 - 720054);
    }
    g.LoadImage(pfad);
    EXPECT_EQ(g.ErrCount(), 0);
}

TEST(KaputteDateien, SpeicherMeldungBeiGroessterAngabe)
{
    // The largest count a reader can ask for still gives a sensible message.
    QString fehler;
    EXPECT_FALSE(GearSpeicherNehmen(std::numeric_limits<qint64>::max(), fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("es braucht 8796093022208 MB"))) << fehler.toStdString();

    // So does a buffer whose byte count does not fit in 64 bits (2^62
    // elements of 4 bytes wrapped round to 0 and passed the budget).
    std::vector<uint32_t> puffer;
    fehler.clear();
    EXPECT_FALSE(GearPuffer(puffer, qint64(1) << 62, fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("es braucht 8796093022208 MB"))) << fehler.toStdString();
}

} // namespace
