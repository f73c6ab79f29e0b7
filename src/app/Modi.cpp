#include "Modi.h"
#include <QImage>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numbers>
#include "pixelops/Runden.h"

bool Ausschneiden = false;
bool Fotoschnitt = false;
bool Festschnitt = false;
bool WinkelMessen = false;
int ZeichenX = -1, ZeichenY = -1;
int SchnittLinks = 0, SchnittOben = 0, SchnittX = 0, SchnittY = 0;
long double SchnittVerhaeltnis = 0;
int RahmenLinks = 0, RahmenOben = 0, RahmenRechts = 0, RahmenUnten = 0;
bool RahmenPerTaste = false;
int LinieStartX = 0, LinieStartY = 0;
long double DrehWinkel = 0;

namespace {

// Inverts one pixel of any of the display's pixel formats; the alpha of
// formats that carry one stays.
void Invertieren(QImage& bild, int x, int y)
{
    if (x < 0 || y < 0 || x >= bild.width() || y >= bild.height())
        return;
    const int tiefe = bild.depth();
    if (tiefe == 24) {
        uchar* p = bild.scanLine(y) + 3 * qsizetype(x);
        p[0] = uchar(~p[0]);
        p[1] = uchar(~p[1]);
        p[2] = uchar(~p[2]);
    } else if (tiefe == 32) {
        auto* p = reinterpret_cast<QRgb*>(bild.scanLine(y)) + x;
        *p ^= 0x00FFFFFFu;
    } else {
        // Rare formats: through the colour value, still exactly self-inverse.
        const QRgb alt = bild.pixel(x, y);
        bild.setPixel(x, y, qRgba(255 - qRed(alt), 255 - qGreen(alt), 255 - qBlue(alt), qAlpha(alt)));
    }
}

// Pixels x0..x1 of row y; nothing when x1 < x0.
void Waagerecht(QImage& bild, int x0, int x1, int y)
{
    if (y < 0 || y >= bild.height())
        return;
    for (int x = std::max(0, x0); x <= std::min(bild.width() - 1, x1); ++x)
        Invertieren(bild, x, y);
}

// Pixels y0..y1 of column x; nothing when y1 < y0.
void Senkrecht(QImage& bild, int x, int y0, int y1)
{
    if (x < 0 || x >= bild.width())
        return;
    for (int y = std::max(0, y0); y <= std::min(bild.height() - 1, y1); ++y)
        Invertieren(bild, x, y);
}

} // namespace

void XorLinie(QImage& bild, int x0, int y0, int x1, int y1)
{
    if (bild.isNull())
        return;
    // Bresenham: each pixel of the line once.
    const long long dx = std::llabs((long long)x1 - x0), dy = -std::llabs((long long)y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long fehler = dx + dy;
    for (;;) {
        Invertieren(bild, x0, y0);
        if (x0 == x1 && y0 == y1)
            break;
        const long long e2 = 2 * fehler;
        if (e2 >= dy) {
            fehler += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            fehler += dx;
            y0 += sy;
        }
    }
}

void XorRechteck(QImage& bild, int x0, int y0, int x1, int y1)
{
    if (bild.isNull())
        return;
    const int l = std::min(x0, x1), r = std::max(x0, x1) - 1;
    const int o = std::min(y0, y1), u = std::max(y0, y1) - 1;
    if (r < l || o > u)
        return;
    Waagerecht(bild, l, r, o);
    if (u > o)
        Waagerecht(bild, l, r, u);
    // The sides without the corners the two edges above already took.
    if (u - o >= 2) {
        Senkrecht(bild, l, o + 1, u - 1);
        if (r > l)
            Senkrecht(bild, r, o + 1, u - 1);
    }
}

void XorFadenkreuz(QImage& bild, int x, int y)
{
    if (bild.isNull())
        return;
    Senkrecht(bild, x, 0, bild.height() - 1);
    // The crossing pixel belongs to the vertical line only.
    if (x >= 0 && x < bild.width()) {
        Waagerecht(bild, 0, x - 1, y);
        Waagerecht(bild, x + 1, bild.width() - 1, y);
    } else {
        Waagerecht(bild, 0, bild.width() - 1, y);
    }
}

long double WinkelFalten(int x0, int y0, int x1, int y1)
{
    long double a = -std::atan2((long double)y1 - y0, (long double)x1 - x0) * 180.0L / std::numbers::pi_v<long double>;
    if (a < -90)
        a += 180;
    if (a > 90)
        a -= 180;
    if (a < -45)
        a += 90;
    if (a > 45)
        a -= 90;
    // -0 would show as "-0°".
    return a == 0 ? 0.0L : a;
}

QString WinkelText(long double winkel)
{
    QString text = QLocale(QLocale::German).toString(double(winkel), 'f', 3);
    const QChar komma(u',');
    if (text.contains(komma)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(komma))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text + QChar(0x00B0);
}

int RahmenZentrieren(long double mitte, int groesse, int bild)
{
    const long double links = std::max(0.0L, mitte - groesse / 2.0L);
    const int wert = std::min(Runden(links), bild - groesse);
    // A frame as large as the image (or larger) starts at its edge.
    return std::max(0, wert);
}

void RahmenRadGroesse(int& x, int& y, int schritt, bool groesser, int links, int oben, int w, int h,
                      long double verhaeltnis)
{
    x = std::max(4, groesser ? x + schritt : x - schritt);
    if (links + x > w)
        x = w - links;
    if (verhaeltnis <= 0)
        verhaeltnis = 1;
    y = Runden(x / verhaeltnis);
    if (oben + y > h) {
        y = h - oben;
        x = Runden(y * verhaeltnis);
    }
    // Never an empty frame, never one larger than the image.
    x = std::clamp(x, 1, std::max(1, w));
    y = std::clamp(y, 1, std::max(1, h));
}

QRect SchnittRechteck(int links, int oben, int rechts, int unten, int w, int h)
{
    if (rechts < links)
        std::swap(rechts, links);
    if (unten < oben)
        std::swap(unten, oben);
    links = std::clamp(links, 0, w);
    rechts = std::clamp(rechts, 0, w);
    oben = std::clamp(oben, 0, h);
    unten = std::clamp(unten, 0, h);
    if (rechts <= links || unten <= oben)
        return QRect();
    return QRect(links, oben, rechts - links, unten - oben);
}

QString PositionsText(int links, int oben)
{
    return QStringLiteral(" X = %1 - Y = %2").arg(links + 1).arg(oben + 1);
}

QString GroessenText(int breite, int hoehe)
{
    return QStringLiteral(" Breite = %1 - Höhe = %2").arg(breite).arg(hoehe);
}

QString RahmenText(int links, int oben, int breite, int hoehe)
{
    return PositionsText(links, oben) + QStringLiteral("   ") + GroessenText(breite, hoehe);
}
