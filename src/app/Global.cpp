// Unit Global: the small shared helpers: folders and paths, file sizes and
// their text, the wait that keeps windows responsive, the version and the
// scaling to the screen. The unit's other concerns are in the files
// Global*.cpp beside this one, one each.
#include "Global.h"
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <utility>
#include "Version.h"

QString SpezialOrdnerPfad(int csidl)
{
    if (csidl != CSIDL_PERSONAL)
        return {};
    const QString pfad = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return pfad.isEmpty() ? QString() : MitTrenner(pfad);
}

QString TempPfad()
{
    return MitTrenner(QDir::tempPath());
}

bool DateinameGueltig(const QString& text)
{
    static const QString verboten = QStringLiteral("\"*/:<>?\\|");
    for (const QChar c : text)
        if (verboten.contains(c))
            return false;
    return true;
}

qint64 DateiGroesse(const QString& pfad)
{
    if (pfad.isEmpty())
        return -1;
    const QFileInfo info(pfad);
    if (!info.exists())
        return -1;
    return info.isDir() ? 0 : info.size();
}

// A value with at most `stellen` decimals, trailing zero decimals dropped,
// separators of the user's locale ("#,##.#").
static QString ZahlOhneNullen(double wert, int stellen)
{
    const QLocale ort;
    QString text = ort.toString(wert, 'f', stellen);
    const QString komma = ort.decimalPoint();
    const int k = int(text.lastIndexOf(komma));
    if (k >= 0) {
        const QString null = ort.zeroDigit();
        while (text.endsWith(null) && text.size() > k + komma.size())
            text.chop(null.size());
        if (text.endsWith(komma))
            text.chop(komma.size());
    }
    return text;
}

QString GroesseAlsText(qint64 n)
{
    if (n <= 0)
        return QStringLiteral("0 Byte");
    if (n <= 1023)
        return QString::number(n) + QStringLiteral(" Byte");
    if (n <= 1048575)
        return ZahlOhneNullen(double(n) / 1024.0, 1) + QStringLiteral(" KB");
    return ZahlOhneNullen(double(n) / 1048576.0, 2) + QStringLiteral(" MB");
}

QString MitTrenner(const QString& ordner)
{
    // An empty folder stays empty: it must not turn into the root folder.
    if (ordner.isEmpty() || ordner.endsWith(QLatin1Char('/')))
        return ordner;
    return ordner + QLatin1Char('/');
}

QString PfadVerbinden(const QString& ordner, const QString& name)
{
    return MitTrenner(ordner) + name;
}

void Tausche(int& a, int& b)
{
    std::swap(a, b);
}

void WarteMs(uint32_t ms)
{
    QElapsedTimer uhr;
    uhr.start();
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        QThread::msleep(ms);
        return;
    }
    // The timer wakes the blocking event wait at the deadline, so the wait
    // handles input without spinning the processor.
    QTimer wecker;
    wecker.setSingleShot(true);
    wecker.setTimerType(Qt::PreciseTimer);
    while (quint64(uhr.elapsed()) <= quint64(ms)) {
        if (!wecker.isActive()) {
            const quint64 rest = quint64(ms) - quint64(uhr.elapsed()) + 1;
            wecker.start(int(std::min<quint64>(rest, quint64(INT_MAX))));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // A wait inside the handling of a posted event (the slide show
        // started as its window activates, under a modal loop opened by a
        // click) does not get the posted events from the loop above, among
        // them every repaint: they are handed out here.
        QCoreApplication::sendPostedEvents();
    }
}

QString ProgrammVersion(int teile)
{
    const int stuecke[4] = {ZELVANO_VERSION_MAJOR + 0, ZELVANO_VERSION_MINOR + 0, ZELVANO_VERSION_PATCH + 0,
                            ZELVANO_VERSION_TWEAK + 0};
    const int n = std::clamp(teile, 1, 4);
    QStringList text;
    for (int i = 0; i < n; ++i)
        text << QString::number(stuecke[i]);
    return text.join(QLatin1Char('.'));
}

// Logical dots per inch of the primary screen; 96 without one.
static int BildschirmDpi()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* schirm = QGuiApplication::primaryScreen();
    if (!schirm)
        return 96;
    const int dpi = qRound(schirm->logicalDotsPerInch());
    return dpi > 0 ? dpi : 96;
}

int DpiSkalieren(int wert, int teiler)
{
    return DpiSkalieren(wert, teiler, BildschirmDpi());
}

int DpiSkalieren(int wert, int teiler, int dpi)
{
    // value * dpi / divisor, a half rounded away from zero; -1 for a zero
    // divisor or a result out of range.
    if (teiler == 0)
        return -1;
    qint64 zaehler = qint64(wert) * qint64(dpi);
    qint64 nenner = teiler;
    const bool negativ = (zaehler < 0) != (nenner < 0);
    zaehler = zaehler < 0 ? -zaehler : zaehler;
    nenner = nenner < 0 ? -nenner : nenner;
    qint64 ergebnis = (2 * zaehler + nenner) / (2 * nenner);
    if (negativ)
        ergebnis = -ergebnis;
    if (ergebnis > INT_MAX || ergebnis < INT_MIN)
        return -1;
    return int(ergebnis);
}

int BilderListenGroesse(int dpi)
{
    if (dpi < 120)
        return 20;
    if (dpi < 144)
        return 25;
    if (dpi < 168)
        return 30;
    if (dpi < 192)
        return 35;
    return 40;
}

// Qt already scales logical sizes to device pixels; the icon set follows the
// density the screen really has.
static int WirksameDpi()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* schirm = QGuiApplication::primaryScreen();
    if (!schirm)
        return 96;
    const int dpi = qRound(schirm->logicalDotsPerInch() * schirm->devicePixelRatio());
    return dpi > 0 ? dpi : 96;
}

int BilderListenGroesse()
{
    return BilderListenGroesse(WirksameDpi());
}

bool DateiSchreibgeschuetzt(const QString& pfad)
{
    if (pfad.isEmpty())
        return true;
    return !(QFile::permissions(pfad) & QFileDevice::WriteOwner);
}
