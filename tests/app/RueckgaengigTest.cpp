// The undo store: numbered BMP files in the temporary folder, the newest
// highest, capped at MaxRueck, and the undo command on the main window.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <stdexcept>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"

namespace {

class Rueckgaengig : public ::testing::Test {
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
        altMaxRueck = MaxRueck;
        MaxRueck = 10;
        ::mkdir(QFile::encodeName(TempVerzeichnis).constData(), 0700);
        const QString ordner = FrischerOrdner(QStringLiteral("rueckgaengig"));
        pfad = ordner + QStringLiteral("/bild.png");
        QImage bild(4, 2, QImage::Format_RGB888);
        bild.fill(QColor(0, 0, 0));
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(BildQuelle, BildQuelleDatei);
        ASSERT_EQ(RueckgaengigAnzahl, 0);
    }
    void TearDown() override
    {
        RueckgaengigLoeschen();
        MaxRueck = altMaxRueck;
        BildBearbeitet = false;
        ::mkdir(QFile::encodeName(TempVerzeichnis).constData(), 0700);
    }

    // Edit n turns the image into a uniform grey of value n.
    void Bearbeiten(int n)
    {
        f->BearbeitungAbschliessen([n](TBitmap& b) { b.Fill(uint8_t(n), uint8_t(n), uint8_t(n)); });
    }
    static int Grau(const TBitmap& b) { return b.ScanLine(0)[0]; }
    static int GrauInDatei(int k)
    {
        QImageReader leser(RueckgaengigPrefix + QString::number(k), "BMP");
        const QImage bild = leser.read();
        return bild.isNull() ? -1 : qRed(bild.pixel(0, 0));
    }
    static bool DateiDa(int k) { return QFileInfo::exists(RueckgaengigPrefix + QString::number(k)); }

    TfrmZelvanoMain* f = nullptr;
    QString pfad;
    int altMaxRueck = 10;
};

TEST_F(Rueckgaengig, ElfSchritteBeiZehnBehaltenDieSchritteZweiBisElf)
{
    for (int n = 1; n <= 11; ++n)
        Bearbeiten(n * 10);
    EXPECT_EQ(RueckgaengigAnzahl, 10);
    // Step s holds the image before edit s, i.e. after edit s - 1.
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(GrauInDatei(k), k * 10) << "Datei " << k;
    EXPECT_FALSE(DateiDa(11));
}

TEST_F(Rueckgaengig, ZehnUndosFuehrenZumZweitenSchrittUndSperrenDenBefehl)
{
    for (int n = 1; n <= 11; ++n)
        Bearbeiten(n * 10);
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(AktionRegelFrei(f->mBeaRueckgaengig)) << i;
        f->mBeaRueckgaengigExecute();
        EXPECT_EQ(Grau(f->OriginalBild), (10 - i) * 10) << i;
        // The first of eleven steps was dropped: even the oldest stored
        // picture is not the file's.
        EXPECT_TRUE(BildBearbeitet) << i;
    }
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(AktionRegelFrei(f->mBeaRueckgaengig));
    for (int k = 1; k <= 11; ++k)
        EXPECT_FALSE(DateiDa(k)) << k;
}

TEST_F(Rueckgaengig, MaxRueckNullSchreibtKeineDatei)
{
    MaxRueck = 0;
    const QStringList liste = QDir(TempVerzeichnis).entryList(QDir::Files);
    const QSet<QString> vorher(liste.begin(), liste.end());
    Bearbeiten(50);
    Bearbeiten(60);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    const QStringList nachher = QDir(TempVerzeichnis).entryList(QDir::Files);
    for (const QString& name : nachher)
        EXPECT_TRUE(vorher.contains(name) || name == QFileInfo(TempBitmapDatei).fileName()) << name.toStdString();
    EXPECT_FALSE(AktionRegelFrei(f->mBeaRueckgaengig));
    EXPECT_TRUE(BildBearbeitet);
}

TEST_F(Rueckgaengig, GesenktesMaxRueckGiltBeimNaechstenSchritt)
{
    for (int n = 1; n <= 5; ++n)
        Bearbeiten(n * 10);
    MaxRueck = 3;
    Bearbeiten(60);
    EXPECT_EQ(RueckgaengigAnzahl, 3);
    EXPECT_EQ(GrauInDatei(1), 30);
    EXPECT_EQ(GrauInDatei(2), 40);
    EXPECT_EQ(GrauInDatei(3), 50);
    for (int k = 4; k <= 6; ++k)
        EXPECT_FALSE(DateiDa(k)) << k;
}

TEST_F(Rueckgaengig, DateinamenSindProzessnummerZeitnummerBackZahl)
{
    Bearbeiten(10);
    Bearbeiten(20);
    const QRegularExpression muster(
        QStringLiteral("^%1-\\d{1,6}Back\\d+$").arg(QCoreApplication::applicationPid()));
    for (int k = 1; k <= 2; ++k) {
        const QString name = QFileInfo(RueckgaengigPrefix + QString::number(k)).fileName();
        EXPECT_TRUE(muster.match(name).hasMatch()) << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(RueckgaengigPrefix + QStringLiteral("1")).absolutePath() + QLatin1Char('/'),
              QDir(TempVerzeichnis).absolutePath() + QLatin1Char('/'));
}

TEST_F(Rueckgaengig, AchtBitBildKommtAlsAchtBitZurueck)
{
    // 40 colours in a palette PNG.
    QImage bild(40, 3, QImage::Format_Indexed8);
    QList<QRgb> farben;
    for (int i = 0; i < 40; ++i)
        farben << qRgb(i * 6, 255 - i * 5, (i * 37) % 256);
    bild.setColorTable(farben);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 40; ++x)
            bild.scanLine(y)[x] = uint8_t((x + y) % 40);
    const QString achtBit = FrischerOrdner(QStringLiteral("rueckgaengig8")) + QStringLiteral("/p8.png");
    ASSERT_TRUE(bild.save(achtBit));
    BildListe = QStringList{achtBit};
    BildIndex = 0;
    f->BildAnzeigen();
    ASSERT_EQ(BildFarbtiefe, 8);
    const TBitmap vorher(f->OriginalBild.Bild());

    f->mBeaHorizontalExecute();
    QImageReader leser(RueckgaengigPrefix + QStringLiteral("1"), "BMP");
    const QImage datei = leser.read();
    ASSERT_FALSE(datei.isNull());
    EXPECT_EQ(datei.depth(), 8);
    EXPECT_LE(datei.colorCount(), 256);

    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(BildFarbtiefe, 8);
    EXPECT_EQ(f->Gear1->ImageBitsPerPixel(), 8);
    EXPECT_LE(f->Gear1->Picture().colorCount(), 256);
    EXPECT_EQ(f->OriginalBild.Width(), 40);
    // Forty colours survive an octree to 256 unchanged.
    EXPECT_TRUE(f->OriginalBild == vorher);
}

TEST_F(Rueckgaengig, FehlgeschlagenerSchrittBehaeltZaehlerUndWarntEinmal)
{
    Bearbeiten(10);
    ASSERT_EQ(RueckgaengigAnzahl, 1);
    ASSERT_TRUE(QDir(TempVerzeichnis).removeRecursively());
    TMeldungsFaenger faenger;
    Bearbeiten(20);
    Bearbeiten(30);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.at(0).contains(QStringLiteral("Rückgängig")));
    EXPECT_EQ(Grau(f->OriginalBild), 30);   // the edits themselves went ahead
}

TEST_F(Rueckgaengig, FehlgeschlagenerSchrittAmLimitVerliertKeineAltenSchritte)
{
    MaxRueck = 2;
    Bearbeiten(10);
    Bearbeiten(20);
    // A folder in place of the next file makes just this write fail.
    ASSERT_TRUE(QDir().mkpath(RueckgaengigPrefix + QStringLiteral("3")));
    TMeldungsFaenger faenger;
    Bearbeiten(30);
    QDir(RueckgaengigPrefix + QStringLiteral("3")).removeRecursively();
    EXPECT_EQ(RueckgaengigAnzahl, 2);
    EXPECT_EQ(GrauInDatei(1), 0);
    EXPECT_EQ(GrauInDatei(2), 10);
}

TEST_F(Rueckgaengig, UnlesbarerSchrittZeigtNieDasFehlerbild)
{
    Bearbeiten(10);
    Bearbeiten(20);
    ASSERT_EQ(RueckgaengigAnzahl, 2);
    QFile::remove(RueckgaengigPrefix + QStringLiteral("2"));   // gone behind our back
    TMeldungsFaenger faenger;
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 4);
    EXPECT_EQ(Grau(f->OriginalBild), 20);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(faenger.texte.size(), 1);
    // The remaining step still works.
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(Grau(f->OriginalBild), 0);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(Rueckgaengig, NeuesBildLeertDenSpeicher)
{
    Bearbeiten(10);
    Bearbeiten(20);
    f->BildAnzeigen();
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(DateiDa(1));
    EXPECT_FALSE(DateiDa(2));
}

TEST_F(Rueckgaengig, NachVerworfenenSchrittenBleibtBearbeitetGesetzt)
{
    MaxRueck = 2;
    for (int n = 1; n <= 4; ++n)
        Bearbeiten(n * 10);
    f->mBeaRueckgaengigExecute();
    EXPECT_TRUE(BildBearbeitet);
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_EQ(Grau(f->OriginalBild), 20);
    // 20 is not the loaded file: closing or paging must still ask.
    EXPECT_TRUE(BildBearbeitet);
}

TEST_F(Rueckgaengig, OhneVerworfeneSchritteFuehrtDasLetzteUndoZurDatei)
{
    MaxRueck = 3;
    for (int n = 1; n <= 3; ++n)
        Bearbeiten(n * 10);
    for (int i = 0; i < 3; ++i)
        f->mBeaRueckgaengigExecute();
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(Rueckgaengig, NeuesLadenVergisstVerworfeneSchritte)
{
    MaxRueck = 1;
    Bearbeiten(10);
    Bearbeiten(20);
    ASSERT_TRUE(RueckgaengigVerworfen);
    f->BildAnzeigen();
    EXPECT_FALSE(RueckgaengigVerworfen);
    Bearbeiten(30);
    f->mBeaRueckgaengigExecute();
    EXPECT_FALSE(BildBearbeitet);
}

} // namespace

namespace {

TEST_F(Rueckgaengig, FehlgeschlagenerBefehlBeiVollemSpeicherNimmtSeinenSchrittZurueck)
{
    MaxRueck = 2;
    Bearbeiten(10);
    Bearbeiten(20);
    ASSERT_EQ(RueckgaengigAnzahl, 2);
    TMeldungsFaenger faenger;
    EXPECT_FALSE(f->GearBefehl([](TGear&, int) { throw std::runtime_error("kaputt"); }));
    EXPECT_FALSE(faenger.texte.isEmpty());
    EXPECT_EQ(Grau(f->OriginalBild), 20);
    // The step of the failed command would undo to the picture on screen.
    ASSERT_EQ(RueckgaengigAnzahl, 1);
    EXPECT_FALSE(DateiDa(2));
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(Grau(f->OriginalBild), 10);
    EXPECT_TRUE(BildBearbeitet);
}

} // namespace
