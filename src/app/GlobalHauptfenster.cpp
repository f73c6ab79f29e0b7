// Unit Global: the part of the unit that works on the main window and the
// shared state it holds: the facts loading records, the refusal to act on a
// picture that could not be loaded, busy mode and the icon lists. The one
// file of the unit that includes ZelvanoMain.h.
#include "Global.h"
#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include "Einstellungen.h"
#include "Meldung.h"
#include "Symbole.h"
#include "ZelvanoMain.h"
#include "gear/Gear.h"
#include "widgets/PngImageList.h"

bool NichtGeladenMelden(const QString& folge)
{
    if (!BildLadefehler || BildQuelle != BildQuelleDatei)
        return false;
    const QString datei = BildIndex >= 0 && BildIndex < BildListe.size() ? BildListe.at(BildIndex) : QString();
    Meldung(QStringLiteral("Das Bild ") + datei + QStringLiteral(" konnte nicht geladen werden.") + QStringLiteral("\r\r")
                + folge,
            TMeldungArt::Warnung, mbOk);
    return true;
}

bool LadeGearBild(TGear& gear, const QString& pfad, TExifDaten* metadaten)
{
    AktKommentar.clear();
    TLadeAngaben angaben;
    const bool geladen = LadeGearBild(gear, pfad, HgFarbeRgb(), metadaten, angaben);
    AktKommentar = angaben.kommentar;
    if (angaben.datum.isValid())
        AktDateiDatum = angaben.datum;
    return geladen;
}

void SetzeArbeitsModus(bool an)
{
    if (!Statusleiste || !frmZelvanoMain)
        return;
    TfrmZelvanoMain* f = frmZelvanoMain;
    // The display keeps its size while the bars change places.
    f->AnzeigeAusrichten(false);
    if (an) {
        if (f->ProgressBar1) {
            f->ProgressBar1->setRange(0, 100);
            f->ProgressBar1->setValue(0);
        }
        if (f->StatusBar1)
            f->StatusBar1->hide();
        if (f->panUnten)
            f->panUnten->show();
        if (f->Gear1)
            f->Gear1->SetStatusEvent(true);
    } else {
        if (f->ProgressBar1)
            f->ProgressBar1->setValue(0);
        if (f->panUnten)
            f->panUnten->hide();
        if (f->StatusBar1)
            f->StatusBar1->show();
        if (f->Gear1)
            f->Gear1->SetStatusEvent(false);
    }
    f->AnzeigeAusrichten(true);
}

// Before the main window exists (a dialog on its own), a list of the same
// icons that lives as long as the application.
static TPngImageList* ErsatzBilderListe()
{
    static QPointer<TPngImageList> liste;
    if (!liste && QCoreApplication::instance())
        liste = SymbolListeLaden(BilderListenGroesse(), QCoreApplication::instance());
    return liste;
}

TPngImageList* MenueBilderListe()
{
    return frmZelvanoMain ? frmZelvanoMain->MenueListe(BilderListenGroesse()) : ErsatzBilderListe();
}

TPngImageList* ButtonBilderListe()
{
    return frmZelvanoMain ? frmZelvanoMain->ButtonListe(BilderListenGroesse()) : ErsatzBilderListe();
}
