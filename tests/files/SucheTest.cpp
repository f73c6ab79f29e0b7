#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <unistd.h>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Datsuch.h"
#include "files/Suche.h"

namespace {

void Leer(const QString& pfad)
{
    QDir().mkpath(QFileInfo(pfad).path());
    DateiSchreiben(pfad, QByteArray("x"));
}

QStringList Relativ(const QString& wurzel, const QStringList& pfade)
{
    QStringList namen;
    for (const QString& p : pfade)
        namen << p.mid(wurzel.size() + 1);
    return namen;
}

QStringList Eintraege(const TfrmSuche& d)
{
    QStringList namen;
    for (int i = 0; i < d.lbSuche->count(); ++i)
        namen << d.lbSuche->item(i)->text();
    return namen;
}

// r/ with image files in three levels, and files that must never be found.
QString BaumAnlegen()
{
    const QString r = FrischerOrdner(QStringLiteral("suche"));
    for (const char* name : {"x.jpg", "Y.JPG", "z.jpeg", "sub/w.G3", "sub/deep/v.png", "a.b.Tif", "noext", "foo.",
                             ".hidden.jpg", ".hdir/q.jpg", "readme.txt", "sub/deep/u.jpg.txt"})
        Leer(r + QLatin1Char('/') + QLatin1String(name));
    return r;
}

class DateiSucheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        FormatTabelleAufbauen();
        BildMaske = BildMaskeAufbauen();
    }
};

TEST_F(DateiSucheTest, Bilddateien_FindetAlleBildtypenJederSchreibweise)
{
    const QString r = BaumAnlegen();
    QStringList treffer;
    const TSuchBericht bericht = DateienSuchen(r, BildMaske, treffer);
    EXPECT_FALSE(bericht.ZuVieleDateien);
    EXPECT_TRUE(bericht.Unlesbar.isEmpty());
    QStringList namen = Relativ(r, treffer);
    namen.sort();
    EXPECT_EQ(namen, (QStringList{"Y.JPG", "a.b.Tif", "sub/deep/v.png", "sub/w.G3", "x.jpg", "z.jpeg"}));
}

TEST_F(DateiSucheTest, Reihenfolge_DateienVorUnterordnernTiefeZuerst)
{
    const QString r = BaumAnlegen();
    Leer(r + QStringLiteral("/sub2/t.png"));
    QStringList treffer;
    DateienSuchen(r, BildMaske, treffer);
    const QStringList namen = Relativ(r, treffer);
    ASSERT_EQ(namen.size(), 7);
    // The three folders' hits appear as blocks: r, then sub with its deep
    // folder inside, then sub2, or sub2 before sub.
    auto stelle = [&](const char* n) { return namen.indexOf(QLatin1String(n)); };
    for (const char* oben : {"x.jpg", "Y.JPG", "z.jpeg", "a.b.Tif"})
        EXPECT_LT(stelle(oben), 4) << oben;
    EXPECT_EQ(std::abs(stelle("sub/w.G3") - stelle("sub/deep/v.png")), 1);
    EXPECT_LT(stelle("sub/w.G3"), stelle("sub/deep/v.png"));
}

TEST_F(DateiSucheTest, EinTyp_NurDieseEndungInJederSchreibweise)
{
    const QString r = BaumAnlegen();
    Leer(r + QStringLiteral("/sub/W2.g3"));
    QStringList treffer;
    DateienSuchen(r, QStringLiteral("*.G3;"), treffer);
    QStringList namen = Relativ(r, treffer);
    namen.sort();
    EXPECT_EQ(namen, (QStringList{"sub/W2.g3", "sub/w.G3"}));
    // The JPEG row alone does not reach the long extension.
    DateienSuchen(r, QStringLiteral("*.JPG;"), treffer);
    namen = Relativ(r, treffer);
    namen.sort();
    EXPECT_EQ(namen, (QStringList{"Y.JPG", "x.jpg"}));
}

TEST_F(DateiSucheTest, Endungen_LeereEintraegeTreffenKeineDateiOhneEndung)
{
    EXPECT_EQ(SuchEndungen(QStringLiteral("*.G3;")), QStringList{QStringLiteral(".G3")});
    EXPECT_EQ(SuchEndungen(QStringLiteral("*.bmp; *.G3 ;;*.")), (QStringList{".BMP", ".G3"}));
}

TEST_F(DateiSucheTest, LeererOrdner_LeeresErgebnis)
{
    const QString r = FrischerOrdner(QStringLiteral("leer"));
    QStringList treffer{QStringLiteral("alt")};
    const TSuchBericht bericht = DateienSuchen(r, BildMaske, treffer);
    EXPECT_TRUE(treffer.isEmpty());
    EXPECT_FALSE(bericht.ZuVieleDateien);
}

TEST_F(DateiSucheTest, Verweisschleife_EndetOhneDoppelteUndArbeitsordnerBleibt)
{
    const QString r = BaumAnlegen();
    ASSERT_TRUE(QFile::link(r, r + QStringLiteral("/sub/schleife")));
    ASSERT_TRUE(QFile::link(r + QStringLiteral("/x.jpg"), r + QStringLiteral("/sub/verweis.jpg")));
    const QString vorher = QDir::currentPath();
    QStringList treffer;
    DateienSuchen(r, BildMaske, treffer);
    EXPECT_EQ(QDir::currentPath(), vorher);
    EXPECT_EQ(treffer.removeDuplicates(), 0);
    // A link to a file is a file; a link to a folder is not entered.
    EXPECT_TRUE(treffer.contains(r + QStringLiteral("/sub/verweis.jpg")));
    EXPECT_EQ(treffer.size(), 7);
}

TEST_F(DateiSucheTest, Grenze_ZuVieleDateienBehaeltDieErsten)
{
    const QString r = FrischerOrdner(QStringLiteral("grenze"));
    for (int i = 0; i < 5; ++i)
        Leer(r + QStringLiteral("/b%1.png").arg(i));
    QStringList treffer;
    TSuchBericht bericht = DateienSuchen(r, BildMaske, treffer, 3);
    EXPECT_TRUE(bericht.ZuVieleDateien);
    EXPECT_EQ(treffer.size(), 3);
    bericht = DateienSuchen(r, BildMaske, treffer, 5);
    EXPECT_FALSE(bericht.ZuVieleDateien);
    EXPECT_EQ(treffer.size(), 5);
}

TEST_F(DateiSucheTest, FehlenderOrdner_WirdGemeldetNichtDurchsucht)
{
    const QString r = FrischerOrdner(QStringLiteral("weg")) + QStringLiteral("/gibtsnicht");
    QStringList treffer;
    const TSuchBericht bericht = DateienSuchen(r, BildMaske, treffer);
    EXPECT_TRUE(treffer.isEmpty());
    EXPECT_EQ(bericht.Unlesbar, QStringList{r + QLatin1Char('/')});
}

TEST_F(DateiSucheTest, UnlesbarerUnterordner_WirdUebersprungenUndGemeldet)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    const QString r = BaumAnlegen();
    Leer(r + QStringLiteral("/zu/geheim.png"));
    QFile::setPermissions(r + QStringLiteral("/zu"), QFileDevice::Permissions());
    QStringList treffer;
    const TSuchBericht bericht = DateienSuchen(r, BildMaske, treffer);
    QFile::setPermissions(r + QStringLiteral("/zu"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                        | QFileDevice::ExeOwner);
    EXPECT_EQ(treffer.size(), 6);
    EXPECT_EQ(bericht.Unlesbar, QStringList{r + QStringLiteral("/zu/")});
}

// ---- The window ---------------------------------------------------------------------------------

class SucheTest : public DateiSucheTest {
protected:
    void SetUp() override
    {
        wurzel = BaumAnlegen();
        LadeVerzeichnis = MitTrenner(wurzel);
        BildListe = {QStringLiteral("/vorher/eins.png")};
        d = new TfrmSuche();
    }
    void TearDown() override
    {
        delete d;
    }
    void Zeigen()
    {
        d->show();
        QCoreApplication::processEvents();
    }
    void TypWaehlen(const QString& typ)
    {
        for (int i = 1; i < d->lvBildTyp->topLevelItemCount(); ++i)
            if (d->lvBildTyp->topLevelItem(i)->text(1).trimmed() == typ) {
                d->lvBildTyp->setCurrentItem(d->lvBildTyp->topLevelItem(i));
                return;
            }
        FAIL() << typ.toStdString();
    }

    QString wurzel;
    TfrmSuche* d = nullptr;
};

TEST_F(SucheTest, Typliste_BilddateienUndDieLesbarenTypen)
{
    ASSERT_EQ(d->lvBildTyp->topLevelItemCount(), 40);
    EXPECT_EQ(d->lvBildTyp->topLevelItem(0)->text(2), QStringLiteral("Bilddateien"));
    EXPECT_EQ(d->lvBildTyp->topLevelItem(1)->text(1), QStringLiteral("BMP"));
    EXPECT_EQ(d->SuchMaske, BildMaske);
    EXPECT_EQ(d->ZustandsBild(0), TfrmSuche::ZustandsBildGewaehlt);
    EXPECT_EQ(d->lvBildTyp->topLevelItem(2)->background(2).color(), QColor(255, 249, 227));
    EXPECT_NE(d->lvBildTyp->topLevelItem(3)->background(2).color(), QColor(255, 249, 227));
}

TEST_F(SucheTest, Typliste_GewaehlterTypWirdGesuchtUndMarkiert)
{
    TypWaehlen(QStringLiteral("G3"));
    EXPECT_EQ(d->SuchMaske, QStringLiteral("*.G3;"));
    const int zeile = d->lvBildTyp->indexOfTopLevelItem(d->lvBildTyp->currentItem());
    for (int i = 0; i < d->lvBildTyp->topLevelItemCount(); ++i)
        EXPECT_EQ(d->ZustandsBild(i), i == zeile ? TfrmSuche::ZustandsBildGewaehlt : -1) << i;
    d->lvBildTyp->setCurrentItem(d->lvBildTyp->topLevelItem(0));
    EXPECT_EQ(d->SuchMaske, BildMaske);
}

TEST_F(SucheTest, Zeigen_BaumAufLadeordnerKnoepfeGesperrt)
{
    Zeigen();
    EXPECT_EQ(MitTrenner(d->BaumPfad()), MitTrenner(wurzel));
    EXPECT_EQ(d->lblPfad->text(), MitTrenner(wurzel));
    EXPECT_FALSE(d->btnAlleZeigenl->isEnabled());
    EXPECT_FALSE(d->btnMarkierteAnzeigen->isEnabled());
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("0 Elemente    0 Elemente ausgewählt"));
}

TEST_F(SucheTest, FehlenderLadeordner_WirdDokumentenordnerOderHeim)
{
    LadeVerzeichnis = wurzel + QStringLiteral("/gibtsnicht/");
    Zeigen();
    EXPECT_TRUE(QFileInfo(LadeVerzeichnis).isDir());
    EXPECT_TRUE(LadeVerzeichnis.endsWith(QLatin1Char('/')));
}

TEST_F(SucheTest, Durchsuchen_ListeSortiertZaehlerUndKnopf)
{
    Zeigen();
    d->btnDurchsuchen->click();
    EXPECT_EQ(Relativ(wurzel, Eintraege(*d)),
              (QStringList{"a.b.Tif", "sub/deep/v.png", "sub/w.G3", "x.jpg", "Y.JPG", "z.jpeg"}));
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("6 Elemente    0 Elemente ausgewählt"));
    EXPECT_TRUE(d->btnAlleZeigenl->isEnabled());
    EXPECT_FALSE(d->btnMarkierteAnzeigen->isEnabled());
}

TEST_F(SucheTest, Durchsuchen_OhneTrefferBleibtAlleAnzeigenGesperrt)
{
    LadeVerzeichnis = MitTrenner(FrischerOrdner(QStringLiteral("ohne")));
    Leer(LadeVerzeichnis + QStringLiteral("liesmich.txt"));
    Zeigen();
    d->btnDurchsuchen->click();
    EXPECT_EQ(d->lbSuche->count(), 0);
    EXPECT_FALSE(d->btnAlleZeigenl->isEnabled());
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("0 Elemente    0 Elemente ausgewählt"));
}

TEST_F(SucheTest, AlleAnzeigen_UebernimmtDieListeUndDenOrdner)
{
    Zeigen();
    d->btnDurchsuchen->click();
    const QStringList erwartet = Eintraege(*d);
    d->btnAlleZeigenl->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(BildListe, erwartet);
    EXPECT_EQ(LadeVerzeichnis, MitTrenner(wurzel));
}

TEST_F(SucheTest, AuswahlAnzeigen_OhneMarkeBleibtOffenMitMarkeNurDiese)
{
    Zeigen();
    d->btnDurchsuchen->click();
    d->btnMarkierteAnzeigen->setEnabled(true);
    d->btnMarkierteAnzeigen->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(BildListe, QStringList{QStringLiteral("/vorher/eins.png")});

    d->lbSuche->item(3)->setSelected(true);
    d->lbSuche->item(1)->setSelected(true);
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("6 Elemente    2 Elemente ausgewählt"));
    EXPECT_TRUE(d->btnMarkierteAnzeigen->isEnabled());
    d->btnMarkierteAnzeigen->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(BildListe, (QStringList{d->lbSuche->item(1)->text(), d->lbSuche->item(3)->text()}));
    EXPECT_EQ(LadeVerzeichnis, MitTrenner(wurzel + QStringLiteral("/sub/deep")));
}

TEST_F(SucheTest, ZuVieleDateien_MeldungUndDieErstenTreffer)
{
    d->MaxTreffer = 2;
    Zeigen();
    TMeldungsFaenger faenger;
    d->btnDurchsuchen->click();
    EXPECT_EQ(faenger.texte, QStringList{QStringLiteral("Zu viele Dateien.")});
    EXPECT_EQ(d->lbSuche->count(), 2);
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("2 Elemente    0 Elemente ausgewählt"));
    EXPECT_TRUE(d->btnAlleZeigenl->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SucheTest, Ordnerwechsel_LeertListeUndZaehler)
{
    Zeigen();
    d->btnDurchsuchen->click();
    ASSERT_GT(d->lbSuche->count(), 0);
    const QModelIndex sub = d->ShellModell->index(wurzel + QStringLiteral("/sub"));
    ASSERT_TRUE(sub.isValid());
    d->ShellTreeView1->setCurrentIndex(sub);
    EXPECT_EQ(d->lbSuche->count(), 0);
    EXPECT_EQ(d->SuchOrdner, wurzel + QStringLiteral("/sub/"));
    EXPECT_EQ(d->lblPfad->text(), wurzel + QStringLiteral("/sub/"));
    EXPECT_FALSE(d->btnAlleZeigenl->isEnabled());
    d->btnDurchsuchen->click();
    EXPECT_EQ(Relativ(wurzel, Eintraege(*d)), (QStringList{"sub/deep/v.png", "sub/w.G3"}));
}

TEST_F(SucheTest, ErneutZeigen_GleicherOrdnerBehaeltDieListe)
{
    Zeigen();
    d->btnDurchsuchen->click();
    d->hide();
    Zeigen();
    EXPECT_EQ(d->lbSuche->count(), 6);
    EXPECT_TRUE(d->btnAlleZeigenl->isEnabled());
}

TEST_F(SucheTest, VieleDateien_InEinemZugGelistet)
{
    const QString r = FrischerOrdner(QStringLiteral("viele"));
    for (int o = 0; o < 20; ++o) {
        QDir().mkpath(r + QStringLiteral("/o%1").arg(o));
        for (int i = 0; i < 500; ++i) {
            QFile datei(r + QStringLiteral("/o%1/b%2.jpg").arg(o).arg(i, 3, 10, QLatin1Char('0')));
            ASSERT_TRUE(datei.open(QIODevice::WriteOnly));
        }
    }
    LadeVerzeichnis = MitTrenner(r);
    Zeigen();
    d->btnDurchsuchen->click();
    ASSERT_EQ(d->lbSuche->count(), 10000);
    EXPECT_EQ(d->lbSuche->item(0)->text(), r + QStringLiteral("/o0/b000.jpg"));
    EXPECT_EQ(d->lbSuche->item(9999)->text(), r + QStringLiteral("/o9/b499.jpg"));
    d->lbSuche->selectAll();
    EXPECT_EQ(d->lblElemente->text(), QStringLiteral("10000 Elemente    10000 Elemente ausgewählt"));
}

// ---- The main window's search command -------------------------------------------------------

class SuchBefehlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite()
    {
        delete frmZelvanoMain;
        frmSuche = nullptr;
    }
};

TEST_F(SuchBefehlTest, AlleAnzeigen_ZeigtDasErsteBildDerListe)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    ASSERT_TRUE(f->mDatSuchen->isEnabled());
    const QString r = FrischerOrdner(QStringLiteral("befehl"));
    QImage bild(17, 5, QImage::Format_RGB888);
    bild.fill(Qt::darkRed);
    ASSERT_TRUE(bild.save(r + QStringLiteral("/b.png")));
    bild = bild.scaled(23, 5);
    ASSERT_TRUE(bild.save(r + QStringLiteral("/a.png")));
    LadeVerzeichnis = MitTrenner(r);
    BildBearbeitet = false;
    bool gedrueckt = false;
    QTimer waechter;
    waechter.setInterval(10);
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        if (frmSuche && frmSuche->isVisible() && !QApplication::overrideCursor()) {
            waechter.stop();
            frmSuche->btnDurchsuchen->click();
            frmSuche->btnAlleZeigenl->click();
            gedrueckt = true;
        }
    });
    waechter.start();
    f->mDatSuchen->trigger();
    ASSERT_TRUE(gedrueckt);
    EXPECT_EQ(BildListe, (QStringList{r + QStringLiteral("/a.png"), r + QStringLiteral("/b.png")}));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 23);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(SuchBefehlTest, Abbrechen_LaesstListeUndBild)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    const QStringList vorher = BildListe;
    const int index = BildIndex;
    TModalSchliesser schliesser;
    f->mDatSuchen->trigger();
    EXPECT_GE(schliesser.geschlossen, 1);
    EXPECT_EQ(BildListe, vorher);
    EXPECT_EQ(BildIndex, index);
}

} // namespace
