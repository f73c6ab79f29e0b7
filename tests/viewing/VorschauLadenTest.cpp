#include "viewing/VorschauLaden.h"
#include "TestHilfen.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>
#include <turbojpeg.h>

namespace {

QByteArray JpegAusBild(const QImage& bild, int qualitaet = 90)
{
    const QImage rgb = bild.convertToFormat(QImage::Format_RGB888);
    tjhandle h = tjInitCompress();
    unsigned char* daten = nullptr;
    unsigned long groesse = 0;
    tjCompress2(h, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &daten, &groesse,
                TJSAMP_420, qualitaet, 0);
    QByteArray ergebnis(reinterpret_cast<const char*>(daten), qsizetype(groesse));
    tjFree(daten);
    tjDestroy(h);
    return ergebnis;
}

QImage Einfarbig(int w, int h, QColor farbe)
{
    QImage bild(w, h, QImage::Format_RGB888);
    bild.fill(farbe);
    return bild;
}

// Channel values of a pixel of a BGR888 picture, as a colour.
QColor Pixel(const QImage& bild, int x, int y)
{
    return bild.pixelColor(x, y);
}

bool Nahe(QColor a, QColor b, int toleranz = 6)
{
    return std::abs(a.red() - b.red()) <= toleranz && std::abs(a.green() - b.green()) <= toleranz &&
           std::abs(a.blue() - b.blue()) <= toleranz;
}

class VorschauLadenTest : public ::testing::Test {
protected:
    void SetUp() override { ordner = FrischerOrdner(QStringLiteral("vorschauladen")); }
    QString Pfad(const QString& name) const { return ordner + QLatin1Char('/') + name; }
    QString ordner;
};

}   // namespace

TEST(VorschauGeometrie, SpaltenNachBreiteUndBalken)
{
    EXPECT_EQ(VorschauSpalten(820, 17, 150), 4);   // (820 - 17) div 170
    EXPECT_EQ(VorschauSpalten(697, 17, 150), 4);
    EXPECT_EQ(VorschauSpalten(696, 17, 150), 3);
    EXPECT_EQ(VorschauSpalten(300, 17, 50), 4);
    // Narrower than one cell: one column, one thumbnail per row.
    EXPECT_EQ(VorschauSpalten(100, 17, 150), 1);
    EXPECT_EQ(VorschauSpalten(0, 17, 150), 1);
}

TEST(VorschauGeometrie, ZellenZeilenweiseVonLinksOben)
{
    EXPECT_EQ(VorschauZelle(0, 4, 150), QPoint(10, 10));
    EXPECT_EQ(VorschauZelle(3, 4, 150), QPoint(520, 10));
    EXPECT_EQ(VorschauZelle(4, 4, 150), QPoint(10, 200));
    EXPECT_EQ(VorschauZelle(9, 4, 150), QPoint(180, 390));
    EXPECT_EQ(VorschauZelle(2, 1, 150), QPoint(10, 390));
    EXPECT_EQ(VorschauZelle(5, 3, 50), QPoint(150, 100));
}

TEST(VorschauAenderung, BehaeltNurUnveraenderteEintraege)
{
    // Each entry is a file's name with what a change alters (time, size).
    const QStringList alt = {"a.jpg\n1\n10", "b.png\n1\n10", "c.bmp\n1\n10", "d.gif\n1\n10"};
    const QStringList neu = {"a.jpg\n1\n10", "a2.png\n1\n10", "c.bmp\n2\n10", "d.gif\n1\n10"};
    EXPECT_EQ(VorschauBehalten(alt, neu), (QVector<int>{0, -1, -1, 3}));
    EXPECT_EQ(VorschauBehalten(alt, {}), QVector<int>{});
    EXPECT_EQ(VorschauBehalten({}, alt), (QVector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(VorschauBehalten(alt, alt), (QVector<int>{0, 1, 2, 3}));
}

TEST(VorschauGeometrie, JpegSkalierungDieKleinsteDieNochDeckt)
{
    EXPECT_EQ(JpegSkalierung(4000, 3000, 150), 8);
    EXPECT_EQ(JpegSkalierung(200, 100, 150), 1);
    EXPECT_EQ(JpegSkalierung(600, 600, 150), 4);
    EXPECT_EQ(JpegSkalierung(599, 600, 150), 2);   // 599 div 4 = 149
    EXPECT_EQ(JpegSkalierung(300, 300, 150), 2);
    EXPECT_EQ(JpegSkalierung(299, 5000, 150), 1);
    EXPECT_EQ(JpegSkalierung(5000, 400, 50), 8);
}

TEST(VorschauGeometrie, BildgroesseSeitenverhaeltnisAbgeschnitten)
{
    EXPECT_EQ(VorschauGroesseFuer(500, 375, 150), QSize(150, 112));
    EXPECT_EQ(VorschauGroesseFuer(200, 100, 150), QSize(150, 75));
    EXPECT_EQ(VorschauGroesseFuer(100, 80, 150), QSize(100, 80));
    EXPECT_EQ(VorschauGroesseFuer(375, 500, 150), QSize(112, 150));
    EXPECT_EQ(VorschauGroesseFuer(400, 400, 150), QSize(150, 150));
    // 150 x (100 / 300) is just below 50 in extended precision.
    EXPECT_EQ(VorschauGroesseFuer(100, 300, 150), QSize(49, 150));
    // A sliver keeps one row instead of vanishing.
    EXPECT_EQ(VorschauGroesseFuer(3000, 1, 150), QSize(150, 1));
    EXPECT_TRUE(VorschauGroesseFuer(0, 10, 150).isEmpty());
    EXPECT_TRUE(VorschauGroesseFuer(10, 0, 150).isEmpty());
}

TEST(VorschauGeometrie, WegNachEndung)
{
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.jpg")), TVorschauWeg::Direkt);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.JPEG")), TVorschauWeg::Direkt);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.Png")), TVorschauWeg::Direkt);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.ico")), TVorschauWeg::Direkt);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.tif")), TVorschauWeg::Gear);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.tiff")), TVorschauWeg::Gear);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/b.pcx")), TVorschauWeg::Gear);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a.d/ohne")), TVorschauWeg::Keiner);
    EXPECT_EQ(VorschauWeg(QStringLiteral("/a/punkt.")), TVorschauWeg::Keiner);
}

TEST_F(VorschauLadenTest, Jpeg_GrossWirdAufEinAchtelDekodiertUndVerkleinert)
{
    DateiSchreiben(Pfad(QStringLiteral("gross.jpg")), JpegAusBild(Einfarbig(4000, 3000, QColor(200, 60, 30))));
    const QImage bild = VorschauBildDekodieren(Pfad(QStringLiteral("gross.jpg")), 150);
    EXPECT_EQ(bild.size(), QSize(500, 375));
    EXPECT_EQ(bild.format(), QImage::Format_BGR888);
    const TVorschauErgebnis e = VorschauErzeugen(Pfad(QStringLiteral("gross.jpg")), 150);
    EXPECT_FALSE(e.fehler);
    EXPECT_FALSE(e.gear);
    EXPECT_EQ(e.bild.size(), QSize(150, 112));
    EXPECT_EQ(e.groesse, QSize(150, 112));
    EXPECT_TRUE(Nahe(Pixel(e.bild, 75, 56), QColor(200, 60, 30)));
}

TEST_F(VorschauLadenTest, Jpeg_KleinVollDekodiertUndUnveraendertKopiert)
{
    DateiSchreiben(Pfad(QStringLiteral("b.jpg")), JpegAusBild(Einfarbig(200, 100, Qt::blue)));
    DateiSchreiben(Pfad(QStringLiteral("c.jpeg")), JpegAusBild(Einfarbig(96, 80, Qt::green)));
    EXPECT_EQ(VorschauBildDekodieren(Pfad(QStringLiteral("b.jpg")), 150).size(), QSize(200, 100));
    EXPECT_EQ(VorschauErzeugen(Pfad(QStringLiteral("b.jpg")), 150).bild.size(), QSize(150, 75));
    const TVorschauErgebnis klein = VorschauErzeugen(Pfad(QStringLiteral("c.jpeg")), 150);
    EXPECT_EQ(klein.bild.size(), QSize(96, 80));
    EXPECT_EQ(klein.bild, VorschauBildDekodieren(Pfad(QStringLiteral("c.jpeg")), 150));
}

TEST_F(VorschauLadenTest, Jpeg_SkalierteDekodierungNaheDerVollenVerkleinerung)
{
    // A smooth picture: the DCT-scaled decode and the full decode reduced by
    // area averaging may differ only slightly.
    QImage verlauf(1600, 1200, QImage::Format_RGB888);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            verlauf.setPixelColor(x, y, QColor(x * 255 / 1600, y * 255 / 1200, 128));
    DateiSchreiben(Pfad(QStringLiteral("v.jpg")), JpegAusBild(verlauf, 95));
    const QImage skaliert = VorschauErzeugen(Pfad(QStringLiteral("v.jpg")), 150).bild;
    const QImage voll = VorschauVerkleinern(VorschauBildDekodieren(Pfad(QStringLiteral("v.jpg")), 2000), 150);
    ASSERT_EQ(skaliert.size(), voll.size());
    int groessteAbweichung = 0;
    for (int y = 0; y < voll.height(); ++y)
        for (int x = 0; x < voll.width(); ++x) {
            const QColor a = skaliert.pixelColor(x, y), b = voll.pixelColor(x, y);
            groessteAbweichung = std::max({groessteAbweichung, std::abs(a.red() - b.red()),
                                           std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
        }
    EXPECT_LE(groessteAbweichung, 6);
}

TEST_F(VorschauLadenTest, Png_WeissBleibtAuchStarkVerkleinertWeiss)
{
    // A large white picture gives as white a thumbnail as a small one: each
    // thumbnail pixel of the 6000 x 1500 one averages some 1,600 pixels.
    for (const QSize groesse : {QSize(6000, 1500), QSize(800, 200)}) {
        const QString name = QStringLiteral("w%1.png").arg(groesse.width());
        ASSERT_TRUE(Einfarbig(groesse.width(), groesse.height(), Qt::white).save(Pfad(name)));
        const QImage b = VorschauErzeugen(Pfad(name), 150).bild;
        ASSERT_EQ(b.size(), QSize(150, 37));
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                ASSERT_EQ(Pixel(b, x, y).name().toStdString(), "#fefefe") << name.toStdString() << " " << x << "," << y;
    }
}

TEST_F(VorschauLadenTest, PngGifIcoBmp_DirektDekodiertTransparenzAufWeiss)
{
    QImage png(300, 200, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x)
            png.setPixelColor(x, y, QColor(255, 0, 0));
    png.save(Pfad(QStringLiteral("a.png")));
    const QImage p = VorschauBildDekodieren(Pfad(QStringLiteral("a.png")), 150);
    ASSERT_EQ(p.size(), QSize(300, 200));
    EXPECT_EQ(Pixel(p, 10, 10), QColor(255, 0, 0));
    EXPECT_EQ(Pixel(p, 10, 150), QColor(255, 255, 255));

    // GIF: a 40 x 30 frame at (10, 5) of a 64 x 48 screen, half of it transparent, interlaced.
    ASSERT_EQ(QProcess::execute(QStringLiteral("convert"),
                                {QStringLiteral("-size"), QStringLiteral("40x30"), QStringLiteral("xc:blue"),
                                 QStringLiteral("-fill"), QStringLiteral("lime"), QStringLiteral("-draw"),
                                 QStringLiteral("rectangle 0,0 39,14"), QStringLiteral("-transparent"),
                                 QStringLiteral("lime"), QStringLiteral("-interlace"), QStringLiteral("GIF"),
                                 QStringLiteral("-page"), QStringLiteral("64x48+10+5"), Pfad(QStringLiteral("b.gif"))}),
              0);
    const QImage g = VorschauBildDekodieren(Pfad(QStringLiteral("b.gif")), 150);
    ASSERT_EQ(g.size(), QSize(64, 48));
    EXPECT_EQ(Pixel(g, 0, 0), QColor(255, 255, 255));       // screen outside the frame
    EXPECT_EQ(Pixel(g, 20, 10), QColor(255, 255, 255));     // transparent part
    EXPECT_EQ(Pixel(g, 20, 30), QColor(0, 0, 255));         // opaque part, right rows
    EXPECT_EQ(Pixel(g, 49, 34), QColor(0, 0, 255));
    EXPECT_EQ(Pixel(g, 50, 34), QColor(255, 255, 255));

    Einfarbig(32, 32, Qt::yellow).save(Pfad(QStringLiteral("c.ico")), "ICO");
    EXPECT_EQ(Pixel(VorschauBildDekodieren(Pfad(QStringLiteral("c.ico")), 150), 5, 5), QColor(255, 255, 0));
    Einfarbig(500, 250, Qt::cyan).save(Pfad(QStringLiteral("d.bmp")), "BMP");
    const TVorschauErgebnis b = VorschauErzeugen(Pfad(QStringLiteral("d.bmp")), 150);
    EXPECT_EQ(b.bild.size(), QSize(150, 75));
    EXPECT_TRUE(Nahe(Pixel(b.bild, 70, 30), QColor(0, 255, 255), 2));
}

TEST_F(VorschauLadenTest, KaputteDateien_FehlerStattBild)
{
    const QByteArray jpeg = JpegAusBild(Einfarbig(64, 64, Qt::red));
    QImage png(20, 20, QImage::Format_RGB888);
    png.fill(Qt::red);
    png.save(Pfad(QStringLiteral("ok.png")));
    const QByteArray pngBytes = DateiBytes(Pfad(QStringLiteral("ok.png")));
    const QList<QPair<QString, QByteArray>> faelle = {
        {QStringLiteral("leer.jpg"), QByteArray()},
        {QStringLiteral("muell.jpg"), jpeg.left(2) + QByteArray(500, 'x')},
        {QStringLiteral("png.jpg"), pngBytes},
        {QStringLiteral("halb.png"), pngBytes.left(pngBytes.size() / 2)},
        {QStringLiteral("muell.gif"), QByteArray("GIF89a\xff\xff\xff\xff", 10)},
        {QStringLiteral("muell.bmp"), QByteArray("BM1234")},
        {QStringLiteral("muell.ico"), QByteArray(40, '\0')},
    };
    for (const auto& [name, inhalt] : faelle) {
        DateiSchreiben(Pfad(name), inhalt);
        const TVorschauErgebnis e = VorschauErzeugen(Pfad(name), 150);
        EXPECT_TRUE(e.fehler) << name.toStdString();
        EXPECT_TRUE(e.bild.isNull()) << name.toStdString();
    }
    EXPECT_TRUE(VorschauErzeugen(Pfad(QStringLiteral("fehlt.png")), 150).fehler);
    EXPECT_TRUE(VorschauErzeugen(Pfad(QStringLiteral("ohneendung")), 150).fehler);
    EXPECT_TRUE(VorschauErzeugen(Pfad(QStringLiteral("x.tif")), 150).gear);
    // A JPEG cut short shows what was decoded, as a viewer does.
    DateiSchreiben(Pfad(QStringLiteral("kurz.jpg")), JpegAusBild(Einfarbig(400, 400, Qt::red)).left(1500));
    EXPECT_EQ(VorschauBildDekodieren(Pfad(QStringLiteral("kurz.jpg")), 150).size(), QSize(200, 200));
}

TEST_F(VorschauLadenTest, Vorlader_ErgebnisseInListenreihenfolgeWieEinzeln)
{
    QStringList pfade;
    for (int i = 0; i < 24; ++i) {
        const QString pfad = Pfad(QStringLiteral("b%1.%2").arg(i).arg(i % 3 == 0 ? "png" : "jpg"));
        const QImage bild = Einfarbig(160 + 40 * i, 300 - 5 * i, QColor(10 * i, 255 - 10 * i, 7 * i));
        if (i % 3 == 0)
            bild.save(pfad, "PNG");
        else
            DateiSchreiben(pfad, JpegAusBild(bild));
        pfade << pfad;
    }
    pfade << Pfad(QStringLiteral("fehlt.jpg")) << Pfad(QStringLiteral("x.tif"));
    for (const int threads : {1, 3}) {
        TVorschauVorlader vorlader(pfade, 150, threads, 4);
        for (int k = 0; k < pfade.size(); ++k) {
            TVorschauErgebnis e;
            ASSERT_TRUE(vorlader.Holen(k, e, 20000)) << k;
            const TVorschauErgebnis einzeln = VorschauErzeugen(pfade.at(k), 150);
            EXPECT_EQ(e.bild, einzeln.bild) << k;
            EXPECT_EQ(e.groesse, einzeln.groesse) << k;
            EXPECT_EQ(e.fehler, einzeln.fehler) << k;
            EXPECT_EQ(e.gear, einzeln.gear) << k;
        }
    }
    // Stopped half-way, it ends without waiting for the rest.
    TVorschauVorlader vorlader(pfade, 150, 2, 2);
    TVorschauErgebnis e;
    ASSERT_TRUE(vorlader.Holen(0, e, 20000));
    vorlader.Stoppen();
    EXPECT_FALSE(vorlader.Holen(pfade.size() - 1, e, 50));
}

TEST_F(VorschauLadenTest, Vorlader_SehrGrosseBilderNacheinanderOhneStillstand)
{
    // Above the size of which only two are decoded at a time: five of them
    // on four threads all arrive.
    const QString pfad = Pfad(QStringLiteral("riesig.bmp"));
    ASSERT_TRUE(Einfarbig(5800, 5800, QColor(0, 128, 255)).save(pfad, "BMP"));
    const QStringList pfade(5, pfad);
    TVorschauVorlader vorlader(pfade, 150, 4, 5);
    for (int k = 0; k < pfade.size(); ++k) {
        TVorschauErgebnis e;
        ASSERT_TRUE(vorlader.Holen(k, e, 60000)) << k;
        EXPECT_EQ(e.bild.size(), QSize(150, 150)) << k;
        EXPECT_TRUE(Nahe(Pixel(e.bild, 70, 70), QColor(0, 128, 255), 2)) << k;
    }
    QFile::remove(pfad);
}
