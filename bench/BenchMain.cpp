// Benchmark main: an offscreen application (the display widget and the
// imaging control need one), Magick++ set up, message boxes answered on the
// console, and a temporary and settings folder of the run's own.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include "Global.h"
#include "Meldung.h"
#include "Testnaht.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/zelvano-bench-XXXXXX"));
    setenv("TMPDIR", temp.path().toLocal8Bit().constData(), 1);
    // The main window reads and writes its settings: never the user's own.
    setenv("XDG_CONFIG_HOME", (temp.path() + QStringLiteral("/config")).toLocal8Bit().constData(), 1);
    Magick::InitializeMagick(argv[0]);
    QApplication app(argc, argv);
    SetzeMeldungHaken([](const QString& text, TMeldungArt, int) {
        std::fprintf(stderr, "Meldung: %s\n", text.toLocal8Bit().constData());
        return int(mbOk);
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    TempAufraeumen();   // before the run's temporary folder goes
    benchmark::Shutdown();
    return 0;
}
