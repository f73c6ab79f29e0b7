#include "gear/SicherErsetzen.h"
#include "TestHilfen.h"

#include <QDir>
#include <QIODevice>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList Eintraege(const QString& ordner)
{
    return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

struct stat Stat(const QString& pfad)
{
    struct stat st {};
    ::stat(QFile::encodeName(pfad).constData(), &st);
    return st;
}

void ZeitenSetzen(const QString& pfad, timespec zugriff, timespec geschrieben)
{
    const timespec ts[2] = {zugriff, geschrieben};
    ::utimensat(AT_FDCWD, QFile::encodeName(pfad).constData(), ts, 0);
}

// Makes writes beyond a size fail with EFBIG, as a full disk would fail them.
class TGroessenGrenze {
public:
    explicit TGroessenGrenze(rlim_t grenze)
    {
        altesSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &alt);
        rlimit neu = alt;
        neu.rlim_cur = grenze;
        ::setrlimit(RLIMIT_FSIZE, &neu);
    }
    ~TGroessenGrenze()
    {
        ::setrlimit(RLIMIT_FSIZE, &alt);
        std::signal(SIGXFSZ, altesSignal);
    }

private:
    rlimit alt {};
    void (*altesSignal)(int) = nullptr;
};

class SicherErsetzenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ordner = FrischerOrdner(QStringLiteral("ersetzen"));
        ziel = ordner + QStringLiteral("/foto.jpg");
        DateiSchreiben(ziel, alt);
    }
    QString ordner, ziel, fehler;
    const QByteArray alt = QByteArray("alter Inhalt");
    const QByteArray neu = QByteArray(5000, 'n');
};

} // namespace

TEST_F(SicherErsetzenTest, Ersetzen_SchreibtNeuenInhaltOhneReste)
{
    EXPECT_TRUE(DateiSicherErsetzen(ziel, neu, fehler));
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_EQ(DateiBytes(ziel), neu);
    EXPECT_EQ(Eintraege(ordner), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(SicherErsetzenTest, Ersetzen_LegtFehlendeDateiMitUeblichenRechtenAn)
{
    const QString neuePfad = ordner + QStringLiteral("/neu.png");
    const mode_t maske = ::umask(022);
    ::umask(maske);
    EXPECT_TRUE(DateiSicherErsetzen(neuePfad, neu, fehler));
    EXPECT_EQ(DateiBytes(neuePfad), neu);
    EXPECT_EQ(Stat(neuePfad).st_mode & 0777, 0666 & ~maske);
}

TEST_F(SicherErsetzenTest, Ersetzen_BehaeltDieRechteDesZiels)
{
    ::chmod(QFile::encodeName(ziel).constData(), 0640);
    ASSERT_TRUE(DateiSicherErsetzen(ziel, neu, fehler));
    EXPECT_EQ(Stat(ziel).st_mode & 07777, 0640u);
}

TEST_F(SicherErsetzenTest, Ersetzen_BehaeltDieZeitenDesZielsAufDieNanosekunde)
{
    ZeitenSetzen(ziel, {1'400'000'000, 111'222'333}, {1'500'000'000, 444'555'666});
    ASSERT_TRUE(DateiSicherErsetzen(ziel, neu, fehler, TZeitenBehalten::VomZiel));
    const struct stat st = Stat(ziel);
    EXPECT_EQ(st.st_atim.tv_sec, 1'400'000'000);
    EXPECT_EQ(st.st_atim.tv_nsec, 111'222'333);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 444'555'666);
}

TEST_F(SicherErsetzenTest, Ersetzen_GibtVorgegebeneZeiten)
{
    TDateiZeiten zeiten;
    zeiten.zugriff = {1'300'000'000, 7};
    zeiten.geschrieben = {1'310'000'000, 9};
    ASSERT_TRUE(DateiSicherErsetzen(ziel, neu, fehler, zeiten));
    EXPECT_EQ(Stat(ziel).st_atim.tv_sec, 1'300'000'000);
    EXPECT_EQ(Stat(ziel).st_mtim.tv_sec, 1'310'000'000);
    EXPECT_EQ(Stat(ziel).st_mtim.tv_nsec, 9);
}

TEST_F(SicherErsetzenTest, Ersetzen_FehlenderOrdnerWirdGemeldet)
{
    const QString pfad = ordner + QStringLiteral("/gibtsnicht/foto.jpg");
    EXPECT_FALSE(DateiSicherErsetzen(pfad, neu, fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("Der Ordner ist nicht vorhanden."))) << fehler.toStdString();
    EXPECT_TRUE(fehler.contains(pfad));
    EXPECT_FALSE(QFileInfo::exists(ordner + QStringLiteral("/gibtsnicht")));
}

TEST_F(SicherErsetzenTest, Ersetzen_PfadUnterEinerDateiLaesstSieUnveraendert)
{
    EXPECT_FALSE(DateiSicherErsetzen(ziel + QStringLiteral("/unter.jpg"), neu, fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("kein Ordner"))) << fehler.toStdString();
    EXPECT_EQ(DateiBytes(ziel), alt);
    EXPECT_EQ(Eintraege(ordner), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(SicherErsetzenTest, Ersetzen_ZielOrdnerWirdNichtAngetastet)
{
    const QString unter = ordner + QStringLiteral("/ordner.jpg");
    QDir().mkdir(unter);
    DateiSchreiben(unter + QStringLiteral("/drin"), "x");
    EXPECT_FALSE(DateiSicherErsetzen(unter, neu, fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("ist ein Ordner"))) << fehler.toStdString();
    EXPECT_EQ(DateiBytes(unter + QStringLiteral("/drin")), QByteArray("x"));
}

TEST_F(SicherErsetzenTest, Ersetzen_SchreibgeschuetztesZielBleibt)
{
    ::chmod(QFile::encodeName(ziel).constData(), 0444);
    EXPECT_FALSE(DateiSicherErsetzen(ziel, neu, fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("schreibgeschützt"))) << fehler.toStdString();
    EXPECT_EQ(DateiBytes(ziel), alt);
}

TEST_F(SicherErsetzenTest, Ersetzen_SchreibfehlerLaesstOriginalUndKeineTempDatei)
{
    ZeitenSetzen(ziel, {1'400'000'000, 0}, {1'500'000'000, 0});
    bool ok;
    {
        TGroessenGrenze grenze(1000);
        ok = DateiSicherErsetzen(ziel, neu, fehler);
    }
    EXPECT_FALSE(ok);
    EXPECT_TRUE(fehler.contains(QStringLiteral("zu groß"))) << fehler.toStdString();
    EXPECT_EQ(DateiBytes(ziel), alt);
    EXPECT_EQ(Stat(ziel).st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(Eintraege(ordner), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(SicherErsetzenTest, Ersetzen_UnbeachteterSchreibfehlerDesSchreibersWirdErkannt)
{
    bool ok;
    {
        TGroessenGrenze grenze(1000);
        ok = DateiSicherErsetzen(
            ziel,
            [this](QIODevice& aus, QString&) {
                aus.write(neu);   // result deliberately ignored
                return true;
            },
            fehler);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(DateiBytes(ziel), alt);
    EXPECT_EQ(Eintraege(ordner), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(SicherErsetzenTest, Ersetzen_AbbrechenderSchreiberGibtSeinenGrundWeiter)
{
    const bool ok = DateiSicherErsetzen(
        ziel,
        [this](QIODevice& aus, QString& grund) {
            aus.write(neu.left(100));
            grund = QStringLiteral("Kodierung fehlgeschlagen.");
            return false;
        },
        fehler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fehler, QStringLiteral("Kodierung fehlgeschlagen."));
    EXPECT_EQ(DateiBytes(ziel), alt);
    EXPECT_EQ(Eintraege(ordner), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(SicherErsetzenTest, Ersetzen_VerweisZeigtDanachAufDenNeuenInhalt)
{
    const QString verweis = ordner + QStringLiteral("/verweis.jpg");
    ASSERT_TRUE(QFile::link(ziel, verweis));
    ASSERT_TRUE(DateiSicherErsetzen(verweis, neu, fehler));
    EXPECT_TRUE(QFileInfo(verweis).isSymLink());
    EXPECT_EQ(DateiBytes(ziel), neu);
}
