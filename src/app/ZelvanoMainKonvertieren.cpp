// The main window's batch conversion command.
#include <QCoreApplication>
#include "ZelvanoMain.h"
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Menuset.h"
#include "files/Konvertieren.h"

void TfrmZelvanoMain::KonvertierenVerbinden()
{
    AktionVerbinden(mDatKonvertieren, &TfrmZelvanoMain::mDatKonvertierenExecute);
}

void TfrmZelvanoMain::mDatKonvertierenExecute()
{
    if (!AchtungBearbeitet())
        return;
    if (!frmKonvertieren)
        frmKonvertieren = new TfrmKonvertieren(this);
    MitVerborgenerAnzeige([this] {
        // The conversion runs through its own control; Gear1's picture would
        // only hold memory meanwhile.
        Gear1->DelImage();
        QCoreApplication::processEvents();
        frmKonvertieren->exec();
        // The list entry may have been rewritten: read it again.
        BildAnzeigen();
    });
    MenuesSetzen();
}
