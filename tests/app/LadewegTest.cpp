// The road of a file to the screen: each file's bytes are read once per load,
// and the metadata reader only ever sees the formats it is meant for.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRandomGenerator>
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "gear/GearHilfen.h"
#include "Testnaht.h"

namespace {

// Bytes this process has read through read() and its kin so far.
qint64 GeleseneBytes()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    for (const QByteArray& zeile : io.readAll().split('\n'))
        if (zeile.startsWith("rchar:"))
            return zeile.mid(6).trimmed().toLongLong();
    return -1;
}

// A noisy picture, so the JPEG is large (several MB).
QByteArray GrossesJpeg(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    QRandomGenerator zufall(7);
    for (int y = 0; y < hoehe; ++y) {
        auto* z = reinterpret_cast<QRgb*>(bild.scanLine(y));
        for (int x = 0; x < breite; ++x)
            z[x] = zufall.generate() | 0xFF000000u;
    }
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "JPG", 95);
    return daten;
}

// A RIFF file: an animated cursor (ACON), a video (AVI) or a WebP picture.
QByteArray Riff(const QByteArray& form, const QByteArray& inhalt)
{
    QByteArray b("RIFF");
    const quint32 n = quint32(inhalt.size() + 4);
    for (int i = 0; i < 4; ++i)
        b.append(char((n >> (8 * i)) & 0xFF));
    return b + form + inhalt;
}

QByteArray Chunk(const QByteArray& typ, const QByteArray& inhalt)
{
    QByteArray b = typ;
    const quint32 n = quint32(inhalt.size());
    for (int i = 0; i < 4; ++i)
        b.append(char((n >> (8 * i)) & 0xFF));
    return b + inhalt;
}

class LadewegTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        ordner = FrischerOrdner(QStringLiteral("ladeweg"));
        BildBearbeitet = false;
    }
    QString Datei(const QString& name, const QByteArray& daten)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        DateiSchreiben(pfad, daten);
        return pfad;
    }
    void Anzeigen(const QString& pfad)
    {
        BildListe = {pfad};
        BildIndex = 0;
        f->BildAnzeigen();
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

}  // namespace

TEST_F(LadewegTest, Laden_LiestJedeDateiNurEinmal)
{
    ASSERT_GE(GeleseneBytes(), 0);
    const QString pfad = Datei(QStringLiteral("gross.jpg"), GrossesJpeg(1600, 1200));
    {
        // Comment and EXIF, so the metadata are really read.
        auto bild = Exiv2::ImageFactory::open(QFile::encodeName(pfad).toStdString());
        bild->readMetadata();
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = "Zelvano Kamera";
        bild->setExifData(exif);
        bild->setComment("einmal");
        bild->writeMetadata();
    }
    const qint64 groesse = QFileInfo(pfad).size();
    ASSERT_GT(groesse, 2'000'000);
    Anzeigen(Datei(QStringLiteral("warm.png"), QByteArray()));   // first-time work out of the way

    const qint64 vorher = GeleseneBytes();
    Anzeigen(pfad);
    const qint64 gelesen = GeleseneBytes() - vorher;

    EXPECT_EQ(f->OriginalBild.Width(), 1600);
    EXPECT_EQ(AktKommentar, QStringLiteral("einmal"));
    ASSERT_TRUE(AktExifDaten->HatExif());
    EXPECT_EQ(AktExifDaten->Wert(QStringLiteral("Exif.Image.Make")), QStringLiteral("Zelvano Kamera"));
    EXPECT_EQ(AktExifDaten->Dateiname(), pfad);
    // The decoder reads the file; the metadata cost only their own segments.
    EXPECT_GE(gelesen, groesse);
    EXPECT_LT(gelesen, groesse + 256 * 1024) << "gelesen " << gelesen << " von " << groesse;
}

TEST_F(LadewegTest, Metadaten_NurSegmenteNichtDieBilddaten)
{
    const QString pfad = Datei(QStringLiteral("gross.jpeg"), GrossesJpeg(1200, 900));
    const qint64 vorher = GeleseneBytes();
    TExifDaten leser;
    EXPECT_TRUE(leser.Lesen(pfad));
    EXPECT_LT(GeleseneBytes() - vorher, 64 * 1024);
}

TEST_F(LadewegTest, Metadaten_NichtJpegEndungHaeltKeineExifDaten)
{
    // Only ".jpg" and ".jpeg" keep their EXIF data for saving.
    QImage bild(8, 8, QImage::Format_RGB32);
    bild.fill(Qt::red);
    const QString jpeg = Datei(QStringLiteral("a.jpg"), [&] {
        QByteArray d;
        QBuffer p(&d);
        p.open(QIODevice::WriteOnly);
        bild.save(&p, "JPG");
        return d;
    }());
    auto exivBild = Exiv2::ImageFactory::open(QFile::encodeName(jpeg).toStdString());
    exivBild->readMetadata();
    Exiv2::ExifData exif;
    exif["Exif.Image.Model"] = "Z 1";
    exivBild->setExifData(exif);
    exivBild->writeMetadata();
    const QString jfif = ordner + QStringLiteral("/a.jfif");
    ASSERT_TRUE(QFile::copy(jpeg, jfif));

    Anzeigen(jpeg);
    EXPECT_TRUE(AktExifDaten->HatExif());
    Anzeigen(jfif);
    EXPECT_FALSE(AktExifDaten->HatExif());
    EXPECT_EQ(f->OriginalBild.Width(), 8);
}

TEST_F(LadewegTest, Riff_AlsIcoWirdNieDemMetadatenleserGegeben)
{
    const QByteArray anih = Chunk("anih", QByteArray(36, '\0'));
    const QList<QByteArray> dateien = {
        Riff("ACON", anih + Chunk("LIST", QByteArray())),                     // animated cursor
        Riff("ACON", anih + Chunk("LIST", "fram" + Chunk("icon", QByteArray()))),
        Riff("AVI ", Chunk("LIST", "hdrl" + Chunk("avih", QByteArray(56, '\0')))),
        Riff("WEBP", Chunk("VP8X", QByteArray(10, '\0'))),
    };
    for (qsizetype i = 0; i < dateien.size(); ++i) {
        for (const QString& endung : {QStringLiteral("ico"), QStringLiteral("jpg"), QStringLiteral("avi")}) {
            const QString pfad = Datei(QStringLiteral("riff%1.%2").arg(i).arg(endung), dateien.at(i));
            TExifDaten leser;
            EXPECT_FALSE(leser.Lesen(pfad)) << pfad.toStdString();
            EXPECT_EQ(leser.FehlerText(), QStringLiteral("Dateiformat ohne Metadaten")) << pfad.toStdString();
        }
    }

    // The main window shows the error picture and stays usable.
    TMeldungsFaenger faenger;
    Anzeigen(ordner + QStringLiteral("/riff0.ico"));
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(f->OriginalBild.Bild().convertToFormat(QImage::Format_RGB32),
              FehlerBild().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(AktKommentar.isEmpty());
}

TEST_F(LadewegTest, Metadaten_NachSignaturNichtNachEndung)
{
    // A PNG named .jpg is read as the PNG it is; a JPEG named .png as a JPEG.
    QImage bild(4, 4, QImage::Format_RGB32);
    bild.fill(Qt::blue);
    QByteArray png, jpeg;
    {
        QBuffer p(&png);
        p.open(QIODevice::WriteOnly);
        QImageWriter w(&p, "png");
        w.setText(QStringLiteral("Description"), QStringLiteral("aus png"));
        w.write(bild);
    }
    {
        QBuffer p(&jpeg);
        p.open(QIODevice::WriteOnly);
        QImageWriter w(&p, "jpeg");
        w.setText(QStringLiteral("Description"), QStringLiteral("aus jpeg"));
        w.write(bild);
    }
    TExifDaten leser;
    ASSERT_TRUE(leser.Lesen(Datei(QStringLiteral("png.jpg"), png)));
    EXPECT_EQ(leser.Kommentar(), QStringLiteral("aus png"));
    ASSERT_TRUE(leser.Lesen(Datei(QStringLiteral("jpeg.png"), jpeg)));
    EXPECT_TRUE(leser.Kommentar().contains(QStringLiteral("aus jpeg")));
    // Formats without metadata the program shows never reach exiv2.
    QByteArray bmp;
    {
        QBuffer p(&bmp);
        p.open(QIODevice::WriteOnly);
        bild.save(&p, "BMP");
    }
    EXPECT_FALSE(leser.Lesen(Datei(QStringLiteral("bild.jpg"), bmp)));
    EXPECT_EQ(leser.FehlerText(), QStringLiteral("Dateiformat ohne Metadaten"));
}

TEST_F(LadewegTest, Temp_VerweisStattOrdnerBildWirdGezeigtNichtsDraussenBeruehrt)
{
    // Another user planted a link where this user's folder belongs.
    const QString ziel = FrischerOrdner(QStringLiteral("fremdziel"));
    DateiSchreiben(ziel + QStringLiteral("/bleibt.txt"), QByteArray("unberuehrt"));
    TempAufraeumen();
    QDir(TempOrdnerPfad()).removeRecursively();
    QString link = TempOrdnerPfad();
    link.chop(1);
    ASSERT_TRUE(QFile::link(ziel, link));
    {
        TMeldungsFaenger faenger;
        EXPECT_FALSE(TempNamenAnlegen());
        ASSERT_EQ(faenger.texte.size(), 1);
        EXPECT_TRUE(faenger.texte.at(0).contains(QStringLiteral("symbolischer Verweis")));
    }

    // Pictures still show; undo steps are refused, not written through the link.
    QImage bild(5, 4, QImage::Format_RGB32);
    bild.fill(Qt::green);
    const QString pfad = ordner + QStringLiteral("/gruen.png");
    ASSERT_TRUE(bild.save(pfad));
    TMeldungsFaenger faenger;
    Anzeigen(pfad);
    EXPECT_EQ(f->OriginalBild.Width(), 5);
    const int altMax = MaxRueck;
    MaxRueck = 10;
    EXPECT_FALSE(RueckgaengigSpeichern(*f->Gear1, f->OriginalBild, BildFarbtiefe));
    MaxRueck = altMax;
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_EQ(QDir(ziel).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("bleibt.txt")});
    EXPECT_EQ(DateiBytes(ziel + QStringLiteral("/bleibt.txt")), QByteArray("unberuehrt"));

    TempAufraeumen();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile::remove(link);
    RueckgaengigLoeschen();   // the warning is given once per image
    ASSERT_TRUE(TempNamenAnlegen());
}

TEST_F(LadewegTest, Rueckgaengig_StelltSicheresSchreibenUndCursorWiederHer)
{
    QImage bild(6, 3, QImage::Format_RGB32);
    bild.fill(Qt::red);
    const QString pfad = ordner + QStringLiteral("/rot.png");
    ASSERT_TRUE(bild.save(pfad));
    Anzeigen(pfad);
    const int altMax = MaxRueck;
    MaxRueck = 10;
    ASSERT_TRUE(f->Gear1->SicherSchreiben());
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);

    EXPECT_TRUE(RueckgaengigSpeichern(*f->Gear1, f->OriginalBild, BildFarbtiefe));
    EXPECT_TRUE(f->Gear1->SicherSchreiben());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A folder in the place of the next step makes the write fail.
    ASSERT_TRUE(QDir().mkpath(RueckgaengigPrefix + QString::number(RueckgaengigAnzahl + 1)));
    TMeldungsFaenger faenger;
    EXPECT_FALSE(RueckgaengigSpeichern(*f->Gear1, f->OriginalBild, BildFarbtiefe));
    EXPECT_TRUE(f->Gear1->SicherSchreiben());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QDir(RueckgaengigPrefix + QString::number(RueckgaengigAnzahl + 1)).removeRecursively();
    RueckgaengigLoeschen();
    MaxRueck = altMax;
}

TEST_F(LadewegTest, Laden_RiesigeDateiWirdNichtGanzGelesen)
{
    // 3 GB (sparse): a JPEG head with a comment, then nothing but zeros. The
    // decoder refuses the size; the metadata reader reads just the head.
    const QByteArray kopf = QByteArray("\xFF\xD8\xFF\xFE\x00\x07riese", 11);
    const QString pfad = Datei(QStringLiteral("riese.jpg"), kopf);
    {
        QFile datei(pfad);
        ASSERT_TRUE(datei.open(QIODevice::ReadWrite));
        if (!datei.resize(qint64(3) << 30))
            GTEST_SKIP() << "no sparse file of 3 GB here";
    }
    TMeldungsFaenger faenger;
    const qint64 vorher = GeleseneBytes();
    Anzeigen(pfad);
    const qint64 gelesen = GeleseneBytes() - vorher;
    QFile::remove(pfad);
    EXPECT_EQ(f->OriginalBild.Bild().convertToFormat(QImage::Format_RGB32),
              FehlerBild().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(AktKommentar, QStringLiteral("riese"));
    EXPECT_LT(gelesen, 1024 * 1024);
}

TEST_F(LadewegTest, Metadaten_RiesigesPngWirdNichtGanzGelesen)
{
    // A PNG head with a comment, then 3 GB of zeros (sparse): no chunk follows.
    QImage bild(4, 4, QImage::Format_RGB32);
    bild.fill(Qt::blue);
    QByteArray png;
    {
        QBuffer p(&png);
        p.open(QIODevice::WriteOnly);
        QImageWriter w(&p, "png");
        w.setText(QStringLiteral("Description"), QStringLiteral("riese"));
        w.write(bild);
    }
    const qsizetype idat = png.indexOf("IDAT") - 4;
    ASSERT_GT(idat, 8);
    const QString pfad = Datei(QStringLiteral("riese.png"), png.left(idat));
    {
        QFile datei(pfad);
        ASSERT_TRUE(datei.open(QIODevice::ReadWrite));
        if (!datei.resize(qint64(3) << 30))
            GTEST_SKIP() << "no sparse file of 3 GB here";
    }
    const qint64 vorher = GeleseneBytes();
    TExifDaten leser;
    EXPECT_TRUE(leser.Lesen(pfad)) << leser.FehlerText().toStdString();
    const qint64 gelesen = GeleseneBytes() - vorher;
    QFile::remove(pfad);
    EXPECT_EQ(leser.Kommentar(), QStringLiteral("riese"));
    EXPECT_LT(gelesen, 1024 * 1024);
}

TEST_F(LadewegTest, Speicher_ZuGrossesBildZeigtFehlerbildUndSagtWarum)
{
    QImage bild(800, 600, QImage::Format_RGB32);
    bild.fill(qRgb(10, 200, 30));
    TMeldungsFaenger faenger;
    for (const char* format : {"PNG", "JPG", "BMP", "TIF", "PPM"}) {
        QByteArray daten;
        QBuffer puffer(&daten);
        puffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(bild.save(&puffer, format)) << format;
        const QString pfad = Datei(QStringLiteral("gross.") + QString::fromLatin1(format).toLower(), daten);

        faenger.texte.clear();
        GearSpeicherGrenzeSetzen(64 * 1024);   // a machine far too small for 800 x 600
        Anzeigen(pfad);
        GearSpeicherGrenzeSetzen(0);

        EXPECT_EQ(f->OriginalBild.Bild(), FehlerBild()) << format;
        ASSERT_EQ(faenger.texte.size(), 1) << format;
        EXPECT_TRUE(faenger.texte.front().startsWith(QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht")))
            << format << ": " << faenger.texte.front().toStdString();

        // A merely broken file shows the error picture without a message.
        faenger.texte.clear();
        Anzeigen(Datei(QStringLiteral("kaputt.") + QString::fromLatin1(format).toLower(), daten.left(40)));
        EXPECT_EQ(f->OriginalBild.Bild(), FehlerBild()) << format;
        EXPECT_TRUE(faenger.texte.isEmpty()) << format;
    }
}
