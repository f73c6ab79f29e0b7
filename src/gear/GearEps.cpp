#include "GearEps.h"
#include "GearHilfen.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace {

uint32_t Le32(const QByteArray& d, int i)
{
    return uint32_t(uint8_t(d[i])) | (uint32_t(uint8_t(d[i + 1])) << 8) | (uint32_t(uint8_t(d[i + 2])) << 16)
        | (uint32_t(uint8_t(d[i + 3])) << 24);
}

bool DosEps(const QByteArray& d) { return d.size() >= 30 && d.startsWith("\xC5\xD0\xD3\xC6"); }

constexpr int Zeitlimit = 60000;

} // namespace

bool EpsSignatur(const QByteArray& d)
{
    return d.startsWith("%!PS-Adobe") || DosEps(d);
}

bool EpsDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs)
{
    QByteArray ps = daten;
    if (DosEps(daten)) {
        const qint64 anfang = Le32(daten, 4), laenge = Le32(daten, 8);
        if (anfang < 30 || laenge <= 0 || anfang + laenge > daten.size()) {
            fehler = QStringLiteral("Die EPS-Datei ist beschädigt.");
            return false;
        }
        ps = daten.mid(anfang, laenge);
    }
    // The picture's size from the bounding box, taken from the memory
    // budget before Ghostscript draws anything.
    static const QRegularExpression rahmen(QStringLiteral("%%BoundingBox:\\s*(-?[\\d.]+)\\s+(-?[\\d.]+)\\s+(-?[\\d.]+)\\s+(-?[\\d.]+)"));
    const QRegularExpressionMatch m = rahmen.match(QString::fromLatin1(ps.left(64 * 1024)));
    if (!m.hasMatch()) {
        fehler = QStringLiteral("Die EPS-Datei nennt keine Bildgröße (BoundingBox).");
        return false;
    }
    const double b = std::ceil(m.captured(3).toDouble() - m.captured(1).toDouble());
    const double h = std::ceil(m.captured(4).toDouble() - m.captured(2).toDouble());
    if (!(b >= 1 && h >= 1 && b * h <= double(GearMaxPixel))) {
        fehler = QStringLiteral("Die Bildgröße der EPS-Datei ist ungültig.");
        return false;
    }
    if (!GearSpeicherNehmen(qint64(b) * qint64(h) * 3 + 64, fehler))
        return false;
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty()) {
        fehler = QStringLiteral("Ghostscript (gs) ist nicht installiert; EPS-Dateien können nicht gelesen werden.");
        return false;
    }
    QTemporaryDir ordner;
    const QString ein = ordner.filePath(QStringLiteral("bild.eps")), aus = ordner.filePath(QStringLiteral("bild.ppm"));
    QFile datei(ein);
    if (!ordner.isValid() || !datei.open(QIODevice::WriteOnly) || datei.write(ps) != ps.size()) {
        fehler = QStringLiteral("Die EPS-Datei kann nicht an Ghostscript übergeben werden.");
        return false;
    }
    datei.close();
    if (fs)
        fs(10);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(ordner.path());
    // The safe mode still lets a file write into Ghostscript's temporary
    // folder; that folder becomes our own empty one, removed afterwards.
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"TMPDIR", "TEMP", "TMP"})
        umgebung.insert(QLatin1String(name), ordner.path());
    p.setProcessEnvironment(umgebung);
    p.start(gs, {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"), QStringLiteral("-dNOPAUSE"),
                 QStringLiteral("-dEPSCrop"), QStringLiteral("-dFirstPage=1"), QStringLiteral("-dLastPage=1"),
                 QStringLiteral("-r72"), QStringLiteral("-dTextAlphaBits=4"), QStringLiteral("-dGraphicsAlphaBits=4"),
                 QStringLiteral("-sDEVICE=ppmraw"), QStringLiteral("-sOutputFile=") + aus, ein});
    if (!p.waitForFinished(Zeitlimit)) {
        p.kill();
        p.waitForFinished(2000);
        fehler = QStringLiteral("Ghostscript hat die EPS-Datei nicht in der Zeit gezeichnet.");
        return false;
    }
    QImage bild;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !bild.load(aus, "PPM")) {
        const QString meldung = QString::fromLocal8Bit(p.readAll()).simplified().left(200);
        fehler = QStringLiteral("Ghostscript kann die EPS-Datei nicht zeichnen (%1).").arg(meldung);
        return false;
    }
    seite.bild = bild.convertToFormat(QImage::Format_BGR888);
    seite.bpp = 24;
    if (fs)
        fs(100);
    return !seite.bild.isNull();
}
