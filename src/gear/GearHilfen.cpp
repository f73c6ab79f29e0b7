#include "GearHilfen.h"
#include "GearTestnaht.h"
#include "pixelops/Bildspeicher.h"
#include <QFile>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <unistd.h>

namespace {

thread_local TGearSpeicherRahmen* offenerRahmen = nullptr;
std::atomic<qint64> testGrenze{0};

// Whole megabytes, rounded up; sizes near the largest count stay in range.
QString MB(qint64 bytes)
{
    return QString::number(bytes / (1 << 20) + (bytes % (1 << 20) > 0 ? 1 : 0));
}

} // namespace

qint64 GearVerfuegbarerSpeicher()
{
    if (const qint64 g = testGrenze.load())
        return g;
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        // /proc reports a size of 0, so the lines are read one by one.
        for (QByteArray zeile = info.readLine(); !zeile.isEmpty(); zeile = info.readLine())
            if (zeile.startsWith("MemAvailable:")) {
                bool ok = false;
                const qint64 kb = zeile.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
                if (ok && kb > 0)
                    return kb * 1024;
            }
    }
    const long seiten = sysconf(_SC_PHYS_PAGES), groesse = sysconf(_SC_PAGESIZE);
    return seiten > 0 && groesse > 0 ? qint64(seiten) * groesse : (qint64(1) << 62);
}

void GearSpeicherGrenzeSetzen(qint64 bytes)
{
    testGrenze = std::max<qint64>(0, bytes);
}

TGearSpeicherRahmen::TGearSpeicherRahmen(qint64 hoechstens)
    : m_rest(std::min({GearVerfuegbarerSpeicher(), std::max<qint64>(0, hoechstens),
                       offenerRahmen ? offenerRahmen->m_rest : std::numeric_limits<qint64>::max()})),
      m_anfang(m_rest),
      m_vorher(offenerRahmen)
{
    offenerRahmen = this;
}

TGearSpeicherRahmen::~TGearSpeicherRahmen()
{
    if (m_vorher)
        m_vorher->m_rest -= m_anfang - m_rest;
    offenerRahmen = m_vorher;
}

static const QString SpeicherFehlerAnfang = QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht");

bool GearSpeicherFehler(const QString& fehler)
{
    return fehler.startsWith(SpeicherFehlerAnfang);
}

qint64 GearSpeicherRest()
{
    return offenerRahmen ? offenerRahmen->Rest() : GearVerfuegbarerSpeicher();
}

bool GearSpeicherNehmen(qint64 bytes, QString& fehler)
{
    const qint64 frei = GearSpeicherRest();
    if (bytes > frei) {
        fehler = (SpeicherFehlerAnfang + QStringLiteral(": es braucht %1 MB, frei sind %2 MB."))
                     .arg(MB(bytes), MB(std::max<qint64>(0, frei)));
        return false;
    }
    if (offenerRahmen)
        offenerRahmen->m_rest -= std::max<qint64>(0, bytes);
    return true;
}

QImage GearNeuesBild(qint64 breite, qint64 hoehe, QImage::Format format, QString& fehler)
{
    if (breite <= 0 || hoehe <= 0) {
        fehler = QStringLiteral("Das Bild hat keine gültige Größe.");
        return {};
    }
    if (breite > 1000000 || hoehe > 1000000 || breite * hoehe > GearMaxPixel) {
        fehler = QStringLiteral("Das Bild ist zu groß (%1 x %2 Pixel).").arg(breite).arg(hoehe);
        return {};
    }
    const qint64 zeile = (breite * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    if (!GearSpeicherNehmen(zeile * hoehe, fehler))
        return {};
    QImage bild = GrossesBild(int(breite), int(hoehe), format);
    if (bild.isNull())
        fehler = QStringLiteral("Nicht genug Speicher für ein Bild von %1 x %2 Pixeln.").arg(breite).arg(hoehe);
    return bild;
}

bool GearErsteSeite(std::shared_ptr<TGearSeitenQuelle> quelle, TGearDokument& dok, QString& fehler,
                    const TFortschritt& fs)
{
    TGearSeite erste;
    if (!quelle->Lesen(0, erste, fehler, fs))
        return false;
    dok.seiten.push_back(std::move(erste));
    if (quelle->Anzahl() > 1)
        dok.quelle = std::move(quelle);
    return true;
}

int GearTiefeFuerFarben(int n)
{
    if (n <= 2)
        return 1;
    if (n <= 16)
        return 4;
    return 8;
}

int GearTiefeFuerBits(int bits)
{
    if (bits <= 1)
        return 1;
    if (bits <= 4)
        return 4;
    return 8;
}

QList<QRgb> GearGrauPalette(int stufen)
{
    QList<QRgb> t;
    t.reserve(stufen);
    for (int i = 0; i < stufen; ++i) {
        const int g = stufen > 1 ? (i * 255) / (stufen - 1) : 0;
        t.append(qRgb(g, g, g));
    }
    return t;
}

bool GearIstGrauRampe(const QList<QRgb>& tabelle)
{
    if (tabelle.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if ((tabelle[i] & 0xFFFFFF) != (qRgb(i, i, i) & 0xFFFFFF))
            return false;
    return true;
}

QList<QRgb> GearOhneAlpha(QList<QRgb> tabelle)
{
    for (QRgb& c : tabelle)
        c = qRgb(qRed(c), qGreen(c), qBlue(c));
    return tabelle;
}

void GearIndizesAbsichern(QImage& bild)
{
    if (bild.format() != QImage::Format_Indexed8)
        return;
    const int n = bild.colorCount();
    if (n >= 256)
        return;
    const int w = bild.width();
    // The OR of all indices bounds the highest one; in nearly every picture
    // it already shows all of them inside the table, without a comparison
    // per pixel.
    uint64_t oder = 0;
    for (int y = 0; y < bild.height(); ++y) {
        const uint8_t* z = bild.constScanLine(y);
        int x = 0;
        for (; x + 8 <= w; x += 8) {
            uint64_t v;
            std::memcpy(&v, z + x, sizeof v);
            oder |= v;
        }
        for (; x < w; ++x)
            oder |= z[x];
    }
    oder |= oder >> 32;
    oder |= oder >> 16;
    oder |= oder >> 8;
    if (int(oder & 0xFF) < n)
        return;
    int hoechster = 0;
    for (int y = 0; y < bild.height() && hoechster < 255; ++y) {
        const uint8_t* z = bild.constScanLine(y);
        for (int x = 0; x < w; ++x)
            hoechster = std::max<int>(hoechster, z[x]);
    }
    if (hoechster >= n) {
        QList<QRgb> t = bild.colorTable();
        while (t.size() <= hoechster)
            t.append(qRgb(0, 0, 0));
        bild.setColorTable(t);
    }
}

TGearSeite GearSeiteAusBild(const QImage& bild)
{
    TGearSeite s;
    if (bild.isNull())
        return s;
    switch (bild.format()) {
    case QImage::Format_BGR888:
        s.bild = bild;
        s.bpp = 24;
        break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8: {
        s.bild = bild.format() == QImage::Format_Indexed8 ? bild : bild.convertToFormat(QImage::Format_Indexed8);
        s.bild.setColorTable(GearOhneAlpha(s.bild.colorTable()));
        if (s.bild.colorCount() == 0)
            s.bild.setColorTable(GearGrauPalette(256));
        GearIndizesAbsichern(s.bild);
        s.bpp = GearTiefeFuerFarben(s.bild.colorCount());
        break;
    }
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16: {
        const QImage grau = bild.convertToFormat(QImage::Format_Grayscale8);
        s.bild = QImage(grau.width(), grau.height(), QImage::Format_Indexed8);
        if (s.bild.isNull())
            return {};
        for (int y = 0; y < grau.height(); ++y)
            std::memcpy(s.bild.scanLine(y), grau.constScanLine(y), size_t(grau.width()));
        s.bild.setColorTable(GearGrauPalette(256));
        s.bpp = 8;
        break;
    }
    default:
        s.bild = bild.convertToFormat(QImage::Format_BGR888);
        s.bpp = 24;
        break;
    }
    if (s.bild.isNull())
        return {};
    return s;
}

QImage GearAlsBgr888(const TGearSeite& seite)
{
    const QImage& q = seite.bild;
    if (q.format() == QImage::Format_BGR888)
        return q;
    if (q.format() != QImage::Format_Indexed8)
        return q.convertToFormat(QImage::Format_BGR888);
    QImage z(q.width(), q.height(), QImage::Format_BGR888);
    if (z.isNull())
        return z;
    uint8_t lut[256][3] = {};
    const QList<QRgb> t = q.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < t.size() ? t[i] : qRgb(0, 0, 0);
        lut[i][0] = uint8_t(qBlue(c));
        lut[i][1] = uint8_t(qGreen(c));
        lut[i][2] = uint8_t(qRed(c));
    }
    const int w = q.width();
    for (int y = 0; y < q.height(); ++y) {
        const uint8_t* s = q.constScanLine(y);
        uint8_t* d = z.scanLine(y);
        for (int x = 0; x < w; ++x, d += 3) {
            const uint8_t* c = lut[s[x]];
            d[0] = c[0];
            d[1] = c[1];
            d[2] = c[2];
        }
    }
    return z;
}

bool GearLueckeFuellen(TGearSeite& seite, QRgb farbe)
{
    const QRect luecke = seite.luecke.intersected(seite.bild.rect());
    seite.luecke = QRect();
    if (luecke.isEmpty())
        return true;
    farbe |= 0xFF000000u;
    QImage& bild = seite.bild;
    if (bild.format() == QImage::Format_Indexed8) {
        QList<QRgb> tabelle = bild.colorTable();
        qsizetype index = tabelle.indexOf(farbe);
        if (index < 0 && tabelle.size() < 256) {
            // One more colour: the depth grows only as far as it must.
            index = tabelle.size();
            tabelle.append(farbe);
            bild.setColorTable(tabelle);
            seite.bpp = std::max(seite.bpp, GearTiefeFuerFarben(int(tabelle.size())));
        }
        if (index >= 0) {
            for (int y = luecke.top(); y <= luecke.bottom(); ++y)
                std::memset(bild.scanLine(y) + luecke.left(), int(index), size_t(luecke.width()));
            return true;
        }
        // A full palette without the colour: the page becomes 24 bits.
        QString fehler;
        if (!GearSpeicherNehmen(qint64(bild.width()) * bild.height() * 3, fehler))
            return false;
        QImage bunt = GearAlsBgr888(seite);
        if (bunt.isNull())
            return false;
        bild = std::move(bunt);
        seite.bpp = 24;
    }
    if (bild.format() != QImage::Format_BGR888)
        return false;
    const uint8_t bgr[3] = {uint8_t(qBlue(farbe)), uint8_t(qGreen(farbe)), uint8_t(qRed(farbe))};
    for (int y = luecke.top(); y <= luecke.bottom(); ++y) {
        uint8_t* z = bild.scanLine(y) + 3 * luecke.left();
        for (int x = 0; x < luecke.width(); ++x, z += 3)
            std::memcpy(z, bgr, 3);
    }
    return true;
}

QImage GearAlsSchwarzWeiss(const TGearSeite& seite)
{
    const QImage& q = seite.bild;
    QImage z(q.width(), q.height(), QImage::Format_Indexed8);
    if (z.isNull())
        return z;
    z.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int w = q.width();
    if (q.format() == QImage::Format_Indexed8) {
        uint8_t schwarz[256];
        const QList<QRgb> t = q.colorTable();
        for (int i = 0; i < 256; ++i)
            schwarz[i] = i < t.size() ? (GearHelligkeit(t[i]) < 128) : 1;
        if (t.size() == 2) {
            const int h0 = GearHelligkeit(t[0]), h1 = GearHelligkeit(t[1]);
            if (h0 != h1) {
                schwarz[0] = h0 < h1;
                schwarz[1] = h1 < h0;
            }
        }
        for (int y = 0; y < q.height(); ++y) {
            const uint8_t* s = q.constScanLine(y);
            uint8_t* d = z.scanLine(y);
            for (int x = 0; x < w; ++x)
                d[x] = schwarz[s[x]];
        }
    } else {
        const QImage bgr = GearAlsBgr888(seite);
        for (int y = 0; y < bgr.height(); ++y) {
            const uint8_t* s = bgr.constScanLine(y);
            uint8_t* d = z.scanLine(y);
            for (int x = 0; x < w; ++x, s += 3)
                d[x] = (s[2] * 299 + s[1] * 587 + s[0] * 114 + 500) / 1000 < 128;
        }
    }
    return z;
}

QImage GearAufHintergrund(const QImage& bild, QRgb farbe, QString& fehler)
{
    QImage grund = GearNeuesBild(bild.width(), bild.height(), QImage::Format_RGB32, fehler);
    if (grund.isNull())
        return {};
    grund.fill(QColor(farbe));
    QPainter p(&grund);
    p.drawImage(0, 0, bild);
    p.end();
    if (!GearSpeicherNehmen(qint64(grund.width()) * grund.height() * 3, fehler))
        return {};
    QImage ergebnis = grund.convertToFormat(QImage::Format_BGR888);
    if (ergebnis.isNull())
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
    return ergebnis;
}
