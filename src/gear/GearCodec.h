#pragma once
#include <QByteArray>
#include <QString>
#include <map>
#include "GearSeite.h"

// Decodes a file's bytes. endung is the upper-case extension without the dot;
// it only hints the format, the bytes' signature decides where it is known.
// Transparent parts of a bitmap are laid on hintergrund.
// False with a German reason in fehler when nothing could be decoded.
bool GearDekodieren(const QByteArray& daten, const QString& endung, TGearDokument& dok,
                    QString& fehler, const TFortschritt& fortschritt = {},
                    QRgb hintergrund = qRgb(255, 255, 255));

// Encodes one page with the control's save id (compression * 65536 + format).
// controlWerte holds the ControlMode/ControlValue pairs (JPEG options).
// False with a German reason when the id has no coder or encoding failed.
bool GearKodieren(const TGearSeite& seite, int speicherId, const std::map<int, int>& controlWerte,
                  QByteArray& aus, QString& fehler, const TFortschritt& fortschritt = {});

// True when GearKodieren has a coder for this save id.
bool GearKannSchreiben(int speicherId);
