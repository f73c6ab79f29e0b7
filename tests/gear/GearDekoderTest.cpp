// Decoders of the imaging control on generated files: row and column order
// from the file's own header, run-length bounds, pages on demand, the memory
// budget, declared sizes the data cannot fill, and GIF frames.
#include "gear/Gear.h"
#include "gear/GearHilfen.h"
#include "TestHilfen.h"
#include "gear/GearTestnaht.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <Magick++.h>
#include <tiffio.h>
#include <malloc.h>
#include <map>

namespace {

void Le16(QByteArray& d, int i, uint32_t v) { d[i] = char(v); d[i + 1] = char(v >> 8); }
void Le32(QByteArray& d, int i, uint32_t v) { for (int k = 0; k < 4; ++k) d[i + k] = char(v >> (8 * k)); }

// Bytes the heap holds now, mapped blocks included.
qint64 BelegterSpeicher()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64(m.uordblks) + qint64(m.hblkhd);
}

// Pretends the machine has this much memory available while it lives.
struct TGrenze {
    explicit TGrenze(qint64 bytes) { GearSpeicherGrenzeSetzen(bytes); }
    ~TGrenze() { GearSpeicherGrenzeSetzen(0); }
};

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
    // 8.45 million runs of 255 pixels on one row of 16 push a 32-bit
    // column counter past its range; the file is refused, nothing is written.
    for (int kompression : {1, 2}) {
        QByteArray d = RleKopf(16, 4, kompression);
        const qsizetype kopf = d.size();
        const qsizetype laeufe = 8'450'000;
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

// ---- BMP row order ------------------------------------------------------------------

// A BI_RGB BMP of 3 x 2 pixels at 24 or 8 bits; a negative height stores the
// top row first.
QByteArray Bmp(int bits, bool vonOben)
{
    const int w = 3, h = 2, farben = bits == 8 ? 256 : 0;
    const int zeile = (w * bits / 8 + 3) / 4 * 4;
    QByteArray d(54 + 4 * farben, '\0');
    d[0] = 'B';
    d[1] = 'M';
    Le32(d, 10, uint32_t(d.size()));
    Le32(d, 14, 40);
    Le32(d, 18, uint32_t(w));
    Le32(d, 22, uint32_t(vonOben ? -h : h));
    Le16(d, 26, 1);
    Le16(d, 28, uint32_t(bits));
    for (int i = 0; i < farben; ++i) {
        d[54 + 4 * i] = char(i);          // blue = index
        d[54 + 4 * i + 2] = char(255 - i);
    }
    for (int r = 0; r < h; ++r) {
        const int y = vonOben ? r : h - 1 - r;
        QByteArray z(zeile, '\0');
        for (int x = 0; x < w; ++x) {
            const int wert = 10 * (y * w + x) + 10;
            if (bits == 8)
                z[x] = char(wert);
            else
                z[3 * x] = char(wert);    // blue
        }
        d += z;
    }
    return d;
}

TEST(GearDekoder, BmpZeilenfolgeAusDerHoehe)
{
    for (int bits : {8, 24})
        for (bool vonOben : {false, true}) {
            TGear g;
            g.LoadImage(Ablegen(QStringLiteral("bmpfolge"), QStringLiteral("b.bmp"), Bmp(bits, vonOben)));
            ASSERT_EQ(g.ErrCount(), 0) << bits << vonOben;
            const QImage b = g.Picture();
            ASSERT_EQ(b.size(), QSize(3, 2));
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(qBlue(b.pixel(x, y)), 10 * (y * 3 + x) + 10) << bits << " " << vonOben << " " << x << "," << y;
        }
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

// ---- GIF -------------------------------------------------------------------------

// LZW codes packed low bit first.
class TLzw {
public:
    explicit TLzw(int minimum = 8) : m_minimum(minimum) {}
    // volleTabelle: when all 4,096 codes are used, go on with 12-bit codes
    // and send the clear code only nachVoll codes later.
    QByteArray Kodieren(const std::vector<uint8_t>& px, bool volleTabelle, int nachVoll = 300)
    {
        const int loeschen = 1 << m_minimum, ende = loeschen + 1;
        Neu();
        Code(loeschen);
        int voll = -1;
        int prefix = px[0];
        for (size_t i = 1; i < px.size(); ++i) {
            const uint32_t schluessel = (uint32_t(prefix) << 8) | px[i];   // codes < 4096, pixels < 256
            const auto it = m_tabelle.find(schluessel);
            if (it != m_tabelle.end()) {
                prefix = it->second;
                continue;
            }
            Code(prefix);
            if (m_naechster < 4096) {
                m_tabelle[schluessel] = m_naechster++;
                if (m_naechster - 1 == (1 << m_breite) && m_breite < 12)
                    ++m_breite;
            } else if (!volleTabelle || (voll >= 0 && ++voll > nachVoll)) {
                Code(loeschen);
                Neu();
                voll = -1;
            } else {
                voll = std::max(voll, 0);
                ++m_beiVollerTabelle;
            }
            prefix = px[i];
        }
        Code(prefix);
        Code(ende);
        if (m_anzahl > 0)
            m_bytes += char(m_puffer);
        QByteArray aus(1, char(m_minimum));
        for (int p = 0; p < m_bytes.size(); p += 255) {
            const QByteArray stueck = m_bytes.mid(p, 255);
            aus += char(stueck.size());
            aus += stueck;
        }
        aus += char(0);
        return aus;
    }
    int m_beiVollerTabelle = 0;   // codes sent while all 4,096 were in use

private:
    void Neu()
    {
        m_tabelle.clear();
        m_naechster = (1 << m_minimum) + 2;
        m_breite = m_minimum + 1;
    }
    void Code(int c)
    {
        m_puffer |= uint32_t(c) << m_anzahl;
        m_anzahl += m_breite;
        while (m_anzahl >= 8) {
            m_bytes += char(m_puffer & 0xFF);
            m_puffer >>= 8;
            m_anzahl -= 8;
        }
    }
    int m_minimum;
    std::map<uint32_t, int> m_tabelle;
    int m_naechster = 0, m_breite = 0;
    uint32_t m_puffer = 0;
    int m_anzahl = 0;
    QByteArray m_bytes;
};

struct TGifTeil {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<uint8_t> px;
    QList<QRgb> karte;          // empty: the global map
    int verzoegerung = 0;
    int entsorgung = 0;
    int transparent = -1;
    bool volleTabelle = false;
    int minimum = 8;
};

QByteArray Farbkarte(QList<QRgb> t)
{
    t.resize(256, qRgb(0, 0, 0));
    QByteArray d;
    for (QRgb c : t)
        d += QByteArray() + char(qRed(c)) + char(qGreen(c)) + char(qBlue(c));
    return d;
}

QByteArray Gif(int w, int h, const QList<QRgb>& global, const std::vector<TGifTeil>& teile)
{
    QByteArray d("GIF89a");
    d += QByteArray(7, '\0');
    Le16(d, 6, uint32_t(w));
    Le16(d, 8, uint32_t(h));
    d[10] = char(0xF7);   // global map of 256 entries
    d += Farbkarte(global);
    for (const TGifTeil& t : teile) {
        QByteArray gcb("\x21\xF9\x04\0\0\0\0\0", 8);
        gcb[3] = char((t.entsorgung << 2) | (t.transparent >= 0 ? 1 : 0));
        Le16(gcb, 4, uint32_t(t.verzoegerung));
        gcb[6] = char(std::max(0, t.transparent));
        d += gcb;
        QByteArray desc(10, '\0');
        desc[0] = ',';
        Le16(desc, 1, uint32_t(t.x));
        Le16(desc, 3, uint32_t(t.y));
        Le16(desc, 5, uint32_t(t.w));
        Le16(desc, 7, uint32_t(t.h));
        desc[9] = char(t.karte.isEmpty() ? 0 : 0x87);
        d += desc;
        if (!t.karte.isEmpty())
            d += Farbkarte(t.karte);
        TLzw lzw(t.minimum);
        d += lzw.Kodieren(t.px, t.volleTabelle);
    }
    d += ';';
    return d;
}

TGifTeil Flaeche(int x, int y, int w, int h, uint8_t index)
{
    TGifTeil t;
    t.x = x;
    t.y = y;
    t.w = w;
    t.h = h;
    t.px.assign(size_t(w * h), index);
    return t;
}

const QList<QRgb> Grundfarben = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};

TEST(GearDekoder, GifMitAllenViertausendCodesVorDemLoeschcode)
{
    // The encoder keeps sending 12-bit codes with a full table before it
    // clears, as the format allows: noise at 8 bits, two colours at the
    // smallest code size, and one colour whose strings grow longest.
    QList<QRgb> karte;
    for (int i = 0; i < 256; ++i)
        karte.append(qRgb(i, 255 - i, (i * 7) & 255));
    struct T { int minimum, farben, w, h; };
    for (const T& f : {T{8, 200, 160, 120}, T{2, 2, 160, 400}, T{2, 1, 4000, 2200}}) {
        TGifTeil t = Flaeche(0, 0, f.w, f.h, 0);
        t.minimum = f.minimum;
        t.volleTabelle = true;
        uint32_t z = 12345;
        for (uint8_t& p : t.px) {
            z = z * 1103515245u + 12345u;
            p = uint8_t((z >> 16) % uint32_t(f.farben));
        }
        TLzw probe(f.minimum);
        probe.Kodieren(t.px, true);
        ASSERT_GT(probe.m_beiVollerTabelle, 0) << f.minimum << "/" << f.farben;
        TGear g;
        g.LoadImage(Ablegen(QStringLiteral("gifvoll"), QStringLiteral("v.gif"), Gif(t.w, t.h, karte, {t})));
        ASSERT_EQ(g.ErrCount(), 0) << f.farben << ": " << g.LetzterFehler().toStdString();
        const QImage b = g.Picture();
        int falsch = 0;
        for (int y = 0; y < t.h; ++y)
            for (int x = 0; x < t.w; ++x)
                falsch += (b.pixel(x, y) & 0xFFFFFF) != (karte[t.px[size_t(y * t.w + x)]] & 0xFFFFFF);
        EXPECT_EQ(falsch, 0) << f.farben;
    }
}

// Page 1: a red ground, an overlapping block with its own colour map and a
// blue block with one transparent pixel, all without delay but the last one,
// which is to be restored afterwards. Page 2: a green corner on what lay
// under the blue block.
std::vector<TGifTeil> Bloecke()
{
    std::vector<TGifTeil> v;
    v.push_back(Flaeche(0, 0, 8, 6, 1));
    TGifTeil b = Flaeche(2, 1, 4, 3, 0);
    b.karte = {qRgb(255, 255, 0), qRgb(255, 255, 255)};
    for (size_t i = 0; i < b.px.size(); ++i)
        b.px[i] = uint8_t(i & 1);
    v.push_back(b);
    TGifTeil c = Flaeche(4, 3, 4, 3, 3);
    c.px[0] = 0;
    c.transparent = 0;
    c.verzoegerung = 10;
    c.entsorgung = 3;
    v.push_back(c);
    TGifTeil d = Flaeche(0, 0, 2, 2, 2);
    d.verzoegerung = 10;
    v.push_back(d);
    return v;
}

QRgb SeiteSoll(int seite, int x, int y)
{
    if (seite == 2 && x < 2 && y < 2)
        return qRgb(0, 255, 0);
    if (seite == 1 && x >= 4 && y >= 3 && !(x == 4 && y == 3))
        return qRgb(0, 0, 255);
    if (x >= 2 && x < 6 && y >= 1 && y < 4)
        return ((y - 1) * 4 + (x - 2)) & 1 ? qRgb(255, 255, 255) : qRgb(255, 255, 0);
    return qRgb(255, 0, 0);
}

TEST(GearDekoder, GifBloeckeOhneVerzoegerungWerdenEinBild)
{
    TGear g;
    g.LoadImage(Ablegen(QStringLiteral("gifbloecke"), QStringLiteral("b.gif"), Gif(8, 6, Grundfarben, Bloecke())));
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.PageCount(), 2);
    // Forward, back to the start, and forward again from there.
    for (int seite : {1, 2, 1, 2}) {
        g.SetPage(seite);
        ASSERT_EQ(g.ErrCount(), 0);
        const QImage b = g.Picture();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(b.pixel(x, y) & 0xFFFFFF, SeiteSoll(seite, x, y) & 0xFFFFFF)
                    << "Seite " << seite << " bei " << x << "," << y;
    }
}

TEST(GearDekoder, GifSeitenWerdenErstBeimBlaetternGelesen)
{
    // 60 frames on a 2000 x 2000 screen: all of them as pages would hold
    // 240 MB; one page and the canvas need 8, the budget has 16.
    std::vector<TGifTeil> v;
    for (int i = 0; i < 60; ++i) {
        TGifTeil t = Flaeche(i * 30, i * 30, 10, 10, uint8_t(1 + i % 3));
        t.verzoegerung = 5;
        v.push_back(t);
    }
    const QString pfad = Ablegen(QStringLiteral("gifseiten"), QStringLiteral("s.gif"), Gif(2000, 2000, Grundfarben, v));
    const TGrenze grenze(16 << 20);
    const qint64 vorher = BelegterSpeicher();
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.PageCount(), 60);
    g.SetPage(60);
    EXPECT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_LT(BelegterSpeicher() - vorher, qint64(40) << 20);
    EXPECT_EQ(g.Page(), 60);
    const QImage b = g.Picture();
    EXPECT_EQ(b.pixel(59 * 30 + 5, 59 * 30 + 5) & 0xFFFFFF, Grundfarben[1 + 59 % 3] & 0xFFFFFF);
    EXPECT_EQ(b.pixel(5, 5) & 0xFFFFFF, Grundfarben[1] & 0xFFFFFF);
}

TEST(GearDekoder, GifDessenKopieNichtInDenSpeicherPasstGibtFehler)
{
    // The canvas fits the budget, the copy kept for "restore previous" does
    // not: a clear message, no crash, and no page.
    TGifTeil t = Flaeche(0, 0, 4, 4, 1);
    t.entsorgung = 3;
    const QString pfad = Ablegen(QStringLiteral("gifkopie"), QStringLiteral("k.gif"), Gif(4000, 4000, Grundfarben, {t}));
    const TGrenze grenze(20 << 20);
    TGear g;
    g.LoadImage(pfad);
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_TRUE(g.LetzterFehler().contains(QStringLiteral("Arbeitsspeicher"))) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.ImageHeight(), 0);
}

// ---- Declared sizes the data cannot fill, and the memory budget ---------------

QByteArray KleinesJpeg(int w, int h)
{
    QImage b(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, qRgb((x * 13) & 255, (y * 7) & 255, (x ^ y) & 255));
    TGear g;
    g.SetPicture(b);
    g.SetSaveFormat(21);
    QByteArray d;
    EXPECT_TRUE(g.SaveToBytes(d));
    return d;
}

TEST(GearDekoder, JpegMitRiesigerAngabeUndWenigDatenWirdAbgelehnt)
{
    // The frame header of a 32 x 32 JPEG claims 65,500 x 8,192 pixels.
    QByteArray d = KleinesJpeg(32, 32);
    const int sof = d.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    d[sof + 5] = char(8192 >> 8);
    d[sof + 6] = char(8192 & 255);
    d[sof + 7] = char(65500 >> 8);
    d[sof + 8] = char(65500 & 255);
    TGear g;
    g.LoadImage(Ablegen(QStringLiteral("jpgriesig"), QStringLiteral("r.jpg"), d));
    EXPECT_GT(g.ErrCount(), 0);
    EXPECT_TRUE(g.LetzterFehler().contains(QStringLiteral("zu wenig Bilddaten"))) << g.LetzterFehler().toStdString();
}

TEST(GearDekoder, JpegOhneOderMitLeeremScanWirdAbgelehnt)
{
    const QByteArray d = KleinesJpeg(64, 64);
    const int sos = d.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(sos, 0);
    const int kopf = 2 + ((uint8_t(d[sos + 2]) << 8) | uint8_t(d[sos + 3]));
    const QByteArray eoi("\xFF\xD9", 2);
    const QByteArray faelle[] = {d.left(sos) + eoi, d.left(sos + kopf) + eoi};
    int i = 0;
    for (const QByteArray& f : faelle) {
        TGear g;
        g.LoadImage(Ablegen(QStringLiteral("jpgleer"), QStringLiteral("l%1.jpg").arg(i++), f));
        EXPECT_GT(g.ErrCount(), 0) << i;
    }
}

TEST(GearDekoder, JpegDessenScanVorzeitigEndetZeigtDieZeilenDavor)
{
    // The scan stops half way at the end marker: enough data for the size
    // check; the lower rows were never in the file and show the background.
    const QByteArray d = KleinesJpeg(256, 256);
    const int sos = d.indexOf(QByteArray("\xFF\xDA", 2));
    QByteArray kurz = d.left(sos + (d.size() - sos) / 2);
    while (kurz.endsWith(char(0xFF)))
        kurz.chop(1);
    kurz += QByteArray("\xFF\xD9", 2);
    TGear g;
    g.SetHintergrund(qRgb(7, 8, 9));
    g.LoadImage(Ablegen(QStringLiteral("jpghalb"), QStringLiteral("h.jpg"), kurz));
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_TRUE(g.Beschaedigt());
    const QImage halb = g.Picture();
    EXPECT_EQ(halb.pixel(0, 255), qRgb(7, 8, 9));
    EXPECT_EQ(halb.pixel(255, 255), qRgb(7, 8, 9));
    EXPECT_NE(halb.pixel(8, 8), qRgb(7, 8, 9));
    TGear ganz;
    ganz.LoadImage(Ablegen(QStringLiteral("jpgganz"), QStringLiteral("g.jpg"), d));
    EXPECT_EQ(ganz.ErrCount(), 0);
    EXPECT_FALSE(ganz.Beschaedigt());
}

TEST(GearDekoder, GrauesJpegNachProgressivemIstVollstaendig)
{
    // The same encoder coded a progressive colour picture just before.
    TGear p;
    p.SetPicture(QImage(40, 30, QImage::Format_BGR888));
    p.SetSaveFormat(21);
    p.SetControlMode(1813);
    p.SetControlValue(2);
    QByteArray progressiv;
    ASSERT_TRUE(p.SaveToBytes(progressiv));
    QImage grau(20, 10, QImage::Format_Grayscale8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            grau.scanLine(y)[x] = uint8_t(x * 12);
    TGear g;
    g.SetPicture(grau);
    g.SetSaveFormat(21);
    QByteArray d;
    ASSERT_TRUE(g.SaveToBytes(d));
    TGear l;
    l.LoadImage(Ablegen(QStringLiteral("jpggrau"), QStringLiteral("g.jpg"), d));
    ASSERT_EQ(l.ErrCount(), 0) << l.LetzterFehler().toStdString();
    EXPECT_NEAR(qRed(l.Picture().pixel(19, 9)), 228, 8);
}

// A TIFF whose single strip holds stripBytes bytes for a w x h picture.
QString TiffMitStreifen(const QString& name, uint32_t w, uint32_t h, uint16_t kompression, int stripBytes)
{
    const QString pfad = FrischerOrdner(QStringLiteral("tiffgross")) + QLatin1Char('/') + name;
    TIFF* tif = TIFFOpen(pfad.toLocal8Bit().constData(), "w");
    EXPECT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, kompression);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
    std::vector<uint8_t> roh(size_t(stripBytes), 0);
    TIFFWriteRawStrip(tif, 0, roh.data(), tmsize_t(roh.size()));
    TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return pfad;
}

TEST(GearDekoder, TiffMitRiesigerAngabeUndWenigDatenWirdAbgelehnt)
{
    for (uint16_t k : {uint16_t(COMPRESSION_NONE), uint16_t(COMPRESSION_LZW), uint16_t(COMPRESSION_PACKBITS)}) {
        TGear g;
        g.LoadImage(TiffMitStreifen(QStringLiteral("g%1.tif").arg(k), 20000, 20000, k, 3000));
        EXPECT_GT(g.ErrCount(), 0) << k;
        EXPECT_TRUE(g.LetzterFehler().contains(QStringLiteral("zu wenig Bilddaten"))) << g.LetzterFehler().toStdString();
    }
    // A strip that holds the picture is read.
    TGear g;
    g.LoadImage(TiffMitStreifen(QStringLiteral("passt.tif"), 10, 10, COMPRESSION_NONE, 300));
    EXPECT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
}

TEST(GearDekoder, BildGroesserAlsDerFreieSpeicherGibtDeutscheMeldung)
{
    // Our own BMP reader, and a PCX that ImageMagick reads (its pixels need
    // about 24 MB there); the same files load once the memory is there.
    struct T { int id; const char* name; int w, h; qint64 grenze; };
    for (const T& t : {T{2, "p.bmp", 1200, 1000, 2 << 20}, T{31, "p.pcx", 2000, 1500, 12 << 20}}) {
        QImage b(t.w, t.h, QImage::Format_BGR888);
        b.fill(Qt::darkCyan);
        TGear s;
        s.SetPicture(b);
        s.SetSaveFormat(t.id);
        const QString pfad = FrischerOrdner(QStringLiteral("speicher")) + QLatin1Char('/') + QLatin1String(t.name);
        s.SaveImage(pfad);
        ASSERT_EQ(s.ErrCount(), 0);
        {
            const TGrenze grenze(t.grenze);
            TGear g;
            g.LoadImage(pfad);
            EXPECT_GT(g.ErrCount(), 0) << t.name;
            EXPECT_TRUE(g.LetzterFehler().startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht: es braucht ")))
                << g.LetzterFehler().toStdString();
        }
        TGear wieder;
        wieder.LoadImage(pfad);
        EXPECT_EQ(wieder.ErrCount(), 0) << t.name;
    }
}

// ---- ImageMagick -----------------------------------------------------------------

// A CMYK JPEG written by ImageMagick with a few bytes changed: ImageMagick
// reads it with a recorded error, and the change to RGB then throws.
QByteArray BeschaedigtesCmykJpeg()
{
    Magick::Image v(Magick::Geometry(48, 40), Magick::Color("orange"));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            v.pixelColor(size_t(x), size_t(y),
                         Magick::ColorRGB((x * 5 % 48) / 48.0, (y * 3 % 40) / 40.0, ((x ^ y) & 15) / 15.0));
    v.colorSpace(Magick::CMYKColorspace);
    v.magick("JPEG");
    Magick::Blob blob;
    v.write(&blob);
    QByteArray d(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
    uint32_t z = 99 + 74 * 7919u;
    for (int j = 0; j < 5; ++j) {
        z = z * 1103515245u + 12345u;
        const int pos = int((z >> 8) % uint32_t(d.size()));
        z = z * 1103515245u + 12345u;
        d[pos] = char(z >> 16);
    }
    return d;
}

TEST(GearDekoder, FehlgeschlagenesCmykJpegLaesstKeinenSpeicherZurueck)
{
    const QString pfad = FrischerOrdner(QStringLiteral("leck")) + QStringLiteral("/f.jpg");
    DateiSchreiben(pfad, BeschaedigtesCmykJpeg());
    {
        TGear g;
        g.LoadImage(pfad);
        ASSERT_GT(g.ErrCount(), 0) << "die Datei muss beim Umrechnen nach RGB scheitern";
    }
    for (int r = 0; r < 20; ++r) {
        TGear g;
        g.LoadImage(pfad);
    }
    // 200 failed loads; a lost exception record per load would be 48 KB.
    const qint64 vorher = BelegterSpeicher();
    for (int r = 0; r < 200; ++r) {
        TGear g;
        g.LoadImage(pfad);
    }
    EXPECT_LT(BelegterSpeicher() - vorher, 20000);
}

// ---- TIFF orientation -----------------------------------------------------------

TEST(GearDekoder, TiffOrientierungBestimmtZeilenUndSpalten)
{
    // Stored rows of a 3 x 2 grey picture; each orientation must give the
    // same upright picture  10 20 30 / 40 50 60, in strips and in tiles
    // (which take libtiff's RGBA road).
    const uint8_t aufrecht[2][3] = {{10, 20, 30}, {40, 50, 60}};
    for (bool kacheln : {false, true})
        for (uint16_t o = 1; o <= 8; ++o) {
            const bool quer = o >= 5;
            const uint32_t w = quer ? 2 : 3, h = quer ? 3 : 2;
            const uint32_t breite = kacheln ? 16 : w, hoehe = kacheln ? 16 : h;
            std::vector<uint8_t> roh(size_t(breite * hoehe));
            for (uint32_t r = 0; r < h; ++r)
                for (uint32_t c = 0; c < w; ++c) {
                    // Where stored (r, c) lands in the upright picture.
                    int x = 0, y = 0;
                    switch (o) {
                    case 1: x = int(c); y = int(r); break;
                    case 2: x = int(w - 1 - c); y = int(r); break;
                    case 3: x = int(w - 1 - c); y = int(h - 1 - r); break;
                    case 4: x = int(c); y = int(h - 1 - r); break;
                    case 5: x = int(r); y = int(c); break;
                    case 6: x = int(h - 1 - r); y = int(c); break;
                    case 7: x = int(h - 1 - r); y = int(w - 1 - c); break;
                    case 8: x = int(r); y = int(w - 1 - c); break;
                    }
                    roh[r * breite + c] = aufrecht[y][x];
                }
            const QString pfad = FrischerOrdner(QStringLiteral("tifforient")) + QStringLiteral("/o%1.tif").arg(o);
            TIFF* tif = TIFFOpen(pfad.toLocal8Bit().constData(), "w");
            ASSERT_NE(tif, nullptr);
            TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            TIFFSetField(tif, TIFFTAG_ORIENTATION, o);
            if (kacheln) {
                TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
                TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
                TIFFWriteEncodedTile(tif, 0, roh.data(), tmsize_t(roh.size()));
            } else {
                TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
                TIFFWriteEncodedStrip(tif, 0, roh.data(), tmsize_t(roh.size()));
            }
            TIFFWriteDirectory(tif);
            TIFFClose(tif);
            TGear g;
            g.LoadImage(pfad);
            ASSERT_EQ(g.ErrCount(), 0) << o << ": " << g.LetzterFehler().toStdString();
            const QImage b = g.Picture();
            ASSERT_EQ(b.width(), 3) << o << " " << kacheln;
            ASSERT_EQ(b.height(), 2) << o << " " << kacheln;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(qRed(b.pixel(x, y)), aufrecht[y][x])
                        << "Orientierung " << o << (kacheln ? " Kacheln" : " Streifen") << " bei " << x << "," << y;
        }
}

TEST(GearDekoder, TiffSeitenWerdenErstBeimBlaetternGelesen)
{
    // 20 pages of 2000 x 2000 grey: together 80 MB, one page 4.
    const QString pfad = FrischerOrdner(QStringLiteral("tiffseiten")) + QStringLiteral("/s.tif");
    TIFF* tif = TIFFOpen(pfad.toLocal8Bit().constData(), "w");
    ASSERT_NE(tif, nullptr);
    std::vector<uint8_t> zeile(2000);
    for (int s = 0; s < 20; ++s) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 2000u);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2000u);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 200u);
        std::fill(zeile.begin(), zeile.end(), uint8_t(s * 5));
        for (uint32_t y = 0; y < 2000; ++y)
            TIFFWriteScanline(tif, zeile.data(), y, 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    const TGrenze grenze(16 << 20);
    const qint64 vorher = BelegterSpeicher();
    TGear g;
    g.LoadImage(pfad);
    ASSERT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
    EXPECT_EQ(g.PageCount(), 20);
    EXPECT_LT(BelegterSpeicher() - vorher, qint64(30) << 20);
    for (int seite : {20, 7, 8}) {
        g.SetPage(seite);
        EXPECT_EQ(g.ErrCount(), 0) << g.LetzterFehler().toStdString();
        EXPECT_EQ(qRed(g.Picture().pixel(1000, 1000)), (seite - 1) * 5) << seite;
    }
    EXPECT_LT(BelegterSpeicher() - vorher, qint64(30) << 20);
}

} // namespace


TEST(GearDekoder, IndizesJenseitsDerFarbtabelleVerlaengernSie)
{
    // Widths with and without a tail beyond the 8-byte steps; the stray
    // index sits in the tail, in a step, or not at all.
    for (int breite : {5, 16, 21}) {
        for (int stelle : {-1, 2, breite - 1}) {
            QImage b(breite, 3, QImage::Format_Indexed8);
            b.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)});
            b.fill(2);
            if (stelle >= 0)
                b.scanLine(1)[stelle] = 200;
            GearIndizesAbsichern(b);
            const int erwartet = stelle >= 0 ? 201 : 3;
            ASSERT_EQ(b.colorCount(), erwartet) << breite << " " << stelle;
            EXPECT_EQ(b.color(2), qRgb(7, 8, 9));
            if (stelle >= 0)
                EXPECT_EQ(b.color(200), qRgb(0, 0, 0));
        }
    }
    // Indices whose OR reaches past the table while each one stays inside.
    QImage b(9, 1, QImage::Format_Indexed8);
    QList<QRgb> t(6, qRgb(9, 9, 9));
    b.setColorTable(t);
    b.fill(4);
    b.scanLine(0)[8] = 3;   // 4 | 3 = 7
    GearIndizesAbsichern(b);
    EXPECT_EQ(b.colorCount(), 6);
}
