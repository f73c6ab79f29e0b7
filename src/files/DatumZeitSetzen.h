#pragma once
#include <QDateTime>
#include <QString>
#include <ctime>
#include <optional>
#include "gear/DateiZeiten.h"

// The instant a local date-time is stored as: cut to an even second of local
// time (the two-second steps of the packed date and time) and held within
// 1980-01-01 00:00:00 .. 2107-12-31 23:59:58 local time, dates outside being
// set to the nearer bound. No value for an invalid date-time.
std::optional<timespec> DatumZuDateizeit(const QDateTime& datumZeit);

// Gives a file or folder the chosen stamps from one date-time, each set alone
// in the order creation, last access, last write. Linux keeps no settable
// creation time, so that stamp is never changed and counts as not set.
// Result: whether the last chosen stamp was set; false with no flag chosen, an
// invalid date-time, a missing path or a write-protected file (owner write bit
// clear), and then nothing is changed.
bool DateiDatumSetzen(const QString& dateiName, bool erstellung, bool letzterZugriff,
                      bool letzterSchreibzugriff, const QDateTime& datumZeit);
