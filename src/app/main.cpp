// Programmstart: the program's main block.
#include <QApplication>
#include <QLocale>
#include <Magick++.h>
#include "QtTexte.h"
#include "ZelvanoMain.h"
#include "editing/Attribute.h"
#include "editing/Drehen.h"
#include "editing/Farben.h"
#include "editing/Schneiden.h"
#include "editing/Skalieren.h"
#include "files/Formatoption.h"
#include "files/JpgDrehen.h"
#include "files/JpgOptimierung.h"
#include "files/Konvertieren.h"
#include "files/Oeffnen.h"
#include "files/Speichern.h"
#include "files/Suche.h"
#include "files/Zielgroesse.h"
#include "printing/Archivdruck.h"
#include "printing/Drucken.h"
#include "viewing/Animation.h"
#include "viewing/Bildinfo.h"
#include "viewing/Gehezu.h"
#include "viewing/Vollbild.h"
#include "viewing/Vorschau.h"
#include "Einstell.h"
#include "Info.h"

int main(int argc, char** argv)
{
    Magick::InitializeMagick(argv[0]);
    QApplication anwendung(argc, argv);
    // The user's locale decides number, date and currency formats.
    QLocale::setDefault(QLocale::system());
    QtTexteDeutsch(anwendung);
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QApplication::setOrganizationName(QStringLiteral("QZT"));

    auto* hauptfenster = new TfrmZelvanoMain();
    // The dialog windows, in their fixed order; each lives until the end.
    frmOeffnen = new TfrmOeffnen(hauptfenster);
    frmGehezu = new TfrmGehezu(hauptfenster);
    frmSpeichern = new TfrmSpeichern(hauptfenster);
    frmSuche = new TfrmSuche(hauptfenster);
    frmFormatOption = new TfrmFormatOption(hauptfenster);
    frmBildinfo = new TfrmBildinfo(hauptfenster);
    frmSkalieren = new TfrmSkalieren(hauptfenster);
    frmDrucken = new TfrmDrucken(hauptfenster);
    frmArchivdruck = new TfrmArchivdruck(hauptfenster);
    frmKonvertieren = new TfrmKonvertieren(hauptfenster);
    frmInfo = new TfrmInfo(hauptfenster);
    frmEinstell = new TfrmEinstell(hauptfenster);
    frmVollbild = new TfrmVollbild(hauptfenster);
    frmZielgroesse = new TfrmZielgroesse(hauptfenster);
    frmDrehen = new TfrmDrehen(hauptfenster);
    frmSchneiden = new TfrmSchneiden(hauptfenster);
    frmJpgOptimierung = new TfrmJpgOptimierung(hauptfenster);
    frmFarben = new TfrmFarben(hauptfenster);
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
