// The edit menu's undo, clipboard, delete, mirror and turn commands, and the
// file menu's scanner commands.
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Loeschen.h"
#include "Meldung.h"
#include "Menuset.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_RotierenSpiegeln.h"

void TfrmZelvanoMain::BearbeitenVerbinden()
{
    AktionVerbinden(mBeaRueckgaengig, &TfrmZelvanoMain::mBeaRueckgaengigExecute);
    AktionVerbinden(mBeaKopieren, &TfrmZelvanoMain::mBeaKopierenExecute);
    AktionVerbinden(mBeaEinfuegen, &TfrmZelvanoMain::mBeaEinfuegenExecute);
    AktionVerbinden(mBeaLoeschen, &TfrmZelvanoMain::mBeaLoeschenExecute);
    AktionVerbinden(mBeaHorizontal, &TfrmZelvanoMain::mBeaHorizontalExecute);
    AktionVerbinden(mBeaVertikal, &TfrmZelvanoMain::mBeaVertikalExecute);
    AktionVerbinden(mBeaPlus90Grad, &TfrmZelvanoMain::mBeaPlus90GradExecute);
    AktionVerbinden(mBeaMinus90Grad, &TfrmZelvanoMain::mBeaMinus90GradExecute);
    AktionVerbinden(mBea180Grad, &TfrmZelvanoMain::mBea180GradExecute);
    AktionVerbinden(mDatScannerauswaehlen, &TfrmZelvanoMain::mDatScannerauswaehlenExecute);
    AktionVerbinden(mDatScannen, &TfrmZelvanoMain::mDatScannenExecute);
}

void TfrmZelvanoMain::BearbeitungAbschliessen(const std::function<void(TBitmap&)>& aenderung, bool verborgen)
{
    // A step that could not be stored has already warned; the edit itself
    // still goes ahead.
    RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
    aenderung(OriginalBild);
    if (verborgen)
        AnzeigeBild->hide();
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    if (verborgen)
        AnzeigeBild->show();
    BildBearbeitet = true;
    MenuesSetzen();
}

void TfrmZelvanoMain::NeuesBildZeigen(int quelle)
{
    ZoomFaktor = 1.0;
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    // No file stands behind it: no list, no load failure.
    BildIndex = 0;
    BildQuelle = quelle;
    BildLadefehler = false;
    BildBeschaedigt = false;
    BildListe.clear();
    MenuesSetzen();
}

// ---- Undo -----------------------------------------------------------------

void TfrmZelvanoMain::mBeaRueckgaengigExecute()
{
    if (RueckgaengigAnzahl <= 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString datei = RueckgaengigDatei(RueckgaengigAnzahl);
    Gear1->LoadImage(datei);

    // An unreadable step never replaces the user's image with the error
    // picture: the image stays as it is and stays edited.
    bool geladen = false;
    if (Gear1->ErrCount() <= 0 && Gear1->ImageBitsPerPixel() > 0) {
        const TBitmap vorher(OriginalBild.Bild());
        const int tiefeVorher = BildFarbtiefe;
        BildFarbtiefe = Gear1->ImageBitsPerPixel();
        geladen = GearZuBitmap(*Gear1, OriginalBild);
        if (!geladen) {
            OriginalBild.Assign(vorher);
            BildFarbtiefe = tiefeVorher;
        }
    }
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();

    DateiLoeschen(datei);
    if (RueckgaengigAnzahl > 0)
        --RueckgaengigAnzahl;
    // Once older steps were dropped, even the oldest stored step is not the
    // file's own picture.
    BildBearbeitet = geladen ? RueckgaengigAnzahl > 0 || RueckgaengigVerworfen : true;

    QCoreApplication::processEvents();
    MenuesSetzen();
    QApplication::restoreOverrideCursor();
    if (!geladen && Gear1->ErrCount() > 0)
        Meldung(QStringLiteral("Der Rückgängig-Schritt konnte nicht gelesen werden; das Bild bleibt unverändert."),
                TMeldungArt::Warnung, mbOk);
}

// ---- Clipboard --------------------------------------------------------------

void TfrmZelvanoMain::mBeaKopierenExecute()
{
    if (OriginalBild.IsEmpty())
        return;
    Gear1->SetPicture(OriginalBild);
    // The clipboard receives the image at its own depth.
    FarbtiefeVorbereiten(*Gear1, BildFarbtiefe);
    Gear1->ClipboardCopy();
}

void TfrmZelvanoMain::mBeaEinfuegenExecute()
{
    // An empty or non-image clipboard changes nothing, before any question.
    const QClipboard* ablage = QGuiApplication::clipboard();
    const QMimeData* daten = ablage ? ablage->mimeData() : nullptr;
    if (!daten || !daten->hasImage())
        return;
    if (!AchtungBearbeitet())
        return;

    QImage bild = ablage->image();
    if (bild.isNull() || bild.width() <= 0 || bild.height() <= 0)
        return;

    RueckgaengigLoeschen();
    Gear1->DelImage();
    Gear1->SetTransparent(0);
    Gear1->SetPage(1);

    // Palette images keep their depth; everything else arrives at 24 bits
    // with any alpha dropped, not blended.
    const QImage::Format format = bild.format();
    if (format != QImage::Format_Mono && format != QImage::Format_MonoLSB && format != QImage::Format_Indexed8)
        bild = bild.convertToFormat(QImage::Format_BGR888);
    Gear1->SetPicture(bild);
    bild = QImage();
    QCoreApplication::processEvents();

    BildFarbtiefe = Gear1->ImageBitsPerPixel();
    if (!GearZuBitmap(*Gear1, OriginalBild)) {
        OriginalBild.Assign(imgFehler);
        Gear1->SetPicture(OriginalBild);
        BildFarbtiefe = Gear1->ImageBitsPerPixel();
    }
    NeuesBildZeigen(BildQuelleZwischenablage);
    AnzeigeBild->show();
    QCoreApplication::processEvents();
}

// ---- Delete the file ----------------------------------------------------

void TfrmZelvanoMain::mBeaLoeschenExecute()
{
    if (BildQuelle != BildQuelleDatei || BildIndex < 0 || BildIndex >= BildListe.size())
        return;
    const QString pfad = BildListe.at(BildIndex);
    const int antwort = Meldung(QStringLiteral("Soll die Datei mit dem Namen           \r\r") + pfad +
                                    QStringLiteral("\r") + QStringLiteral("\r") +
                                    QStringLiteral("wirklich gelöscht werden ?"),
                                TMeldungArt::Bestaetigung, mbJa | mbNein);
    if (antwort != mbJa)
        return;

    if (!DateiLoeschen(pfad)) {
        Meldung(QStringLiteral("Die Datei mit dem Namen \r") + pfad + QStringLiteral("\r") +
                    QStringLiteral("konnte nicht gelöscht werden."),
                TMeldungArt::Information, mbOk);
        return;
    }

    BildListe.removeAt(BildIndex);
    if (!BildListe.isEmpty()) {
        BildIndex = std::min(BildIndex, int(BildListe.size()) - 1);
        BildAnzeigen();
        return;
    }
    // Nothing is shown any more: the steps and the edit mark of the deleted
    // image must not outlive it (no undo into an empty window, no question
    // about saving it at close).
    Gear1->DelImage();
    RueckgaengigLoeschen();
    BildBearbeitet = false;
    BildQuelle = BildQuelleKeine;
    AnzeigeBild->hide();
    MenuesSetzen();
}

// ---- Mirrors and quarter turns ------------------------------------------

void TfrmZelvanoMain::mBeaHorizontalExecute()
{
    BearbeitungAbschliessen([](TBitmap& b) { BitmapRotierenSpiegeln(b, rsHorizontal); });
}

void TfrmZelvanoMain::mBeaVertikalExecute()
{
    BearbeitungAbschliessen([](TBitmap& b) { BitmapRotierenSpiegeln(b, rsVertikal); });
}

void TfrmZelvanoMain::mBeaPlus90GradExecute()
{
    BearbeitungAbschliessen([](TBitmap& b) { BitmapRotierenSpiegeln(b, rsPlus90); });
}

void TfrmZelvanoMain::mBeaMinus90GradExecute()
{
    BearbeitungAbschliessen([](TBitmap& b) { BitmapRotierenSpiegeln(b, rsMinus90); });
}

void TfrmZelvanoMain::mBea180GradExecute()
{
    BearbeitungAbschliessen([](TBitmap& b) { BitmapRotierenSpiegeln(b, rs180); });
}

// ---- Scanner --------------------------------------------------------------

void TfrmZelvanoMain::mDatScannerauswaehlenExecute()
{
    Gear1->ScanOpenSource();
    if (!Gear1->ScanFehler().isEmpty())
        Meldung(Gear1->ScanFehler(), TMeldungArt::Warnung, mbOk);
}

void TfrmZelvanoMain::mDatScannenExecute()
{
    if (!AchtungBearbeitet())
        return;
    RueckgaengigLoeschen();
    AnzeigeBild->hide();

    // All image commands are off while the scan runs.
    Gear1->DelImage();
    BildListe.clear();
    Gear1->SetImageBitsPerPixel(0);
    BildQuelle = BildQuelleKeine;
    MenuesSetzen();

    Gear1->SetAspectRatio(1);
    Gear1->SetScanShowUI(true);
    QCoreApplication::processEvents();
    Gear1->ScanAcquire();
    QCoreApplication::processEvents();

    if (Gear1->ImageBitsPerPixel() > 0) {
        BildFarbtiefe = Gear1->ImageBitsPerPixel();
        if (GearZuBitmap(*Gear1, OriginalBild))
            NeuesBildZeigen(BildQuelleScanner);
        else
            Gear1->DelImage();
    } else if (!Gear1->ScanFehler().isEmpty()) {
        // A cancel is the user's own choice; a failure (no scanner at all,
        // a device error) is said.
        Meldung(Gear1->ScanFehler(), TMeldungArt::Warnung, mbOk);
    }
    if (BildQuelle > BildQuelleKeine)
        AnzeigeBild->show();
}
