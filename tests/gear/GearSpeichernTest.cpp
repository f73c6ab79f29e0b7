// Saving through the imaging control: every writable save id, the file's
// signature, the reload, the depth kept, safe replacing, JPEG options and
// pictures larger than ImageMagick's limits.
#include "gear/Gear.h"
#include "TestHilfen.h"
#include "gear/GearBmp.h"
#include "gear/GearCodec.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <functional>

namespace {

QImage Bunt(int w, int h)
{
    QImage b(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uint8_t* z = b.scanLine(y);
        for (int x = 0; x < w; ++x) {
            z[3 * x] = uint8_t(x * 7);
            z[3 * x + 1] = uint8_t(y * 13);
            z[3 * x + 2] = uint8_t((x + y) * 5);
        }
    }
    return b;
}

// An Indexed8 picture with n colours, pixel (x, y) = (x + 2y) mod n.
QImage Palette(int w, int h, int n)
{
    QImage b(w, h, QImage::Format_Indexed8);
    QList<QRgb> t;
    for (int i = 0; i < n; ++i)
        t.append(qRgb((i * 67) % 256, (i * 151 + 40) % 256, (255 - i * 29 % 256)));
    b.setColorTable(t);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.scanLine(y)[x] = uint8_t((x + 2 * y) % n);
    return b;
}

QImage SchwarzWeiss(int w, int h)
{
    QImage b(w, h, QImage::Format_Indexed8);
    b.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.scanLine(y)[x] = uint8_t(((x / 3) + (y / 2)) & 1);
    return b;
}

// The control with this picture at the given depth (1, 4, 8 or 24).
void Vorbereiten(TGear& g, const QImage& bild, int bpp)
{
    g.SetPicture(bild);
    ASSERT_EQ(g.ImageBitsPerPixel(), bpp);
}

QRgb Farbe(const QImage& b, int x, int y) { return b.pixel(x, y) & 0xFFFFFF; }

bool GleicheFarben(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (Farbe(a, x, y) != Farbe(b, x, y))
                return false;
    return true;
}

uint16_t Le16(const QByteArray& d, int i) { return uint16_t(uint8_t(d[i]) | (uint8_t(d[i + 1]) << 8)); }
uint32_t Le32(const QByteArray& d, int i) { return Le16(d, i) | (uint32_t(Le16(d, i + 2)) << 16); }

// Tag 259 of the first directory of a little-endian TIFF, or -1.
int TiffKompression(const QByteArray& d)
{
    if (!d.startsWith(QByteArray("II*\0", 4)))
        return -1;
    const uint32_t ifd = Le32(d, 4);
    const int n = Le16(d, int(ifd));
    for (int i = 0; i < n; ++i) {
        const int e = int(ifd) + 2 + 12 * i;
        if (Le16(d, e) == 259)
            return Le16(d, e + 8);
    }
    return -1;
}

// Index of a JPEG marker FF xx in the header part, or -1.
int Marker(const QByteArray& d, uint8_t m)
{
    for (int i = 2; i + 3 < d.size();) {
        if (uint8_t(d[i]) != 0xFF)
            return -1;
        const uint8_t art = uint8_t(d[i + 1]);
        if (art == m)
            return i;
        if (art == 0xDA)
            return -1;
        i += 2 + ((uint8_t(d[i + 2]) << 8) | uint8_t(d[i + 3]));
    }
    return -1;
}

struct TZeile {
    int id;
    const char* endung;
    int tiefe;                                   // depth the picture is brought to before saving
    std::function<bool(const QByteArray&)> signatur;
    bool lesbar;                                 // can be read back here
    bool verlustfrei;                            // colours come back unchanged
};

bool Beginnt(const QByteArray& d, const char* s, int n) { return d.startsWith(QByteArray(s, n)); }

std::vector<TZeile> Zeilen()
{
    auto tiff = [](int k) { return [k](const QByteArray& d) { return TiffKompression(d) == k; }; };
    return {
        {2, "bmp", 24, [](const QByteArray& d) { return Beginnt(d, "BM", 2) && Le16(d, 28) == 24; }, true, true},
        {458754, "rle", 8, [](const QByteArray& d) { return Beginnt(d, "BM", 2) && Le32(d, 30) == 1 && Le16(d, 28) == 8; }, true, true},
        {4, "cal", 1, [](const QByteArray& d) { return d.contains("rtype: 1"); }, true, true},
        {196634, "g3", 1, [](const QByteArray& d) { return !d.isEmpty(); }, true, true},
        {262170, "g4", 1, [](const QByteArray& d) { return !d.isEmpty(); }, true, true},
        {5, "clp", 24, [](const QByteArray& d) { return Le16(d, 0) == 0xC350 && Le16(d, 4) == 8; }, true, true},
        {18, "iff", 24, [](const QByteArray& d) { return Beginnt(d, "FORM", 4) && d.mid(8, 4) == "ILBM"; }, true, true},
        {8, "dcx", 24, [](const QByteArray& d) { return Beginnt(d, "\xB1\x68\xDE\x3A", 4); }, true, true},
        {14, "gif", 8, [](const QByteArray& d) { return Beginnt(d, "GIF8", 4); }, true, true},
        {21, "jpg", 24, [](const QByteArray& d) { return Beginnt(d, "\xFF\xD8", 2) && Marker(d, 0xC0) > 0; }, true, false},
        {28, "pbm", 1, [](const QByteArray& d) { return Beginnt(d, "P1", 2); }, true, true},
        {65564, "pbm", 1, [](const QByteArray& d) { return Beginnt(d, "P4", 2); }, true, true},
        {30, "pct", 24, [](const QByteArray& d) { return d.size() > 512; }, true, false},
        {31, "pcx", 24, [](const QByteArray& d) { return uint8_t(d[0]) == 0x0A; }, true, true},
        {33, "png", 24, [](const QByteArray& d) { return Beginnt(d, "\x89PNG", 4); }, true, true},
        {36, "psd", 24, [](const QByteArray& d) { return Beginnt(d, "8BPS", 4); }, true, true},
        {37, "ras", 24, [](const QByteArray& d) { return Beginnt(d, "\x59\xA6\x6A\x95", 4); }, true, true},
        {38, "sgi", 4, [](const QByteArray& d) { return Beginnt(d, "\x01\xDA", 2); }, true, true},
        {39, "tga", 24, [](const QByteArray& d) { return d.size() > 18; }, true, true},
        {524328, "tif", 24, tiff(5), true, true},
        {40, "tif", 24, tiff(1), true, true},
        {393256, "tif", 24, tiff(7), true, false},
        {131112, "tif", 1, tiff(2), true, true},
        {196648, "tif", 1, tiff(3), true, true},
        {327720, "tif", 1, tiff(3), true, true},
        {262184, "tif", 1, tiff(4), true, true},
        {65576, "tif", 1, tiff(32773), true, true},
        {43, "xbm", 1, [](const QByteArray& d) { return d.startsWith("#define"); }, true, true},
        {45, "xpm", 24, [](const QByteArray& d) { return d.startsWith("/* XPM */"); }, true, true},
        {47, "xwd", 24, [](const QByteArray& d) { return d.size() > 8 && d.mid(4, 4) == QByteArray("\0\0\0\x07", 4); }, true, true},
    };
}

QImage BildFuerTiefe(int tiefe)
{
    switch (tiefe) {
    case 1: return SchwarzWeiss(37, 23);
    case 4: return Palette(37, 23, 12);
    case 8: return Palette(37, 23, 100);
    default: return Bunt(37, 23);
    }
}

class SpeichernJeKennung : public ::testing::TestWithParam<TZeile> {};

TEST_P(SpeichernJeKennung, SchreibtSignaturUndLaedtZurueck)
{
    const TZeile z = GetParam();
    const QString ordner = FrischerOrdner(QStringLiteral("kennung"));
    const QString pfad = ordner + QStringLiteral("/bild.") + QLatin1String(z.endung);
    const QImage original = BildFuerTiefe(z.tiefe);
    TGear g;
    Vorbereiten(g, original, z.tiefe);
    g.SetSaveFormat(z.id);
    g.SaveImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << z.id << ": " << g.LetzterFehler().toStdString();
    const QByteArray daten = DateiBytes(pfad);
    ASSERT_FALSE(daten.isEmpty());
    EXPECT_TRUE(z.signatur(daten)) << "Kennung " << z.id;
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files).size(), 1) << "keine Reste der temporären Datei";
    if (!z.lesbar)
        return;
    TGear l;
    l.LoadImage(pfad);
    ASSERT_EQ(l.ErrCount(), 0) << z.id << ": " << l.LetzterFehler().toStdString();
    if (z.id == 262170 && l.ImageWidth() == 1728) {
        // Raw G4 data stores no width; where its rows end in black the same
        // bits are as valid at the fax width, which is then taken.
        EXPECT_EQ(l.ImageHeight(), original.height());
        return;
    }
    EXPECT_EQ(l.ImageWidth(), original.width()) << z.id;
    EXPECT_EQ(l.ImageHeight(), original.height()) << z.id;
    if (z.verlustfrei) {
        EXPECT_TRUE(GleicheFarben(l.Picture(), original)) << "Kennung " << z.id;
    }
}

INSTANTIATE_TEST_SUITE_P(Alle, SpeichernJeKennung, ::testing::ValuesIn(Zeilen()),
                         [](const ::testing::TestParamInfo<TZeile>& i) { return "Id" + std::to_string(i.param.id); });

TEST(GearSpeichern, KennungenOhneKodiererSchlagenSichtbarFehl)
{
    const QString ordner = FrischerOrdner(QStringLiteral("ohne"));
    for (int id : {327683, 99}) {
        EXPECT_FALSE(GearKannSchreiben(id));
        TGear g;
        g.SetPicture(Bunt(8, 8));
        g.SetSaveFormat(id);
        const QString pfad = ordner + QStringLiteral("/x") + QString::number(id);
        g.SaveImage(pfad);
        EXPECT_GT(g.ErrCount(), 0);
        EXPECT_TRUE(g.LetzterFehler().contains(QStringLiteral("kann nicht geschrieben werden")));
        EXPECT_FALSE(QFile::exists(pfad));
    }
}

TEST(GearSpeichern, DreissigKennungenSindSchreibbar)
{
    int n = 0;
    for (const TZeile& z : Zeilen())
        n += GearKannSchreiben(z.id);
    EXPECT_EQ(n, 30);
}

TEST(GearSpeichern, FehlgeschlagenLaesstOriginal)
{
    const QString pfad = FrischerOrdner(QStringLiteral("alt")) + QStringLiteral("/bild.brk");
    DateiSchreiben(pfad, "alter Inhalt");
    TGear g;
    g.SetPicture(Bunt(8, 8));
    g.SetSaveFormat(327683);
    g.SaveImage(pfad);
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_EQ(DateiBytes(pfad), QByteArray("alter Inhalt"));
}

TEST(GearSpeichern, SchreibgeschuetzteDateiBleibt)
{
    const QString pfad = FrischerOrdner(QStringLiteral("nurlesen")) + QStringLiteral("/bild.bmp");
    DateiSchreiben(pfad, "geschützt");
    QFile::setPermissions(pfad, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    TGear g;
    g.SetPicture(Bunt(8, 8));
    g.SaveImage(pfad);
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_EQ(DateiBytes(pfad), QByteArray("geschützt"));
}

TEST(GearSpeichern, OhneBildSchlaegtFehl)
{
    const QString pfad = FrischerOrdner(QStringLiteral("leer")) + QStringLiteral("/bild.bmp");
    TGear g;
    g.SaveImage(pfad);
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_FALSE(QFile::exists(pfad));
}

TEST(GearSpeichern, FehlenderOrdnerGibtFehler)
{
    TGear g;
    g.SetPicture(Bunt(8, 8));
    g.SaveImage(FrischerOrdner(QStringLiteral("weg")) + QStringLiteral("/gibtesnicht/bild.bmp"));
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_FALSE(g.LetzterFehler().isEmpty());
}

TEST(GearSpeichern, UeberschreibtVorhandeneDatei)
{
    const QString ordner = FrischerOrdner(QStringLiteral("neu"));
    const QString pfad = ordner + QStringLiteral("/bild.bmp");
    DateiSchreiben(pfad, "alt");
    TGear g;
    g.SetPicture(Bunt(9, 5));
    g.SaveImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0);
    EXPECT_TRUE(DateiBytes(pfad).startsWith("BM"));
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files).size(), 1);
}

TEST(GearSpeichern, NeueDateiFolgtDerUmask)
{
    const QString pfad = FrischerOrdner(QStringLiteral("rechte")) + QStringLiteral("/bild.bmp");
    TGear g;
    g.SetPicture(Bunt(4, 4));
    g.SaveImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0);
    EXPECT_TRUE(QFile::permissions(pfad) & QFileDevice::ReadGroup);
}

// ---- Depth kept through BMP ------------------------------------------------

int BmpBits(const QByteArray& d) { return Le16(d, 28); }

TEST(GearSpeichern, AchtBitMitZweiFarbenBleibtAchtBit)
{
    TGear g;
    g.SetPicture(Palette(10, 6, 2));
    ASSERT_EQ(g.ImageBitsPerPixel(), 1);
    // An 8-bit page with two colours, as after expanding a 1-bit image.
    TGearSeite s;
    s.bild = Palette(10, 6, 2);
    s.bpp = 8;
    QByteArray d;
    QString fehler;
    ASSERT_TRUE(BmpKodieren(s, false, d, fehler));
    EXPECT_EQ(BmpBits(d), 8);
    EXPECT_EQ(Le32(d, 46), 256u);
    const QString pfad = FrischerOrdner(QStringLiteral("tiefe")) + QStringLiteral("/acht.bmp");
    DateiSchreiben(pfad, d);
    g.LoadImage(pfad);
    EXPECT_EQ(g.ImageBitsPerPixel(), 8);
    g.SetSaveFormat(2);
    g.SaveImage(pfad);
    EXPECT_EQ(BmpBits(DateiBytes(pfad)), 8);
}

TEST(GearSpeichern, EinUndVierBitBleibenImBmp)
{
    const QString ordner = FrischerOrdner(QStringLiteral("tiefe14"));
    for (int tiefe : {1, 4}) {
        TGear g;
        g.SetPicture(tiefe == 1 ? SchwarzWeiss(13, 7) : Palette(13, 7, 9));
        const QString pfad = ordner + QStringLiteral("/b%1.bmp").arg(tiefe);
        g.SaveImage(pfad);
        EXPECT_EQ(BmpBits(DateiBytes(pfad)), tiefe);
        TGear l;
        l.LoadImage(pfad);
        EXPECT_EQ(l.ImageBitsPerPixel(), tiefe);
        EXPECT_TRUE(GleicheFarben(l.Picture(), g.Picture()));
    }
}

TEST(GearSpeichern, RleVierBitLiestQtGenauso)
{
    TGearSeite s;
    s.bild = Palette(41, 9, 11);
    s.bpp = 4;
    // Runs and literals mixed.
    for (int x = 5; x < 30; ++x)
        s.bild.scanLine(3)[x] = 7;
    QByteArray d;
    QString fehler;
    ASSERT_TRUE(BmpKodieren(s, true, d, fehler));
    EXPECT_EQ(Le32(d, 30), 2u);
    const QImage qt = QImage::fromData(d, "BMP");
    ASSERT_FALSE(qt.isNull());
    EXPECT_TRUE(GleicheFarben(qt, s.bild));
}

TEST(GearSpeichern, RleAchtBitLiestQtGenauso)
{
    TGearSeite s;
    s.bild = Palette(300, 5, 200);
    s.bpp = 8;
    for (int x = 0; x < 290; ++x)
        s.bild.scanLine(1)[x] = 3;
    QByteArray d;
    QString fehler;
    ASSERT_TRUE(BmpKodieren(s, true, d, fehler));
    EXPECT_EQ(Le32(d, 30), 1u);
    const QImage qt = QImage::fromData(d, "BMP");
    ASSERT_FALSE(qt.isNull());
    EXPECT_TRUE(GleicheFarben(qt, s.bild));
}

TEST(GearSpeichern, Bmp24LiestQtGenauso)
{
    TGear g;
    g.SetPicture(Bunt(31, 17));
    QByteArray d;
    ASSERT_TRUE(g.SaveToBytes(d));
    EXPECT_TRUE(GleicheFarben(QImage::fromData(d, "BMP"), Bunt(31, 17)));
}

TEST(GearSpeichern, BmpLesen24ErweitertPalette)
{
    TGear g;
    g.SetPicture(Palette(11, 4, 5));
    QByteArray d;
    ASSERT_TRUE(g.SaveToBytes(d));
    QImage bild;
    QString fehler;
    ASSERT_TRUE(BmpLesen24(d, bild, fehler));
    EXPECT_EQ(bild.format(), QImage::Format_BGR888);
    EXPECT_TRUE(GleicheFarben(bild, Palette(11, 4, 5)));
}

// ---- GIF and PNG depths ----------------------------------------------------

TEST(GearSpeichern, GifUndPngBehaltenDieTiefe)
{
    const QString ordner = FrischerOrdner(QStringLiteral("gifpng"));
    for (int id : {14, 33}) {
        for (int tiefe : {1, 4, 8}) {
            TGearSeite s;
            s.bild = tiefe == 1 ? SchwarzWeiss(9, 9) : Palette(9, 9, tiefe == 4 ? 5 : 3);
            s.bpp = tiefe;
            QByteArray d;
            QString fehler;
            ASSERT_TRUE(GearKodieren(s, id, {}, d, fehler)) << fehler.toStdString();
            const QString pfad = ordner + QStringLiteral("/b%1.%2").arg(tiefe).arg(id == 14 ? "gif" : "png");
            DateiSchreiben(pfad, d);
            TGear l;
            l.LoadImage(pfad);
            EXPECT_EQ(l.ImageBitsPerPixel(), tiefe) << id;
            EXPECT_TRUE(GleicheFarben(l.Picture(), s.bild)) << id;
        }
    }
}

TEST(GearSpeichern, GifAusWenigFarbenOhneVerlust)
{
    // A 24-bit page with few colours gets its exact palette.
    QImage b(6, 4, QImage::Format_BGR888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            b.setPixel(x, y, (x + y) % 3 == 0 ? qRgb(200, 10, 10) : qRgb(5, 90, 250));
    TGear g;
    g.SetPicture(b);
    g.SetSaveFormat(14);
    QByteArray d;
    ASSERT_TRUE(g.SaveToBytes(d));
    EXPECT_TRUE(GleicheFarben(QImage::fromData(d, "GIF"), b));
}

TEST(GearSpeichern, PalettenformateAusVollfarbbild)
{
    // More than 256 colours: GIF and RLE get an octree palette of 8 bits.
    const QString ordner = FrischerOrdner(QStringLiteral("octree"));
    for (int id : {14, 458754}) {
        TGear g;
        g.SetPicture(Bunt(64, 48));
        g.SetSaveFormat(id);
        const QString pfad = ordner + (id == 14 ? QStringLiteral("/v.gif") : QStringLiteral("/v.rle"));
        g.SaveImage(pfad);
        ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
        EXPECT_EQ(g.ImageBitsPerPixel(), 24);   // the control's own picture is untouched
        TGear l;
        l.LoadImage(pfad);
        ASSERT_EQ(l.ErrCount(), 0);
        EXPECT_EQ(l.ImageBitsPerPixel(), 8);
        EXPECT_EQ(l.ImageWidth(), 64);
    }
}

// ---- JPEG options --------------------------------------------------------

QByteArray JpegMit(int typ, int qualitaet, const QImage& bild)
{
    TGear g;
    g.SetPicture(bild);
    g.SetSaveFormat(21);
    g.SetControlMode(1813);
    g.SetControlValue(typ);
    g.SetControlMode(277);
    g.SetControlValue(qualitaet);
    g.SetControlMode(533);
    g.SetControlValue(0);
    QByteArray d;
    EXPECT_TRUE(g.SaveToBytes(d));
    return d;
}

TEST(GearSpeichern, JpegProgressivHatSof2)
{
    const QByteArray d = JpegMit(2, 75, Bunt(40, 30));
    EXPECT_GT(Marker(d, 0xC2), 0);
    EXPECT_EQ(Marker(d, 0xC0), -1);
}

TEST(GearSpeichern, JpegStandardHatSof0)
{
    const QByteArray d = JpegMit(0, 75, Bunt(40, 30));
    EXPECT_GT(Marker(d, 0xC0), 0);
    EXPECT_EQ(Marker(d, 0xC2), -1);
}

TEST(GearSpeichern, JpegQualitaetWirkt)
{
    EXPECT_LT(JpegMit(0, 10, Bunt(64, 64)).size(), JpegMit(0, 95, Bunt(64, 64)).size());
}

TEST(GearSpeichern, JpegVerlustfreiIstSof3UndPixelgenau)
{
    const QImage bunt = Bunt(40, 30);
    const QByteArray d = JpegMit(1, 20, bunt);
    const int sof = Marker(d, 0xC3);
    ASSERT_GT(sof, 0);
    EXPECT_EQ(uint8_t(d[sof + 4]), 8);    // 8 bits per sample
    EXPECT_EQ(uint8_t(d[sof + 9]), 3);    // three components
    EXPECT_EQ(Marker(d, 0xDB), -1);       // no quantisation
    const QString pfad = FrischerOrdner(QStringLiteral("ljpeg")) + QStringLiteral("/v.jpg");
    DateiSchreiben(pfad, d);
    TGear l;
    l.LoadImage(pfad);
    ASSERT_EQ(l.ErrCount(), 0) << l.LetzterFehler().toStdString();
    EXPECT_EQ(l.ImageBitsPerPixel(), 24);
    EXPECT_TRUE(GleicheFarben(l.Picture(), bunt));
}

TEST(GearSpeichern, GrauesBildWirdGrauesJpeg)
{
    QImage grau(20, 10, QImage::Format_Grayscale8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            grau.scanLine(y)[x] = uint8_t(x * 12);
    TGear g;
    g.SetPicture(grau);
    ASSERT_EQ(g.ImageBitsPerPixel(), 8);
    g.SetSaveFormat(21);
    const QString pfad = FrischerOrdner(QStringLiteral("grau")) + QStringLiteral("/g.jpg");
    g.SaveImage(pfad);
    TGear l;
    l.LoadImage(pfad);
    ASSERT_EQ(l.ErrCount(), 0) << l.LetzterFehler().toStdString();
    EXPECT_EQ(l.ImageBitsPerPixel(), 8);
}

// ---- Beyond ImageMagick's limits ------------------------------------------

TEST(GearSpeichern, PanoramaJpegUndBmpOhneMagickGrenzen)
{
    const QString ordner = FrischerOrdner(QStringLiteral("panorama"));
    const QImage gross = Bunt(20000, 1200);
    for (int id : {21, 2}) {
        TGear g;
        g.SetPicture(gross);
        g.SetSaveFormat(id);
        const QString pfad = ordner + (id == 21 ? QStringLiteral("/p.jpg") : QStringLiteral("/p.bmp"));
        g.SaveImage(pfad);
        ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
        TGear l;
        l.LoadImage(pfad);
        ASSERT_EQ(l.ErrCount(), 0) << l.LetzterFehler().toStdString();
        EXPECT_EQ(l.ImageWidth(), 20000);
        EXPECT_EQ(l.ImageHeight(), 1200);
        if (id == 2) {
            EXPECT_TRUE(l.Picture() == gross);
        }
    }
}

// ---- Independent readers ----------------------------------------------------

TEST(GearSpeichern, IdentifyLiestTiffFaxVarianten)
{
    if (QProcess::execute(QStringLiteral("identify"), {QStringLiteral("-version")}) != 0)
        GTEST_SKIP() << "identify fehlt";
    const QString ordner = FrischerOrdner(QStringLiteral("identify"));
    for (int id : {131112, 196648, 327720, 262184, 393256}) {
        TGear g;
        g.SetPicture(id == 393256 ? Bunt(33, 21) : SchwarzWeiss(33, 21));
        g.SetSaveFormat(id);
        const QString pfad = ordner + QStringLiteral("/f%1.tif").arg(id);
        g.SaveImage(pfad);
        ASSERT_EQ(g.ErrCount(), 0);
        QProcess p;
        p.start(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), pfad});
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.readAllStandardOutput().trimmed(), QByteArray("33 21")) << id;
    }
}

} // namespace
