#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QFileInfo>
#include <QScrollArea>
#include <QStandardPaths>
#include <QKeyEvent>
#include <QToolButton>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "AnzeigeBild.h"
#include "Info.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"

namespace {

class DispatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        MaxRueck = 20;
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
        const QString ordner = FrischerOrdner(QStringLiteral("dispatch"));
        const QString pfad = ordner + QStringLiteral("/bild.png");
        QImage bild(40, 30, QImage::Format_RGB888);
        bild.fill(QColor(20, 120, 220));
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        BildBearbeitet = false;
        MenuesSetzen();
    }
    void TearDown() override { Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false; }

    // A crop frame as the crop-mode dialog leaves it.
    void RahmenAn()
    {
        Fotoschnitt = true;
        f->mBeaFotoschnitt->setCheckable(true);
        f->mBeaFotoschnitt->setChecked(true);
        f->pnlSchnittinfo->show();
    }

    TfrmZelvanoMain* f = nullptr;
};

// While it lives, the desktop's folders of programs and file associations
// are private ones, so no program is set up for any file type until a test
// sets one up.
class TEigenerDesktop {
public:
    TEigenerDesktop() : ordner(FrischerOrdner(QStringLiteral("desktop")))
    {
        // The system's file types stay known.
        const QString typen = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                                     QStandardPaths::LocateDirectory);
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            m_vorher.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            const QString pfad = ordner + QLatin1Char('/') + QString::fromLatin1(name).toLower();
            QDir().mkpath(pfad + QStringLiteral("/applications"));
            qputenv(name, QFile::encodeName(pfad));
        }
        if (!typen.isEmpty())
            QFile::link(typen, Pfad("XDG_DATA_DIRS", QStringLiteral("mime")));
    }
    ~TEigenerDesktop()
    {
        for (const auto& v : m_vorher) {
            if (v.gesetzt)
                qputenv(v.name, v.wert);
            else
                qunsetenv(v.name);
        }
    }
    // A program's desktop entry in the system-wide programs folder.
    void Programm(const QString& name, const QString& mimeTypen, const QString& zusatz = QString())
    {
        DateiSchreiben(Pfad("XDG_DATA_DIRS", QStringLiteral("applications/") + name + QStringLiteral(".desktop")),
                       (QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%1 %f\nMimeType=%2\n")
                            .arg(name, mimeTypen)
                        + zusatz)
                           .toUtf8());
    }
    // The user's own choices of programs per file type.
    void Zuordnungen(const QString& text)
    {
        DateiSchreiben(Pfad("XDG_CONFIG_HOME", QStringLiteral("mimeapps.list")), text.toUtf8());
    }
    QString Pfad(const char* variable, const QString& name) const
    {
        return ordner + QLatin1Char('/') + QString::fromLatin1(variable).toLower() + QLatin1Char('/') + name;
    }
    const QString ordner;

private:
    struct TVorher {
        const char* name;
        QByteArray wert;
        bool gesetzt;
    };
    QList<TVorher> m_vorher;
};

// The help file with the contents page of the help pages beside it, as the
// build puts them beside the program.
struct THilfeOrdner {
    THilfeOrdner() : ordner(FrischerOrdner(QStringLiteral("hilfeordner")))
    {
        DateiSchreiben(chm(), QByteArray("ITSF"));
        QDir().mkpath(ordner + QStringLiteral("/hilfe"));
        DateiSchreiben(inhalt(), QByteArray("<html><body>Inhalt</body></html>"));
    }
    QString chm() const { return ordner + QStringLiteral("/zelvano.chm"); }
    QString inhalt() const { return ordner + QStringLiteral("/hilfe/inhalt.html"); }
    const QString ordner;
};

// The URL the desktop was handed, from a stand-in for its viewer.
QString AnDenDesktop(TfrmZelvanoMain* f, const QString& chm, QStringList& meldungen)
{
    QTextBrowser betrachter;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &betrachter, "setSource");
    TMeldungsFaenger faenger;
    f->HilfeDateiOeffnen(chm);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    meldungen = faenger.texte;
    return betrachter.source().toString();
}

TEST_F(DispatchTest, Befehl_BeendetDenRahmenmodusBevorErLaeuft)
{
    RahmenAn();
    Festschnitt = true;
    const bool statusleiste = Statusleiste;
    Statusleiste = true;
    bool rahmenImBefehl = true;
    const auto verbindung = QObject::connect(f->Gear1, &TGear::OnStatusEvent, f,
                                             [&](int&) { rahmenImBefehl = Fotoschnitt || Festschnitt; });
    f->mFar8Oct->trigger();
    QObject::disconnect(verbindung);
    Statusleiste = statusleiste;
    EXPECT_FALSE(rahmenImBefehl);
    EXPECT_FALSE(Fotoschnitt);
    EXPECT_FALSE(Festschnitt);
    EXPECT_FALSE(f->pnlSchnittinfo->isVisibleTo(f));
    EXPECT_FALSE(f->mBeaFotoschnitt->isChecked());
    EXPECT_EQ(BildFarbtiefe, 8);
}

TEST_F(DispatchTest, Befehl_BeendetSchnittUndWinkelmodus)
{
    Ausschneiden = true;
    WinkelMessen = true;
    f->mFarInvertieren->trigger();
    EXPECT_FALSE(Ausschneiden);
    EXPECT_FALSE(WinkelMessen);
}

TEST_F(DispatchTest, Rahmenbefehl_LaesstSeinenEigenenModusStehen)
{
    RahmenAn();
    WinkelMessen = true;
    f->ActionManMainExecute(f->mBeaFotoschnitt);
    EXPECT_TRUE(Fotoschnitt);
    EXPECT_FALSE(WinkelMessen);
    Ausschneiden = true;
    f->ActionManMainExecute(f->mBeaAusschneiden);
    EXPECT_TRUE(Ausschneiden);
    EXPECT_FALSE(Fotoschnitt) << "the cut command still ends the crop frame";
}

TEST_F(DispatchTest, Befehl_SetztDenProgrammcursorZurueck)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    f->mFarInvertieren->trigger();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DispatchTest, Beschaeftigt_AktionWirdAbgewiesen)
{
    const int vorher = RueckgaengigAnzahl;
    f->GearBeschaeftigt = true;
    RahmenAn();
    f->mFarInvertieren->trigger();
    f->GearBeschaeftigt = false;
    EXPECT_EQ(RueckgaengigAnzahl, vorher);
    EXPECT_TRUE(Fotoschnitt) << "a refused command does not run the pre-step either";
}

TEST_F(DispatchTest, Zwischenablage_HaeltEinfuegenAktuell)
{
    QClipboard* ablage = QApplication::clipboard();
    QImage bild(4, 4, QImage::Format_RGB32);
    bild.fill(Qt::red);
    ablage->setImage(bild);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->mBeaEinfuegen->isEnabled());
    ablage->setText(QStringLiteral("kein Bild"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(f->mBeaEinfuegen->isEnabled());
}

TEST_F(DispatchTest, Esc_FragtNachDemUngespeichertenBild)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    QKeyEvent druck(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(f, &druck);
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.first().startsWith(QStringLiteral("Das Bild in der Anzeige wurde noch nicht gespeichert.")));
    BildBearbeitet = false;
}

TEST_F(DispatchTest, Tastendruck_WirdImModusGeschluckt)
{
    Ausschneiden = true;
    const int vorher = BildIndex;
    QKeyEvent druck(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    const bool geschluckt = QApplication::sendEvent(f->AnzeigeBox, &druck);
    EXPECT_TRUE(geschluckt);
    EXPECT_EQ(BildIndex, vorher);
    EXPECT_TRUE(Ausschneiden);
}

TEST_F(DispatchTest, Hilfe_OhneDateiMeldetDenPfad)
{
    const QString hilfe = PfadVerbinden(QCoreApplication::applicationDirPath(), QStringLiteral("zelvano.chm"));
    ASSERT_FALSE(QFileInfo::exists(hilfe));
    TMeldungsFaenger faenger;
    ASSERT_TRUE(f->mHilfeInhalt->isEnabled());
    f->mHilfeInhalt->trigger();
    ASSERT_EQ(faenger.texte.size(), 1);
    // The box shows the carriage return as a line break.
    QString text = faenger.texte.first();
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    EXPECT_EQ(text, QStringLiteral("Hilfe-Datei nicht gefunden\r") + hilfe);
}

TEST_F(DispatchTest, Programminfo_ZeigtDieKarteModal)
{
    ASSERT_TRUE(f->mHilfeInfo->isEnabled());
    TModalSchliesser schliesser;
    f->mHilfeInfo->trigger();
    EXPECT_EQ(schliesser.geschlossen, 1);
    ASSERT_NE(frmInfo, nullptr);
    EXPECT_FALSE(frmInfo->isVisible());
    // The display is back: an image was shown before.
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

} // namespace

namespace {

TEST_F(DispatchTest, Hilfe_OhneAnzeigeprogrammKommtEineMeldung)
{
    const QString hilfe = FrischerOrdner(QStringLiteral("hilfe")) + QStringLiteral("/zelvano.chm");
    DateiSchreiben(hilfe, QByteArray("ITSF"));
    {
        // The offscreen desktop has no viewer for any file.
        TMeldungsFaenger faenger;
        EXPECT_FALSE(f->HilfeDateiOeffnen(hilfe));
        ASSERT_EQ(faenger.texte.size(), 1);
        EXPECT_TRUE(faenger.texte.first().startsWith(QStringLiteral("Die Hilfe konnte nicht angezeigt werden.")));
        EXPECT_TRUE(faenger.texte.first().contains(hilfe));
    }
    {
        // With a viewer set up for the file type the file goes to it, without
        // a message.
        TEigenerDesktop desktop;
        desktop.Programm(QStringLiteral("chmbetrachter"), QStringLiteral("application/vnd.ms-htmlhelp;"));
        QTextBrowser betrachter;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &betrachter, "setSource");
        TMeldungsFaenger faenger;
        EXPECT_TRUE(f->HilfeDateiOeffnen(hilfe));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        EXPECT_TRUE(faenger.texte.isEmpty());
        EXPECT_EQ(betrachter.source(), QUrl::fromLocalFile(hilfe));
    }
}

} // namespace

namespace {

TEST_F(DispatchTest, Hilfe_OhneChmProgrammOeffnetDieHtmlInhaltsseite)
{
    const THilfeOrdner hilfe;
    // No program for the help file's type: none at all, one whose entry the
    // user hid, one the user took off the type.
    for (int fall = 0; fall < 3; ++fall) {
        TEigenerDesktop desktop;
        if (fall == 1)
            desktop.Programm(QStringLiteral("verborgen"), QStringLiteral("application/vnd.ms-htmlhelp;"),
                             QStringLiteral("Hidden=true\n"));
        if (fall == 2) {
            desktop.Programm(QStringLiteral("abgewaehlt"), QStringLiteral("application/vnd.ms-htmlhelp;"));
            desktop.Zuordnungen(
                QStringLiteral("[Removed Associations]\napplication/vnd.ms-htmlhelp=abgewaehlt.desktop;\n"));
        }
        // A program for another type does not count.
        desktop.Programm(QStringLiteral("bilder"), QStringLiteral("image/png;image/jpeg;"));
        QStringList meldungen;
        EXPECT_EQ(AnDenDesktop(f, hilfe.chm(), meldungen), QUrl::fromLocalFile(hilfe.inhalt()).toString()) << fall;
        EXPECT_TRUE(meldungen.isEmpty()) << fall;
    }
    {
        // The desktop cannot open the page either: one message.
        TEigenerDesktop desktop;
        TMeldungsFaenger faenger;
        EXPECT_FALSE(f->HilfeDateiOeffnen(hilfe.chm()));
        ASSERT_EQ(faenger.texte.size(), 1);
        EXPECT_TRUE(faenger.texte.first().startsWith(QStringLiteral("Die Hilfe konnte nicht angezeigt werden.")));
    }
}

TEST_F(DispatchTest, Hilfe_MitChmProgrammGehtDieHilfedateiAnDenDesktop)
{
    const THilfeOrdner hilfe;
    {
        TEigenerDesktop desktop;
        desktop.Programm(QStringLiteral("chmbetrachter"), QStringLiteral("text/plain;application/vnd.ms-htmlhelp;"));
        QStringList meldungen;
        EXPECT_EQ(AnDenDesktop(f, hilfe.chm(), meldungen), QUrl::fromLocalFile(hilfe.chm()).toString());
        EXPECT_TRUE(meldungen.isEmpty());
    }
    {
        // The user's own choice, under the type's other name.
        TEigenerDesktop desktop;
        desktop.Programm(QStringLiteral("leser"), QStringLiteral("application/pdf;"));
        desktop.Zuordnungen(QStringLiteral("[Default Applications]\napplication/x-chm=leser.desktop\n"));
        QStringList meldungen;
        EXPECT_EQ(AnDenDesktop(f, hilfe.chm(), meldungen), QUrl::fromLocalFile(hilfe.chm()).toString());
        EXPECT_TRUE(meldungen.isEmpty());
    }
}

} // namespace
