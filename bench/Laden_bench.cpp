// Loading a 6000 x 4000 JPEG the way the main window does (LadeGearBild, then
// GearZuBitmap into the working bitmap) against a plain TurboJPEG decode of
// the same file.
#include <QFile>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vector>
#include "BenchHilfen.h"
#include "gear/Gear.h"
#include "Global.h"

namespace {

QString JpegDatei()
{
    static const QString pfad = [] {
        const QString datei = BenchOrdner() + QStringLiteral("/bench.jpg");
        const TBitmap& bild = BenchBild();
        tjhandle packer = tjInitCompress();
        unsigned char* daten = nullptr;
        unsigned long groesse = 0;
        tjCompress2(packer, bild.ScanLine(0), bild.Width(), int(bild.Stride()), bild.Height(), TJPF_BGR, &daten,
                    &groesse, TJSAMP_420, 90, 0);
        QFile f(datei);
        if (f.open(QIODevice::WriteOnly))
            f.write(reinterpret_cast<const char*>(daten), qint64(groesse));
        tjFree(daten);
        tjDestroy(packer);
        return datei;
    }();
    return pfad;
}

void BM_LadeGearBild_GearZuBitmap(benchmark::State& state)
{
    const QString datei = JpegDatei();
    TempNamenAnlegen();
    TGear gear;
    TBitmap bmp;
    for (auto _ : state) {
        LadeGearBild(gear, datei);
        if (!GearZuBitmap(gear, bmp)) {
            state.SkipWithError("GearZuBitmap fehlgeschlagen");
            break;
        }
        benchmark::DoNotOptimize(bmp.ScanLine(0));
    }
    if (bmp.Width() != BenchBild().Width() || bmp.Height() != BenchBild().Height())
        state.SkipWithError("falsche Bildgröße");
    TempAufraeumen();
}
BENCHMARK(BM_LadeGearBild_GearZuBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_tjDecompress2(benchmark::State& state)
{
    const QString datei = JpegDatei();
    tjhandle entpacker = tjInitDecompress();
    const int breite = BenchBild().Width(), hoehe = BenchBild().Height();
    std::vector<unsigned char> pixel(size_t(breite) * 3 * size_t(hoehe));
    for (auto _ : state) {
        QFile f(datei);
        if (!f.open(QIODevice::ReadOnly)) {
            state.SkipWithError("keine Datei");
            break;
        }
        const QByteArray daten = f.readAll();
        if (tjDecompress2(entpacker, reinterpret_cast<const unsigned char*>(daten.constData()),
                          (unsigned long)daten.size(), pixel.data(), breite, 0, hoehe, TJPF_BGR, 0) != 0) {
            state.SkipWithError(tjGetErrorStr2(entpacker));
            break;
        }
        benchmark::DoNotOptimize(pixel.data());
    }
    tjDestroy(entpacker);
}
BENCHMARK(BM_tjDecompress2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
