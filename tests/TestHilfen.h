#pragma once
#include <QString>
#include <QStringList>
#include <QByteArray>
#include <cstddef>
#include "Meldung.h"

// The sample folder written by the build.
QString MusterPfad(const QString& name);
// A fresh, empty folder of this test process (below its own TMPDIR).
QString FrischerOrdner(const QString& name);
QByteArray DateiBytes(const QString& pfad);
void DateiSchreiben(const QString& pfad, const QByteArray& daten);
// A folder tree's rows arrive in the background: true once the model holds
// at least zeilen rows below ordner, with the events that follow handled too.
bool OrdnerGeladenAbwarten(class QFileSystemModel* modell, const QString& ordner, int zeilen);

// Creates the main window (global frmZelvanoMain) and runs its show-time
// start-up without a command line. The settings read at creation may ask for
// the open dialog, which would wait for a user: that is switched off first.
void HauptfensterFuerTestAnlegen();

// While it lives, every modal dialog that opens is closed again (rejected)
// at once, so a command that opens one never waits for a user.
class TModalSchliesser {
public:
    TModalSchliesser();
    ~TModalSchliesser();
    int geschlossen = 0;
private:
    class QTimer* m_timer;
};

// Records every message box and answers with the given button.
class TMeldungsFaenger {
public:
    explicit TMeldungsFaenger(int antwort = mbOk);
    ~TMeldungsFaenger();
    QStringList texte;
    int antwort;
};

// While it lives, the process may map only what it maps now plus spielraum
// bytes (RLIMIT_AS), so a large allocation fails for real, as it does when
// memory runs out. Aufheben lifts the limit early; ok is false when the
// limit could not be set.
class TSpeicherGrenze {
public:
    explicit TSpeicherGrenze(size_t spielraum);
    ~TSpeicherGrenze();
    void Aufheben();
    bool ok = false;
private:
    unsigned long long m_altWeich = 0, m_altHart = 0;
    bool m_gesetzt = false;
};
