// The shared temporary folder: names, this instance's lock, and a clean-up
// that never touches the files of another running instance.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTime>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include "Global.h"
#include "TestHilfen.h"

namespace {

class TempOrdnerTest : public ::testing::Test {
protected:
    void SetUp() override { Zuruecksetzen(); }
    void TearDown() override
    {
        for (QProcess* p : {&m_anderer}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        TempAufraeumen();
        QDir(TempOrdnerPfad()).removeRecursively();
        Zuruecksetzen();
    }
    static void Zuruecksetzen()
    {
        TempVerzeichnis.clear();
        RueckgaengigPrefix.clear();
        TempBitmapDatei.clear();
        TempOptiDatei.clear();
        RueckgaengigAnzahl = 0;
    }
    static QString EigeneSperre()
    {
        return TempVerzeichnis + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".lock");
    }
    // Another instance of the program: a live child process whose id names
    // a lock file in the folder.
    qint64 AndereInstanzStarten()
    {
        m_anderer.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        if (!m_anderer.waitForStarted(5000))
            return 0;
        const qint64 pid = m_anderer.processId();
        DateiSchreiben(TempVerzeichnis + QString::number(pid) + QStringLiteral(".lock"),
                       QByteArray::number(pid) + "\n");
        return pid;
    }
    void AndereInstanzBeenden()
    {
        m_anderer.kill();
        m_anderer.waitForFinished(5000);
    }
    static void EigeneDateienSchreiben()
    {
        RueckgaengigAnzahl = 2;
        DateiSchreiben(RueckgaengigPrefix + QStringLiteral("1"), QByteArray("BM1"));
        DateiSchreiben(RueckgaengigPrefix + QStringLiteral("2"), QByteArray("BM2"));
        DateiSchreiben(TempBitmapDatei, QByteArray("BM"));
        DateiSchreiben(TempOptiDatei, QByteArray("JPEG"));
    }

    QProcess m_anderer;
};

}  // namespace

TEST_F(TempOrdnerTest, Namen_ZeitnummerVorBackTempUndOpti)
{
    TempNamenAnlegen();
    EXPECT_EQ(TempVerzeichnis, QDir::tempPath() + QStringLiteral("/Zelvano-") + QString::number(::getuid()) + "/");
    EXPECT_TRUE(QFileInfo(TempVerzeichnis).isDir());
    auto name = [](const QString& pfad) {
        EXPECT_TRUE(pfad.startsWith(TempVerzeichnis)) << pfad.toStdString();
        return pfad.mid(TempVerzeichnis.size());
    };
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,6}Back$")).match(name(RueckgaengigPrefix)).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,6}Temp\\.bmp$")).match(name(TempBitmapDatei)).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,6}Opti$")).match(name(TempOptiDatei)).hasMatch());
}

TEST_F(TempOrdnerTest, Zeitnummer_TeilDesTagesIn864msSchritten)
{
    const qint64 vorher = qint64(QTime::currentTime().msecsSinceStartOfDay()) * 10 / 864;
    const int n = Zeitnummer();
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 999999);
    // Unless midnight passed in between, the number is the current step or the next.
    if (n >= vorher) {
        EXPECT_LE(n - vorher, 1);
    }
}

TEST_F(TempOrdnerTest, Sperre_WirdGehaltenSolangeDieInstanzLaeuft)
{
    TempNamenAnlegen();
    ASSERT_TRUE(QFileInfo::exists(EigeneSperre()));
    QLockFile zweiter(EigeneSperre());
    zweiter.setStaleLockTime(0);
    EXPECT_FALSE(zweiter.tryLock(0));
    TempAufraeumen();
    EXPECT_FALSE(QFileInfo::exists(EigeneSperre()));
}

TEST_F(TempOrdnerTest, Zaehlen_AlleinNull)
{
    TempNamenAnlegen();
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
}

TEST_F(TempOrdnerTest, Zaehlen_ZweiteSperreImSelbenProzess)
{
    TempNamenAnlegen();
    auto zweite = std::make_unique<QLockFile>(
        TempVerzeichnis + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-zweite.lock"));
    zweite->setStaleLockTime(0);
    ASSERT_TRUE(zweite->tryLock(0));
    EXPECT_EQ(EigeneFensterZaehlen(), 1);
    zweite->unlock();
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
}

TEST_F(TempOrdnerTest, Zaehlen_LebenderAndererProzessZaehlt)
{
    TempNamenAnlegen();
    const qint64 pid = AndereInstanzStarten();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(EigeneFensterZaehlen(), 1);
    AndereInstanzBeenden();
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
    // The dead instance's lock was removed on the way.
    EXPECT_FALSE(QFileInfo::exists(TempVerzeichnis + QString::number(pid) + QStringLiteral(".lock")));
}

TEST_F(TempOrdnerTest, Zaehlen_FremdeDateienOhneProzessnummerZaehlenNicht)
{
    TempNamenAnlegen();
    DateiSchreiben(TempVerzeichnis + QStringLiteral("DrehTemp.jpg"), QByteArray("x"));
    DateiSchreiben(TempVerzeichnis + QStringLiteral("abc.lock"), QByteArray("x"));
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
}

TEST_F(TempOrdnerTest, Aufraeumen_AlleinLoeschtEigeneDateienUndOrdner)
{
    TempNamenAnlegen();
    EigeneDateienSchreiben();
    const QString ordner = TempVerzeichnis;
    TempAufraeumen();
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(QFileInfo::exists(RueckgaengigPrefix + QStringLiteral("1")));
    EXPECT_FALSE(QFileInfo::exists(TempBitmapDatei));
    EXPECT_FALSE(QFileInfo::exists(TempOptiDatei));
    EXPECT_FALSE(QFileInfo::exists(ordner));
}

TEST_F(TempOrdnerTest, Aufraeumen_AndereInstanzBehaeltIhreDateienUndDenOrdner)
{
    TempNamenAnlegen();
    EigeneDateienSchreiben();
    ASSERT_GT(AndereInstanzStarten(), 0);
    const QStringList fremde = {QStringLiteral("1Back1"), QStringLiteral("1Temp.bmp"), QStringLiteral("1Opti")};
    for (const QString& f : fremde)
        DateiSchreiben(TempVerzeichnis + f, QByteArray("fremd"));

    TempAufraeumen();

    EXPECT_FALSE(QFileInfo::exists(TempBitmapDatei));
    EXPECT_FALSE(QFileInfo::exists(RueckgaengigPrefix + QStringLiteral("2")));
    EXPECT_FALSE(QFileInfo::exists(EigeneSperre()));
    for (const QString& f : fremde)
        EXPECT_EQ(DateiBytes(TempVerzeichnis + f), QByteArray("fremd")) << f.toStdString();
}

TEST_F(TempOrdnerTest, Aufraeumen_ReihenfolgeDerInstanzenEgal)
{
    // The other instance closes first, then we: the last one out removes the folder.
    TempNamenAnlegen();
    ASSERT_GT(AndereInstanzStarten(), 0);
    AndereInstanzBeenden();
    const QString ordner = TempVerzeichnis;
    TempAufraeumen();
    EXPECT_FALSE(QFileInfo::exists(ordner));
}

TEST_F(TempOrdnerTest, Aufraeumen_UebrigeDateiLaesstOrdnerStehen)
{
    TempNamenAnlegen();
    const QString rest = TempVerzeichnis + QStringLiteral("DrehTemp.jpg");
    DateiSchreiben(rest, QByteArray("x"));
    TempAufraeumen();
    EXPECT_TRUE(QFileInfo::exists(rest));
}

TEST_F(TempOrdnerTest, Aufraeumen_OhneNamenLoeschtNichtsImAktuellenOrdner)
{
    const QString ordner = FrischerOrdner(QStringLiteral("arbeit"));
    const QString datei = ordner + QStringLiteral("/bleibt.jpg");
    DateiSchreiben(datei, QByteArray("x"));
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(ordner));
    RueckgaengigAnzahl = 3;
    TempAufraeumen();
    QDir::setCurrent(vorher);
    EXPECT_TRUE(QFileInfo::exists(datei));
    EXPECT_EQ(RueckgaengigAnzahl, 0);
}

TEST_F(TempOrdnerTest, Anlegen_ZweimalHaeltNurEineSperre)
{
    TempNamenAnlegen();
    TempNamenAnlegen();
    const QStringList sperren = QDir(TempVerzeichnis).entryList({QStringLiteral("*.lock")}, QDir::Files);
    EXPECT_EQ(sperren, QStringList{QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".lock")});
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
}

// ---- A folder only this user can use ----------------------------------------

namespace {

// Everything below a folder, with its bytes, to show that nothing changed.
QMap<QString, QByteArray> Inhalt(const QString& ordner)
{
    QMap<QString, QByteArray> inhalt;
    for (const QString& name : QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        inhalt.insert(name, DateiBytes(ordner + QLatin1Char('/') + name));
    return inhalt;
}

QString OhneTrenner(QString pfad)
{
    while (pfad.endsWith(QLatin1Char('/')))
        pfad.chop(1);
    return pfad;
}

mode_t Rechte(const QString& pfad)
{
    struct stat st;
    return ::lstat(QFile::encodeName(OhneTrenner(pfad)).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

}  // namespace

TEST_F(TempOrdnerTest, Anlegen_NurFuerDenBenutzerSelbst)
{
    ASSERT_TRUE(TempNamenAnlegen());
    EXPECT_EQ(Rechte(TempVerzeichnis), mode_t(0700));
    EXPECT_TRUE(TempOrdnerPruefen(TempVerzeichnis, ::getuid()).isEmpty());
}

TEST_F(TempOrdnerTest, Anlegen_VerweisAnStelleDesOrdnersWirdAbgelehnt)
{
    const QString ziel = FrischerOrdner(QStringLiteral("verweisziel"));
    DateiSchreiben(ziel + QStringLiteral("/bleibt.txt"), QByteArray("unberuehrt"));
    ::chmod(QFile::encodeName(ziel).constData(), 0700);
    const auto vorher = Inhalt(ziel);
    ASSERT_TRUE(QFile::link(ziel, OhneTrenner(TempOrdnerPfad())));

    TMeldungsFaenger faenger;
    EXPECT_FALSE(TempNamenAnlegen());
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.at(0).contains(QStringLiteral("symbolischer Verweis")));
    EXPECT_TRUE(TempVerzeichnis.isEmpty());
    EXPECT_TRUE(RueckgaengigPrefix.isEmpty());
    TempAufraeumen();
    EXPECT_EQ(Inhalt(ziel), vorher);
    EXPECT_TRUE(QFileInfo(OhneTrenner(TempOrdnerPfad())).isSymLink());
    QFile::remove(OhneTrenner(TempOrdnerPfad()));
}

TEST_F(TempOrdnerTest, Anlegen_OrdnerMitWeiterenRechtenWirdAbgelehnt)
{
    const QString ordner = OhneTrenner(TempOrdnerPfad());
    ASSERT_TRUE(QDir().mkpath(ordner));
    ASSERT_EQ(::chmod(QFile::encodeName(ordner).constData(), 0755), 0);
    DateiSchreiben(ordner + QStringLiteral("/1Back1"), QByteArray("fremd"));
    const auto vorher = Inhalt(ordner);

    TMeldungsFaenger faenger;
    EXPECT_FALSE(TempNamenAnlegen());
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.at(0).contains(QStringLiteral("Andere Benutzer haben Zugriff")));
    EXPECT_TRUE(faenger.texte.at(0).contains(ordner));
    TempAufraeumen();
    EXPECT_EQ(Inhalt(ordner), vorher);
    EXPECT_EQ(Rechte(ordner), mode_t(0755));
}

TEST_F(TempOrdnerTest, Anlegen_FremderOrdnerWirdAbgelehnt)
{
    const QString ordner = OhneTrenner(TempOrdnerPfad());
    ASSERT_EQ(::mkdir(QFile::encodeName(ordner).constData(), 0700), 0);
    EXPECT_EQ(TempOrdnerPruefen(ordner, ::getuid() + 1), QStringLiteral("Er gehört einem anderen Benutzer."));
    if (::geteuid() != 0)
        GTEST_SKIP() << "handing a folder to another user needs root";
    // A real foreign folder: the program must neither use nor change it.
    ASSERT_EQ(::chown(QFile::encodeName(ordner).constData(), 4711, 4711), 0);
    TMeldungsFaenger faenger;
    EXPECT_FALSE(TempNamenAnlegen());
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.at(0).contains(QStringLiteral("anderen Benutzer")));
    TempAufraeumen();
    EXPECT_TRUE(Inhalt(ordner).isEmpty());
}

TEST_F(TempOrdnerTest, Datei_VerweisImOrdnerWirdNieVerfolgt)
{
    ASSERT_TRUE(TempNamenAnlegen());
    const QString opfer = FrischerOrdner(QStringLiteral("opfer")) + QStringLiteral("/wichtig.txt");
    DateiSchreiben(opfer, QByteArray("wichtig"));
    const QString name = RueckgaengigPrefix + QStringLiteral("1");
    ASSERT_TRUE(QFile::link(opfer, name));

    ASSERT_TRUE(TempDateiAnlegen(name));
    EXPECT_EQ(DateiBytes(opfer), QByteArray("wichtig"));
    EXPECT_FALSE(QFileInfo(name).isSymLink());
    EXPECT_EQ(QFileInfo(name).size(), 0);
    EXPECT_EQ(Rechte(name), mode_t(0600));
}
