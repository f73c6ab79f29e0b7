// Scanning against SANE's "test" backend, and its "pnm" backend for read
// errors. Every test process uses one private configuration folder (SANE
// reads its location once per process); each test rewrites the files in it
// and restarts SANE so they are read again.
#include "gear/GearScan.h"
#include "DialogHilfen.h"
#include "TestHilfen.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputDialog>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>
#include <gtest/gtest.h>
#include <sane/sane.h>
#include <cstring>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace {

QString SaneOrdner()
{
    return QDir::tempPath() + QStringLiteral("/sane-konfig");
}

// Points SANE at the private folder before anything in this process starts
// it; with an empty device list there, a stray scan elsewhere finds nothing.
class TSaneUmgebung : public ::testing::Environment {
public:
    void SetUp() override
    {
        QDir().mkpath(SaneOrdner());
        DateiSchreiben(SaneOrdner() + QStringLiteral("/dll.conf"), QByteArray());
        setenv("SANE_CONFIG_DIR", QFile::encodeName(SaneOrdner()).constData(), 1);
    }
};
::testing::Environment* const g_saneUmgebung = ::testing::AddGlobalTestEnvironment(new TSaneUmgebung);

// 20 x 10 mm at 100 dpi: floor(78.7) x floor(39.4) pixels.
constexpr int Breite = 78;
constexpr int Hoehe = 39;

class GearScan : public ::testing::Test {
protected:
    // A hung scanner ends the test program instead of blocking the run.
    void SetUp() override { alarm(60); }
    void TearDown() override
    {
        alarm(0);
        GearScanBeenden();
    }

    void Konfigurieren(const QByteArray& optionen, bool mitTest = true, int geraete = 1)
    {
        ASSERT_EQ(qgetenv("SANE_CONFIG_DIR"), QFile::encodeName(SaneOrdner()));
        DateiSchreiben(SaneOrdner() + QStringLiteral("/dll.conf"), mitTest ? QByteArray("test\n") : QByteArray());
        DateiSchreiben(SaneOrdner() + QStringLiteral("/test.conf"),
                       "number_of_devices " + QByteArray::number(geraete) +
                           "\nresolution 100\ntl_x 0\ntl_y 0\nbr_x 20\nbr_y 10\n" + optionen);
        GearScanBeenden();   // the next call starts SANE again and rereads the files
    }

    // The same scan through scanimage, as an independent reader.
    QImage Vergleich() { return QImage::fromData(VergleichsBytes()); }

    QByteArray VergleichsBytes()
    {
        QProcess p;
        p.start(QStringLiteral("scanimage"), {QStringLiteral("--format=pnm")});
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return p.readAllStandardOutput();
    }

    static void GleicheFarben(const QImage& a, const QImage& b)
    {
        ASSERT_FALSE(b.isNull());
        ASSERT_EQ(a.size(), b.size());
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                ASSERT_EQ(a.pixel(x, y) & 0xffffff, b.pixel(x, y) & 0xffffff) << x << "," << y;
    }

    bool Scannen(TGearSeite& seite, QString& fehler, const QString& geraet = {}, bool dialog = false)
    {
        return GearScannen(geraet, dialog, nullptr, seite, fehler);
    }
};

} // namespace

TEST_F(GearScan, FarbscanGibt24BitInDerBereichsgroesse)
{
    Konfigurieren("mode Color\ndepth 8\ntest-picture \"Color pattern\"\n");
    TGearSeite seite;
    QString fehler;
    std::vector<int> prozente;
    ASSERT_TRUE(GearScannen({}, false, nullptr, seite, fehler, [&](int p) { prozente.push_back(p); })) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 24);
    EXPECT_EQ(seite.bild.format(), QImage::Format_BGR888);
    EXPECT_EQ(seite.bild.width(), Breite);
    EXPECT_EQ(seite.bild.height(), Hoehe);
    GleicheFarben(seite.bild, Vergleich());
    ASSERT_FALSE(prozente.empty());
    EXPECT_EQ(prozente.back(), 100);
    EXPECT_TRUE(std::is_sorted(prozente.begin(), prozente.end()));
}

TEST_F(GearScan, GrauscanGibt8BitMitGrauPalette)
{
    Konfigurieren("mode Gray\ndepth 8\ntest-picture \"Color pattern\"\n");
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 8);
    ASSERT_EQ(seite.bild.format(), QImage::Format_Indexed8);
    ASSERT_EQ(seite.bild.colorCount(), 256);
    EXPECT_EQ(seite.bild.color(200), qRgb(200, 200, 200));
    EXPECT_EQ(seite.bild.size(), QSize(Breite, Hoehe));
    GleicheFarben(seite.bild, Vergleich());
}

TEST_F(GearScan, StrichscanGibt1BitUndGesetztesBitIstSchwarz)
{
    Konfigurieren("mode Gray\ndepth 1\ntest-picture \"Solid black\"\n");
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 1);
    ASSERT_EQ(seite.bild.format(), QImage::Format_Indexed8);
    EXPECT_EQ(seite.bild.colorCount(), 2);
    EXPECT_EQ(seite.bild.size(), QSize(Breite, Hoehe));
    EXPECT_EQ(seite.bild.pixel(0, 0) & 0xffffff, 0u);
    EXPECT_EQ(seite.bild.pixel(Breite - 1, Hoehe - 1) & 0xffffff, 0u);

    // A grid has both colours, in the places scanimage puts them.
    Konfigurieren("mode Gray\ndepth 1\ntest-picture \"Grid\"\n");
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 1);
    GleicheFarben(seite.bild, Vergleich());
}

TEST_F(GearScan, SechzehnBitWerdenAufAchtGebracht)
{
    Konfigurieren("mode Color\ndepth 16\ntest-picture \"Color pattern\"\n");
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 24);
    EXPECT_EQ(seite.bild.size(), QSize(Breite, Hoehe));
    // scanimage writes 16-bit samples big-endian with maxval 65535.
    const QByteArray pnm = VergleichsBytes();
    const QByteArray kopf = "P6\n";
    ASSERT_TRUE(pnm.startsWith(kopf));
    const qsizetype daten = pnm.indexOf("65535\n") + 6;
    ASSERT_EQ(pnm.size() - daten, qsizetype(Breite) * Hoehe * 6);
    auto probe = [&](qsizetype i) {
        const auto* p = reinterpret_cast<const uint8_t*>(pnm.constData() + daten + 2 * i);
        return int(((p[0] << 8 | p[1]) * 255u + 32767u) / 65535u);
    };
    int bunt = 0;
    for (int y = 0; y < Hoehe; ++y)
        for (int x = 0; x < Breite; ++x) {
            const qsizetype i = (qsizetype(y) * Breite + x) * 3;
            const QRgb c = seite.bild.pixel(x, y);
            ASSERT_EQ(qRed(c), probe(i)) << x << "," << y;
            ASSERT_EQ(qGreen(c), probe(i + 1)) << x << "," << y;
            ASSERT_EQ(qBlue(c), probe(i + 2)) << x << "," << y;
            bunt += qRed(c) != qBlue(c);
        }
    EXPECT_GT(bunt, 0);

    Konfigurieren("mode Gray\ndepth 16\ntest-picture \"Solid white\"\n");
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 8);
    EXPECT_EQ(seite.bild.pixelIndex(5, 5), 255);
}

TEST_F(GearScan, DreiDurchgaengeWerdenNachIhremKanalZusammengesetzt)
{
    Konfigurieren("mode Color\ndepth 8\ntest-picture \"Color pattern\"\n");
    const QImage einDurchgang = Vergleich();
    Konfigurieren("mode Color\ndepth 8\nthree-pass true\nthree-pass-order BGR\ntest-picture \"Color pattern\"\n");
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 24);
    GleicheFarben(seite.bild, einDurchgang);
}

TEST_F(GearScan, UnbekannteHoeheWirdBisZumEndeGelesen)
{
    // A hand scanner reports -1 lines and a fixed width of 110 mm.
    Konfigurieren("mode Gray\ndepth 8\nhand-scanner true\ntest-picture \"Grid\"\n");
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler)) << fehler.toStdString();
    EXPECT_EQ(seite.bild.width(), int(std::floor(110 / 25.4 * 100)));
    EXPECT_GT(seite.bild.height(), 0);
    GleicheFarben(seite.bild, Vergleich());
}

TEST_F(GearScan, OhneScannerKommtDieDeutscheMeldungStattEinesHaengers)
{
    Konfigurieren({}, false);
    const QString keiner = QStringLiteral("Es wurde kein Scanner gefunden.");
    QString fehler;
    EXPECT_TRUE(GearScanQuellen(fehler).isEmpty());
    EXPECT_EQ(fehler, keiner);
    QString gewaehlt = QStringLiteral("test:0");
    EXPECT_FALSE(GearScanQuelleWaehlen(nullptr, gewaehlt, fehler));
    EXPECT_EQ(fehler, keiner);
    EXPECT_EQ(gewaehlt, QStringLiteral("test:0"));
    TGearSeite seite;
    EXPECT_FALSE(Scannen(seite, fehler));
    EXPECT_EQ(fehler, keiner);
    EXPECT_TRUE(seite.Leer());
}

TEST_F(GearScan, QuellenNennenHerstellerModellUndName)
{
    Konfigurieren("mode Gray\n", true, 2);
    QString fehler;
    const QStringList quellen = GearScanQuellen(fehler);
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_EQ(quellen, (QStringList{QStringLiteral("Noname frontend-tester (test:0)"),
                                     QStringLiteral("Noname frontend-tester (test:1)")}));
}

TEST_F(GearScan, AuswahlGibtDenGeraetenamenUndAbbruchAendertNichts)
{
    Konfigurieren("mode Gray\n", true, 2);
    QString titel;
    const TWennOffen<QInputDialog> auswahl("dlgScannerAuswahl", [&titel](QInputDialog* d) {
        titel = d->windowTitle();
        d->setTextValue(d->comboBoxItems().value(1));
        d->accept();
    });
    QString gewaehlt, fehler;
    ASSERT_TRUE(GearScanQuelleWaehlen(nullptr, gewaehlt, fehler));
    EXPECT_EQ(titel, QStringLiteral("Scanner auswählen"));
    EXPECT_EQ(gewaehlt, QStringLiteral("test:1"));

    QString vorgewaehlt;
    const TWennOffen<QInputDialog> abbruch("dlgScannerAuswahl", [&vorgewaehlt](QInputDialog* d) {
        vorgewaehlt = d->textValue();
        d->reject();
    });
    EXPECT_FALSE(GearScanQuelleWaehlen(nullptr, gewaehlt, fehler));
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_EQ(gewaehlt, QStringLiteral("test:1"));
    EXPECT_TRUE(vorgewaehlt.endsWith(QStringLiteral("(test:1)")));

    TGearSeite seite;
    EXPECT_TRUE(Scannen(seite, fehler, gewaehlt)) << fehler.toStdString();
    EXPECT_FALSE(Scannen(seite, fehler, QStringLiteral("test:7")));
    EXPECT_TRUE(fehler.startsWith(QStringLiteral("Der Scanner \"test:7\" konnte nicht geöffnet werden")));
}

TEST_F(GearScan, DialogSetztModusUndAufloesung)
{
    Konfigurieren("mode Color\ndepth 8\n");
    QStringList modi;
    const TWennOffen<QDialog> graustufen("dlgScanOptionen", [&modi](QDialog* d) {
        auto* modus = d->findChild<QComboBox*>(QStringLiteral("cbModus"));
        auto* aufloesung = d->findChild<QComboBox*>(QStringLiteral("cbAufloesung"));
        for (int i = 0; i < modus->count(); ++i)
            modi << modus->itemText(i);
        modus->setCurrentIndex(modus->findText(QStringLiteral("Graustufen (8 Bit)")));
        aufloesung->setCurrentIndex(aufloesung->findText(QStringLiteral("50")));
        d->accept();
    });
    TGearSeite seite;
    QString fehler;
    ASSERT_TRUE(Scannen(seite, fehler, {}, true)) << fehler.toStdString();
    EXPECT_EQ(modi, (QStringList{QStringLiteral("Strichzeichnung (1 Bit)"), QStringLiteral("Graustufen (8 Bit)"),
                                  QStringLiteral("Farbe (24 Bit)")}));
    EXPECT_EQ(seite.bpp, 8);
    EXPECT_EQ(seite.bild.size(), QSize(39, 19));   // 20 x 10 mm at 50 dpi

    const TWennOffen<QDialog> strich("dlgScanOptionen", [](QDialog* d) {
        auto* modus = d->findChild<QComboBox*>(QStringLiteral("cbModus"));
        modus->setCurrentIndex(modus->findText(QStringLiteral("Strichzeichnung (1 Bit)")));
        auto* aufloesung = d->findChild<QComboBox*>(QStringLiteral("cbAufloesung"));
        aufloesung->setCurrentIndex(aufloesung->findText(QStringLiteral("100")));
        d->accept();
    });
    ASSERT_TRUE(Scannen(seite, fehler, {}, true)) << fehler.toStdString();
    EXPECT_EQ(seite.bpp, 1);
    EXPECT_EQ(seite.bild.size(), QSize(Breite, Hoehe));
}

TEST_F(GearScan, DialogAbbrechenGibtKeinBildUndKeinenFehler)
{
    Konfigurieren("mode Color\n");
    const TWennOffen<QDialog> optionen("dlgScanOptionen", [](QDialog* d) { d->reject(); });
    TGearSeite seite;
    QString fehler = QStringLiteral("alt");
    EXPECT_FALSE(Scannen(seite, fehler, {}, true));
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_TRUE(seite.Leer());
}

// The "test" backend's injected read errors reach the frontend while its
// reader thread is still starting, and cancelling that thread (SANE does it
// asynchronously) now and then catches it inside malloc and hangs for ever.
// SANE's "pnm" backend reads in the caller's thread and keeps its options
// from one opening to the next, so they can be set before the scan.
TEST_F(GearScan, LesefehlerGibtKeinBild)
{
    DateiSchreiben(SaneOrdner() + QStringLiteral("/dll.conf"), "pnm\n");
    GearScanBeenden();
    const QString datei = QDir::tempPath() + QStringLiteral("/lesefehler.ppm");
    DateiSchreiben(datei, QByteArray("P6\n4 2\n255\n") + QByteArray(24, '\x40'));
    QString fehler;
    ASSERT_EQ(GearScanQuellen(fehler).size(), 2) << fehler.toStdString();

    const auto setzen = [&datei](const char* status) {
        SANE_Handle h = nullptr;
        ASSERT_EQ(sane_open("pnm:0", &h), SANE_STATUS_GOOD);
        SANE_Int anzahl = 0;
        sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &anzahl, nullptr);
        bool gesetzt = false;
        for (SANE_Int i = 1; i < anzahl; ++i) {
            const SANE_Option_Descriptor* o = sane_get_option_descriptor(h, i);
            if (!o || !o->name)
                continue;
            if (std::strcmp(o->name, "filename") == 0) {
                QByteArray name = QFile::encodeName(datei);
                name.resize(std::max<qsizetype>(o->size, name.size() + 1));   // the backend reads o->size bytes
                sane_control_option(h, i, SANE_ACTION_SET_VALUE, name.data(), nullptr);
            } else if (std::strcmp(o->name, status) == 0) {
                SANE_Bool an = SANE_TRUE;   // the status switches are exclusive: this clears the others
                gesetzt = sane_control_option(h, i, SANE_ACTION_SET_VALUE, &an, nullptr) == SANE_STATUS_GOOD;
            }
        }
        sane_close(h);
        EXPECT_TRUE(gesetzt) << status;
    };

    setzen("status-ioerror");
    TGearSeite seite;
    EXPECT_FALSE(Scannen(seite, fehler, QStringLiteral("pnm:0")));
    EXPECT_EQ(fehler, QStringLiteral("Fehler beim Einlesen vom Scanner: Ein- oder Ausgabefehler beim Scanner."));
    EXPECT_TRUE(seite.Leer());

    setzen("status-jammed");
    EXPECT_FALSE(Scannen(seite, fehler, QStringLiteral("pnm:0")));
    EXPECT_TRUE(fehler.endsWith(QStringLiteral("Papierstau im Einzug."))) << fehler.toStdString();
    EXPECT_TRUE(seite.Leer());
}

TEST_F(GearScan, AbbruchWaehrendDesLesensUndKeinZweiterScanDaneben)
{
    // Small, slow reads: without the cancel this scan takes about 20 seconds.
    Konfigurieren("mode Color\nread-limit true\nread-limit-size 100\nread-delay true\n"
                  "read-delay-duration 200000\n");
    QString zweiter;
    const TWennOffen<QProgressDialog> fortschritt("dlgScanFortschritt", [&zweiter](QProgressDialog* d) {
        TGearSeite s;
        EXPECT_FALSE(GearScannen({}, false, nullptr, s, zweiter));
        EXPECT_TRUE(s.Leer());
        d->cancel();
    });
    QElapsedTimer uhr;
    uhr.start();
    TGearSeite seite;
    QString fehler;
    EXPECT_FALSE(Scannen(seite, fehler));
    EXPECT_LT(uhr.elapsed(), 10000);
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_TRUE(seite.Leer());
    EXPECT_EQ(zweiter, QStringLiteral("Es läuft bereits ein Scanvorgang."));
}

TEST_F(GearScan, GeraetesucheLaesstDasFensterZeichnenUnterDerSanduhr)
{
    Konfigurieren("mode Gray\n", true, 1);
    bool gelaufen = false;
    int cursor = -1;
    // Stands for a repaint: it can only run while the search lets the
    // message loop turn.
    QTimer::singleShot(0, qApp, [&] {
        gelaufen = true;
        if (const QCursor* c = QGuiApplication::overrideCursor())
            cursor = c->shape();
    });
    QString fehler;
    EXPECT_EQ(GearScanQuellen(fehler).size(), 1);
    EXPECT_TRUE(fehler.isEmpty());
    EXPECT_TRUE(gelaufen);
    EXPECT_EQ(cursor, int(Qt::WaitCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(GearScanGestartet());
    GearScanBeenden();
    EXPECT_FALSE(GearScanGestartet());
}
