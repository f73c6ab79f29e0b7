#include "files/DatumZeitSetzen.h"
#include "TestHilfen.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <ctime>

namespace {

// Every expectation below is written for German local time, whatever the
// machine's own zone is.
class DatumZeitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        altTz = qgetenv("TZ");
        hatteTz = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
        ordner = FrischerOrdner(QStringLiteral("datumzeit"));
        datei = ordner + QStringLiteral("/bild.jpg");
        DateiSchreiben(datei, "inhalt");
        ZeitenSetzen(datei, {1'500'000'000, 123}, {1'600'000'000, 456});
    }
    void TearDown() override
    {
        if (hatteTz)
            qputenv("TZ", altTz);
        else
            qunsetenv("TZ");
        tzset();
    }
    static void ZeitenSetzen(const QString& pfad, timespec zugriff, timespec geschrieben)
    {
        const timespec ts[2] = {zugriff, geschrieben};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(pfad).constData(), ts, 0), 0);
    }
    static struct stat Stat(const QString& pfad)
    {
        struct stat st {};
        ::stat(QFile::encodeName(pfad).constData(), &st);
        return st;
    }
    static QDateTime Lokal(int j, int m, int t, int h, int min, int s, int ms = 0)
    {
        return QDateTime(QDate(j, m, t), QTime(h, min, s, ms), Qt::LocalTime);
    }
    static qint64 Utc(const char* iso)
    {
        return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toSecsSinceEpoch();
    }

    QByteArray altTz;
    bool hatteTz = false;
    QString ordner, datei;
};

} // namespace

TEST_F(DatumZeitTest, Datum_UngeradeSekundeWirdAufGeradeAbgeschnitten)
{
    EXPECT_TRUE(DateiDatumSetzen(datei, false, false, true, Lokal(2023, 6, 15, 12, 0, 5, 700)));
    const struct stat st = Stat(datei);
    EXPECT_EQ(st.st_mtim.tv_sec, Utc("2023-06-15T10:00:04Z"));
    EXPECT_EQ(st.st_mtim.tv_nsec, 0);
    EXPECT_EQ(st.st_atim.tv_sec, 1'500'000'000);   // only the chosen stamp changes
    EXPECT_EQ(st.st_atim.tv_nsec, 123);
}

TEST_F(DatumZeitTest, Datum_NurZugriffLaesstSchreibzeit)
{
    EXPECT_TRUE(DateiDatumSetzen(datei, false, true, false, Lokal(2023, 6, 15, 12, 0, 0)));
    const struct stat st = Stat(datei);
    EXPECT_EQ(st.st_atim.tv_sec, Utc("2023-06-15T10:00:00Z"));
    EXPECT_EQ(st.st_mtim.tv_sec, 1'600'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 456);
}

TEST_F(DatumZeitTest, Datum_ErstellungAlleinAendertNichtsUndGibtFalse)
{
    EXPECT_FALSE(DateiDatumSetzen(datei, true, false, false, Lokal(2023, 6, 15, 12, 0, 0)));
    const struct stat st = Stat(datei);
    EXPECT_EQ(st.st_atim.tv_sec, 1'500'000'000);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'600'000'000);
}

TEST_F(DatumZeitTest, Datum_AlleDreiSetzenZugriffUndSchreibzeit)
{
    EXPECT_TRUE(DateiDatumSetzen(datei, true, true, true, Lokal(2020, 2, 29, 8, 30, 10)));
    const struct stat st = Stat(datei);
    EXPECT_EQ(st.st_atim.tv_sec, Utc("2020-02-29T07:30:10Z"));
    EXPECT_EQ(st.st_mtim.tv_sec, Utc("2020-02-29T07:30:10Z"));
}

TEST_F(DatumZeitTest, Datum_OrdnerWieDatei)
{
    EXPECT_TRUE(DateiDatumSetzen(ordner, true, true, true, Lokal(2021, 3, 1, 9, 0, 0)));
    EXPECT_EQ(Stat(ordner).st_mtim.tv_sec, Utc("2021-03-01T08:00:00Z"));
}

TEST_F(DatumZeitTest, Datum_FehlenderPfadGibtFalseUndLegtNichtsAn)
{
    const QString fehlt = ordner + QStringLiteral("/fehlt.jpg");
    EXPECT_FALSE(DateiDatumSetzen(fehlt, true, true, true, Lokal(2021, 3, 1, 9, 0, 0)));
    EXPECT_FALSE(QFileInfo::exists(fehlt));
    EXPECT_FALSE(DateiDatumSetzen(datei + QStringLiteral("/unter"), true, true, true, Lokal(2021, 3, 1, 9, 0, 0)));
}

TEST_F(DatumZeitTest, Datum_SchreibgeschuetzteDateiBleibtUnveraendert)
{
    ::chmod(QFile::encodeName(datei).constData(), 0444);
    EXPECT_FALSE(DateiDatumSetzen(datei, true, true, true, Lokal(2021, 3, 1, 9, 0, 0)));
    EXPECT_EQ(Stat(datei).st_mtim.tv_sec, 1'600'000'000);
}

TEST_F(DatumZeitTest, Datum_UngueltigesDatumGibtFalse)
{
    EXPECT_FALSE(DateiDatumSetzen(datei, true, true, true, QDateTime()));
    EXPECT_EQ(Stat(datei).st_mtim.tv_sec, 1'600'000'000);
}

TEST_F(DatumZeitTest, Umrechnung_WinterUndSommerzeitNachIhremTag)
{
    EXPECT_EQ(DatumZuDateizeit(Lokal(2023, 1, 15, 12, 0, 0))->tv_sec, Utc("2023-01-15T11:00:00Z"));
    EXPECT_EQ(DatumZuDateizeit(Lokal(2023, 7, 15, 12, 0, 0))->tv_sec, Utc("2023-07-15T10:00:00Z"));
}

TEST_F(DatumZeitTest, Umrechnung_DoppelteStundeBehaeltIhrenAugenblick)
{
    // 02:30:01 occurs twice on 29 October 2023: once in summer, once in winter time.
    const QDateTime sommer = QDateTime::fromSecsSinceEpoch(Utc("2023-10-29T00:30:01Z"));
    const QDateTime winter = QDateTime::fromSecsSinceEpoch(Utc("2023-10-29T01:30:01Z"));
    EXPECT_EQ(DatumZuDateizeit(sommer)->tv_sec, Utc("2023-10-29T00:30:00Z"));
    EXPECT_EQ(DatumZuDateizeit(winter)->tv_sec, Utc("2023-10-29T01:30:00Z"));
}

TEST_F(DatumZeitTest, Umrechnung_Vor1980WirdAufDenErstenTag1980Gesetzt)
{
    EXPECT_EQ(DatumZuDateizeit(Lokal(1975, 5, 5, 5, 5, 5))->tv_sec, Utc("1979-12-31T23:00:00Z"));
    EXPECT_EQ(DatumZuDateizeit(Lokal(1980, 1, 1, 0, 0, 1))->tv_sec, Utc("1979-12-31T23:00:00Z"));
}

TEST_F(DatumZeitTest, Umrechnung_Nach2107WirdAufDenLetztenWertGesetzt)
{
    EXPECT_EQ(DatumZuDateizeit(Lokal(2200, 1, 1, 0, 0, 0))->tv_sec, Utc("2107-12-31T22:59:58Z"));
    EXPECT_TRUE(DateiDatumSetzen(datei, false, false, true, Lokal(2200, 1, 1, 0, 0, 0)));
    EXPECT_EQ(Stat(datei).st_mtim.tv_sec, Utc("2107-12-31T22:59:58Z"));
}
