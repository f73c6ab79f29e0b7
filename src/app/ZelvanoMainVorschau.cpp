// The thumbnail browser and the lossless JPEG rotation, as main-window commands.
#include "ZelvanoMain.h"
#include <QAction>
#include "AnzeigeBild.h"
#include "Global.h"
#include "Menuset.h"
#include "files/JpgDrehen.h"
#include "viewing/Vorschau.h"

void TfrmZelvanoMain::VorschauVerbinden()
{
    AktionVerbinden(mDatVorschau, &TfrmZelvanoMain::mDatVorschauExecute);
    AktionVerbinden(mBeaJpgDrehen, &TfrmZelvanoMain::mBeaJpgDrehenExecute);
}

void TfrmZelvanoMain::VorschauZeigen()
{
    if (!frmVorschau)
        frmVorschau = new TfrmVorschau(this);
    frmVorschau->show();
    frmVorschau->raise();
    frmVorschau->activateWindow();
}

void TfrmZelvanoMain::mDatVorschauExecute()
{
    if (!AchtungBearbeitet())
        return;
    VorschauZeigen();
}

void TfrmZelvanoMain::mBeaJpgDrehenExecute()
{
    if (NichtGeladenMelden(JpgDrehenVerweigertText()))
        return;
    if (!frmJpgDrehen)
        frmJpgDrehen = new TfrmJpgDrehen(this);
    AnzeigeTimer->stop();
    // The window shows the file afresh itself after a successful transform.
    MitVerborgenerAnzeige([this] { frmJpgDrehen->exec(); });
    MenuesSetzen();
}
