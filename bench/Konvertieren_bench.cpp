// Batch conversion of a folder of large JPEGs to PNG with a target size of
// 1024 pixels, through the conversion window as the user runs it.
// The folder is $ZELVANO_KONVERT_ORDNER (made when it holds too few files)
// with $ZELVANO_KONVERT_ANZAHL files (default 10) of 4000 x 3000 pixels.
#include <QDir>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include "BenchHilfen.h"
#include "Einstellungen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "files/Konvertieren.h"

namespace {

int Anzahl()
{
    const char* n = std::getenv("ZELVANO_KONVERT_ANZAHL");
    return n ? std::max(1, std::atoi(n)) : 10;
}

QStringList Quellen()
{
    const char* vorgabe = std::getenv("ZELVANO_KONVERT_ORDNER");
    const QString ordner = vorgabe ? QString::fromLocal8Bit(vorgabe) : BenchOrdner() + QStringLiteral("/konvert");
    QDir().mkpath(ordner);
    QStringList pfade;
    for (int i = 0; i < Anzahl(); ++i) {
        const QString pfad = ordner + QStringLiteral("/bild%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(pfad)) {
            QImage bild = BenchBildErzeugen(4000, 3000, 42 + i).Bild();
            bild.save(pfad, "JPG", 90);
        }
        pfade << pfad;
    }
    return pfade;
}

void BM_Konvertieren(benchmark::State& state)
{
    const QStringList quellen = Quellen();
    TempNamenAnlegen();
    const QString ziel = BenchOrdner() + QStringLiteral("/konvert-png");
    QDir().mkpath(ziel);
    BildListe = quellen;
    BildQuelle = BildQuelleDatei;
    KonvertierenTyp = QStringLiteral("PNG Ping         ");
    KonvertierenDatum = true;
    ZielBreite = 1024;
    ZielHoehe = 1024;
    NurVerkleinern = true;
    TfrmKonvertieren fenster;
    for (auto _ : state) {
        QDir(ziel).removeRecursively();
        QDir().mkpath(ziel);
        fenster.show();
        fenster.ediZielverz->setText(ziel);
        fenster.btnKonvertierenClick();
        if (QDir(ziel).entryList(QDir::Files).size() != quellen.size())
            state.SkipWithError("nicht alle Dateien konvertiert");
    }
    state.SetItemsProcessed(state.iterations() * quellen.size());
}
BENCHMARK(BM_Konvertieren)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
