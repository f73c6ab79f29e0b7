// Programmstart: the program's main block.
#include <QApplication>
#include <QLocale>
#include <Magick++.h>
#include "ZelvanoMain.h"

int main(int argc, char** argv)
{
    Magick::InitializeMagick(argv[0]);
    QApplication anwendung(argc, argv);
    // The user's locale decides number, date and currency formats.
    QLocale::setDefault(QLocale::system());
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QApplication::setOrganizationName(QStringLiteral("QZT"));

    auto* hauptfenster = new TfrmZelvanoMain();
    // The dialog windows are created here, in their fixed order, as their
    // units join the program.

    hauptfenster->show();
    QStringList argumente = QCoreApplication::arguments();
    argumente.removeFirst();
    hauptfenster->FormShow(argumente);
    const int ergebnis = anwendung.exec();
    delete hauptfenster;
    return ergebnis;
}
