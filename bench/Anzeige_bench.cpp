// The display's pixel work on one 6000 x 4000 picture: the smooth reduction to
// 1920 x 1280 and to a thumbnail's 150 x 100, the density curve (display
// gamma), a plain copy of the same bytes as the yardstick, and painting the
// stretched display.
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <benchmark/benchmark.h>
#include <cstring>
#include <thread>
#include <vector>
#include "AnzeigeBild.h"
#include "BenchHilfen.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Bitmap_Verkleinern.h"

namespace {

void Threads(benchmark::State& state)
{
    const int n = int(state.range(0));
    state.SetLabel(n == 1 ? "1 Thread" : std::to_string(std::thread::hardware_concurrency()) + " Threads");
}

void BM_Verkleinern(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    TBitmap ziel;
    for (auto _ : state) {
        BitmapVerkleinern(quelle, ziel, 1920, 1280, int(state.range(0)));
        benchmark::DoNotOptimize(ziel.ScanLine(0));
    }
    Threads(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * quelle.Stride() * quelle.Height());
}
BENCHMARK(BM_Verkleinern)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// A thumbnail's reduction: blocks of some 1,600 pixels, each divided exactly.
void BM_VerkleinernStark(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    TBitmap ziel;
    for (auto _ : state) {
        BitmapVerkleinern(quelle, ziel, 150, 100, int(state.range(0)));
        benchmark::DoNotOptimize(ziel.ScanLine(0));
    }
    Threads(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * quelle.Stride() * quelle.Height());
}
BENCHMARK(BM_VerkleinernStark)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Dichte(benchmark::State& state)
{
    TBitmap bild = BenchBild();
    bild.ScanLine(0);   // an own copy, written in place
    for (auto _ : state) {
        BitmapDichte(bild, 20, int(state.range(0)));
        benchmark::ClobberMemory();
    }
    Threads(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * bild.Stride() * bild.Height());
}
BENCHMARK(BM_Dichte)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick for the density: copying the same bytes once.
void BM_Kopie(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    const size_t groesse = size_t(quelle.Stride()) * size_t(quelle.Height());
    std::vector<uint8_t> ziel(groesse, 1);
    for (auto _ : state) {
        std::memcpy(ziel.data(), quelle.ScanLine(0), groesse);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(groesse));
}
BENCHMARK(BM_Kopie)->Unit(benchmark::kMillisecond)->UseRealTime();

// Painting a 1920 x 1080 window of the display at the given zoom in percent:
// below 100 the quick stretch of the full picture, above it a small part of a
// display up to 60000 pixels wide.
void BM_Malen(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    const double zoom = double(state.range(0)) / 100.0;
    TAnzeigeBild anzeige;
    anzeige.SetBild(quelle.Bild());
    anzeige.setGeometry(0, 0, int(quelle.Width() * zoom), int(quelle.Height() * zoom));
    QImage fenster(1920, 1080, QImage::Format_RGB32);
    const QRect sichtbar(anzeige.width() / 3, anzeige.height() / 3, std::min(1920, anzeige.width()),
                         std::min(1080, anzeige.height()));
    for (auto _ : state) {
        anzeige.render(&fenster, QPoint(), QRegion(sichtbar), QWidget::RenderFlags());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(anzeige.width()) + " x " + std::to_string(anzeige.height()));
}
BENCHMARK(BM_Malen)->Arg(32)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
