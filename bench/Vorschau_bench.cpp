// Thumbnails of a folder of large JPEGs: the decoding ahead on worker
// threads alone, and the thumbnail window building the whole folder.
// The folder is $ZELVANO_VORSCHAU_ORDNER (made when it holds too few files)
// with $ZELVANO_VORSCHAU_ANZAHL files (default 40) of 4000 x 3000 pixels.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QScrollArea>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <thread>
#include <turbojpeg.h>
#include <vector>
#include "BenchHilfen.h"
#include "Einstellungen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "viewing/Vorschau.h"
#include "viewing/VorschauLaden.h"

namespace {

int Anzahl()
{
    const char* n = std::getenv("ZELVANO_VORSCHAU_ANZAHL");
    return n ? std::max(1, std::atoi(n)) : 40;
}

// Photo-like files: the benchmark picture (gradients with noise), each file
// shifted in brightness so no two are alike, quality 90, 4:2:0.
QString Ordner()
{
    static const QString ordner = [] {
        const char* vorgabe = std::getenv("ZELVANO_VORSCHAU_ORDNER");
        const QString pfad = vorgabe ? QString::fromLocal8Bit(vorgabe) : BenchOrdner() + QStringLiteral("/vorschau");
        QDir().mkpath(pfad);
        const int n = Anzahl();
        if (QDir(pfad).entryList({QStringLiteral("*.jpg")}, QDir::Files).size() >= n)
            return pfad;
        const TBitmap basis = BenchBildErzeugen(4000, 3000);
        std::atomic<int> naechste{0};
        auto arbeiten = [&] {
            tjhandle packer = tjInitCompress();
            TBitmap bild(4000, 3000);
            for (int i; (i = naechste++) < n;) {
                for (int y = 0; y < 3000; ++y) {
                    const uint8_t* q = basis.ScanLine(y);
                    uint8_t* z = bild.ScanLine(y);
                    for (int x = 0; x < 4000 * 3; ++x)
                        z[x] = uint8_t(q[x] + i * 7);
                }
                unsigned char* daten = nullptr;
                unsigned long groesse = 0;
                tjCompress2(packer, bild.ScanLine(0), 4000, int(bild.Stride()), 3000, TJPF_BGR, &daten, &groesse,
                            TJSAMP_420, 90, 0);
                QFile f(pfad + QStringLiteral("/foto%1.jpg").arg(i, 4, 10, QChar('0')));
                if (f.open(QIODevice::WriteOnly))
                    f.write(reinterpret_cast<const char*>(daten), qint64(groesse));
                tjFree(daten);
            }
            tjDestroy(packer);
        };
        std::vector<std::thread> threads;
        for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
            threads.emplace_back(arbeiten);
        for (std::thread& t : threads)
            t.join();
        return pfad;
    }();
    return ordner;
}

QStringList Dateien()
{
    QStringList pfade;
    const QString ordner = Ordner();
    const QStringList namen = QDir(ordner).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i < std::min<qsizetype>(namen.size(), Anzahl()); ++i)
        pfade << ordner + QLatin1Char('/') + namen[i];
    return pfade;
}

// The decoding ahead alone, taken in list order; range(0) threads (0 = all).
void BM_VorschauDekodieren(benchmark::State& state)
{
    const QStringList pfade = Dateien();
    for (auto _ : state) {
        TVorschauVorlader vorlader(pfade, 150, int(state.range(0)));
        for (int k = 0; k < pfade.size(); ++k) {
            TVorschauErgebnis e;
            while (!vorlader.Holen(k, e, 1000)) {
            }
            if (e.fehler || e.bild.size() != QSize(150, 112)) {
                state.SkipWithError("falsches Vorschaubild");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * pfade.size());
}
BENCHMARK(BM_VorschauDekodieren)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The window from showing to the last thumbnail; the counter erste_zeile_ms
// is the time until the first row stands.
void BM_VorschauFenster(benchmark::State& state)
{
    const QStringList pfade = Dateien();
    FormatTabelleAufbauen();
    BildMaske = BildMaskeAufbauen();
    VorschauGroesse = 150;
    VorschauBreit = 825;
    VorschauHoch = 550;
    TfrmVorschau fenster;
    frmVorschau = &fenster;
    double ersteZeile = 0;
    for (auto _ : state) {
        LadeVerzeichnis = Ordner() + QLatin1Char('/');
        QElapsedTimer uhr;
        uhr.start();
        fenster.show();
        const int spalten = VorschauSpalten(fenster.SBoxVorschau->width(),
                                            fenster.style()->pixelMetric(QStyle::PM_ScrollBarExtent), 150);
        double zeile = -1;
        // The build runs inside one message-processing call; the first row
        // is noticed from its own message processing.
        QTimer beobachter;
        beobachter.setInterval(1);
        QObject::connect(&beobachter, &QTimer::timeout, [&] {
            if (zeile < 0 && fenster.lblBildAnzahl->text().toInt() >= spalten)
                zeile = double(uhr.nsecsElapsed()) / 1e6;
        });
        beobachter.start();
        while (VorschauLaedt || fenster.VorschauBilder.isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        beobachter.stop();
        ersteZeile = zeile;
        state.SetIterationTime(double(uhr.nsecsElapsed()) / 1e9);
        fenster.hide();
        // The next showing builds again.
        qDeleteAll(fenster.SBoxInhalt->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
        fenster.VorschauBilder.clear();
    }
    frmVorschau = nullptr;
    state.counters["erste_zeile_ms"] = ersteZeile;
    state.SetItemsProcessed(state.iterations() * pfade.size());
}
BENCHMARK(BM_VorschauFenster)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}   // namespace
