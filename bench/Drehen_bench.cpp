// Rotation by any angle and the colour dialog's preview step on the
// 6000 x 4000 picture.
#include <benchmark/benchmark.h>
#include <thread>
#include "BenchHilfen.h"
#include "pixelops/Bitmap_Drehen.h"
#include "pixelops/Bitmap_Einfaerben.h"
#include "pixelops/Bitmap_Farbkorrektur.h"
#include "pixelops/Bitmap_Graustufen.h"
#include "pixelops/Bitmap_Kolorieren.h"
#include "pixelops/Bitmap_Kopieren.h"
#include "pixelops/Bitmap_Toenen.h"
#include "pixelops/Bitmap_Verkleinern.h"

namespace {

void Threads(benchmark::State& state, int threads)
{
    state.SetLabel(threads == 1 ? "1 Thread" : std::to_string(std::thread::hardware_concurrency()) + " Threads");
}

// 30 degrees on an enlarged canvas, as the rotate dialog's "Ok" runs it.
void BM_Drehen(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    for (auto _ : state) {
        TBitmap bild = quelle;   // shares the pixels; the rotation builds a new picture
        BitmapDrehen(bild, true, 30.0, int(state.range(0)));
        benchmark::DoNotOptimize(bild.ScanLine(0));
    }
    Threads(state, int(state.range(0)));
}
BENCHMARK(BM_Drehen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// One slider step of the colour dialog: a fresh copy of the working bitmap
// into the dialog's own preview bitmap (kept from the step before), the
// page's routine on it, the reduction into a 1600 x 1067 display.
void BM_FarbVorschau(benchmark::State& state)
{
    const TBitmap& quelle = BenchBild();
    const int modus = int(state.range(0));
    const int threads = int(state.range(1));
    TBitmap anzeige, farbBild;
    for (auto _ : state) {
        BitmapKopieren(quelle, farbBild, threads);
        switch (modus) {
        case 1: BitmapFarbkorrektur(farbBild, 0xC0FFFF, 150, threads); break;
        case 2: BitmapToenen(farbBild, 100, 1, threads); break;
        case 3: BitmapEinfaerben(farbBild, 0x0000FF, 0, 128, 0, 255, threads); break;
        case 4: BitmapKolorieren(farbBild, 0x0000FF, 101, true, threads); break;
        case 5: BitmapGraustufen(farbBild, 0.30f, 0.59f, 0.11f, threads); break;
        default: BitmapEinfaerben(farbBild, 0xFFFFFF, 0, 255, 255, 128, threads); break;
        }
        BitmapVerkleinern(farbBild, anzeige, 1600, 1067, threads);
        benchmark::DoNotOptimize(anzeige.ScanLine(0));
    }
    static const char* const namen[] = {"", "Korrektur", "Toenen", "Einfaerben", "Kolorieren", "Graustufen",
                                        "Schwellwert"};
    state.SetLabel(std::string(namen[modus]) + ", "
                   + (threads == 1 ? "1 Thread" : std::to_string(std::thread::hardware_concurrency()) + " Threads"));
}
BENCHMARK(BM_FarbVorschau)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
