// The recursive file search of the image search.
#include "Datsuch.h"
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace {

QString Endung(const QString& name)
{
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    return punkt < 0 ? QString() : name.mid(punkt).toUpper();
}

QString MitSchraegstrich(const QString& ordner)
{
    return ordner.endsWith(QLatin1Char('/')) ? ordner : ordner + QLatin1Char('/');
}

} // namespace

QStringList SuchEndungen(const QString& maske)
{
    QStringList endungen;
    for (const QString& teil : maske.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString endung = Endung(teil.trimmed());
        // "." alone would match names ending in a dot.
        if (endung.size() > 1 && !endungen.contains(endung))
            endungen << endung;
    }
    return endungen;
}

bool OrdnerDurchsuchen(const QString& ordner, const QStringList& endungen, QStringList& ergebnis,
                       QStringList& unterordner, qsizetype maxTreffer)
{
    const QFileInfo info(ordner);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString basis = MitSchraegstrich(ordner);
    // Without QDir::Hidden and QDir::System: no dot names, no devices, pipes,
    // sockets or broken links.
    QDirIterator eintraege(ordner, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (eintraege.hasNext()) {
        eintraege.next();
        const QFileInfo datei = eintraege.fileInfo();
        const QString name = eintraege.fileName();
        if (datei.isDir()) {
            if (!datei.isSymLink())
                unterordner << basis + name;
            continue;
        }
        if (ergebnis.size() >= maxTreffer)
            continue;
        const QString endung = Endung(name);
        if (endung.size() > 1 && endungen.contains(endung))
            ergebnis << basis + name;
    }
    return true;
}

TSuchBericht DateienSuchen(const QString& startOrdner, const QString& erweiterungen, QStringList& ergebnis,
                           qsizetype maxTreffer)
{
    TSuchBericht bericht;
    ergebnis.clear();
    const QStringList endungen = SuchEndungen(erweiterungen);
    // An explicit stack instead of recursion: a deep tree cannot exhaust the
    // call stack. Sub-folders go on in reverse, so they come off in order.
    QStringList offen{startOrdner};
    QStringList unterordner;
    while (!offen.isEmpty()) {
        const QString ordner = offen.takeLast();
        unterordner.clear();
        // One hit more than the limit tells a full list from an overflowing one.
        if (!OrdnerDurchsuchen(ordner, endungen, ergebnis, unterordner, maxTreffer + 1)) {
            bericht.Unlesbar << MitSchraegstrich(ordner);
            continue;
        }
        if (ergebnis.size() > maxTreffer) {
            ergebnis.resize(maxTreffer);
            bericht.ZuVieleDateien = true;
            return bericht;
        }
        std::reverse(unterordner.begin(), unterordner.end());
        offen << unterordner;
    }
    return bericht;
}
