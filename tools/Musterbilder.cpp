// Writes the sample folder used by `make run` and the tests: a colour test
// chart in several formats, a 3-page TIFF, an 8-bit palette image and a
// 1-bit image. Written with Magick++ and exiv2 directly, so that the tests
// read files that our own coders did not write.
#include <Magick++.h>
#include <exiv2/exiv2.hpp>
#include <QDir>
#include <QString>
#include <cmath>
#include <cstdio>

using namespace Magick;

// Colour bars, a grey ramp, a hue gradient and a few shapes: enough
// structure to see scaling, colour and orientation errors at a glance.
static Image Testbild(int w, int h)
{
    Image bild(Geometry(w, h), Color("white"));
    bild.depth(8);
    bild.type(TrueColorType);
    bild.modifyImage();
    Pixels ansicht(bild);
    PixelPacket* p = ansicht.get(0, 0, w, h);
    const int balkenHoehe = h / 3;
    static const int balken[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                     {255, 0, 255}, {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int r, g, b;
            if (y < balkenHoehe) {
                const int* c = balken[x * 8 / w];
                r = c[0]; g = c[1]; b = c[2];
            } else if (y < 2 * balkenHoehe) {
                r = g = b = x * 255 / std::max(1, w - 1);
            } else {
                const double t = double(x) / w * 6.0;
                const double v = double(y - 2 * balkenHoehe) / std::max(1, h - 2 * balkenHoehe);
                const int sektor = int(t) % 6;
                const double f = t - std::floor(t);
                double rr = 0, gg = 0, bb = 0;
                switch (sektor) {
                case 0: rr = 1; gg = f; break;
                case 1: rr = 1 - f; gg = 1; break;
                case 2: gg = 1; bb = f; break;
                case 3: gg = 1 - f; bb = 1; break;
                case 4: rr = f; bb = 1; break;
                default: rr = 1; bb = 1 - f; break;
                }
                r = int(255 * (rr * (1 - v) + 0.5 * v));
                g = int(255 * (gg * (1 - v) + 0.5 * v));
                b = int(255 * (bb * (1 - v) + 0.5 * v));
            }
            PixelPacket& q = p[size_t(y) * w + x];
            q.red = Quantum(r * (QuantumRange / 255.0));
            q.green = Quantum(g * (QuantumRange / 255.0));
            q.blue = Quantum(b * (QuantumRange / 255.0));
            q.opacity = OpaqueOpacity;
        }
    }
    ansicht.sync();
    // An orientation mark: a black square in the top-left corner of the ramp.
    bild.fillColor("black");
    bild.draw(DrawableRectangle(8, balkenHoehe + 8, 8 + w / 12, balkenHoehe + 8 + w / 12));
    bild.fillColor("orange");
    bild.draw(DrawableCircle(w - w / 8, 2 * balkenHoehe + h / 6, w - w / 8 + w / 20, 2 * balkenHoehe + h / 6));
    return bild;
}

static void Schreiben(Image bild, const std::string& pfad)
{
    try {
        bild.write(pfad);
    } catch (const Warning&) {
    }
}

static void ExifUndKommentar(const std::string& pfad, int w, int h)
{
    auto bild = Exiv2::ImageFactory::open(pfad);
    bild->readMetadata();
    Exiv2::ExifData& exif = bild->exifData();
    exif["Exif.Image.Make"] = "QZT";
    exif["Exif.Image.Model"] = "Musterkamera 1";
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Image.DateTime"] = "2026:01:02 03:04:05";
    exif["Exif.Photo.DateTimeOriginal"] = "2026:01:02 03:04:05";
    exif["Exif.Photo.PixelXDimension"] = uint32_t(w);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(h);
    exif["Exif.Photo.Flash"] = uint16_t(0);
    bild->setExifData(exif);
    // Windows-1252 bytes: "Testbild für Zelvano".
    bild->setComment(std::string("Testbild f\xFCr Zelvano"));
    bild->writeMetadata();
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "Aufruf: zelvano_muster <Ordner>\n");
        return 2;
    }
    InitializeMagick(argv[0]);
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    const std::string ordner = argv[1];
    QDir().mkpath(QString::fromStdString(ordner));
    auto pfad = [&](const char* name) { return ordner + "/" + name; };

    try {
        const int w = 640, h = 480;
        Image chart = Testbild(w, h);

        Image jpg = chart;
        jpg.quality(90);
        Schreiben(jpg, "JPEG:" + pfad("testbild.jpg"));
        ExifUndKommentar(pfad("testbild.jpg"), w, h);

        Schreiben(chart, "PNG24:" + pfad("testbild.png"));
        Schreiben(chart, "BMP3:" + pfad("testbild.bmp"));
        Schreiben(chart, "PCX:" + pfad("testbild.pcx"));
        Image tif = chart;
        tif.depth(8);
        tif.compressType(LZWCompression);
        Schreiben(tif, "TIFF:" + pfad("testbild.tif"));
        Image gif = chart;
        gif.quantizeColors(256);
        gif.quantize();
        Schreiben(gif, "GIF:" + pfad("testbild.gif"));

        // Three pages of different sizes, so paging is visible.
        std::vector<Image> seiten;
        seiten.push_back(Testbild(320, 240));
        seiten.push_back(Testbild(200, 300));
        Image dritte = Testbild(160, 120);
        dritte.negate();
        seiten.push_back(dritte);
        for (Image& s : seiten) {
            s.depth(8);
            s.compressType(LZWCompression);
        }
        writeImages(seiten.begin(), seiten.end(), "TIFF:" + pfad("dreiseiten.tif"), true);

        Image palette = chart;
        palette.quantizeColors(200);
        palette.quantizeDither(false);
        palette.quantize();
        palette.type(PaletteType);
        Schreiben(palette, "PNG8:" + pfad("palette8.png"));

        Image mono = chart;
        mono.type(GrayscaleType);
        mono.threshold(QuantumRange / 2);
        mono.type(BilevelType);
        mono.depth(1);
        mono.defineValue("png", "bit-depth", "1");
        mono.defineValue("png", "color-type", "0");
        Schreiben(mono, "PNG:" + pfad("mono1.png"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Musterbilder: %s\n", e.what());
        return 1;
    }
    return 0;
}
