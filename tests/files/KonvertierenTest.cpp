// The batch conversion: sizes, names and formats, questions, carried-over
// metadata, and the user's files surviving every failure.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <cerrno>
#include <sys/stat.h>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "SchreibfehlerHilfen.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Konvertieren.h"
#include "files/Speichern.h"
#include "files/Zielgroesse.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "Testnaht.h"

namespace {

const QString PngZeile = QStringLiteral("PNG Ping         ");
const QString JpgZeile = QStringLiteral("JPG JPEG-Bitmap  ");
const QString BmpZeile = QStringLiteral("BMP Ungepackt    ");
const QString G3Zeile = QStringLiteral("G3  CCITT G3     ");

QString Ausfuehren(const QString& programm, const QStringList& argumente)
{
    QProcess p;
    p.start(programm, argumente);
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// "PNG 640x320" as identify sees the file, whatever its name says.
QString Identify(const QString& datei)
{
    return Ausfuehren(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%m %wx%h"), datei});
}

QString ExivWert(const QString& datei, const QString& schluessel)
{
    return Ausfuehren(QStringLiteral("exiv2"),
                      {QStringLiteral("-q"), QStringLiteral("-Pv"), QStringLiteral("-g"), schluessel, datei});
}

bool DateiZeitSetzen(const QString& pfad, const QDateTime& zeit)
{
    QFile datei(pfad);
    return datei.open(QIODevice::ReadWrite) && datei.setFileTime(zeit, QFileDevice::FileModificationTime);
}

int Kommentarzahl(const QByteArray& b)
{
    int n = 0;
    qsizetype pos = 2;
    while (pos + 4 <= b.size() && uchar(b[pos]) == 0xFF) {
        const uchar m = uchar(b[pos + 1]);
        if (m == 0xDA)
            break;
        n += m == 0xFE;
        pos += 2 + ((uchar(b[pos + 2]) << 8) | uchar(b[pos + 3]));
    }
    return n;
}

// Answers the overwrite questions one after the other; records every box.
class TAntworten {
public:
    explicit TAntworten(QList<int> antworten, std::function<void()> beiFrage = {})
        : m_antworten(std::move(antworten)), m_beiFrage(std::move(beiFrage))
    {
        SetzeMeldungHaken([this](const QString& text, TMeldungArt, int knoepfe) {
            texte << text;
            if (knoepfe & mbAlle) {
                ++fragen;
                if (m_beiFrage)
                    m_beiFrage();
                return m_antworten.isEmpty() ? int(mbJa) : m_antworten.takeFirst();
            }
            return knoepfe & mbJa ? int(mbJa) : int(mbOk);
        });
    }
    ~TAntworten() { SetzeMeldungHaken({}); }
    QStringList texte;
    int fragen = 0;

private:
    QList<int> m_antworten;
    std::function<void()> m_beiFrage;
};

class KonvertierenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        quellen = FrischerOrdner(QStringLiteral("konvert-quellen"));
        ziel = FrischerOrdner(QStringLiteral("konvert-ziel"));
        SpeicherVerzeichnis = MitTrenner(ziel);
        KonvertierenTyp = PngZeile;
        KonvertierenDatum = false;
        ExifSchreiben = true;
        ZielBreite = 0;
        ZielHoehe = 0;
        NurVerkleinern = false;
        BildQuelle = BildQuelleDatei;
        JpegTyp = 0;
        JpegKomp = 23;
        JpegAufl = 0;
        fenster = new TfrmKonvertieren;
    }
    void TearDown() override
    {
        delete fenster;
        BildListe.clear();
    }

    QString Bild(const QString& name, int breite, int hoehe, const char* format = nullptr)
    {
        QImage bild(breite, hoehe, QImage::Format_RGB32);
        for (int y = 0; y < hoehe; ++y)
            for (int x = 0; x < breite; ++x)
                bild.setPixel(x, y, qRgb(x * 255 / breite, y * 255 / hoehe, (x + y) % 256));
        const QString pfad = quellen + QLatin1Char('/') + name;
        EXPECT_TRUE(bild.save(pfad, format)) << name.toStdString();
        return pfad;
    }
    // Opens the window on the list, picks the row and converts into ziel.
    void Konvertieren(const QStringList& liste, const QString& zeile, const QString& zielOrdner = {})
    {
        BildListe = liste;
        KonvertierenTyp = zeile;
        if (!fenster->isVisible())
            fenster->show();
        fenster->ediZielverz->setText(zielOrdner.isEmpty() ? ziel : zielOrdner);
        fenster->btnKonvertierenClick();
    }
    QString Ziel(const QString& name) const { return ziel + QLatin1Char('/') + name; }

    QString quellen, ziel;
    TfrmKonvertieren* fenster = nullptr;
};

} // namespace

// ---- Sizes ---------------------------------------------------------------

TEST(KonvertGroesse, PasstInDieBoxMitSeitenverhaeltnis)
{
    int b = 0, h = 0;
    ASSERT_TRUE(KonvertNeueGroesse(1000, 500, 640, 480, false, b, h));
    EXPECT_EQ(QSize(b, h), QSize(640, 320));
    ASSERT_TRUE(KonvertNeueGroesse(500, 700, 640, 480, true, b, h));
    EXPECT_EQ(QSize(b, h), QSize(343, 480));
    // Enlarged only when both ways are allowed.
    EXPECT_FALSE(KonvertNeueGroesse(640, 480, 800, 600, true, b, h));
    ASSERT_TRUE(KonvertNeueGroesse(640, 480, 800, 600, false, b, h));
    EXPECT_EQ(QSize(b, h), QSize(800, 600));
    // A box side below 1 or the same size: nothing to do.
    EXPECT_FALSE(KonvertNeueGroesse(1000, 500, 0, 0, false, b, h));
    EXPECT_FALSE(KonvertNeueGroesse(1000, 500, 800, 0, false, b, h));
    EXPECT_FALSE(KonvertNeueGroesse(640, 320, 640, 480, false, b, h));
}

TEST(KonvertGroesse, DuennesBildBehaeltEinPixel)
{
    int b = 0, h = 0;
    ASSERT_TRUE(KonvertNeueGroesse(1, 1000, 640, 480, false, b, h));
    EXPECT_EQ(QSize(b, h), QSize(1, 480));
    ASSERT_TRUE(KonvertNeueGroesse(3000, 2, 640, 480, true, b, h));
    EXPECT_EQ(QSize(b, h), QSize(640, 1));
}

TEST(KonvertGroesse, SkalierenGibtDieVerlangteGroesse)
{
    for (const bool quick : {false, true}) {
        TBitmap bmp(300, 200);
        bmp.Fill(10, 200, 30);
        ASSERT_TRUE(KonvertSkalieren(bmp, 150, 100, 5, quick, 8));
        EXPECT_EQ(bmp.Width(), 150);
        EXPECT_EQ(bmp.Height(), 100);
        // A plain colour stays that colour through resampling and sharpening.
        const uint8_t* p = bmp.ScanLine(50) + 75 * 3;
        EXPECT_NEAR(p[1], 200, 2);
    }
}

TEST(KonvertGroesse, FilterUndSchaerfeWerdenDurchgereicht)
{
    TBitmap quelle(97, 61);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x) {
            uint8_t* p = quelle.ScanLine(y) + x * 3;
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(x * y);
            p[2] = uint8_t((x ^ y) * 3);
        }
    for (const int filter : {0, 2, 6}) {
        TBitmap unsere(quelle.Bild().copy()), erwartet(quelle.Bild().copy());
        ASSERT_TRUE(KonvertSkalieren(unsere, 40, 25, filter, false, 18));
        ASSERT_TRUE(BitmapSkalieren(erwartet, 40, 25, 0, uint8_t(filter)));
        BitmapSchaerfen(erwartet, 18);
        EXPECT_TRUE(unsere == erwartet) << filter;
    }
    TBitmap unsere(quelle.Bild().copy()), erwartet(quelle.Bild().copy());
    ASSERT_TRUE(KonvertSkalieren(unsere, 150, 90, 5, true, 0));
    BitmapQuickSkalieren(erwartet, 150, 90);
    EXPECT_TRUE(unsere == erwartet);
}

// ---- Names, formats and sizes on disk ------------------------------------

TEST_F(KonvertierenTest, GemischteListe_InJedeZielzeileMitNamenUndFormat)
{
    const QStringList liste = {Bild(QStringLiteral("a.png"), 40, 30), Bild(QStringLiteral("b.jpg"), 50, 20),
                               Bild(QStringLiteral("c.bmp"), 16, 16)};
    const struct {
        QString zeile, endung, format;
    } zeilen[] = {{PngZeile, QStringLiteral("png"), QStringLiteral("PNG")},
                  {JpgZeile, QStringLiteral("jpg"), QStringLiteral("JPEG")},
                  {BmpZeile, QStringLiteral("bmp"), QStringLiteral("BMP3")},
                  {G3Zeile, QStringLiteral("g3"), QString()}};
    for (const auto& z : zeilen) {
        ziel = FrischerOrdner(QStringLiteral("konvert-") + z.endung);
        TAntworten antworten({});
        Konvertieren(liste, z.zeile);
        EXPECT_FALSE(fenster->isVisible());
        EXPECT_EQ(fenster->result(), QDialog::Accepted);
        for (const char* name : {"a", "b", "c"}) {
            // The padded two-letter code gives no blank at the end of the name.
            const QString datei = Ziel(QLatin1String(name) + QLatin1Char('.') + z.endung);
            ASSERT_TRUE(QFileInfo(datei).isFile()) << datei.toStdString();
            if (!z.format.isEmpty()) {
                EXPECT_TRUE(Identify(datei).startsWith(z.format + QLatin1Char(' '))) << Identify(datei).toStdString();
            }
        }
        EXPECT_EQ(QDir(ziel).entryList(QDir::Files | QDir::Hidden).size(), 3) << "keine Reste von Hilfsdateien";
        EXPECT_EQ(KonvertierenTyp, z.zeile);
        if (z.endung == QLatin1String("bmp")) {
            EXPECT_EQ(Identify(Ziel(QStringLiteral("a.bmp"))), QStringLiteral("BMP3 40x30"));
        }
    }
    EXPECT_EQ(SpeicherVerzeichnis, MitTrenner(ziel));
}

TEST_F(KonvertierenTest, Zielgroesse_VerkleinertUndVergroessertNachWahl)
{
    const QStringList liste = {Bild(QStringLiteral("breit.png"), 1000, 500), Bild(QStringLiteral("vga.png"), 640, 480)};
    TAntworten antworten({});
    ZielBreite = 800;
    ZielHoehe = 600;
    NurVerkleinern = true;
    Konvertieren(liste, PngZeile);
    EXPECT_EQ(Identify(Ziel(QStringLiteral("breit.png"))), QStringLiteral("PNG 800x400"));
    EXPECT_EQ(Identify(Ziel(QStringLiteral("vga.png"))), QStringLiteral("PNG 640x480"));

    NurVerkleinern = false;
    ziel = FrischerOrdner(QStringLiteral("konvert-beide"));
    Konvertieren(liste, PngZeile);
    EXPECT_EQ(Identify(Ziel(QStringLiteral("breit.png"))), QStringLiteral("PNG 800x400"));
    EXPECT_EQ(Identify(Ziel(QStringLiteral("vga.png"))), QStringLiteral("PNG 800x600"));

    // Only one side of the box set: no resize at all.
    ZielHoehe = 0;
    ziel = FrischerOrdner(QStringLiteral("konvert-halb"));
    Konvertieren(liste, PngZeile);
    EXPECT_EQ(Identify(Ziel(QStringLiteral("breit.png"))), QStringLiteral("PNG 1000x500"));
}

// ---- The overwrite question ----------------------------------------------

TEST_F(KonvertierenTest, Ueberschreiben_NeinDannAlleFragtZweimal)
{
    QStringList liste;
    for (const char* n : {"x1.png", "x2.png", "x3.png"}) {
        liste << Bild(QLatin1String(n), 20, 10);
        DateiSchreiben(Ziel(QLatin1String(n)), QByteArray("alt"));
    }
    ::chmod(QFile::encodeName(Ziel(QStringLiteral("x3.png"))).constData(), 0444);
    TAntworten antworten({mbNein, mbAlle});
    Konvertieren(liste, PngZeile);
    EXPECT_EQ(antworten.fragen, 2);
    ASSERT_FALSE(antworten.texte.isEmpty());
    EXPECT_EQ(antworten.texte.first(), QStringLiteral("Eine Datei mit dem Namen ") + Ziel(QStringLiteral("x1.png"))
                                           + QStringLiteral("\nist bereits vorhanden.\n\nSoll die Datei überschrieben werden?\n\n"));
    EXPECT_EQ(DateiBytes(Ziel(QStringLiteral("x1.png"))), QByteArray("alt"));
    EXPECT_EQ(Identify(Ziel(QStringLiteral("x2.png"))), QStringLiteral("PNG 20x10"));
    // A write-protected target is overwritten too.
    EXPECT_EQ(Identify(Ziel(QStringLiteral("x3.png"))), QStringLiteral("PNG 20x10"));
}

TEST_F(KonvertierenTest, Ueberschreiben_AbbrechenSchreibtNichtsUndSchliesst)
{
    const QStringList liste = {Bild(QStringLiteral("y1.png"), 20, 10), Bild(QStringLiteral("y2.png"), 20, 10)};
    DateiSchreiben(Ziel(QStringLiteral("y1.png")), QByteArray("alt"));
    TAntworten antworten({mbAbbrechen});
    Konvertieren(liste, PngZeile);
    EXPECT_EQ(antworten.fragen, 1);
    EXPECT_EQ(DateiBytes(Ziel(QStringLiteral("y1.png"))), QByteArray("alt"));
    EXPECT_FALSE(QFileInfo::exists(Ziel(QStringLiteral("y2.png"))));
    EXPECT_EQ(fenster->result(), QDialog::Accepted);
}

// ---- EXIF, comment and date ----------------------------------------------

TEST_F(KonvertierenTest, Jpeg_BehaeltExifEinenKommentarUndDatum)
{
    const QString quelle = Bild(QStringLiteral("urlaub.jpg"), 1000, 500, "JPG");
    Ausfuehren(QStringLiteral("exiv2"), {QStringLiteral("-M"), QStringLiteral("set Exif.Image.Make Testkamera"),
                                         QStringLiteral("-M"), QStringLiteral("set Exif.Image.Model TK-1"), quelle});
    Ausfuehren(QStringLiteral("exiv2"), {QStringLiteral("-c"), QStringLiteral("Urlaub"), quelle});
    ASSERT_EQ(ExivWert(quelle, QStringLiteral("Exif.Image.Make")), QStringLiteral("Testkamera"));
    const QDateTime alt = QDateTime(QDate(2019, 6, 15), QTime(10, 30, 7));
    ASSERT_TRUE(DateiZeitSetzen(quelle, alt));
    const QString ohneExif = Bild(QStringLiteral("schlicht.png"), 64, 48);

    ZielBreite = 640;
    ZielHoehe = 480;
    KonvertierenDatum = true;
    TAntworten antworten({});
    Konvertieren({quelle, ohneExif}, JpgZeile);
    const QString datei = Ziel(QStringLiteral("urlaub.jpg"));
    EXPECT_EQ(Identify(datei), QStringLiteral("JPEG 640x320"));
    EXPECT_EQ(ExivWert(datei, QStringLiteral("Exif.Image.Make")), QStringLiteral("Testkamera"));
    EXPECT_EQ(ExivWert(datei, QStringLiteral("Exif.Image.Model")), QStringLiteral("TK-1"));
    EXPECT_EQ(ExivWert(datei, QStringLiteral("Exif.Photo.PixelXDimension")), QStringLiteral("640"));
    EXPECT_EQ(Ausfuehren(QStringLiteral("exiv2"), {QStringLiteral("-pc"), datei}), QStringLiteral("Urlaub"));
    EXPECT_EQ(Kommentarzahl(DateiBytes(datei)), 1);
    // 10:30:07 is kept to the even second below.
    EXPECT_EQ(QFileInfo(datei).lastModified(), QDateTime(QDate(2019, 6, 15), QTime(10, 30, 6)));

    // No EXIF from the file before; no comment where the source had none.
    const QString zweite = Ziel(QStringLiteral("schlicht.jpg"));
    EXPECT_TRUE(ExivWert(zweite, QStringLiteral("Exif.Image.Make")).isEmpty());
    EXPECT_EQ(Kommentarzahl(DateiBytes(zweite)), 0);
}

TEST_F(KonvertierenTest, Jpeg_OhneDateiquelleSchreibtErstelltMitUndOhneDatum)
{
    const QString quelle = Bild(QStringLiteral("neu.png"), 30, 30);
    ASSERT_TRUE(DateiZeitSetzen(quelle, QDateTime(QDate(2001, 1, 1), QTime(12, 0))));
    BildQuelle = BildQuelleZwischenablage;
    TAntworten antworten({});
    Konvertieren({quelle, quelle}, JpgZeile);
    const QString datei = Ziel(QStringLiteral("neu.jpg"));
    EXPECT_EQ(Ausfuehren(QStringLiteral("exiv2"), {QStringLiteral("-pc"), datei}),
              QStringLiteral("Erstellt mit Zelvano ") + ProgrammVersion(2));
    EXPECT_GT(QFileInfo(datei).lastModified().date().year(), 2020);
}

// ---- Failures leave the user's files alone -------------------------------

TEST_F(KonvertierenTest, UnlesbareQuelle_WirdUebersprungenUndGemeldet)
{
    const QString gut = Bild(QStringLiteral("gut.png"), 32, 32);
    const QString kaputt = quellen + QStringLiteral("/kaputt.png");
    DateiSchreiben(kaputt, QByteArray("\x89PNG\r\n\x1a\nkein Bild", 19));
    const QString fehlt = quellen + QStringLiteral("/fehlt.png");
    const QString danach = Bild(QStringLiteral("danach.bmp"), 10, 10, "BMP");
    const QByteArray kaputtVorher = DateiBytes(kaputt);

    // Same folder and same format: each source is its own target.
    fenster->show();
    fenster->cbOrdnerBeibehalten->setChecked(true);
    ZielBreite = 16;
    ZielHoehe = 16;
    TAntworten antworten({mbAlle});
    Konvertieren({gut, kaputt, fehlt, danach}, PngZeile);
    EXPECT_EQ(DateiBytes(kaputt), kaputtVorher);
    EXPECT_FALSE(QFileInfo::exists(fehlt));
    EXPECT_EQ(Identify(gut), QStringLiteral("PNG 16x16"));
    EXPECT_EQ(Identify(quellen + QStringLiteral("/danach.png")), QStringLiteral("PNG 16x16"));
    ASSERT_FALSE(antworten.texte.isEmpty());
    const QString bericht = antworten.texte.last();
    EXPECT_TRUE(bericht.contains(kaputt)) << bericht.toStdString();
    EXPECT_TRUE(bericht.contains(fehlt));
    EXPECT_FALSE(bericht.contains(gut));
}

TEST_F(KonvertierenTest, ZielIstOrdner_WirdGemeldetUndLaufGehtWeiter)
{
    const QStringList liste = {Bild(QStringLiteral("o1.png"), 8, 8), Bild(QStringLiteral("o2.png"), 8, 8)};
    QDir(ziel).mkdir(QStringLiteral("o1.bmp"));
    TAntworten antworten({mbJa});
    Konvertieren(liste, BmpZeile);
    EXPECT_TRUE(QFileInfo(Ziel(QStringLiteral("o1.bmp"))).isDir());
    EXPECT_EQ(Identify(Ziel(QStringLiteral("o2.bmp"))), QStringLiteral("BMP3 8x8"));
    ASSERT_FALSE(antworten.texte.isEmpty());
    EXPECT_TRUE(antworten.texte.last().contains(QStringLiteral("nicht konvertiert")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(KonvertierenTest, FehlenderOrdner_NeinKonvertiertNichts)
{
    const QStringList liste = {Bild(QStringLiteral("n.png"), 8, 8)};
    const QString neu = ziel + QStringLiteral("/unter/ordner");
    {
        SetzeMeldungHaken([](const QString&, TMeldungArt, int) { return int(mbNein); });
        Konvertieren(liste, PngZeile, neu);
        SetzeMeldungHaken({});
    }
    EXPECT_FALSE(QFileInfo::exists(neu));
    EXPECT_TRUE(fenster->isVisible());
    TAntworten antworten({});
    Konvertieren(liste, PngZeile, neu);
    EXPECT_TRUE(QFileInfo(neu + QStringLiteral("/n.png")).isFile());
}

// ---- During a run ----------------------------------------------------------

TEST_F(KonvertierenTest, Abbrechen_EndetZwischenDenDateienBeiGesperrterSteuerung)
{
    QStringList liste;
    for (int i = 0; i < 4; ++i) {
        liste << Bild(QStringLiteral("s%1.png").arg(i), 12, 12);
        DateiSchreiben(Ziel(QStringLiteral("s%1.bmp").arg(i)), QByteArray("alt"));
    }
    bool gesperrt = false, abbrechenFrei = false, bleibtOffen = false;
    TAntworten antworten({mbJa}, [&] {
        gesperrt = !fenster->btnKonvertieren->isEnabled() && !fenster->lvSaveTyp->isEnabled()
                   && !fenster->ShellTreeView1->isEnabled() && !fenster->btnZielGroesse->isEnabled();
        abbrechenFrei = fenster->btnAbbrechen->isEnabled();
        // Closing the window during the run only asks it to stop.
        fenster->close();
        bleibtOffen = fenster->isVisible();
        fenster->btnAbbrechen->click();
        // A second start while one runs does nothing.
        fenster->btnKonvertierenClick();
    });
    Konvertieren(liste, BmpZeile);
    EXPECT_TRUE(gesperrt);
    EXPECT_TRUE(abbrechenFrei);
    EXPECT_TRUE(bleibtOffen);
    EXPECT_EQ(antworten.fragen, 1);
    // The current file is finished, the others stay.
    EXPECT_EQ(Identify(Ziel(QStringLiteral("s0.bmp"))), QStringLiteral("BMP3 12x12"));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(DateiBytes(Ziel(QStringLiteral("s%1.bmp").arg(i))), QByteArray("alt"));
    EXPECT_FALSE(fenster->isVisible());
    EXPECT_TRUE(fenster->btnKonvertieren->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- The window ------------------------------------------------------------

TEST_F(KonvertierenTest, Fenster_ZeigtZahlGroesseUndBehaeltWahlBeiUnterfenstern)
{
    BildListe = {Bild(QStringLiteral("eins.png"), 100, 50)};
    KonvertierenTyp = BmpZeile;
    ZielBreite = 800;
    ZielHoehe = 600;
    fenster->show();
    EXPECT_EQ(fenster->lblBilderzahl->text(), QStringLiteral("1 Bilder werden konvertiert."));
    EXPECT_EQ(fenster->lblZielgroesse->text(), QStringLiteral("Zielgröße: 800 x 600"));
    EXPECT_EQ(fenster->lblBildname->text(), QStringLiteral("eins.png"));
    // The preview fits the frame with a 5-pixel border, centred.
    EXPECT_EQ(fenster->Vorschau->geometry(), QRect(5, 61, 226, 113));
    EXPECT_EQ(fenster->KonvertZielTyp(), QStringLiteral("bmp"));
    EXPECT_FALSE(fenster->btnFormatoptionen->isEnabled());

    for (int i = 0; i < fenster->lvSaveTyp->topLevelItemCount(); ++i)
        if (fenster->lvSaveTyp->topLevelItem(i)->text(1) == QStringLiteral("JPG"))
            fenster->lvSaveTyp->setCurrentItem(fenster->lvSaveTyp->topLevelItem(i));
    EXPECT_EQ(fenster->KonvertZielTyp(), QStringLiteral("jpg"));
    EXPECT_EQ(ZielTyp, QStringLiteral("jpg"));
    EXPECT_TRUE(fenster->btnFormatoptionen->isEnabled());
    fenster->ediZielverz->setText(QStringLiteral("/tmp/anderswo/"));
    {
        TModalSchliesser schliesser;
        fenster->btnFormatoptionenClick();
        ZielBreite = 0;
        ZielHoehe = 0;
        fenster->btnZielGroesseClick();
        EXPECT_EQ(schliesser.geschlossen, 2);
    }
    EXPECT_EQ(fenster->KonvertZielTyp(), QStringLiteral("jpg"));
    EXPECT_EQ(fenster->ediZielverz->text(), QStringLiteral("/tmp/anderswo/"));
    EXPECT_EQ(fenster->lblZielgroesse->text(), QStringLiteral("Zielgröße: Bildgröße beibehalten"));
    fenster->reject();
    EXPECT_EQ(KonvertierenTyp, JpgZeile);
}

TEST_F(KonvertierenTest, OrdnerBeibehalten_GrossgeschriebeneEndungBleibtNeben)
{
    // Linux tells "Foto.JPG" and "Foto.jpg" apart: the source stays as it was.
    const QString quelle = Bild(QStringLiteral("Foto.JPG"), 24, 16, "JPG");
    const QByteArray vorher = DateiBytes(quelle);
    KonvertierenTyp = JpgZeile;
    fenster->show();
    fenster->cbOrdnerBeibehalten->setChecked(true);
    fenster->cbOrdnerBeibehaltenClick();
    EXPECT_FALSE(fenster->ediZielverz->isEnabled());
    TAntworten antworten({});
    Konvertieren({quelle}, JpgZeile);
    EXPECT_EQ(antworten.fragen, 0);
    EXPECT_TRUE(antworten.texte.isEmpty()) << antworten.texte.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(DateiBytes(quelle), vorher);
    EXPECT_EQ(Identify(quellen + QStringLiteral("/Foto.jpg")), QStringLiteral("JPEG 24x16"));
}

TEST_F(KonvertierenTest, Schreiben_FehlschlagLaesstZielUnberuehrt)
{
    TGear gear;
    gear.SetPicture(QImage(8, 8, QImage::Format_BGR888));
    TSchreibZusatz zusatz;
    QString fehler;
    // A folder that cannot hold the temporary file: a path below a file.
    const QString datei = Ziel(QStringLiteral("datei.txt"));
    DateiSchreiben(datei, QByteArray("bleibt"));
    EXPECT_FALSE(KonvertDateiSchreiben(gear, PngZeile, datei + QStringLiteral("/bild.png"), zusatz, fehler));
    EXPECT_FALSE(fehler.isEmpty());
    EXPECT_EQ(DateiBytes(datei), QByteArray("bleibt"));
    // A picture the control cannot write leaves the old target and no helper file.
    const QString alt = Ziel(QStringLiteral("alt.png"));
    DateiSchreiben(alt, QByteArray("alt"));
    TGear leer;
    fehler.clear();
    EXPECT_FALSE(KonvertDateiSchreiben(leer, PngZeile, alt, zusatz, fehler));
    EXPECT_FALSE(fehler.isEmpty());
    EXPECT_EQ(DateiBytes(alt), QByteArray("alt"));
    EXPECT_EQ(QDir(ziel).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// ---- A full disk or a vanished folder in the middle of a run ---------------

namespace {

const QString FehlerZeilen[] = {PngZeile, BmpZeile, JpgZeile};

// Three sources whose targets already exist (the second one write-protected),
// and what a run without faults makes of them. Not from a file, so a JPEG
// target gets its comment written as a step of its own.
class KonvertierenFehlerTest : public KonvertierenTest {
protected:
    void Vorbereiten(const QString& zeile)
    {
        m_zeile = zeile;
        BildQuelle = BildQuelleZwischenablage;
        endung = TypEndung(zeile.left(3));
        liste.clear();
        namen.clear();
        neu.clear();
        for (const char* n : {"a", "b", "c"}) {
            const bool jpeg = *n == 'a';
            liste << Bild(QLatin1String(n) + (jpeg ? QStringLiteral(".jpg") : QStringLiteral(".png")), 160, 120,
                          jpeg ? "JPG" : nullptr);
            namen << QLatin1String(n) + endung;
        }
        // EXIF data of its own, so a JPEG target has them inserted as one more step.
        Ausfuehren(QStringLiteral("exiv2"), {QStringLiteral("-M"), QStringLiteral("set Exif.Image.Make Testkamera"),
                                             liste.first()});
        ziel = FrischerOrdner(QStringLiteral("konvert-vorlage"));
        TMeldungsFaenger faenger(mbJa);
        Konvertieren(liste, zeile);
        for (const QString& n : namen)
            neu << DateiBytes(Ziel(n));
    }
    void AlteZiele(const QString& ordner)
    {
        ziel = ordner;
        for (const QString& n : namen)
            DateiSchreiben(Ziel(n), QByteArray("alt ") + n.toUtf8());
        ::chmod(QFile::encodeName(Ziel(namen.at(1))).constData(), 0444);
    }
    // One letter per target in ordner: A old (and still protected where it
    // was), N as the faultless run, ? anything else.
    std::string Staende(const QString& ordner) const
    {
        std::string s;
        for (int i = 0; i < namen.size(); ++i) {
            const QString pfad = ordner + QLatin1Char('/') + namen.at(i);
            const QByteArray b = DateiBytes(pfad);
            if (b == QByteArray("alt ") + namen.at(i).toUtf8() && (i != 1 || DateiSchreibgeschuetzt(pfad)))
                s += 'A';
            else
                s += b == neu.at(i) ? 'N' : '?';
        }
        return s;
    }
    // Nothing but the targets: no helper file of either kind is left.
    std::string Inhalt(const QString& ordner) const
    {
        return QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System).join(QLatin1Char(' ')).toStdString();
    }
    std::string Namen() const { return namen.join(QLatin1Char(' ')).toStdString(); }
    // Converts with the hook set; the index of the source in work when it
    // first acted, or -1.
    int Lauf(const std::function<bool(TErsetzenSchritt)>& eingriff, int fehler, QStringList& gemeldet)
    {
        int bei = -1;
        TMeldungsFaenger faenger(mbJa);
        {
            const THaken haken([&](TErsetzenSchritt s) {
                if (bei >= 0 || !eingriff(s))
                    return 0;
                bei = int(namen.indexOf(EndungErsetzen(fenster->lblBildname->text(), endung)));
                return fehler;
            });
            Konvertieren(liste, m_zeile);
        }
        gemeldet = faenger.texte;
        EXPECT_FALSE(fenster->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        return bei;
    }

    // Calls fall(schritt, mal) for each target format and step, with mal
    // counting up until no run reaches the step that often; fall returns
    // whether its hook acted.
    void JederSchritt(const std::function<bool(TErsetzenSchritt, int, const std::string&)>& fall)
    {
        KonvertierenDatum = true;   // so the target's times are set as well
        for (const QString& zeile : FehlerZeilen) {
            Vorbereiten(zeile);
            for (const TErsetzenSchritt schritt : AlleSchritte) {
                int mal = 0;
                while (mal < 100
                       && fall(schritt, mal, zeile.toStdString() + std::to_string(int(schritt)) + "/" + std::to_string(mal)))
                    ++mal;
                // Each of the three targets passes every step at least once.
                EXPECT_GE(mal, 3) << zeile.toStdString() << int(schritt);
            }
        }
    }

    QStringList liste, namen;
    QList<QByteArray> neu;
    QString endung;

private:
    QString m_zeile;
};

} // namespace

// Every call of the replacement in a run (the picture, comment and target
// writes of each file) fails once at each step: only that file stays old,
// the others are converted, and the report names it with the reason.
TEST_F(KonvertierenFehlerTest, VollePlatteBeiJedemSchrittLaesstZielUndMeldet)
{
    JederSchritt([&](TErsetzenSchritt schritt, int mal, const std::string& fall) {
        AlteZiele(FrischerOrdner(QStringLiteral("konvert-voll")));
        int aufrufe = 0;
        QStringList gemeldet;
        const int bei = Lauf([&](TErsetzenSchritt s) { return s == schritt && aufrufe++ == mal; }, ENOSPC, gemeldet);
        std::string erwartet = "NNN";
        if (bei >= 0)
            erwartet[bei] = 'A';
        EXPECT_EQ(Staende(ziel), erwartet) << fall;
        EXPECT_EQ(Inhalt(ziel), Namen()) << fall;
        if (bei < 0)
            return false;
        const QString bericht = gemeldet.isEmpty() ? QString() : gemeldet.last();
        EXPECT_TRUE(bericht.contains(QStringLiteral("nicht konvertiert")) && bericht.contains(liste.at(bei))
                    && bericht.contains(QStringLiteral("nicht genug Platz")))
            << fall << bericht.toStdString();
        // The user knows the target, never the hidden helper file.
        EXPECT_TRUE(bericht.contains(Ziel(namen.at(bei))) && !bericht.contains(QStringLiteral(".zelvano-konvert")))
            << fall << bericht.toStdString();
        return true;
    });
}

// The target folder is moved away before a step: what was done stays done,
// the file in work and the rest stay old in the moved folder, all reported.
TEST_F(KonvertierenFehlerTest, VerschwundenerOrdnerBeiJedemSchrittLaesstZiele)
{
    JederSchritt([&](TErsetzenSchritt schritt, int mal, const std::string& fall) {
        const QString ordner = FrischerOrdner(QStringLiteral("konvert-weg"));
        const QString verschoben = ordner + QStringLiteral("-verschoben");
        AlteZiele(ordner);
        int aufrufe = 0;
        QStringList gemeldet;
        const int bei = Lauf(
            [&](TErsetzenSchritt s) { return s == schritt && aufrufe++ == mal && QDir().rename(ordner, verschoben); },
            0, gemeldet);
        if (bei < 0)
            return false;
        EXPECT_FALSE(QDir(ordner).exists()) << fall;
        EXPECT_EQ(Staende(verschoben), std::string(bei, 'N') + std::string(3 - bei, 'A')) << fall;
        EXPECT_EQ(Inhalt(verschoben), Namen()) << fall;
        const QString bericht = gemeldet.isEmpty() ? QString() : gemeldet.last();
        for (int i = bei; i < liste.size(); ++i) {
            EXPECT_TRUE(bericht.contains(liste.at(i))) << fall << bericht.toStdString();
        }
        return true;
    });
}

TEST_F(KonvertierenFehlerTest, EchteVollePlatteLaesstZieleUndMeldet)
{
    const TKleinePlatte platte;
    if (!platte.bereit)
        GTEST_SKIP() << "kein tmpfs";
    for (const QString& zeile : FehlerZeilen) {
        Vorbereiten(zeile);
        const QString ordner = platte.punkt + QStringLiteral("/ziel") + endung;
        ASSERT_TRUE(QDir().mkpath(ordner));
        AlteZiele(ordner);
        ASSERT_TRUE(platte.Fuellen());
        QStringList gemeldet;
        Lauf([](TErsetzenSchritt) { return false; }, 0, gemeldet);
        const std::string staende = Staende(ordner);
        // A file small enough for the space left may get through.
        EXPECT_TRUE(staende.find('A') != std::string::npos && staende.find('?') == std::string::npos) << staende;
        EXPECT_EQ(Inhalt(ordner), Namen());
        ASSERT_FALSE(gemeldet.isEmpty());
        EXPECT_TRUE(gemeldet.last().contains(QStringLiteral("nicht konvertiert"))
                    && !gemeldet.last().contains(QStringLiteral(".zelvano-konvert")))
            << gemeldet.last().toStdString();
        platte.Leeren();
    }
}
