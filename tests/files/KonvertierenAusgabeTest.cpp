// The batch conversion's files, byte for byte: generated sources (EXIF,
// comment, portrait and landscape, a palette picture inside the box, one
// unreadable file in the middle) converted to PNG, BMP and JPEG with a
// target size must give exactly the bytes this table records. The table was
// taken from a run of the conversion before it read and wrote files ahead
// and in memory; it holds for the coder libraries of this platform (zlib,
// libpng, libjpeg-turbo, exiv2). Reading ahead on worker threads changes
// neither which picture a file gets nor what the user is told.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <map>
#include <random>
#include "Einstellungen.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/JpgKommentar.h"
#include "files/Konvertieren.h"
#include "gear/Gear.h"
#include "gear/GearHilfen.h"
#include "pixelops/Bitmap.h"
#include "Testnaht.h"

namespace {

// A photograph-like picture: smooth gradients with fine noise, the same on
// every machine (mt19937's raw output is fixed by the standard).
QImage Foto(int breite, int hoehe, unsigned saat)
{
    std::mt19937 zufall(saat);
    QImage bild(breite, hoehe, QImage::Format_BGR888);
    for (int y = 0; y < hoehe; ++y) {
        uchar* z = bild.scanLine(y);
        for (int x = 0; x < breite; ++x) {
            const uint32_t r = zufall();
            z[3 * x] = uchar((x * 255 / breite + (r & 15)) & 255);
            z[3 * x + 1] = uchar((y * 255 / hoehe + ((r >> 4) & 15)) & 255);
            z[3 * x + 2] = uchar(((x + y) * 200 / (breite + hoehe) + ((r >> 8) & 31)) & 255);
        }
    }
    return bild;
}

// Sixteen colours in blocks, as a palette picture.
QImage Palettenbild(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_Indexed8);
    QList<QRgb> farben;
    for (int i = 0; i < 16; ++i)
        farben << qRgb(i * 17, 255 - i * 13, (i * 91) & 255);
    bild.setColorTable(farben);
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x)
            bild.scanLine(y)[x] = uchar(((x / 9) + 3 * (y / 7)) % 16);
    return bild;
}

// The picture written by our own coder with save id id.
QByteArray Kodiert(const QImage& bild, int id)
{
    TGear gear;
    gear.SetPicture(bild);
    gear.SetSaveFormat(id);
    gear.SetControlMode(1813);
    gear.SetControlValue(0);
    gear.SetControlMode(277);
    gear.SetControlValue(90);
    QByteArray aus;
    EXPECT_TRUE(gear.SaveToBytes(aus)) << gear.LetzterFehler().toStdString();
    return aus;
}

// A big-endian EXIF block with maker, model, orientation and, in the EXIF
// directory, the time of the shot.
QByteArray ExifSegment()
{
    QByteArray t("MM\0\x2A\0\0\0\x08", 8);
    auto wort = [&t](int v) { t.append(char(v >> 8)).append(char(v & 255)); };
    auto lang = [&](uint32_t v) { wort(int(v >> 16)); wort(int(v & 0xFFFF)); };
    const QByteArray hersteller("Zelvano-Testkamera\0", 19), modell("TK 2\0", 5),
        zeit("2021:07:14 09:30:00\0", 20);
    // IFD0 at 8: four entries (2 + 4 * 12 + 4 bytes), its data behind it.
    const uint32_t daten0 = 8 + 2 + 4 * 12 + 4;
    const uint32_t exifIfd = daten0 + uint32_t(hersteller.size() + modell.size());
    wort(4);
    wort(0x010F), wort(2), lang(uint32_t(hersteller.size())), lang(daten0);
    wort(0x0110), wort(2), lang(uint32_t(modell.size())), lang(daten0 + uint32_t(hersteller.size()));
    wort(0x0112), wort(3), lang(1), wort(1), wort(0);
    wort(0x8769), wort(4), lang(1), lang(exifIfd);
    lang(0);
    t += hersteller + modell;
    wort(1);
    wort(0x9003), wort(2), lang(uint32_t(zeit.size())), lang(exifIfd + 2 + 12 + 4);
    lang(0);
    t += zeit;
    const QByteArray inhalt = QByteArray("Exif\0\0", 6) + t;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((inhalt.size() + 2) >> 8)).append(char((inhalt.size() + 2) & 255));
    return segment + inhalt;
}

std::string Pruefsumme(const QByteArray& daten)
{
    return QCryptographicHash::hash(daten, QCryptographicHash::Sha256).toHex().left(16).toStdString();
}

const QString PngZeile = QStringLiteral("PNG Ping         ");
const QString BmpZeile = QStringLiteral("BMP Ungepackt    ");
const QString JpgZeile = QStringLiteral("JPG JPEG-Bitmap  ");

class KonvertierenAusgabeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        quellen = FrischerOrdner(QStringLiteral("ausgabe-quellen"));
        KonvertierenDatum = true;
        ExifSchreiben = true;
        ZielBreite = 120;
        ZielHoehe = 120;
        NurVerkleinern = true;
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

    // Opens the window on the list, picks the row and converts into ziel.
    void Konvertieren(const QStringList& liste, const QString& zeile, const QString& ziel)
    {
        BildListe = liste;
        KonvertierenTyp = zeile;
        if (!fenster->isVisible())
            fenster->show();
        fenster->ediZielverz->setText(ziel);
        fenster->btnKonvertierenClick();
    }

    QString Quelle(const QString& name, const QByteArray& inhalt)
    {
        const QString pfad = quellen + QLatin1Char('/') + name;
        DateiSchreiben(pfad, inhalt);
        QFile datei(pfad);
        EXPECT_TRUE(datei.open(QIODevice::ReadWrite) && datei.setFileTime(Quellzeit, QFileDevice::FileModificationTime));
        return pfad;
    }

    // The sources in list order; the third cannot be read.
    QStringList Quellen()
    {
        QString fehler;
        QByteArray jpeg = Kodiert(Foto(401, 263, 7), 21);
        // EXIF behind the JFIF header, then the comment (Windows-1252).
        const int app0Ende = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
        jpeg = jpeg.left(app0Ende) + ExifSegment() + jpeg.mid(app0Ende);
        const QString a = Quelle(QStringLiteral("a_exif.jpg"), jpeg);
        EXPECT_TRUE(JpgKommentarSchreiben(a, QStringLiteral("Fähre über den Fluss"), fehler)) << fehler.toStdString();
        const QString b = Quelle(QStringLiteral("b_hoch.jpg"), Kodiert(Foto(180, 320, 11), 21));
        EXPECT_TRUE(JpgKommentarSchreiben(b, QStringLiteral("Zweites Bild"), fehler)) << fehler.toStdString();
        const QString c = Quelle(QStringLiteral("c_kaputt.jpg"), QByteArray("kein Bild, nur Text"));
        const QString d = Quelle(QStringLiteral("d_klein.gif"), Kodiert(Palettenbild(90, 60), 14));
        const QString e = Quelle(QStringLiteral("e_breit.png"), Kodiert(Foto(640, 200, 13), 33));
        return {a, b, c, d, e};
    }

    QString quellen;
    TfrmKonvertieren* fenster = nullptr;
    // An odd second: the targets keep the even one below it.
    const QDateTime Quellzeit = QDateTime(QDate(2021, 7, 14), QTime(9, 30, 7));
};

} // namespace

TEST_F(KonvertierenAusgabeTest, PngBmpJpeg_ByteGleichMitDatumUndBericht)
{
    // name -> the first 16 hex digits of its SHA-256, per target row.
    const std::map<QString, std::map<QString, std::string>> erwartet = {
        {PngZeile,
         {{"a_exif.png", "971b42d5f7932521"},
          {"b_hoch.png", "71aa64f0a7d889f5"},
          {"d_klein.png", "ab005c309c841622"},
          {"e_breit.png", "0f5aece759931625"}}},
        {BmpZeile,
         {{"a_exif.bmp", "c4e5d64011a221bb"},
          {"b_hoch.bmp", "baba1f74bc9c3726"},
          {"d_klein.bmp", "7d04a8365ddfdd30"},
          {"e_breit.bmp", "64bb8d9883801bea"}}},
        {JpgZeile,
         {{"a_exif.jpg", "4267b3c74495a455"},
          {"b_hoch.jpg", "46c1018d635467ba"},
          {"d_klein.jpg", "a9a00b5b0edd13b8"},
          {"e_breit.jpg", "f3fc74b77187cbe8"}}},
    };
    const QStringList liste = Quellen();
    for (const auto& [zeile, dateien] : erwartet) {
        const QString ziel = FrischerOrdner(QStringLiteral("ausgabe-ziel"));
        TMeldungsFaenger faenger;
        Konvertieren(liste, zeile, ziel);
        EXPECT_EQ(fenster->result(), QDialog::Accepted);
        EXPECT_EQ(fenster->lblBilderzahl->text(), QStringLiteral("Bild 5 von 5 wird konvertiert."));
        EXPECT_EQ(faenger.texte, QStringList{QStringLiteral("Diese Dateien konnten nicht gelesen werden und wurden "
                                                            "übersprungen:\n")
                                             + liste.at(2) + QStringLiteral("\n\n")});

        QStringList namen;
        for (const auto& [name, summe] : dateien)
            namen << name;
        EXPECT_EQ(QDir(ziel).entryList(QDir::Files | QDir::Hidden, QDir::Name), namen) << zeile.toStdString();
        for (const auto& [name, summe] : dateien) {
            const QString pfad = ziel + QLatin1Char('/') + name;
            EXPECT_EQ(Pruefsumme(DateiBytes(pfad)), summe) << name.toStdString();
            EXPECT_EQ(QFileInfo(pfad).lastModified(), Quellzeit.addSecs(-1)) << name.toStdString();
        }
    }
}

// With the folder kept and the same format, a.jpg's target is a.png, the
// next file's source: that one is read only once a.png has been written.
TEST_F(KonvertierenAusgabeTest, Vorlauf_QuelleDieEinFrueheresZielErsetztWirdDanachGelesen)
{
    QImage rot(200, 100, QImage::Format_BGR888), blau(200, 100, QImage::Format_BGR888);
    rot.fill(QColor(220, 20, 20));
    blau.fill(QColor(20, 20, 220));
    const QString jpg = Quelle(QStringLiteral("a.jpg"), Kodiert(rot, 21));
    const QString png = Quelle(QStringLiteral("a.png"), Kodiert(blau, 33));
    KonvertierenTyp = PngZeile;
    fenster->show();
    fenster->cbOrdnerBeibehalten->setChecked(true);
    TMeldungsFaenger faenger(mbJa);
    Konvertieren({jpg, png}, PngZeile, quellen);
    const QImage ergebnis(png);
    ASSERT_EQ(ergebnis.size(), QSize(120, 60));
    EXPECT_GT(qRed(ergebnis.pixel(60, 30)), 200);
    EXPECT_LT(qBlue(ergebnis.pixel(60, 30)), 40);
    // Both targets existed, so both were asked about.
    EXPECT_EQ(faenger.texte.size(), 2) << faenger.texte.join(QLatin1Char('|')).toStdString();
}

// Beside the other files a worker has only a share of the memory: a file
// too large for it is converted alone, to the same bytes and without a word.
TEST_F(KonvertierenAusgabeTest, Vorlauf_DateiZuGrossFuerEinenAnteilWirdAlleinKonvertiert)
{
    QStringList liste;
    for (unsigned i = 0; i < 3; ++i)
        liste << Quelle(QStringLiteral("gross%1.jpg").arg(i), Kodiert(Foto(600, 400, 20 + i), 21));
    const QString frei = FrischerOrdner(QStringLiteral("anteil-frei"));
    const QString knapp = FrischerOrdner(QStringLiteral("anteil-knapp"));
    {
        TMeldungsFaenger faenger;
        Konvertieren(liste, BmpZeile, frei);
        EXPECT_TRUE(faenger.texte.isEmpty());
    }
    {
        // Enough for one 600 x 400 picture with its file, not for half of it.
        GearSpeicherGrenzeSetzen(1200 * 1000);
        TMeldungsFaenger faenger;
        Konvertieren(liste, BmpZeile, knapp);
        GearSpeicherGrenzeSetzen(0);
        EXPECT_TRUE(faenger.texte.isEmpty()) << faenger.texte.join(QLatin1Char('|')).toStdString();
    }
    for (unsigned i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("/gross%1.bmp").arg(i);
        ASSERT_TRUE(QFileInfo::exists(knapp + name)) << i;
        EXPECT_EQ(DateiBytes(knapp + name), DateiBytes(frei + name)) << i;
    }
}

// A failed transfer is told on the GUI thread, once per file and in list
// order, before the report; never from a worker.
TEST_F(KonvertierenAusgabeTest, Vorlauf_TransferfehlerMeldetDerGuiThreadDerReiheNach)
{
    QStringList liste;
    for (const char* n : {"t1.png", "t2.png", "t3.png"})
        liste << Quelle(QLatin1String(n), Kodiert(Foto(64, 48, 5), 33));
    QStringList texte;
    bool nurGuiThread = true;
    SetzeMeldungHaken([&](const QString& text, TMeldungArt, int) {
        texte << text;
        nurGuiThread = nurGuiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        return int(mbOk);
    });
    TransferStoerungSetzen(true);
    Konvertieren(liste, PngZeile, FrischerOrdner(QStringLiteral("transfer")));
    TransferStoerungSetzen(false);
    SetzeMeldungHaken({});
    EXPECT_TRUE(nurGuiThread);
    // One when the window shows the first file, one per file of the run.
    const QString transfer = QStringLiteral("Fehler beim Bitmaptransfer");
    EXPECT_EQ(texte, (QStringList{transfer, transfer, transfer, transfer,
                                  QStringLiteral("Diese Dateien konnten nicht gelesen werden und wurden übersprungen:\n")
                                      + liste.join(QLatin1Char('\n')) + QStringLiteral("\n\n")}));
}
