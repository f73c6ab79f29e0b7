// Damaged inputs of the lossless transform and the comment writer that the
// fuzz targets found: refused quickly, without the memory a declared size
// asks for, and without touching the file.
#include "TestHilfen.h"
#include "files/JpgDrehen.h"
#include "gear/GearHilfen.h"
#include "Testnaht.h"
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>

namespace {

// 238 bytes whose frame header declares 22644 x 31316 grey pixels: the
// library allocated about 3 GB of coefficients and worked 17 s on it.
const char* const RiesigGrauHex =
    "ffd8ffe000104a46494600010100000100010000ffdb004300ef0202020202030202020303030304060404040404080606050609"
    "080a0a090809090a0c0f0c0a0b0e0b09090d110d0e0f101011100a0c121310100f10121310ffc0000b087a545874010111"
    "00ffc400160001010100000000000000000000000000070206ffc4002e1000000305070205050000000000000000010211"
    "830405061200070813142131091516173341612332515281ffda0008010100003f006c88752fc34e31305f5f63787861"
    "6269763131375f5f636c6173735f7479706582de21ef254548ad2cf8fd61053442d21bef6fffd9";

struct TGrenze {
    explicit TGrenze(qint64 bytes) { GearSpeicherGrenzeSetzen(bytes); }
    ~TGrenze() { GearSpeicherGrenzeSetzen(0); }
};

} // namespace

TEST(JpgEingaben, WenigeBytesMitRiesigerAngabeWerdenSofortAbgelehnt)
{
    const QString ordner = FrischerOrdner(QStringLiteral("jpgeingaben"));
    const QString quelle = ordner + QStringLiteral("/riesig.jpg");
    const QString ziel = ordner + QStringLiteral("/ziel.jpg");
    DateiSchreiben(quelle, QByteArray::fromHex(RiesigGrauHex));
    for (uint8_t code : {JpgDrehen90, JpgDrehen180, JpgDrehen270, JpgSpiegelnHorizontal, JpgSpiegelnVertikal}) {
        QElapsedTimer uhr;
        uhr.start();
        EXPECT_FALSE(JpgTransformieren(quelle, ziel, code, JpgKopiereKeine, false)) << int(code);
        EXPECT_LT(uhr.elapsed(), 1000) << int(code);
        EXPECT_FALSE(QFile::exists(ziel));
    }
}

TEST(JpgEingaben, DrehenBrauchtSpeicherFuerDieKoeffizienten)
{
    // The 640 x 480 sample: about 2 MB of coefficients, turned in full.
    const QString ordner = FrischerOrdner(QStringLiteral("jpgspeicher"));
    const QString ziel = ordner + QStringLiteral("/ziel.jpg");
    {
        const TGrenze grenze(1 << 20);
        EXPECT_FALSE(JpgTransformieren(MusterPfad(QStringLiteral("testbild.jpg")), ziel, JpgDrehen90, JpgKopiereAlle, false));
        EXPECT_FALSE(QFile::exists(ziel));
    }
    EXPECT_TRUE(JpgTransformieren(MusterPfad(QStringLiteral("testbild.jpg")), ziel, JpgDrehen90, JpgKopiereAlle, false));
}
