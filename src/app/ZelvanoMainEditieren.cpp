// The edit menu's two dialog commands on the working bitmap: image attributes
// (live preview on the display) and resizing.
#include <QCoreApplication>
#include <QThread>
#include "AnzeigeBild.h"
#include "Meldung.h"
#include "Menuset.h"
#include "ZelvanoMain.h"
#include "editing/Attribute.h"
#include "editing/Skalieren.h"
#include "pixelops/Bitmap_Skalieren.h"

void TfrmZelvanoMain::EditierenVerbinden()
{
    AktionVerbinden(mBeaBildattribute, &TfrmZelvanoMain::mBeaBildattributeExecute);
    AktionVerbinden(mBeaSkalieren, &TfrmZelvanoMain::mBeaSkalierenExecute);
    // The resampler reports its failures through the program's message box,
    // whoever calls it on the GUI thread. A worker thread of the batch
    // conversion tells nobody: that file is resized again on the GUI thread
    // when its turn comes.
    SkalierenFehlerMelden = [](const QString& text) {
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            Meldung(text, TMeldungArt::Warnung, mbOk);
    };
}

void TfrmZelvanoMain::mBeaBildattributeExecute()
{
    if (OriginalBild.IsEmpty())
        return;
    // The preview is drawn at most at full size.
    if (ZoomFaktor > 1)
        mAnsZoom100Execute();
    if (!frmAttribute)
        frmAttribute = new TfrmAttribute(this);
    frmAttribute->exec();
    // Whichever way it closed, the display shows the working bitmap again.
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    MenuesSetzen();
}

void TfrmZelvanoMain::mBeaSkalierenExecute()
{
    if (OriginalBild.IsEmpty())
        return;
    if (!frmSkalieren)
        frmSkalieren = new TfrmSkalieren(this);
    MitVerborgenerAnzeige([this] {
        frmSkalieren->exec();
        if (BildBearbeitet) {
            ZoomFaktor = 1.0;
            AnzeigeBild->SetBild(OriginalBild.Bild());
            SetAnzeigeBild();
            MenuesSetzen();
        }
    });
}
