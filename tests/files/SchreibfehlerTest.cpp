// Every rewrite of a user's file meets a full disk or a vanished folder at
// each step of the replacement: the original stays byte for byte, no
// temporary file is left behind, and the caller learns of the failure.
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Speichern.h"
#include "files/JpgDrehen.h"
#include "files/Konvertieren.h"
#include "files/JpgKommentar.h"
#include "gear/SicherErsetzen.h"
#include "SchreibfehlerHilfen.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTreeWidget>
#include <cerrno>
#include <functional>
#include <sys/stat.h>

namespace {

// One rewrite path: it works on the file at pfad and returns whether it
// reported success; gemeldet collects what the user or caller was told.
struct TWeg {
    const char* name;
    const char* muster;   // the original the path rewrites
    std::function<bool(const QString& pfad, QStringList& gemeldet)> los;
};

std::vector<TWeg> Wege()
{
    return {
        {"Speichern", "testbild.png",
         [](const QString& pfad, QStringList& gemeldet) {
             QImage b(200, 150, QImage::Format_BGR888);   // 90 KB, more than one page of disk
             b.fill(Qt::darkRed);
             TGear g;
             g.SetPicture(b);
             g.SetSaveFormat(2);   // BMP
             g.SaveImage(pfad);
             if (g.ErrCount() > 0)
                 gemeldet << g.LetzterFehler();
             return g.ErrCount() == 0;
         }},
        {"Kommentar", "testbild.jpg",
         [](const QString& pfad, QStringList& gemeldet) {
             QString fehler;
             const bool ok = JpgKommentarSchreiben(pfad, QStringLiteral("Neuer Kommentar"), fehler);
             if (!ok)
                 gemeldet << fehler;
             return ok;
         }},
        {"Drehen", "testbild.jpg",
         [](const QString& pfad, QStringList& gemeldet) {
             TMeldungsFaenger faenger;
             const bool ok = JpgDateiDrehen(pfad, JpgDrehen90, JpgKopiereAlle, false);
             gemeldet << faenger.texte;
             return ok;
         }},
        {"Exif", "testbild.jpg",
         [](const QString& pfad, QStringList& gemeldet) {
             TExifDaten exif;
             if (!exif.Lesen(MusterPfad(QStringLiteral("testbild.jpg")))) {
                 gemeldet << QStringLiteral("keine Quelle");
                 return false;
             }
             QString fehler;
             const bool ok = exif.ExifEinfuegen(pfad, 12, 34, fehler);
             if (!ok)
                 gemeldet << fehler;
             return ok;
         }},
    };
}

// The folder holds exactly the original, byte for byte.
void NurOriginal(const QString& ordner, const QString& name, const QByteArray& original, const std::string& fall)
{
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System).join(QStringLiteral(", ")).toStdString(),
              name.toStdString())
        << fall;
    EXPECT_TRUE(DateiBytes(ordner + QLatin1Char('/') + name) == original) << fall;
}

class SchreibfehlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        altTemp = TempVerzeichnis;
        TempVerzeichnis = FrischerOrdner(QStringLiteral("schreibfehler-temp")) + QLatin1Char('/');
    }
    void TearDown() override { TempVerzeichnis = altTemp; }

    QString altTemp;
};

} // namespace

TEST_F(SchreibfehlerTest, VollePlatteBeiJedemSchrittLaesstOriginal)
{
    for (const TWeg& weg : Wege()) {
        const QByteArray original = DateiBytes(MusterPfad(QString::fromLatin1(weg.muster)));
        ASSERT_FALSE(original.isEmpty());
        for (const TErsetzenSchritt schritt : AlleSchritte) {
            // The first write fails, and (for Schreiben) also a later one
            // after part of the file is on the disk.
            for (const int nachSchreibAufrufen : {0, 1}) {
                if (nachSchreibAufrufen > 0 && schritt != TErsetzenSchritt::Schreiben)
                    continue;
                const std::string fall =
                    std::string(weg.name) + " Schritt " + std::to_string(int(schritt)) + "/" + std::to_string(nachSchreibAufrufen);
                const QString ordner = FrischerOrdner(QStringLiteral("voll"));
                const QString name = QStringLiteral("bild.") + QString::fromLatin1(weg.muster).section(QLatin1Char('.'), -1);
                DateiSchreiben(ordner + QLatin1Char('/') + name, original);
                int aufrufe = 0;
                bool getroffen = false;
                QStringList gemeldet;
                bool ok;
                {
                    const THaken haken([&](TErsetzenSchritt s) {
                        if (s != schritt || aufrufe++ < nachSchreibAufrufen)
                            return 0;
                        getroffen = true;
                        return ENOSPC;
                    });
                    ok = weg.los(ordner + QLatin1Char('/') + name, gemeldet);
                }
                if (!getroffen) {
                    // A step this path does not take (times left as new).
                    EXPECT_TRUE(ok) << fall;
                    continue;
                }
                EXPECT_FALSE(ok) << fall;
                ASSERT_FALSE(gemeldet.isEmpty()) << fall;
                // The rotation tells only that it failed; the others give the reason.
                if (std::string(weg.name) != "Drehen") {
                    EXPECT_TRUE(gemeldet.join(' ').contains(QStringLiteral("nicht genug Platz")))
                        << fall << ": " << gemeldet.join(' ').toStdString();
                }
                NurOriginal(ordner, name, original, fall);
            }
        }
    }
}

TEST_F(SchreibfehlerTest, VerschwundenerOrdnerBeiJedemSchrittLaesstOriginal)
{
    for (const TWeg& weg : Wege()) {
        const QByteArray original = DateiBytes(MusterPfad(QString::fromLatin1(weg.muster)));
        for (const TErsetzenSchritt schritt : AlleSchritte) {
            const std::string fall = std::string(weg.name) + " Schritt " + std::to_string(int(schritt));
            const QString ordner = FrischerOrdner(QStringLiteral("weg"));
            const QString verschoben = ordner + QStringLiteral("-verschoben");
            const QString name = QStringLiteral("bild.") + QString::fromLatin1(weg.muster).section(QLatin1Char('.'), -1);
            DateiSchreiben(ordner + QLatin1Char('/') + name, original);
            bool getroffen = false;
            QStringList gemeldet;
            bool ok;
            {
                // The folder is moved away (an unmounted stick, a folder
                // renamed in another program) just before the step.
                const THaken haken([&](TErsetzenSchritt s) {
                    if (s == schritt && !getroffen) {
                        getroffen = true;
                        EXPECT_TRUE(QDir().rename(ordner, verschoben)) << fall;
                    }
                    return 0;
                });
                ok = weg.los(ordner + QLatin1Char('/') + name, gemeldet);
            }
            if (!getroffen) {
                EXPECT_TRUE(ok) << fall;
                continue;
            }
            EXPECT_FALSE(ok) << fall;
            EXPECT_FALSE(gemeldet.isEmpty()) << fall;
            EXPECT_FALSE(QDir(ordner).exists()) << fall;
            NurOriginal(verschoben, name, original, fall);
        }
    }
}

// A real full disk: a small tmpfs (only where this process may mount one),
// filled up to a few kilobytes.
TEST_F(SchreibfehlerTest, EchteVollePlatteLaesstOriginal)
{
    const TKleinePlatte platte;
    if (!platte.bereit)
        GTEST_SKIP() << "kein tmpfs";
    for (const TWeg& weg : Wege()) {
        const QByteArray original = DateiBytes(MusterPfad(QString::fromLatin1(weg.muster)));
        const QString ordner = platte.punkt + QLatin1Char('/') + QLatin1String(weg.name);
        ASSERT_TRUE(QDir().mkpath(ordner));
        const QString name = QStringLiteral("bild.") + QString::fromLatin1(weg.muster).section(QLatin1Char('.'), -1);
        DateiSchreiben(ordner + QLatin1Char('/') + name, original);
        ASSERT_TRUE(DateiBytes(ordner + QLatin1Char('/') + name) == original);
        ASSERT_TRUE(platte.Fuellen());
        QStringList gemeldet;
        EXPECT_FALSE(weg.los(ordner + QLatin1Char('/') + name, gemeldet)) << weg.name;
        EXPECT_FALSE(gemeldet.isEmpty()) << weg.name;
        NurOriginal(ordner, name, original, weg.name);
        platte.Leeren();
    }
}

// ---- What the user is told -----------------------------------------------

namespace {

// "Die Datei <pfad> kann nicht geschrieben werden: <Grund>." The file is
// named once, the failure said once, and all of it is one sentence.
void EinSatzMitGrund(const QString& text, const QString& pfad, const QString& grund, const std::string& fall)
{
    const std::string zeigen = fall + ": " + text.toStdString();
    EXPECT_EQ(text.count(pfad), 1) << zeigen;
    EXPECT_EQ(text.count(QStringLiteral("geschrieben")), 1) << zeigen;
    QString ohnePfad = text;
    ohnePfad.remove(pfad);
    EXPECT_EQ(ohnePfad.count(QLatin1Char('.')), 1) << zeigen;
    EXPECT_TRUE(ohnePfad.endsWith(QLatin1Char('.'))) << zeigen;
    EXPECT_TRUE(text.contains(grund)) << zeigen;
}

// What the control reports when it cannot write a BMP of 90 KB: replacing
// (a user's file) or straight onto the target (the transfer files).
QString GearFehler(const QString& pfad, bool sicher)
{
    QImage b(200, 150, QImage::Format_BGR888);
    b.fill(Qt::darkBlue);
    TGear g;
    g.SetSicherSchreiben(sicher);
    g.SetPicture(b);
    g.SetSaveFormat(2);
    g.SaveImage(pfad);
    return g.ErrCount() > 0 ? g.LetzterFehler() : QStringLiteral("(kein Fehler)");
}

std::string Weg(bool sicher)
{
    return sicher ? "ersetzend" : "direkt";
}

// Shows the save window with the uncompressed BMP row chosen and
// ordner/name as the target.
void BmpZiel(TfrmSpeichern& fenster, const QString& ordner, const QString& name)
{
    fenster.show();
    for (int i = 0; i < fenster.lvSaveTyp->topLevelItemCount(); ++i) {
        QTreeWidgetItem* z = fenster.lvSaveTyp->topLevelItem(i);
        if (z->text(1) + QLatin1Char(' ') + z->text(2) == QStringLiteral("BMP Ungepackt    "))
            fenster.lvSaveTyp->setCurrentItem(z);
    }
    fenster.ediZielverz->setText(ordner);
    fenster.ediDateiname->setText(name);
}

const QString ProcZiel = QStringLiteral("/proc/zelvano-gibtsnicht.bmp");
const QString KeinPlatz = QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
const QString PlatteGeschuetzt = QStringLiteral("Der Datenträger ist schreibgeschützt.");

} // namespace

TEST_F(SchreibfehlerTest, MeldungNenntDenGrundDesSystemsInEinemSatz)
{
    const QString ordner = FrischerOrdner(QStringLiteral("grund"));
    for (const bool sicher : {true, false}) {
        // A folder that exists but takes no files answers "no such file".
        const QString proc = GearFehler(ProcZiel, sicher);
        EinSatzMitGrund(proc, ProcZiel, QStringLiteral("In diesem Ordner können keine Dateien angelegt werden."),
                        "proc " + Weg(sicher));
        EXPECT_FALSE(proc.contains(QStringLiteral("nicht vorhanden"))) << proc.toStdString();

        const QString fehlt = ordner + QStringLiteral("/fehlt/bild.bmp");
        EinSatzMitGrund(GearFehler(fehlt, sicher), fehlt, QStringLiteral("Der Ordner ist nicht vorhanden."),
                        "fehlt " + Weg(sicher));
    }

    const QString geschuetzt = ordner + QStringLiteral("/alt.bmp");
    DateiSchreiben(geschuetzt, "altes Bild");
    ::chmod(QFile::encodeName(geschuetzt).constData(), 0444);
    EinSatzMitGrund(GearFehler(geschuetzt, true), geschuetzt, QStringLiteral("Sie ist schreibgeschützt."),
                    "schreibgeschützte Datei");
    const QString jpg = ordner + QStringLiteral("/alt.jpg");
    DateiSchreiben(jpg, DateiBytes(MusterPfad(QStringLiteral("testbild.jpg"))));
    ::chmod(QFile::encodeName(jpg).constData(), 0444);
    QString fehler;
    EXPECT_FALSE(JpgKommentarSchreiben(jpg, QStringLiteral("neu"), fehler));
    EinSatzMitGrund(fehler, jpg, QStringLiteral("Sie ist schreibgeschützt."), "Kommentar");

    // The batch conversion's helper file in a folder that takes none.
    TGear gear;
    QImage b(20, 10, QImage::Format_BGR888);
    b.fill(Qt::red);
    gear.SetPicture(b);
    fehler.clear();
    EXPECT_FALSE(KonvertDateiSchreiben(gear, QStringLiteral("BMP Ungepackt    "), ProcZiel, TSchreibZusatz{}, fehler));
    EinSatzMitGrund(fehler, ProcZiel, QStringLiteral("In diesem Ordner können keine Dateien angelegt werden."),
                    "Konvertieren");

    // No permission, also for root: its override is set aside for the write.
    const QString gesperrt = ordner + QStringLiteral("/gesperrt");
    ASSERT_TRUE(QDir().mkdir(gesperrt));
    ::chmod(QFile::encodeName(gesperrt).constData(), 0555);
    bool ohneRechteGeprueft = false;
    for (const bool sicher : {true, false}) {
        const QString pfad = gesperrt + QStringLiteral("/bild.bmp");
        QString text;
        {
            const TOhneSonderrechte ohne(gesperrt);
            if (!ohne.wirkt)
                break;
            ohneRechteGeprueft = true;
            text = GearFehler(pfad, sicher);
        }
        EinSatzMitGrund(text, pfad, QStringLiteral("Die Berechtigung zum Schreiben fehlt."), "gesperrt " + Weg(sicher));
    }
    ::chmod(QFile::encodeName(gesperrt).constData(), 0755);
    if (!ohneRechteGeprueft)
        GTEST_SKIP() << "Dateirechte lassen sich hier nicht durchsetzen";
}

// A real full disk and a real read-only one, where a small tmpfs may be mounted.
TEST_F(SchreibfehlerTest, VolleUndSchreibgeschuetztePlatteWerdenGenannt)
{
    const TKleinePlatte platte;
    if (!platte.bereit)
        GTEST_SKIP() << "kein tmpfs";
    const QString pfad = platte.punkt + QStringLiteral("/bild.bmp");
    ASSERT_TRUE(platte.Fuellen());
    for (const bool sicher : {true, false})
        EinSatzMitGrund(GearFehler(pfad, sicher), pfad, KeinPlatz, "voll " + Weg(sicher));
    platte.Leeren();
    ASSERT_TRUE(platte.Schreibschuetzen());
    for (const bool sicher : {true, false})
        EinSatzMitGrund(GearFehler(pfad, sicher), pfad, PlatteGeschuetzt, "nur lesen " + Weg(sicher));
    EXPECT_FALSE(QFile::exists(pfad));
}

// The save window over an existing file: the user is told, the picture
// stays marked as changed, and the old file stays as it was.
class SpeichernFehlerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite()
    {
        delete frmZelvanoMain;
        frmZelvanoMain = nullptr;
    }
};

TEST_F(SpeichernFehlerTest, FensterMeldetVollePlatteUndVerschwundenenOrdner)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    ASSERT_NE(f, nullptr);
    QImage bild(120, 80, QImage::Format_BGR888);
    bild.fill(Qt::darkGreen);
    const QByteArray original("altes Bild, das bleiben muss");
    struct TFall { TErsetzenSchritt schritt; bool verschwindet; };
    for (const TFall fall : {TFall{TErsetzenSchritt::Schreiben, false}, TFall{TErsetzenSchritt::Sync, false},
                             TFall{TErsetzenSchritt::Anlegen, true}, TFall{TErsetzenSchritt::Umbenennen, true}}) {
        const std::string name = std::to_string(int(fall.schritt)) + (fall.verschwindet ? " weg" : " voll");
        const QString ordner = FrischerOrdner(QStringLiteral("dialog"));
        const QString verschoben = ordner + QStringLiteral("-verschoben");
        DateiSchreiben(ordner + QStringLiteral("/da.bmp"), original);
        f->OriginalBild = TBitmap(bild);
        BildFarbtiefe = 24;
        BildQuelle = BildQuelleZwischenablage;
        BildBearbeitet = true;
        TfrmSpeichern fenster(f);
        BmpZiel(fenster, ordner, QStringLiteral("da.bmp"));
        TMeldungsFaenger faenger(mbJa);   // yes, overwrite
        {
            const THaken haken([&](TErsetzenSchritt s) {
                if (s != fall.schritt)
                    return 0;
                if (!fall.verschwindet)
                    return ENOSPC;
                QDir().rename(ordner, verschoben);
                return 0;
            });
            fenster.btnSpeichernClick();
        }
        ASSERT_FALSE(faenger.texte.isEmpty()) << name;
        EXPECT_TRUE(faenger.texte.last().startsWith(QStringLiteral("Das Bild konnte nicht gespeichert werden.")))
            << name << ": " << faenger.texte.last().toStdString();
        if (!fall.verschwindet) {
            EXPECT_TRUE(faenger.texte.last().contains(QStringLiteral("nicht genug Platz"))) << name;
        }
        EXPECT_TRUE(BildBearbeitet) << name;
        NurOriginal(fall.verschwindet ? verschoben : ordner, QStringLiteral("da.bmp"), original, name);
    }
    BildBearbeitet = false;
}

// The save window's box: the headline, then the one sentence with the reason.
TEST_F(SpeichernFehlerTest, FensterNenntDenGrundEinmal)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    ASSERT_NE(f, nullptr);
    QImage bild(120, 80, QImage::Format_BGR888);
    bild.fill(Qt::darkGreen);
    const QString kopf = QStringLiteral("Das Bild konnte nicht gespeichert werden.\n\n");
    auto speichern = [&](const QString& ordner, const QString& name, int antwort) {
        f->OriginalBild = TBitmap(bild);
        BildFarbtiefe = 24;
        BildQuelle = BildQuelleZwischenablage;
        BildBearbeitet = true;
        TfrmSpeichern fenster(f);
        BmpZiel(fenster, ordner, name);
        TMeldungsFaenger faenger(antwort);
        fenster.btnSpeichernClick();
        return faenger.texte.isEmpty() ? QString() : faenger.texte.last();
    };

    const QString proc = speichern(QStringLiteral("/proc"), QFileInfo(ProcZiel).fileName(), mbOk);
    ASSERT_TRUE(proc.startsWith(kopf)) << proc.toStdString();
    EinSatzMitGrund(proc.mid(kopf.size()), ProcZiel,
                    QStringLiteral("In diesem Ordner können keine Dateien angelegt werden."), "proc");
    EXPECT_TRUE(BildBearbeitet);

    // A write-protected file on a read-only disk: its protection cannot be lifted.
    const TKleinePlatte platte;
    if (!platte.bereit)
        GTEST_SKIP() << "kein tmpfs";
    const QString pfad = platte.punkt + QStringLiteral("/da.bmp");
    DateiSchreiben(pfad, "altes Bild");
    ::chmod(QFile::encodeName(pfad).constData(), 0444);
    ASSERT_TRUE(platte.Schreibschuetzen());
    const QString geschuetzt = speichern(platte.punkt, QStringLiteral("da.bmp"), mbJa);
    EinSatzMitGrund(geschuetzt, pfad, PlatteGeschuetzt, "nur lesen");
    EXPECT_EQ(DateiBytes(pfad), QByteArray("altes Bild"));
    BildBearbeitet = false;
}
