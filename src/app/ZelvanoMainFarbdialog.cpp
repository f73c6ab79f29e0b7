// The six commands that open the pages of the colour dialog.
#include "ZelvanoMain.h"
#include <QTabWidget>
#include "AnzeigeBild.h"
#include "Menuset.h"
#include "editing/Farben.h"

void TfrmZelvanoMain::FarbdialogVerbinden()
{
    using F = TfrmZelvanoMain;
    AktionVerbinden(mFarKorrektur, &F::mFarKorrekturExecute);
    AktionVerbinden(mFarToenen, &F::mFarToenenExecute);
    AktionVerbinden(mFarEinfaerben, &F::mFarEinfaerbenExecute);
    AktionVerbinden(mFarKolorieren, &F::mFarKolorierenExecute);
    AktionVerbinden(mFarGraustufen, &F::mFarGraustufenExecute);
    AktionVerbinden(mFar1Schwellwert, &F::mFar1SchwellwertExecute);
}

void TfrmZelvanoMain::FarbdialogZeigen(int seite)
{
    if (!frmFarben || OriginalBild.IsEmpty() || GearBeschaeftigt)
        return;
    // The preview is shown at 100 % at most.
    if (ZoomFaktor > 1)
        mAnsZoom100Execute();
    // Chosen while the window is hidden, so choosing computes nothing.
    frmFarben->pcFarben->setCurrentIndex(seite);
    frmFarben->exec();
    // However it closed, the working bitmap goes back into the display.
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    MenuesSetzen();
}

void TfrmZelvanoMain::mFarKorrekturExecute() { FarbdialogZeigen(0); }
void TfrmZelvanoMain::mFarToenenExecute() { FarbdialogZeigen(1); }
void TfrmZelvanoMain::mFarEinfaerbenExecute() { FarbdialogZeigen(2); }
void TfrmZelvanoMain::mFarKolorierenExecute() { FarbdialogZeigen(3); }
void TfrmZelvanoMain::mFarGraustufenExecute() { FarbdialogZeigen(4); }
void TfrmZelvanoMain::mFar1SchwellwertExecute() { FarbdialogZeigen(5); }
