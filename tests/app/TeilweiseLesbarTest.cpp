// Damaged files that can still be read in part: what decodes is shown, the
// rows never reached in the background colour, and the status bar says that
// the file is damaged.
#include <gtest/gtest.h>
#include <QFileInfo>
#include <QLabel>
#include <tiffio.h>
#include "Einstellungen.h"
#include "Global.h"
#include "KameraJpeg.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "gear/GearHilfen.h"

namespace {

class TeilweiseLesbarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        ordner = FrischerOrdner(QStringLiteral("teilweise"));
        BildBearbeitet = false;
        alteFarbe = HgFarbe;
        HgFarbe = 30 | (160 << 8) | (90 << 16);   // a colour no picture here has
    }
    void TearDown() override { HgFarbe = alteFarbe; }

    QString Datei(const QString& name, const QByteArray& daten)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        DateiSchreiben(pfad, daten);
        return pfad;
    }
    // Shows the file as the main window does and returns the picture shown.
    QImage Anzeigen(const QString& pfad)
    {
        TMeldungsFaenger still;
        BildListe = {pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        EXPECT_EQ(BildQuelle, BildQuelleDatei);
        return f->OriginalBild.Bild().convertToFormat(QImage::Format_RGB32);
    }
    QString DateiPanel() const { return f->StatusPanel[5]->text(); }

    static bool ZeileIn(const QImage& bild, int y, QRgb farbe)
    {
        const auto* z = reinterpret_cast<const QRgb*>(bild.constScanLine(y));
        for (int x = 0; x < bild.width(); ++x)
            if ((z[x] & 0xFFFFFF) != (farbe & 0xFFFFFF))
                return false;
        return true;
    }
    static bool ZeileGleich(const QImage& a, const QImage& b, int y)
    {
        return std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) == 0;
    }
    // The first row from which on every row is the background; the height
    // when the last row is not.
    static int HintergrundAb(const QImage& bild)
    {
        int y = bild.height();
        while (y > 0 && ZeileIn(bild, y - 1, HgFarbeRgb()))
            --y;
        return y;
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
    int alteFarbe = 0;
};

// A TIFF of 64 x 64 pixels, Deflate, in strips of 8 rows or tiles of 16 x 16;
// the data of strip or tile nummer replaced by bytes that do not inflate.
QByteArray TiffMitKaputtemTeil(const QString& pfad, const QImage& bild, bool kacheln, bool grau, int nummer,
                               uint16_t orientierung = ORIENTATION_TOPLEFT)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(pfad).constData(), "w");
    if (!tif)
        return {};
    const int w = bild.width(), h = bild.height(), spp = grau ? 1 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(spp));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, grau ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, orientierung);
    auto probe = [&](int x, int y, uint8_t* z) {
        const QRgb c = bild.pixel(x, y);
        if (grau) {
            z[0] = uint8_t(qRed(c));
        } else {
            z[0] = uint8_t(qRed(c));
            z[1] = uint8_t(qGreen(c));
            z[2] = uint8_t(qBlue(c));
        }
    };
    if (kacheln) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, uint32_t(16));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, uint32_t(16));
        std::vector<uint8_t> kachel(size_t(16 * 16 * spp));
        for (int ty = 0; ty < h; ty += 16)
            for (int tx = 0; tx < w; tx += 16) {
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        probe(tx + x, ty + y, &kachel[size_t((y * 16 + x) * spp)]);
                TIFFWriteTile(tif, kachel.data(), uint32_t(tx), uint32_t(ty), 0, 0);
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(8));
        std::vector<uint8_t> zeile(size_t(w * spp));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                probe(x, y, &zeile[size_t(x * spp)]);
            TIFFWriteScanline(tif, zeile.data(), uint32_t(y), 0);
        }
    }
    TIFFClose(tif);
    tif = TIFFOpen(QFile::encodeName(pfad).constData(), "r");
    uint64_t* lagen = nullptr;
    uint64_t* groessen = nullptr;
    TIFFGetField(tif, kacheln ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, &lagen);
    TIFFGetField(tif, kacheln ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &groessen);
    const qsizetype lage = qsizetype(lagen[nummer]), groesse = qsizetype(groessen[nummer]);
    TIFFClose(tif);
    QByteArray d = DateiBytes(pfad);
    d.replace(lage, groesse, QByteArray(groesse, char(0xFF)));
    return d;
}

} // namespace

TEST_F(TeilweiseLesbarTest, Jpeg_FremdeBytesVorEinemMarkerZeigenDasBild)
{
    const QByteArray kamera = KameraJpeg(ordner, 320, 240);
    const QImage ganz = Anzeigen(Datei(QStringLiteral("ganz.jpg"), kamera));
    ASSERT_EQ(ganz.size(), QSize(320, 240));
    EXPECT_EQ(DateiPanel(), QStringLiteral("ganz.jpg"));

    // "Corrupt JPEG data: 2 extraneous bytes before marker 0xe1"
    QByteArray kaputt = kamera;
    const qsizetype app1 = JpegSegment(kaputt, 0xE1);
    ASSERT_GT(app1, 2);
    kaputt.insert(app1, "\x12\x34", 2);
    const QImage gezeigt = Anzeigen(Datei(QStringLiteral("fremd.jpg"), kaputt));
    EXPECT_TRUE(gezeigt == ganz);
    EXPECT_EQ(DateiPanel(), QStringLiteral("fremd.jpg (beschädigt)"));
}

TEST_F(TeilweiseLesbarTest, Jpeg_NachDreiViertelnDerBilddatenAbgeschnitten)
{
    const QByteArray kamera = KameraJpeg(ordner, 320, 240);
    const QImage ganz = Anzeigen(Datei(QStringLiteral("ganz.jpg"), kamera));
    const qsizetype anfang = JpegScanAnfang(kamera), ende = kamera.lastIndexOf("\xFF\xD9");
    ASSERT_GT(anfang, 0);
    ASSERT_GT(ende, anfang);
    const QImage gezeigt = Anzeigen(Datei(QStringLiteral("halb.jpg"), kamera.left(anfang + (ende - anfang) * 3 / 4)));
    ASSERT_EQ(gezeigt.size(), QSize(320, 240));
    // The rows decoded, then nothing but the background down to the bottom.
    const int ab = HintergrundAb(gezeigt);
    EXPECT_GE(ab, 240 / 2);
    EXPECT_LT(ab, 240);
    // The last row above the cut takes its colour half from the row below.
    int gleich = 0;
    while (gleich < ab && ZeileGleich(gezeigt, ganz, gleich))
        ++gleich;
    EXPECT_GE(gleich, ab - 1);
    EXPECT_EQ(DateiPanel(), QStringLiteral("halb.jpg (beschädigt)"));
}

TEST_F(TeilweiseLesbarTest, Tiff_KaputterStreifenZeigtDieZeilenDavor)
{
    const QImage motiv = KameraMotiv(64, 64);
    for (const bool grau : {false, true}) {
        const QString pfad = ordner + (grau ? QStringLiteral("/grau.tif") : QStringLiteral("/bunt.tif"));
        // Strip 3 holds rows 24 to 31.
        DateiSchreiben(pfad, TiffMitKaputtemTeil(pfad, motiv, false, grau, 3));
        const QImage gezeigt = Anzeigen(pfad);
        ASSERT_EQ(gezeigt.size(), QSize(64, 64)) << grau;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb c = motiv.pixel(x, y);
                ASSERT_EQ(gezeigt.pixel(x, y) & 0xFFFFFF, (grau ? qRgb(qRed(c), qRed(c), qRed(c)) : c) & 0xFFFFFF)
                    << grau << " " << x << "," << y;
            }
        EXPECT_EQ(HintergrundAb(gezeigt), 24) << grau;
        EXPECT_EQ(DateiPanel(), QFileInfo(pfad).fileName() + QStringLiteral(" (beschädigt)"));
    }
}

TEST_F(TeilweiseLesbarTest, Tiff_KaputteKachelZeigtDieKachelreihenDavor)
{
    const QImage motiv = KameraMotiv(64, 64);
    const QString pfad = ordner + QStringLiteral("/kacheln.tif");
    // Tile 9: the second of the third row of tiles (rows 32 to 47).
    DateiSchreiben(pfad, TiffMitKaputtemTeil(pfad, motiv, true, false, 9));
    const QImage gezeigt = Anzeigen(pfad);
    ASSERT_EQ(gezeigt.size(), QSize(64, 64));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(gezeigt.pixel(x, y) & 0xFFFFFF, motiv.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    EXPECT_EQ(HintergrundAb(gezeigt), 32);
    EXPECT_EQ(DateiPanel(), QStringLiteral("kacheln.tif (beschädigt)"));
}

TEST_F(TeilweiseLesbarTest, Tiff_GedrehtGespeichertDieLueckeDrehtMit)
{
    // Stored as a camera held on its side saves it: the stored rows are the
    // shown columns from the right, so the rows never read are the left.
    const QImage motiv = KameraMotiv(64, 48);
    const QString pfad = ordner + QStringLiteral("/hochkant.tif");
    DateiSchreiben(pfad, TiffMitKaputtemTeil(pfad, motiv, false, false, 3, ORIENTATION_RIGHTTOP));
    const QImage gezeigt = Anzeigen(pfad);
    ASSERT_EQ(gezeigt.size(), QSize(48, 64));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 48; ++x) {
            const QRgb erwartet = x < 48 - 24 ? HgFarbeRgb() : motiv.pixel(y, 47 - x);
            ASSERT_EQ(gezeigt.pixel(x, y) & 0xFFFFFF, erwartet & 0xFFFFFF) << x << "," << y;
        }
    EXPECT_EQ(DateiPanel(), QStringLiteral("hochkant.tif (beschädigt)"));
}

TEST_F(TeilweiseLesbarTest, Luecke_PaletteNimmtDieHintergrundfarbeAuf)
{
    // A two-colour page keeps its colours and takes the background as a
    // third one; a full grey ramp has no room and turns to 24 bits.
    QImage zwei(8, 8, QImage::Format_Indexed8);
    zwei.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    zwei.fill(1);
    TGearSeite seite{zwei, 1};
    seite.luecke = QRect(0, 5, 8, 3);
    ASSERT_TRUE(GearLueckeFuellen(seite, HgFarbeRgb()));
    EXPECT_EQ(seite.bpp, 4);
    EXPECT_EQ(seite.bild.pixel(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(seite.bild.pixel(3, 5), HgFarbeRgb() | 0xFF000000u);
    EXPECT_TRUE(seite.luecke.isEmpty());

    QImage grau(8, 8, QImage::Format_Indexed8);
    grau.setColorTable(GearGrauPalette(256));
    grau.fill(200);
    TGearSeite voll{grau, 8};
    voll.luecke = QRect(0, 6, 8, 2);
    ASSERT_TRUE(GearLueckeFuellen(voll, HgFarbeRgb()));
    EXPECT_EQ(voll.bpp, 24);
    EXPECT_EQ(voll.bild.pixel(0, 5), qRgb(200, 200, 200));
    EXPECT_EQ(voll.bild.pixel(7, 7), HgFarbeRgb() | 0xFF000000u);
}
