#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextDocument>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QTextEdit>
#include <QtEndian>
#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>
#include <Magick++.h>
#include <exiv2/exiv2.hpp>
#include <zlib.h>
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Bildinfo.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Key -> value as the exiv2 tool prints them (-Pkv raw, -Pkt interpreted).
QMap<QString, QString> Exiv2Werte(const QString& datei, const QString& art)
{
    QProcess p;
    p.start(QStringLiteral("exiv2"), {art, datei});
    p.waitForFinished(30000);
    QMap<QString, QString> werte;
    for (const QString& zeile : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype blank = zeile.indexOf(QLatin1Char(' '));
        if (blank > 0)
            werte[zeile.left(blank)] = zeile.mid(blank).trimmed();
    }
    return werte;
}

bool Exiv2Setzen(const QString& datei, const QStringList& befehle)
{
    QStringList argumente;
    for (const QString& b : befehle)
        argumente << QStringLiteral("-M") + b;
    argumente << datei;
    return QProcess::execute(QStringLiteral("exiv2"), argumente) == 0;
}

QString Jpeg(const QString& pfad, int breite = 100, int hoehe = 100)
{
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    bild.fill(QColor(200, 120, 40));
    bild.save(pfad, "JPEG", 90);
    return pfad;
}

TEST(ExifZusammenfassung, Belichtungszeit_BruchKehrwertUndSekunden)
{
    EXPECT_EQ(Belichtungszeile(QStringLiteral("10/2500 sec")), QStringLiteral("Belichtungszeit: 1/250 sec"));
    EXPECT_EQ(Belichtungszeile(QStringLiteral("10/2500")), QStringLiteral("Belichtungszeit: 1/250 sec"));
    EXPECT_EQ(Belichtungszeile(QStringLiteral("1/60")), QStringLiteral("Belichtungszeit: 1/60 sec"));
    // Half way goes to the even number.
    EXPECT_EQ(Belichtungszeile(QStringLiteral("2/5")), QStringLiteral("Belichtungszeit: 1/2 sec"));
    // A second or longer is counted in seconds, not "1/0".
    EXPECT_EQ(Belichtungszeile(QStringLiteral("1/1")), QStringLiteral("Belichtungszeit: 1 sec"));
    EXPECT_EQ(Belichtungszeile(QStringLiteral("30/1")), QStringLiteral("Belichtungszeit: 30 sec"));
    EXPECT_EQ(Belichtungszeile(QStringLiteral("5/2")), QStringLiteral("Belichtungszeit: 2,5 sec"));
    for (const char* falsch : {"250", "a/b", "0/10", "10/0", "/", "-1/60", ""})
        EXPECT_TRUE(Belichtungszeile(QString::fromLatin1(falsch)).isEmpty()) << falsch;
}

TEST(ExifZusammenfassung, Zeilen_ReihenfolgeDatumUndBlitz)
{
    TExifAuszug a;
    a.HatExif = true;
    a.DatumZeit = QStringLiteral("2004:07:15 13:45:10");
    a.Hersteller = QStringLiteral("Canon");
    a.Modell = QStringLiteral("EOS");
    a.ExposureTime = QStringLiteral("10/2500");
    a.ShutterSpeedValue = QStringLiteral("1/256 s");
    a.FocalLength = QStringLiteral("50.0 mm");
    a.FocalLengthin35mm = QStringLiteral("80.0 mm");
    a.FNumber = QStringLiteral("F2.8");
    a.ISOSpeedRatings = QStringLiteral("200");
    a.Blitz = 9;
    EXPECT_EQ(ExifZusammenfassung(a), QStringLiteral("Foto Datum: 15.07.2004 - 13:45:10\r\nHersteller: Canon\r\n"
                                                     "Model: EOS\r\nBelichtungszeit: 1/250 sec\r\nBrennweite: 50.0 mm\r\n"
                                                     "Brennweite (35mm): 80.0 mm\r\nBlende: F2.8\r\nISO: 200\r\n"
                                                     "Blitz: Ja"));
    // Without an exposure time the shutter speed stands in; a broken one drops its line.
    a.ExposureTime.clear();
    EXPECT_TRUE(ExifZusammenfassung(a).contains(QStringLiteral("\r\nBelichtungszeit: 1/256 s\r\n")));
    a.ExposureTime = QStringLiteral("kaputt");
    EXPECT_FALSE(ExifZusammenfassung(a).contains(QStringLiteral("Belichtungszeit")));

    for (long blitz : {0L, 16L})
        EXPECT_TRUE((a.Blitz = blitz, ExifZusammenfassung(a).endsWith(QStringLiteral("Blitz: Nein"))));
    for (long blitz : {1L, 9L, 25L})
        EXPECT_TRUE((a.Blitz = blitz, ExifZusammenfassung(a).endsWith(QStringLiteral("Blitz: Ja"))));

    TExifAuszug nurBlitz;
    nurBlitz.HatExif = true;
    EXPECT_EQ(ExifZusammenfassung(nurBlitz), CRLF + QStringLiteral("Blitz: Nein"));
    // A short date text gives what there is, never a crash.
    nurBlitz.DatumZeit = QStringLiteral("2004");
    EXPECT_TRUE(ExifZusammenfassung(nurBlitz).startsWith(QStringLiteral("Foto Datum: ..2004 - ")));
}

TEST(ExifZusammenfassung, OhneExifLeerFehlerNurZweiZeilen)
{
    TExifAuszug a;
    EXPECT_TRUE(ExifZusammenfassung(a).isEmpty());
    a.HatExif = true;
    a.Fehler = QStringLiteral("Kaputt");
    a.Dateiname = QStringLiteral("/a/b/bild.jpg");
    a.Hersteller = QStringLiteral("Canon");
    EXPECT_EQ(ExifZusammenfassung(a), QStringLiteral("File Name:  bild.jpg\r\nExif Error: Kaputt"));
}

TEST(ExifZusammenfassung, Groesse_64BitUndMindestensEinByte)
{
    EXPECT_EQ(UnkomprimierteGroesse(10000, 10000, 24), 300000000);
    EXPECT_EQ(UnkomprimierteGroesse(50000, 50000, 24), qint64(7500000000));
    EXPECT_EQ(UnkomprimierteGroesse(1, 1, 1), 1);
    EXPECT_EQ(UnkomprimierteGroesse(100, 100, 24), 30000);
}

class BildinfoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmBildinfo(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        b = frmBildinfo;
        ASSERT_NE(b, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ordner = FrischerOrdner(QStringLiteral("bildinfo"));
        AktKommentar.clear();
    }
    void TearDown() override
    {
        if (b->isVisible())
            b->reject();
    }
    // The main window shows the file as the open command leaves it.
    void DateiZeigen(const QString& pfad)
    {
        BildListe = {pfad};
        BildIndex = 0;
        LadeGearBild(*f->Gear1, pfad);
        GearZuBitmap(*f->Gear1, f->OriginalBild);
        BildFarbtiefe = f->Gear1->ImageBitsPerPixel();
        BildQuelle = BildQuelleDatei;
        BildBearbeitet = false;
    }
    void Zeigen()
    {
        b->show();
        QApplication::processEvents();
    }
    QString Text() const { return b->RichEdit1->toPlainText(); }

    TfrmZelvanoMain* f = nullptr;
    TfrmBildinfo* b = nullptr;
    QString ordner;
};

TEST_F(BildinfoTest, Datei_JpegMitVerkleinerungssatz)
{
    // 3000 bytes of a 100 x 100 picture: trailing bytes after the image do not disturb the decoder.
    const QString pfad = Jpeg(ordner + QStringLiteral("/klein.jpg"));
    QByteArray daten = DateiBytes(pfad);
    ASSERT_LT(daten.size(), 3000);
    daten.append(QByteArray(3000 - daten.size(), '\0'));
    DateiSchreiben(pfad, daten);
    DateiZeigen(pfad);
    Zeigen();
    EXPECT_EQ(b->windowTitle(), QStringLiteral("Bildinformationen"));
    EXPECT_EQ(b->lblFileName->text(), pfad);
    EXPECT_EQ(b->lblDateiSize->text(), QStringLiteral("2,9 KB"));
    EXPECT_EQ(b->lblImageSize->text(), QStringLiteral("29,3 KB"));
    EXPECT_EQ(b->lblBitDepth->text(), QStringLiteral("24 Bit(s) per Pixel"));
    EXPECT_EQ(b->lblDimensions->text(), QStringLiteral("100 Pixel breit  x  100 Pixel hoch"));
    EXPECT_EQ(b->lblFileFormat->text(), f->Gear1->ImageType());
    EXPECT_EQ(b->lblCompression->text(), f->Gear1->CompressType()
                  + QStringLiteral("  (Die Bilddatei ist auf 10,0 % der Originalgröße reduziert.)"));
    const QDateTime datum = QFileInfo(pfad).lastModified();
    EXPECT_EQ(b->lblFileDatum->text(), datum.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    // One empty line, then another before the sentence.
    EXPECT_EQ(Text(), QStringLiteral("\n\nDiese Datei enthält keine EXIF-Informationen."));
}

TEST_F(BildinfoTest, Datei_GroesserAlsUnkomprimiertNurKompression)
{
    const QString pfad = Jpeg(ordner + QStringLiteral("/winzig.jpg"), 4, 4);
    DateiZeigen(pfad);
    Zeigen();
    EXPECT_EQ(b->lblImageSize->text(), QStringLiteral("48 Byte"));
    EXPECT_EQ(b->lblCompression->text(), f->Gear1->CompressType());
    EXPECT_FALSE(b->lblCompression->text().isEmpty());
}

TEST_F(BildinfoTest, Datei_UnkomprimiertesBmp)
{
    const QString pfad = ordner + QStringLiteral("/bild.bmp");
    QImage(10, 10, QImage::Format_RGB888).save(pfad, "BMP");
    DateiZeigen(pfad);
    Zeigen();
    EXPECT_EQ(b->lblCompression->text(), QStringLiteral("Unkomprimiert"));
    EXPECT_EQ(b->lblFileFormat->text(), f->Gear1->ImageType());
}

TEST_F(BildinfoTest, AndereQuellen_SatzStattDateiangaben)
{
    f->OriginalBild = TBitmap(1, 1);
    f->Gear1->SetPicture(f->OriginalBild);
    BildFarbtiefe = 1;
    BildBearbeitet = false;
    const QList<QPair<int, QString>> quellen = {
        {BildQuelleZwischenablage, QStringLiteral("Das Bild wurde aus der Zwischenablage eingefügt.")},
        {BildQuelleScanner, QStringLiteral("Das Bild wurde über die TWAIN-Schnittstelle eingelesen.")},
        {BildQuelleKeine, QStringLiteral("Das Bild wurde bearbeitet aber noch nicht gespeichert.")}};
    for (const auto& [quelle, satz] : quellen) {
        BildQuelle = quelle;
        Zeigen();
        EXPECT_EQ(b->lblFileName->text(), satz);
        EXPECT_TRUE(b->lblFileDatum->text().isEmpty());
        EXPECT_TRUE(b->lblDateiSize->text().isEmpty());
        EXPECT_EQ(b->lblImageSize->text(), QStringLiteral("1 Byte"));
        EXPECT_EQ(b->lblFileFormat->text(), QStringLiteral("Unbekannt"));
        // No file, so no sentence about its reduction.
        EXPECT_FALSE(b->lblCompression->text().contains(QStringLiteral("reduziert")));
        EXPECT_EQ(Text(), QString());
        EXPECT_EQ(b->RichEdit1->document()->blockCount(), 1);
        b->reject();
    }
}

TEST_F(BildinfoTest, Bearbeitet_ZeigtDasBearbeiteteBildOhneDateiangaben)
{
    DateiZeigen(Jpeg(ordner + QStringLiteral("/bearbeitet.jpg")));
    f->OriginalBild = TBitmap(40, 30);
    BildBearbeitet = true;
    Zeigen();
    EXPECT_EQ(b->lblFileName->text(), QStringLiteral("Das Bild wurde bearbeitet aber noch nicht gespeichert."));
    EXPECT_TRUE(b->lblDateiSize->text().isEmpty());
    EXPECT_TRUE(b->lblFileFormat->text().isEmpty());
    EXPECT_TRUE(b->lblCompression->text().isEmpty());
    EXPECT_EQ(b->lblDimensions->text(), QStringLiteral("40 Pixel breit  x  30 Pixel hoch"));
    EXPECT_EQ(b->lblImageSize->text(), QStringLiteral("3,5 KB"));
    EXPECT_TRUE(Text().isEmpty());
    BildBearbeitet = false;
}

TEST_F(BildinfoTest, Exif_ZusammenfassungWieExiv2SieLiest)
{
    const QString pfad = Jpeg(ordner + QStringLiteral("/kamera.jpg"));
    ASSERT_TRUE(Exiv2Setzen(pfad, {QStringLiteral("set Exif.Image.Make Canon"),
                                   QStringLiteral("set Exif.Image.Model Canon EOS 300D"),
                                   QStringLiteral("set Exif.Photo.DateTimeOriginal 2004:07:15 13:45:10"),
                                   QStringLiteral("set Exif.Photo.Flash 25"),
                                   QStringLiteral("set Exif.Photo.ExposureTime 10/2500"),
                                   QStringLiteral("set Exif.Photo.FNumber 28/10"),
                                   QStringLiteral("set Exif.Photo.ISOSpeedRatings 200"),
                                   QStringLiteral("set Exif.Photo.FocalLength 50/1")}));
    const auto roh = Exiv2Werte(pfad, QStringLiteral("-Pkv"));
    const auto lesbar = Exiv2Werte(pfad, QStringLiteral("-Pkt"));
    ASSERT_EQ(roh.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Canon"));

    TExifDaten leser;
    ASSERT_TRUE(leser.Lesen(pfad));
    const QStringList zeilen = ExifZusammenfassung(leser).split(CRLF);
    const QString datum = roh.value(QStringLiteral("Exif.Photo.DateTimeOriginal"));
    const QString belichtung = roh.value(QStringLiteral("Exif.Photo.ExposureTime"));
    const int nenner = belichtung.section(QLatin1Char('/'), 1).toInt();
    const int zaehler = belichtung.section(QLatin1Char('/'), 0, 0).toInt();
    const QStringList erwartet = {
        QStringLiteral("Foto Datum: %1.%2.%3 - %4")
            .arg(datum.mid(8, 2), datum.mid(5, 2), datum.left(4), datum.mid(11)),
        QStringLiteral("Hersteller: ") + roh.value(QStringLiteral("Exif.Image.Make")),
        QStringLiteral("Model: ") + roh.value(QStringLiteral("Exif.Image.Model")),
        QStringLiteral("Belichtungszeit: 1/%1 sec").arg(nenner / zaehler),
        QStringLiteral("Brennweite: ") + lesbar.value(QStringLiteral("Exif.Photo.FocalLength")),
        QStringLiteral("Blende: ") + lesbar.value(QStringLiteral("Exif.Photo.FNumber")),
        QStringLiteral("ISO: ") + roh.value(QStringLiteral("Exif.Photo.ISOSpeedRatings")),
        QStringLiteral("Blitz: ") + ((roh.value(QStringLiteral("Exif.Photo.Flash")).toInt() & 1) ? "Ja" : "Nein")};
    EXPECT_EQ(zeilen, erwartet);
    EXPECT_EQ(zeilen.first(), QStringLiteral("Foto Datum: 15.07.2004 - 13:45:10"));

    AktKommentar = QStringLiteral("Urlaub am Meer");
    DateiZeigen(pfad);
    AktKommentar = QStringLiteral("Urlaub am Meer");
    Zeigen();
    const QString text = Text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("\nKommentar\n")));
    const qsizetype kommentar = text.indexOf(QStringLiteral("Kommentar\n") + QString(56, QLatin1Char('-'))
                                             + QStringLiteral("\nUrlaub am Meer\n"));
    const qsizetype summe = text.indexOf(QStringLiteral("EXIF Zusammenfassung\n"));
    const qsizetype daten = text.indexOf(QStringLiteral("EXIF-Daten\n"));
    EXPECT_GE(kommentar, 0);
    EXPECT_GT(summe, kommentar);
    EXPECT_GT(daten, summe);
    EXPECT_TRUE(text.contains(erwartet.join(QLatin1Char('\n'))));
    EXPECT_TRUE(text.contains(QStringLiteral("Error = <none>\nIntel Byte Order\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Exif.Image.Model")));
    // Titles bold, the summary in normal weight.
    QTextCursor c = b->RichEdit1->document()->find(QStringLiteral("EXIF Zusammenfassung"));
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c = b->RichEdit1->document()->find(QStringLiteral("Hersteller: Canon"));
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Normal);
    EXPECT_EQ(b->RichEdit1->textCursor().position(), 0);
}

TEST_F(BildinfoTest, Exif_MotorolaBlockUndOhneDatum)
{
    // A big-endian EXIF block with the maker alone, inserted after the start marker.
    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);                          // one entry
    tiff += QByteArray("\x01\x0f\0\x02\0\0\0\x06\0\0\0\x1a", 12); // Make, ASCII, 6, at 26
    tiff += QByteArray("\0\0\0\0", 4);
    tiff += QByteArray("Nikon\0", 6);
    const QByteArray nutz = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xff\xe1", 2);
    app1 += char((nutz.size() + 2) >> 8);
    app1 += char((nutz.size() + 2) & 0xff);
    app1 += nutz;
    const QString pfad = Jpeg(ordner + QStringLiteral("/nikon.jpg"));
    QByteArray daten = DateiBytes(pfad);
    daten.insert(2, app1);
    DateiSchreiben(pfad, daten);
    ASSERT_EQ(Exiv2Werte(pfad, QStringLiteral("-Pkv")).value(QStringLiteral("Exif.Image.Make")),
              QStringLiteral("Nikon"));

    DateiZeigen(pfad);
    Zeigen();
    EXPECT_TRUE(Text().contains(QStringLiteral("Motorola Byte Order")));
    // Without a date the summary starts with its line break: an empty line.
    EXPECT_TRUE(Text().contains(QStringLiteral("EXIF Zusammenfassung\n") + QString(56, QLatin1Char('-'))
                                + QStringLiteral("\n\nHersteller: Nikon\nBlitz: Nein\n")));
}

TEST_F(BildinfoTest, DefekteDatei_KeinAbsturzLesefehlerStattExifDaten)
{
    // Nothing but a whole EXIF segment whose first directory lies far outside it.
    const QString pfad = ordner + QStringLiteral("/kaputt.jpg");
    DateiSchreiben(pfad, QByteArray("\xff\xd8\xff\xe1\x00\x10" "Exif\0\0MM\0\x2a\xff\xff\0\0", 20));
    DateiZeigen(pfad);
    Zeigen();
    EXPECT_EQ(b->lblFileName->text(), pfad);
    EXPECT_EQ(b->lblDateiSize->text(), QStringLiteral("20 Byte"));
    EXPECT_TRUE(Text().contains(QStringLiteral("\nFile Name:  kaputt.jpg\nExif Error: "))) << Text().toStdString();
    EXPECT_FALSE(Text().contains(QStringLiteral("keine EXIF-Informationen")));
    // The file is left as it was.
    EXPECT_EQ(DateiBytes(pfad).size(), 20);
}

TEST_F(BildinfoTest, Tiff_OhneExifTeileKeineExifDaten)
{
    // A plain TIFF: its first directory describes the raster, no EXIF.
    const QString pfad = ordner + QStringLiteral("/schlicht.tif");
    Magick::Image tif(Magick::Geometry(30, 20), Magick::Color("red"));
    tif.write(pfad.toStdString());
    ASSERT_TRUE(Exiv2Werte(pfad, QStringLiteral("-Pkv")).contains(QStringLiteral("Exif.Image.StripOffsets")));
    DateiZeigen(pfad);
    Zeigen();
    EXPECT_EQ(b->lblDimensions->text(), QStringLiteral("30 Pixel breit  x  20 Pixel hoch"));
    EXPECT_EQ(Text(), QStringLiteral("\n\nDiese Datei enthält keine EXIF-Informationen."));
}

TEST_F(BildinfoTest, Tiff_MitExifZeigtNurDieExifAngaben)
{
    const QString pfad = ordner + QStringLiteral("/kamera.tif");
    Magick::Image tif(Magick::Geometry(30, 20), Magick::Color("red"));
    tif.write(pfad.toStdString());
    ASSERT_TRUE(Exiv2Setzen(pfad, {QStringLiteral("set Exif.Image.Make Pentax"),
                                   QStringLiteral("set Exif.Photo.DateTimeOriginal 2010:01:02 03:04:05"),
                                   QStringLiteral("set Exif.Photo.Flash 1"),
                                   QStringLiteral("set Exif.GPSInfo.GPSAltitude 120/1")}));
    const auto roh = Exiv2Werte(pfad, QStringLiteral("-Pkv"));
    ASSERT_EQ(roh.value(QStringLiteral("Exif.Photo.Flash")), QStringLiteral("1"));
    ASSERT_TRUE(roh.contains(QStringLiteral("Exif.Image.ImageWidth")));
    DateiZeigen(pfad);
    Zeigen();
    const QString text = Text();
    EXPECT_TRUE(text.contains(QStringLiteral("EXIF Zusammenfassung\n") + QString(56, QLatin1Char('-'))
                              + QStringLiteral("\nFoto Datum: 02.01.2010 - 03:04:05\nHersteller: Pentax\nBlitz: Ja\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Error = <none>\n")));
    for (const char* schluessel : {"Exif.Image.Make", "Exif.Photo.DateTimeOriginal", "Exif.Photo.Flash",
                                   "Exif.GPSInfo.GPSAltitude"})
        EXPECT_TRUE(text.contains(QLatin1String(schluessel))) << schluessel;
    // The raster's own description is no EXIF data.
    for (const char* schluessel : {"Exif.Image.ImageWidth", "Exif.Image.StripOffsets", "Exif.Image.BitsPerSample",
                                   "Exif.Image.StripByteCounts", "Exif.Image.PhotometricInterpretation"})
        EXPECT_FALSE(text.contains(QLatin1String(schluessel))) << schluessel;
}

TEST_F(BildinfoTest, Exif_BeschaedigterBlockZeigtDenLesefehler)
{
    // A big-endian EXIF block whose first directory lies far behind its end,
    // in a JPEG, in a PNG, and as a TIFF's own header.
    const QByteArray tiff = QByteArray("MM\0\x2a\0\0\xff\xff", 8) + QByteArray(40, '\0');
    const QByteArray nutz = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xff\xe1", 2);
    app1 += char((nutz.size() + 2) >> 8);
    app1 += char((nutz.size() + 2) & 0xff);
    app1 += nutz;
    const QString jpeg = Jpeg(ordner + QStringLiteral("/beschaedigt.jpg"));
    QByteArray daten = DateiBytes(jpeg);
    daten.insert(2, app1);
    DateiSchreiben(jpeg, daten);

    const QString png = ordner + QStringLiteral("/beschaedigt.png");
    QImage(100, 100, QImage::Format_RGB32).save(png, "PNG");
    QByteArray chunk;
    chunk.append(char(0)).append(char(0)).append(char(0)).append(char(tiff.size()));
    chunk += QByteArray("eXIf") + tiff;
    const auto* typUndDaten = reinterpret_cast<const Bytef*>(chunk.constData() + 4);
    const quint32 crc = quint32(crc32(0, typUndDaten, uInt(chunk.size() - 4)));
    chunk.append(char(crc >> 24)).append(char(crc >> 16)).append(char(crc >> 8)).append(char(crc));
    daten = DateiBytes(png);
    daten.insert(8 + 25, chunk);   // behind the header chunk
    DateiSchreiben(png, daten);

    const QString tif = ordner + QStringLiteral("/beschaedigt.tif");
    DateiSchreiben(tif, tiff);

    const QString striche = QString(56, QLatin1Char('-'));
    for (const QString& pfad : {jpeg, png, tif}) {
        // exiv2 itself gives up on this block.
        QString exiv2Fehler;
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        try {
            Exiv2::Image::AutoPtr bild = Exiv2::ImageFactory::open(pfad.toStdString());
            bild->readMetadata();
        } catch (const Exiv2::AnyError& e) {
            exiv2Fehler = QString::fromLocal8Bit(e.what());
        }
        ASSERT_FALSE(exiv2Fehler.isEmpty()) << pfad.toStdString();

        DateiZeigen(pfad);
        Zeigen();
        EXPECT_EQ(Text().toStdString(),
                  (QStringLiteral("\nEXIF Zusammenfassung\n") + striche + QStringLiteral("\nFile Name:  ")
                   + QFileInfo(pfad).fileName() + QStringLiteral("\nExif Error: ") + exiv2Fehler
                   + QStringLiteral("\n\n\nEXIF-Daten\n") + striche + QStringLiteral("\nError = ") + exiv2Fehler
                   + QStringLiteral("\nMotorola Byte Order"))
                      .toStdString());
        b->reject();
    }
    // The pictures of the JPEG and the PNG are fine and show.
    DateiZeigen(png);
    Zeigen();
    EXPECT_EQ(b->lblDimensions->text(), QStringLiteral("100 Pixel breit  x  100 Pixel hoch"));
}

TEST_F(BildinfoTest, Exif_ListeInFesterSchriftMitBuendigenSpalten)
{
    const QString pfad = Jpeg(ordner + QStringLiteral("/liste.jpg"));
    ASSERT_TRUE(Exiv2Setzen(pfad, {QStringLiteral("set Exif.Image.Make Canon"),
                                   QStringLiteral("set Exif.Image.Model WWWWWWWW"),
                                   QStringLiteral("set Exif.Photo.DateTimeOriginal 2004:07:15 13:45:10"),
                                   QStringLiteral("set Exif.Photo.ISOSpeedRatings 200"),
                                   QStringLiteral("set Exif.Photo.FocalPlaneResolutionUnit 2"),
                                   QStringLiteral("set Exif.Image.Orientation 1")}));
    DateiZeigen(pfad);
    Zeigen();
    QTextDocument* dok = b->RichEdit1->document();
    // Lays the whole document out.
    dok->documentLayout()->documentSize();
    QList<qreal> spalten;
    int zeilen = 0;
    for (QTextBlock block = dok->begin(); block.isValid(); block = block.next()) {
        const QString zeile = block.text();
        if (!zeile.startsWith(QLatin1String("Exif.")))
            continue;
        ++zeilen;
        QTextCursor c(block);
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        EXPECT_TRUE(QFontInfo(c.charFormat().font()).fixedPitch()) << zeile.toStdString();
        // Where the value begins, after the key and its padding.
        const qsizetype luecke = zeile.indexOf(QLatin1Char(' '));
        const qsizetype wert = zeile.indexOf(QRegularExpression(QStringLiteral("\\S")), luecke);
        ASSERT_GT(wert, 0) << zeile.toStdString();
        ASSERT_GT(block.layout()->lineCount(), 0);
        spalten << block.layout()->lineAt(0).cursorToX(int(wert));
    }
    EXPECT_GE(zeilen, 6);
    for (qreal x : spalten)
        EXPECT_EQ(x, spalten.first());
}

TEST_F(BildinfoTest, Ok_SchliesstMitErgebnisEins)
{
    BildQuelle = BildQuelleZwischenablage;
    Zeigen();
    b->btnOk->click();
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(b->result(), 1);
}

} // namespace
