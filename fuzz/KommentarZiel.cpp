// Runs the comment writer's marker walk over the input: it either rewrites
// the file or refuses with a reason, never reads or writes out of bounds. A
// refused file must be left byte for byte as it was, a rewritten one holds
// exactly one comment (none for an empty text).
#include "FuzzHilfen.h"

#include "files/JpgKommentar.h"

#include <QFile>
#include <cstdlib>
#include <cstring>

namespace {

// Comment segments in front of the first scan: -1 when the file is not a
// walkable JPEG. (Behind it a damaged file's data can be read in more than
// one way; the writer's removal there is covered by its tests.)
int Kommentare(const QByteArray& b)
{
    const auto* d = reinterpret_cast<const uint8_t*>(b.constData());
    const qsizetype n = b.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return -1;
    int anzahl = 0;
    qsizetype p = 2;
    while (p + 1 < n) {
        if (d[p] != 0xFF)
            return -1;
        const int m = d[p + 1];
        if (m == 0xFF) {
            ++p;
            continue;
        }
        if (m == 0xD9)
            return anzahl;
        if (m == 0x01 || m == 0xD8 || (m >= 0xD0 && m <= 0xD7)) {
            p += 2;
            continue;
        }
        if (p + 3 >= n)
            return -1;
        const qsizetype laenge = (d[p + 2] << 8) | d[p + 3];
        if (laenge < 2)
            return -1;
        if (m == 0xFE)
            ++anzahl;
        p += 2 + laenge;
        if (p > n)
            return -1;
        if (m == 0xDA)
            return p <= n ? anzahl : -1;
    }
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStarten();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t laenge)
{
    // The first byte picks the text: empty (remove all comments), short or
    // the longest one.
    QString text;
    if (laenge > 0) {
        if (daten[0] % 3 == 1)
            text = QStringLiteral("Größe äöü");
        else if (daten[0] % 3 == 2)
            text = QString(JpgKommentarHoechstlaenge + 10, QLatin1Char('x'));
        ++daten;
        --laenge;
    }
    const QString pfad = FuzzDatei(daten, laenge, QStringLiteral("jpg"));
    QString fehler;
    if (!JpgKommentarSchreiben(pfad, text, fehler)) {
        QFile datei(pfad);
        if (fehler.isEmpty() || !datei.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray danach = datei.readAll();
        if (size_t(danach.size()) != laenge || (laenge > 0 && std::memcmp(danach.constData(), daten, laenge) != 0))
            std::abort();
    } else {
        QFile datei(pfad);
        if (!datei.open(QIODevice::ReadOnly))
            std::abort();
        const int n = Kommentare(datei.readAll());
        if (n >= 0 && n != (text.isEmpty() ? 0 : 1))
            std::abort();
    }
    return 0;
}
