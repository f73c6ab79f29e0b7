// The colour and filter commands computed by the imaging control, and the
// inversion and 24-bit expansion without it.
#include "ZelvanoMain.h"
#include <QAction>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Meldung.h"
#include "Menuset.h"
#include "ZelvanoMainSperre.h"
#include "pixelops/Bitmap_Invertieren.h"

namespace {

// The member writes of each command, in the control's order.
void Op1Diffusion(TGear& g, int) { g.DiffusionMono(); }
void Op1Halbton(TGear& g, int) { g.HalftoneMono(); }
void Op1Bayer(TGear& g, int) { g.BayerMono(); }
void Op4Octree(TGear& g, int)
{
    g.SetOctreeBits(4);
    g.SetOctreeColors(16);
    g.Octree(1);
}
void Op4Diffusion(TGear& g, int) { g.DiffusionColor(); }
void Op4Bayer(TGear& g, int) { g.BayerColor(); }
void Op8Octree(TGear& g, int)
{
    g.SetOctreeBits(8);
    g.SetOctreeColors(256);
    g.SetSettingMode(2);
    g.SetSettingValue(0);
    g.Octree(1);
}
void Palette256(TGear& g)
{
    g.SetSettingMode(1);
    g.SetSettingValue(256);
    g.SetSettingMode(2);
    g.SetSettingValue(0);
}
void Op8MedianCut(TGear& g, int)
{
    Palette256(g);
    g.MedianCut(1);
}
void Op8Popularity(TGear& g, int)
{
    Palette256(g);
    g.Popularity(1);
}
void OpKanten(TGear& g, int n) { g.EdgeMap(n); }
void OpPraegen(TGear& g, int)
{
    g.SetSettingMode(5);
    g.SetSettingValue(4);
    g.FXEmboss(20);
}
void OpZerstreuen(TGear& g, int) { g.FXDiffuse(4); }
void OpVerwischen(TGear& g, int)
{
    g.SetSettingMode(5);
    g.SetSettingValue(7);
    g.FXMotion(15);
}
void OpRelief(TGear& g, int)
{
    g.SetSettingMode(5);
    g.SetSettingValue(4);
    g.FXStitch(20);
}
void OpPoster(TGear& g, int) { g.FXPosterize(5); }
void OpTwist(TGear& g, int)
{
    g.SetSettingMode(6);
    g.SetSettingValue(1);
    g.FXTwist(6);
}
void OpStrukturglas(TGear& g, int)
{
    g.SetSettingMode(6);
    g.SetSettingValue(4);
    g.FXTwist(6);
}
void OpSchleier(TGear& g, int) { g.FXBlur(2); }

} // namespace

// ---- Wiring --------------------------------------------------------------------

void TfrmZelvanoMain::FarbeVerbinden()
{
    using F = TfrmZelvanoMain;
    AktionVerbinden(mFar1FehlerVerteilungsDithering, &F::mFar1FehlerVerteilungsDitheringExecute);
    AktionVerbinden(mFar1HalbtonMonoDithering, &F::mFar1HalbtonMonoDitheringExecute);
    AktionVerbinden(mFar1BayerMonoDithering, &F::mFar1BayerMonoDitheringExecute);
    AktionVerbinden(mFar4Octree, &F::mFar4OctreeExecute);
    AktionVerbinden(mFar4FehlerVerteilungsDithering, &F::mFar4FehlerVerteilungsDitheringExecute);
    AktionVerbinden(mFar4BayerFarbDithering, &F::mFar4BayerFarbDitheringExecute);
    AktionVerbinden(mFar8Oct, &F::mFar8OctExecute);
    AktionVerbinden(mFar8FehlerVerteilungsDithering, &F::mFar8FehlerVerteilungsDitheringExecute);
    AktionVerbinden(mFar8PalettenOptimierung, &F::mFar8PalettenOptimierungExecute);
    AktionVerbinden(mFarFarbexpansion4, &F::mFar4OctreeExecute);
    AktionVerbinden(mFarFarbexpansion8, &F::mFar8OctExecute);
    AktionVerbinden(mFarFarbexpansion24, &F::mFarFarbexpansion24Execute);
    AktionVerbinden(mFarInvertieren, &F::mFarInvertierenExecute);
    AktionVerbinden(mFilterIsoPrewitt, &F::mFilterIsoPrewittExecute);
    AktionVerbinden(mFilterIsoRoberts, &F::mFilterIsoRobertsExecute);
    AktionVerbinden(mFilterIsoSobel, &F::mFilterIsoSobelExecute);
    AktionVerbinden(mFilterIsoLaplacian, &F::mFilterIsoLaplacianExecute);
    AktionVerbinden(mFilterIsoHorizontal, &F::mFilterIsoHorizontalExecute);
    AktionVerbinden(mFilterIsoVertikal, &F::mFilterIsoVertikalExecute);
    AktionVerbinden(mFilterIsoPositivSchraeg, &F::mFilterIsoPositivSchraegExecute);
    AktionVerbinden(mFilterIsoNegativSchraeg, &F::mFilterIsoNegativSchraegExecute);
    AktionVerbinden(mFilterPraegen, &F::mFilterPraegenExecute);
    AktionVerbinden(mFilterZerstreuen, &F::mFilterZerstreuenExecute);
    AktionVerbinden(mFilterVerwischen, &F::mFilterVerwischenExecute);
    AktionVerbinden(mFilterRelief, &F::mFilterReliefExecute);
    AktionVerbinden(mFilterPoster, &F::mFilterPosterExecute);
    AktionVerbinden(mFilterTwist, &F::mFilterTwistExecute);
    AktionVerbinden(mFilterStrukturglas, &F::mFilterStrukturglasExecute);
    AktionVerbinden(mFilterSchleier, &F::mFilterSchleierExecute);
    FarbdialogVerbinden();
}

// ---- Commands computed by Gear1 --------------------------------------------------

bool TfrmZelvanoMain::GearBefehl(void (*operation)(TGear&, int), int wert)
{
    if (GearBeschaeftigt || OriginalBild.IsEmpty() || !Gear1)
        return false;
    TBeschaeftigt beschaeftigt(GearBeschaeftigt);
    // A step that cannot be written has been reported by the store; the
    // command itself still runs, as with undo switched off.
    const bool schrittGeschrieben = RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
    AnzeigeBild->hide();
    bool gelungen = true;
    QString grund;
    try {
        Gear1->SetPicture(OriginalBild);
        TBeschaeftigtSperre sperre(this);
        SetzeArbeitsModus(true);
        try {
            operation(*Gear1, wert);
        } catch (...) {
            SetzeArbeitsModus(false);
            throw;
        }
        SetzeArbeitsModus(false);
    } catch (const std::exception& fehler) {
        gelungen = false;
        grund = QString::fromLocal8Bit(fehler.what());
    } catch (...) {
        gelungen = false;
    }
    TBitmap ergebnis;
    int tiefe = BildFarbtiefe;
    if (gelungen) {
        // GearZuBitmap tells the user itself when the transfer fails.
        gelungen = GearZuBitmap(*Gear1, ergebnis) && !ergebnis.IsEmpty();
        if (gelungen)
            tiefe = Gear1->ImageBitsPerPixel();
    } else {
        Meldung(QStringLiteral("Der Vorgang konnte nicht ausgeführt werden.")
                    + (grund.isEmpty() ? QString() : QStringLiteral("\r") + grund),
                TMeldungArt::Warnung);
    }
    if (gelungen) {
        OriginalBild = std::move(ergebnis);
        // The depth first, so the redisplay applies the gamma by the new one.
        BildFarbtiefe = tiefe;
    } else {
        RueckgaengigSchrittVerwerfen(schrittGeschrieben);
    }
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    AnzeigeBild->show();
    if (gelungen)
        BildBearbeitet = true;
    MenuesSetzen();
    return gelungen;
}

void TfrmZelvanoMain::mFar1FehlerVerteilungsDitheringExecute() { GearBefehl(Op1Diffusion); }
void TfrmZelvanoMain::mFar1HalbtonMonoDitheringExecute() { GearBefehl(Op1Halbton); }
void TfrmZelvanoMain::mFar1BayerMonoDitheringExecute() { GearBefehl(Op1Bayer); }
void TfrmZelvanoMain::mFar4OctreeExecute() { GearBefehl(Op4Octree); }
void TfrmZelvanoMain::mFar4FehlerVerteilungsDitheringExecute() { GearBefehl(Op4Diffusion); }
void TfrmZelvanoMain::mFar4BayerFarbDitheringExecute() { GearBefehl(Op4Bayer); }
void TfrmZelvanoMain::mFar8OctExecute() { GearBefehl(Op8Octree); }
void TfrmZelvanoMain::mFar8FehlerVerteilungsDitheringExecute() { GearBefehl(Op8MedianCut); }
void TfrmZelvanoMain::mFar8PalettenOptimierungExecute() { GearBefehl(Op8Popularity); }

void TfrmZelvanoMain::SetzeIsoFilter(int n)
{
    if (n < 1 || n > 8)
        return;
    GearBefehl(OpKanten, n);
}

void TfrmZelvanoMain::mFilterIsoPrewittExecute() { SetzeIsoFilter(1); }
void TfrmZelvanoMain::mFilterIsoRobertsExecute() { SetzeIsoFilter(2); }
void TfrmZelvanoMain::mFilterIsoSobelExecute() { SetzeIsoFilter(3); }
void TfrmZelvanoMain::mFilterIsoLaplacianExecute() { SetzeIsoFilter(4); }
void TfrmZelvanoMain::mFilterIsoHorizontalExecute() { SetzeIsoFilter(5); }
void TfrmZelvanoMain::mFilterIsoVertikalExecute() { SetzeIsoFilter(6); }
void TfrmZelvanoMain::mFilterIsoPositivSchraegExecute() { SetzeIsoFilter(7); }
void TfrmZelvanoMain::mFilterIsoNegativSchraegExecute() { SetzeIsoFilter(8); }
void TfrmZelvanoMain::mFilterPraegenExecute() { GearBefehl(OpPraegen); }
void TfrmZelvanoMain::mFilterZerstreuenExecute() { GearBefehl(OpZerstreuen); }
void TfrmZelvanoMain::mFilterVerwischenExecute() { GearBefehl(OpVerwischen); }
void TfrmZelvanoMain::mFilterReliefExecute() { GearBefehl(OpRelief); }
void TfrmZelvanoMain::mFilterPosterExecute() { GearBefehl(OpPoster); }
void TfrmZelvanoMain::mFilterTwistExecute() { GearBefehl(OpTwist); }
void TfrmZelvanoMain::mFilterStrukturglasExecute() { GearBefehl(OpStrukturglas); }
void TfrmZelvanoMain::mFilterSchleierExecute() { GearBefehl(OpSchleier); }

// ---- Without the control ---------------------------------------------------------

void TfrmZelvanoMain::mFarFarbexpansion24Execute()
{
    // The working bitmap is 24-bit already; only the depth changes.
    if (GearBeschaeftigt || OriginalBild.IsEmpty())
        return;
    RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
    BildFarbtiefe = 24;
    BildBearbeitet = true;
    MenuesSetzen();
}

void TfrmZelvanoMain::mFarInvertierenExecute()
{
    if (GearBeschaeftigt || OriginalBild.IsEmpty())
        return;
    RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
    AnzeigeBild->hide();
    BitmapInvertieren(OriginalBild);
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    AnzeigeBild->show();
    BildBearbeitet = true;
    MenuesSetzen();
}
