// Decoders of the imaging control on generated files: row and column order
// from the file's own header, run-length bounds, pages on demand, the memory
// budget, declared sizes the data cannot fill, and GIF frames.
#include "Gear.h"
#include "gear/GearHilfen.h"
#include "TestHilfen.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

void Le16(QByteArray& d, int i, uint32_t v) { d[i] = char(v); d[i + 1] = char(v >> 8); }
void Le32(QByteArray& d, int i, uint32_t v) { for (int k = 0; k < 4; ++k) d[i + k] = char(v >> (8 * k)); }

QString Ablegen(const QString& ordner, const QString& name, const QByteArray& d)
{
    const QString pfad = FrischerOrdner(ordner) + QLatin1Char('/') + name;
    DateiSchreiben(pfad, d);
    return pfad;
}

// ---- BMP run-length bounds ------------------------------------------------

// A BMP header for RLE8 (kompression 1) or RLE4 (2) with a grey palette.
QByteArray RleKopf(int w, int h, int kompression)
{
    const int bits = kompression == 1 ? 8 : 4;
    const int farben = 1 << bits;
    QByteArray d(54 + 4 * farben, '\0');
    d[0] = 'B';
    d[1] = 'M';
    Le32(d, 10, uint32_t(d.size()));
    Le32(d, 14, 40);
    Le32(d, 18, uint32_t(w));
    Le32(d, 22, uint32_t(h));
    Le16(d, 26, 1);
    Le16(d, 28, uint32_t(bits));
    Le32(d, 30, uint32_t(kompression));
    for (int i = 0; i < farben; ++i)
        for (int k = 0; k < 3; ++k)
            d[54 + 4 * i + k] = char(i * 255 / (farben - 1));
    return d;
}

TEST(GearDekoder, BmpRleMitMillionenLaeufenAufEinerZeileIstBeschaedigt)
{
    // 8.4 million runs of 255 pixels on one row of 16 would push a 32-bit
    // column counter past its range; the file is refused, nothing is written.
    for (int kompression : {1, 2}) {
        QByteArray d = RleKopf(16, 4, kompression);
        const qsizetype kopf = d.size();
        const qsizetype laeufe = 8'400'000;
        d.resize(kopf + 2 * laeufe + 2);
        char* p = d.data() + kopf;
        for (qsizetype i = 0; i < laeufe; ++i) {
            p[2 * i] = char(255);
            p[2 * i + 1] = char(0x77);
        }
        p[2 * laeufe] = 0;
        p[2 * laeufe + 1] = 1;
        TGear g;
        g.LoadImage(Ablegen(QStringLiteral("rlelang"), QStringLiteral("r.bmp"), d));
        EXPECT_GT(g.ErrCount(), 0) << kompression;
        EXPECT_EQ(g.ImageHeight(), 0);
    }
}

TEST(GearDekoder, BmpRleLaufUeberDieZeileHinausIstBeschaedigt)
{
    struct T { QByteArray daten; bool gut; };
    const QByteArray ende("\x00\x01", 2);
    const T faelle[] = {
        {QByteArray("\x04\x05\x00\x00\x04\x06", 6) + ende, true},    // two whole rows
        {QByteArray("\x05\x05", 2) + ende, false},                   // run of 5 in a row of 4
        {QByteArray("\x00\x05\x01\x02\x03\x04\x05\x00", 8) + ende, false},   // literal of 5
        {QByteArray("\x00\x02\x05\x00", 4) + ende, false},           // delta right past the row
        {QByteArray("\x00\x02\x00\x09", 4) + ende, false},           // delta down past the picture
        {QByteArray("\x00\x02\x02\x01\x02\x07", 6) + ende, true},    // delta inside, then a run to the end
    };
    int i = 0;
    for (const T& t : faelle) {
        const QByteArray d = RleKopf(4, 3, 1) + t.daten;
        TGear g;
        g.LoadImage(Ablegen(QStringLiteral("rlekurz"), QStringLiteral("r%1.bmp").arg(i), d));
        EXPECT_EQ(g.ErrCount() == 0, t.gut) << i;
        ++i;
    }
    // The good file's bottom row (stored first) holds 5, the next one 6.
    TGear g;
    g.LoadImage(Ablegen(QStringLiteral("rlegut"), QStringLiteral("g.bmp"), RleKopf(4, 3, 1) + faelle[0].daten));
    ASSERT_EQ(g.ErrCount(), 0);
    const QImage b = g.Picture();
    EXPECT_EQ(b.pixelIndex(3, 2), 5);
    EXPECT_EQ(b.pixelIndex(0, 1), 6);
    EXPECT_EQ(b.pixelIndex(0, 0), 0);
}

// ---- TGA origins ----------------------------------------------------------------

// The test picture: 7 x 5, uneven in both directions so any turn or mirror
// shows, with horizontal runs for the RLE packets.
int TgaIndex(int x, int y) { return (x / 2 + 3 * y) % 12; }
QRgb TgaFarbe(int i) { return qRgb((i * 85) % 256, (i * 41 + 30) % 256, 255 - i * 20); }
// The same colours at 5 bits per channel, scaled back the usual way.
int Fuenf(int v) { return v >> 3; }
int Acht(int v5) { return (v5 * 255 + 15) / 31; }

enum class TTgaArt { Palette, Rgb16, Rgb24, Rgb32, Grau8, Grau16 };

QRgb TgaErwartet(TTgaArt art, int x, int y)
{
    const int i = TgaIndex(x, y);
    const QRgb c = TgaFarbe(i);
    switch (art) {
    case TTgaArt::Rgb16: return qRgb(Acht(Fuenf(qRed(c))), Acht(Fuenf(qGreen(c))), Acht(Fuenf(qBlue(c))));
    case TTgaArt::Grau8:
    case TTgaArt::Grau16: return qRgb(i * 20 + 7, i * 20 + 7, i * 20 + 7);
    default: return c;
    }
}

// The bytes of one pixel as the file stores them.
QByteArray TgaPixel(TTgaArt art, int x, int y)
{
    const int i = TgaIndex(x, y);
    const QRgb c = TgaFarbe(i);
    const char alpha = char(100 + 20 * x);
    switch (art) {
    case TTgaArt::Palette: return QByteArray(1, char(i));
    case TTgaArt::Rgb16: {
        const uint32_t v = uint32_t(Fuenf(qBlue(c)) | (Fuenf(qGreen(c)) << 5) | (Fuenf(qRed(c)) << 10) | 0x8000);
        return QByteArray() + char(v) + char(v >> 8);
    }
    case TTgaArt::Rgb24: return QByteArray() + char(qBlue(c)) + char(qGreen(c)) + char(qRed(c));
    case TTgaArt::Rgb32: return QByteArray() + char(qBlue(c)) + char(qGreen(c)) + char(qRed(c)) + alpha;
    case TTgaArt::Grau8: return QByteArray(1, char(i * 20 + 7));
    case TTgaArt::Grau16: return QByteArray() + char(i * 20 + 7) + alpha;
    }
    return {};
}

// A TGA of the test picture; rechts and oben are the origin bits 4 and 5.
QByteArray Tga(TTgaArt art, bool rle, bool rechts, bool oben)
{
    const int w = 7, h = 5;
    const bool pal = art == TTgaArt::Palette;
    const bool grau = art == TTgaArt::Grau8 || art == TTgaArt::Grau16;
    const int typ = (pal ? 1 : grau ? 3 : 2) + (rle ? 8 : 0);
    const int tiefe = art == TTgaArt::Rgb16 || art == TTgaArt::Grau16 ? 16 : art == TTgaArt::Rgb24 ? 24
        : art == TTgaArt::Rgb32 ? 32 : 8;
    const int alphaBits = art == TTgaArt::Rgb32 || art == TTgaArt::Grau16 ? 8 : art == TTgaArt::Rgb16 ? 1 : 0;
    QByteArray d(18, '\0');
    d[1] = char(pal ? 1 : 0);
    d[2] = char(typ);
    if (pal) {
        Le16(d, 5, 12);
        d[7] = 24;
    }
    Le16(d, 12, w);
    Le16(d, 14, h);
    d[16] = char(tiefe);
    d[17] = char(alphaBits | (rechts ? 0x10 : 0) | (oben ? 0x20 : 0));
    if (pal)
        for (int i = 0; i < 12; ++i)
            d += QByteArray() + char(qBlue(TgaFarbe(i))) + char(qGreen(TgaFarbe(i))) + char(qRed(TgaFarbe(i)));
    for (int r = 0; r < h; ++r) {
        const int y = oben ? r : h - 1 - r;
        QList<QByteArray> zeile;
        for (int k = 0; k < w; ++k)
            zeile.append(TgaPixel(art, rechts ? w - 1 - k : k, y));
        if (!rle) {
            for (const QByteArray& p : zeile)
                d += p;
            continue;
        }
        // Equal neighbours become run packets, the others raw packets.
        for (int k = 0; k < w;) {
            int n = 1;
            while (k + n < w && zeile[k + n] == zeile[k])
                ++n;
            if (n > 1) {
                d += char(0x80 | (n - 1));
                d += zeile[k];
            } else {
                n = 1;
                while (k + n < w && zeile[k + n] != zeile[k + n - 1] && (k + n + 1 >= w || zeile[k + n + 1] != zeile[k + n]))
                    ++n;
                d += char(n - 1);
                for (int j = 0; j < n; ++j)
                    d += zeile[k + j];
            }
            k += n;
        }
    }
    return d;
}

TEST(GearDekoder, TgaJedeUrsprungsEckeKommtAufrecht)
{
    // The expected picture goes through the PNG reader, so both roads are
    // compared on the same terms.
    const QString o = FrischerOrdner(QStringLiteral("tga"));
    const char* namen[] = {"palette", "rgb16", "rgb24", "rgb32", "grau8", "grau16"};
    for (TTgaArt art : {TTgaArt::Palette, TTgaArt::Rgb16, TTgaArt::Rgb24, TTgaArt::Rgb32, TTgaArt::Grau8,
                        TTgaArt::Grau16}) {
        QImage soll(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                soll.setPixel(x, y, TgaErwartet(art, x, y));
        const QString png = o + QStringLiteral("/%1.png").arg(QLatin1String(namen[int(art)]));
        ASSERT_TRUE(soll.save(png));
        TGear gp;
        gp.LoadImage(png);
        ASSERT_EQ(gp.ErrCount(), 0);
        const QImage erwartet = gp.Picture();
        for (int ecke = 0; ecke < 8; ++ecke) {
            const bool rle = ecke & 4, rechts = ecke & 1, oben = ecke & 2;
            const QString pfad = o + QStringLiteral("/%1_%2.tga").arg(QLatin1String(namen[int(art)])).arg(ecke);
            DateiSchreiben(pfad, Tga(art, rle, rechts, oben));
            TGear g;
            g.LoadImage(pfad);
            const std::string was = std::string(namen[int(art)]) + (rle ? " rle" : " roh") + (rechts ? " rechts" : " links")
                + (oben ? " oben" : " unten");
            ASSERT_EQ(g.ErrCount(), 0) << was << ": " << g.LetzterFehler().toStdString();
            const QImage b = g.Picture();
            ASSERT_EQ(b.size(), erwartet.size()) << was;
            int abweichung = 0;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    const QRgb a = b.pixel(x, y), e = erwartet.pixel(x, y);
                    abweichung = std::max({abweichung, std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)),
                                           std::abs(qBlue(a) - qBlue(e))});
                }
            EXPECT_LE(abweichung, art == TTgaArt::Rgb16 ? 1 : 0) << was;
        }
    }
}

TEST(GearDekoder, TgaWirdMitObererZeileZuerstUndPassendemUrsprungGeschrieben)
{
    QImage b(5, 3, QImage::Format_BGR888);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            b.setPixel(x, y, qRgb(40 * x, 100 * y, 7));
    TGear g;
    g.SetPicture(b);
    g.SetSaveFormat(39);
    const QString pfad = FrischerOrdner(QStringLiteral("tgaschreiben")) + QStringLiteral("/s.tga");
    g.SaveImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0);
    const QByteArray d = DateiBytes(pfad);
    ASSERT_GE(d.size(), 18 + 3);
    const int idLaenge = uint8_t(d[0]);
    const bool obenZuerst = uint8_t(d[17]) & 0x20;
    // The first stored pixel is the top-left one exactly when the header says so.
    const QByteArray erstes = d.mid(18 + idLaenge, 3);
    const QByteArray obenLinks = QByteArray() + char(7) + char(0) + char(0);
    EXPECT_EQ(erstes == obenLinks, obenZuerst);
    TGear l;
    l.LoadImage(pfad);
    ASSERT_EQ(l.ErrCount(), 0);
    EXPECT_EQ(l.Picture().pixel(4, 0) & 0xFFFFFF, qRgb(160, 0, 7) & 0xFFFFFF);
    EXPECT_EQ(l.Picture().pixel(0, 2) & 0xFFFFFF, qRgb(0, 200, 7) & 0xFFFFFF);
}

} // namespace

