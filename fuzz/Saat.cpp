// Writes the seed files of the formats no tool on the machine writes, with
// the program's own writers (IFF, CLP, raw G3/G4, Brooktrout, XPM, lossless
// JPEG) and, for IOCA, by the segment's published layout:
//   fuzz_saat <ordner>
// Each family gets its files in <ordner>/fuzz_laden_<family>/, the raw fax
// rows of the row reader's target in <ordner>/fuzz_faxzeilen/. Small
// pictures keep the executions fast; the fuzzer grows them.
#include "FuzzHilfen.h"

#include "gear/Gear.h"
#include "../tests/gear/IocaMuster.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

namespace {

QString ordner;

void SchreibenIn(const QString& ziel, const QString& name, const QByteArray& daten)
{
    const QString pfad = ordner + QLatin1Char('/') + ziel;
    QDir().mkpath(pfad);
    QFile f(pfad + QLatin1Char('/') + name);
    if (daten.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(daten) != daten.size())
        std::fprintf(stderr, "Saat %s/%s fehlt\n", qPrintable(ziel), qPrintable(name));
}

void Schreiben(const char* familie, const QString& name, const QByteArray& daten)
{
    SchreibenIn(QStringLiteral("fuzz_laden_") + QLatin1String(familie), name, daten);
}

// The row reader's input: coding (0 and 1 G3 one- and two-dimensional,
// 2 G4), the width less one in two bytes, then the rows.
void FaxZeilenSaat(const QString& name, int art, int breite, const QByteArray& roh)
{
    QByteArray d;
    d.append(char(art)).append(char((breite - 1) >> 8)).append(char((breite - 1) & 0xFF));
    SchreibenIn(QStringLiteral("fuzz_faxzeilen"), name, roh.isEmpty() ? roh : d + roh);
}

// A picture of the depth: black and white, 16 or 256 palette colours, or
// true colour, with diagonal bands so that runs and literals both occur.
QImage Bild(int tiefe, int w, int h)
{
    if (tiefe == 24) {
        QImage b(w, h, QImage::Format_BGR888);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = b.scanLine(y) + 3 * x;
                p[0] = uint8_t(x * 255 / w);
                p[1] = uint8_t(y * 255 / h);
                p[2] = uint8_t((x ^ y) * 8);
            }
        return b;
    }
    const int n = 1 << tiefe;
    QImage b(w, h, QImage::Format_Indexed8);
    QList<QRgb> t;
    for (int i = 0; i < n; ++i)
        t.append(n == 2 ? (i ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                        : qRgb((i * 67) % 256, (i * 151 + 40) % 256, (255 - i * 29) & 0xFF));
    b.setColorTable(t);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.scanLine(y)[x] = uint8_t(((x / 5) + (y / 3)) % n);
    return b;
}

QByteArray Gespeichert(const QImage& bild, int speicherId, int steuerung = 0, int wert = 0)
{
    TGear g;
    g.SetPicture(bild);
    g.SetSaveFormat(speicherId);
    if (steuerung) {
        g.SetControlMode(steuerung);
        g.SetControlValue(wert);
    }
    QByteArray aus;
    return g.SaveToBytes(aus) ? aus : QByteArray();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: fuzz_saat <ordner>\n");
        return 2;
    }
    FuzzStarten();
    ordner = QString::fromLocal8Bit(argv[1]);

    constexpr int Iff = 18, Clp = 5, G3 = 196634, G4 = 262170, Xpm = 45, Jpeg = 21, JpegTyp = 1813;
    for (int tiefe : {1, 4, 8, 24}) {
        const QString name = QString::number(tiefe) + QStringLiteral("bit.");
        Schreiben("iff", name + QStringLiteral("iff"), Gespeichert(Bild(tiefe, 24, 16), Iff));
        Schreiben("clp", name + QStringLiteral("clp"), Gespeichert(Bild(tiefe, 24, 16), Clp));
    }
    Schreiben("xpm", QStringLiteral("palette.xpm"), Gespeichert(Bild(4, 24, 16), Xpm));
    Schreiben("xpm", QStringLiteral("farbig.xpm"), Gespeichert(Bild(24, 24, 16), Xpm));

    const QImage fax = Bild(1, 1728, 12);
    const QImage schmal = Bild(1, 200, 12);
    const QByteArray g3 = Gespeichert(fax, G3);
    Schreiben("g3", QStringLiteral("fax.g3"), g3);
    Schreiben("g3", QStringLiteral("schmal.g3"), Gespeichert(schmal, G3));
    Schreiben("g4", QStringLiteral("fax.g4"), Gespeichert(fax, G4));
    Schreiben("g4", QStringLiteral("schmal.g4"), Gespeichert(schmal, G4));
    for (const QImage& b : {fax, schmal}) {
        const QString w = QString::number(b.width());
        const QByteArray bg3 = Gespeichert(b, G3);
        FaxZeilenSaat(w + QStringLiteral("-1d.g3"), 0, b.width(), bg3);
        FaxZeilenSaat(w + QStringLiteral("-2d.g3"), 1, b.width(), bg3);
        FaxZeilenSaat(w + QStringLiteral(".g4"), 2, b.width(), Gespeichert(b, G4));
    }
    // Brooktrout: a header of 128 bytes, then G3 rows.
    Schreiben("brk", QStringLiteral("fax.brk"), g3.isEmpty() ? g3 : QByteArray(128, '\0') + g3);

    for (int tiefe : {8, 24})
        Schreiben("ljpeg", QString::number(tiefe) + QStringLiteral("bit.jpg"),
                  Gespeichert(tiefe == 8 ? Bild(24, 24, 16).convertToFormat(QImage::Format_Grayscale8)
                                         : Bild(24, 24, 16),
                              Jpeg, JpegTyp, 1));

    // IOCA: uncompressed bits (compression 0x03) and G4 (0x82), 32 x 8.
    QByteArray bits;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            bits.append(char(y & 1 ? 0xF0 >> x : 0x0F << x));
    Schreiben("ioca", QStringLiteral("roh.ica"), IocaSegment(32, 8, 0x03, bits));
    const QByteArray g4 = Gespeichert(Bild(1, 32, 8), G4);
    Schreiben("ioca", QStringLiteral("g4.ica"), g4.isEmpty() ? g4 : IocaSegment(32, 8, 0x82, g4));
    return 0;
}
