#include "files/JpgKommentar.h"
#include "TestHilfen.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// A walk of our own over the segments in front of the image data, written
// plainly so it checks the writer rather than repeating it.
struct TSegment {
    uchar marker;
    qsizetype start;   // at the 0xFF
    qsizetype ende;    // behind the payload
};

QList<TSegment> Segmente(const QByteArray& b)
{
    QList<TSegment> liste;
    qsizetype pos = 2;
    while (pos + 4 <= b.size() && uchar(b[pos]) == 0xFF) {
        const uchar m = uchar(b[pos + 1]);
        const qsizetype l = (uchar(b[pos + 2]) << 8) | uchar(b[pos + 3]);
        liste.append({m, pos, pos + 2 + l});
        if (m == 0xDA)
            break;
        pos += 2 + l;
    }
    return liste;
}

QByteArray Stueck(const QByteArray& b, const TSegment& s) { return b.mid(s.start, s.ende - s.start); }

QList<QByteArray> KommentareVorScan(const QByteArray& b)
{
    QList<QByteArray> texte;
    for (const TSegment& s : Segmente(b))
        if (s.marker == 0xFE)
            texte.append(b.mid(s.start + 4, s.ende - s.start - 4));
    return texte;
}

QByteArray AbScan(const QByteArray& b)
{
    for (const TSegment& s : Segmente(b))
        if (s.marker == 0xDA)
            return b.mid(s.start);
    return {};
}

QByteArray Kommentarsegment(const QByteArray& text)
{
    const int l = int(text.size()) + 2;
    return QByteArray("\xFF\xFE", 2) + char(l >> 8) + char(l & 0xFF) + text;
}

QByteArray QtJpeg()
{
    QImage bild(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            bild.setPixel(x, y, qRgb(x * 5, y * 7, (x * y) & 0xFF));
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "JPG", 90);
    return daten;
}

// The Qt file with extra bytes put in front of the segment with the given
// marker (its first occurrence).
QByteArray MitEinschub(const QByteArray& jpeg, uchar vorMarker, const QByteArray& einschub)
{
    for (const TSegment& s : Segmente(jpeg))
        if (s.marker == vorMarker)
            return jpeg.left(s.start) + einschub + jpeg.mid(s.start);
    return {};
}

QString Programm(const QString& name, const QStringList& argumente)
{
    QProcess p;
    p.start(name, argumente);
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput());
}

// Every comment of the whole file, also those between and after the scans: a
// walk over all markers, the entropy-coded data skipped by their stuffing.
QList<QByteArray> AlleKommentare(const QByteArray& b)
{
    QList<QByteArray> texte;
    qsizetype pos = 2;
    bool imScan = false;
    while (pos + 1 < b.size()) {
        if (uchar(b[pos]) != 0xFF) {
            if (!imScan)
                break;
            ++pos;
            continue;
        }
        const uchar m = uchar(b[pos + 1]);
        if (m == 0xFF) {
            ++pos;
            continue;
        }
        if (m == 0x00 || (m >= 0xD0 && m <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (m == 0xD9)
            break;
        const qsizetype l = (uchar(b[pos + 2]) << 8) | uchar(b[pos + 3]);
        if (m == 0xFE)
            texte.append(b.mid(pos + 4, l - 2));
        imScan = m == 0xDA;
        pos += 2 + l;
    }
    return texte;
}

// Where each scan header starts.
QList<qsizetype> ScanAnfaenge(const QByteArray& b)
{
    QList<qsizetype> anfaenge;
    for (qsizetype pos = 2; pos + 1 < b.size(); ++pos)
        if (uchar(b[pos]) == 0xFF && uchar(b[pos + 1]) == 0xDA)
            anfaenge.append(pos);
    return anfaenge;
}

QByteArray ProgressivesJpeg()
{
    QImage bild(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            bild.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xFF));
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    QImageWriter schreiber(&puffer, "jpeg");
    schreiber.setProgressiveScanWrite(true);
    schreiber.setQuality(90);
    schreiber.write(bild);
    return daten;
}

QImage Bild(const QByteArray& jpeg)
{
    return QImage::fromData(jpeg, "JPG");
}

struct stat Stat(const QString& pfad)
{
    struct stat st {};
    ::stat(QFile::encodeName(pfad).constData(), &st);
    return st;
}

class JpgKommentarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ordner = FrischerOrdner(QStringLiteral("jpgkommentar"));
        datei = ordner + QStringLiteral("/bild.jpg");
        qt = QtJpeg();
        ASSERT_TRUE(KommentareVorScan(qt).isEmpty());
    }
    // Writes the bytes, calls the writer, and returns what is on disk afterwards.
    QByteArray Schreiben(const QByteArray& vorher, const QString& text, bool erwartet = true)
    {
        DateiSchreiben(datei, vorher);
        const bool ok = JpgKommentarSchreiben(datei, text, fehler);
        EXPECT_EQ(ok, erwartet) << fehler.toStdString();
        return DateiBytes(datei);
    }
    // A rejected file is reported and left exactly as it was.
    void ErwarteAbgelehnt(const QByteArray& vorher, const QString& meldungsteil)
    {
        DateiSchreiben(datei, vorher);
        const timespec ts[2] = {{1'400'000'000, 5}, {1'500'000'000, 6}};
        ::utimensat(AT_FDCWD, QFile::encodeName(datei).constData(), ts, 0);
        EXPECT_FALSE(JpgKommentarSchreiben(datei, QStringLiteral("abc"), fehler));
        EXPECT_TRUE(fehler.contains(meldungsteil)) << fehler.toStdString();
        EXPECT_EQ(DateiBytes(datei), vorher);
        EXPECT_EQ(Stat(datei).st_mtim.tv_sec, 1'500'000'000);
        EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    QString ordner, datei, fehler;
    QByteArray qt;
};

const QString UngueltigesFormat = QStringLiteral("ist keine JPG-Datei, oder enthält ein ungültiges Format");

} // namespace

TEST_F(JpgKommentarTest, Kommentar_QtJpegBekommtGenauEinen)
{
    const QByteArray nachher = Schreiben(qt, QStringLiteral("abc"));
    EXPECT_EQ(KommentareVorScan(nachher), QList<QByteArray>{"abc"});
    EXPECT_EQ(Programm(QStringLiteral("rdjpgcom"), {datei}), QStringLiteral("abc\n"));
    EXPECT_EQ(Programm(QStringLiteral("exiv2"), {QStringLiteral("-pc"), datei}).trimmed(), QStringLiteral("abc"));
}

TEST_F(JpgKommentarTest, Kommentar_OhneAltenStehtVorDemRahmenkopfNachDenTabellen)
{
    const QByteArray nachher = Schreiben(qt, QStringLiteral("abc"));
    EXPECT_EQ(nachher, MitEinschub(qt, 0xC0, Kommentarsegment("abc")));
    const QList<TSegment> s = Segmente(nachher);
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i].marker == 0xFE) {
            EXPECT_EQ(s[i - 1].marker, 0xDB);
            EXPECT_EQ(s[i + 1].marker, 0xC0);
        }
}

TEST_F(JpgKommentarTest, Kommentar_ErsetztAlteAmOrtDesErsten)
{
    const QList<TSegment> s = Segmente(qt);
    ASSERT_EQ(s[0].marker, 0xE0);
    // SOI APP0 COM"first" DQT.. COM"hello" SOF0 ...
    const QByteArray vorher = MitEinschub(MitEinschub(qt, 0xC0, Kommentarsegment("hello")), 0xDB,
                                          Kommentarsegment("first"));
    const QByteArray erwartet = MitEinschub(qt, 0xDB, Kommentarsegment("abc"));
    EXPECT_EQ(Schreiben(vorher, QStringLiteral("abc")), erwartet);
    EXPECT_EQ(Programm(QStringLiteral("rdjpgcom"), {datei}), QStringLiteral("abc\n"));
}

TEST_F(JpgKommentarTest, Kommentar_BilddatenBleibenByteFuerByte)
{
    const QByteArray vorher = MitEinschub(qt, 0xDB, Kommentarsegment("alt"));
    const QByteArray nachher = Schreiben(vorher, QStringLiteral("ein neuer, längerer Kommentar"));
    ASSERT_FALSE(AbScan(vorher).isEmpty());
    EXPECT_EQ(AbScan(nachher), AbScan(vorher));
    // and every other segment in front of the scan as well
    QList<QByteArray> alteSegmente, neueSegmente;
    for (const TSegment& t : Segmente(vorher))
        if (t.marker != 0xFE)
            alteSegmente.append(Stueck(vorher, t));
    for (const TSegment& t : Segmente(nachher))
        if (t.marker != 0xFE)
            neueSegmente.append(Stueck(nachher, t));
    EXPECT_EQ(neueSegmente, alteSegmente);
}

TEST_F(JpgKommentarTest, Kommentar_LeererTextEntferntAlleVorDemScan)
{
    const QByteArray vorher = MitEinschub(MitEinschub(qt, 0xC0, Kommentarsegment("hello")), 0xDB,
                                          Kommentarsegment("first"));
    EXPECT_EQ(Schreiben(vorher, QString()), qt);
}

TEST_F(JpgKommentarTest, Kommentar_NachDemScanWirdEntfernt)
{
    // Exactly one comment remains: one in front of the end of image goes too.
    const QByteArray spaeter = Kommentarsegment("spaeter");
    const QByteArray vorher = qt.left(qt.size() - 2) + spaeter + qt.right(2);
    EXPECT_EQ(Schreiben(vorher, QStringLiteral("abc")), MitEinschub(qt, 0xC0, Kommentarsegment("abc")));
    EXPECT_EQ(Schreiben(vorher, QString()), qt);
}

TEST_F(JpgKommentarTest, Kommentar_ZwischenDenScansEinesProgressivenJpeg)
{
    const QByteArray progressiv = ProgressivesJpeg();
    ASSERT_GE(ScanAnfaenge(progressiv).size(), 2);
    // An old comment between the first and the second scan.
    const qsizetype zweiterScan = ScanAnfaenge(progressiv).at(1);
    const QByteArray vorher = progressiv.left(zweiterScan) + Kommentarsegment("alt") + progressiv.mid(zweiterScan);
    ASSERT_EQ(AlleKommentare(vorher), QList<QByteArray>{"alt"});

    const QByteArray nachher = Schreiben(vorher, QStringLiteral("neu"));
    EXPECT_EQ(AlleKommentare(nachher), QList<QByteArray>{"neu"});
    EXPECT_EQ(nachher, MitEinschub(progressiv, 0xC2, Kommentarsegment("neu")));
    EXPECT_EQ(Bild(nachher), Bild(progressiv));

    // Clearing the comment removes the old one and adds none.
    EXPECT_EQ(Schreiben(vorher, QString()), progressiv);
}

TEST_F(JpgKommentarTest, Kommentar_VieleAlteBleibtGenauEiner)
{
    // Old comments in front of the frame and between every two scans.
    const QByteArray progressiv = ProgressivesJpeg();
    QByteArray vorher = progressiv;
    const QList<qsizetype> scans = ScanAnfaenge(progressiv);
    for (qsizetype i = scans.size() - 1; i >= 1; --i)
        vorher.insert(scans.at(i), Kommentarsegment("zwischen" + QByteArray::number(i)));
    vorher = MitEinschub(vorher, 0xDB, Kommentarsegment("vorne"));
    ASSERT_EQ(AlleKommentare(vorher).size(), scans.size());

    const QByteArray nachher = Schreiben(vorher, QStringLiteral("einer"));
    EXPECT_EQ(AlleKommentare(nachher), QList<QByteArray>{"einer"});
    // It stands where the first old one stood.
    EXPECT_EQ(nachher, MitEinschub(progressiv, 0xDB, Kommentarsegment("einer")));
}

TEST_F(JpgKommentarTest, Kommentar_ZweimalGeschriebenBleibtEiner)
{
    Schreiben(qt, QStringLiteral("erster"));
    ASSERT_TRUE(JpgKommentarSchreiben(datei, QStringLiteral("zweiter"), fehler));
    EXPECT_EQ(KommentareVorScan(DateiBytes(datei)), QList<QByteArray>{"zweiter"});
}

TEST_F(JpgKommentarTest, Kommentar_UmlauteAlsWindows1252)
{
    const QByteArray nachher = Schreiben(qt, QStringLiteral("für Grüße €"));
    EXPECT_EQ(KommentareVorScan(nachher), QList<QByteArray>{QByteArray("f\xFCr Gr\xFC\xDF" "e \x80")});
    EXPECT_EQ(Programm(QStringLiteral("rdjpgcom"), {datei}), QStringLiteral("f\\374r Gr\\374\\337e \\200\n"));
}

TEST_F(JpgKommentarTest, Kommentar_UnbekannteZeichenWerdenFragezeichen)
{
    EXPECT_EQ(KommentarBytes(QStringLiteral("a\u0151b\U0001F600c")), QByteArray("a?b?c"));
}

TEST_F(JpgKommentarTest, Kommentar_LesenDekodiertWindows1252)
{
    EXPECT_EQ(KommentarText(QByteArray("f\xFCr \x80", 5)), QStringLiteral("für €"));
    EXPECT_EQ(KommentarText(KommentarBytes(QStringLiteral("Äöü ß"))), QStringLiteral("Äöü ß"));
}

TEST_F(JpgKommentarTest, Kommentar_ZuLangerTextWirdAuf65530BytesGekuerzt)
{
    QString text(70000, QLatin1Char('a'));
    text[65529] = QLatin1Char('z');
    const QByteArray nachher = Schreiben(qt, text);
    const QList<TSegment> s = Segmente(nachher);
    const auto com = std::find_if(s.begin(), s.end(), [](const TSegment& t) { return t.marker == 0xFE; });
    ASSERT_NE(com, s.end());
    EXPECT_EQ((uchar(nachher[com->start + 2]) << 8) | uchar(nachher[com->start + 3]), 65532);
    const QByteArray inhalt = KommentareVorScan(nachher).value(0);
    EXPECT_EQ(inhalt.size(), 65530);
    EXPECT_EQ(inhalt.back(), 'z');
}

TEST_F(JpgKommentarTest, Kommentar_DateiZeitenBleiben)
{
    DateiSchreiben(datei, qt);
    const timespec ts[2] = {{1'400'000'000, 123'456'789}, {1'500'000'000, 987'654'321}};
    ::utimensat(AT_FDCWD, QFile::encodeName(datei).constData(), ts, 0);
    ASSERT_TRUE(JpgKommentarSchreiben(datei, QStringLiteral("abc"), fehler));
    const struct stat st = Stat(datei);
    EXPECT_EQ(st.st_atim.tv_sec, 1'400'000'000);
    EXPECT_EQ(st.st_atim.tv_nsec, 123'456'789);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 987'654'321);
}

TEST_F(JpgKommentarTest, Kommentar_FuellbytesVorMarkernBleibenErhalten)
{
    const QByteArray vorher = MitEinschub(MitEinschub(qt, 0xC0, "\xFF\xFF"), 0xDB, "\xFF");
    const QByteArray nachher = Schreiben(vorher, QStringLiteral("abc"));
    // The comment goes in front of the frame header together with its fill bytes.
    const qsizetype sof = vorher.indexOf(QByteArray("\xFF\xFF\xFF\xC0", 4));
    ASSERT_GT(sof, 0);
    EXPECT_EQ(nachher, vorher.left(sof) + Kommentarsegment("abc") + vorher.mid(sof));
    EXPECT_EQ(Programm(QStringLiteral("rdjpgcom"), {datei}), QStringLiteral("abc\n"));
}

TEST_F(JpgKommentarTest, Kommentar_AlterKommentarMitFuellbytesWirdGanzEntfernt)
{
    const QByteArray vorher = MitEinschub(qt, 0xDB, QByteArray("\xFF\xFF") + Kommentarsegment("alt"));
    EXPECT_EQ(Schreiben(vorher, QString()), qt);
}

TEST_F(JpgKommentarTest, Kommentar_MarkerOhneLaengeWirdUebernommen)
{
    const QByteArray vorher = MitEinschub(qt, 0xDB, QByteArray("\xFF\x01", 2));
    const QByteArray erwartet =
        MitEinschub(MitEinschub(qt, 0xC0, Kommentarsegment("abc")), 0xDB, QByteArray("\xFF\x01", 2));
    EXPECT_EQ(Schreiben(vorher, QStringLiteral("abc")), erwartet);
}

TEST_F(JpgKommentarTest, Kommentar_MusterbildBehaeltExif)
{
    const QString muster = MusterPfad(QStringLiteral("testbild.jpg"));
    if (!QFileInfo::exists(muster))
        GTEST_SKIP() << "Musterbild fehlt";
    const QByteArray vorher = DateiBytes(muster);
    const QByteArray nachher = Schreiben(vorher, QStringLiteral("neu"));
    EXPECT_EQ(KommentareVorScan(nachher), QList<QByteArray>{"neu"});
    auto app1 = [](const QByteArray& b) {
        for (const TSegment& s : Segmente(b))
            if (s.marker == 0xE1)
                return Stueck(b, s);
        return QByteArray();
    };
    ASSERT_FALSE(app1(vorher).isEmpty());
    EXPECT_EQ(app1(nachher), app1(vorher));
    EXPECT_EQ(AbScan(nachher), AbScan(vorher));
    EXPECT_EQ(Programm(QStringLiteral("exiv2"), {QStringLiteral("-pc"), datei}).trimmed(), QStringLiteral("neu"));
}

TEST_F(JpgKommentarTest, Fehler_PngWirdAbgelehntUndBleibt)
{
    QImage bild(8, 8, QImage::Format_RGB32);
    bild.fill(Qt::red);
    QByteArray png;
    QBuffer puffer(&png);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "PNG");
    ErwarteAbgelehnt(png, datei + QLatin1Char(' ') + UngueltigesFormat);
}

TEST_F(JpgKommentarTest, Fehler_JedeAbschneidestelleWirdGemeldet)
{
    for (qsizetype laenge = 0; laenge < qt.size(); ++laenge) {
        SCOPED_TRACE(laenge);
        const QByteArray stumpf = qt.left(laenge);
        DateiSchreiben(datei, stumpf);
        EXPECT_FALSE(JpgKommentarSchreiben(datei, QStringLiteral("abc"), fehler));
        EXPECT_EQ(DateiBytes(datei), stumpf);
    }
}

TEST_F(JpgKommentarTest, Fehler_LaengeUeberDasEndeWirdGemeldet)
{
    QByteArray kaputt = qt;
    const TSegment dqt = Segmente(qt)[1];
    ASSERT_EQ(dqt.marker, 0xDB);
    kaputt[dqt.start + 2] = char(0xFF);
    kaputt[dqt.start + 3] = char(0xFF);
    ErwarteAbgelehnt(kaputt, QStringLiteral("unvollständig"));
}

TEST_F(JpgKommentarTest, Fehler_LaengeUnterZweiWirdGemeldet)
{
    QByteArray kaputt = qt;
    const TSegment dqt = Segmente(qt)[1];
    kaputt[dqt.start + 2] = 0;
    kaputt[dqt.start + 3] = 1;
    ErwarteAbgelehnt(kaputt, UngueltigesFormat);
}

TEST_F(JpgKommentarTest, Fehler_FehlendesMarkerbyteWirdGemeldet)
{
    QByteArray kaputt = qt;
    kaputt[Segmente(qt)[1].start] = 0x12;
    ErwarteAbgelehnt(kaputt, UngueltigesFormat);
}

TEST_F(JpgKommentarTest, Fehler_FehlgeschlagenesSchreibenLaesstOriginal)
{
    DateiSchreiben(datei, qt);
    bool ok;
    {
        // Writes beyond this size fail as on a full disk.
        auto* altesSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit alt {};
        ::getrlimit(RLIMIT_FSIZE, &alt);
        rlimit neu = alt;
        neu.rlim_cur = rlim_t(qt.size() / 2);
        ::setrlimit(RLIMIT_FSIZE, &neu);
        ok = JpgKommentarSchreiben(datei, QStringLiteral("abc"), fehler);
        ::setrlimit(RLIMIT_FSIZE, &alt);
        std::signal(SIGXFSZ, altesSignal);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(fehler.isEmpty());
    EXPECT_EQ(DateiBytes(datei), qt);
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(JpgKommentarTest, Fehler_SchreibgeschuetzteDateiBleibt)
{
    DateiSchreiben(datei, qt);
    ::chmod(QFile::encodeName(datei).constData(), 0444);
    EXPECT_FALSE(JpgKommentarSchreiben(datei, QStringLiteral("abc"), fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("schreibgeschützt")));
    EXPECT_EQ(DateiBytes(datei), qt);
}

TEST_F(JpgKommentarTest, Fehler_FehlendeDateiWirdGemeldet)
{
    EXPECT_FALSE(JpgKommentarSchreiben(ordner + QStringLiteral("/fehlt.jpg"), QStringLiteral("abc"), fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("nicht vorhanden")));
    EXPECT_FALSE(QFileInfo::exists(ordner + QStringLiteral("/fehlt.jpg")));
}
