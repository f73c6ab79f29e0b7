// Loading through the imaging control: formats, depth model, pages, names
// that are only names, bad input, the picture property, progress and the
// clipboard.
#include "gear/Gear.h"
#include "TestHilfen.h"
#include <gtest/gtest.h>
#include <Magick++.h>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QThread>
#include <random>
#include <thread>

namespace {

QImage Bunt(int w, int h)
{
    QImage b(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uint8_t* z = b.scanLine(y);
        for (int x = 0; x < w; ++x) {
            z[3 * x] = uint8_t(x * 9);
            z[3 * x + 1] = uint8_t(y * 11);
            z[3 * x + 2] = uint8_t(x * y);
        }
    }
    return b;
}

QImage Palette(int w, int h, int n)
{
    QImage b(w, h, QImage::Format_Indexed8);
    QList<QRgb> t;
    for (int i = 0; i < n; ++i)
        t.append(qRgb(i * 37 % 256, 255 - i, i * 5 % 256));
    b.setColorTable(t);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.scanLine(y)[x] = uint8_t((x * 3 + y) % n);
    return b;
}

// Writes a picture with our own coder for the save id and returns the path.
QString Schreiben(const QString& ordner, const QString& name, const QImage& bild, int id)
{
    TGear g;
    g.SetPicture(bild);
    g.SetSaveFormat(id);
    const QString pfad = ordner + QLatin1Char('/') + name;
    g.SaveImage(pfad);
    EXPECT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    return pfad;
}

QByteArray MagickBytes(std::vector<Magick::Image>& bilder, const char* format)
{
    for (auto& b : bilder)
        b.magick(format);
    Magick::Blob blob;
    Magick::writeImages(bilder.begin(), bilder.end(), &blob, true);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

QRgb Farbe(const QImage& b, int x, int y) { return b.pixel(x, y) & 0xFFFFFF; }

// ---- Formats and facts ----------------------------------------------------

TEST(GearLaden, TypUndKompressionJeFormat)
{
    const QString o = FrischerOrdner(QStringLiteral("typ"));
    struct T { int id; const char* name; const char* typ; const char* komp; };
    for (const T& t : {T{21, "a.jpg", "JPEG", "JPEG"}, T{33, "a.png", "PNG", "DEFLATE"}, T{2, "a.bmp", "BMP", "UNCOMPRESSED"},
                       T{524328, "a.tif", "TIFF", "LZW"}, T{65576, "b.tif", "TIFF", "PACKBITS"}, T{31, "a.pcx", "PCX", ""}}) {
        const QImage bild = t.id == 65576 ? Palette(12, 8, 2) : Bunt(12, 8);
        const QString pfad = Schreiben(o, QLatin1String(t.name), bild, t.id);
        TGear g;
        g.LoadImage(pfad);
        ASSERT_EQ(g.ErrCount(), 0) << t.name << g.LetzterFehler().toStdString();
        EXPECT_EQ(g.ImageType(), QLatin1String(t.typ));
        if (*t.komp) {
            EXPECT_EQ(g.CompressType(), QLatin1String(t.komp)) << t.name;
        }
        EXPECT_EQ(g.PageCount(), 1);
        EXPECT_EQ(g.Page(), 1);
    }
}

TEST(GearLaden, SignaturEntscheidetUeberEndung)
{
    const QString o = FrischerOrdner(QStringLiteral("endung"));
    const QString png = Schreiben(o, QStringLiteral("echt.png"), Bunt(7, 5), 33);
    const QString falsch = o + QStringLiteral("/falsch.jpg");
    QFile::copy(png, falsch);
    TGear g;
    g.LoadImage(falsch);
    ASSERT_EQ(g.ErrCount(), 0);
    EXPECT_EQ(g.ImageType(), QStringLiteral("PNG"));
    EXPECT_EQ(g.ImageWidth(), 7);
}

TEST(GearLaden, DateinamenSindNurNamen)
{
    const QString o = FrischerOrdner(QStringLiteral("namen"));
    const QString png = Schreiben(o, QStringLiteral("quelle.png"), Bunt(6, 4), 33);
    for (const QString& name : {QStringLiteral("a[1].png"), QStringLiteral("x:y.png"), QStringLiteral("|echo.png"),
                                QStringLiteral("@liste.png"), QStringLiteral("bild%d.png"), QStringLiteral("gif:z.png")}) {
        const QString pfad = o + QLatin1Char('/') + name;
        ASSERT_TRUE(QFile::copy(png, pfad));
        TGear g;
        g.LoadImage(pfad);
        EXPECT_EQ(g.ErrCount(), 0) << name.toStdString();
        EXPECT_EQ(g.ImageWidth(), 6) << name.toStdString();
        EXPECT_EQ(g.ImageHeight(), 4);
    }
}

TEST(GearLaden, DreiseitigesTiffBlaettert)
{
    std::vector<Magick::Image> seiten;
    for (auto [w, h] : {std::pair{10, 10}, std::pair{20, 15}, std::pair{30, 5}})
        seiten.emplace_back(Magick::Geometry(size_t(w), size_t(h)), Magick::Color("orange"));
    const QString pfad = FrischerOrdner(QStringLiteral("tiff3")) + QStringLiteral("/drei.tif");
    DateiSchreiben(pfad, MagickBytes(seiten, "TIFF"));
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.PageCount(), 3);
    EXPECT_EQ(g.Page(), 1);
    EXPECT_EQ(g.ImageWidth(), 10);
    g.SetPage(2);
    EXPECT_EQ(g.Page(), 2);
    EXPECT_EQ(g.ImageWidth(), 20);
    EXPECT_EQ(g.ImageHeight(), 15);
    g.SetPage(4);
    g.SetPage(0);
    EXPECT_EQ(g.Page(), 2);
    g.SetPage(3);
    EXPECT_EQ(g.ImageHeight(), 5);
}

TEST(GearLaden, GifRahmenWerdenZusammengesetzt)
{
    std::vector<Magick::Image> rahmen;
    rahmen.emplace_back(Magick::Geometry(20, 10), Magick::Color("red"));
    rahmen.back().page(Magick::Geometry(20, 10, 0, 0));
    rahmen.emplace_back(Magick::Geometry(5, 5), Magick::Color("blue"));
    rahmen.back().page(Magick::Geometry(5, 5, 3, 2));
    rahmen.emplace_back(Magick::Geometry(4, 4), Magick::Color("lime"));
    rahmen.back().page(Magick::Geometry(4, 4, 12, 5));
    // With a delay each block is a frame of its own.
    for (auto& r : rahmen) {
        r.gifDisposeMethod(Magick::NoneDispose);
        r.animationDelay(10);
    }
    const QString pfad = FrischerOrdner(QStringLiteral("gif")) + QStringLiteral("/anim.gif");
    DateiSchreiben(pfad, MagickBytes(rahmen, "GIF"));
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.ImageType(), QStringLiteral("GIF"));
    EXPECT_EQ(g.PageCount(), 3);
    g.SetPage(3);
    EXPECT_EQ(g.ImageWidth(), 20);
    EXPECT_EQ(g.ImageHeight(), 10);
    const QImage b = g.Picture();
    EXPECT_EQ(Farbe(b, 0, 0), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(Farbe(b, 4, 3), qRgb(0, 0, 255) & 0xFFFFFF);     // frame 2 stays
    EXPECT_EQ(Farbe(b, 13, 6), qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_TRUE(g.ImageBitsPerPixel() == 1 || g.ImageBitsPerPixel() == 4 || g.ImageBitsPerPixel() == 8);
}

TEST(GearLaden, GifMitZuVielenFarbenFuerEinePaletteWirdVollfarbig)
{
    // Two frames with 200 colours each in their own maps: together more
    // than one palette holds.
    std::vector<Magick::Image> rahmen;
    for (int r = 0; r < 2; ++r) {
        Magick::Image b(Magick::Geometry(20, 10), Magick::Color("black"));
        for (int i = 0; i < 200; ++i)
            b.pixelColor(size_t(i % 20), size_t(i / 20), Magick::ColorRGB(i / 255.0, r ? 1.0 : 0.0, r ? 0.0 : 1.0));
        b.page(Magick::Geometry(20, 10, 0, 0));
        b.animationDelay(10);
        rahmen.push_back(b);
    }
    const QString pfad = FrischerOrdner(QStringLiteral("gif24")) + QStringLiteral("/viele.gif");
    DateiSchreiben(pfad, MagickBytes(rahmen, "GIF"));
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    ASSERT_EQ(g.PageCount(), 2);
    g.SetPage(2);
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);
    EXPECT_EQ(Farbe(g.Picture(), 5, 0), qRgb(5, 255, 0) & 0xFFFFFF);
    g.SetPage(1);
    EXPECT_EQ(Farbe(g.Picture(), 5, 0), qRgb(5, 0, 255) & 0xFFFFFF);
}

TEST(GearLaden, VerschachteltesGifKommtRichtig)
{
    Magick::Image b(Magick::Geometry(9, 17), Magick::Color("white"));
    for (int y = 0; y < 17; ++y)
        b.pixelColor(size_t(y % 9), size_t(y), Magick::Color("black"));
    b.interlaceType(Magick::LineInterlace);
    std::vector<Magick::Image> v{b};
    const QString pfad = FrischerOrdner(QStringLiteral("gifi")) + QStringLiteral("/i.gif");
    DateiSchreiben(pfad, MagickBytes(v, "GIF"));
    ASSERT_EQ(uint8_t(DateiBytes(pfad).at(DateiBytes(pfad).indexOf(',') + 9)) & 0x40, 0x40);
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0);
    const QImage q = g.Picture();
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(Farbe(q, x, y), x == y % 9 ? 0u : 0xFFFFFFu) << x << "," << y;
}

TEST(GearLaden, CmykJpegKommtAlsFarbbild)
{
    std::vector<Magick::Image> v{Magick::Image(Magick::Geometry(16, 8), Magick::Color("red"))};
    v[0].colorSpace(Magick::CMYKColorspace);
    const QString pfad = FrischerOrdner(QStringLiteral("cmyk")) + QStringLiteral("/c.jpg");
    DateiSchreiben(pfad, MagickBytes(v, "JPEG"));
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);
    const QRgb c = g.Picture().pixel(8, 4);
    EXPECT_GT(qRed(c), 200);
    EXPECT_LT(qGreen(c), 60);
    EXPECT_LT(qBlue(c), 60);
}

// ---- Depth model -------------------------------------------------------------

TEST(GearLaden, TiefeAusDerDatei)
{
    const QString o = FrischerOrdner(QStringLiteral("tiefe"));
    TGear g;
    // PNG 1 bit, 8-bit palette with three colours.
    TGearSeite s;
    s.bild = Palette(8, 8, 2);
    s.bpp = 1;
    g.SetPicture(s.bild);
    g.LoadImage(Schreiben(o, QStringLiteral("eins.png"), s.bild, 33));
    EXPECT_EQ(g.ImageBitsPerPixel(), 1);
    g.LoadImage(Schreiben(o, QStringLiteral("vier.bmp"), Palette(8, 8, 16), 2));
    EXPECT_EQ(g.ImageBitsPerPixel(), 4);
    g.LoadImage(Schreiben(o, QStringLiteral("voll.jpg"), Bunt(8, 8), 21));
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);

    std::vector<Magick::Image> grau{Magick::Image(Magick::Geometry(8, 8), Magick::Color("gray40"))};
    grau[0].type(Magick::GrayscaleType);
    grau[0].depth(8);
    DateiSchreiben(o + QStringLiteral("/grau.tif"), MagickBytes(grau, "TIFF"));
    g.LoadImage(o + QStringLiteral("/grau.tif"));
    EXPECT_EQ(g.ImageBitsPerPixel(), 8);

    std::vector<Magick::Image> zwei{Magick::Image(Magick::Geometry(8, 8), Magick::Color("white"))};
    zwei[0].type(Magick::BilevelType);
    zwei[0].depth(1);
    DateiSchreiben(o + QStringLiteral("/zwei.tif"), MagickBytes(zwei, "TIFF"));
    g.LoadImage(o + QStringLiteral("/zwei.tif"));
    EXPECT_EQ(g.ImageBitsPerPixel(), 1);
}

TEST(GearLaden, AchtBitPngMitDreiFarbenBleibtAchtBit)
{
    // libpng through Qt writes an 8-bit palette here.
    QImage b = Palette(8, 8, 3);
    QList<QRgb> t = b.colorTable();
    while (t.size() < 256)
        t.append(qRgb(0, 0, 0));
    b.setColorTable(t);
    const QString pfad = FrischerOrdner(QStringLiteral("p8")) + QStringLiteral("/p8.png");
    ASSERT_TRUE(b.save(pfad, "PNG"));
    ASSERT_EQ(uint8_t(DateiBytes(pfad)[24]), 8);   // IHDR bit depth
    TGear g;
    g.LoadImage(pfad);
    EXPECT_EQ(g.ImageBitsPerPixel(), 8);
}

TEST(GearLaden, PictureSetztTiefeNachFarbzahl)
{
    TGear g;
    g.SetPicture(Bunt(5, 3));
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);
    EXPECT_EQ(g.ImageWidth(), 5);
    EXPECT_EQ(g.ImageHeight(), 3);
    EXPECT_EQ(g.PageCount(), 1);
    EXPECT_EQ(g.ImageType(), QStringLiteral("UNKNOWN"));
    EXPECT_TRUE(g.Picture() == Bunt(5, 3));

    g.SetPicture(Bunt(5, 3).convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);
    EXPECT_EQ(g.Picture().format(), QImage::Format_BGR888);

    QImage mono(9, 9, QImage::Format_Mono);
    mono.fill(1);
    g.SetPicture(mono);
    EXPECT_EQ(g.ImageBitsPerPixel(), 1);
    g.SetPicture(Palette(4, 4, 16));
    EXPECT_EQ(g.ImageBitsPerPixel(), 4);
    g.SetPicture(Palette(4, 4, 200));
    EXPECT_EQ(g.ImageBitsPerPixel(), 8);
    QImage grau(4, 4, QImage::Format_Grayscale8);
    grau.fill(90);
    g.SetPicture(grau);
    EXPECT_EQ(g.ImageBitsPerPixel(), 8);
    EXPECT_EQ(Farbe(g.Picture(), 1, 1), qRgb(90, 90, 90) & 0xFFFFFF);
}

TEST(GearLaden, TiefenoperationenMeldenDieNeueTiefe)
{
    TGear g;
    g.SetPicture(Bunt(16, 16));
    g.DiffusionMono();
    EXPECT_EQ(g.ImageBitsPerPixel(), 1);
    g.PromoteColor(24);
    EXPECT_EQ(g.ImageBitsPerPixel(), 24);
    g.SetOctreeBits(4);
    g.SetOctreeColors(16);
    g.Octree(1);
    EXPECT_EQ(g.ImageBitsPerPixel(), 4);
}

TEST(GearLaden, DelImageLeertDasBild)
{
    TGear g;
    g.SetPicture(Bunt(5, 3));
    g.DelImage();
    EXPECT_EQ(g.ImageHeight(), 0);
    EXPECT_EQ(g.ImageBitsPerPixel(), 0);
    EXPECT_EQ(g.PageCount(), 0);
    EXPECT_TRUE(g.Picture().isNull());
}

// ---- Bad input -------------------------------------------------------------

void ErwarteFehler(const QString& pfad)
{
    TGear g;
    g.SetPicture(Bunt(3, 3));
    g.LoadImage(pfad);
    EXPECT_GT(g.ErrCount(), 0) << pfad.toStdString();
    EXPECT_FALSE(g.LetzterFehler().isEmpty());
    EXPECT_EQ(g.ImageHeight(), 0);
}

TEST(GearLaden, FehlendeDateiGibtFehler)
{
    ErwarteFehler(FrischerOrdner(QStringLiteral("fehlt")) + QStringLiteral("/nicht.jpg"));
}

TEST(GearLaden, LeereDateiGibtFehler)
{
    const QString o = FrischerOrdner(QStringLiteral("leer"));
    for (const char* name : {"leer.png", "leer.ico", "leer.tga"}) {
        DateiSchreiben(o + QLatin1Char('/') + QLatin1String(name), QByteArray());
        ErwarteFehler(o + QLatin1Char('/') + QLatin1String(name));
    }
}

TEST(GearLaden, OrdnerIstKeinBild)
{
    ErwarteFehler(FrischerOrdner(QStringLiteral("ordner.png")));
}

TEST(GearLaden, AbgeschnittenesJpegZeigtWasDaIst)
{
    const QString o = FrischerOrdner(QStringLiteral("jpg"));
    const QByteArray ganz = DateiBytes(Schreiben(o, QStringLiteral("ganz.jpg"), Bunt(64, 64), 21));
    // Half the file: the rows it holds, the rest in the background colour.
    DateiSchreiben(o + QStringLiteral("/halb.jpg"), ganz.left(ganz.size() / 2));
    TGear g;
    g.SetHintergrund(qRgb(1, 2, 3));
    g.LoadImage(o + QStringLiteral("/halb.jpg"));
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_TRUE(g.Beschaedigt());
    EXPECT_EQ(g.Picture().pixel(0, 63), qRgb(1, 2, 3));
    // Only the header: nothing to show.
    DateiSchreiben(o + QStringLiteral("/kopf.jpg"), ganz.left(100));
    ErwarteFehler(o + QStringLiteral("/kopf.jpg"));
}

TEST(GearLaden, PngMitFalscherPruefsummeGibtFehler)
{
    const QString o = FrischerOrdner(QStringLiteral("crc"));
    QByteArray d = DateiBytes(Schreiben(o, QStringLiteral("gut.png"), Bunt(16, 16), 33));
    d[29] = char(d[29] ^ 0x55);   // the IHDR checksum
    DateiSchreiben(o + QStringLiteral("/crc.png"), d);
    ErwarteFehler(o + QStringLiteral("/crc.png"));
}

TEST(GearLaden, FalscheEndungMitMuellGibtFehler)
{
    const QString o = FrischerOrdner(QStringLiteral("muell"));
    DateiSchreiben(o + QStringLiteral("/text.png"), "Das ist kein Bild, nur ein Satz.\n");
    ErwarteFehler(o + QStringLiteral("/text.png"));
    DateiSchreiben(o + QStringLiteral("/text.dat"), "Das ist kein Bild, nur ein Satz.\n");
    ErwarteFehler(o + QStringLiteral("/text.dat"));
    DateiSchreiben(o + QStringLiteral("/a.iff"), "FORM\0\0\0\4ILBM");
    ErwarteFehler(o + QStringLiteral("/a.iff"));
}

TEST(GearLaden, SkriptformateWerdenNichtAusgefuehrt)
{
    const QString o = FrischerOrdner(QStringLiteral("mvg"));
    const QString ziel = o + QStringLiteral("/geschrieben.png");
    DateiSchreiben(o + QStringLiteral("/x.png"),
                   "push graphic-context\nviewbox 0 0 10 10\nimage over 0,0 0,0 'ephemeral:/etc/hostname'\npop graphic-context\n");
    ErwarteFehler(o + QStringLiteral("/x.png"));
    DateiSchreiben(o + QStringLiteral("/y.png"),
                   QStringLiteral("<?xml version=\"1.0\"?><image><read filename=\"rose:\"/><write filename=\"%1\"/></image>")
                       .arg(ziel).toUtf8());
    ErwarteFehler(o + QStringLiteral("/y.png"));
    EXPECT_FALSE(QFile::exists(ziel));
}

TEST(GearLaden, AbgeschnitteneDateienGebenFehler)
{
    const QString o = FrischerOrdner(QStringLiteral("kurz"));
    struct T { int id; const char* name; };
    for (const T& t : {T{2, "b.bmp"}, T{14, "b.gif"}, T{524328, "b.tif"}, T{33, "b.png"}}) {
        const QImage bild = t.id == 14 ? Palette(40, 40, 100) : Bunt(40, 40);
        const QByteArray d = DateiBytes(Schreiben(o, QLatin1String(t.name), bild, t.id));
        const QString kurz = o + QStringLiteral("/kurz_") + QLatin1String(t.name);
        DateiSchreiben(kurz, d.left(40));
        ErwarteFehler(kurz);
    }
}

TEST(GearLaden, BeschaedigteDateienStuerzenNicht)
{
    const QString o = FrischerOrdner(QStringLiteral("fuzz"));
    std::mt19937 zufall(7);
    struct T { int id; const char* name; };
    for (const T& t : {T{2, "f.bmp"}, T{458754, "f.rle"}, T{14, "f.gif"}, T{524328, "f.tif"}, T{393256, "j.tif"},
                       T{33, "f.png"}, T{21, "f.jpg"}, T{31, "f.pcx"}}) {
        const QImage bild = (t.id == 14 || t.id == 458754) ? Palette(30, 20, 60) : Bunt(30, 20);
        const QByteArray d = DateiBytes(Schreiben(o, QLatin1String(t.name), bild, t.id));
        for (int i = 0; i < 25; ++i) {
            QByteArray kaputt = d;
            if (i % 2)
                kaputt.truncate(int(zufall() % uint32_t(d.size())));
            for (int k = 0; k < 6 && !kaputt.isEmpty(); ++k)
                kaputt[int(zufall() % uint32_t(kaputt.size()))] = char(zufall());
            const QString pfad = o + QStringLiteral("/k%1_").arg(i) + QLatin1String(t.name);
            DateiSchreiben(pfad, kaputt);
            TGear g;
            g.LoadImage(pfad);
            if (g.ErrCount() == 0) {
                EXPECT_GT(g.ImageHeight(), 0);
                EXPECT_TRUE(g.ImageBitsPerPixel() == 1 || g.ImageBitsPerPixel() == 4 || g.ImageBitsPerPixel() == 8
                            || g.ImageBitsPerPixel() == 24);
                g.SetSaveFormat(2);
                QByteArray aus;
                EXPECT_TRUE(g.SaveToBytes(aus));
            }
        }
    }
}

TEST(GearLaden, RiesigeAngabenImKopfGebenFehler)
{
    // A BMP header that claims 60000 x 60000 pixels of 24 bits.
    QByteArray d(54, '\0');
    d[0] = 'B';
    d[1] = 'M';
    d[10] = 54;
    d[14] = 40;
    auto setze32 = [&](int i, uint32_t v) { for (int k = 0; k < 4; ++k) d[i + k] = char(v >> (8 * k)); };
    setze32(18, 60000);
    setze32(22, 60000);
    d[26] = 1;
    d[28] = 24;
    d.append(QByteArray(100, '\x7f'));
    const QString pfad = FrischerOrdner(QStringLiteral("riesig")) + QStringLiteral("/r.bmp");
    DateiSchreiben(pfad, d);
    ErwarteFehler(pfad);
}

// ---- Progress ---------------------------------------------------------------

TEST(GearLaden, StatusNurWennEingeschaltet)
{
    const QString pfad = Schreiben(FrischerOrdner(QStringLiteral("status")), QStringLiteral("s.bmp"), Bunt(300, 300), 2);
    TGear g;
    std::vector<int> werte;
    QObject::connect(&g, &TGear::OnStatusEvent, [&](int& p) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        werte.push_back(p);
    });
    g.LoadImage(pfad);
    g.DiffusionMono();
    EXPECT_TRUE(werte.empty());

    g.SetStatusEvent(true);
    g.LoadImage(pfad);
    ASSERT_GE(werte.size(), 2u);
    EXPECT_EQ(werte.front(), 0);
    EXPECT_EQ(werte.back(), 100);
    for (size_t i = 1; i < werte.size(); ++i)
        EXPECT_GT(werte[i], werte[i - 1]);

    werte.clear();
    g.DiffusionMono();
    ASSERT_GE(werte.size(), 2u);
    EXPECT_EQ(werte.front(), 0);
    EXPECT_EQ(werte.back(), 100);
}

TEST(GearLaden, StatusNichtAusAnderemFaden)
{
    const QString pfad = Schreiben(FrischerOrdner(QStringLiteral("faden")), QStringLiteral("f.bmp"), Bunt(50, 50), 2);
    TGear g;
    g.SetStatusEvent(true);
    int anzahl = 0;
    QObject::connect(&g, &TGear::OnStatusEvent, [&](int&) { ++anzahl; });
    std::thread t([&] { g.LoadImage(pfad); });
    t.join();
    EXPECT_EQ(g.ErrCount(), 0);
    EXPECT_EQ(anzahl, 0);
}

TEST(GearLaden, StatusBeimMagickLesenNurAufDemGuiFaden)
{
    const QString pfad = Schreiben(FrischerOrdner(QStringLiteral("mstatus")), QStringLiteral("m.pcx"), Bunt(200, 200), 31);
    TGear g;
    g.SetStatusEvent(true);
    std::vector<int> werte;
    QObject::connect(&g, &TGear::OnStatusEvent, [&](int& p) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        werte.push_back(p);
    });
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0);
    ASSERT_GE(werte.size(), 2u);
    EXPECT_EQ(werte.back(), 100);
    for (size_t i = 1; i < werte.size(); ++i)
        EXPECT_GT(werte[i], werte[i - 1]);
}

// ---- Clipboard --------------------------------------------------------------

TEST(GearLaden, ZwischenablageBekommtDasBild)
{
    TGear g;
    QImage mono = Palette(12, 7, 2);
    g.SetPicture(mono);
    g.ClipboardCopy();
    const QImage ab = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(ab.isNull());
    EXPECT_EQ(ab.size(), QSize(12, 7));
    EXPECT_EQ(Farbe(ab, 1, 0), Farbe(mono, 1, 0));
}

} // namespace
