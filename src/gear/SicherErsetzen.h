#pragma once
#include "DateiZeiten.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Which access and modification times the new content carries.
struct TZeitenBehalten {
    enum TArt {
        Neu,         // the times of writing
        VomZiel,     // those the target had before (nothing to keep for a new file)
        Vorgegeben,  // the times given here
    };
    TArt art;
    TDateiZeiten zeiten;
    TZeitenBehalten(TArt a = Neu) : art(a), zeiten{} {}
    TZeitenBehalten(const TDateiZeiten& z) : art(Vorgegeben), zeiten(z) {}
};

// Writes the new content into the device it is given; false (with a reason in
// fehler) abandons the replacement.
using TInhaltSchreiber = std::function<bool(QIODevice& aus, QString& fehler)>;

// Replaces ziel (or creates it) so that it holds either its old content or the
// complete new one, never a mixture: the content goes into a temporary file in
// the same folder, every write is checked, the data are flushed to disk, the old
// file's mode (and owner, where allowed) and the chosen times are put on it, and
// only then is it renamed over the target. A symbolic link keeps pointing at the
// replaced file. On any failure the temporary file is removed, the target is
// left as it was and fehler holds a German reason. A write-protected target
// (owner write bit clear), a folder or a special file is refused.
// The file gets a new inode: further hard links keep the old content.
bool DateiSicherErsetzen(const QString& ziel, const QByteArray& inhalt, QString& fehler,
                         TZeitenBehalten behalten = TZeitenBehalten::Neu);
bool DateiSicherErsetzen(const QString& ziel, const TInhaltSchreiber& schreiber, QString& fehler,
                         TZeitenBehalten behalten = TZeitenBehalten::Neu);

// The one sentence that tells that pfad cannot be written, with the reason
// the system gave for the failing call (its errno): "Die Datei <pfad> kann
// nicht geschrieben werden: <Grund>." Every report of a failed write uses it.
QString SchreibfehlerText(const QString& pfad, int fehlerNummer);
