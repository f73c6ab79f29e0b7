#include "Menuset.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include "gear/Gear.h"
#include "Global.h"
#include "Modi.h"
#include "ZelvanoMain.h"
#include "pixelops/Runden.h"

static const char* const EigenschaftRegelFrei = "zelvanoRegelFrei";

bool AktionRegelFrei(const QAction* aktion)
{
    const QVariant frei = aktion->property(EigenschaftRegelFrei);
    return frei.isValid() ? frei.toBool() : true;
}

void AktionFreigeben(QAction* aktion, bool frei)
{
    aktion->setProperty(EigenschaftRegelFrei, frei);
    aktion->setEnabled(frei);
}

static void MenueFreigeben(QMenu* menue, bool frei)
{
    menue->menuAction()->setEnabled(frei);
}

// A tool button bound to an action can only be as enabled as its action.
static void KnopfFreigeben(QToolButton* knopf, bool frei)
{
    if (!knopf)
        return;
    QAction* aktion = knopf->defaultAction();
    knopf->setEnabled(frei && (!aktion || aktion->isEnabled()));
}

static void PanelSetzen(QLabel* panel, const QString& text, int breite)
{
    panel->setText(text);
    if (breite >= 0)
        panel->setFixedWidth(breite);
}

void ZoomPanelSetzen()
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    if (!f || !f->StatusBar1 || !f->StatusPanel[3])
        return;
    // Halves go to the even neighbour: 12.5 % shows 12.
    const QString text = BildQuelle != BildQuelleKeine
        ? QStringLiteral("Zoom: %1%").arg(qint64(Gerundet(ZoomFaktor * 100.0)))
        : QString();
    PanelSetzen(f->StatusPanel[3], text, QFontMetrics(f->StatusBar1->font()).horizontalAdvance(text) + 25);
}

void MenuesSetzen()
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    if (!f || !f->StatusBar1)
        return;
    TGear& gear = *f->Gear1;
    const int anzahl = int(BildListe.size());
    const int seiten = gear.PageCount();
    const int seite = gear.Page();

    // 1.
    const QMimeData* ablage = QGuiApplication::clipboard()->mimeData();
    AktionFreigeben(f->mBeaEinfuegen, ablage && ablage->hasImage());
    AktionFreigeben(f->mBeaRueckgaengig, RueckgaengigAnzahl > 0);
    // The two zoom marks are one group: fit, or exactly 100 % without fit
    // (a small image fitted at 100 % is still shown as fitted).
    f->mAnsZoomEinpassen->setChecked(Einpassen);
    f->mAnsZoom100->setChecked(!Einpassen && ZoomFaktor == 1.0);

    // 2. Status bar.
    const QFontMetrics massstab(f->StatusBar1->font());
    auto breite = [&](const QString& text) { return massstab.horizontalAdvance(text) + 25; };
    QString text;
    text = BildQuelle == BildQuelleDatei
        ? QStringLiteral("Bild %1 von %2").arg(BildIndex + 1).arg(anzahl)
        : QString();
    PanelSetzen(f->StatusPanel[0], text, breite(text));
    text = BildQuelle != BildQuelleKeine ? QStringLiteral("Farbtiefe: %1 Bit").arg(BildFarbtiefe) : QString();
    PanelSetzen(f->StatusPanel[1], text, breite(text));
    text = BildQuelle != BildQuelleKeine
        ? QStringLiteral("%1 x %2").arg(f->OriginalBild.Width()).arg(f->OriginalBild.Height())
        : QString();
    PanelSetzen(f->StatusPanel[2], text, breite(text));
    ZoomPanelSetzen();
    PanelSetzen(f->StatusPanel[4], BildBearbeitet ? QStringLiteral("Bearbeitet") : QString(),
                breite(QStringLiteral("Bearbeitet")));
    text.clear();
    if (BildQuelle == BildQuelleDatei && !BildBearbeitet) {
        if (seiten > 1)
            text = QStringLiteral(" Seite %1 von %2 von ").arg(seite).arg(seiten);
        text += QFileInfo(BildListe.value(BildIndex)).fileName();
        if (BildBeschaedigt)
            text += QStringLiteral(" (beschädigt)");
    } else if (BildQuelle == BildQuelleZwischenablage) {
        text = QStringLiteral(" Zwischenablage");
    }
    PanelSetzen(f->StatusPanel[5], text, -1);

    // 3.
    AktionFreigeben(f->mAnsBildZurueck, BildIndex > 0);
    AktionFreigeben(f->mAnsBildWeiter, BildIndex < anzahl - 1);
    f->mAnsSeiteZurueck->setVisible(false);
    f->mAnsSeiteVor->setVisible(false);
    for (QAction* a : {f->mAnsGehezu, f->mDatKonvertieren, f->mDatArchivdruck, f->mAnsAutoShow})
        AktionFreigeben(a, anzahl > 1);

    if (BildQuelle == BildQuelleKeine) {
        // 4.
        for (QAction* a : {f->mDatSpeichernals, f->mDatKonvertieren, f->mDatDrucken, f->mDatArchivdruck, f->mDatInfo,
                           f->mBeaKopieren, f->mBeaLoeschen, f->mBeaAusschneiden, f->mBeaFotoschnitt,
                           f->mBeaSkalieren, f->mBeaBildattribute, f->mBeaHorizontal, f->mBeaVertikal,
                           f->mBeaPlus90Grad, f->mBeaMinus90Grad, f->mBea180Grad, f->mBeaDrehen, f->mBeaJpgDrehen})
            AktionFreigeben(a, false);
        for (QMenu* m : {f->menAnsicht, f->menFarbe, f->menFilter})
            MenueFreigeben(m, false);
        for (QToolButton* k : {f->tbFarbe, f->tbtZoom, f->tbtVollbild})
            KnopfFreigeben(k, false);
    } else {
        // 5.1
        MenueFreigeben(f->menAnsicht, true);
        MenueFreigeben(f->menFarbe, true);
        for (QAction* a : {f->mDatSpeichernals, f->mDatInfo, f->mDatDrucken, f->mBeaKopieren, f->mBeaAusschneiden,
                           f->mBeaFotoschnitt, f->mBeaSkalieren, f->mBeaHorizontal, f->mBeaVertikal,
                           f->mBeaPlus90Grad, f->mBeaMinus90Grad, f->mBea180Grad, f->mBeaDrehen})
            AktionFreigeben(a, true);
        AktionFreigeben(f->mBeaLoeschen, BildQuelle == BildQuelleDatei);
        // 5.2 The bound tool buttons show their action's check.
        f->mBeaAusschneiden->setChecked(Ausschneiden);
        f->mBeaFotoschnitt->setChecked(Fotoschnitt || Festschnitt);
        // 5.3
        AktionFreigeben(f->mBeaJpgDrehen, JpgDrehbar && !BildBearbeitet);
        // 5.4
        if (seiten < 2) {
            AktionFreigeben(f->mAnsSeiteZurueck, false);
            AktionFreigeben(f->mAnsSeiteVor, false);
        } else {
            f->mAnsSeiteZurueck->setVisible(true);
            f->mAnsSeiteVor->setVisible(true);
            AktionFreigeben(f->mAnsSeiteZurueck, seite > 1);
            AktionFreigeben(f->mAnsSeiteVor, seite < seiten);
        }
        // 5.5
        f->mAnsAnimieren->setVisible(seiten >= 2 && gear.ImageType() == QLatin1String("GIF"));
        // 5.6
        const QList<QAction*> farbDialoge = {f->mFarKorrektur, f->mFarEinfaerben, f->mFarToenen,
                                             f->mFarGraustufen, f->mFar1Schwellwert, f->mBeaBildattribute};
        for (QAction* a : farbDialoge)
            AktionFreigeben(a, true);
        // 5.7 What a depth offers: reductions only downwards, expansions only
        // upwards, the filters only at 24 bits.
        auto tiefenZeile = [&](bool r1, bool r4, bool r8, bool e4, bool e8, bool e24, bool filter) {
            MenueFreigeben(f->FarbreduktionAuf1Bit, r1);
            MenueFreigeben(f->FarbreduktionAuf4Bit, r4);
            MenueFreigeben(f->FarbreduktionAuf8Bit, r8);
            AktionFreigeben(f->mFarInvertieren, true);
            AktionFreigeben(f->mFarFarbexpansion4, e4);
            AktionFreigeben(f->mFarFarbexpansion8, e8);
            AktionFreigeben(f->mFarFarbexpansion24, e24);
            MenueFreigeben(f->menFilter, filter);
        };
        switch (BildFarbtiefe) {
        case 1:
            for (QAction* a : farbDialoge)
                AktionFreigeben(a, false);
            AktionFreigeben(f->mBeaDrehen, false);
            tiefenZeile(false, false, false, true, true, true, false);
            break;
        case 4: tiefenZeile(true, false, false, false, true, true, false); break;
        case 8: tiefenZeile(true, true, false, false, false, true, false); break;
        case 24: tiefenZeile(true, true, true, false, false, false, true); break;
        default: break;
        }
        // 5.3, after the actions the buttons are bound to.
        for (QToolButton* k : {f->tbFarbe, f->tbtZoom, f->tbtVollbild})
            KnopfFreigeben(k, true);
    }

    // 6. Back to the main window, unless a dialog or menu holds the input.
    QCoreApplication::processEvents();
    if (f->isVisible() && !f->isActiveWindow() && !QApplication::activeModalWidget()
        && !QApplication::activePopupWidget())
        f->activateWindow();
}
