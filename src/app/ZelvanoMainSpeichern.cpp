// The main window's save command.
#include "ZelvanoMain.h"
#include "AnzeigeBild.h"
#include "Global.h"
#include "Menuset.h"
#include "files/Speichern.h"

void TfrmZelvanoMain::mDatSpeichernalsExecute()
{
    if (NichtGeladenMelden(SpeichernVerweigertText()))
        return;
    if (!frmSpeichern)
        frmSpeichern = new TfrmSpeichern(this);
    frmSpeichern->ShellTreeView1Aktualisieren();
    MitVerborgenerAnzeige([this] {
        // The window saves by itself; how it was closed does not matter here.
        frmSpeichern->exec();
        // Saved: the file now holds the picture on screen.
        if (!BildBearbeitet)
            RueckgaengigVerworfen = false;
    });
    MenuesSetzen();
}
