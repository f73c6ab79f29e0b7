#include "ZelvanoMain.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>

void TfrmZelvanoMain::AktionenAnlegen()
{
    menDatei = menuBar()->addMenu(QStringLiteral("&Datei"));
    mDatSpeichernals = menDatei->addAction(QStringLiteral("Speichern unter..."));
    connect(mDatSpeichernals, &QAction::triggered, this, &TfrmZelvanoMain::mDatSpeichernalsExecute);
    menDatei->addSeparator();
    mDatBeenden = menDatei->addAction(QStringLiteral("Beenden"));
    connect(mDatBeenden, &QAction::triggered, this, &TfrmZelvanoMain::mDatBeendenExecute);
}
