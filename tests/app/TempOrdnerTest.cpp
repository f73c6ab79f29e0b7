// The shared temporary folder: names, this instance's lock, and a clean-up
// that never touches the files of another running instance.
#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTime>
#include <memory>
#include <string>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include "Global.h"
#include "TestHilfen.h"

namespace {

// One answer of a running instance (see tests/TestInstanz.cpp).
struct TAntwort {
    std::string befehl;
    qint64 pid = 0;
    std::string bild;       // checksum of the working bitmap
    bool bearbeitet = false;
    int schritte = -1;
    std::string prefix;     // file name of the undo prefix
    QStringList meldungen;
};

// A real instance of the program in a child process, sharing this test's
// temporary folder. Its settings go to a folder of its own.
class TInstanz {
public:
    ~TInstanz() { Toeten(); }

    // With warten, the instance reports "wartet" and fixes its temporary
    // names only after StartZeitGeben.
    bool Starten(const QString& bild = {}, bool warten = false)
    {
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.insert(QStringLiteral("XDG_CONFIG_HOME"), FrischerOrdner(QStringLiteral("instanz-einstellungen")));
        m_prozess.setProcessEnvironment(umgebung);
        QStringList argumente;
        if (warten)
            argumente << QStringLiteral("--warten");
        if (!bild.isEmpty())
            argumente << bild;
        m_prozess.start(QStringLiteral(TEST_INSTANZ), argumente);
        if (!m_prozess.waitForStarted(10000))
            return false;
        if (warten)
            return Zeile() == "wartet";
        return Lesen().befehl == "bereit";
    }
    void StartZeitGeben(qint64 msSeitEpoche)
    {
        m_prozess.write("start " + QByteArray::number(msSeitEpoche) + "\n");
        m_prozess.waitForBytesWritten(5000);
    }
    TAntwort Befehl(const char* befehl)
    {
        m_prozess.write(QByteArray(befehl) + "\n");
        m_prozess.waitForBytesWritten(5000);
        return Lesen();
    }
    TAntwort Lesen()
    {
        TAntwort a;
        const QByteArray zeile = Zeile();
        const qsizetype strich = zeile.indexOf(" | ");
        const QList<QByteArray> teile = zeile.left(strich < 0 ? zeile.size() : strich).split(' ');
        if (teile.size() >= 6) {
            a.befehl = teile.at(0).toStdString();
            a.pid = teile.at(1).toLongLong();
            a.bild = teile.at(2).toStdString();
            a.bearbeitet = teile.at(3) == "1";
            a.schritte = teile.at(4).toInt();
            a.prefix = teile.at(5).toStdString();
        }
        if (strich >= 0)
            for (const QByteArray& text : zeile.mid(strich + 3).split('|'))
                a.meldungen << QString::fromUtf8(text.trimmed());
        return a;
    }
    qint64 Pid() const { return m_prozess.processId(); }
    bool Beendet() { return m_prozess.waitForFinished(20000) && m_prozess.exitCode() == 0; }
    // kill -9: no clean-up of any kind.
    void Toeten()
    {
        if (m_prozess.state() != QProcess::NotRunning) {
            m_prozess.kill();
            m_prozess.waitForFinished(5000);
        }
    }
    QByteArray Fehlerausgabe() { return m_prozess.readAllStandardError(); }

private:
    QByteArray Zeile()
    {
        while (!m_prozess.canReadLine())
            if (!m_prozess.waitForReadyRead(60000))
                return {};
        return m_prozess.readLine().trimmed();
    }
    QProcess m_prozess;
};

// Two instances told to start in the same step of the time number: each
// waits for the same moment, shortly after the start of a step.
bool GemeinsamStarten(TInstanz& a, const QString& bildA, TInstanz& b, const QString& bildB, TAntwort& bereitA,
                      TAntwort& bereitB)
{
    if (!a.Starten(bildA, true) || !b.Starten(bildB, true))
        return false;
    const qint64 jetzt = QDateTime::currentMSecsSinceEpoch();
    const qint64 tagMs = QTime::currentTime().msecsSinceStartOfDay();
    // Steps of 86.4 ms, counted in tenths of a millisecond to stay exact.
    qint64 schritt = tagMs * 10 / 864 + 1;
    while (schritt * 864 / 10 < tagMs + 200)
        ++schritt;
    const qint64 moment = jetzt + (schritt * 864 + 9) / 10 - tagMs + 5;
    a.StartZeitGeben(moment);
    b.StartZeitGeben(moment);
    bereitA = a.Lesen();
    bereitB = b.Lesen();
    return bereitA.befehl == "bereit" && bereitB.befehl == "bereit";
}

// A picture that every mirroring changes, different for each seed.
QString BildAnlegen(const QString& name, int saat)
{
    QImage bild(48, 32, QImage::Format_RGB888);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            bild.setPixel(x, y, qRgb((x * 5 + saat * 40) % 256, (y * 7 + saat * 90) % 256, (x * y + saat) % 256));
    const QString pfad = FrischerOrdner(QStringLiteral("instanzbild")) + QLatin1Char('/') + name;
    bild.save(pfad);
    return pfad;
}

QStringList Dateien(const QString& ordner)
{
    return QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class TempOrdnerTest : public ::testing::Test {
protected:
    void SetUp() override { Zuruecksetzen(); }
    void TearDown() override
    {
        m_anderer.Toeten();
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
    // Another instance of the program: a child process that holds its lock
    // in the folder.
    qint64 AndereInstanzStarten() { return m_anderer.Starten() ? m_anderer.Pid() : 0; }
    void AndereInstanzBeenden() { m_anderer.Toeten(); }
    static void EigeneDateienSchreiben()
    {
        RueckgaengigAnzahl = 2;
        DateiSchreiben(RueckgaengigPrefix + QStringLiteral("1"), QByteArray("BM1"));
        DateiSchreiben(RueckgaengigPrefix + QStringLiteral("2"), QByteArray("BM2"));
        DateiSchreiben(TempBitmapDatei, QByteArray("BM"));
        DateiSchreiben(TempOptiDatei, QByteArray("JPEG"));
    }

    TInstanz m_anderer;
};

}  // namespace

TEST_F(TempOrdnerTest, Namen_ProzessnummerUndZeitnummerVorBackTempUndOpti)
{
    TempNamenAnlegen();
    EXPECT_EQ(TempVerzeichnis, QDir::tempPath() + QStringLiteral("/Zelvano-") + QString::number(::getuid()) + "/");
    EXPECT_TRUE(QFileInfo(TempVerzeichnis).isDir());
    auto name = [](const QString& pfad) {
        EXPECT_TRUE(pfad.startsWith(TempVerzeichnis)) << pfad.toStdString();
        return pfad.mid(TempVerzeichnis.size());
    };
    const QString pid = QString::number(QCoreApplication::applicationPid());
    auto passt = [&pid](const char* muster, const QString& name) {
        return QRegularExpression(QLatin1String(muster).arg(pid)).match(name).hasMatch();
    };
    EXPECT_TRUE(passt("^%1-\\d{1,6}Back$", name(RueckgaengigPrefix)));
    EXPECT_TRUE(passt("^%1-\\d{1,6}Temp\\.bmp$", name(TempBitmapDatei)));
    EXPECT_TRUE(passt("^%1-\\d{1,6}Opti$", name(TempOptiDatei)));
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
    const qint64 pid = AndereInstanzStarten();
    ASSERT_GT(pid, 0);
    const QString von = QString::number(pid) + QLatin1Char('-');
    const QStringList fremde = {von + QStringLiteral("1Back1"), von + QStringLiteral("1Temp.bmp"),
                                von + QStringLiteral("1Opti"), von + QStringLiteral("DrehTemp.jpg"),
                                QStringLiteral("1Back1"), QStringLiteral("1Temp.bmp"), QStringLiteral("1Opti")};
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

TEST_F(TempOrdnerTest, Aufraeumen_SperreOhneHalterIstVerwaistAuchWennIhreProzessnummerLebt)
{
    // The id of a crashed instance now names an unrelated process: the lock
    // it left is held by nobody, so its files are stale all the same.
    TempNamenAnlegen();
    QProcess fremder;
    fremder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(fremder.waitForStarted(5000));
    const QString von = QString::number(fremder.processId());
    DateiSchreiben(TempVerzeichnis + von + QStringLiteral(".lock"), von.toLatin1() + "\nzelvano\n\n");
    const QStringList reste = {von + QStringLiteral("-1234Back1"), von + QStringLiteral("-1234Temp.bmp"),
                               von + QStringLiteral("-DrehTemp.jpg")};
    for (const QString& rest : reste)
        DateiSchreiben(TempVerzeichnis + rest, QByteArray("BM"));
    EXPECT_EQ(EigeneFensterZaehlen(), 0);
    const QString ordner = TempVerzeichnis;
    TempAufraeumen();
    fremder.kill();
    fremder.waitForFinished(5000);
    for (const QString& rest : reste)
        EXPECT_FALSE(QFileInfo::exists(ordner + rest)) << rest.toStdString();
    EXPECT_FALSE(QFileInfo::exists(ordner));
}

// ---- Instances side by side ----------------------------------------------------

TEST_F(TempOrdnerTest, ZweiInstanzen_ZugleichGestartetBekommenJeIhreSchritteZurueck)
{
    const QString bildA = BildAnlegen(QStringLiteral("a.png"), 1);
    const QString bildB = BildAnlegen(QStringLiteral("b.png"), 2);
    TInstanz a, b;
    TAntwort a0, b0;
    ASSERT_TRUE(GemeinsamStarten(a, bildA, b, bildB, a0, b0)) << a.Fehlerausgabe().toStdString()
                                                              << b.Fehlerausgabe().toStdString();
    ASSERT_NE(a0.bild, b0.bild);
    // As two windows on one desktop: turn about, each mirrors twice, then each undoes twice.
    const TAntwort a1 = a.Befehl("horizontal");
    const TAntwort b1 = b.Befehl("horizontal");
    const TAntwort a2 = a.Befehl("vertikal");
    const TAntwort b2 = b.Befehl("vertikal");
    ASSERT_EQ(a2.schritte, 2);
    ASSERT_EQ(b2.schritte, 2);
    ASSERT_NE(a1.bild, a0.bild);
    ASSERT_NE(a2.bild, a1.bild);

    for (int runde = 1; runde <= 2; ++runde) {
        for (auto [instanz, erwartet, name] : {std::tuple{&a, runde == 1 ? a1 : a0, "A"},
                                               std::tuple{&b, runde == 1 ? b1 : b0, "B"}}) {
            const TAntwort r = instanz->Befehl("rueckgaengig");
            EXPECT_EQ(r.bild, erwartet.bild) << name << " nach Rückgängig " << runde << " (Schritte "
                                             << a0.prefix << " / " << b0.prefix << ")";
            EXPECT_EQ(r.bearbeitet, runde == 1) << name << " " << runde;
            EXPECT_EQ(r.schritte, 2 - runde) << name << " " << runde;
            EXPECT_TRUE(r.meldungen.isEmpty()) << name << " " << r.meldungen.join(QLatin1Char('/')).toStdString();
        }
    }
}

TEST_F(TempOrdnerTest, ZweiInstanzen_NachDemSchliessenDerEinenMachtDieAndereRueckgaengig)
{
    const QString bildA = BildAnlegen(QStringLiteral("a.png"), 3);
    const QString bildB = BildAnlegen(QStringLiteral("b.png"), 4);
    TInstanz a, b;
    TAntwort a0, b0;
    ASSERT_TRUE(GemeinsamStarten(a, bildA, b, bildB, a0, b0));
    a.Befehl("horizontal");
    const TAntwort b1 = b.Befehl("horizontal");
    a.Befehl("vertikal");
    b.Befehl("vertikal");
    EXPECT_EQ(a.Befehl("ende").befehl, "ende");
    ASSERT_TRUE(a.Beendet());

    const TAntwort r1 = b.Befehl("rueckgaengig");
    EXPECT_EQ(r1.bild, b1.bild);
    EXPECT_TRUE(r1.meldungen.isEmpty()) << r1.meldungen.join(QLatin1Char('/')).toStdString();
    const TAntwort r2 = b.Befehl("rueckgaengig");
    EXPECT_EQ(r2.bild, b0.bild);
    EXPECT_FALSE(r2.bearbeitet);
    EXPECT_TRUE(r2.meldungen.isEmpty()) << r2.meldungen.join(QLatin1Char('/')).toStdString();

    // The last one out leaves nothing behind.
    b.Befehl("ende");
    ASSERT_TRUE(b.Beendet());
    EXPECT_EQ(Dateien(TempOrdnerPfad()), QStringList());
    EXPECT_FALSE(QFileInfo::exists(TempOrdnerPfad()));
}

TEST_F(TempOrdnerTest, GetoeteteInstanz_IhreDateienGehenBeimNaechstenStartUndSchliessen)
{
    TInstanz a;
    ASSERT_TRUE(a.Starten(BildAnlegen(QStringLiteral("gross.png"), 5)));
    a.Befehl("horizontal");
    ASSERT_EQ(a.Befehl("vertikal").schritte, 2);
    const QStringList hinterlassen = Dateien(TempOrdnerPfad());
    a.Toeten();
    // Two undo steps and the lock stay behind a killed process.
    ASSERT_GE(hinterlassen.size(), 3) << hinterlassen.join(QLatin1Char(' ')).toStdString();
    for (const QString& name : hinterlassen)
        ASSERT_TRUE(QFileInfo::exists(TempOrdnerPfad() + name)) << name.toStdString();

    TInstanz b;
    ASSERT_TRUE(b.Starten());
    for (const QString& name : hinterlassen)
        EXPECT_FALSE(QFileInfo::exists(TempOrdnerPfad() + name)) << "nach dem Start: " << name.toStdString();
    b.Befehl("ende");
    ASSERT_TRUE(b.Beendet());
    for (const QString& name : hinterlassen)
        EXPECT_FALSE(QFileInfo::exists(TempOrdnerPfad() + name)) << "nach dem Schließen: " << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(TempOrdnerPfad()));
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
