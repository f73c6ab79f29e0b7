#include "FuzzHilfen.h"

#include "Meldung.h"
#include "Testnaht.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Never destroyed: static objects of the targets (a TGear) outlive main,
// and Qt's teardown after them would crash at exit.
QApplication* app = nullptr;
std::unique_ptr<QTemporaryDir> ordner;

void Leise(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void FuzzStarten()
{
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // /dev/shm keeps the per-input files off the disk.
    if (QDir(QStringLiteral("/dev/shm")).exists())
        qputenv("TMPDIR", "/dev/shm");
    static int argc = 1;
    static char name[] = "zelvano_fuzz";
    static char* argv[] = {name, nullptr};
    qInstallMessageHandler(Leise);
    app = new QApplication(argc, argv);
    // A message box would wait for a user: answer every one at once.
    SetzeMeldungHaken([](const QString&, TMeldungArt, int) { return mbOk; });
    ordner = std::make_unique<QTemporaryDir>();
    if (!ordner->isValid()) {
        std::fprintf(stderr, "Kein temporärer Ordner.\n");
        std::abort();
    }
}

QString FuzzPfad(const QString& name)
{
    return ordner->filePath(name);
}

QString FuzzDatei(const uint8_t* daten, size_t laenge, const QString& endung)
{
    const QString pfad = FuzzPfad(QStringLiteral("datei.") + endung);
    QFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || datei.write(reinterpret_cast<const char*>(daten), qint64(laenge)) != qint64(laenge)) {
        std::fprintf(stderr, "Die Eingabe kann nicht geschrieben werden.\n");
        std::abort();
    }
    return pfad;
}
