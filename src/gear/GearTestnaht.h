#pragma once
// The seams of the imaging control for tests, benchmarks and fuzz targets:
// each makes the control behave as it would on another machine, fail a step
// as a full disk would, or take one of two ways that give the same result.
// The program itself never sets them. Testnaht.h of the application core
// includes this header.
#include <QtGlobal>
#include <atomic>
#include <functional>
#include "pixelops/PixelTestnaht.h"

// Pretend the machine has this much memory available; 0 = its own.
void GearSpeicherGrenzeSetzen(qint64 bytes);

// Forces the threaded row bands regardless of size, to compare them with
// one thread; 0 = the size decides again.
void ZeilenBaenderErzwingen(int threads);

// The steps of a safe replacement. The hook is called before each one
// (before every write call for Schreiben); a result other than 0 makes that
// step fail with this errno, as a full disk or a vanished folder would.
enum class TErsetzenSchritt { Anlegen, Schreiben, Rechte, Zeiten, Sync, Schliessen, Umbenennen };
using TErsetzenHaken = std::function<int(TErsetzenSchritt schritt)>;
void SicherErsetzenHakenSetzen(TErsetzenHaken haken);

// Our own fax reader screens the widths and codings first, so libtiff
// opens only the candidates that may fit (false: every try goes through
// libtiff, to compare both ways).
extern bool FaxSchnellpruefungErlaubt;
// Checks every answer of the screen against libtiff and counts the
// differences (with ZELVANO_FAX_NACHPRUEFEN set in the environment a
// difference aborts, so a fuzzer keeps the input).
extern bool FaxSchnellpruefungNachpruefen;
extern std::atomic<int> FaxSchnellpruefungAbweichungen;   // decoders on several threads count here
