#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Oeffnen.h"

namespace {

void Leer(const QString& pfad)
{
    DateiSchreiben(pfad, QByteArray("x"));
}

void Png(const QString& pfad, int breite)
{
    QImage bild(breite, 4, QImage::Format_RGB888);
    bild.fill(Qt::darkCyan);
    ASSERT_TRUE(bild.save(pfad, "PNG"));
}

QStringList Namen(const TfrmOeffnen& d)
{
    QStringList namen;
    for (int i = 0; i < d.flbOeffnen->count(); ++i)
        namen << d.flbOeffnen->item(i)->text();
    return namen;
}

// The type row whose type code cell, trimmed, is typ.
QTreeWidgetItem* TypZeile(const TfrmOeffnen& d, const QString& typ)
{
    for (int i = 2; i < d.lvBildTyp->topLevelItemCount(); ++i)
        if (d.lvBildTyp->topLevelItem(i)->text(1).trimmed() == typ)
            return d.lvBildTyp->topLevelItem(i);
    return nullptr;
}

void TypWaehlen(TfrmOeffnen& d, int zeile)
{
    d.lvBildTyp->setCurrentItem(d.lvBildTyp->topLevelItem(zeile));
}

void TypWaehlen(TfrmOeffnen& d, const QString& typ)
{
    QTreeWidgetItem* zeile = TypZeile(d, typ);
    ASSERT_NE(zeile, nullptr) << typ.toStdString();
    d.lvBildTyp->setCurrentItem(zeile);
}

class OeffnenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        FormatTabelleAufbauen();
        BildMaske = BildMaskeAufbauen();
    }

    void SetUp() override
    {
        ordner = FrischerOrdner(QStringLiteral("oeffnen"));
        LadeVerzeichnis = MitTrenner(ordner);
        BildListe = {QStringLiteral("/vorher/eins.png")};
        OeffnenErgebnis = -1;
        QGuiApplication::clipboard()->clear();
        d = new TfrmOeffnen();
    }
    void TearDown() override
    {
        delete d;
        d = nullptr;
    }

    // Shows the window as its command would, without waiting for it.
    void Zeigen()
    {
        d->show();
        QCoreApplication::processEvents();
    }

    QString ordner;
    TfrmOeffnen* d = nullptr;
};

// ---- Type list ----------------------------------------------------------------

TEST_F(OeffnenTest, Typliste_ZweiAlleZeilenVorNeununddreissigFormaten)
{
    ASSERT_EQ(d->lvBildTyp->topLevelItemCount(), 41);
    EXPECT_EQ(d->lvBildTyp->topLevelItem(0)->text(1), QStringLiteral("Alle"));
    EXPECT_EQ(d->lvBildTyp->topLevelItem(0)->text(2), QStringLiteral("Bilddateien"));
    EXPECT_EQ(d->lvBildTyp->topLevelItem(1)->text(1), QStringLiteral("Alle"));
    EXPECT_EQ(d->lvBildTyp->topLevelItem(1)->text(2), QStringLiteral("Dateien *.*"));
    EXPECT_EQ(d->lvBildTyp->topLevelItem(2)->text(1), QStringLiteral("BMP"));
}

TEST_F(OeffnenTest, Typliste_ErsteZeileGewaehltMitBildMaske)
{
    EXPECT_EQ(d->Maske(), BildMaske);
    EXPECT_EQ(d->ZustandsBild(0), TfrmOeffnen::ZustandsBildGewaehlt);
    for (int i = 1; i < 41; ++i)
        EXPECT_EQ(d->ZustandsBild(i), -1) << i;
}

TEST_F(OeffnenTest, Typliste_NurDieGewaehlteZeileTraegtDieMarke)
{
    TypWaehlen(*d, 7);
    TypWaehlen(*d, 12);
    for (int i = 0; i < 41; ++i)
        EXPECT_EQ(d->ZustandsBild(i), i == 12 ? TfrmOeffnen::ZustandsBildGewaehlt : -1) << i;
}

TEST_F(OeffnenTest, Typliste_GeradeZeilenBlassgelbUngeradeNicht)
{
    Zeigen();
    TypWaehlen(*d, 0);
    const QImage bild = d->lvBildTyp->viewport()->grab().toImage();
    auto mitte = [&](int zeile) {
        const QRect r = d->lvBildTyp->visualItemRect(d->lvBildTyp->topLevelItem(zeile));
        // Right part of the description cell: no text there.
        return QColor(bild.pixel(r.right() - 4, r.center().y())).toRgb();
    };
    EXPECT_EQ(mitte(2), QColor(255, 249, 227));
    EXPECT_EQ(mitte(4), QColor(255, 249, 227));
    EXPECT_NE(mitte(3), QColor(255, 249, 227));
}

TEST_F(OeffnenTest, Typliste_MarkeWirdInDerErstenSpalteGezeichnet)
{
    Zeigen();
    TypWaehlen(*d, 3);
    d->lvBildTyp->clearSelection();   // plain background, so only the mark differs
    QCoreApplication::processEvents();
    const QImage bild = d->lvBildTyp->viewport()->grab().toImage();
    auto abweichend = [&](int zeile) {
        const QRect r = d->lvBildTyp->visualRect(d->lvBildTyp->model()->index(zeile, 0)).adjusted(2, 2, -2, -2);
        const QRgb grund = bild.pixel(r.topLeft());
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += bild.pixel(x, y) != grund;
        return n;
    };
    EXPECT_GT(abweichend(3), 3);
    EXPECT_EQ(abweichend(5), 0);
}

// ---- Filtering -------------------------------------------------------------------

class OeffnenFilterTest : public OeffnenTest {
protected:
    void SetUp() override
    {
        OeffnenTest::SetUp();
        for (const char* name : {"a.jpg", "b.JPEG", "c.png", "d.txt", "e", "f.G3", "g.g4", "h.Tif", "i.lv"})
            Leer(ordner + QLatin1Char('/') + QLatin1String(name));
        QDir(ordner).mkdir(QStringLiteral("ordner.jpg"));
        Zeigen();
    }
};

TEST_F(OeffnenFilterTest, Bilddateien_NurBildtypenOhneOrdner)
{
    TypWaehlen(*d, 0);
    EXPECT_EQ(Namen(*d), (QStringList{"a.jpg", "b.JPEG", "c.png", "f.G3", "g.g4", "h.Tif", "i.lv"}));
}

TEST_F(OeffnenFilterTest, AlleDateien_AuchOhneEndung)
{
    TypWaehlen(*d, 1);
    EXPECT_EQ(d->Maske(), QStringLiteral("*.*"));
    EXPECT_EQ(Namen(*d), (QStringList{"a.jpg", "b.JPEG", "c.png", "d.txt", "e", "f.G3", "g.g4", "h.Tif", "i.lv"}));
}

TEST_F(OeffnenFilterTest, JpegZeile_ListetJpgUndJpeg)
{
    TypWaehlen(*d, QStringLiteral("JPG"));
    EXPECT_EQ(d->Maske(), QStringLiteral("*.JPG;*.JPEG"));
    EXPECT_EQ(Namen(*d), (QStringList{"a.jpg", "b.JPEG"}));
}

TEST_F(OeffnenFilterTest, EinzelTyp_OhneRuecksichtAufGrossschreibung)
{
    TypWaehlen(*d, QStringLiteral("PNG"));
    EXPECT_EQ(Namen(*d), QStringList{"c.png"});
    TypWaehlen(*d, QStringLiteral("TIF"));
    EXPECT_EQ(Namen(*d), QStringList{"h.Tif"});
}

TEST_F(OeffnenFilterTest, ZweibuchstabenTypen_TrotzAufgefuellterKennung)
{
    TypWaehlen(*d, QStringLiteral("G3"));
    EXPECT_EQ(d->Maske(), QStringLiteral("*.G3 "));
    EXPECT_EQ(Namen(*d), QStringList{"f.G3"});
    TypWaehlen(*d, QStringLiteral("G4"));
    EXPECT_EQ(Namen(*d), QStringList{"g.g4"});
    TypWaehlen(*d, QStringLiteral("LV"));
    EXPECT_EQ(Namen(*d), QStringList{"i.lv"});
}

TEST_F(OeffnenFilterTest, Zaehler_FolgenDemFilter)
{
    TypWaehlen(*d, QStringLiteral("JPG"));
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 2"));
    TypWaehlen(*d, 1);
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 9"));
}

// ---- Counters and buttons ------------------------------------------------------------

TEST_F(OeffnenTest, LeererOrdner_ZaehlerNullUndKnoepfeAus)
{
    Zeigen();
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 0"));
    EXPECT_EQ(d->lblMarkiertZahl->text(), QStringLiteral("Ausgewählt: 0"));
    EXPECT_FALSE(d->btnOk->isEnabled());
    EXPECT_FALSE(d->bbtVorschau->isEnabled());
    EXPECT_FALSE(d->bbtAlleZeigen->isEnabled());
}

class OeffnenZehnTest : public OeffnenTest {
protected:
    void SetUp() override
    {
        OeffnenTest::SetUp();
        for (int i = 0; i < 10; ++i)
            Leer(ordner + QStringLiteral("/bild%1.png").arg(i));
        Zeigen();
        ASSERT_EQ(d->flbOeffnen->count(), 10);
    }
    QString Pfad(int i) const { return ordner + QStringLiteral("/bild%1.png").arg(i); }
};

TEST_F(OeffnenZehnTest, Auswahl_ZaehlerUndOkKnopf)
{
    EXPECT_FALSE(d->btnOk->isEnabled());
    EXPECT_TRUE(d->bbtAlleZeigen->isEnabled());
    d->flbOeffnen->item(1)->setSelected(true);
    d->flbOeffnen->item(4)->setSelected(true);
    d->flbOeffnen->item(8)->setSelected(true);
    EXPECT_EQ(d->lblMarkiertZahl->text(), QStringLiteral("Ausgewählt: 3"));
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 10"));
    EXPECT_TRUE(d->btnOk->isEnabled());
}

TEST_F(OeffnenZehnTest, Ok_DreiVonZehnInDerReihenfolgeDerListe)
{
    for (int i : {7, 2, 5})
        d->flbOeffnen->item(i)->setSelected(true);
    d->btnOk->click();
    EXPECT_EQ(BildListe, (QStringList{Pfad(2), Pfad(5), Pfad(7)}));
    EXPECT_EQ(OeffnenErgebnis, 1);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_FALSE(d->isVisible());
}

TEST_F(OeffnenZehnTest, Ok_OhneAuswahlBleibtOffen)
{
    d->btnOkClick();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(BildListe, QStringList{"/vorher/eins.png"});
}

TEST_F(OeffnenZehnTest, Doppelklick_WirktWieOk)
{
    QWidget* flaeche = d->flbOeffnen->viewport();
    const QPoint punkt = d->flbOeffnen->visualItemRect(d->flbOeffnen->item(3)).center();
    const QPointF global = flaeche->mapToGlobal(punkt);
    for (QEvent::Type art : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                             QEvent::MouseButtonRelease}) {
        QMouseEvent ereignis(art, punkt, global, Qt::LeftButton,
                             art == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(flaeche, &ereignis);
    }
    EXPECT_EQ(OeffnenErgebnis, 1);
    EXPECT_EQ(BildListe, QStringList{Pfad(3)});
}

TEST_F(OeffnenZehnTest, AlleAnzeigen_NimmtJedeDatei)
{
    d->flbOeffnen->item(4)->setSelected(true);
    d->bbtAlleZeigen->click();
    ASSERT_EQ(BildListe.size(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(BildListe.at(i), Pfad(i));
    EXPECT_EQ(OeffnenErgebnis, 1);
}

TEST_F(OeffnenZehnTest, Vorschau_Ergebnis200MitOrdnerOhneListe)
{
    QDir(ordner).mkdir(QStringLiteral("unter"));
    LadeVerzeichnis = QStringLiteral("/anderswo/");
    d->bbtVorschau->click();
    EXPECT_EQ(OeffnenErgebnis, 200);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_EQ(BildListe, QStringList{"/vorher/eins.png"});
}

TEST_F(OeffnenTest, Ablage_MitBildFreiUndErgebnis100)
{
    QImage bild(5, 5, QImage::Format_RGB32);
    bild.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(bild);
    Zeigen();
    ASSERT_TRUE(d->bbtAblageZeigen->isEnabled());
    d->bbtAblageZeigen->click();
    EXPECT_EQ(OeffnenErgebnis, 100);
    EXPECT_EQ(BildListe, QStringList{"/vorher/eins.png"});
}

TEST_F(OeffnenTest, Ablage_OhneBildGesperrt)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("nur Text"));
    Zeigen();
    EXPECT_FALSE(d->bbtAblageZeigen->isEnabled());
}

// ---- Cancel and closing ------------------------------------------------------------------

TEST_F(OeffnenTest, Abbrechen_LaesstListeUndBehaeltNeuenOrdner)
{
    const QString anderer = ordner + QStringLiteral("/anderer");
    QDir().mkpath(anderer);
    Leer(anderer + QStringLiteral("/x.png"));
    Zeigen();
    d->ShellTreeView1->setCurrentIndex(d->ShellModell->index(anderer));
    EXPECT_EQ(LadeVerzeichnis, anderer + QLatin1Char('/'));
    EXPECT_EQ(Namen(*d), QStringList{"x.png"});
    d->btnAbbrechen->click();
    EXPECT_EQ(OeffnenErgebnis, 0);
    EXPECT_EQ(BildListe, QStringList{"/vorher/eins.png"});
    EXPECT_EQ(LadeVerzeichnis, anderer + QLatin1Char('/'));
}

TEST_F(OeffnenTest, Schliessfeld_NachFruehererWahlGibtNull)
{
    Leer(ordner + QStringLiteral("/a.png"));
    Zeigen();
    d->bbtAlleZeigen->click();
    ASSERT_EQ(OeffnenErgebnis, 1);
    Zeigen();
    d->close();
    EXPECT_EQ(OeffnenErgebnis, 0);
}

TEST_F(OeffnenTest, Esc_WirktWieAbbrechen)
{
    Zeigen();
    OeffnenErgebnis = 200;
    QKeyEvent taste(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &taste);
    EXPECT_EQ(OeffnenErgebnis, 0);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(OeffnenTest, Zustand_TypzeileUndOrdnerBleibenZwischenOeffnungen)
{
    Leer(ordner + QStringLiteral("/a.png"));
    Leer(ordner + QStringLiteral("/b.gif"));
    Zeigen();
    TypWaehlen(*d, QStringLiteral("GIF"));
    d->btnAbbrechen->click();
    Zeigen();
    EXPECT_EQ(d->Maske(), QStringLiteral("*.GIF"));
    EXPECT_EQ(Namen(*d), QStringList{"b.gif"});
    EXPECT_EQ(d->BaumPfad(), ordner);
}

// ---- Folders ---------------------------------------------------------------------------------

TEST_F(OeffnenTest, FehlenderLadeordner_FaelltAufVorhandenenOrdnerZurueck)
{
    for (const QString& fehlt : {QStringLiteral("/gibt/es/nicht/"), QString()}) {
        LadeVerzeichnis = fehlt;
        Zeigen();
        EXPECT_TRUE(QFileInfo(LadeVerzeichnis).isDir()) << LadeVerzeichnis.toStdString();
        EXPECT_TRUE(LadeVerzeichnis.endsWith(QLatin1Char('/')));
        EXPECT_EQ(d->Ordner(), LadeVerzeichnis);
        d->btnAbbrechen->click();
    }
}

TEST_F(OeffnenTest, Baum_OrdnerDerNichtMehrDaIstFuehrtZurueck)
{
    const QString weg = ordner + QStringLiteral("/weg");
    QDir().mkpath(weg);
    Leer(ordner + QStringLiteral("/bleibt.png"));
    Zeigen();
    const QModelIndex knoten = d->ShellModell->index(weg);
    ASSERT_TRUE(knoten.isValid());
    QDir(weg).removeRecursively();
    d->ShellTreeView1->setCurrentIndex(knoten);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_EQ(d->BaumPfad(), ordner);
    EXPECT_EQ(Namen(*d), QStringList{"bleibt.png"});
}

TEST_F(OeffnenTest, Baum_GezeigterOrdnerVerschwindetOhneAbsturz)
{
    const QString unter = ordner + QStringLiteral("/unter");
    QDir().mkpath(unter);
    Leer(unter + QStringLiteral("/a.png"));
    LadeVerzeichnis = unter + QLatin1Char('/');
    Zeigen();
    ASSERT_EQ(d->flbOeffnen->count(), 1);
    QDir(unter).removeRecursively();
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 300)
        QCoreApplication::processEvents();
    TypWaehlen(*d, 1);   // re-reads the vanished folder
    EXPECT_EQ(d->flbOeffnen->count(), 0);
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 0"));
}

TEST_F(OeffnenTest, VieleDateien_AlleGelistetUndUebernommen)
{
    for (int i = 0; i < 600; ++i)
        Leer(ordner + QStringLiteral("/b%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    Leer(ordner + QStringLiteral("/z.txt"));
    Zeigen();
    EXPECT_EQ(d->lblDateiZahl->text(), QStringLiteral("Dateien: 600"));
    d->flbOeffnen->selectAll();
    EXPECT_EQ(d->lblMarkiertZahl->text(), QStringLiteral("Ausgewählt: 600"));
    d->btnOk->click();
    ASSERT_EQ(BildListe.size(), 600);
    EXPECT_EQ(BildListe.first(), ordner + QStringLiteral("/b0000.jpg"));
    EXPECT_EQ(BildListe.last(), ordner + QStringLiteral("/b0599.jpg"));
}

// ---- Hints --------------------------------------------------------------------------------------

TEST_F(OeffnenTest, Hinweis_NurFuerAbgeschnitteneNamen)
{
    const QString lang = QString(200, QLatin1Char('W')) + QStringLiteral(".png");
    Leer(ordner + QStringLiteral("/a.png"));
    Leer(ordner + QLatin1Char('/') + lang);
    Zeigen();
    ASSERT_EQ(Namen(*d), (QStringList{"a.png", lang}));
    QWidget* flaeche = d->flbOeffnen->viewport();
    auto hinweis = [&](int zeile) {
        QToolTip::hideText();
        const QPoint punkt = d->flbOeffnen->visualItemRect(d->flbOeffnen->item(zeile)).center();
        QHelpEvent ereignis(QEvent::ToolTip, punkt, flaeche->mapToGlobal(punkt));
        QApplication::sendEvent(flaeche, &ereignis);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(hinweis(0), QString());
    EXPECT_EQ(hinweis(1), lang);
    QToolTip::hideText();
}

// ---- The main window's open command ----------------------------------------------------------

class OeffnenBefehlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite()
    {
        delete frmZelvanoMain;
        frmOeffnen = nullptr;
    }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        if (!frmOeffnen)
            frmOeffnen = new TfrmOeffnen(f);
        BildBearbeitet = false;
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        ordner = FrischerOrdner(QStringLiteral("befehl"));
        Png(ordner + QStringLiteral("/a.png"), 11);
        Png(ordner + QStringLiteral("/b.png"), 22);
        alt = FrischerOrdner(QStringLiteral("alt"));
        Png(alt + QStringLiteral("/x.png"), 33);
        Png(alt + QStringLiteral("/y.png"), 44);
        BildListe = {alt + QStringLiteral("/x.png"), alt + QStringLiteral("/y.png")};
        BildIndex = 1;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 44);
        LadeVerzeichnis = MitTrenner(ordner);
    }

    // Runs the open command; once the window is up and has read its folder,
    // handlung acts in it. A window that never comes up ends the test.
    bool OeffnenMit(std::function<void(TfrmOeffnen&)> handlung)
    {
        bool gezeigt = false;
        QTimer waechter;
        waechter.setInterval(10);
        QElapsedTimer uhr;
        uhr.start();
        QObject::connect(&waechter, &QTimer::timeout, [&] {
            if (frmOeffnen->isVisible() && !QApplication::overrideCursor()) {
                waechter.stop();
                gezeigt = true;
                handlung(*frmOeffnen);
            } else if (uhr.elapsed() > 5000) {
                waechter.stop();
                if (frmOeffnen->isVisible())
                    frmOeffnen->reject();
            }
        });
        waechter.start();
        f->mDatOeffnen->trigger();
        waechter.stop();
        return gezeigt;
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner, alt;
};

TEST_F(OeffnenBefehlTest, Ergebnis1_ZeigtDieListeAbIhremErstenBild)
{
    ASSERT_TRUE(OeffnenMit([](TfrmOeffnen& d) { d.bbtAlleZeigen->click(); }));
    EXPECT_EQ(BildListe, (QStringList{ordner + "/a.png", ordner + "/b.png"}));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 11);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(OeffnenBefehlTest, Abbrechen_LaesstBildListeUndZoomWieSieWaren)
{
    const double zoom = ZoomFaktor;
    const QStringList liste = BildListe;
    ASSERT_TRUE(OeffnenMit([](TfrmOeffnen& d) { d.btnAbbrechen->click(); }));
    EXPECT_EQ(OeffnenErgebnis, 0);
    EXPECT_EQ(BildListe, liste);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 44);
    EXPECT_EQ(ZoomFaktor, zoom);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(OeffnenBefehlTest, Vorschau_AendertAmBildNichts)
{
    ASSERT_TRUE(OeffnenMit([](TfrmOeffnen& d) { d.bbtVorschau->click(); }));
    EXPECT_EQ(OeffnenErgebnis, 200);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 44);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(OeffnenBefehlTest, Ergebnis100_FuegtDieZwischenablageEin)
{
    QImage bild(7, 3, QImage::Format_RGB32);
    bild.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(bild);
    ASSERT_TRUE(OeffnenMit([](TfrmOeffnen& d) { d.bbtAblageZeigen->click(); }));
    EXPECT_EQ(OeffnenErgebnis, 100);
    EXPECT_EQ(f->OriginalBild.Width(), 7);
    EXPECT_EQ(BildQuelle, BildQuelleZwischenablage);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
    QGuiApplication::clipboard()->clear();
}

TEST_F(OeffnenBefehlTest, UngespeichertesBild_AbbruchDerFrageOeffnetNichts)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    OeffnenErgebnis = 1;
    EXPECT_FALSE(OeffnenMit([](TfrmOeffnen& d) { d.bbtAlleZeigen->click(); }));
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 44);
    BildBearbeitet = false;
}

} // namespace

namespace {

TEST_F(OeffnenTest, Baum_ZeigtDenGewaehltenOrdnerNachDemLaden)
{
    // Many sibling folders ahead of the chosen one push it down once loaded.
    const QString eltern = ordner + QStringLiteral("/viele");
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(QDir().mkpath(eltern + QStringLiteral("/o%1").arg(i, 3, 10, QLatin1Char('0'))));
    const QString ziel = eltern + QStringLiteral("/o250");
    LadeVerzeichnis = MitTrenner(ziel);
    d->resize(500, 400);
    Zeigen();
    ASSERT_TRUE(OrdnerGeladenAbwarten(d->ShellModell, eltern, 300));
    const QModelIndex aktuell = d->ShellTreeView1->currentIndex();
    ASSERT_EQ(QDir::cleanPath(d->ShellModell->filePath(aktuell)), ziel);
    EXPECT_GT(d->ShellModell->rowCount(aktuell.parent()), 250);
    const QRect zeile = d->ShellTreeView1->visualRect(aktuell);
    // In view from top to bottom; deep folders may lie beyond the right edge.
    const int mitte = zeile.center().y();
    EXPECT_TRUE(mitte >= 0 && mitte < d->ShellTreeView1->viewport()->height())
        << zeile.y() << " of " << d->ShellTreeView1->viewport()->height();
}

} // namespace
