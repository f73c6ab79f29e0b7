// Programmstart: the program's main block.
#include <QApplication>
#include <QLocale>
#include <Magick++.h>
#include "QtTexte.h"
#include "ZelvanoMain.h"
#include "files/Formatoption.h"
#include "files/JpgDrehen.h"
#include "files/Oeffnen.h"
#include "files/Speichern.h"
#include "printing/Drucken.h"
#include "viewing/Vollbild.h"
#include "viewing/Vorschau.h"
#include "editing/Attribute.h"
#include "editing/Farben.h"
#include "editing/Skalieren.h"

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
    frmSpeichern = new TfrmSpeichern(hauptfenster);
    frmFormatOption = new TfrmFormatOption(hauptfenster);
    frmSkalieren = new TfrmSkalieren(hauptfenster);
    frmDrucken = new TfrmDrucken(hauptfenster);
    frmVollbild = new TfrmVollbild(hauptfenster);
    frmFarben = new TfrmFarben(hauptfenster);
    frmAttribute = new TfrmAttribute(hauptfenster);
    frmJpgDrehen = new TfrmJpgDrehen(hauptfenster);
    frmVorschau = new TfrmVorschau(hauptfenster);

    hauptfenster->show();
    QStringList argumente = QCoreApplication::arguments();
    argumente.removeFirst();
    hauptfenster->FormShow(argumente);
    const int ergebnis = anwendung.exec();
    delete hauptfenster;
    return ergebnis;
}
