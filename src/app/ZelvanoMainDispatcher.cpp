// What runs before every command of the action list, and the paste action's
// update from the clipboard.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QToolButton>
#include "AnzeigeBild.h"
#include "Menuset.h"
#include "Modi.h"

void TfrmZelvanoMain::ActionManMainVerbinden()
{
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmZelvanoMain::ActionManMainUpdate);
    ActionManMainUpdate();
}

void TfrmZelvanoMain::ActionManMainExecute(QAction* aktion)
{
    if (AnzeigeBild)
        ModusFigurLoeschen();
    if (aktion != mBeaAusschneiden) {
        if (mBeaAusschneiden)
            mBeaAusschneiden->setChecked(false);
        if (tbtAusschneiden)
            tbtAusschneiden->setDown(false);
        Ausschneiden = false;
        if (pnlSchnittinfo)
            pnlSchnittinfo->hide();
    }
    if (aktion != mBeaFotoschnitt) {
        if (mBeaFotoschnitt)
            mBeaFotoschnitt->setChecked(false);
        if (tbtFotoschnitt)
            tbtFotoschnitt->setDown(false);
        Fotoschnitt = false;
        Festschnitt = false;
        if (pnlSchnittinfo)
            pnlSchnittinfo->hide();
    }
    WinkelMessen = false;
    if (AnzeigeBild && panAnzeige)
        CursorSetzen();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TfrmZelvanoMain::ActionManMainUpdate()
{
    if (!mBeaEinfuegen)
        return;
    const QMimeData* ablage = QApplication::clipboard()->mimeData();
    AktionFreigeben(mBeaEinfuegen, ablage && ablage->hasImage());
}
