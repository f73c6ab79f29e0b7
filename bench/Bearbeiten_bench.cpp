// The editing operations on one 6000 x 4000 picture: filtered resampling with
// Lanczos3 to 1500 x 1000, the quick resize, blur at amount 50 and sharpen at
// the resize dialog's strongest post-sharpening.
#include <benchmark/benchmark.h>
#include <thread>
#include "BenchHilfen.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "pixelops/Bitmap_Weichzeichnen.h"

namespace {

void Threads(benchmark::State& state)
{
    const int n = int(state.range(0));
    state.SetLabel(n == 1 ? "1 Thread" : std::to_string(std::thread::hardware_concurrency()) + " Threads");
}

void BM_Skalieren(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    for (auto _ : state) {
        TBitmap bild = quelle;   // shared until resized; the source stays
        BitmapSkalieren(bild, 1500, 1000, 0, FilterNrLanczos3, int(state.range(0)));
        benchmark::DoNotOptimize(bild.ScanLine(0));
    }
    Threads(state);
}
BENCHMARK(BM_Skalieren)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QuickSkalieren(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    for (auto _ : state) {
        TBitmap bild = quelle;
        BitmapQuickSkalieren(bild, 1500, 1000, int(state.range(0)));
        benchmark::DoNotOptimize(bild.ScanLine(0));
    }
    Threads(state);
}
BENCHMARK(BM_QuickSkalieren)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// In place on a fresh copy each time; the copy is not timed.
template <void (*Operation)(TBitmap&, float, int)> void ImOriginal(benchmark::State& state, float menge)
{
    const TBitmap& quelle = BenchBild();
    for (auto _ : state) {
        state.PauseTiming();
        TBitmap bild(quelle.Bild().copy());
        state.ResumeTiming();
        Operation(bild, menge, int(state.range(0)));
        benchmark::DoNotOptimize(bild.ScanLine(0));
    }
    Threads(state);
}

void BM_Weichzeichnen(benchmark::State& state) { ImOriginal<BitmapWeichzeichnen>(state, 50); }
BENCHMARK(BM_Weichzeichnen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Schaerfen(benchmark::State& state) { ImOriginal<BitmapSchaerfen>(state, 36); }
BENCHMARK(BM_Schaerfen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
