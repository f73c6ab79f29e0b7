// Shared helpers that ask the desktop: the screens a window is restored onto
// and the programs set up for a file type.
#include "Global.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QRect>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>

QRect FensterAufBildschirm(const QRect& grenzen)
{
    // A window smaller than the minimum counts as reachable when it lies on a screen whole.
    const int mindestBreite = std::min(100, grenzen.width());
    const int mindestHoehe = std::min(50, grenzen.height());
    for (const QScreen* schirm : QGuiApplication::screens()) {
        const QRect teil = grenzen.intersected(schirm->geometry());
        if (!teil.isEmpty() && teil.width() >= mindestBreite && teil.height() >= mindestHoehe)
            return grenzen;
    }
    const QScreen* haupt = QGuiApplication::primaryScreen();
    if (!haupt)
        return grenzen;
    const QRect arbeit = haupt->availableGeometry();
    QRect neu(grenzen.topLeft(), grenzen.size().boundedTo(arbeit.size()));
    neu.moveLeft(std::clamp(neu.left(), arbeit.left(), arbeit.right() + 1 - std::max(0, neu.width())));
    neu.moveTop(std::clamp(neu.top(), arbeit.top(), arbeit.bottom() + 1 - std::max(0, neu.height())));
    return neu;
}

namespace {

using TGruppen = QHash<QString, QHash<QString, QString>>;

// The groups of a desktop entry or an association list, key by key. Keys
// with a language ("Name[de]") are kept as they stand; nothing here reads them.
TGruppen DesktopDateiLesen(const QString& pfad)
{
    TGruppen gruppen;
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return gruppen;
    QHash<QString, QString>* gruppe = nullptr;
    while (!datei.atEnd()) {
        const QString zeile = QString::fromUtf8(datei.readLine()).trimmed();
        if (zeile.isEmpty() || zeile.startsWith(QLatin1Char('#')))
            continue;
        if (zeile.startsWith(QLatin1Char('[')) && zeile.endsWith(QLatin1Char(']'))) {
            gruppe = &gruppen[zeile.mid(1, zeile.size() - 2)];
            continue;
        }
        const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
        if (gruppe && gleich > 0 && !gruppe->contains(zeile.left(gleich).trimmed()))
            gruppe->insert(zeile.left(gleich).trimmed(), zeile.mid(gleich + 1).trimmed());
    }
    return gruppen;
}

QStringList Liste(const QString& text)
{
    return text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace

bool AnzeigeprogrammEingerichtet(const QString& datei)
{
    const QMimeType typ = QMimeDatabase().mimeTypeForFile(datei);
    if (!typ.isValid() || typ.isDefault())
        return false;
    const QStringList typen = QStringList{typ.name()} + typ.aliases();

    // Every program's desktop entry by its id ("sub/x.desktop" is "sub-x.desktop");
    // the user's own folder comes first and hides an entry of the same id below.
    const QStringList programmOrdner = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    QHash<QString, QHash<QString, QString>> programme;
    for (const QString& ordner : programmOrdner) {
        QDirIterator it(ordner, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString pfad = it.next();
            const QString id = QDir(ordner).relativeFilePath(pfad).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (!programme.contains(id))
                programme.insert(id, DesktopDateiLesen(pfad).value(QStringLiteral("Desktop Entry")));
        }
    }
    auto vorhanden = [&programme](const QString& id) {
        const auto eintrag = programme.constFind(id);
        return eintrag != programme.constEnd() && eintrag->value(QStringLiteral("Hidden")) != QLatin1String("true");
    };

    // The association lists, the most important first: the user's, the
    // system's, then those beside the programs; a desktop's own list before
    // the common one. A program taken off the type counts no more below.
    QStringList listen;
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& ordner :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation) + programmOrdner) {
        for (const QString& desktop : desktops)
            listen << ordner + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        listen << ordner + QStringLiteral("/mimeapps.list");
    }
    QSet<QString> abgewaehlt;
    for (const QString& liste : listen) {
        const TGruppen gruppen = DesktopDateiLesen(liste);
        for (const QString& name : typen) {
            const QStringList gewaehlt = Liste(gruppen.value(QStringLiteral("Default Applications")).value(name))
                                         + Liste(gruppen.value(QStringLiteral("Added Associations")).value(name));
            for (const QString& id : gewaehlt)
                if (!abgewaehlt.contains(id) && vorhanden(id))
                    return true;
            for (const QString& id : Liste(gruppen.value(QStringLiteral("Removed Associations")).value(name)))
                abgewaehlt.insert(id);
        }
    }

    for (auto eintrag = programme.cbegin(); eintrag != programme.cend(); ++eintrag) {
        if (abgewaehlt.contains(eintrag.key()) || !vorhanden(eintrag.key()))
            continue;
        const QStringList mimeTypen = Liste(eintrag->value(QStringLiteral("MimeType")));
        for (const QString& name : typen)
            if (mimeTypen.contains(name))
                return true;
    }
    return false;
}
