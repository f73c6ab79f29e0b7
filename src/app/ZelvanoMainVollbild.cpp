// The full-screen view, the slide show and printing the current image.
#include "ZelvanoMain.h"
#include <QAction>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Modi.h"
#include "printing/Drucken.h"
#include "viewing/Vollbild.h"

bool ProgrammBeenden = false;
bool AutoShowStarten = false;

void TfrmZelvanoMain::VollbildVerbinden()
{
    AktionVerbinden(mAnsVollbild, &TfrmZelvanoMain::mAnsVollbildExecute);
    AktionVerbinden(mAnsAutoShow, &TfrmZelvanoMain::mAnsAutoShowExecute);
    AktionVerbinden(mDatDrucken, &TfrmZelvanoMain::mDatDruckenExecute);
}

void TfrmZelvanoMain::mAnsVollbildExecute()
{
    if (BildQuelle > BildQuelleKeine && frmVollbild) {
        AnzeigeBild->setVisible(false);
        VollbildStartIndex = BildIndex;
        ProgrammBeenden = false;
        frmVollbild->exec();
        // The user moved through the list there.
        if (BildIndex != VollbildStartIndex)
            BildAnzeigen();
        raise();
        activateWindow();
        if (ProgrammBeenden)
            mDatBeendenExecute();
        AnzeigeBild->setVisible(true);
    }
    // The cut mode and the ratio frame end here; a fixed-size frame stays
    // on (the two frames are never on together).
    if (Ausschneiden) {
        SchnittModiBeenden(true, false);
        SetAnzeigeBild();
    }
    if (Fotoschnitt) {
        SchnittModiBeenden(false, true);
        SetAnzeigeBild();
    }
}

void TfrmZelvanoMain::mAnsAutoShowExecute()
{
    // The show pages away from the current image: an unsaved edit is asked
    // about before it starts, not in the middle of it.
    if (BildQuelle > BildQuelleKeine && !BildListe.isEmpty()) {
        if (!AchtungBearbeitet())
            return;
        VollbildBearbeitetFreigegeben = true;
    }
    AutoShowStarten = true;
    mAnsVollbildExecute();
    AutoShowStarten = false;
    VollbildBearbeitetFreigegeben = false;
}

void TfrmZelvanoMain::mDatDruckenExecute()
{
    if (!frmDrucken)
        return;
    MitVerborgenerAnzeige([this] {
        // The control gets the edit, back at the image's own colour depth.
        if (BildBearbeitet) {
            Gear1->SetPicture(OriginalBild);
            FarbtiefeVorbereiten(*Gear1, BildFarbtiefe);
        }
        frmDrucken->exec();
    });
}
