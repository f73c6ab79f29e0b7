#include "gear/GearCodec.h"
#include "gear/GearFax.h"
#include "gear/GearFaxZeilen.h"
#include "gear/GearTiff.h"
#include "gear/GearTestnaht.h"
#include <tiffio.h>
#include <gtest/gtest.h>
#include <QImage>
#include <random>

namespace {

struct TArt {
    int kompression;
    bool zweiD;
    TFaxKodierung kodierung;
};
const TArt Arten[] = {{COMPRESSION_CCITTFAX3, false, TFaxKodierung::G3EinD},
                      {COMPRESSION_CCITTFAX3, true, TFaxKodierung::G3ZweiD},
                      {COMPRESSION_CCITTFAX4, false, TFaxKodierung::G4}};

// Runs of every length 0..2600 in both colours, row after row.
QImage AlleLaeufe(int breite, int versatz)
{
    std::vector<int> laeufe{versatz};
    for (int l = 0; l <= 2600; ++l)
        laeufe.insert(laeufe.end(), {l, l});
    qint64 summe = 0;
    for (int l : laeufe)
        summe += l;
    QImage bild(breite, int((summe + breite - 1) / breite), QImage::Format_Indexed8);
    bild.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    bild.fill(0);
    qint64 p = 0;
    int farbe = 0;
    for (int l : laeufe) {
        for (int k = 0; k < l; ++k, ++p)
            bild.scanLine(int(p / breite))[p % breite] = uint8_t(farbe);
        farbe ^= 1;
    }
    return bild;
}

QByteArray Kodieren(const QImage& bild, const TArt& art)
{
    TGearSeite seite;
    seite.bild = bild;
    seite.bpp = 1;
    QByteArray roh;
    QString fehler;
    EXPECT_TRUE(TiffFaxStreifen(seite, art.kompression, art.zweiD, roh, fehler)) << fehler.toStdString();
    return roh;
}

QByteArray Umgedreht(QByteArray d)
{
    for (char& c : d) {
        uint8_t b = uint8_t(c), r = 0;
        for (int i = 0; i < 8; ++i)
            r |= uint8_t(((b >> i) & 1) << (7 - i));
        c = char(r);
    }
    return d;
}

struct TZeilen {
    std::vector<QByteArray> zeilen;
    std::function<void(int, const uint8_t*)> Sammler(int breite)
    {
        return [this, breite](int, const uint8_t* z) {
            zeilen.emplace_back(reinterpret_cast<const char*>(z), (breite + 7) / 8);
        };
    }
};

// libtiff's reading of the data, in our reader's terms.
TFaxLauf Libtiff(const QByteArray& roh, const TArt& art, bool lsb, int breite, int maxZeilen, TZeilen* z = nullptr)
{
    TFaxEnde ende;
    TFaxLauf l;
    l.zeilen = TiffFaxZeilen(roh, art.kompression, art.zweiD, lsb, breite, maxZeilen,
                             z ? z->Sammler(breite) : std::function<void(int, const uint8_t*)>{}, ende);
    l.ende = ende.endeMarke || ende.datenEnde;
    l.gemeldeteBreite = ende.gemeldeteBreite;
    return l;
}

} // namespace

TEST(GearFaxZeilen, JederLaufBeiJederBreiteWieLibtiff)
{
    for (int breite : {1, 7, 1728, 2592, 3000, 8192}) {
        for (const TArt& art : Arten) {
            const QImage bild = AlleLaeufe(breite, breite % 5);
            const QByteArray roh = Kodieren(bild, art);
            for (bool lsb : {false, true}) {
                const QByteArray d = lsb ? Umgedreht(roh) : roh;
                TZeilen unsere, ihre;
                const TFaxLauf l = FaxZeilenLesen(d, art.kodierung, lsb, breite, bild.height() + 8, unsere.Sammler(breite));
                const TFaxLauf t = Libtiff(d, art, lsb, breite, bild.height() + 8, &ihre);
                SCOPED_TRACE(testing::Message() << "Breite " << breite << " Art " << int(art.kodierung) << " lsb " << lsb);
                EXPECT_TRUE(l.sicher);
                EXPECT_TRUE(l.ende);
                ASSERT_EQ(l.zeilen, bild.height());
                EXPECT_EQ(t.zeilen, l.zeilen);
                EXPECT_TRUE(unsere.zeilen == ihre.zeilen);
                for (int y = 0; y < bild.height(); ++y) {
                    const uint8_t* q = bild.constScanLine(y);
                    const uint8_t* z = reinterpret_cast<const uint8_t*>(unsere.zeilen[size_t(y)].constData());
                    for (int x = 0; x < breite; ++x)
                        ASSERT_EQ((z[x >> 3] >> (7 - (x & 7))) & 1, q[x]) << "Zeile " << y << " x " << x;
                }
            }
        }
    }
}

// Where our reader is certain, it reads broken data as libtiff does: the
// same clean rows, the same stop, the same reported length.
TEST(GearFaxZeilen, SichereAntwortGleichtLibtiffBeiKaputtenDaten)
{
    std::mt19937 zufall(7);
    int sicher = 0, alle = 0;
    for (int breite : {333, 1728, 64}) {
        QImage bild = AlleLaeufe(breite, 3).copy(0, 0, breite, 40);
        for (const TArt& art : Arten) {
            const QByteArray roh = Kodieren(bild, art);
            for (int versuch = 0; versuch < 60; ++versuch) {
                QByteArray d = roh;
                const int wie = versuch % 4;
                if (wie == 0)
                    d = d.left(int(zufall() % uint32_t(d.size())) + 1);
                else if (wie == 1)
                    for (int k = 0; k < 3; ++k)
                        d[int(zufall() % uint32_t(d.size()))] ^= char(1 << (zufall() % 8));
                else if (wie == 2)
                    for (char& c : d)
                        c = char(zufall());
                else
                    d = d.left(int(zufall() % 40) + 1) + QByteArray(int(zufall() % 4), '\0');
                for (int w : {breite, breite + 1, breite - 1, 1728, 1 << 15}) {
                    const int maxZeilen = int(std::min<qsizetype>(d.size() * 8 + 1, 3000));
                    const bool lsb = versuch % 7 == 0;
                    const TFaxLauf l = FaxZeilenLesen(d, art.kodierung, lsb, w, maxZeilen);
                    ++alle;
                    if (!l.sicher)
                        continue;
                    ++sicher;
                    const TFaxLauf t = Libtiff(d, art, lsb, w, maxZeilen);
                    SCOPED_TRACE(testing::Message() << "Art " << int(art.kodierung) << " Breite " << w << " Versuch "
                                                    << versuch << " Groesse " << d.size() << " lsb " << lsb);
                    EXPECT_EQ(l.zeilen, t.zeilen);
                    EXPECT_EQ(l.ende && l.zeilen > 0, t.ende && t.zeilen > 0);
                    if (l.zeilen == 0) {
                        EXPECT_EQ(l.gemeldeteBreite, t.gemeldeteBreite);
                    }
                }
            }
        }
    }
    // The screen is worth its keep only when it is mostly certain.
    EXPECT_GT(sicher * 10, alle * 7) << sicher << " von " << alle;
}

namespace {

struct TGelesen {
    bool ok;
    QImage bild;
    QString kompression, fehler;
};

TGelesen Lesen(const QByteArray& d, bool g4, bool schnell)
{
    FaxSchnellpruefungErlaubt = schnell;
    TGearSeite s;
    TGelesen g;
    g.ok = FaxRohDekodieren(d, g4, s, g.kompression, g.fehler);
    g.bild = s.bild;
    FaxSchnellpruefungErlaubt = true;
    return g;
}

void GleichMitUndOhneVorpruefung(const QByteArray& d, bool g4)
{
    const TGelesen mit = Lesen(d, g4, true), ohne = Lesen(d, g4, false);
    EXPECT_EQ(mit.ok, ohne.ok);
    EXPECT_EQ(mit.bild.size(), ohne.bild.size());
    EXPECT_TRUE(mit.bild == ohne.bild);
    EXPECT_EQ(mit.kompression, ohne.kompression);
    EXPECT_EQ(mit.fehler, ohne.fehler);
}

} // namespace

// The screen only saves time: the reader gives the same picture, coding
// and message with it as without, and each certain answer is libtiff's.
TEST(GearFaxZeilen, RohLesenGleichMitUndOhneVorpruefung)
{
    FaxSchnellpruefungNachpruefen = true;
    FaxSchnellpruefungAbweichungen = 0;
    std::mt19937 zufall(11);
    for (int breite : {333, 1000, 2345, 1728}) {
        const QImage bild = AlleLaeufe(breite, 1).copy(0, 0, breite, 30);
        for (const TArt& art : Arten) {
            const bool g4 = art.kodierung == TFaxKodierung::G4;
            SCOPED_TRACE(testing::Message() << "Breite " << breite << " Art " << int(art.kodierung));
            const QByteArray roh = Kodieren(bild, art);
            const TGelesen gut = Lesen(roh, g4, true);
            EXPECT_TRUE(gut.ok);
            EXPECT_EQ(gut.bild.size(), bild.size());
            GleichMitUndOhneVorpruefung(roh, g4);
            GleichMitUndOhneVorpruefung(Umgedreht(roh), g4);
            if (breite != 333)
                continue;   // the damaged G4 files make libtiff try every width
            GleichMitUndOhneVorpruefung(roh.left(roh.size() / 2), g4);
            QByteArray gekippt = roh;
            gekippt[gekippt.size() / 3] = char(~gekippt[gekippt.size() / 3]);
            GleichMitUndOhneVorpruefung(gekippt, g4);
            GleichMitUndOhneVorpruefung(roh.left(roh.size() / 2), !g4);
        }
    }
    QByteArray muell(300, '\0');
    for (char& c : muell)
        c = char(zufall());
    // Horizontal steps with empty runs at nearly every width.
    GleichMitUndOhneVorpruefung(QByteArray::fromHex("26a670ce19c338670ce19c338670ce19c338670ce19c338670ce19c338670ce1"
                                                    "9c338670ce19c338670ce19c338670ce19c338670ce19c33867ffffffffffff"
                                                    "ffffffffffffffffffffc9a99c338670ce19c338670c670ce1c39c"),
                                true);
    // V0 codes only: the search over every width stops at the same place
    // either way.
    GleichMitUndOhneVorpruefung(QByteArray(3000, char(0xFF)), true);
    // Passes up to the row's end, after which libtiff reads on.
    for (const char* hex : {"44616e5de11b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b424d1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b"
                            "ff0029",
                            "26a670ce19c338670ce19c338670ce19c338670ce19c338670ce19c339670ce19c3387ffffffffffffffffff"
                            "fe4d4ce19c333270ce19c338670ce19c2b8670ce19c3380ffffffffffffffffffffc004004"})
        for (bool g4 : {false, true})
            GleichMitUndOhneVorpruefung(QByteArray::fromHex(hex), g4);
    for (bool g4 : {false, true}) {
        // One row of 1671 pixels that ends with the data: libtiff passes
        // the first read past the end quietly and calls the row clean.
        GleichMitUndOhneVorpruefung(QByteArray("\x2c\x72", 2), g4);
        GleichMitUndOhneVorpruefung(muell, g4);
        GleichMitUndOhneVorpruefung(QByteArray(), g4);
        for (int n : {1, 2, 5})
            GleichMitUndOhneVorpruefung(muell.left(n), g4);
    }
    // Brooktrout: G3 rows behind a 128-byte header.
    const QImage schmal = AlleLaeufe(410, 2).copy(0, 0, 410, 20);
    for (const TArt& art : {Arten[0], Arten[1]}) {
        const QByteArray brk = QByteArray(128, '\x5A') + Kodieren(schmal, art);
        for (const QByteArray& d : {brk, brk.left(brk.size() - 9)}) {
            TGearDokument mit, ohne;
            QString f1, f2;
            FaxSchnellpruefungErlaubt = false;
            const bool ok2 = GearDekodieren(d, QStringLiteral("BRK"), ohne, f2);
            FaxSchnellpruefungErlaubt = true;
            const bool ok1 = GearDekodieren(d, QStringLiteral("BRK"), mit, f1);
            EXPECT_EQ(ok1, ok2);
            EXPECT_EQ(f1, f2);
            ASSERT_EQ(mit.seiten.size(), ohne.seiten.size());
            if (!mit.seiten.empty()) {
                EXPECT_TRUE(mit.seiten.front().bild == ohne.seiten.front().bild);
            }
        }
    }
    EXPECT_EQ(FaxSchnellpruefungAbweichungen, 0);
    FaxSchnellpruefungNachpruefen = false;
}

namespace {

QByteArray AusBits(const std::string& bits)
{
    QByteArray d((int(bits.size()) + 7) / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1')
            d[int(i / 8)] |= char(0x80 >> (i % 8));
    return d;
}

} // namespace

// A T.6 coder takes a vertical step where one fits; data with a horizontal
// step there cannot be libtiff's own output, whatever its width.
TEST(GearFaxZeilen, AndererSchrittAlsDerKodiererWirdErkannt)
{
    const std::string eofb = "000000000001000000000001";
    const std::string zeilen(120, '1');   // white rows, one vertical step each
    const TFaxLauf gleich = FaxZeilenLesen(AusBits("1" + zeilen + eofb), TFaxKodierung::G4, false, 64, 1000);
    // H: white 64 (make-up 64 + terminating 0), black 0
    const TFaxLauf anders = FaxZeilenLesen(AusBits("001" "11011" "00110101" "0000110111" + zeilen + eofb),
                                           TFaxKodierung::G4, false, 64, 1000);
    EXPECT_TRUE(gleich.sicher && gleich.ende && anders.sicher && anders.ende);
    EXPECT_EQ(gleich.zeilen, 121);
    EXPECT_EQ(anders.zeilen, 121);
    EXPECT_TRUE(gleich.gleichKodierbar);
    EXPECT_FALSE(anders.gleichKodierbar);
}

// T.6 data ends with EOFB and fill to the byte. Past it libtiff reads on
// from wherever its look-ahead left off; where our reader is certain of
// such an ending, it must be libtiff's, and the usual ending stays certain.
TEST(GearFaxZeilen, NachDemEndeDerT6DatenWieLibtiff)
{
    const std::string eol = "000000000001";
    const std::string zeilen(40, '1');   // white rows, one vertical step each
    struct TFall {
        QByteArray daten;
        int breite;
        bool ueblich;
    };
    const std::vector<TFall> faelle = {
        {AusBits(zeilen + eol + eol), 64, true},
        {AusBits("1" + zeilen + eol + eol), 1728, true},   // seven fill bits
        {AusBits(zeilen + eol + eol) + QByteArray(1, '\0'), 64, false},
        {AusBits(zeilen + eol + eol + eol), 64, false},
        {AusBits(zeilen + eol + std::string(20, '0') + eol), 1728, false},
        // A fuzzer's: 14 white rows, then four EOLs with long fill, which
        // libtiff's fifth read after the first reads as 7936 pixels.
        {QByteArray::fromHex("fffc0040000001" + QByteArray(18, '0') + "01" + QByteArray(40, '0') + "04"), 7937, false},
        // Five white rows, then EOFB where horizontal mode wants a run.
        {QByteArray::fromHex("f9001001"), 200, false},
    };
    for (const TFall& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.daten.toHex().constData() << " Breite " << f.breite);
        const int maxZeilen = int(f.daten.size()) * 8 + 1;
        const TFaxLauf l = FaxZeilenLesen(f.daten, TFaxKodierung::G4, false, f.breite, maxZeilen);
        if (f.ueblich) {
            EXPECT_TRUE(l.sicher && l.ende);
        }
        if (!l.sicher)
            continue;
        const TFaxLauf t = Libtiff(f.daten, Arten[2], false, f.breite, maxZeilen);
        EXPECT_EQ(l.zeilen, t.zeilen);
        EXPECT_EQ(l.ende && l.zeilen > 0, t.ende && t.zeilen > 0);
    }
}

// A horizontal step with an empty run leaves two changes at one place in
// the next row's reference. A pass at the start of that row then leads
// libtiff to a b1 at a0 (38 here, where stepping past a0 gives 659), and
// to a row one pixel too long in the second input. Fuzzers' inputs.
TEST(GearFaxZeilen, PassUeberEinenLeerenLaufWieLibtiff)
{
    const struct {
        const char* hex;
        int breite, libtiffZeilen;
    } faelle[] = {{"9200c726a6a2ff92fffffc004004", 659, 8}, {"ffffffffffff2b9e31ff31ab51c3ff", 28672, 51}};
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.hex);
        const QByteArray d = QByteArray::fromHex(f.hex);
        const int maxZeilen = int(d.size()) * 8 + 1;
        const TFaxLauf t = Libtiff(d, Arten[2], false, f.breite, maxZeilen);
        EXPECT_EQ(t.zeilen, f.libtiffZeilen);
        const TFaxLauf l = FaxZeilenLesen(d, TFaxKodierung::G4, false, f.breite, maxZeilen);
        if (l.sicher) {
            EXPECT_EQ(l.zeilen, t.zeilen);
            EXPECT_EQ(l.ende && l.zeilen > 0, t.ende && t.zeilen > 0);
        }
    }
}
