// The help command: the help file beside the program, or the pages it is
// made from.
#include "ZelvanoMain.h"
#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include "Global.h"
#include "Meldung.h"

void TfrmZelvanoMain::HilfeVerbinden()
{
    AktionVerbinden(mHilfeInhalt, &TfrmZelvanoMain::mHilfeInhaltExecute);
}

void TfrmZelvanoMain::mHilfeInhaltExecute()
{
    const QString hilfe = PfadVerbinden(QCoreApplication::applicationDirPath(), QStringLiteral("zelvano.chm"));
    if (!QFileInfo::exists(hilfe)) {
        Meldung(QStringLiteral("Hilfe-Datei nicht gefunden\r") + hilfe);
        return;
    }
    HilfeDateiOeffnen(hilfe);
}

bool TfrmZelvanoMain::HilfeDateiOeffnen(const QString& hilfe)
{
    // The desktop's viewer opens the file at its contents page; there is no
    // way to hand it a context number. Only a viewer set up for the type gets
    // it: the desktop's opener takes any file and, without one, shows nothing.
    if (AnzeigeprogrammEingerichtet(hilfe) && QDesktopServices::openUrl(QUrl::fromLocalFile(hilfe)))
        return true;
    // Otherwise the pages the help file is made from, at its contents page
    // (help context 1), in the user's browser.
    const QString inhalt = PfadVerbinden(QFileInfo(hilfe).absolutePath(), QStringLiteral("hilfe/inhalt.html"));
    if (QFileInfo::exists(inhalt) && QDesktopServices::openUrl(QUrl::fromLocalFile(inhalt)))
        return true;
    Meldung(QStringLiteral("Die Hilfe konnte nicht angezeigt werden.\r\r"
                           "Für die Hilfe-Datei\r%1\rist auf diesem System kein Anzeigeprogramm eingerichtet, und die "
                           "Hilfeseiten\r%2\rließen sich nicht im Browser öffnen.")
                .arg(hilfe, inhalt),
            TMeldungArt::Warnung, mbOk);
    return false;
}
