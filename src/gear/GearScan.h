#pragma once
#include <QString>
#include <QStringList>
#include "GearSeite.h"

class QWidget;

// Scanning through SANE. The library is started on first use (so a caller can
// set SANE_CONFIG_DIR before) and shut down by the main window as it closes.
// All functions are called on the GUI thread; the device probe runs on a
// worker thread meanwhile.

// The scanners SANE finds, each as "vendor model (name)". An empty list comes
// with the German reason in fehler.
QStringList GearScanQuellen(QString& fehler);

// Lets the user pick a scanner from a list ("Scanner auswählen"). gewaehlt is
// preselected when it names a scanner and receives the SANE device name of the
// choice. False when the user cancelled (fehler empty) or no scanner is there
// (fehler says so).
bool GearScanQuelleWaehlen(QWidget* eltern, QString& gewaehlt, QString& fehler);

// Scans one image from geraet (a SANE device name; empty: the first scanner).
// dialogZeigen first asks for mode and resolution. Lineart arrives as a
// two-colour Indexed8 page at 1 bit, grey as Indexed8 with a grey ramp at
// 8 bits, colour as BGR888 at 24 bits. The message loop runs between reads;
// a progress window offers "Abbrechen". False leaves seite empty: cancelled
// by the user (fehler empty) or failed (fehler gives the German reason).
bool GearScannen(const QString& geraet, bool dialogZeigen, QWidget* eltern, TGearSeite& seite,
                 QString& fehler, const TFortschritt& fs = {});

// Shuts SANE down now; the next call starts it again and rereads its
// configuration. Called as the main window closes; does nothing while a scan
// runs.
void GearScanBeenden();
// Whether SANE is started (and still to be shut down).
bool GearScanGestartet();
