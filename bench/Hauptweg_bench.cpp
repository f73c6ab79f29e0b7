// The step a user waits for: the main window (offscreen) shows the next file
// of its list with BildAnzeigen, until the fitted, smoothly reduced display is
// ready. Five different generated 6000 x 4000 photo-like JPEGs (gradients with
// noise, quality 92, about 11 MB). Each load is paired with a plain TurboJPEG
// decode of the same file (read, allocate, decode) measured right beside it;
// the counters give per file the medians of both times and of the ratios.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <random>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vector>
#include "BenchHilfen.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Meldung.h"
#include "ZelvanoMain.h"

namespace {

constexpr int DateiAnzahl = 5;

// A photo-like picture: smooth gradients in all three channels with sensor-
// like noise of every pixel, so it compresses as a camera picture does (about
// 11 MB at quality 92) and not as a flat graphic.
TBitmap FotoErzeugen(int breite, int hoehe, unsigned saat)
{
    TBitmap b(breite, hoehe);
    std::mt19937 zufall(saat);
    const bool gespiegelt = saat % 2;
    for (int y = 0; y < hoehe; ++y) {
        uint8_t* z = b.ScanLine(y);
        for (int x = 0; x < breite; ++x) {
            const int xs = gespiegelt ? breite - 1 - x : x;
            const unsigned r = zufall();
            const int rauschen = int(r % 44) - 22;
            auto wert = [&](int basis, int extra) { return uint8_t(std::clamp(basis + rauschen + extra, 0, 255)); };
            z[3 * x] = wert(xs * 200 / breite + 30, int((r >> 5) & 15) - 8);
            z[3 * x + 1] = wert(y * 200 / hoehe + 30, int((r >> 9) & 15) - 8);
            z[3 * x + 2] = wert((xs + y) * 180 / (breite + hoehe) + 40, int((r >> 13) & 15) - 8);
        }
    }
    return b;
}

// Five different pictures: other noise, and every second one mirrored.
QStringList JpegDateien()
{
    static const QStringList dateien = [] {
        QStringList liste;
        tjhandle packer = tjInitCompress();
        for (int i = 0; i < DateiAnzahl; ++i) {
            const TBitmap bild = FotoErzeugen(6000, 4000, unsigned(1000 + i));
            unsigned char* daten = nullptr;
            unsigned long groesse = 0;
            tjCompress2(packer, bild.ScanLine(0), bild.Width(), int(bild.Stride()), bild.Height(), TJPF_BGR, &daten,
                        &groesse, TJSAMP_420, 92, 0);
            const QString pfad = BenchOrdner() + QStringLiteral("/foto%1.jpg").arg(i + 1);
            QFile f(pfad);
            if (f.open(QIODevice::WriteOnly))
                f.write(reinterpret_cast<const char*>(daten), qint64(groesse));
            tjFree(daten);
            liste << pfad;
        }
        tjDestroy(packer);
        return liste;
    }();
    return dateien;
}

TfrmZelvanoMain* Fenster()
{
    static TfrmZelvanoMain* fenster = [] {
        auto* f = new TfrmZelvanoMain();
        OeffnenFensterLaden = false;
        f->FormShow({});
        f->setWindowState(Qt::WindowNoState);
        f->setGeometry(0, 0, 1600, 1000);
        f->show();
        QApplication::processEvents();
        return f;
    }();
    return fenster;
}

// Read, allocate and decode, as any program that opens the file must.
bool PlainDekodieren(tjhandle h, const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray daten = f.readAll();
    const auto* quelle = reinterpret_cast<const unsigned char*>(daten.constData());
    int w = 0, hoehe = 0, unterabtastung = 0, farbraum = 0;
    if (tjDecompressHeader3(h, quelle, (unsigned long)daten.size(), &w, &hoehe, &unterabtastung, &farbraum) != 0)
        return false;
    QImage bild(w, hoehe, QImage::Format_BGR888);
    if (bild.isNull())
        return false;
    const bool ok = tjDecompress2(h, quelle, (unsigned long)daten.size(), bild.bits(), w, int(bild.bytesPerLine()),
                                  hoehe, TJPF_BGR, 0) == 0;
    benchmark::DoNotOptimize(bild.constBits());
    return ok;
}

// BildAnzeigen until the reduced display is there: the delay of the display
// timer only spares work while a user zooms, so its work is done at once.
bool Anzeigen(TfrmZelvanoMain* f, int index, double& verkleinernMs)
{
    BildIndex = index;
    f->BildAnzeigen();
    QElapsedTimer uhr;
    uhr.start();
    if (f->AnzeigeTimer->isActive())
        f->AnzeigeTimerTimer();
    verkleinernMs = double(uhr.nsecsElapsed()) / 1e6;
    return f->OriginalBild.Width() == 6000 && f->OriginalBild.Height() == 4000;
}

double Median(std::vector<double> werte)
{
    if (werte.empty())
        return 0;
    std::sort(werte.begin(), werte.end());
    const size_t n = werte.size();
    return n % 2 ? werte[n / 2] : (werte[n / 2 - 1] + werte[n / 2]) / 2;
}

void BM_BildAnzeigen(benchmark::State& state)
{
    const QStringList dateien = JpegDateien();
    TfrmZelvanoMain* f = Fenster();
    BildListe = dateien;
    Einpassen = true;
    const int index = int(state.range(0));
    tjhandle entpacker = tjInitDecompress();
    std::vector<double> unsere, plain, verhaeltnisse, verkleinern;
    for (auto _ : state) {
        QElapsedTimer uhr;
        uhr.start();
        if (!PlainDekodieren(entpacker, dateien.at(index))) {
            state.SkipWithError("TurboJPEG kann die Datei nicht lesen");
            break;
        }
        plain.push_back(double(uhr.nsecsElapsed()) / 1e6);
        uhr.restart();
        double verkleinernMs = 0;
        if (!Anzeigen(f, index, verkleinernMs)) {
            state.SkipWithError("BildAnzeigen zeigt nicht das 6000 x 4000-Bild");
            break;
        }
        const double ms = double(uhr.nsecsElapsed()) / 1e6;
        unsere.push_back(ms);
        verkleinern.push_back(verkleinernMs);
        verhaeltnisse.push_back(plain.back() > 0 ? ms / plain.back() : 0);
        state.SetIterationTime(ms / 1000);
    }
    tjDestroy(entpacker);
    const double u = Median(unsere), p = Median(plain);
    state.counters["zelvano_ms"] = u;
    state.counters["turbojpeg_ms"] = p;
    state.counters["davon_verkleinern_ms"] = Median(verkleinern);
    // Each load against the decode beside it, so a load on the machine that
    // comes and goes weighs on both sides of one ratio.
    state.counters["verhaeltnis"] = Median(verhaeltnisse);
    // The first load of a file, with everything still cold.
    if (!verhaeltnisse.empty())
        state.counters["verhaeltnis_erste"] = verhaeltnisse.front();
    state.counters["groesse_mb"] = double(QFile(dateien.at(index)).size()) / 1e6;
    state.SetLabel(QStringLiteral("foto%1.jpg").arg(index + 1).toStdString());
}
BENCHMARK(BM_BildAnzeigen)->DenseRange(0, DateiAnzahl - 1)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
