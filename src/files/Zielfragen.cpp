// The target folder and the overwrite question of the save and convert windows.
#include "Zielfragen.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include "Global.h"
#include "ZelvanoMain.h"

void SpeicherVerzeichnisPruefen()
{
    if (SpeicherVerzeichnis.isEmpty())
        SpeicherVerzeichnis = MitTrenner(LadeVerzeichnis);
    if (SpeicherVerzeichnis.isEmpty() || !QFileInfo(SpeicherVerzeichnis).isDir()) {
        QString eigene = SpezialOrdnerPfad(CSIDL_PERSONAL);
        if (eigene.isEmpty() || !QFileInfo(eigene).isDir())
            eigene = QDir::homePath();
        SpeicherVerzeichnis = MitTrenner(eigene);
    }
}

QString ZielOrdnerAusEingabe(const QString& eingabe, const QString& gezeigt)
{
    QString text = eingabe;
    if (text.isEmpty())
        text = gezeigt;
    else if (QDir::isRelativePath(text) && !gezeigt.isEmpty())
        text = QDir(gezeigt).absoluteFilePath(text);
    return MitTrenner(QDir::cleanPath(text));
}

bool ZielOrdnerAnlegen(const QString& ordner)
{
    if (QFileInfo(ordner).isDir())
        return true;
    const int antwort = Meldung(QStringLiteral("Der Ordner: ") + ordner + QStringLiteral("\r\r")
                                    + QStringLiteral("ist nicht vorhanden.") + QStringLiteral("\r\r")
                                    + QStringLiteral("Soll er angelegt werden werden?          ")
                                    + QStringLiteral("\r\r"),
                                TMeldungArt::Bestaetigung, mbJa | mbNein);
    if (antwort != mbJa)
        return false;
    QDir().mkpath(ordner);
    QCoreApplication::processEvents();
    if (QFileInfo(ordner).isDir())
        return true;
    Meldung(QStringLiteral("Der Ordner: ") + ordner + QStringLiteral("\r\r")
                + QStringLiteral("kann nicht angelegt werden. Mögliche Gründe können sein:     ")
                + QStringLiteral("\r") + QStringLiteral("Der Zugriff auf das Laufwerk ist nicht möglich")
                + QStringLiteral("\r") + QStringLiteral("oder der Ordnername ist nicht zulässig.")
                + QStringLiteral("\r\r"),
            TMeldungArt::Fehler, mbOk);
    return false;
}

int UeberschreibenFragen(const QString& pfad, TMeldungArt art, int knoepfe)
{
    return Meldung(QStringLiteral("Eine Datei mit dem Namen ") + pfad + QStringLiteral("\r")
                       + QStringLiteral("ist bereits vorhanden.") + QStringLiteral("\r\r")
                       + QStringLiteral("Soll die Datei überschrieben werden?") + QStringLiteral("\r\r"),
                   art, knoepfe);
}
