#include "GearPalette.h"
#include <algorithm>

bool SeiteLesbar(TGearSeite& seite)
{
    if (seite.Leer())
        return false;
    const QImage::Format f = seite.bild.format();
    if (f != QImage::Format_BGR888 && f != QImage::Format_Indexed8) {
        QImage neu = seite.bild.convertToFormat(QImage::Format_BGR888);
        if (neu.isNull())
            return false;
        seite.bild = std::move(neu);
        seite.bpp = 24;
    }
    return true;
}

TZeilenLeser::TZeilenLeser(const QImage& bild)
    : m_basis(bild.constBits()),
      m_zeilenLaenge(bild.bytesPerLine()),
      m_breite(bild.width()),
      m_hoehe(bild.height()),
      m_indexiert(bild.format() == QImage::Format_Indexed8)
{
    if (m_indexiert) {
        const QList<QRgb> tabelle = bild.colorTable();
        for (int i = 0; i < std::min<qsizetype>(256, tabelle.size()); ++i) {
            m_tabelle[i * 3] = uint8_t(qBlue(tabelle[i]));
            m_tabelle[i * 3 + 1] = uint8_t(qGreen(tabelle[i]));
            m_tabelle[i * 3 + 2] = uint8_t(qRed(tabelle[i]));
        }
    }
}

const uint8_t* TZeilenLeser::Zeile(int y, uint8_t* puffer) const
{
    const uint8_t* zeile = m_basis + qsizetype(y) * m_zeilenLaenge;
    if (!m_indexiert)
        return zeile;
    for (int x = 0; x < m_breite; ++x) {
        const uint8_t* c = &m_tabelle[zeile[x] * 3];
        puffer[x * 3] = c[0];
        puffer[x * 3 + 1] = c[1];
        puffer[x * 3 + 2] = c[2];
    }
    return puffer;
}

const QList<QRgb>& StandardPalette16()
{
    static const QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return palette;
}

int FarbenZaehlen(const QImage& bild, int grenze, QList<QRgb>* farben)
{
    if (farben)
        farben->clear();
    if (bild.isNull())
        return 0;
    QList<QRgb> gefunden;
    std::vector<uint64_t> gesehen(size_t(1) << 18, 0);   // one bit per 24-bit colour
    auto merke = [&](QRgb c) {
        const uint32_t k = c & 0xFFFFFFu;
        uint64_t& wort = gesehen[k >> 6];
        const uint64_t bit = uint64_t(1) << (k & 63);
        if (wort & bit)
            return false;
        wort |= bit;
        gefunden.append(qRgb(qRed(c), qGreen(c), qBlue(c)));
        return true;
    };

    const int w = bild.width(), h = bild.height();
    if (bild.format() == QImage::Format_Indexed8) {
        const QList<QRgb> tabelle = bild.colorTable();
        std::array<bool, 256> benutzt{};
        for (int y = 0; y < h; ++y) {
            const uint8_t* z = bild.constScanLine(y);
            for (int x = 0; x < w; ++x) {
                if (benutzt[z[x]])
                    continue;
                benutzt[z[x]] = true;
                if (merke(z[x] < tabelle.size() ? tabelle[z[x]] : qRgb(0, 0, 0)) && gefunden.size() > grenze)
                    return int(gefunden.size());
            }
        }
    } else {
        TZeilenLeser leser(bild);
        std::vector<uint8_t> puffer(size_t(w) * 3);
        for (int y = 0; y < h; ++y) {
            const uint8_t* z = leser.Zeile(y, puffer.data());
            uint32_t letzte = 0xFFFFFFFFu;
            for (int x = 0; x < w; ++x, z += 3) {
                const uint32_t c = (uint32_t(z[2]) << 16) | (uint32_t(z[1]) << 8) | z[0];
                if (c == letzte)
                    continue;
                letzte = c;
                if (merke(c) && gefunden.size() > grenze)
                    return int(gefunden.size());
            }
        }
    }
    if (farben)
        *farben = gefunden;
    return int(gefunden.size());
}

QImage IndexBild(int breite, int hoehe, const QList<QRgb>& palette)
{
    QImage bild(breite, hoehe, QImage::Format_Indexed8);
    if (bild.isNull())
        return bild;
    bild.setColorTable(palette);
    return bild;
}

TNaechsteFarbe::TNaechsteFarbe(const QList<QRgb>& palette)
{
    const int n = std::max<int>(1, int(std::min<qsizetype>(256, palette.size())));
    m_r.resize(n);
    m_g.resize(n);
    m_b.resize(n);
    for (int i = 0; i < n; ++i) {
        const QRgb c = palette.isEmpty() ? qRgb(0, 0, 0) : palette[i];
        m_r[i] = qRed(c);
        m_g[i] = qGreen(c);
        m_b[i] = qBlue(c);
    }
    constexpr int kZellen = 32 * 32 * 32;
    m_anfang.resize(kZellen + 1);
    m_kandidaten.reserve(kZellen * 4);
    std::vector<int> dmin(n), dmax(n);
    auto achse = [](int wert, int lo, int hi, int& nah, int& fern) {
        nah = wert < lo ? lo - wert : (wert > hi ? wert - hi : 0);
        fern = std::max(std::abs(wert - lo), std::abs(wert - hi));
    };
    for (int zelle = 0; zelle < kZellen; ++zelle) {
        const int r0 = (zelle >> 10) * 8, g0 = ((zelle >> 5) & 31) * 8, b0 = (zelle & 31) * 8;
        int schranke = INT32_MAX;
        for (int i = 0; i < n; ++i) {
            int nr, fr, ng, fg, nb, fb;
            achse(m_r[i], r0, r0 + 7, nr, fr);
            achse(m_g[i], g0, g0 + 7, ng, fg);
            achse(m_b[i], b0, b0 + 7, nb, fb);
            dmin[i] = nr * nr + ng * ng + nb * nb;
            dmax[i] = fr * fr + fg * fg + fb * fb;
            schranke = std::min(schranke, dmax[i]);
        }
        // A colour farther than some colour's worst case is never nearest in the cell.
        m_anfang[zelle] = uint32_t(m_kandidaten.size());
        for (int i = 0; i < n; ++i)
            if (dmin[i] <= schranke)
                m_kandidaten.push_back(uint8_t(i));
    }
    m_anfang[kZellen] = uint32_t(m_kandidaten.size());
}
