// Programmstart: the program's main block.
#include <QApplication>
#include <QLocale>
#include <Magick++.h>
#include "ZelvanoMain.h"
#include "files/Formatoption.h"
#include "files/JpgDrehen.h"
#include "files/Oeffnen.h"
#include "files/Speichern.h"
#include "files/Suche.h"
#include "Einstell.h"
#include "Info.h"
#include "viewing/Animation.h"
#include "viewing/Gehezu.h"
#include "printing/Drucken.h"
#include "viewing/Vollbild.h"
#include "viewing/Vorschau.h"
#include "editing/Attribute.h"
#include "editing/Skalieren.h"

int main(int argc, char** argv)
{
    Magick::InitializeMagick(argv[0]);
    QApplication anwendung(argc, argv);
    // The user's locale decides number, date and currency formats.
    QLocale::setDefault(QLocale::system());
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QApplication::setOrganizationName(QStringLiteral("QZT"));

    auto* hauptfenster = new TfrmZelvanoMain();
    // The dialog windows, in their fixed order; each lives until the end.
    frmOeffnen = new TfrmOeffnen(hauptfenster);
    frmGehezu = new TfrmGehezu(hauptfenster);
    frmSpeichern = new TfrmSpeichern(hauptfenster);
    frmSuche = new TfrmSuche(hauptfenster);
    frmFormatOption = new TfrmFormatOption(hauptfenster);
    frmSkalieren = new TfrmSkalieren(hauptfenster);
    frmDrucken = new TfrmDrucken(hauptfenster);
    frmInfo = new TfrmInfo(hauptfenster);
    frmEinstell = new TfrmEinstell(hauptfenster);
    frmVollbild = new TfrmVollbild(hauptfenster);
    frmAttribute = new TfrmAttribute(hauptfenster);
    frmJpgDrehen = new TfrmJpgDrehen(hauptfenster);
    frmAnimation = new TfrmAnimation(hauptfenster);
    frmVorschau = new TfrmVorschau(hauptfenster);

    hauptfenster->show();
    QStringList argumente = QCoreApplication::arguments();
    argumente.removeFirst();
    hauptfenster->FormShow(argumente);
    const int ergebnis = anwendung.exec();
    delete hauptfenster;
    return ergebnis;
}
