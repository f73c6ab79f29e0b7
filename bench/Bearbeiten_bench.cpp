// The editing operations on one 6000 x 4000 picture: filtered resampling with
// Lanczos3 to 1500 x 1000, the quick resize, blur at amount 50 and sharpen at
// the resize dialog's strongest post-sharpening, inversion, the quarter turn
// and the mirrors of the edit menu, and two of the imaging control's filters
// (Sobel edge map and posterize), which split their rows over threads too.
#include <benchmark/benchmark.h>
#include <thread>
#include "BenchHilfen.h"
#include "gear/GearBaender.h"
#include "gear/GearFilter.h"
#include "gear/GearTestnaht.h"
#include "pixelops/Bitmap_Invertieren.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_RotierenSpiegeln.h"
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

void BM_Invertieren(benchmark::State& state)
{
    TBitmap bild = BenchBild();
    bild.ScanLine(0);   // an own copy, written in place
    for (auto _ : state) {
        BitmapInvertieren(bild, int(state.range(0)));
        benchmark::ClobberMemory();
    }
    Threads(state);
}
BENCHMARK(BM_Invertieren)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// Mode 0 (+90 degrees) builds a new picture; 1 (180) and 3 (horizontal)
// work in place. The second argument is the thread count.
void BM_RotierenSpiegeln(benchmark::State& state)
{
    TBitmap bild = BenchBild();
    bild.ScanLine(0);
    const uint8_t modus = uint8_t(state.range(0));
    for (auto _ : state) {
        BitmapRotierenSpiegeln(bild, modus, int(state.range(1)));
        benchmark::DoNotOptimize(bild.ScanLine(0));
    }
    const int n = int(state.range(1));
    state.SetLabel(n == 1 ? "1 Thread" : std::to_string(std::thread::hardware_concurrency()) + " Threads");
}
BENCHMARK(BM_RotierenSpiegeln)
    ->ArgsProduct({{rsPlus90, rs180, rsHorizontal}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The control's filters choose their threads themselves; 1 forces one.
template <class F> void ImSteuerelement(benchmark::State& state, F filter)
{
    TGearSeite quelle;
    quelle.bild = BenchBild().Bild();
    quelle.bpp = 24;
    ZeilenBaenderErzwingen(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TGearSeite seite = quelle;
        seite.bild.detach();
        state.ResumeTiming();
        filter(seite);
        benchmark::DoNotOptimize(seite.bild.constBits());
    }
    ZeilenBaenderErzwingen(0);
    Threads(state);
}

void BM_GearSobel(benchmark::State& state) { ImSteuerelement(state, [](TGearSeite& s) { GearEdgeMap(s, 3); }); }
BENCHMARK(BM_GearSobel)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GearPosterize(benchmark::State& state) { ImSteuerelement(state, [](TGearSeite& s) { GearPosterize(s, 4); }); }
BENCHMARK(BM_GearPosterize)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
