// The edit menu's turns, delete, copy and paste, and scanning into the main
// window from SANE's "test" backend.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <unistd.h>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "DialogHilfen.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "gear/GearScan.h"

namespace {

// SANE reads the folder named by SANE_CONFIG_DIR (set once for this program
// by the scanner tests' environment).
QString SaneOrdner()
{
    return QDir::tempPath() + QStringLiteral("/sane-konfig");
}

void SaneKonfigurieren(bool mitTest)
{
    QDir().mkpath(SaneOrdner());
    setenv("SANE_CONFIG_DIR", QFile::encodeName(SaneOrdner()).constData(), 1);
    DateiSchreiben(SaneOrdner() + QStringLiteral("/dll.conf"), mitTest ? QByteArray("test\n") : QByteArray());
    DateiSchreiben(SaneOrdner() + QStringLiteral("/test.conf"),
                   "number_of_devices 1\nresolution 100\ntl_x 0\ntl_y 0\nbr_x 20\nbr_y 10\nmode Color\n");
    GearScanBeenden();
}


class Bearbeiten : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TMeldungsFaenger faenger;
        new TfrmZelvanoMain();
        // The settings read by the constructor would start the open dialog.
        OeffnenFensterLaden = false;
        frmZelvanoMain->FormShow({});
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        alarm(60);
        MaxRueck = 10;
        BildBearbeitet = false;
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        ordner = FrischerOrdner(QStringLiteral("bearbeiten"));
        BildListe.clear();
        // Three files told apart by their widths 10, 20, 30.
        for (int i = 1; i <= 3; ++i) {
            const QString pfad = ordner + QStringLiteral("/bild%1.png").arg(i);
            QImage bild(10 * i, 5, QImage::Format_RGB888);
            bild.fill(Qt::yellow);
            bild.save(pfad);
            BildListe << pfad;
        }
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 10);
    }
    void TearDown() override
    {
        alarm(0);
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        GearScanBeenden();
    }

    void Zeigen(const QImage& bild, const QString& name)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

QImage DreiMalZwei()
{
    QImage bild(3, 2, QImage::Format_RGB888);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bild.setPixel(x, y, qRgb(40 * x + 10, 100 * y + 20, 7));
    return bild;
}

// ---- Turns ----------------------------------------------------------------

TEST_F(Bearbeiten, PlusUndMinusNeunzigStellenDasBildWiederHer)
{
    Zeigen(DreiMalZwei(), QStringLiteral("dm.png"));
    const TBitmap vorher(f->OriginalBild.Bild());
    f->mBeaPlus90GradExecute();
    EXPECT_EQ(f->OriginalBild.Width(), 2);
    EXPECT_EQ(f->OriginalBild.Height(), 3);
    // Clockwise: the top row is the left column read bottom-up.
    EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), vorher.Bild().pixel(0, 1));
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    f->mBeaMinus90GradExecute();
    EXPECT_EQ(RueckgaengigAnzahl, 2);
    EXPECT_TRUE(f->OriginalBild == vorher);
    EXPECT_TRUE(BildBearbeitet);

    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(f->OriginalBild.Width(), 2);
    EXPECT_TRUE(BildBearbeitet);
    f->mBeaRueckgaengigExecute();
    EXPECT_TRUE(f->OriginalBild == vorher);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(Bearbeiten, SpiegelnUndHalbeDrehungSetzenBearbeitet)
{
    Zeigen(DreiMalZwei(), QStringLiteral("dm.png"));
    const QImage vorher = f->OriginalBild.Bild();
    f->mBeaHorizontalExecute();
    EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), vorher.pixel(2, 0));
    f->mBeaVertikalExecute();
    EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), vorher.pixel(2, 1));
    f->mBea180GradExecute();
    EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), vorher.pixel(0, 0));
    EXPECT_EQ(RueckgaengigAnzahl, 3);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(f->StatusPanel[4]->text(), QStringLiteral("Bearbeitet"));
}

// ---- Delete ---------------------------------------------------------------

TEST_F(Bearbeiten, LoeschenFragtMitDemVollenPfad)
{
    const QString pfad = BildListe.at(0);
    TMeldungsFaenger faenger(mbNein);
    f->mBeaLoeschenExecute();
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte.at(0), QStringLiteral("Soll die Datei mit dem Namen           \n\n") + pfad +
                                       QStringLiteral("\n\nwirklich gelöscht werden ?"));
    EXPECT_TRUE(QFileInfo::exists(pfad));
    EXPECT_EQ(BildListe.size(), 3);
}

TEST_F(Bearbeiten, LoeschenDerLetztenDateiZeigtDieNeueLetzte)
{
    BildIndex = 2;
    f->BildAnzeigen();
    const QString pfad = BildListe.at(2);
    TMeldungsFaenger faenger(mbJa);
    f->mBeaLoeschenExecute();
    EXPECT_FALSE(QFileInfo::exists(pfad));
    ASSERT_EQ(BildListe.size(), 2);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
}

TEST_F(Bearbeiten, LoeschenInDerMitteZeigtDieFolgende)
{
    BildIndex = 1;
    f->BildAnzeigen();
    TMeldungsFaenger faenger(mbJa);
    f->mBeaLoeschenExecute();
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 30);
}

TEST_F(Bearbeiten, LoeschenDerEinzigenDateiLeertDasFenster)
{
    Zeigen(DreiMalZwei(), QStringLiteral("einzig.png"));
    const QString pfad = BildListe.at(0);
    f->mBeaHorizontalExecute();   // edited: deleting does not ask about the edit
    TMeldungsFaenger faenger(mbJa);
    f->mBeaLoeschenExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(pfad));
    EXPECT_TRUE(BildListe.isEmpty());
    EXPECT_EQ(BildQuelle, BildQuelleKeine);
    EXPECT_EQ(f->Gear1->ImageBitsPerPixel(), 0);
    EXPECT_TRUE(f->AnzeigeBild->isHidden());
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
    for (QAction* a : {f->mBeaHorizontal, f->mBeaPlus90Grad, f->mBeaKopieren, f->mBeaLoeschen, f->mBeaRueckgaengig})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(Bearbeiten, LoeschenEinerSchonFehlendenDateiMeldetDasUndLaesstAlles)
{
    const QString pfad = BildListe.at(0);
    QFile::remove(pfad);   // deleted by another program meanwhile
    TMeldungsFaenger faenger(mbJa);
    f->mBeaLoeschenExecute();
    ASSERT_EQ(faenger.texte.size(), 2);
    EXPECT_EQ(faenger.texte.at(1),
              QStringLiteral("Die Datei mit dem Namen \n") + pfad + QStringLiteral("\nkonnte nicht gelöscht werden."));
    EXPECT_EQ(BildListe.size(), 3);
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 10);
}

// ---- Clipboard ------------------------------------------------------------

TEST_F(Bearbeiten, KopieEinesEinBitBildesIstZweifarbig)
{
    QImage mono(17, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    for (int x = 0; x < 17; x += 2)
        mono.setPixel(x, 2, 1);
    Zeigen(mono, QStringLiteral("mono.png"));
    ASSERT_EQ(BildFarbtiefe, 1);
    f->mBeaKopierenExecute();
    const QImage ablage = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(ablage.isNull());
    EXPECT_EQ(ablage.size(), QSize(17, 5));
    EXPECT_EQ(ablage.convertToFormat(QImage::Format_RGB32).pixel(0, 2), qRgb(255, 255, 255));
    EXPECT_EQ(ablage.convertToFormat(QImage::Format_RGB32).pixel(1, 2), qRgb(0, 0, 0));
    // The offscreen clipboard hands back what was put in.
    EXPECT_EQ(ablage.depth(), 1);
    EXPECT_EQ(ablage.colorCount(), 2);
}

TEST_F(Bearbeiten, KopierenUndEinfuegenBeiAchtBitBleibtAchtBit)
{
    QImage bild(20, 4, QImage::Format_Indexed8);
    QList<QRgb> farben;
    for (int i = 0; i < 20; ++i)
        farben << qRgb(i * 12, 200 - i * 9, 50);
    bild.setColorTable(farben);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 20; ++x)
            bild.scanLine(y)[x] = uint8_t(x);
    Zeigen(bild, QStringLiteral("p8.png"));
    ASSERT_EQ(BildFarbtiefe, 8);
    const TBitmap vorher(f->OriginalBild.Bild());
    f->mBeaKopierenExecute();
    EXPECT_EQ(QGuiApplication::clipboard()->image().format(), QImage::Format_Indexed8);
    f->mBeaEinfuegenExecute();
    EXPECT_EQ(BildQuelle, BildQuelleZwischenablage);
    EXPECT_EQ(BildFarbtiefe, 8);
    EXPECT_TRUE(f->OriginalBild == vorher);
}

TEST_F(Bearbeiten, EinfuegenVerwirftAlphaUndGibtVierundzwanzigBit)
{
    QImage bild(6, 3, QImage::Format_ARGB32);
    bild.fill(qRgba(200, 100, 50, 0));
    QGuiApplication::clipboard()->setImage(bild);
    f->mBeaEinfuegenExecute();
    EXPECT_EQ(BildQuelle, BildQuelleZwischenablage);
    EXPECT_EQ(BildFarbtiefe, 24);
    EXPECT_TRUE(BildListe.isEmpty());
    EXPECT_EQ(BildIndex, 0);
    ASSERT_EQ(f->OriginalBild.Width(), 6);
    EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);
}

TEST_F(Bearbeiten, EinfuegenNachNeinBehaeltBearbeitet)
{
    f->mBeaHorizontalExecute();
    ASSERT_TRUE(BildBearbeitet);
    QImage bild(7, 7, QImage::Format_RGB32);
    bild.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(bild);
    TMeldungsFaenger faenger(mbNein);
    f->mBeaEinfuegenExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(f->OriginalBild.Width(), 7);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(f->StatusPanel[4]->text(), QStringLiteral("Bearbeitet"));
}

TEST_F(Bearbeiten, EinfuegenMitAbbrechenAendertNichts)
{
    f->mBeaHorizontalExecute();
    QImage bild(7, 7, QImage::Format_RGB32);
    bild.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(bild);
    TMeldungsFaenger faenger(mbAbbrechen);
    f->mBeaEinfuegenExecute();
    EXPECT_EQ(f->OriginalBild.Width(), 10);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
}

TEST_F(Bearbeiten, EinfuegenOhneBildInDerAblageAendertNichts)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("kein Bild"));
    TMeldungsFaenger faenger;
    f->mBeaEinfuegenExecute();
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(f->OriginalBild.Width(), 10);
    EXPECT_EQ(BildListe.size(), 3);
}

// ---- Scanner --------------------------------------------------------------

TEST_F(Bearbeiten, ScannenAusDemTestGeraetGibtEinBild)
{
    SaneKonfigurieren(true);
    f->mBeaHorizontalExecute();
    const TWennOffen<QDialog> optionen("dlgScanOptionen", [](QDialog* d) {
        auto* modus = d->findChild<QComboBox*>(QStringLiteral("cbModus"));
        modus->setCurrentIndex(modus->findText(QStringLiteral("Graustufen (8 Bit)")));
        auto* aufloesung = d->findChild<QComboBox*>(QStringLiteral("cbAufloesung"));
        aufloesung->setCurrentIndex(aufloesung->findText(QStringLiteral("100")));
        d->accept();
    });
    TMeldungsFaenger faenger(mbNein);
    f->mDatScannenExecute();
    EXPECT_EQ(BildQuelle, BildQuelleScanner);
    EXPECT_EQ(BildFarbtiefe, 8);
    EXPECT_EQ(f->OriginalBild.Width(), 78);    // 20 x 10 mm at 100 dpi
    EXPECT_EQ(f->OriginalBild.Height(), 39);
    EXPECT_TRUE(BildListe.isEmpty());
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_TRUE(BildBearbeitet);   // left as it was
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(Bearbeiten, AbgebrochenerScanLaesstKeinBild)
{
    SaneKonfigurieren(true);
    const TWennOffen<QDialog> optionen("dlgScanOptionen", [](QDialog* d) { d->reject(); });
    TMeldungsFaenger faenger;
    f->mDatScannenExecute();
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(BildQuelle, BildQuelleKeine);
    EXPECT_EQ(f->Gear1->ImageBitsPerPixel(), 0);
    EXPECT_TRUE(BildListe.isEmpty());
    EXPECT_FALSE(f->mBeaHorizontal->isEnabled());
}

TEST_F(Bearbeiten, OhneScannerKommtEineMeldungStattHaengen)
{
    SaneKonfigurieren(false);
    TMeldungsFaenger faenger;
    f->mDatScannerauswaehlenExecute();
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_FALSE(faenger.texte.at(0).isEmpty());
    // The options dialog may come first; then the scan finds no device.
    const TWennOffen<QDialog> optionen("dlgScanOptionen", [](QDialog* d) { d->accept(); });
    f->mDatScannenExecute();
    ASSERT_EQ(faenger.texte.size(), 2);
    EXPECT_FALSE(faenger.texte.at(1).isEmpty());
    EXPECT_EQ(BildQuelle, BildQuelleKeine);
}

} // namespace
