// The main window's icon lists and how menus and tool bars show them.
#include "ZelvanoMain.h"
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QGuiApplication>
#include <QProxyStyle>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include "Global.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"

namespace {

// Menus draw their icons at the menu list's size instead of the style's
// small-icon size, so a 20-pixel icon is not squeezed to 16.
class TMenueStil : public QProxyStyle {
public:
    explicit TMenueStil(int groesse) : m_groesse(groesse) {}
    int pixelMetric(PixelMetric metrik, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metrik == PM_SmallIconSize)
            return m_groesse;
        return QProxyStyle::pixelMetric(metrik, option, widget);
    }

private:
    int m_groesse;
};

constexpr int Groessen[5] = {20, 25, 30, 35, 40};

int Stufe(int groesse)
{
    for (int i = 0; i < 5; ++i)
        if (Groessen[i] == groesse)
            return i;
    return -1;
}

} // namespace

// The icons are compiled into the static core library, whose resources the
// linker drops unless something asks for them.
static void SymbolRessourcenLaden()
{
    static const bool geladen = [] {
        Q_INIT_RESOURCE(symbole);
        return true;
    }();
    Q_UNUSED(geladen);
}

TPngImageList* SymbolListeLaden(int groesse, QObject* besitzer)
{
    SymbolRessourcenLaden();
    auto* liste = new TPngImageList(besitzer);
    liste->SetWidth(groesse);
    liste->SetHeight(groesse);
    const QColor clWindow = QPalette().color(QPalette::Base);
    liste->BeginUpdate();
    for (int i = 0; i < SymbolAnzahl; ++i) {
        TPNGObject png;
        // A missing resource keeps its place with an empty image, so the
        // positions of all later icons stay right.
        png.LoadFromFile(QStringLiteral(":/symbole/%1/%2.png").arg(groesse).arg(i, 2, 10, QLatin1Char('0')));
        liste->AddPng(png);
        liste->PngImages().GetItem(i)->SetBackground(clWindow);
    }
    liste->EndUpdate();
    return liste;
}

void TfrmZelvanoMain::SymbolListenAnlegen()
{
    TPngImageList** menue[5] = {&ImagesMenu20x20, &ImagesMenu25x25, &ImagesMenu30x30, &ImagesMenu35x35,
                                &ImagesMenu40x40};
    TPngImageList** knopf[5] = {&ImagesButton20x20, &ImagesButton25x25, &ImagesButton30x30, &ImagesButton35x35,
                                &ImagesButton40x40};
    for (int stufe = 0; stufe < 5; ++stufe) {
        const QString groesse = QStringLiteral("%1x%1").arg(Groessen[stufe]);
        *menue[stufe] = SymbolListeLaden(Groessen[stufe], this);
        (*menue[stufe])->setObjectName(QStringLiteral("ImagesMenu") + groesse);
        *knopf[stufe] = SymbolListeLaden(Groessen[stufe], this);
        (*knopf[stufe])->setObjectName(QStringLiteral("ImagesButton") + groesse);
    }
}

TPngImageList* TfrmZelvanoMain::MenueListe(int groesse) const
{
    const TPngImageList* listen[5] = {ImagesMenu20x20, ImagesMenu25x25, ImagesMenu30x30, ImagesMenu35x35,
                                      ImagesMenu40x40};
    const int stufe = Stufe(groesse);
    return stufe < 0 ? nullptr : const_cast<TPngImageList*>(listen[stufe]);
}

TPngImageList* TfrmZelvanoMain::ButtonListe(int groesse) const
{
    const TPngImageList* listen[5] = {ImagesButton20x20, ImagesButton25x25, ImagesButton30x30, ImagesButton35x35,
                                      ImagesButton40x40};
    const int stufe = Stufe(groesse);
    return stufe < 0 ? nullptr : const_cast<TPngImageList*>(listen[stufe]);
}

void TfrmZelvanoMain::SymboleAnwenden()
{
    const TPngImageList* menueListe = MenueBilderListe();
    const TPngImageList* knopfListe = ButtonBilderListe();
    if (!menueListe || !knopfListe)
        return;
    // The lists are chosen by device pixels; Qt sizes widgets in logical
    // ones, so on a scaled screen the same icon takes fewer of those.
    const QScreen* schirm = QGuiApplication::primaryScreen();
    const qreal verhaeltnis = schirm ? std::max<qreal>(1, schirm->devicePixelRatio()) : 1;
    auto logisch = [verhaeltnis](int pixel) { return qRound(pixel / verhaeltnis); };
    auto* stil = new TMenueStil(logisch(menueListe->Width()));
    stil->setParent(this);
    for (QMenu* menue : findChildren<QMenu*>())
        menue->setStyle(stil);

    const int knopf = DpiSkalieren(34, 96);
    const QSize symbol(logisch(knopfListe->Width()), logisch(knopfListe->Height()));
    for (QToolBar* leiste : {ToolBar1, ToolBar2}) {
        leiste->setIconSize(symbol);
        leiste->setMinimumHeight(knopf);
        // The settings store only the left, top and right docks; a bar
        // dragged elsewhere could not come back.
        leiste->setMovable(false);
        for (QToolButton* b : leiste->findChildren<QToolButton*>())
            if (b->parentWidget() == leiste && !b->objectName().startsWith(QLatin1String("qt_")))
                b->setFixedSize(knopf, knopf);
    }
}
