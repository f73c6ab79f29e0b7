// Format table, open mask, type lists and the small shared helpers.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include <memory>
#include "TestHilfen.h"

namespace {

class FormatTabelleTest : public ::testing::Test {
protected:
    void SetUp() override { FormatTabelleAufbauen(); }
};

QStringList ZeilenText(QTreeWidget& liste, int spalte)
{
    QStringList texte;
    for (int i = 0; i < liste.topLevelItemCount(); ++i)
        texte << liste.topLevelItem(i)->text(spalte);
    return texte;
}

}  // namespace

// ---- Format table -------------------------------------------------------

TEST_F(FormatTabelleTest, Tabelle_ZeilenMitFestemTeilUndSpeicherId)
{
    EXPECT_EQ(FormatTabelle[0], QStringLiteral("BMP Ungepackt    1111L 2"));
    EXPECT_EQ(FormatTabelle[3], QStringLiteral("G3  CCITT G3     0001L 196634"));
    EXPECT_EQ(FormatTabelle[5], QStringLiteral("CLP Win Clipboard1111L 5"));
    EXPECT_EQ(FormatTabelle[7], QStringLiteral("DCX Gepackt      1111LM8"));
    EXPECT_EQ(FormatTabelle[16], QStringLiteral("JPG Progressive  1100  "));
    EXPECT_EQ(FormatTabelle[18], QStringLiteral("LV  LaserView    0001L "));
    EXPECT_EQ(FormatTabelle[35], QStringLiteral("TIF LZW gepackt  1111LM524328"));
    EXPECT_EQ(FormatTabelle[47], QStringLiteral("XWD X-Win Dump   1111L 47"));
}

TEST_F(FormatTabelleTest, Tabelle_39LesbarUnd31Schreibbar)
{
    int lesbar = 0, schreibbar = 0;
    for (const QString& zeile : FormatTabelle) {
        ASSERT_GE(zeile.size(), 23) << zeile.toStdString();
        EXPECT_EQ(zeile.at(3), QLatin1Char(' ')) << zeile.toStdString();
        if (zeile.at(21) == QLatin1Char('L'))
            ++lesbar;
        if (zeile.size() > 23)
            ++schreibbar;
    }
    EXPECT_EQ(lesbar, 39);
    EXPECT_EQ(schreibbar, 31);
}

TEST_F(FormatTabelleTest, Tabelle_SchluesselSindEindeutig)
{
    QStringList schluessel;
    for (const QString& zeile : FormatTabelle)
        schluessel << FormatSchluessel(zeile).trimmed();
    schluessel.removeDuplicates();
    EXPECT_EQ(schluessel.size(), FormatZeilenAnzahl);
    EXPECT_EQ(FormatSchluessel(FormatTabelle[0]), QStringLiteral("BMP Ungepackt    "));
}

TEST_F(FormatTabelleTest, SpeicherId_LeerzeichenUmDenSchluesselZaehlenNicht)
{
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("  JPG JPEG-Bitmap ")), 21);
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("BMP Ungepackt    ")), 2);
}

TEST_F(FormatTabelleTest, SpeicherId_KompressionMalFormatnummer)
{
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("TIF Fax G3 2D")), 327720);
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("TIF Fax G3 2D")), 5 * 65536 + 40);
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("RLE Gepackt")), 7 * 65536 + 2);
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("PBM RAW")), 65564);
}

TEST_F(FormatTabelleTest, SpeicherId_ZeileOhneIdGibtNull)
{
    EXPECT_TRUE(FormatZeileGueltig(QStringLiteral("ICO Windows-Icon")));
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("ICO Windows-Icon")), 0);
    EXPECT_EQ(FormatSpeicherId(QStringLiteral("JPG Progressive")), 0);
}

TEST_F(FormatTabelleTest, Farbtiefen_HoechsteUndNiedrigste)
{
    EXPECT_EQ(FormatHoechsteFarbtiefe(QStringLiteral("SGI SGI- Bitmap")), 4);
    EXPECT_EQ(FormatNiedrigsteFarbtiefe(QStringLiteral("SGI SGI- Bitmap")), 1);
    EXPECT_EQ(FormatHoechsteFarbtiefe(QStringLiteral("PCD Photo CD")), 24);
    EXPECT_EQ(FormatNiedrigsteFarbtiefe(QStringLiteral("PCD Photo CD")), 24);
    EXPECT_EQ(FormatHoechsteFarbtiefe(QStringLiteral("JPG JPEG-Bitmap")), 24);
    EXPECT_EQ(FormatNiedrigsteFarbtiefe(QStringLiteral("JPG JPEG-Bitmap")), 8);
    EXPECT_EQ(FormatNiedrigsteFarbtiefe(QStringLiteral("CUT Halo-CUT")), 8);
    EXPECT_EQ(FormatFarbtiefen(QStringLiteral("PNM Ungepackt")), QStringLiteral("1101"));
}

TEST_F(FormatTabelleTest, Schluessel_UnbekannterOderKleingeschriebenerWirdAbgelehnt)
{
    for (const QString& falsch : {QStringLiteral("jpg jpeg-bitmap"), QStringLiteral("JPG"),
                                  QStringLiteral("JPG JPEG"), QString(), QStringLiteral("   "),
                                  QStringLiteral("XYZ Unbekannt")}) {
        EXPECT_FALSE(FormatZeileGueltig(falsch)) << falsch.toStdString();
        EXPECT_EQ(FormatSpeicherId(falsch), 0);
        EXPECT_EQ(FormatFarbtiefen(falsch), QString());
        EXPECT_EQ(FormatHoechsteFarbtiefe(falsch), 0);
        EXPECT_EQ(FormatNiedrigsteFarbtiefe(falsch), 0);
    }
}

TEST_F(FormatTabelleTest, BildMaske_40MusterEndetMitJpeg)
{
    const QString maske = BildMaskeAufbauen();
    EXPECT_EQ(maske, BildMaske);
    const QStringList muster = maske.split(QLatin1Char(';'));
    EXPECT_EQ(muster.size(), 40);
    EXPECT_EQ(muster.first(), QStringLiteral("*.BMP"));
    EXPECT_EQ(muster.last(), QStringLiteral("*.JPEG"));
    EXPECT_FALSE(maske.endsWith(QLatin1Char(';')));
    EXPECT_EQ(muster.count(QStringLiteral("*.PBM")), 1);
    EXPECT_EQ(muster.count(QStringLiteral("*.JPG")), 1);
    EXPECT_EQ(muster.count(QStringLiteral("*.TIF")), 1);
    EXPECT_TRUE(muster.contains(QStringLiteral("*.G3")));
    EXPECT_TRUE(muster.contains(QStringLiteral("*.LV")));
}

TEST_F(FormatTabelleTest, Liste_OeffnenMitZweiAlleZeilenUnd39Formaten)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 1, true, true);
    ASSERT_EQ(liste.topLevelItemCount(), 41);
    EXPECT_EQ(liste.topLevelItem(0)->text(0), QString());
    EXPECT_EQ(liste.topLevelItem(0)->text(1), QStringLiteral("Alle"));
    EXPECT_EQ(liste.topLevelItem(0)->text(2), QStringLiteral("Bilddateien"));
    EXPECT_EQ(liste.topLevelItem(1)->text(1), QStringLiteral("Alle"));
    EXPECT_EQ(liste.topLevelItem(1)->text(2), QStringLiteral("Dateien *.*"));
    EXPECT_EQ(liste.topLevelItem(2)->text(1), QStringLiteral("BMP"));
    EXPECT_FALSE(ZeilenText(liste, 2).contains(QStringLiteral("Progressive  ")));
    EXPECT_EQ(liste.currentItem(), liste.topLevelItem(0));
    EXPECT_TRUE(liste.topLevelItem(0)->isSelected());
}

TEST_F(FormatTabelleTest, Liste_SucheNurMitBildZeile)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 1, true, false);
    ASSERT_EQ(liste.topLevelItemCount(), 40);
    EXPECT_EQ(liste.topLevelItem(0)->text(2), QStringLiteral("Bilddateien"));
    EXPECT_EQ(liste.topLevelItem(1)->text(1), QStringLiteral("BMP"));
}

TEST_F(FormatTabelleTest, Liste_SpeichernMit31UngekuerztenZeilen)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 0, false, false);
    ASSERT_EQ(liste.topLevelItemCount(), 31);
    EXPECT_EQ(liste.topLevelItem(0)->text(1), QStringLiteral("BMP"));
    EXPECT_EQ(liste.topLevelItem(0)->text(2), QStringLiteral("Ungepackt    "));
    const QStringList typen = ZeilenText(liste, 1);
    EXPECT_TRUE(typen.contains(QStringLiteral("G3 ")));
    EXPECT_EQ(typen.count(QStringLiteral("TIF")), 8);
    EXPECT_FALSE(typen.contains(QStringLiteral("ICO")));
    EXPECT_EQ(liste.currentItem(), liste.topLevelItem(0));
}

TEST_F(FormatTabelleTest, Liste_AndererModusNimmtKeineFormatzeile)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 2, false, true);
    ASSERT_EQ(liste.topLevelItemCount(), 1);
    EXPECT_EQ(liste.topLevelItem(0)->text(2), QStringLiteral("Dateien *.*"));
}

TEST_F(FormatTabelleTest, Liste_ErneutesFuellenVerdoppeltNicht)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 0, false, false);
    FormatListeFuellen(&liste, 0, false, false);
    EXPECT_EQ(liste.topLevelItemCount(), 31);
}

TEST_F(FormatTabelleTest, Liste_DreiSpaltenOhneKopf)
{
    QTreeWidget liste;
    liste.resize(300, 200);
    FormatListeFuellen(&liste, 0, false, false);
    EXPECT_EQ(liste.columnCount(), 3);
    EXPECT_TRUE(liste.isHeaderHidden());
    EXPECT_TRUE(liste.updatesEnabled());
    EXPECT_EQ(liste.columnWidth(0), DpiSkalieren(24, 96));
    EXPECT_EQ(liste.columnWidth(1), DpiSkalieren(40, 96));
    const int rollbalken = liste.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &liste);
    EXPECT_EQ(liste.columnWidth(2), liste.contentsRect().width() - DpiSkalieren(65, 96) - rollbalken);
}

// ---- Error picture ------------------------------------------------------

TEST(FehlerBildTest, FehlerBild_128x128UndEinmalGebaut)
{
    const QImage& bild = FehlerBild();
    EXPECT_EQ(bild.size(), QSize(128, 128));
    EXPECT_EQ(bild.format(), QImage::Format_BGR888);
    EXPECT_EQ(&bild, &FehlerBild());
    // White ground with a red cross through the middle.
    EXPECT_EQ(bild.pixelColor(6, 64), QColor(Qt::white));
    const QColor mitte = bild.pixelColor(64, 56);
    EXPECT_GT(mitte.red(), 150);
    EXPECT_LT(mitte.green(), 60);
}

// ---- Helpers ------------------------------------------------------------

TEST(HilfenTest, GroesseAlsText_GrenzenDerEinheiten)
{
    EXPECT_EQ(GroesseAlsText(-5), QStringLiteral("0 Byte"));
    EXPECT_EQ(GroesseAlsText(0), QStringLiteral("0 Byte"));
    EXPECT_EQ(GroesseAlsText(1), QStringLiteral("1 Byte"));
    EXPECT_EQ(GroesseAlsText(1023), QStringLiteral("1023 Byte"));
    EXPECT_EQ(GroesseAlsText(1024), QStringLiteral("1 KB"));
    EXPECT_EQ(GroesseAlsText(1536), QStringLiteral("1,5 KB"));
    EXPECT_EQ(GroesseAlsText(1048575), QStringLiteral("1.024 KB"));
    EXPECT_EQ(GroesseAlsText(1048576), QStringLiteral("1 MB"));
    EXPECT_EQ(GroesseAlsText(1572864), QStringLiteral("1,5 MB"));
}

TEST(HilfenTest, GroesseAlsText_HalbeStelleRundetAufwaerts)
{
    // 1280 bytes are exactly 1.25 KB; 1.125 MB ends on a half of the second decimal.
    EXPECT_EQ(GroesseAlsText(1280), QStringLiteral("1,3 KB"));
    EXPECT_EQ(GroesseAlsText(1792), QStringLiteral("1,8 KB"));
    EXPECT_EQ(GroesseAlsText(1179648), QStringLiteral("1,13 MB"));
    EXPECT_EQ(GroesseAlsText(1100 * 1048576LL), QStringLiteral("1.100 MB"));
}

TEST(HilfenTest, GroesseAlsText_FolgtDemGebietsschema)
{
    const QLocale vorher;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(GroesseAlsText(1536), QStringLiteral("1.5 KB"));
    EXPECT_EQ(GroesseAlsText(1048575), QStringLiteral("1,024 KB"));
    QLocale::setDefault(vorher);
}

TEST(HilfenTest, DateinameGueltig_NeunVerboteneZeichen)
{
    for (const char* falsch : {"a\"b", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b"})
        EXPECT_FALSE(DateinameGueltig(QString::fromLatin1(falsch))) << falsch;
    EXPECT_TRUE(DateinameGueltig(QStringLiteral("a;b#c")));
    EXPECT_TRUE(DateinameGueltig(QStringLiteral("Bild äöü 1.jpg")));
    EXPECT_TRUE(DateinameGueltig(QString()));
}

TEST(HilfenTest, PfadVerbinden_TrennerNurEinmal)
{
    EXPECT_EQ(PfadVerbinden(QStringLiteral("/x/"), QStringLiteral("y")), QStringLiteral("/x/y"));
    EXPECT_EQ(PfadVerbinden(QStringLiteral("/x"), QStringLiteral("y")), QStringLiteral("/x/y"));
    EXPECT_EQ(MitTrenner(QStringLiteral("/x")), QStringLiteral("/x/"));
    EXPECT_EQ(MitTrenner(QStringLiteral("/x/")), QStringLiteral("/x/"));
}

TEST(HilfenTest, PfadVerbinden_LeererOrdnerWirdNichtZurWurzel)
{
    EXPECT_EQ(MitTrenner(QString()), QString());
    EXPECT_EQ(PfadVerbinden(QString(), QStringLiteral("y")), QStringLiteral("y"));
}

TEST(HilfenTest, Ordner_TempUndDokumenteEndenMitTrenner)
{
    EXPECT_EQ(TempPfad(), QDir::tempPath() + QLatin1Char('/'));
    const QString dokumente = SpezialOrdnerPfad(CSIDL_PERSONAL);
    ASSERT_FALSE(dokumente.isEmpty());
    EXPECT_TRUE(dokumente.endsWith(QLatin1Char('/')));
    EXPECT_EQ(SpezialOrdnerPfad(7), QString());
}

TEST(HilfenTest, DateiGroesse_FehlendGibtMinusEins)
{
    const QString ordner = FrischerOrdner(QStringLiteral("groesse"));
    const QString datei = ordner + QStringLiteral("/fuenf.bin");
    DateiSchreiben(datei, QByteArray("12345"));
    EXPECT_EQ(DateiGroesse(datei), 5);
    EXPECT_EQ(DateiGroesse(ordner + QStringLiteral("/fehlt.bin")), -1);
    EXPECT_EQ(DateiGroesse(QString()), -1);
}

TEST(HilfenTest, Tausche_VertauschtDieWerte)
{
    int a = 3, b = -7;
    Tausche(a, b);
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, 3);
}

TEST(HilfenTest, ProgrammVersion_ErsteNTeile)
{
    EXPECT_EQ(ProgrammVersion(1), QStringLiteral("1"));
    EXPECT_EQ(ProgrammVersion(2), QStringLiteral("1.0"));
    EXPECT_EQ(ProgrammVersion(4), QStringLiteral("1.0.0.0"));
    EXPECT_EQ(ProgrammVersion(0), QStringLiteral("1"));
    EXPECT_EQ(ProgrammVersion(9), QStringLiteral("1.0.0.0"));
}

TEST(HilfenTest, DpiSkalieren_RundetHalbeVonNullWeg)
{
    EXPECT_EQ(DpiSkalieren(34, 96, 96), 34);
    EXPECT_EQ(DpiSkalieren(34, 96, 120), 43);   // 42.5
    EXPECT_EQ(DpiSkalieren(34, 96, 144), 51);
    EXPECT_EQ(DpiSkalieren(65, 96, 120), 81);   // 81.25
    EXPECT_EQ(DpiSkalieren(-34, 96, 120), -43);
    EXPECT_EQ(DpiSkalieren(24, 96, 144), 36);
    EXPECT_EQ(DpiSkalieren(10, 0, 96), -1);
}

TEST(HilfenTest, DpiSkalieren_OffscreenBildschirmHat96Dpi)
{
    EXPECT_EQ(DpiSkalieren(34, 96), 34);
    EXPECT_EQ(BilderListenGroesse(), 20);
}

TEST(HilfenTest, BilderListe_SchwellenBei120_144_168_192)
{
    EXPECT_EQ(BilderListenGroesse(96), 20);
    EXPECT_EQ(BilderListenGroesse(119), 20);
    EXPECT_EQ(BilderListenGroesse(120), 25);
    EXPECT_EQ(BilderListenGroesse(143), 25);
    EXPECT_EQ(BilderListenGroesse(144), 30);
    EXPECT_EQ(BilderListenGroesse(167), 30);
    EXPECT_EQ(BilderListenGroesse(168), 35);
    EXPECT_EQ(BilderListenGroesse(191), 35);
    EXPECT_EQ(BilderListenGroesse(192), 40);
    EXPECT_EQ(BilderListenGroesse(400), 40);
}

TEST(HilfenTest, WarteMs_WartetUndVerarbeitetEreignisse)
{
    bool gelaufen = false;
    QTimer::singleShot(10, [&gelaufen] { gelaufen = true; });
    QElapsedTimer uhr;
    uhr.start();
    WarteMs(60);
    EXPECT_GT(uhr.elapsed(), 60);
    EXPECT_LT(uhr.elapsed(), 2000);
    EXPECT_TRUE(gelaufen);
}

TEST(HilfenTest, WarteMs_NullKehrtSofortZurueck)
{
    QElapsedTimer uhr;
    uhr.start();
    WarteMs(0);
    EXPECT_LT(uhr.elapsed(), 500);
}

TEST(HilfenTest, ArbeitsModus_FortschrittStattStatusleiste)
{
    TMeldungsFaenger faenger;
    auto fenster = std::make_unique<TfrmZelvanoMain>();
    const bool vorher = Statusleiste;
    Statusleiste = true;
    fenster->ProgressBar1->setValue(40);
    SetzeArbeitsModus(true);
    EXPECT_TRUE(fenster->StatusBar1->isHidden());
    EXPECT_FALSE(fenster->panUnten->isHidden());
    EXPECT_EQ(fenster->ProgressBar1->value(), 0);
    EXPECT_EQ(fenster->ProgressBar1->maximum(), 100);
    EXPECT_TRUE(fenster->Gear1->StatusEvent());
    SetzeArbeitsModus(false);
    EXPECT_FALSE(fenster->StatusBar1->isHidden());
    EXPECT_TRUE(fenster->panUnten->isHidden());
    EXPECT_FALSE(fenster->Gear1->StatusEvent());
    Statusleiste = vorher;
}

TEST(HilfenTest, ArbeitsModus_OhneStatusleisteOhneWirkung)
{
    TMeldungsFaenger faenger;
    auto fenster = std::make_unique<TfrmZelvanoMain>();
    const bool vorher = Statusleiste;
    Statusleiste = false;
    const bool leisteVersteckt = fenster->StatusBar1->isHidden();
    SetzeArbeitsModus(true);
    EXPECT_EQ(fenster->StatusBar1->isHidden(), leisteVersteckt);
    EXPECT_TRUE(fenster->panUnten->isHidden());
    EXPECT_FALSE(fenster->Gear1->StatusEvent());
    Statusleiste = vorher;
    fenster.reset();
    // Without a main window it does nothing at all.
    Statusleiste = true;
    SetzeArbeitsModus(true);
    Statusleiste = vorher;
}

TEST(HilfenTest, Schreibschutz_NachBerechtigungsbits)
{
    const QString ordner = FrischerOrdner(QStringLiteral("schutz"));
    const QString datei = ordner + QStringLiteral("/bild.jpg");
    DateiSchreiben(datei, QByteArray("x"));
    EXPECT_FALSE(DateiSchreibgeschuetzt(datei));
    QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // True even when the tests run as root, who could still write it.
    EXPECT_TRUE(DateiSchreibgeschuetzt(datei));
    EXPECT_TRUE(DateiSchreibgeschuetzt(ordner + QStringLiteral("/fehlt.jpg")));
}
