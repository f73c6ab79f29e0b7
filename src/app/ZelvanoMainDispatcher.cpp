// What runs before every command of the action list, and the paste action's
// update from the clipboard.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
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
    // The two mode commands leave their own mode to themselves, so they can
    // switch it off; any action is at most one of them.
    SchnittModiBeenden(aktion != mBeaAusschneiden, aktion != mBeaFotoschnitt);
    if (pnlSchnittinfo)
        pnlSchnittinfo->hide();
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
