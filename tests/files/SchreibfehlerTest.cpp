// Every rewrite of a user's file meets a full disk or a vanished folder at
// each step of the replacement: the original stays byte for byte, no
// temporary file is left behind, and the caller learns of the failure.
#include "ExifDaten.h"
#include "Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Speichern.h"
#include "files/JpgDrehen.h"
#include "files/JpgKommentar.h"
#include "files/SicherErsetzen.h"
#include "SchreibfehlerHilfen.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTreeWidget>
#include <cerrno>
#include <functional>

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
        fenster.show();
        for (int i = 0; i < fenster.lvSaveTyp->topLevelItemCount(); ++i) {
            QTreeWidgetItem* z = fenster.lvSaveTyp->topLevelItem(i);
            if (z->text(1) + QLatin1Char(' ') + z->text(2) == QStringLiteral("BMP Ungepackt    "))
                fenster.lvSaveTyp->setCurrentItem(z);
        }
        fenster.ediZielverz->setText(ordner);
        fenster.ediDateiname->setText(QStringLiteral("da.bmp"));
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
