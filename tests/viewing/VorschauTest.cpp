#include "viewing/Vorschau.h"
#include "viewing/VorschauLaden.h"
#include "DialogHilfen.h"
#include "TestHilfen.h"
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Menuset.h"
#include "ZelvanoMain.h"
#include "files/Formatoption.h"
#include "files/Oeffnen.h"
#include "gear/Gear.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <Magick++.h>
#include <gtest/gtest.h>
#include <cstdio>

namespace {

template <typename F>
bool Warten(F bedingung, int ms = 10000)
{
    QElapsedTimer uhr;
    uhr.start();
    while (!bedingung()) {
        if (uhr.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Klicken(QWidget* w)
{
    QMouseEvent ereignis(QEvent::MouseButtonRelease, QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &ereignis);
}

// Whether a PNG button carries item index of the tool-button icon list.
bool TraegtSymbol(const TPngBitBtn* knopf, int index)
{
    return !knopf->PngImage().Empty()
           && knopf->PngImage().ToImage() == PngAusListe(ButtonBilderListe(), index).ToImage();
}

class VorschauTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite()
    {
        delete frmVorschau;
        delete frmZelvanoMain;
    }

    void SetUp() override
    {
        VorschauGroesse = 150;
        VorschauVollbild = false;
        VorschauFensterAus = false;
        BildBearbeitet = false;
        ordner = FrischerOrdner(QStringLiteral("vorschau")) + QLatin1Char('/');
        // Names in listing order (letter case ignored) with known sizes.
        Bild(QStringLiteral("a.jpg"), 4000, 3000);
        Bild(QStringLiteral("B.png"), 200, 100);
        Bild(QStringLiteral("c.bmp"), 100, 80);
        DateiSchreiben(ordner + QStringLiteral("d.jpg"), QByteArray("kein JPEG"));
        Magick::Image tif(Magick::Geometry(300, 300), Magick::Color("red"));
        tif.write((ordner + QStringLiteral("e.tif")).toStdString());
        Bild(QStringLiteral("f.png"), 120, 360);
        if (!frmVorschau)
            frmVorschau = new TfrmVorschau();
        v = frmVorschau;
        v->resize(825 + 280 - 280, 550);
        LadeVerzeichnis = ordner;
    }
    void TearDown() override
    {
        if (v->isVisible()) {
            VorschauStopp = true;
            Warten([] { return !VorschauLaedt; });
            v->hide();
        }
    }

    void Bild(const QString& name, int w, int h)
    {
        QImage bild(w, h, QImage::Format_RGB888);
        bild.fill(QColor(40, 90, 160));
        bild.save(ordner + name);
    }

    // Shows the window and builds the thumbnails of LadeVerzeichnis (a
    // later showing alone keeps those of the test before).
    void ZeigenUndBauen()
    {
        v->show();
        ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
        v->bbtnAktualisierenClick();
        ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
    }

    QString ordner;
    TfrmVorschau* v = nullptr;
};

}   // namespace

TEST_F(VorschauTest, Zeigen_BautAlleBilderImRasterDerBreite)
{
    ZeigenUndBauen();
    // Showing again after the load folder changed moves the tree but keeps
    // the thumbnails.
    v->hide();
    const QString anderer = FrischerOrdner(QStringLiteral("vorschaunachher")) + QLatin1Char('/');
    LadeVerzeichnis = anderer;
    v->show();
    ASSERT_TRUE(Warten([&] { return v->BaumPfad() == anderer; }));
    EXPECT_EQ(VorschauAnzahl, 6);
    EXPECT_EQ(v->VorschauBilder.size(), 6);
    LadeVerzeichnis = ordner;
    v->bbtnAktualisierenClick();
    EXPECT_EQ(VorschauOrdner, ordner);
    EXPECT_EQ(v->BaumPfad(), ordner);
    EXPECT_EQ(VorschauAnzahl, 6);
    EXPECT_EQ(v->flbVorschau, (QStringList{"a.jpg", "B.png", "c.bmp", "d.jpg", "e.tif", "f.png"}));
    EXPECT_EQ(v->lblBildAnzahl->text(), QStringLiteral("6"));
    EXPECT_EQ(v->lblBilddateien->text(), QStringLiteral("von 6 geladen"));
    EXPECT_EQ(v->bbtnStopSchliessen->text(), QStringLiteral("Schließen"));
    EXPECT_TRUE(v->bbtnAktualisieren->isEnabled());
    EXPECT_TRUE(v->stvVorschau->isEnabled());

    const int s = 150;
    const int spalten = VorschauSpalten(v->SBoxVorschau->width(), v->style()->pixelMetric(QStyle::PM_ScrollBarExtent), s);
    ASSERT_GE(spalten, 1);
    const QSize erwartet[] = {{150, 112}, {150, 75}, {100, 80}, {128, 128}, {150, 150}, {49, 150}};
    for (int k = 0; k < 6; ++k) {
        ASSERT_NE(v->VorschauBilder[k], nullptr);
        const QPoint z = VorschauZelle(k, spalten, s);
        const QSize g = erwartet[k];
        EXPECT_EQ(v->VorschauBilder[k]->size(), g) << k;
        EXPECT_EQ(v->VorschauBilder[k]->pos(), QPoint(z.x() + (s - g.width()) / 2, z.y() + (s - g.height()) / 2)) << k;
        EXPECT_EQ(v->VorschauRahmen[k]->geometry(), QRect(z.x() - 4, z.y() - 4, s + 8, s + 8)) << k;
        EXPECT_EQ(v->VorschauNamen[k]->pos(), QPoint(z.x() - 4, z.y() + s + 5)) << k;
        EXPECT_EQ(v->VorschauNamen[k]->width(), s + 8) << k;
        EXPECT_EQ(v->VorschauNamen[k]->text(), v->flbVorschau[k]) << k;
    }
    // The undecodable file shows the error picture.
    EXPECT_EQ(v->VorschauBilder[3]->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              FehlerBild().convertToFormat(QImage::Format_RGB32));
    // The content reaches below the last name.
    EXPECT_GE(v->SBoxInhalt->height(), v->VorschauNamen[5]->geometry().bottom());
}

TEST_F(VorschauTest, VerlustfreiesJpeg_KommtUeberDieBildsteuerung)
{
    // TurboJPEG cannot decode the lossless process; the imaging control can.
    QImage bild(300, 200, QImage::Format_BGR888);
    bild.fill(QColor(200, 30, 30));
    const int alterTyp = JpegTyp;
    JpegTyp = 1;
    TGear gear;
    gear.SetPicture(bild);
    JpgOptionenSetzen(gear);
    gear.SetSaveFormat(21);
    gear.SaveImage(ordner + QStringLiteral("g.jpg"));
    JpegTyp = alterTyp;
    ASSERT_EQ(gear.ErrCount(), 0);

    ZeigenUndBauen();
    ASSERT_EQ(v->flbVorschau.value(6), QStringLiteral("g.jpg"));
    ASSERT_NE(v->VorschauBilder[6], nullptr);
    EXPECT_EQ(v->VorschauBilder[6]->size(), QSize(150, 100));
    // The file's own red, not the error picture (the reduction may round by one).
    const QRgb mitte = v->VorschauBilder[6]->pixmap().toImage().pixel(75, 50);
    EXPECT_NEAR(qRed(mitte), 200, 2);
    EXPECT_NEAR(qGreen(mitte), 30, 2);
    EXPECT_NEAR(qBlue(mitte), 30, 2);
}

TEST_F(VorschauTest, Groesse_WechseltSpaltenUndVerschiebtNur)
{
    ZeigenUndBauen();
    const QSize vorher = v->VorschauBilder[0]->size();
    v->resize(280 + 200, 550);   // one column
    QCoreApplication::processEvents();
    ASSERT_EQ(VorschauSpalten(v->SBoxVorschau->width(), v->style()->pixelMetric(QStyle::PM_ScrollBarExtent), 150), 1);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(v->VorschauRahmen[k]->pos(), QPoint(6, 190 * k + 6)) << k;
    EXPECT_EQ(v->VorschauBilder[0]->size(), vorher);
    EXPECT_GE(v->SBoxInhalt->height(), 190 * 5 + 150);
}

TEST_F(VorschauTest, Laden_AendertDatumUndKommentarDesHauptbildsNicht)
{
    const QDateTime datum(QDate(2001, 2, 3), QTime(4, 5, 6));
    AktDateiDatum = datum;
    AktKommentar = QStringLiteral("Hauptbild");
    ZeigenUndBauen();
    EXPECT_EQ(AktDateiDatum, datum);
    EXPECT_EQ(AktKommentar, QStringLiteral("Hauptbild"));
    // The tif went through the imaging control and is there, red.
    const QImage tif = v->VorschauBilder[4]->pixmap().toImage();
    EXPECT_EQ(tif.pixelColor(75, 75).red(), 254);
}

TEST_F(VorschauTest, LeererOrdner_KeineBilderNullGeladen)
{
    const QString leer = FrischerOrdner(QStringLiteral("vorschauleer")) + QLatin1Char('/');
    LadeVerzeichnis = leer;
    ZeigenUndBauen();
    EXPECT_EQ(VorschauOrdner, leer);
    QCoreApplication::processEvents();
    EXPECT_EQ(VorschauAnzahl, 0);
    EXPECT_TRUE(v->VorschauBilder.isEmpty());
    EXPECT_EQ(v->lblBilddateien->text(), QStringLiteral("von 0 geladen"));
}

TEST_F(VorschauTest, FehlenderOrdner_FaelltAufDokumenteZurueck)
{
    LadeVerzeichnis = ordner + QStringLiteral("gibtsnicht/");
    ZeigenUndBauen();
    EXPECT_EQ(LadeVerzeichnis, MitTrenner(SpezialOrdnerPfad(CSIDL_PERSONAL)));
}

TEST_F(VorschauTest, Klick_MachtOrdnerZurListeUndZeigtBild)
{
    ZeigenUndBauen();
    BildListe = {QStringLiteral("/alt.png")};
    Klicken(v->VorschauBilder[2]);
    ASSERT_EQ(BildListe.size(), 6);
    EXPECT_EQ(BildListe[0], ordner + QStringLiteral("a.jpg"));
    EXPECT_EQ(BildListe[5], ordner + QStringLiteral("f.png"));
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(LadeVerzeichnis, ordner);
    EXPECT_EQ(frmZelvanoMain->OriginalBild.Width(), 100);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_TRUE(v->isVisible());

    VorschauFensterAus = true;
    Klicken(v->VorschauBilder[1]);
    EXPECT_EQ(frmZelvanoMain->OriginalBild.Width(), 200);
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VorschauTest, Klick_VerschwundeneDateiSchliesstNurAufWunsch)
{
    ZeigenUndBauen();
    BildListe = {QStringLiteral("/alt.png")};
    QFile::remove(ordner + QStringLiteral("c.bmp"));
    Klicken(v->VorschauBilder[2]);
    EXPECT_EQ(BildListe, QStringList{QStringLiteral("/alt.png")});
    EXPECT_TRUE(v->isVisible());
    VorschauFensterAus = true;
    Klicken(v->VorschauBilder[2]);
    EXPECT_EQ(BildListe, QStringList{QStringLiteral("/alt.png")});
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VorschauTest, Klick_BearbeitetesBildFragtErst)
{
    ZeigenUndBauen();
    BildListe = {QStringLiteral("/alt.png")};
    BildIndex = 0;
    BildBearbeitet = true;
    {
        TMeldungsFaenger faenger(mbAbbrechen);
        Klicken(v->VorschauBilder[0]);
        ASSERT_EQ(faenger.texte.size(), 1);
        EXPECT_TRUE(faenger.texte[0].startsWith(QStringLiteral("Das Bild in der Anzeige wurde noch nicht gespeichert.")));
    }
    EXPECT_EQ(BildListe, QStringList{QStringLiteral("/alt.png")});
    {
        TMeldungsFaenger faenger(mbNein);
        Klicken(v->VorschauBilder[0]);
        EXPECT_EQ(faenger.texte.size(), 1);
    }
    EXPECT_EQ(BildListe.size(), 6);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(VorschauTest, Stop_BehaeltGebauteUndSchliessenWirdNurStop)
{
    // Many files, so the build is still running when the timer fires.
    for (int i = 0; i < 60; ++i)
        QFile::copy(ordner + QStringLiteral("a.jpg"), ordner + QStringLiteral("z%1.jpg").arg(i, 2, 10, QChar('0')));
    v->show();
    ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
    int gebautBeimStop = -1;
    // Polled from the build's own message processing.
    QTimer pruefer;
    pruefer.setInterval(2);
    QObject::connect(&pruefer, &QTimer::timeout, v, [&] {
        if (gebautBeimStop >= 0 || !VorschauLaedt || v->lblBildAnzahl->text().toInt() < 2)
            return;
        EXPECT_EQ(v->bbtnStopSchliessen->text(), QStringLiteral("Stop"));
        EXPECT_TRUE(TraegtSymbol(v->bbtnStopSchliessen, 14));
        EXPECT_TRUE(v->bbtnStopSchliessen->isDefault());
        EXPECT_FALSE(v->bbtnAktualisieren->isEnabled());
        // A close request during the build only stops it.
        v->close();
        EXPECT_TRUE(v->isVisible());
        EXPECT_TRUE(VorschauStopp);
        EXPECT_EQ(v->bbtnStopSchliessen->text(), QStringLiteral("Schließen"));
        EXPECT_TRUE(TraegtSymbol(v->bbtnStopSchliessen, 20));
        gebautBeimStop = v->lblBildAnzahl->text().toInt();
    });
    pruefer.start();
    v->bbtnAktualisierenClick();
    ASSERT_TRUE(Warten([&] { return gebautBeimStop >= 0 && !VorschauLaedt; }));
    EXPECT_EQ(VorschauAnzahl, 66);
    const int gebaut = int(std::count_if(v->VorschauBilder.begin(), v->VorschauBilder.end(), [](QLabel* l) { return l; }));
    EXPECT_LT(gebaut, 66);
    EXPECT_GE(gebaut, 2);
    EXPECT_LE(gebaut, gebautBeimStop + 1);
    EXPECT_FALSE(VorschauStopp);
    // A second close request closes.
    v->close();
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VorschauTest, Baum_WechselAlleinBautNichtKlickSchon)
{
    ZeigenUndBauen();
    const QString anderer = FrischerOrdner(QStringLiteral("vorschauanders")) + QLatin1Char('/');
    Bild(QStringLiteral("../") + QDir(anderer).dirName() + QStringLiteral("/x.png"), 30, 30);
    v->BaumPfadSetzen(anderer);
    v->stvVorschauChange();
    EXPECT_TRUE(VorschauOrdnerGeaendert);
    EXPECT_EQ(VorschauOrdner, ordner);
    EXPECT_EQ(VorschauAnzahl, 6);
    v->stvVorschauClick();
    ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
    EXPECT_EQ(VorschauOrdner, anderer);
    EXPECT_EQ(LadeVerzeichnis, anderer);
    EXPECT_EQ(VorschauAnzahl, 1);
    EXPECT_FALSE(VorschauOrdnerGeaendert);
}

TEST_F(VorschauTest, Ordner_NeueDateiWirdBemerkt)
{
    ZeigenUndBauen();
    Bild(QStringLiteral("g.png"), 50, 50);
    EXPECT_TRUE(Warten([] { return VorschauAnzahl == 7 && !VorschauLaedt; }, 5000));
    EXPECT_EQ(v->lblBildAnzahl->text(), QStringLiteral("7"));
    // A file replaced by renaming (as the lossless rotation replaces it) is
    // drawn anew.
    QImage hoch(80, 100, QImage::Format_RGB888);
    hoch.fill(Qt::red);
    hoch.save(ordner + QStringLiteral("neu.tmp"), "BMP");
    ASSERT_EQ(std::rename(QFile::encodeName(ordner + QStringLiteral("neu.tmp")).constData(),
                          QFile::encodeName(ordner + QStringLiteral("c.bmp")).constData()),
              0);
    EXPECT_TRUE(Warten([this] { return v->VorschauBilder.size() == 7 && v->VorschauBilder[2] &&
                                       v->VorschauBilder[2]->size() == QSize(80, 100) && !VorschauLaedt; },
                       5000));
}

TEST_F(VorschauTest, Ordner_AenderungBehaeltLageUndErneuertNurDieBetroffenen)
{
    for (int i = 0; i < 30; ++i)
        Bild(QStringLiteral("r%1.png").arg(i, 2, 10, QChar('0')), 20, 20);
    ZeigenUndBauen();
    ASSERT_EQ(VorschauAnzahl, 36);
    QScrollBar* balken = v->SBoxVorschau->verticalScrollBar();
    ASSERT_GT(balken->maximum(), 600);
    balken->setValue(400);
    // The user has moved the tree to another folder without clicking it yet.
    const QString anderer = FrischerOrdner(QStringLiteral("vorschauwahl")) + QLatin1Char('/');
    Bild(QStringLiteral("../") + QDir(anderer).dirName() + QStringLiteral("/x.png"), 30, 30);
    v->BaumPfadSetzen(anderer);
    v->stvVorschauChange();
    ASSERT_EQ(v->BaumPfad(), anderer);
    // Each thumbnail built so far carries its index; one built anew does not.
    for (int k = 0; k < v->VorschauBilder.size(); ++k)
        v->VorschauBilder[k]->setProperty("vorher", k);
    auto gleichGeblieben = [&](const QString& name, int altIndex) {
        const int k = int(v->flbVorschau.indexOf(name));
        QLabel* bild = v->VorschauBilder.value(k);
        return bild && bild->property("vorher").isValid() && bild->property("vorher").toInt() == altIndex;
    };
    auto lageUnveraendert = [&] {
        EXPECT_EQ(balken->value(), 400);
        EXPECT_EQ(v->BaumPfad().toStdString(), anderer.toStdString());
        EXPECT_TRUE(VorschauOrdnerGeaendert);
    };

    // touch: the file's own entry is drawn anew, the others stay as they are.
    ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {ordner + QStringLiteral("r05.png")}), 0);
    ASSERT_TRUE(Warten([&] { return !VorschauLaedt && v->VorschauBilder.value(11) &&
                                    !v->VorschauBilder[11]->property("vorher").isValid(); }, 5000));
    lageUnveraendert();
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("r04.png"), 10));
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("a.jpg"), 0));
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("r29.png"), 35));

    // A new file takes its place in the listing; the ones behind it move on one cell.
    QImage gruen(60, 60, QImage::Format_RGB888);
    gruen.fill(QColor(20, 200, 40));
    gruen.save(ordner + QStringLiteral("b2.png"));
    ASSERT_TRUE(Warten([] { return VorschauAnzahl == 37 && !VorschauLaedt; }, 5000));
    lageUnveraendert();
    ASSERT_EQ(v->flbVorschau.value(2), QStringLiteral("b2.png"));
    ASSERT_NE(v->VorschauBilder[2], nullptr);
    EXPECT_EQ(v->VorschauBilder[2]->size(), QSize(60, 60));
    EXPECT_EQ(v->VorschauBilder[2]->pixmap().toImage().pixelColor(30, 30), QColor(20, 200, 40));
    EXPECT_EQ(v->VorschauNamen[2]->text(), QStringLiteral("b2.png"));
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("c.bmp"), 2));
    const int spalten =
        VorschauSpalten(v->SBoxVorschau->width(), v->style()->pixelMetric(QStyle::PM_ScrollBarExtent), 150);
    const QPoint zelle3 = VorschauZelle(3, spalten, 150);
    EXPECT_EQ(v->VorschauRahmen[3]->pos(), zelle3 - QPoint(4, 4));
    EXPECT_EQ(v->VorschauBilder[3]->pos(), zelle3 + QPoint(25, 35));   // c.bmp, 100 x 80
    EXPECT_EQ(v->lblBildAnzahl->text(), QStringLiteral("37"));
    EXPECT_EQ(v->lblBilddateien->text(), QStringLiteral("von 37 geladen"));
    EXPECT_GE(v->SBoxInhalt->height(), v->VorschauNamen[36]->geometry().bottom());

    // A removed file leaves, and the rest close up.
    ASSERT_TRUE(QFile::remove(ordner + QStringLiteral("a.jpg")));
    ASSERT_TRUE(Warten([] { return VorschauAnzahl == 36 && !VorschauLaedt; }, 5000));
    lageUnveraendert();
    EXPECT_EQ(v->flbVorschau.value(0), QStringLiteral("B.png"));
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("B.png"), 1));
    EXPECT_EQ(v->VorschauRahmen[0]->pos(), VorschauZelle(0, spalten, 150) - QPoint(4, 4));
    EXPECT_EQ(v->VorschauBilder.size(), 36);
    EXPECT_EQ(v->lblBilddateien->text(), QStringLiteral("von 36 geladen"));

    // A save replaces the file through a temporary one: its new picture shows.
    QImage blau(100, 80, QImage::Format_RGB888);
    blau.fill(QColor(10, 20, 230));
    blau.save(ordner + QStringLiteral("neu.tmp"), "BMP");
    ASSERT_EQ(std::rename(QFile::encodeName(ordner + QStringLiteral("neu.tmp")).constData(),
                          QFile::encodeName(ordner + QStringLiteral("c.bmp")).constData()),
              0);
    ASSERT_TRUE(Warten([this] {
        const int k = int(v->flbVorschau.indexOf(QStringLiteral("c.bmp")));
        return !VorschauLaedt && k >= 0 && v->VorschauBilder[k] &&
               v->VorschauBilder[k]->pixmap().toImage().pixelColor(50, 40) == QColor(10, 20, 230);
    }, 5000));
    lageUnveraendert();
    EXPECT_TRUE(gleichGeblieben(QStringLiteral("r29.png"), 35));

    // The tree's own choice still waits for its click.
    v->stvVorschauClick();
    ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
    EXPECT_EQ(VorschauOrdner, anderer);
    EXPECT_EQ(VorschauAnzahl, 1);
}

TEST_F(VorschauTest, Rad_RolltUmEineZelle)
{
    for (int i = 0; i < 30; ++i)
        Bild(QStringLiteral("r%1.png").arg(i, 2, 10, QChar('0')), 20, 20);
    ZeigenUndBauen();
    QScrollBar* balken = v->SBoxVorschau->verticalScrollBar();
    ASSERT_GT(balken->maximum(), 400);
    balken->setValue(0);
    QWidget* ansicht = v->SBoxVorschau->viewport();
    QWheelEvent runter(QPointF(5, 5), ansicht->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ansicht, &runter);
    EXPECT_EQ(balken->value(), 170);
    QWheelEvent hoch(QPointF(5, 5), ansicht->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ansicht, &hoch);
    EXPECT_EQ(balken->value(), 0);
}

TEST_F(VorschauTest, Grenzen_WerdenVomFensterGeschrieben)
{
    v->setGeometry(30, 40, 700, 500);
    const std::optional<QRect> g = VorschauFensterGrenzen();
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(*g, QRect(30, 40, 700, 500));
}

TEST_F(VorschauTest, Grenzen_AusserhalbJedesBildschirmsKommenAufDenHauptschirm)
{
    const QRect schirm = QGuiApplication::primaryScreen()->availableGeometry();
    const int vorher[4] = {VorschauVonLinks, VorschauVonOben, VorschauBreit, VorschauHoch};
    // Stored while a second monitor stood to the right of this one.
    VorschauVonLinks = schirm.right() + 400;
    VorschauVonOben = 30;
    VorschauBreit = 500;
    VorschauHoch = 300;
    TfrmVorschau weit;
    VorschauVonLinks = vorher[0];
    VorschauVonOben = vorher[1];
    VorschauBreit = vorher[2];
    VorschauHoch = vorher[3];
    EXPECT_EQ(weit.geometry().size(), QSize(500, 300));
    EXPECT_TRUE(schirm.contains(weit.geometry())) << weit.geometry().x() << ", " << weit.geometry().y();
}

TEST_F(VorschauTest, Befehle_VorschauUndOeffnenErgebnis200ZeigenFenster)
{
    frmZelvanoMain->mDatVorschau->trigger();
    EXPECT_TRUE(v->isVisible());
    ASSERT_TRUE(Warten([] { return !VorschauLaedt; }));
    v->hide();

    // Edited image, answered with cancel: nothing opens.
    BildBearbeitet = true;
    {
        TMeldungsFaenger faenger(mbAbbrechen);
        frmZelvanoMain->mDatVorschau->trigger();
        EXPECT_EQ(faenger.texte.size(), 1);
    }
    EXPECT_FALSE(v->isVisible());
    BildBearbeitet = false;

    // The open dialog's "Vorschau" button.
    TImModalenDialog vorschau([](QWidget* d) {
        if (d == frmOeffnen)
            frmOeffnen->bbtVorschauClick();
    });
    frmZelvanoMain->mDatOeffnenExecute();
    EXPECT_EQ(OeffnenErgebnis, 200);
    EXPECT_TRUE(v->isVisible());
}

TEST_F(VorschauTest, Knoepfe_TragenIhreSymboleDerButtonliste)
{
    TfrmVorschau neu;
    EXPECT_TRUE(TraegtSymbol(neu.bbtnStopSchliessen, 20));
    EXPECT_TRUE(TraegtSymbol(neu.bbtnAktualisieren, 38));
    EXPECT_FALSE(TraegtSymbol(neu.bbtnStopSchliessen, 14));
    // After a build the close glyph is back and the refresh glyph unchanged.
    ZeigenUndBauen();
    EXPECT_TRUE(TraegtSymbol(v->bbtnStopSchliessen, 20));
    EXPECT_TRUE(TraegtSymbol(v->bbtnAktualisieren, 38));
    EXPECT_EQ(v->bbtnAktualisieren->Layout(), blGlyphLeft);
    EXPECT_EQ(v->bbtnAktualisieren->Spacing(), 4);
    // Painted left of its caption, with the automatic margin.
    v->bbtnAktualisieren->grab();
    const TGlyphUndText lage = v->bbtnAktualisieren->LetzteLage();
    EXPECT_GT(lage.Glyph.x(), 0);
    EXPECT_EQ(lage.Text.x(), lage.Glyph.x() + v->bbtnAktualisieren->PngImage().Width() + 4);
    v->hide();
}
