// The main window's commands that open the search, the go-to list, the
// animation window, the settings dialog and the program-info box.
#include "ZelvanoMain.h"
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include "AnzeigeBild.h"
#include "Einstell.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Info.h"
#include "Menuset.h"
#include "files/Suche.h"
#include "viewing/Animation.h"
#include "viewing/Gehezu.h"
#include "viewing/Vollbild.h"

void TfrmZelvanoMain::FensterVerbinden()
{
    AktionVerbinden(mDatSuchen, &TfrmZelvanoMain::mDatSuchenExecute);
    AktionVerbinden(mAnsGehezu, &TfrmZelvanoMain::mAnsGehezuExecute);
    AktionVerbinden(mAnsAnimieren, &TfrmZelvanoMain::mAnsAnimierenExecute);
    AktionVerbinden(mDatEinstellungen, &TfrmZelvanoMain::mDatEinstellungenExecute);
    AktionVerbinden(mHilfeInfo, &TfrmZelvanoMain::mHilfeInfoExecute);
    // The full-screen view's go-to item opens the same list.
    VollbildGehezuZeigen = [this] {
        if (!frmGehezu)
            frmGehezu = new TfrmGehezu(this);
        return frmGehezu->exec();
    };
}

void TfrmZelvanoMain::mDatSuchenExecute()
{
    if (!AchtungBearbeitet())
        return;
    MitVerborgenerAnzeige([this] {
        if (!frmSuche)
            frmSuche = new TfrmSuche(this);
        if (frmSuche->exec() == QDialog::Accepted) {
            BildIndex = 0;
            BildAnzeigen();
        }
    });
}

void TfrmZelvanoMain::mAnsGehezuExecute()
{
    if (!AchtungBearbeitet())
        return;
    if (!frmGehezu)
        frmGehezu = new TfrmGehezu(this);
    if (frmGehezu->exec() == QDialog::Accepted)
        BildAnzeigen();
}

void TfrmZelvanoMain::mAnsAnimierenExecute()
{
    if (!frmAnimation)
        frmAnimation = new TfrmAnimation(this);
    frmAnimation->exec();
}

void TfrmZelvanoMain::mDatEinstellungenExecute()
{
    MitVerborgenerAnzeige([this] {
        if (!frmEinstell)
            frmEinstell = new TfrmEinstell(this);
        if (frmEinstell->exec() == QDialog::Accepted)
            EinstellungenAnwenden();
    });
    // Whatever the result: the gamma slider acts at once.
    if (BildQuelle > BildQuelleKeine)
        SetAnzeigeBild();
}

void TfrmZelvanoMain::LeisteAndocken(QToolBar* leiste, bool sichtbar, int position)
{
    // The settings keep the position within 1 (left), 2 (top) and 3 (right).
    const Qt::ToolBarArea bereich = position == 1   ? Qt::LeftToolBarArea
                                    : position == 3 ? Qt::RightToolBarArea
                                                    : Qt::TopToolBarArea;
    // Adding a bar that is already there moves it to the new side.
    addToolBar(bereich, leiste);
    leiste->setVisible(sichtbar);
}

void TfrmZelvanoMain::EinstellungenAnwenden()
{
    QPalette palette = AnzeigeBox->palette();
    palette.setColor(QPalette::Window, QColor(HgFarbeRgb()));
    AnzeigeBox->setPalette(palette);
    AnzeigeBox->viewport()->setPalette(palette);

    LeisteAndocken(ToolBar1, Buttonleiste1, Buttonleiste1Pos);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    LeisteAndocken(ToolBar2, Buttonleiste2, Buttonleiste2Pos);
    StatusBar1->setVisible(Statusleiste);

    if (!StartVerzLaden.isEmpty() && QFileInfo(StartVerzLaden).isDir())
        LadeVerzeichnis = MitTrenner(StartVerzLaden);
    else if (!SpezialOrdnerPfad(CSIDL_PERSONAL).isEmpty())
        LadeVerzeichnis = SpezialOrdnerPfad(CSIDL_PERSONAL);
    else
        LadeVerzeichnis = MitTrenner(QDir::homePath());
    if (!StartVerzSpeichern.isEmpty() && QFileInfo(StartVerzSpeichern).isDir())
        SpeicherVerzeichnis = MitTrenner(StartVerzSpeichern);
}

void TfrmZelvanoMain::mHilfeInfoExecute()
{
    MitVerborgenerAnzeige([this] {
        if (!frmInfo)
            frmInfo = new TfrmInfo(this);
        frmInfo->exec();
    });
}
