// The open command: the program's own open window and what follows it.
#include "ZelvanoMain.h"
#include <QAction>
#include <QTimer>
#include "AnzeigeBild.h"
#include "Menuset.h"
#include "files/Oeffnen.h"

void TfrmZelvanoMain::OeffnenVerbinden()
{
    AktionVerbinden(mDatOeffnen, &TfrmZelvanoMain::mDatOeffnenExecute);
}

void TfrmZelvanoMain::mDatOeffnenExecute()
{
    if (!AchtungBearbeitet())
        return;
    AnzeigeTimer->stop();
    MitVerborgenerAnzeige([this] {
        if (!frmOeffnen)
            frmOeffnen = new TfrmOeffnen(this);
        frmOeffnen->exec();

        switch (OeffnenErgebnis) {
        case 1:
            BildIndex = 0;
            BildAnzeigen();
            break;
        case 100:
            // As a menu choice would: through the action, which acts only
            // while it is enabled, so its state is brought up to date first.
            MenuesSetzen();
            mBeaEinfuegen->trigger();
            break;
        case 200:
            // The unsaved-edit question was answered before the dialog opened.
            ActionManMainExecute(mDatVorschau);
            VorschauZeigen();
            break;
        default:
            break;
        }
    });
}
