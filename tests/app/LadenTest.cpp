// Loading a file into the imaging control, the transfer into the working
// bitmap and the colour depth fitted before saving.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <gtest/gtest.h>
#include <exiv2/exiv2.hpp>
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "gear/GearBmp.h"
#include "pixelops/Bitmap.h"
#include "Testnaht.h"

namespace {

QByteArray Kodiert(const QImage& bild, const char* format)
{
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, format);
    return daten;
}

QImage Verlauf(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_RGB888);
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x)
            bild.setPixel(x, y, qRgb((x * 255) / qMax(1, breite - 1), (y * 255) / qMax(1, hoehe - 1), (x * y) & 0xFF));
    return bild;
}

// A JPEG with a comment segment right after the start marker.
QByteArray JpegMitKommentar(const QByteArray& kommentar)
{
    QByteArray jpeg = Kodiert(Verlauf(16, 16), "JPG");
    const int laenge = int(kommentar.size()) + 2;
    QByteArray segment("\xFF\xFE", 2);
    segment.append(char(laenge >> 8)).append(char(laenge & 0xFF)).append(kommentar);
    jpeg.insert(2, segment);
    return jpeg;
}

bool IstFehlerBild(const TGear& gear)
{
    const QImage bild = gear.Picture();
    return !bild.isNull() && bild.convertToFormat(QImage::Format_BGR888) == FehlerBild();
}

// A 16- or 32-bit bitmap whose pixels carry alpha, bottom-up. kopf is the
// info header's size (56, 108, 124; or 40, with the masks after it), art its
// compression (0 BI_RGB, 3 BI_BITFIELDS, 6 BI_ALPHABITFIELDS); alphaMaske 0
// writes the same pixels without declaring their alpha.
QByteArray BmpMitAlpha(const QImage& argb, int kopf, uint32_t art, int bits = 32, bool alphaMaske = true)
{
    const int w = argb.width(), h = argb.height();
    const uint32_t masken[4] = {bits == 32 ? 0x00FF0000u : 0x7C00u, bits == 32 ? 0x0000FF00u : 0x03E0u,
                                bits == 32 ? 0x000000FFu : 0x001Fu,
                                alphaMaske ? (bits == 32 ? 0xFF000000u : 0x8000u) : 0u};
    const int nachKopf = kopf == 40 ? (art == 6 ? 16 : art == 3 ? 12 : 0) : 0;
    const int stride = ((w * bits + 31) / 32) * 4;
    const int ab = 14 + kopf + nachKopf;
    QByteArray d(ab + stride * h, '\0');
    auto le = [&](int i, uint32_t v, int n) {
        for (int k = 0; k < n; ++k)
            d[i + k] = char(v >> (8 * k));
    };
    d[0] = 'B';
    d[1] = 'M';
    le(2, uint32_t(d.size()), 4);
    le(10, uint32_t(ab), 4);
    le(14, uint32_t(kopf), 4);
    le(18, uint32_t(w), 4);
    le(22, uint32_t(h), 4);
    le(26, 1, 2);
    le(28, uint32_t(bits), 2);
    le(30, art, 4);
    le(34, uint32_t(stride * h), 4);
    const int maskenAb = kopf == 40 ? 54 : 14 + 40;
    const int maskenZahl = kopf == 40 ? nachKopf / 4 : (kopf >= 56 ? 4 : 3);
    for (int k = 0; k < maskenZahl; ++k)
        le(maskenAb + 4 * k, masken[k], 4);
    if (kopf >= 108)
        le(14 + 56, 0x73524742, 4);   // sRGB
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = argb.pixel(x, y);
            const int i = ab + stride * (h - 1 - y) + x * bits / 8;
            if (bits == 32)
                le(i, (uint32_t(qAlpha(c)) << 24) | (c & 0xFFFFFF), 4);
            else
                le(i, (qAlpha(c) >= 128 ? 0x8000u : 0u) | ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3), 2);
        }
    return d;
}

std::string Farbe(const QImage& bild, int x, int y)
{
    return QColor(bild.pixel(x, y)).name().toStdString();
}

// Left half transparent black, right half opaque red above a soft black
// shadow of alpha 128.
QImage BildMitSchatten()
{
    QImage bild(8, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            bild.setPixel(x, y, x < 4 ? qRgba(0, 0, 0, 0) : y < 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 0, 128));
    return bild;
}

class LadenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ordner = FrischerOrdner(QStringLiteral("laden"));
        AktKommentar.clear();
        AktDateiDatum = QDateTime();
    }
    QString Datei(const QString& name, const QByteArray& daten)
    {
        const QString pfad = m_ordner + QLatin1Char('/') + name;
        DateiSchreiben(pfad, daten);
        return pfad;
    }

    QString m_ordner;
    TGear m_gear;
};

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override { TempNamenAnlegen(); }
    void TearDown() override
    {
        TempAufraeumen();
        QDir(TempOrdnerPfad()).removeRecursively();
        TempVerzeichnis.clear();
        RueckgaengigPrefix.clear();
        TempBitmapDatei.clear();
        TempOptiDatei.clear();
    }
    TGear m_gear;
};

}  // namespace

// ---- LadeGearBild ---------------------------------------------------------

TEST_F(LadenTest, Laden_GutesPngMitDatum)
{
    const QString pfad = Datei(QStringLiteral("gut.png"), Kodiert(Verlauf(20, 10), "PNG"));
    LadeGearBild(m_gear, pfad);
    EXPECT_EQ(m_gear.ImageWidth(), 20);
    EXPECT_EQ(m_gear.ImageHeight(), 10);
    EXPECT_EQ(AktDateiDatum, QFileInfo(pfad).lastModified());
    EXPECT_EQ(AktKommentar, QString());
}

TEST_F(LadenTest, Laden_FehlendeDateiGibtFehlerbildUndBehaeltDatum)
{
    const QString gut = Datei(QStringLiteral("gut.jpg"), JpegMitKommentar("vorher"));
    LadeGearBild(m_gear, gut);
    ASSERT_EQ(AktKommentar, QStringLiteral("vorher"));
    const QDateTime datum = AktDateiDatum;
    ASSERT_TRUE(datum.isValid());

    LadeGearBild(m_gear, m_ordner + QStringLiteral("/fehlt.jpg"));
    EXPECT_EQ(m_gear.ImageWidth(), 128);
    EXPECT_EQ(m_gear.ImageHeight(), 128);
    EXPECT_TRUE(IstFehlerBild(m_gear));
    EXPECT_EQ(AktKommentar, QString());
    EXPECT_EQ(AktDateiDatum, datum);
}

TEST_F(LadenTest, Laden_OrdnerStattDateiGiltAlsFehlend)
{
    LadeGearBild(m_gear, m_ordner);
    EXPECT_TRUE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Laden_LeereDateiGibtFehlerbildMitIhremDatum)
{
    const QString pfad = Datei(QStringLiteral("leer.png"), QByteArray());
    LadeGearBild(m_gear, pfad);
    EXPECT_TRUE(IstFehlerBild(m_gear));
    EXPECT_EQ(AktDateiDatum, QFileInfo(pfad).lastModified());
}

TEST_F(LadenTest, Laden_AbgeschnittenesJpegStuerztNicht)
{
    const QByteArray jpeg = Kodiert(Verlauf(64, 64), "JPG");
    for (const double anteil : {0.05, 0.4, 0.9}) {
        const QString pfad = Datei(QStringLiteral("kurz.jpg"), jpeg.left(qsizetype(jpeg.size() * anteil)));
        LadeGearBild(m_gear, pfad);
        // Either the readable part or the error picture, never nothing.
        const QSize groesse(m_gear.ImageWidth(), m_gear.ImageHeight());
        EXPECT_TRUE(groesse == QSize(64, 64) || IstFehlerBild(m_gear)) << anteil;
    }
}

TEST_F(LadenTest, Laden_PngMitFalscherPruefsummeGibtFehlerbild)
{
    QByteArray png = Kodiert(Verlauf(8, 8), "PNG");
    png[29] = char(png[29] ^ 0x5A);   // CRC of the IHDR chunk
    LadeGearBild(m_gear, Datei(QStringLiteral("kaputt.png"), png));
    EXPECT_TRUE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Laden_FalscheEndungEntscheidetNicht)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("eigentlich_png.jpg"), Kodiert(Verlauf(20, 10), "PNG")));
    EXPECT_EQ(m_gear.ImageWidth(), 20);
    EXPECT_EQ(m_gear.ImageHeight(), 10);
    EXPECT_FALSE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Laden_MuellGibtFehlerbild)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("muell.bmp"), QByteArray(300, 'x')));
    EXPECT_TRUE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Icon_LeereDateiGibtFehlerbild)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("leer.ico"), QByteArray()));
    EXPECT_TRUE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Icon_DurchsichtigeStellenZeigenHintergrundfarbe)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            icon.setPixel(x, y, qRgba(255, 0, 0, 255));
    ASSERT_TRUE(QImageWriter::supportedImageFormats().contains("ico"));
    const QString pfad = Datei(QStringLiteral("bild.Ico"), Kodiert(icon, "ICO"));

    LadeGearBild(m_gear, pfad);
    const QImage bild = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(bild.size(), QSize(16, 16));
    EXPECT_EQ(QColor(bild.pixel(2, 5)), QColor(HgFarbeRgb()));
    EXPECT_EQ(QColor(bild.pixel(2, 5)), QColor(56, 62, 66));
    EXPECT_EQ(QColor(bild.pixel(12, 5)), QColor(255, 0, 0));
}

TEST_F(LadenTest, Bmp_DurchsichtigeStellenZeigenHintergrundfarbeWieBeimIcon)
{
    struct TZurueck { int farbe = HgFarbe; ~TZurueck() { HgFarbe = farbe; } } zurueck;
    HgFarbe = 0x336699;   // R 0x99, G 0x66, B 0x33
    const QImage quelle = BildMitSchatten();
    LadeGearBild(m_gear, Datei(QStringLiteral("bild.ico"), Kodiert(quelle, "ICO")));
    const QImage icon = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(icon.size(), QSize(8, 4));
    struct T { int kopf; uint32_t art; };
    for (const T& t : {T{56, 3}, T{108, 3}, T{124, 3}, T{124, 0}, T{40, 6}}) {
        LadeGearBild(m_gear, Datei(QStringLiteral("bild.bmp"), BmpMitAlpha(quelle, t.kopf, t.art)));
        ASSERT_EQ(m_gear.ErrCount(), 0) << t.kopf << "/" << t.art;
        EXPECT_EQ(m_gear.ImageBitsPerPixel(), 24);
        const QImage bild = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(Farbe(bild, 1, 1), "#996633") << t.kopf << "/" << t.art;
        EXPECT_EQ(Farbe(bild, 5, 0), "#ff0000") << t.kopf << "/" << t.art;
        // The shadow darkens the background by half, as the icon's does.
        EXPECT_NEAR(qRed(bild.pixel(6, 3)), 0x99 * 127 / 255, 1) << t.kopf << "/" << t.art;
        EXPECT_EQ(bild, icon) << t.kopf << "/" << t.art;
    }
    // A 16-bit picture with one bit of alpha.
    LadeGearBild(m_gear, Datei(QStringLiteral("bild16.bmp"), BmpMitAlpha(quelle, 56, 3, 16)));
    const QImage b16 = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Farbe(b16, 1, 1), "#996633");
    EXPECT_EQ(Farbe(b16, 5, 0), "#ff0000");
    EXPECT_EQ(Farbe(b16, 5, 3), "#000000");
}

TEST_F(LadenTest, Bmp_AlphaUeberallNullOderOhneMaskeBleibtDeckend)
{
    // Many writers leave the alpha bytes 0 in an opaque picture: with every
    // pixel at 0 the alpha says nothing, and the colours show as stored.
    QImage bild(8, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            bild.setPixel(x, y, x < 4 ? qRgba(0, 0, 255, 0) : qRgba(200, 100, 50, 0));
    for (const int kopf : {56, 124}) {
        LadeGearBild(m_gear, Datei(QStringLiteral("null.bmp"), BmpMitAlpha(bild, kopf, 3)));
        const QImage b = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(Farbe(b, 1, 1), "#0000ff") << kopf;
        EXPECT_EQ(Farbe(b, 6, 2), "#c86432") << kopf;
    }
    // Without an alpha mask the fourth byte is no alpha, whatever it holds.
    LadeGearBild(m_gear, Datei(QStringLiteral("ohne.bmp"), BmpMitAlpha(BildMitSchatten(), 40, 0)));
    const QImage ohne = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Farbe(ohne, 1, 1), "#000000");
    EXPECT_EQ(Farbe(ohne, 6, 3), "#000000");
    EXPECT_EQ(Farbe(ohne, 5, 0), "#ff0000");
}

TEST_F(LadenTest, Png_DurchsichtigeStellenZeigenHintergrundfarbeWieBeimIcon)
{
    struct TZurueck { int farbe = HgFarbe; ~TZurueck() { HgFarbe = farbe; } } zurueck;
    HgFarbe = 0x336699;
    const QImage quelle = BildMitSchatten();
    LadeGearBild(m_gear, Datei(QStringLiteral("bild.ico"), Kodiert(quelle, "ICO")));
    const QImage icon = m_gear.Picture().convertToFormat(QImage::Format_RGB32);

    LadeGearBild(m_gear, Datei(QStringLiteral("rgba.png"), Kodiert(quelle, "PNG")));
    ASSERT_EQ(m_gear.ErrCount(), 0);
    EXPECT_EQ(m_gear.ImageBitsPerPixel(), 24);
    const QImage rgba = m_gear.Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Farbe(rgba, 1, 1), "#996633");
    EXPECT_EQ(Farbe(rgba, 5, 0), "#ff0000");
    EXPECT_EQ(rgba, icon);

    // A palette with transparent entries keeps its depth; the entries take
    // the background as the pixels would.
    QImage palette(quelle.size(), QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 255), qRgba(0, 0, 0, 128)});
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, x < 4 ? 0 : y < 2 ? 1 : 2);
    LadeGearBild(m_gear, Datei(QStringLiteral("palette.png"), Kodiert(palette, "PNG")));
    ASSERT_EQ(m_gear.ErrCount(), 0);
    EXPECT_EQ(m_gear.ImageBitsPerPixel(), 8);
    EXPECT_EQ(m_gear.Picture().convertToFormat(QImage::Format_RGB32), icon);
}

TEST_F(LadenTest, Png_OhneDurchsichtigkeitBleibtWieGespeichert)
{
    struct TZurueck { int farbe = HgFarbe; ~TZurueck() { HgFarbe = farbe; } } zurueck;
    HgFarbe = 0x336699;
    QImage grau(8, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            grau.scanLine(y)[x] = uchar(x * 30);
    LadeGearBild(m_gear, Datei(QStringLiteral("grau.png"), Kodiert(grau, "PNG")));
    ASSERT_EQ(m_gear.ErrCount(), 0);
    EXPECT_EQ(m_gear.ImageBitsPerPixel(), 8);
    EXPECT_EQ(m_gear.Picture().convertToFormat(QImage::Format_Grayscale8), grau);
}

TEST_F(LadenTest, Icon_KeinIconGibtFehlerbild)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("png_als.ICO"), QByteArray("kein icon")));
    EXPECT_TRUE(IstFehlerBild(m_gear));
}

TEST_F(LadenTest, Kommentar_BisZumErstenNullzeichen)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("k.jpg"), JpegMitKommentar(QByteArray("abc\0def", 7))));
    EXPECT_EQ(AktKommentar, QStringLiteral("abc"));
}

TEST_F(LadenTest, Kommentar_AlsWindows1252)
{
    LadeGearBild(m_gear, Datei(QStringLiteral("k.jpeg"), JpegMitKommentar("Gr\xFC\xDF\x65 \x80 5")));
    EXPECT_EQ(AktKommentar, QStringLiteral("Grüße € 5"));
}

TEST_F(LadenTest, Kommentar_OhneSegmentLeer)
{
    AktKommentar = QStringLiteral("alt");
    LadeGearBild(m_gear, Datei(QStringLiteral("ohne.jpg"), Kodiert(Verlauf(8, 8), "JPG")));
    EXPECT_EQ(AktKommentar, QString());
}

TEST_F(LadenTest, Schreibschutz_JpegNachBerechtigungsbits)
{
    const QString pfad = Datei(QStringLiteral("schutz.jpg"), Kodiert(Verlauf(8, 8), "JPG"));
    EXPECT_FALSE(DateiSchreibgeschuetzt(pfad));
    QFile::setPermissions(pfad, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    EXPECT_TRUE(DateiSchreibgeschuetzt(pfad));
}

// ---- EXIF reader -----------------------------------------------------------

namespace {

// A JPEG whose EXIF block names maker and model, written by exiv2 itself.
QString JpegMitExif(const QString& pfad)
{
    DateiSchreiben(pfad, JpegMitKommentar("mit exif"));
    auto bild = Exiv2::ImageFactory::open(pfad.toStdString());
    bild->readMetadata();
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Zelvano Kamera";
    exif["Exif.Image.Model"] = "Z 1";
    exif["Exif.Photo.Flash"] = uint16_t(1);
    bild->setExifData(exif);
    bild->writeMetadata();
    return pfad;
}

}  // namespace

TEST_F(LadenTest, Exif_WerteUndRohblock)
{
    TExifDaten leser;
    const QString pfad = JpegMitExif(m_ordner + QStringLiteral("/exif.jpg"));
    ASSERT_TRUE(leser.Lesen(pfad));
    EXPECT_EQ(leser.FehlerText(), QStringLiteral("<none>"));
    EXPECT_EQ(leser.Dateiname(), pfad);
    EXPECT_TRUE(leser.HatExif());
    EXPECT_EQ(leser.Wert(QStringLiteral("Exif.Image.Make")), QStringLiteral("Zelvano Kamera"));
    EXPECT_EQ(leser.Wert(QStringLiteral("Exif.Image.Artist")), QString());
    EXPECT_EQ(leser.Wert(QStringLiteral("kein.gueltiger.schluessel")), QString());
    EXPECT_EQ(leser.Kommentar(), QStringLiteral("mit exif"));

    const QByteArray block = leser.ExifBlock();
    ASSERT_GT(block.size(), 14);
    EXPECT_EQ(block.left(6), QByteArray("Exif\0\0", 6));
    // The TIFF part decodes again to the same maker.
    Exiv2::ExifData zurueck;
    Exiv2::ExifParser::decode(zurueck, reinterpret_cast<const Exiv2::byte*>(block.constData() + 6),
                              uint32_t(block.size() - 6));
    const auto hersteller = zurueck.findKey(Exiv2::ExifKey("Exif.Image.Make"));
    ASSERT_NE(hersteller, zurueck.end());
    EXPECT_EQ(hersteller->toString(), std::string("Zelvano Kamera"));
}

TEST_F(LadenTest, Exif_OhneExifKeinBlock)
{
    TExifDaten leser;
    ASSERT_TRUE(leser.Lesen(Datei(QStringLiteral("ohne.jpg"), Kodiert(Verlauf(8, 8), "JPG"))));
    EXPECT_FALSE(leser.HatExif());
    EXPECT_TRUE(leser.ExifBlock().isEmpty());
    EXPECT_FALSE(leser.KommentarGefunden());
}

TEST_F(LadenTest, Exif_UnlesbareDateienGebenFehlertext)
{
    TExifDaten leser;
    for (const QString& pfad : {m_ordner + QStringLiteral("/fehlt.jpg"),
                                Datei(QStringLiteral("leer.jpg"), QByteArray()),
                                Datei(QStringLiteral("muell.jpg"), QByteArray(100, '\x11')),
                                Datei(QStringLiteral("kurz.jpg"), JpegMitKommentar("abc").left(40))}) {
        leser.Lesen(pfad);
        EXPECT_FALSE(leser.HatExif()) << pfad.toStdString();
        EXPECT_TRUE(leser.ExifBlock().isEmpty());
    }
    EXPECT_FALSE(leser.Lesen(m_ordner + QStringLiteral("/fehlt.jpg")));
    EXPECT_NE(leser.FehlerText(), QStringLiteral("<none>"));
    leser.Leeren();
    EXPECT_EQ(leser.FehlerText(), QStringLiteral("<none>"));
}

TEST_F(LadenTest, Exif_BmpOhneAbsturz)
{
    TExifDaten leser;
    leser.Lesen(Datei(QStringLiteral("bild.bmp"), Kodiert(Verlauf(8, 8), "BMP")));
    EXPECT_FALSE(leser.HatExif());
    EXPECT_FALSE(leser.KommentarGefunden());
}

// ---- GearZuBitmap ---------------------------------------------------------

TEST_F(TransferTest, Transfer_BildKommtPixelgenauAn)
{
    const QImage quelle = Verlauf(5, 3).convertToFormat(QImage::Format_BGR888);
    m_gear.SetPicture(quelle);
    TBitmap bmp;
    TMeldungsFaenger faenger;
    ASSERT_TRUE(GearZuBitmap(m_gear, bmp));
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(bmp.Bild().format(), QImage::Format_BGR888);
    EXPECT_EQ(bmp.Bild(), quelle);
    EXPECT_FALSE(QFileInfo::exists(TempBitmapDatei));
}

TEST_F(TransferTest, Transfer_ImSpeicherOhneTempOrdnerUndOhneDatei)
{
    // The rows reach the bitmap in memory: neither the folder nor the
    // working folder is written to.
    const QString ordner = FrischerOrdner(QStringLiteral("arbeit"));
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir(TempVerzeichnis).removeRecursively());
    ASSERT_TRUE(QDir::setCurrent(ordner));
    TempBitmapDatei.clear();
    const QImage quelle = Verlauf(7, 5).convertToFormat(QImage::Format_BGR888);
    m_gear.SetPicture(quelle);
    TBitmap bmp;
    TMeldungsFaenger faenger;
    const bool ok = GearZuBitmap(m_gear, bmp);
    QDir::setCurrent(vorher);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(bmp.Bild(), quelle);
    EXPECT_TRUE(QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TempVerzeichnis));
}

TEST_F(TransferTest, Transfer_VierundzwanzigBitOhneKopieUndGetrenntBeimAendern)
{
    m_gear.SetPicture(Verlauf(64, 48).convertToFormat(QImage::Format_BGR888));
    const QImage imGear = m_gear.Picture();
    TBitmap bmp;
    ASSERT_TRUE(GearZuBitmap(m_gear, bmp));
    // The same rows, not a copy of them.
    EXPECT_EQ(static_cast<const TBitmap&>(bmp).ScanLine(0), imGear.constBits());
    EXPECT_EQ(bmp.Stride(), TBitmap::StrideFuer(64));
    // Changing either side leaves the other as it was.
    bmp.ScanLine(3)[5] = uint8_t(~bmp.ScanLine(3)[5]);
    EXPECT_EQ(m_gear.Picture(), imGear);
    EXPECT_NE(bmp.Bild(), imGear);
}

TEST_F(TransferTest, Transfer_PaletteWieUeberDieBmpDatei)
{
    // The in-memory road gives what the control's BMP file at its own depth
    // read back at 24 bits gives.
    for (const int tiefe : {1, 4, 8}) {
        m_gear.SetPicture(Verlauf(37, 11));
        FarbtiefeVorbereiten(m_gear, tiefe);
        ASSERT_EQ(m_gear.ImageBitsPerPixel(), tiefe);
        TBitmap bmp;
        ASSERT_TRUE(GearZuBitmap(m_gear, bmp));

        const QString datei = FrischerOrdner(QStringLiteral("bmpweg")) + QStringLiteral("/weg.bmp");
        m_gear.SetSaveFormat(2);
        m_gear.SaveImage(datei);
        ASSERT_EQ(m_gear.ErrCount(), 0);
        QImage gelesen;
        QString grund;
        ASSERT_TRUE(BmpDateiLesen24(datei, gelesen, grund)) << grund.toStdString();
        EXPECT_EQ(bmp.Bild(), gelesen) << tiefe;
    }
}

TEST_F(TransferTest, Transfer_PaletteAlphaUndIndexAusserhalb)
{
    // A colour's alpha plays no part, and an index beyond the table is black.
    QImage bild(3, 1, QImage::Format_Indexed8);
    bild.setColorTable({qRgba(10, 20, 30, 0), qRgba(200, 100, 50, 128)});
    bild.scanLine(0)[0] = 0;
    bild.scanLine(0)[1] = 1;
    bild.scanLine(0)[2] = 7;
    m_gear.SetPicture(bild);
    ASSERT_EQ(m_gear.Picture().format(), QImage::Format_Indexed8);
    TBitmap bmp;
    ASSERT_TRUE(GearZuBitmap(m_gear, bmp));
    ASSERT_EQ(bmp.Width(), 3);
    const uint8_t* z = static_cast<const TBitmap&>(bmp).ScanLine(0);
    const uint8_t erwartet[9] = {30, 20, 10, 50, 100, 200, 0, 0, 0};
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(z), 9),
              QByteArray(reinterpret_cast<const char*>(erwartet), 9));
}

TEST_F(TransferTest, Transfer_ErzwungenerFehlschlagWarntUndLaesstBitmap)
{
    m_gear.SetPicture(Verlauf(4, 4));
    TBitmap bmp(2, 2);
    bmp.Fill(1, 2, 3);
    const TBitmap vorher = bmp;
    TMeldungsFaenger faenger;
    TransferStoerungSetzen(true);
    const bool ok = GearZuBitmap(m_gear, bmp);
    TransferStoerungSetzen(false);
    EXPECT_FALSE(ok);
    EXPECT_EQ(faenger.texte, QStringList{QStringLiteral("Fehler beim Bitmaptransfer")});
    EXPECT_EQ(bmp, vorher);
}

TEST_F(TransferTest, Transfer_OhneBildSchlaegtFehl)
{
    // A left-over transfer file must not be taken for the picture of a
    // control that has none.
    m_gear.SetPicture(Verlauf(6, 6));
    m_gear.SetSaveFormat(2);
    m_gear.SaveImage(TempBitmapDatei);
    ASSERT_TRUE(QFileInfo::exists(TempBitmapDatei));
    m_gear.DelImage();
    TBitmap bmp;
    TMeldungsFaenger faenger;
    EXPECT_FALSE(GearZuBitmap(m_gear, bmp));
    EXPECT_TRUE(bmp.IsEmpty());
    EXPECT_EQ(faenger.texte, QStringList{QStringLiteral("Fehler beim Bitmaptransfer")});
}

TEST_F(TransferTest, Transfer_AchtBitBildKommtAls24BitAn)
{
    m_gear.SetPicture(Verlauf(9, 7));
    FarbtiefeVorbereiten(m_gear, 8);
    ASSERT_EQ(m_gear.ImageBitsPerPixel(), 8);
    TBitmap bmp;
    ASSERT_TRUE(GearZuBitmap(m_gear, bmp));
    EXPECT_EQ(bmp.Width(), 9);
    EXPECT_EQ(bmp.Height(), 7);
    EXPECT_EQ(bmp.Bild().format(), QImage::Format_BGR888);
}

// ---- Colour depth before saving -------------------------------------------

TEST(FarbtiefeTest, Tiefe_24Auf24AendertNichts)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    ASSERT_EQ(gear.ImageBitsPerPixel(), 24);
    const QImage vorher = gear.Picture();
    FarbtiefeVorbereiten(gear, 24);
    EXPECT_EQ(gear.ImageBitsPerPixel(), 24);
    EXPECT_EQ(gear.Picture(), vorher);
}

TEST(FarbtiefeTest, Tiefe_8AufEinBitBildGibt8)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    gear.DiffusionMono();
    ASSERT_EQ(gear.ImageBitsPerPixel(), 1);
    FarbtiefeVorbereiten(gear, 8);
    EXPECT_EQ(gear.ImageBitsPerPixel(), 8);
}

TEST(FarbtiefeTest, Tiefe_ReduzierenAuf1_4_8)
{
    for (const int tiefe : {1, 4, 8}) {
        TGear gear;
        gear.SetPicture(Verlauf(12, 12));
        FarbtiefeVorbereiten(gear, tiefe);
        EXPECT_EQ(gear.ImageBitsPerPixel(), tiefe);
    }
}

TEST(FarbtiefeTest, Format_GifAuf24BitGibt8)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    FormatFarbtiefeVorbereiten(gear, QStringLiteral("GIF Gepackt      "));
    EXPECT_EQ(gear.ImageBitsPerPixel(), 8);
}

TEST(FarbtiefeTest, Format_PbmRawAuf24BitGibt1)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    FormatFarbtiefeVorbereiten(gear, QStringLiteral("PBM RAW"));
    EXPECT_EQ(gear.ImageBitsPerPixel(), 1);
}

TEST(FarbtiefeTest, Format_TifLzwBehaelt24Bit)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    const QImage vorher = gear.Picture();
    FormatFarbtiefeVorbereiten(gear, QStringLiteral("TIF LZW gepackt"));
    EXPECT_EQ(gear.ImageBitsPerPixel(), 24);
    EXPECT_EQ(gear.Picture(), vorher);
}

TEST(FarbtiefeTest, Format_JpegAufEinBitBildGibt8)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    gear.DiffusionMono();
    ASSERT_EQ(gear.ImageBitsPerPixel(), 1);
    FormatFarbtiefeVorbereiten(gear, QStringLiteral("JPG JPEG-Bitmap"));
    EXPECT_EQ(gear.ImageBitsPerPixel(), 8);
}

TEST(FarbtiefeTest, Format_UnbekannterSchluesselAendertNichts)
{
    TGear gear;
    gear.SetPicture(Verlauf(12, 12));
    FormatFarbtiefeVorbereiten(gear, QStringLiteral("gif gepackt"));
    EXPECT_EQ(gear.ImageBitsPerPixel(), 24);
}
