// Runs the comment writer's marker walk over the input: it either rewrites
// the file or refuses with a reason, never reads or writes out of bounds. A
// refused file must be left byte for byte as it was.
#include "FuzzHilfen.h"

#include "files/JpgKommentar.h"

#include <QFile>
#include <cstdlib>
#include <cstring>

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
    }
    return 0;
}
