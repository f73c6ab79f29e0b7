#include <gtest/gtest.h>
#include <QFile>
#include <random>
#include "TestHilfen.h"
#include "gear/GearBmp.h"

namespace {

QImage Zufallsbild(int w, int h, unsigned saat)
{
    QImage bild(w, h, QImage::Format_BGR888);
    std::mt19937 zufall(saat);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            bild.scanLine(y)[x] = uchar(zufall());
    return bild;
}

bool GleichePixel(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3) != 0)
            return false;
    return true;
}

} // namespace

TEST(Transfer, UngeradeBreiteKommtZeilengenauZurueck)
{
    const QString pfad = FrischerOrdner("transfer") + "/t.bmp";
    for (int w : {1, 5, 7, 4097}) {
        TGearSeite seite{Zufallsbild(w, 13, unsigned(w)), 24};
        QString fehler;
        ASSERT_TRUE(BmpDateiSchreiben(seite, pfad, fehler)) << fehler.toStdString();
        QImage zurueck;
        ASSERT_TRUE(BmpDateiLesen24(pfad, zurueck, fehler)) << fehler.toStdString();
        EXPECT_TRUE(GleichePixel(seite.bild, zurueck)) << "Breite " << w;
        // Another reader agrees on orientation and padding.
        EXPECT_TRUE(GleichePixel(QImage(pfad, "BMP").convertToFormat(QImage::Format_BGR888), zurueck));
    }
}

TEST(Transfer, VonObenGespeicherteBitmapWirdRichtigHerumGelesen)
{
    const QImage bild = Zufallsbild(3, 4, 7);
    QByteArray d(54, '\0');
    auto setze32 = [&d](int o, quint32 v) { for (int i = 0; i < 4; ++i) d[o + i] = char(v >> (8 * i)); };
    d[0] = 'B';
    d[1] = 'M';
    setze32(10, 54);
    setze32(14, 40);
    setze32(18, 3);
    setze32(22, quint32(-4));
    d[26] = 1;
    d[28] = 24;
    for (int y = 0; y < 4; ++y)
        d.append(reinterpret_cast<const char*>(bild.constScanLine(y)), 12);
    setze32(2, quint32(d.size()));
    const QString pfad = FrischerOrdner("transfer") + "/oben.bmp";
    DateiSchreiben(pfad, d);
    QImage zurueck;
    QString fehler;
    ASSERT_TRUE(BmpDateiLesen24(pfad, zurueck, fehler));
    EXPECT_TRUE(GleichePixel(bild, zurueck));
}

TEST(Transfer, AbgeschnitteneBitmapGibtFehler)
{
    TGearSeite seite{Zufallsbild(20, 20, 3), 24};
    const QString pfad = FrischerOrdner("transfer") + "/kurz.bmp";
    QString fehler;
    ASSERT_TRUE(BmpDateiSchreiben(seite, pfad, fehler));
    QByteArray d = DateiBytes(pfad);
    d.chop(100);
    DateiSchreiben(pfad, d);
    QImage zurueck;
    EXPECT_FALSE(BmpDateiLesen24(pfad, zurueck, fehler));
    EXPECT_FALSE(fehler.isEmpty());
}

TEST(Transfer, PalettenseiteBehaeltFarbenUeberDenLangsamenWeg)
{
    QImage bild(4, 2, QImage::Format_Indexed8);
    bild.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    bild.fill(1);
    bild.setPixel(0, 0, 0);
    TGearSeite seite{bild, 8};
    const QString pfad = FrischerOrdner("transfer") + "/pal.bmp";
    QString fehler;
    ASSERT_TRUE(BmpDateiSchreiben(seite, pfad, fehler));
    EXPECT_EQ(DateiBytes(pfad).at(28), 8);   // the depth survives: biBitCount 8
    QImage zurueck;
    ASSERT_TRUE(BmpDateiLesen24(pfad, zurueck, fehler));
    EXPECT_EQ(zurueck.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(zurueck.pixel(3, 1), qRgb(200, 100, 50));
}
