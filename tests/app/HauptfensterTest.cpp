#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include "Meldung.h"
#include "Modi.h"
#include "gear/GearScan.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Loeschen.h"
#include "DialogHilfen.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Speichern.h"
#include "Testnaht.h"

namespace {

class HauptfensterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OeffnenFensterLaden = false;
        BildBearbeitet = false;
        TMeldungsFaenger start;
        fenster = new TfrmZelvanoMain();
        OeffnenFensterLaden = false;   // the settings read at creation turn it on
        fenster->FormShow({});
    }
    void TearDown() override
    {
        BildBearbeitet = false;
        delete fenster;
    }
    bool Schliessen()
    {
        fenster->show();
        return fenster->close();
    }
    TfrmZelvanoMain* fenster = nullptr;
};

// While it lives, the settings file lies in a folder of its own:
// <ordner>/QZT/Zelvano.ini.
class TEigeneEinstellungen {
public:
    TEigeneEinstellungen() : ordner(FrischerOrdner(QStringLiteral("einstellordner")))
    {
        const QString datei =
            QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QZT"), QStringLiteral("Zelvano"))
                .fileName();
        m_vorher = QFileInfo(QFileInfo(datei).absolutePath()).absolutePath();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ordner);
        QDir().mkpath(ordner + QStringLiteral("/QZT"));
    }
    ~TEigeneEinstellungen() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_vorher); }
    QString Datei() const { return ordner + QStringLiteral("/QZT/Zelvano.ini"); }
    const QString ordner;

private:
    QString m_vorher;
};

// The save command ran: its window opened (gespeichert). Whatever modal
// window opens is closed again at once, so nothing waits for a user.
class TSpeicherfensterWaechter {
public:
    TSpeicherfensterWaechter()
        : m_dialog([this](QWidget* d) {
              gespeichert = qobject_cast<TfrmSpeichern*>(d) != nullptr;
              if (auto* dialog = qobject_cast<QDialog*>(d))
                  dialog->reject();
          })
    {
    }
    bool gespeichert = false;

private:
    TImModalenDialog m_dialog;
};

} // namespace

TEST_F(HauptfensterTest, Titel_ZeigtProduktUndZweiVersionsteile)
{
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Zelvano ") + ProgrammVersion(2));
    EXPECT_EQ(ProgrammVersion(2).count(QLatin1Char('.')), 1);
}

TEST_F(HauptfensterTest, Schliessen_UnbearbeitetOhneFrage)
{
    TMeldungsFaenger faenger(mbAbbrechen);
    EXPECT_TRUE(Schliessen());
    EXPECT_TRUE(faenger.texte.isEmpty());
}

TEST_F(HauptfensterTest, Schliessen_BearbeitetAbbrechenBleibtOffen)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    EXPECT_FALSE(Schliessen());
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte.first(),
              QStringLiteral("Das Bild in der Anzeige wurde noch nicht gespeichert.\n\nSoll es jetzt gespeichert werden?\n\n"));
}

TEST_F(HauptfensterTest, Schliessen_BearbeitetNeinSchliesstOhneSpeichern)
{
    BildBearbeitet = true;
    TSpeicherfensterWaechter speicherfenster;
    TMeldungsFaenger faenger(mbNein);
    EXPECT_TRUE(Schliessen());
    EXPECT_FALSE(speicherfenster.gespeichert);
}

TEST_F(HauptfensterTest, Schliessen_BearbeitetJaSpeichertUndBleibtOffen)
{
    BildBearbeitet = true;
    TSpeicherfensterWaechter speicherfenster;
    TMeldungsFaenger faenger(mbJa);
    EXPECT_FALSE(Schliessen());
    EXPECT_TRUE(speicherfenster.gespeichert);
}

TEST_F(HauptfensterTest, Start_LegtTemporaerordnerAnUndSchliessenRaeumtAuf)
{
    EXPECT_EQ(TempVerzeichnis, TempOrdnerPfad());
    EXPECT_TRUE(QFileInfo(TempVerzeichnis).isDir());
    EXPECT_TRUE(TempBitmapDatei.startsWith(TempVerzeichnis));
    TMeldungsFaenger faenger(mbNein);
    ASSERT_TRUE(Schliessen());
    EXPECT_FALSE(QFileInfo::exists(TempVerzeichnis));
}

TEST_F(HauptfensterTest, Laden_FehlendeDateiZeigtFehlerbild)
{
    TMeldungsFaenger faenger;
    BildListe = {FrischerOrdner("fehlt") + "/gibtesnicht.png"};
    BildIndex = 0;
    fenster->BildAnzeigen();
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(fenster->OriginalBild.Width(), 128);
    EXPECT_EQ(fenster->OriginalBild.Height(), 128);
    EXPECT_TRUE(faenger.texte.isEmpty());
}

TEST_F(HauptfensterTest, Laden_MisslungenerTransferZeigtNieDasVorigeBild)
{
    TMeldungsFaenger faenger;
    const QString ordner = FrischerOrdner("transferfehler");
    QImage gross(300, 200, QImage::Format_RGB888);
    gross.fill(Qt::green);
    gross.save(ordner + "/a.png");
    gross.save(ordner + "/b.png");
    BildListe = {ordner + "/a.png", ordner + "/b.png"};
    BildIndex = 0;
    fenster->BildAnzeigen();
    ASSERT_EQ(fenster->OriginalBild.Width(), 300);

    // Memory runs out: the transfer of the next image fails.
    TransferStoerungSetzen(true);
    BildIndex = 1;
    fenster->BildAnzeigen();
    TransferStoerungSetzen(false);
    EXPECT_TRUE(faenger.texte.contains(QStringLiteral("Fehler beim Bitmaptransfer")));
    EXPECT_EQ(fenster->OriginalBild.Width(), 128);
    EXPECT_EQ(fenster->OriginalBild.Bild().convertToFormat(QImage::Format_RGB32),
              FehlerBild().convertToFormat(QImage::Format_RGB32));
}

TEST_F(HauptfensterTest, Laden_SchreibgeschuetztesJpegIstNichtDrehbar)
{
    TMeldungsFaenger faenger;
    const QString ordner = FrischerOrdner("jpg");
    QImage bild(16, 16, QImage::Format_RGB888);
    bild.fill(Qt::red);
    ASSERT_TRUE(bild.save(ordner + "/a.jpg"));
    ASSERT_TRUE(bild.save(ordner + "/b.JPEG", "JPG"));
    QFile::setPermissions(ordner + "/a.jpg", QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    BildListe = {ordner + "/a.jpg", ordner + "/b.JPEG"};
    BildIndex = 0;
    fenster->BildAnzeigen();
    EXPECT_FALSE(JpgDrehbar);
    BildIndex = 1;
    fenster->BildAnzeigen();
    EXPECT_TRUE(JpgDrehbar);
}

namespace {

TEST_F(HauptfensterTest, Schliessen_BeendetDieScannerSchnittstelle)
{
    // Any scanner command starts SANE; it must not be left to an exit
    // handler that runs after the back-ends' static objects are gone.
    QString fehler;
    GearScanQuellen(fehler);
    ASSERT_TRUE(GearScanGestartet());
    TMeldungsFaenger faenger(mbNein);
    ASSERT_TRUE(Schliessen());
    EXPECT_FALSE(GearScanGestartet());
}

TEST_F(HauptfensterTest, Schliessen_JaLaeuftDurchDenGemeinsamenSchrittDerBefehle)
{
    BildBearbeitet = true;
    Fotoschnitt = true;
    TMeldungsFaenger faenger(mbJa);
    TModalSchliesser schliesser;
    EXPECT_FALSE(Schliessen());
    // The common step ends the crop-frame mode before saving.
    EXPECT_FALSE(Fotoschnitt);
    Fotoschnitt = false;
}

TEST_F(HauptfensterTest, Meldung_SchlichteTraegtDenProgrammtitel)
{
    QString titel;
    QTimer abfrage;
    QObject::connect(&abfrage, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            titel = box->windowTitle();
            box->done(0);
        }
    });
    abfrage.start(10);
    Meldung(QStringLiteral("Hallo"));
    EXPECT_EQ(titel, QStringLiteral("Zelvano ") + ProgrammVersion(2));
    EXPECT_EQ(AnwendungsTitel(), fenster->windowTitle());
}

TEST_F(HauptfensterTest, Werkzeugleisten_LassenSichNichtVerschieben)
{
    // The settings store only the docks left, top and right and floating.
    EXPECT_FALSE(fenster->ToolBar1->isMovable());
    EXPECT_FALSE(fenster->ToolBar2->isMovable());
}

TEST_F(HauptfensterTest, Leisten_RechtsklickOeffnetKeinMenue)
{
    // The settings dialog shows and hides the bars; a pop-up of the toolkit
    // would hide them without storing it.
    fenster->show();
    QWidget* knopf = fenster->ToolBar1->widgetForAction(fenster->mDatOeffnen);
    ASSERT_NE(knopf, nullptr);
    for (QWidget* ziel : {knopf, static_cast<QWidget*>(fenster->ToolBar2), static_cast<QWidget*>(fenster->menuBar())}) {
        ASSERT_TRUE(ziel->isVisible()) << ziel->objectName().toStdString();
        const QPoint ort(3, 3);
        QContextMenuEvent ereignis(QContextMenuEvent::Mouse, ort, ziel->mapToGlobal(ort));
        QApplication::sendEvent(ziel, &ereignis);
        QCoreApplication::processEvents();
        QWidget* menue = QApplication::activePopupWidget();
        EXPECT_EQ(menue, nullptr) << ziel->objectName().toStdString();
        if (menue)
            menue->close();
    }
}

TEST_F(HauptfensterTest, Schliessen_EinstellungenNichtSchreibbarMeldetUndSchliesst)
{
    TEigeneEinstellungen einstellungen;
    // A read-only folder; root could write there all the same, so a folder
    // also stands where the file should be.
    QDir().mkpath(einstellungen.Datei());
    const QString qzt = einstellungen.ordner + QStringLiteral("/QZT");
    QFile::setPermissions(qzt, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TMeldungsFaenger faenger(mbOk);
    EXPECT_TRUE(Schliessen());
    EXPECT_FALSE(fenster->isVisible());
    QFile::setPermissions(qzt, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(faenger.texte.size(), 1);
    QString text = faenger.texte.first();
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    EXPECT_EQ(text, QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.\r\rDie Datei\r")
                        + einstellungen.Datei()
                        + QStringLiteral("\rkann nicht geschrieben werden (Ordner schreibgeschützt oder "
                                         "Datenträger voll)."));
}

TEST_F(HauptfensterTest, Groessenaenderung_VergisstDenZeichenpunkt)
{
    ZeichenX = 12;
    ZeichenY = 34;
    fenster->show();
    fenster->resize(fenster->width() + 40, fenster->height() + 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(ZeichenX, -1);
    EXPECT_EQ(ZeichenY, -1);
}

TEST(HauptfensterStart, OhneEinpassenIstHundertProzentGehakt)
{
    TMeldungsFaenger start;
    ZoomFaktor = 0.0;   // as at program start
    TfrmZelvanoMain fenster;
    OeffnenFensterLaden = false;
    BeiStartEinpassen = false;
    fenster.FormShow({});
    EXPECT_FALSE(fenster.mAnsZoomEinpassen->isChecked());
    EXPECT_TRUE(fenster.mAnsZoom100->isChecked());
}

TEST(HauptfensterStart, FensterAusserhalbJedesBildschirmsKommtAufDenHauptschirm)
{
    const QRect schirm = QGuiApplication::primaryScreen()->availableGeometry();
    struct Fall {
        int links, oben;
        bool bleibt;
    };
    // A monitor unplugged or a hand-edited value; a window mostly off the
    // screen but still within reach stays where the user left it.
    for (const Fall fall : {Fall{-5000, 40, false}, Fall{40, 9000, false}, Fall{schirm.right() - 150, 30, true},
                            Fall{-300, 20, true}}) {
        TEigeneEinstellungen einstellungen;
        DateiSchreiben(einstellungen.Datei(), QStringLiteral("[Position]\nwinstatus=1\nvonlinks=%1\nvonoben=%2\n"
                                                             "breit=500\nhoch=400\n")
                                                  .arg(fall.links)
                                                  .arg(fall.oben)
                                                  .toUtf8());
        TMeldungsFaenger start;
        TfrmZelvanoMain fenster;
        OeffnenFensterLaden = false;
        fenster.FormShow({});
        fenster.show();
        QCoreApplication::processEvents();
        const QRect g = fenster.geometry();
        EXPECT_EQ(g.size(), QSize(500, 400)) << fall.links;
        if (fall.bleibt) {
            // The platform may add its frame's width to the position.
            EXPECT_NEAR(g.x(), fall.links, 2);
            EXPECT_NEAR(g.y(), fall.oben, 2);
            EXPECT_FALSE(schirm.contains(g));
        } else
            EXPECT_TRUE(schirm.contains(g)) << fall.links << " " << fall.oben << ": " << g.x() << ", " << g.y();
    }
}

} // namespace
