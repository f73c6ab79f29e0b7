#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include "Global.h"
#include "Symbole.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Formatoption.h"
#include "files/Oeffnen.h"
#include "widgets/PngImageList.h"

namespace {

class SymboleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
    }
    TfrmZelvanoMain* f = nullptr;
};

QImage Pixmap(const QIcon& symbol, QIcon::Mode modus)
{
    return symbol.pixmap(QSize(20, 20), modus).toImage().convertToFormat(QImage::Format_ARGB32);
}

int SichtbarePixel(const QImage& bild)
{
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            n += qAlpha(bild.pixel(x, y)) > 0;
    return n;
}

} // namespace

TEST_F(SymboleTest, ZehnListenMitJe42SymbolenInFuenfGroessen)
{
    const int groessen[5] = {20, 25, 30, 35, 40};
    for (int g : groessen) {
        for (TPngImageList* liste : {f->MenueListe(g), f->ButtonListe(g)}) {
            ASSERT_NE(liste, nullptr) << g;
            EXPECT_EQ(liste->Width(), g);
            ASSERT_EQ(liste->PngImages().Count(), SymbolAnzahl);
            ASSERT_EQ(liste->Count(), SymbolAnzahl);
            for (int i = 0; i < SymbolAnzahl; ++i) {
                const TPNGObject* png = liste->PngImages().GetItem(i)->PngImage();
                ASSERT_EQ(png->Width(), g) << i;
                EXPECT_EQ(png->ColorType(), COLOR_RGBALPHA) << i;
                // Drawn on a transparent ground, never a full square.
                EXPECT_EQ(qAlpha(liste->Bild(i).pixel(0, 0)), 0) << g << " " << i;
                EXPECT_GT(SichtbarePixel(liste->Bild(i)), g * g / 8) << i;
            }
        }
    }
    EXPECT_EQ(f->MenueListe(24), nullptr);
    EXPECT_EQ(f->ImagesMenu30x30->objectName(), QStringLiteral("ImagesMenu30x30"));
}

TEST_F(SymboleTest, KeineZweiSymboleGleichen)
{
    const TPngImageList* liste = f->MenueListe(20);
    for (int i = 0; i < SymbolAnzahl; ++i)
        for (int j = i + 1; j < SymbolAnzahl; ++j)
            EXPECT_NE(liste->Bild(i), liste->Bild(j)) << i << " " << j;
}

TEST_F(SymboleTest, Bildschirm96DpiNimmtDie20erListen)
{
    EXPECT_EQ(MenueBilderListe(), f->ImagesMenu20x20);
    EXPECT_EQ(ButtonBilderListe(), f->ImagesButton20x20);
}

TEST_F(SymboleTest, AktionenTragenIhrListensymbol)
{
    const TPngImageList* liste = MenueBilderListe();
    const std::pair<QAction*, int> erwartet[] = {
        {f->mDatOeffnen, symOeffnen},          {f->mDatSpeichernals, symSpeichern},
        {f->mBeaKopieren, symKopieren},        {f->mBeaMinus90Grad, symDrehenMinus90},
        {f->mBeaPlus90Grad, symDrehenPlus90},  {f->mBeaHorizontal, symHorizontal},
        {f->mAnsBildWeiter, symBildWeiter},    {f->mFarKorrektur, symFarbkorrektur},
        {f->mHilfeInhalt, symHilfe},           {f->mDatInfo, symInfo}};
    for (const auto& [aktion, symbol] : erwartet) {
        EXPECT_EQ(aktion->property("Symbol").toInt(), symbol) << aktion->objectName().toStdString();
        // A pixmap holds its pixels premultiplied, and the way back rounds
        // differently on different processors.
        EXPECT_EQ(Pixmap(aktion->icon(), QIcon::Normal),
                  QPixmap::fromImage(liste->Bild(symbol)).toImage().convertToFormat(QImage::Format_ARGB32))
            << aktion->objectName().toStdString();
    }
}

TEST_F(SymboleTest, JederWerkzeugknopfHatEinSymbolUnd34Pixel)
{
    for (QToolBar* leiste : {f->ToolBar1, f->ToolBar2}) {
        EXPECT_EQ(leiste->iconSize(), QSize(20, 20));
        for (QAction* aktion : leiste->actions()) {
            if (aktion->isSeparator())
                continue;
            auto* knopf = qobject_cast<QToolButton*>(leiste->widgetForAction(aktion));
            ASSERT_NE(knopf, nullptr);
            EXPECT_EQ(knopf->size(), QSize(34, 34)) << aktion->objectName().toStdString();
            const QIcon symbol = knopf->defaultAction() ? knopf->defaultAction()->icon() : knopf->icon();
            EXPECT_FALSE(symbol.isNull()) << aktion->objectName().toStdString();
            // No letters: the icon is one of the list's.
            EXPECT_TRUE(aktion->property("Symbol").toInt() >= 0 || knopf == f->tbtZoom)
                << aktion->objectName().toStdString();
        }
    }
    EXPECT_FALSE(f->tbtZoom->icon().isNull());
}

TEST_F(SymboleTest, AbgeschalteterBefehlWirdBlass)
{
    // Filled parts of an enabled icon are opaque; the disabled look halves them.
    const QIcon symbol = f->mDatDrucken->icon();
    const QImage an = Pixmap(symbol, QIcon::Normal);
    const QImage aus = Pixmap(symbol, QIcon::Disabled);
    int voll = 0, blass = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (qAlpha(an.pixel(x, y)) == 255) {
                ++voll;
                blass += std::abs(qAlpha(aus.pixel(x, y)) - 128) <= 1;
            }
    EXPECT_GT(voll, 20);
    EXPECT_EQ(blass, voll);
}

TEST_F(SymboleTest, MenuesZeigenSymboleInListengroesse)
{
    EXPECT_EQ(f->menBearbeiten->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, f->menBearbeiten), 20);
    EXPECT_EQ(f->PopupMain->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, f->PopupMain), 20);
}

TEST_F(SymboleTest, DialogknoepfeNehmenIhreGlyphenAusDerButtonliste)
{
    TfrmOeffnen oeffnen;
    const std::pair<TPngBitBtn*, int> erwartet[] = {{oeffnen.bbtAblageZeigen, symAblageZeigen},
                                                     {oeffnen.bbtVorschau, symVorschau},
                                                     {oeffnen.bbtAlleZeigen, symAlleZeigen}};
    for (const auto& [knopf, symbol] : erwartet) {
        ASSERT_FALSE(knopf->PngImage().Empty());
        EXPECT_EQ(knopf->PngImage().ToImage(), PngAusListe(ButtonBilderListe(), symbol).ToImage());
    }
    EXPECT_EQ(symAblageZeigen, 18);
    EXPECT_EQ(symVorschau, 38);
    EXPECT_EQ(symAlleZeigen, 41);
    EXPECT_EQ(symHaken, 11);
    EXPECT_EQ(symInfo, 4);
    EXPECT_EQ(symDrehenMinus90, 24);
    EXPECT_EQ(symVertikal, 28);
    EXPECT_EQ(symStop, 14);
    EXPECT_EQ(symSchliessen, 20);
}

TEST_F(SymboleTest, FormatoptionenZeigenDasInfosymbolDerMenueliste)
{
    TfrmFormatOption fenster;
    const QImage erwartet = PngAusListe(MenueBilderListe(), symInfo)
                                .ToImage()
                                .scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage ist = fenster.imgInfo->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ist.size(), erwartet.size());
    // A pixmap keeps premultiplied pixels: half-transparent edges may move by
    // a step, opaque ones not at all.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_NEAR(qAlpha(ist.pixel(x, y)), qAlpha(erwartet.pixel(x, y)), 1);
            if (qAlpha(erwartet.pixel(x, y)) == 255)
                EXPECT_EQ(ist.pixel(x, y), erwartet.pixel(x, y));
        }
}

TEST_F(SymboleTest, AbgeschalteterWerkzeugknopfIstAufEinenBlickBlasser)
{
    QAction* aktion = f->mBeaKopieren;
    auto* knopf = qobject_cast<QToolButton*>(f->ToolBar2->widgetForAction(aktion));
    ASSERT_NE(knopf, nullptr);
    const bool vorher = aktion->isEnabled();
    // How far the button's pixels stand from its face colour, summed.
    auto abstand = [&](bool an) {
        aktion->setEnabled(an);
        const QImage bild = knopf->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb grund = bild.pixel(1, 1);
        long summe = 0;
        for (int y = 0; y < bild.height(); ++y)
            for (int x = 0; x < bild.width(); ++x) {
                const QRgb p = bild.pixel(x, y);
                summe += std::abs(qRed(p) - qRed(grund)) + std::abs(qGreen(p) - qGreen(grund))
                         + std::abs(qBlue(p) - qBlue(grund));
            }
        return summe;
    };
    const long an = abstand(true);
    const long aus = abstand(false);
    aktion->setEnabled(vorher);
    EXPECT_GT(an, 2000);
    EXPECT_LT(aus * 10, an * 7);
}
