#include "GearXpm.h"
#include "GearHilfen.h"
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

// Printable characters without the quote and the backslash, which a C
// string would need to escape.
constexpr char Zeichen[] = " .+@#$%&*=-;>,')!~{]^/(_:<[}|1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ`";
constexpr int ZeichenAnzahl = int(sizeof(Zeichen)) - 1;

void Kennung(int index, int laenge, char* ziel)
{
    for (int i = 0; i < laenge; ++i) {
        ziel[i] = Zeichen[index % ZeichenAnzahl];
        index /= ZeichenAnzahl;
    }
}

} // namespace

bool XpmKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    const QImage bgr = GearAlsBgr888(seite);
    if (bgr.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    const int w = bgr.width(), h = bgr.height();
    std::unordered_map<uint32_t, int> index;
    std::vector<uint32_t> farben;
    std::vector<int> pixel;
    if (!GearPuffer(pixel, qint64(w) * h, fehler))
        return false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = bgr.constScanLine(y);
        for (int x = 0; x < w; ++x, s += 3) {
            const uint32_t c = (uint32_t(s[2]) << 16) | (uint32_t(s[1]) << 8) | s[0];
            auto [it, neu] = index.emplace(c, int(farben.size()));
            if (neu)
                farben.push_back(c);
            pixel[size_t(y) * size_t(w) + size_t(x)] = it->second;
        }
    }
    int cpp = 1;
    for (qint64 moeglich = ZeichenAnzahl; moeglich < qint64(farben.size()); moeglich *= ZeichenAnzahl)
        ++cpp;
    QByteArray t;
    t.reserve(qsizetype(farben.size()) * (cpp + 16) + qsizetype(h) * (qint64(w) * cpp + 4) + 128);
    t += "/* XPM */\nstatic char *bild[] = {\n/* columns rows colors chars-per-pixel */\n";
    t += QByteArray("\"") + QByteArray::number(w) + ' ' + QByteArray::number(h) + ' '
        + QByteArray::number(qsizetype(farben.size())) + ' ' + QByteArray::number(cpp) + "\",\n";
    std::vector<char> k(static_cast<size_t>(cpp));
    char hex[8];
    for (size_t i = 0; i < farben.size(); ++i) {
        Kennung(int(i), cpp, k.data());
        std::snprintf(hex, sizeof hex, "%06X", unsigned(farben[i]));
        t += '"';
        t.append(k.data(), cpp);
        t += " c #";
        t += hex;
        t += "\",\n";
    }
    t += "/* pixels */\n";
    TFortschrittsBand band(fs, 0, 100, h);
    std::vector<char> zeile(size_t(w) * size_t(cpp));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            Kennung(pixel[size_t(y) * size_t(w) + size_t(x)], cpp, zeile.data() + size_t(x) * size_t(cpp));
        t += '"';
        t.append(zeile.data(), qsizetype(zeile.size()));
        t += y + 1 < h ? "\",\n" : "\"\n";
        band.Zeile(y);
    }
    t += "};\n";
    aus = std::move(t);
    return true;
}

namespace {

// The quoted strings of the C source, outside comments, as views into daten.
bool Zeichenketten(const QByteArray& daten, std::vector<std::pair<qsizetype, qsizetype>>& ketten, qint64 hoechstens)
{
    const char* d = daten.constData();
    const qsizetype n = daten.size();
    for (qsizetype i = 0; i < n;) {
        if (d[i] == '/' && i + 1 < n && d[i + 1] == '*') {
            const qsizetype e = daten.indexOf("*/", i + 2);
            if (e < 0)
                return true;
            i = e + 2;
        } else if (d[i] == '"') {
            const qsizetype e = daten.indexOf('"', i + 1);
            if (e < 0)
                return false;
            if (qint64(ketten.size()) >= hoechstens)
                return true;
            ketten.emplace_back(i + 1, e - i - 1);
            i = e + 1;
        } else {
            ++i;
        }
    }
    return true;
}

bool HexFarbe(const QByteArray& t, QRgb& farbe)
{
    if (!t.startsWith('#'))
        return false;
    const int ziffern = int(t.size()) - 1;
    if (ziffern != 6 && ziffern != 12 && ziffern != 3)
        return false;
    bool ok = false;
    const int je = ziffern / 3;
    int k[3];
    for (int i = 0; i < 3; ++i) {
        const int v = t.mid(1 + i * je, je).toInt(&ok, 16);
        if (!ok)
            return false;
        k[i] = je == 1 ? v * 17 : je == 2 ? v : v >> 8;
    }
    farbe = qRgb(k[0], k[1], k[2]);
    return true;
}

} // namespace

bool XpmDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                   const TFortschritt& fs)
{
    unterstuetzt = true;
    std::vector<std::pair<qsizetype, qsizetype>> ketten;
    if (!daten.startsWith("/* XPM */") || !Zeichenketten(daten, ketten, 1)) {
        unterstuetzt = false;
        return false;
    }
    auto kette = [&](size_t i) { return QByteArray::fromRawData(daten.constData() + ketten[i].first, ketten[i].second); };
    const QList<QByteArray> werte = ketten.empty() ? QList<QByteArray>() : kette(0).simplified().split(' ');
    if (werte.size() < 4) {
        fehler = QStringLiteral("Der XPM-Kopf ist beschädigt.");
        return false;
    }
    bool ok[4];
    const qint64 w = werte[0].toLongLong(&ok[0]), h = werte[1].toLongLong(&ok[1]);
    const qint64 farbenAnzahl = werte[2].toLongLong(&ok[2]), cpp = werte[3].toLongLong(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || w <= 0 || h <= 0 || farbenAnzahl <= 0 || cpp <= 0) {
        fehler = QStringLiteral("Der XPM-Kopf ist beschädigt.");
        return false;
    }
    if (cpp > 4) {
        unterstuetzt = false;
        return false;
    }
    // Every colour and row needs its own string, so the counts cannot
    // exceed the file's size. The header's numbers may be anything up to
    // 2^63: compared one at a time, so no sum or product overflows.
    const qint64 hoechstens = daten.size() / 2;
    if (farbenAnzahl > hoechstens || h > hoechstens - farbenAnzahl || w > GearMaxPixel / h) {
        fehler = QStringLiteral("Die XPM-Datei ist unvollständig.");
        return false;
    }
    // The string table and the colour index come from the load's budget too.
    if (!GearSpeicherNehmen((1 + farbenAnzahl + h) * qint64(sizeof(ketten[0])) + farbenAnzahl * 48, fehler))
        return false;
    ketten.clear();
    Zeichenketten(daten, ketten, 1 + farbenAnzahl + h);
    if (qint64(ketten.size()) < 1 + farbenAnzahl + h) {
        fehler = QStringLiteral("Die XPM-Datei ist unvollständig.");
        return false;
    }
    auto schluessel = [cpp](const char* p) {
        uint32_t k = 0;
        for (int i = 0; i < cpp; ++i)
            k = (k << 8) | uint8_t(p[i]);
        return k;
    };
    std::unordered_map<uint32_t, int> index;
    std::vector<QRgb> farben;
    if (!GearPuffer(farben, farbenAnzahl, fehler))
        return false;
    for (qint64 i = 0; i < farbenAnzahl; ++i) {
        const QByteArray t = kette(size_t(1 + i));
        if (t.size() < cpp) {
            fehler = QStringLiteral("Eine Farbe der XPM-Datei ist beschädigt.");
            return false;
        }
        const QList<QByteArray> teile = t.mid(cpp).simplified().split(' ');
        QRgb farbe = 0;
        bool gefunden = false;
        for (qsizetype k = 0; k + 1 < teile.size(); ++k)
            if (teile[k] == "c") {
                gefunden = HexFarbe(teile[k + 1], farbe);
                break;
            }
        if (!gefunden) {
            unterstuetzt = false;
            return false;
        }
        farben[size_t(i)] = farbe;
        index[schluessel(t.constData())] = int(i);
    }
    const bool palette = farbenAnzahl <= 256;
    QImage bild = GearNeuesBild(w, h, palette ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
    if (bild.isNull())
        return false;
    TFortschrittsBand band(fs, 0, 100, int(h));
    for (int y = 0; y < h; ++y) {
        const QByteArray t = kette(size_t(1 + farbenAnzahl + y));
        if (t.size() < w * cpp) {
            fehler = QStringLiteral("Eine Zeile der XPM-Datei ist zu kurz.");
            return false;
        }
        uint8_t* z = bild.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const auto it = index.find(schluessel(t.constData() + qsizetype(x) * cpp));
            if (it == index.end()) {
                fehler = QStringLiteral("Die XPM-Datei enthält eine unbekannte Farbe.");
                return false;
            }
            if (palette) {
                z[x] = uint8_t(it->second);
            } else {
                const QRgb c = farben[size_t(it->second)];
                z[3 * x] = uint8_t(qBlue(c));
                z[3 * x + 1] = uint8_t(qGreen(c));
                z[3 * x + 2] = uint8_t(qRed(c));
            }
        }
        band.Zeile(y);
    }
    if (palette) {
        bild.setColorTable(QList<QRgb>(farben.begin(), farben.end()));
        seite.bpp = GearTiefeFuerFarben(int(farbenAnzahl));
    } else {
        seite.bpp = 24;
    }
    seite.bild = std::move(bild);
    return true;
}
