// Image information and contact-sheet printing.
#include "ZelvanoMain.h"
#include <QAction>
#include <QCoreApplication>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "printing/Archivdruck.h"
#include "viewing/Bildinfo.h"

void TfrmZelvanoMain::InfoVerbinden()
{
    AktionVerbinden(mDatInfo, &TfrmZelvanoMain::mDatInfoExecute);
    AktionVerbinden(mDatArchivdruck, &TfrmZelvanoMain::mDatArchivdruckExecute);
}

void TfrmZelvanoMain::mDatInfoExecute()
{
    if (frmBildinfo)
        frmBildinfo->exec();
}

void TfrmZelvanoMain::mDatArchivdruckExecute()
{
    if (!frmArchivdruck || !AchtungBearbeitet())
        return;
    MitVerborgenerAnzeige([this] {
        // The sheets load every file through their own control; ours lets go
        // of its image meanwhile.
        Gear1->DelImage();
        QCoreApplication::processEvents();
        frmArchivdruck->exec();
        BildAnzeigen();
    });
}
