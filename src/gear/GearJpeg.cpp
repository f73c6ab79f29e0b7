#include "GearJpeg.h"
#include "GearHilfen.h"
#include "GearLjpeg.h"
#include <turbojpeg.h>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// One compression handle per thread, kept while it works: creating one costs
// more than coding a thumbnail. After an error the handle is not trusted
// again (its state may be left half way).
struct THandle {
    tjhandle h = nullptr;
    ~THandle() { Verwerfen(); }
    tjhandle Holen()
    {
        if (!h)
            h = tjInitCompress();
        return h;
    }
    void Verwerfen()
    {
        if (h)
            tjDestroy(h);
        h = nullptr;
    }
};

THandle& Komprimierer()
{
    thread_local THandle h;
    return h;
}

// The library's errors and warnings. An error jumps back to the caller of
// the library; a warning (damaged but readable data) is counted, and where
// the entropy-coded data of the first scan ran out is noted: the rows from
// that band of blocks on were never in the file.
struct TFehler {
    jpeg_error_mgr pub;
    jmp_buf sprung;
    int warnungen = 0;
    int lueckeAb = -1;
    bool datenZuEnde = false;
    char text[JMSG_LENGTH_MAX] = {};

    void Beginnen()
    {
        warnungen = 0;
        lueckeAb = -1;
        datenZuEnde = false;
        text[0] = 0;
    }
    QString Text() const { return QString::fromLocal8Bit(text); }

    static void Ende(j_common_ptr c)
    {
        auto* f = reinterpret_cast<TFehler*>(c->err);
        (*c->err->format_message)(c, f->text);
        longjmp(f->sprung, 1);
    }
    static void Nachricht(j_common_ptr c, int stufe)
    {
        if (stufe >= 0)
            return;   // trace output
        auto* f = reinterpret_cast<TFehler*>(c->err);
        if (f->warnungen++ == 0)
            (*c->err->format_message)(c, f->text);
        const int code = c->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)
            f->datenZuEnde = true;
        if (code == JWRN_HIT_MARKER && f->lueckeAb < 0 && c->is_decompressor) {
            const auto* d = reinterpret_cast<j_decompress_ptr>(c);
            // Later scans only refine what the first one put everywhere.
            if (d->input_scan_number <= 1)
                f->lueckeAb = int(d->input_iMCU_row) * d->max_v_samp_factor * DCTSIZE;
        }
    }
};

// One decompressor per thread, kept while it works, for the same reason as
// the compression handle; after a library error it is made anew.
struct TLeser {
    jpeg_decompress_struct info {};
    TFehler fehler;
    bool angelegt = false;
    ~TLeser() { Verwerfen(); }
    bool Bereit()
    {
        if (angelegt)
            return true;
        info.err = jpeg_std_error(&fehler.pub);
        fehler.pub.error_exit = TFehler::Ende;
        fehler.pub.emit_message = TFehler::Nachricht;
        if (setjmp(fehler.sprung))
            return false;
        jpeg_create_decompress(&info);
        angelegt = true;
        return true;
    }
    void Verwerfen()
    {
        if (angelegt)
            jpeg_destroy_decompress(&info);
        angelegt = false;
    }
};

TLeser& Leser()
{
    thread_local TLeser l;
    return l;
}

// The library calls that may end in its error jump, each in a function of
// its own with nothing to destroy on the way back.
bool KopfLesen(TLeser& l, const unsigned char* daten, qint64 laenge)
{
    if (setjmp(l.fehler.sprung))
        return false;
    jpeg_mem_src(&l.info, daten, static_cast<unsigned long>(laenge));
    jpeg_read_header(&l.info, TRUE);
    return true;
}

// Decodes into the picture's rows, straight from the library; stops early
// once the rows from where the data ran out are reached. No progress is
// reported meanwhile: its handler pumps messages, and a load started from
// there would take over this thread's decompressor half way.
bool ZeilenLesen(TLeser& l, uint8_t* basis, qsizetype abstand, int hoehe)
{
    if (setjmp(l.fehler.sprung))
        return false;
    jpeg_decompress_struct& info = l.info;
    jpeg_start_decompress(&info);
    constexpr int Buendel = 32;
    JSAMPROW zeilen[Buendel];
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        if (l.fehler.lueckeAb >= 0 && y >= l.fehler.lueckeAb)
            break;
        const int n = std::min(Buendel, hoehe - y);
        for (int i = 0; i < n; ++i)
            zeilen[i] = basis + (y + i) * abstand;
        jpeg_read_scanlines(&info, zeilen, JDIMENSION(n));
    }
    return true;
}

QString Text(tjhandle h)
{
    return QString::fromLocal8Bit(tjGetErrorStr2(h));
}

bool NurGrau(const QList<QRgb>& t)
{
    for (QRgb c : t)
        if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
            return false;
    return !t.isEmpty();
}

// Whether the entropy-coded data can fill the declared size. Huffman coding
// spends at least one bit on every 8 x 8 block of a component in its first
// scan, so the scans together hold at least that many bits for the component
// with the fewest blocks. Arithmetic coding has no such floor and is let
// through (the memory budget still holds). No scan at all is always too little.
bool ScanDatenPruefen(const uint8_t* d, qint64 n, QString& fehler)
{
    qint64 p = 2, scanBytes = 0;
    qint64 bloecke = -1;
    bool arithmetisch = false, scanDa = false;
    while (p + 4 <= n) {
        if (d[p] != 0xFF) {
            ++p;   // stray bytes between segments
            continue;
        }
        const int m = d[p + 1];
        if (m == 0xFF) {
            ++p;   // fill byte
            continue;
        }
        if (m == 0xD9)
            break;
        if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            p += 2;
            continue;
        }
        const qint64 laenge = (d[p + 2] << 8) | d[p + 3];
        if (laenge < 2 || p + 2 + laenge > n)
            break;
        const uint8_t* seg = d + p + 4;
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof && laenge >= 8 && bloecke < 0) {
            arithmetisch = m >= 0xC9;
            const qint64 hoehe = (seg[1] << 8) | seg[2], breite = (seg[3] << 8) | seg[4];
            const int anzahl = seg[5];
            if (laenge < 8 + 3 * anzahl || anzahl == 0)
                break;
            int hMax = 1, vMax = 1;
            for (int i = 0; i < anzahl; ++i) {
                hMax = std::max(hMax, seg[7 + 3 * i] >> 4);
                vMax = std::max(vMax, seg[7 + 3 * i] & 15);
            }
            for (int i = 0; i < anzahl; ++i) {
                const int hi = std::max(1, seg[7 + 3 * i] >> 4), vi = std::max(1, seg[7 + 3 * i] & 15);
                const qint64 bw = ((breite * hi + hMax - 1) / hMax + 7) / 8;
                const qint64 bh = ((hoehe * vi + vMax - 1) / vMax + 7) / 8;
                bloecke = bloecke < 0 ? bw * bh : std::min(bloecke, bw * bh);
            }
        }
        p += 2 + laenge;
        if (m != 0xDA)
            continue;
        scanDa = true;
        // The entropy-coded data runs to the next marker other than a restart.
        while (p + 1 < n) {
            const auto* ff = static_cast<const uint8_t*>(std::memchr(d + p, 0xFF, size_t(n - p - 1)));
            if (!ff) {
                scanBytes += n - p;
                p = n;
                break;
            }
            scanBytes += ff - (d + p);
            p = ff - d;
            const int folgt = d[p + 1];
            if (folgt == 0 || (folgt >= 0xD0 && folgt <= 0xD7)) {
                scanBytes += 2;
                p += 2;
            } else if (folgt == 0xFF) {
                ++p;
            } else {
                break;
            }
        }
        // Enough for the declared size: the rest need not be looked at.
        if (bloecke > 0 && scanBytes * 8 >= bloecke)
            return true;
    }
    if (!scanDa) {
        fehler = QStringLiteral("Die JPEG-Datei enthält keine Bilddaten.");
        return false;
    }
    if (!arithmetisch && bloecke > 0 && scanBytes * 8 < bloecke) {
        fehler = QStringLiteral("Die JPEG-Datei enthält zu wenig Bilddaten für ihre Größe.");
        return false;
    }
    return true;
}

} // namespace

bool JpegScanDatenReichen(const uint8_t* d, qint64 n, QString& fehler)
{
    return ScanDatenPruefen(d, n, fehler);
}

bool JpegDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                    const TFortschritt& fs)
{
    unterstuetzt = true;
    // The JPEG library here has no lossless decoder.
    if (LjpegIstVerlustfrei(daten))
        return LjpegDekodieren(daten, seite, fehler, unterstuetzt, fs);
    // Reported before the reader holds this file: the handler pumps messages.
    if (fs)
        fs(5);
    TLeser& leser = Leser();
    if (!leser.Bereit()) {
        fehler = QStringLiteral("Der JPEG-Dekoder kann nicht gestartet werden.");
        return false;
    }
    // Back to the start state on every way out; after a library error the
    // reader is made anew.
    struct TZuruecksetzen {
        TLeser& l;
        bool fehlschlag = true;
        ~TZuruecksetzen() { fehlschlag ? l.Verwerfen() : jpeg_abort_decompress(&l.info); }
    } zuruecksetzen{leser};

    const auto* quelle = reinterpret_cast<const unsigned char*>(daten.constData());
    const qint64 laenge = daten.size();
    jpeg_decompress_struct& info = leser.info;
    leser.fehler.Beginnen();
    if (!KopfLesen(leser, quelle, laenge)) {
        fehler = QStringLiteral("Die JPEG-Datei ist beschädigt (%1).").arg(leser.fehler.Text());
        return false;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        unterstuetzt = false;
        fehler = QStringLiteral("CMYK-JPEG-Dateien werden hier nicht dekodiert.");
        zuruecksetzen.fehlschlag = false;
        return false;
    }
    // Before anything the size asks for is allocated.
    if (!ScanDatenPruefen(quelle, laenge, fehler)) {
        zuruecksetzen.fehlschlag = false;
        return false;
    }
    const bool grau = info.jpeg_color_space == JCS_GRAYSCALE;
    info.out_color_space = grau ? JCS_GRAYSCALE : JCS_EXT_BGR;
    const int w = int(info.image_width), hoehe = int(info.image_height);
    QImage bild = GearNeuesBild(w, hoehe, grau ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
    if (bild.isNull()) {
        zuruecksetzen.fehlschlag = false;
        return false;
    }
    const bool gelesen = ZeilenLesen(leser, bild.bits(), bild.bytesPerLine(), hoehe);
    // The rows decoded before the data ran out, or before the library gave
    // up, are the picture; with none of them there is nothing to show.
    int erreicht = hoehe;
    if (!gelesen)
        erreicht = int(std::min<JDIMENSION>(info.output_scanline, JDIMENSION(hoehe)));
    if (leser.fehler.lueckeAb >= 0)
        erreicht = std::min(erreicht, leser.fehler.lueckeAb);
    if (erreicht <= 0) {
        fehler = leser.fehler.datenZuEnde || gelesen
            ? QStringLiteral("Die JPEG-Datei ist unvollständig.")
            : QStringLiteral("Die JPEG-Datei ist beschädigt (%1).").arg(leser.fehler.Text());
        return false;
    }
    zuruecksetzen.fehlschlag = !gelesen;
    if (grau)
        bild.setColorTable(GearGrauPalette(256));
    seite.bild = std::move(bild);
    seite.bpp = grau ? 8 : 24;
    seite.beschaedigt = !gelesen || leser.fehler.warnungen > 0;
    if (erreicht < hoehe)
        seite.luecke = QRect(0, erreicht, w, hoehe - erreicht);
    return true;
}

int JpegAufloesungDpi(int wert)
{
    static constexpr int Dpi[10] = {600, 400, 300, 240, 200, 150, 120, 100, 96, 72};
    return wert >= 1 && wert <= 10 ? Dpi[wert - 1] : 0;
}

namespace {

// Puts the resolution into the JFIF header the library writes right after
// the start of the image.
void JfifDichteSetzen(QByteArray& jpeg, int dpi)
{
    auto* d = reinterpret_cast<uint8_t*>(jpeg.data());
    if (jpeg.size() < 18 || d[2] != 0xFF || d[3] != 0xE0 || std::memcmp(d + 6, "JFIF", 5) != 0)
        return;
    d[13] = 1;   // dots per inch
    d[14] = d[16] = uint8_t(dpi >> 8);
    d[15] = d[17] = uint8_t(dpi & 0xFF);
}

} // namespace

bool JpegKodieren(const TGearSeite& seite, int typ, int qualitaet, int dpi, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs)
{
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    if (typ == 1)
        return LjpegKodieren(seite, aus, fehler, fs);
    THandle& handle = Komprimierer();
    tjhandle h = handle.Holen();
    if (!h) {
        fehler = QStringLiteral("Der JPEG-Kodierer kann nicht gestartet werden.");
        return false;
    }
    int q = std::clamp(qualitaet, 1, 100);
    int abtastung = q >= 90 ? TJSAMP_444 : TJSAMP_420;
    const int flags = typ == 2 ? TJFLAG_PROGRESSIVE : 0;

    QImage quelle;
    int format = TJPF_BGR;
    const QImage& s = seite.bild;
    if (s.format() == QImage::Format_Indexed8 && NurGrau(s.colorTable())) {
        format = TJPF_GRAY;
        abtastung = TJSAMP_GRAY;
        if (GearIstGrauRampe(s.colorTable())) {
            quelle = s;
        } else {
            quelle = QImage(s.width(), s.height(), QImage::Format_Grayscale8);
            if (quelle.isNull()) {
                fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
                return false;
            }
            uint8_t lut[256] = {};
            const QList<QRgb> t = s.colorTable();
            for (int i = 0; i < t.size() && i < 256; ++i)
                lut[i] = uint8_t(qRed(t[i]));
            for (int y = 0; y < s.height(); ++y) {
                const uint8_t* a = s.constScanLine(y);
                uint8_t* b = quelle.scanLine(y);
                for (int x = 0; x < s.width(); ++x)
                    b[x] = lut[a[x]];
            }
        }
    } else {
        quelle = GearAlsBgr888(seite);
        if (quelle.isNull()) {
            fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
            return false;
        }
    }
    if (fs)
        fs(5);
    unsigned char* puffer = nullptr;
    unsigned long groesse = 0;
    if (tjCompress2(h, quelle.constBits(), quelle.width(), int(quelle.bytesPerLine()), quelle.height(), format,
                    &puffer, &groesse, abtastung, q, flags) != 0) {
        fehler = QStringLiteral("Die JPEG-Datei kann nicht erzeugt werden (%1).").arg(Text(h));
        tjFree(puffer);
        handle.Verwerfen();
        return false;
    }
    aus = QByteArray(reinterpret_cast<const char*>(puffer), qsizetype(groesse));
    tjFree(puffer);
    if (dpi > 0 && dpi <= 0xFFFF)
        JfifDichteSetzen(aus, dpi);
    // A handle that coded progressively keeps part of that set-up, and the
    // next baseline picture (a grey one in particular) comes out with a
    // broken scan: it is not used again.
    if (flags & TJFLAG_PROGRESSIVE)
        handle.Verwerfen();
    return true;
}
