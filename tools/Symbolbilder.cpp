// Draws the program's icon set: 42 icons at 20, 25, 30, 35 and 40 pixels,
// written as PNG files with alpha below the given folder, plus the resource
// list that compiles them into the program. Each icon is drawn as vectors on
// a 32 x 32 grid and scaled, so every size is sharp.
//
//   zelvano_symbole <resources/symbole>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <functional>
#include <vector>

namespace {

const QColor Umriss(40, 44, 52);
const QColor Papier(252, 252, 248);
const QColor Blau(44, 110, 200);
const QColor Hellblau(150, 195, 240);
const QColor Gruen(46, 150, 70);
const QColor Rot(210, 48, 40);
const QColor Gelb(244, 196, 60);
const QColor Orange(236, 132, 34);
const QColor Grau(130, 136, 146);
const QColor Hellgrau(208, 212, 218);

using Zeichner = std::function<void(QPainter&)>;

QPen Stift(const QColor& farbe = Umriss, qreal breite = 1.6)
{
    QPen stift(farbe, breite);
    stift.setJoinStyle(Qt::RoundJoin);
    stift.setCapStyle(Qt::RoundCap);
    return stift;
}

void Flaeche(QPainter& p, const QPainterPath& weg, const QColor& fuellung, const QColor& rand = Umriss,
             qreal breite = 1.6)
{
    p.setPen(Stift(rand, breite));
    p.setBrush(fuellung);
    p.drawPath(weg);
}

QPainterPath Rechteck(qreal x, qreal y, qreal b, qreal h, qreal r = 1.5)
{
    QPainterPath weg;
    weg.addRoundedRect(QRectF(x, y, b, h), r, r);
    return weg;
}

// A closed polygon through the points.
QPainterPath Vieleck(std::initializer_list<QPointF> punkte)
{
    QPolygonF vieleck(punkte);
    vieleck << vieleck.first();
    QPainterPath weg;
    weg.addPolygon(vieleck);
    return weg;
}

// A sheet of paper with a folded corner.
void Blatt(QPainter& p, qreal x, qreal y, qreal b, qreal h, const QColor& farbe = Papier)
{
    const qreal ecke = b * 0.3;
    QPainterPath weg;
    weg.moveTo(x, y);
    weg.lineTo(x + b - ecke, y);
    weg.lineTo(x + b, y + ecke);
    weg.lineTo(x + b, y + h);
    weg.lineTo(x, y + h);
    weg.closeSubpath();
    Flaeche(p, weg, farbe);
    p.setPen(Stift(Umriss, 1.2));
    p.drawLine(QPointF(x + b - ecke, y), QPointF(x + b - ecke, y + ecke));
    p.drawLine(QPointF(x + b - ecke, y + ecke), QPointF(x + b, y + ecke));
}

// A small photograph: sky, sun and a green hill in a frame.
void Foto(QPainter& p, const QRectF& r)
{
    Flaeche(p, Rechteck(r.x(), r.y(), r.width(), r.height(), 1), Hellblau);
    p.save();
    p.setClipRect(r.adjusted(0.8, 0.8, -0.8, -0.8));
    p.setPen(Qt::NoPen);
    p.setBrush(Gelb);
    const qreal s = std::min(r.width(), r.height());
    p.drawEllipse(QPointF(r.x() + r.width() * 0.72, r.y() + r.height() * 0.3), s * 0.14, s * 0.14);
    QPainterPath huegel;
    huegel.moveTo(r.bottomLeft());
    huegel.lineTo(r.x(), r.y() + r.height() * 0.7);
    huegel.quadTo(r.x() + r.width() * 0.35, r.y() + r.height() * 0.35, r.x() + r.width() * 0.7,
                  r.y() + r.height() * 0.72);
    huegel.lineTo(r.right(), r.y() + r.height() * 0.6);
    huegel.lineTo(r.bottomRight());
    huegel.closeSubpath();
    p.setBrush(Gruen);
    p.drawPath(huegel);
    p.restore();
    p.setPen(Stift(Umriss, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 1, 1);
}

// A filled arrow from a to b.
void Pfeil(QPainter& p, QPointF a, QPointF b, const QColor& farbe, qreal schaft = 3.2, qreal kopf = 8)
{
    const qreal dx = b.x() - a.x(), dy = b.y() - a.y();
    const qreal laenge = std::hypot(dx, dy);
    const qreal ux = dx / laenge, uy = dy / laenge;
    const qreal nx = -uy, ny = ux;
    const QPointF basis(b.x() - ux * kopf, b.y() - uy * kopf);
    QPainterPath weg;
    weg.moveTo(a.x() + nx * schaft / 2, a.y() + ny * schaft / 2);
    weg.lineTo(basis.x() + nx * schaft / 2, basis.y() + ny * schaft / 2);
    weg.lineTo(basis.x() + nx * kopf * 0.6, basis.y() + ny * kopf * 0.6);
    weg.lineTo(b);
    weg.lineTo(basis.x() - nx * kopf * 0.6, basis.y() - ny * kopf * 0.6);
    weg.lineTo(basis.x() - nx * schaft / 2, basis.y() - ny * schaft / 2);
    weg.lineTo(a.x() - nx * schaft / 2, a.y() - ny * schaft / 2);
    weg.closeSubpath();
    Flaeche(p, weg, farbe, farbe.darker(150), 1.2);
}

// A curved arrow around (cx, cy) from angle start over the given span
// (degrees, counter-clockwise positive), with its head at the end.
void Bogenpfeil(QPainter& p, qreal cx, qreal cy, qreal radius, qreal start, qreal spanne, const QColor& farbe)
{
    p.setPen(Stift(farbe.darker(130), 3.4));
    p.setBrush(Qt::NoBrush);
    const QRectF kreis(cx - radius, cy - radius, 2 * radius, 2 * radius);
    p.drawArc(kreis, int(start * 16), int(spanne * 16));
    const qreal ende = (start + spanne) * M_PI / 180;
    const QPointF spitze(cx + radius * std::cos(ende), cy - radius * std::sin(ende));
    // Tangent in the direction of travel.
    const qreal richtung = spanne > 0 ? 1 : -1;
    const QPointF t(-std::sin(ende) * richtung, -std::cos(ende) * richtung);
    const QPointF n(std::cos(ende), -std::sin(ende));
    QPainterPath kopf;
    kopf.moveTo(spitze + t * 5.5);
    kopf.lineTo(spitze + n * 4.6 - t * 1.0);
    kopf.lineTo(spitze - n * 4.6 - t * 1.0);
    kopf.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(farbe.darker(130));
    p.drawPath(kopf);
}

void Kreis(QPainter& p, qreal cx, qreal cy, qreal r, const QColor& farbe)
{
    QPainterPath weg;
    weg.addEllipse(QPointF(cx, cy), r, r);
    Flaeche(p, weg, farbe, farbe.darker(150), 1.4);
}

void Lupe(QPainter& p, qreal cx, qreal cy, qreal r)
{
    p.setPen(Stift(Umriss, 4.2));
    p.drawLine(QPointF(cx + r * 0.7, cy + r * 0.7), QPointF(cx + r * 1.75, cy + r * 1.75));
    QPainterPath glas;
    glas.addEllipse(QPointF(cx, cy), r, r);
    Flaeche(p, glas, QColor(220, 236, 252, 220), Umriss, 2.2);
}

void Drucker(QPainter& p)
{
    Blatt(p, 9, 3, 14, 10);
    Flaeche(p, Rechteck(3, 12, 26, 12, 2.5), Hellgrau);
    Flaeche(p, Rechteck(8, 20, 16, 9, 0.8), Papier);
    p.setPen(Stift(Grau, 1.2));
    p.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
    p.drawLine(QPointF(11, 26), QPointF(18, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Gruen);
    p.drawEllipse(QPointF(25, 15.5), 1.3, 1.3);
}

void Scanner(QPainter& p)
{
    Flaeche(p, Rechteck(2, 14, 28, 12, 2.5), Hellgrau);
    const QPainterPath deckel = Vieleck({{3, 13}, {9, 5}, {29, 5}, {29, 13}});
    Flaeche(p, deckel, Grau);
    p.setPen(Stift(QColor(60, 220, 90), 2.4));
    p.drawLine(QPointF(5, 19), QPointF(27, 19));
}

void Klemmbrett(QPainter& p)
{
    Flaeche(p, Rechteck(5, 5, 22, 25, 2), QColor(186, 132, 74));
    Flaeche(p, Rechteck(11, 2.5, 10, 5, 1.2), Grau);
}

void Zahnrad(QPainter& p, qreal cx, qreal cy, qreal ra, qreal ri, const QColor& farbe)
{
    QPainterPath rad;
    const int zaehne = 8;
    for (int i = 0; i < zaehne * 2; ++i) {
        const qreal w1 = (i - 0.5) * M_PI / zaehne, w2 = (i + 0.5) * M_PI / zaehne;
        const qreal r = i % 2 ? ri : ra;
        const QPointF a(cx + r * std::cos(w1), cy + r * std::sin(w1));
        const QPointF b(cx + r * std::cos(w2), cy + r * std::sin(w2));
        if (i == 0)
            rad.moveTo(a);
        else
            rad.lineTo(a);
        rad.lineTo(b);
    }
    rad.closeSubpath();
    QPainterPath loch;
    loch.addEllipse(QPointF(cx, cy), ri * 0.42, ri * 0.42);
    Flaeche(p, rad.subtracted(loch), farbe);
}

void Buchstabe(QPainter& p, const QString& zeichen, const QRectF& r, const QColor& farbe, qreal groesse)
{
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setBold(true);
    schrift.setPixelSize(int(groesse));
    QPainterPath weg;
    weg.addText(0, 0, schrift, zeichen);
    const QRectF b = weg.boundingRect();
    weg.translate(r.center() - b.center());
    p.setPen(Qt::NoPen);
    p.setBrush(farbe);
    p.drawPath(weg);
}

// Two mirrored triangles about an axis: the mirror commands.
void Spiegeln(QPainter& p, bool waagrecht)
{
    p.save();
    if (!waagrecht) {
        p.translate(32, 0);
        p.rotate(90);
    }
    QPainterPath links, rechts;
    links.moveTo(13, 6);
    links.lineTo(13, 26);
    links.lineTo(3, 26);
    links.closeSubpath();
    rechts.moveTo(19, 6);
    rechts.lineTo(19, 26);
    rechts.lineTo(29, 26);
    rechts.closeSubpath();
    Flaeche(p, links, Blau);
    Flaeche(p, rechts, Hellblau);
    QPen achse = Stift(Rot, 1.6);
    achse.setDashPattern({2, 1.5});
    p.setPen(achse);
    p.drawLine(QPointF(16, 2), QPointF(16, 30));
    p.restore();
}

std::vector<Zeichner> Symbole()
{
    std::vector<Zeichner> s(42);
    // 0 open: an opened folder.
    s[0] = [](QPainter& p) {
        QPainterPath hinten;
        hinten.moveTo(2, 27);
        hinten.lineTo(2, 6);
        hinten.lineTo(11, 6);
        hinten.lineTo(14, 9);
        hinten.lineTo(26, 9);
        hinten.lineTo(26, 14);
        Flaeche(p, hinten, Gelb.darker(115));
        Blatt(p, 6, 4, 16, 16);
        const QPainterPath vorne = Vieleck({{2, 27}, {7, 14}, {31, 14}, {26, 27}});
        Flaeche(p, vorne, Gelb);
    };
    // 1 save as: a floppy disk.
    s[1] = [](QPainter& p) {
        const QPainterPath koerper = Vieleck({{3, 3}, {25, 3}, {29, 7}, {29, 29}, {3, 29}});
        Flaeche(p, koerper, Blau);
        Flaeche(p, Rechteck(8, 3, 15, 9, 0.5), Hellgrau);
        p.setPen(Qt::NoPen);
        p.setBrush(Blau);
        p.drawRect(QRectF(18, 4.5, 3, 6));
        Flaeche(p, Rechteck(7, 16, 18, 13, 0.8), Papier);
        p.setPen(Stift(Grau, 1.1));
        p.drawLine(QPointF(10, 20), QPointF(22, 20));
        p.drawLine(QPointF(10, 24), QPointF(22, 24));
    };
    // 2 print.
    s[2] = [](QPainter& p) { Drucker(p); };
    // 3 contact-sheet print: a page of small pictures.
    s[3] = [](QPainter& p) {
        Blatt(p, 4, 2, 24, 28);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                Foto(p, QRectF(7.5 + x * 9, 7 + y * 7.5, 7.5, 5.5));
    };
    // 4 information.
    s[4] = [](QPainter& p) {
        Kreis(p, 16, 16, 13.5, Blau);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9), 2.4, 2.4);
        p.drawRoundedRect(QRectF(13.8, 13, 4.4, 12), 1.2, 1.2);
    };
    // 5 search: a magnifier over a picture.
    s[5] = [](QPainter& p) {
        Foto(p, QRectF(2, 3, 20, 16));
        Lupe(p, 18, 18, 6.5);
    };
    // 6 convert: one page turning into another.
    s[6] = [](QPainter& p) {
        Blatt(p, 2, 2, 13, 17, QColor(255, 236, 200));
        Blatt(p, 17, 13, 13, 17, QColor(214, 232, 255));
        Pfeil(p, QPointF(10, 24), QPointF(16, 24), Gruen, 3, 6);
        Pfeil(p, QPointF(22, 8), QPointF(22, 12.5), Gruen, 3, 5);
    };
    // 7 scan.
    s[7] = [](QPainter& p) { Scanner(p); };
    // 8 choose scanner: a scanner with a selection list.
    s[8] = [](QPainter& p) {
        Scanner(p);
        Flaeche(p, Rechteck(15, 17, 15, 13, 1), Papier);
        p.setPen(Stift(Blau, 1.6));
        for (qreal y : {21.0, 24.5, 28.0})
            p.drawLine(QPointF(18, y - 0.5), QPointF(27, y - 0.5));
    };
    // 9 settings: a gear wheel.
    s[9] = [](QPainter& p) { Zahnrad(p, 16, 16, 14, 10, Grau); };
    // 10 quit: leaving through a door.
    s[10] = [](QPainter& p) {
        Flaeche(p, Rechteck(3, 2, 15, 28, 1), QColor(168, 112, 62));
        p.setPen(Qt::NoPen);
        p.setBrush(Gelb);
        p.drawEllipse(QPointF(14.5, 17), 1.5, 1.5);
        Pfeil(p, QPointF(14, 16), QPointF(31, 16), Rot, 4, 8);
    };
    // 11 check mark: the chosen row of a list.
    s[11] = [](QPainter& p) {
        QPainterPath haken;
        haken.moveTo(4, 17);
        haken.lineTo(12, 25);
        haken.lineTo(28, 6);
        p.setPen(Stift(Gruen.darker(130), 6.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(haken);
        p.setPen(Stift(Gruen.lighter(120), 3.5));
        p.drawPath(haken);
    };
    // 12 undo: an arrow curving back to the left.
    s[12] = [](QPainter& p) {
        p.setPen(Stift(Blau.darker(120), 4));
        p.setBrush(Qt::NoBrush);
        QPainterPath bogen;
        bogen.moveTo(9, 12);
        bogen.lineTo(19, 12);
        bogen.cubicTo(31, 12, 31, 28, 19, 28);
        bogen.lineTo(12, 28);
        p.drawPath(bogen);
        const QPainterPath kopf = Vieleck({{2, 12}, {11, 4}, {11, 20}});
        p.setPen(Qt::NoPen);
        p.setBrush(Blau.darker(120));
        p.drawPath(kopf);
    };
    // 13 copy: two sheets.
    s[13] = [](QPainter& p) {
        Blatt(p, 3, 2, 16, 20);
        Blatt(p, 13, 10, 16, 20);
        p.setPen(Stift(Grau, 1.2));
        for (qreal y : {18.0, 21.5, 25.0})
            p.drawLine(QPointF(16, y), QPointF(26, y));
    };
    // 14 stop: a red octagon.
    s[14] = [](QPainter& p) {
        QPainterPath acht;
        for (int i = 0; i < 8; ++i) {
            const qreal w = (i * 45 + 22.5) * M_PI / 180;
            const QPointF ecke(16 + 14.5 * std::cos(w), 16 + 14.5 * std::sin(w));
            if (i == 0)
                acht.moveTo(ecke);
            else
                acht.lineTo(ecke);
        }
        acht.closeSubpath();
        Flaeche(p, acht, Rot, Rot.darker(150));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(7, 13.5, 18, 5), 1, 1);
    };
    // 15 paste: a sheet on a clipboard.
    s[15] = [](QPainter& p) {
        Klemmbrett(p);
        Blatt(p, 13, 11, 17, 20);
        p.setPen(Stift(Grau, 1.2));
        for (qreal y : {19.0, 22.5, 26.0})
            p.drawLine(QPointF(16, y), QPointF(26, y));
    };
    // 16 delete: a waste bin.
    s[16] = [](QPainter& p) {
        const QPainterPath eimer = Vieleck({{7, 9}, {9, 30}, {23, 30}, {25, 9}});
        Flaeche(p, eimer, Hellgrau);
        Flaeche(p, Rechteck(4, 5, 24, 4, 1), Grau);
        Flaeche(p, Rechteck(12, 2, 8, 3, 1), Grau);
        p.setPen(Stift(Grau.darker(130), 1.6));
        for (qreal x : {12.5, 16.0, 19.5})
            p.drawLine(QPointF(x, 13), QPointF(x, 26));
    };
    // 17 image attributes: brightness (sun) and contrast (half disc).
    s[17] = [](QPainter& p) {
        p.setPen(Stift(Orange, 2.2));
        for (int i = 0; i < 8; ++i) {
            const qreal w = i * M_PI / 4;
            p.drawLine(QPointF(16 + 10.5 * std::cos(w), 16 + 10.5 * std::sin(w)),
                       QPointF(16 + 14.5 * std::cos(w), 16 + 14.5 * std::sin(w)));
        }
        QPainterPath scheibe;
        scheibe.addEllipse(QPointF(16, 16), 8.5, 8.5);
        Flaeche(p, scheibe, Papier);
        QPainterPath haelfte;
        haelfte.moveTo(16, 7.5);
        haelfte.arcTo(QRectF(7.5, 7.5, 17, 17), 90, 180);
        haelfte.closeSubpath();
        Flaeche(p, haelfte, Umriss);
    };
    // 18 show clipboard: a picture on a clipboard.
    s[18] = [](QPainter& p) {
        Klemmbrett(p);
        Foto(p, QRectF(8, 10, 16, 16));
    };
    // 19 cut out: scissors.
    s[19] = [](QPainter& p) {
        p.setPen(Stift(Grau.darker(140), 2.6));
        p.drawLine(QPointF(10, 20), QPointF(26, 3));
        p.drawLine(QPointF(22, 20), QPointF(6, 3));
        QPainterPath ringe;
        ringe.addEllipse(QPointF(8, 24.5), 5, 5);
        ringe.addEllipse(QPointF(24, 24.5), 5, 5);
        p.setPen(Stift(Rot, 2.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(ringe);
    };
    // 20 close: a red circle with a cross.
    s[20] = [](QPainter& p) {
        Kreis(p, 16, 16, 13.5, Rot);
        p.setPen(Stift(Qt::white, 3.6));
        p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    };
    // 21 photo crop: a picture inside crop marks.
    s[21] = [](QPainter& p) {
        Foto(p, QRectF(9, 9, 15, 14));
        QPainterPath winkel;
        winkel.moveTo(7, 2);
        winkel.lineTo(7, 25);
        winkel.lineTo(30, 25);
        winkel.moveTo(2, 7);
        winkel.lineTo(25, 7);
        winkel.lineTo(25, 30);
        p.setPen(Stift(Umriss, 2.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(winkel);
    };
    // 22 resize: a small picture growing into a larger frame.
    s[22] = [](QPainter& p) {
        QPen rahmen = Stift(Grau, 1.4);
        rahmen.setDashPattern({2, 1.5});
        p.setPen(rahmen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2, 2, 28, 28));
        Foto(p, QRectF(2, 14, 16, 16));
        Pfeil(p, QPointF(17, 15), QPointF(29, 3), Blau, 3, 7);
    };
    // 23 rotate by any angle: a tilted picture and an arc.
    s[23] = [](QPainter& p) {
        p.save();
        p.translate(16, 17);
        p.rotate(-20);
        Foto(p, QRectF(-9, -7, 18, 14));
        p.restore();
        Bogenpfeil(p, 16, 16, 13.5, 200, -110, Blau);
    };
    // 24 rotate by -90 degrees (anticlockwise).
    s[24] = [](QPainter& p) {
        Foto(p, QRectF(10, 12, 14, 14));
        Bogenpfeil(p, 16, 17, 11.5, -10, 200, Gruen);
    };
    // 25 rotate by +90 degrees (clockwise).
    s[25] = [](QPainter& p) {
        Foto(p, QRectF(8, 12, 14, 14));
        Bogenpfeil(p, 16, 17, 11.5, 190, -200, Gruen);
    };
    // 26 rotate by 180 degrees: a turning arrow around an upside-down picture.
    s[26] = [](QPainter& p) {
        p.save();
        p.translate(16, 17);
        p.rotate(180);
        Foto(p, QRectF(-7, -7, 14, 14));
        p.restore();
        Bogenpfeil(p, 16, 17, 12.5, -90, 270, Orange);
    };
    // 27 mirror horizontally.
    s[27] = [](QPainter& p) { Spiegeln(p, true); };
    // 28 mirror vertically.
    s[28] = [](QPainter& p) { Spiegeln(p, false); };
    // 29 lossless JPEG rotation: a picture file with a turning arrow.
    s[29] = [](QPainter& p) {
        Blatt(p, 3, 2, 20, 26, QColor(255, 244, 220));
        Foto(p, QRectF(6, 8, 13, 10));
        Bogenpfeil(p, 22, 22, 7, 180, -270, Orange);
    };
    // 30 go to: a list with a pointer at one row.
    s[30] = [](QPainter& p) {
        Blatt(p, 8, 2, 22, 28);
        p.setPen(Stift(Grau, 1.6));
        for (qreal y : {8.0, 12.5, 21.5, 26.0})
            p.drawLine(QPointF(12, y), QPointF(26, y));
        Flaeche(p, Rechteck(11, 14.5, 16, 4.5, 0.5), Hellblau, Blau, 1);
        Pfeil(p, QPointF(1, 17), QPointF(12, 17), Rot, 3, 6.5);
    };
    // 31 zoom: a magnifier with a plus.
    s[31] = [](QPainter& p) {
        Lupe(p, 13, 13, 9.5);
        p.setPen(Stift(Blau, 2.8));
        p.drawLine(QPointF(8.5, 13), QPointF(17.5, 13));
        p.drawLine(QPointF(13, 8.5), QPointF(13, 17.5));
    };
    // 32 full screen: a screen with arrows to its corners.
    s[32] = [](QPainter& p) {
        Flaeche(p, Rechteck(2, 4, 28, 20, 2), Umriss);
        p.setPen(Qt::NoPen);
        p.setBrush(Hellblau);
        p.drawRect(QRectF(4.5, 6.5, 23, 15));
        Flaeche(p, Rechteck(11, 25, 10, 4, 1), Grau);
        for (const auto& [a, b] : {std::pair{QPointF(12, 11), QPointF(6.5, 8)}, {QPointF(20, 11), QPointF(25.5, 8)},
                                  {QPointF(12, 17), QPointF(6.5, 20)}, {QPointF(20, 17), QPointF(25.5, 20)}})
            Pfeil(p, a, b, Blau, 2, 4.5);
    };
    // 33 slide show: a play button on a screen.
    s[33] = [](QPainter& p) {
        Flaeche(p, Rechteck(2, 4, 28, 20, 2), Umriss);
        Foto(p, QRectF(4.5, 6.5, 23, 15));
        const QPainterPath spiel = Vieleck({{12, 8}, {23, 14}, {12, 20}});
        Flaeche(p, spiel, Gruen, Qt::white, 1.4);
        Flaeche(p, Rechteck(11, 25, 10, 4, 1), Grau);
    };
    // 34 next image.
    s[34] = [](QPainter& p) { Pfeil(p, QPointF(3, 16), QPointF(29, 16), Gruen, 8, 14); };
    // 35 previous image.
    s[35] = [](QPainter& p) { Pfeil(p, QPointF(29, 16), QPointF(3, 16), Gruen, 8, 14); };
    // 36 next page: a page with an arrow down.
    s[36] = [](QPainter& p) {
        Blatt(p, 2, 2, 18, 24);
        Pfeil(p, QPointF(23, 6), QPointF(23, 30), Blau, 5, 10);
    };
    // 37 previous page: a page with an arrow up.
    s[37] = [](QPainter& p) {
        Blatt(p, 2, 6, 18, 24);
        Pfeil(p, QPointF(23, 28), QPointF(23, 2), Blau, 5, 10);
    };
    // 38 thumbnails: a grid of small pictures.
    s[38] = [](QPainter& p) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                Foto(p, QRectF(2 + x * 15, 3 + y * 14, 13, 12));
    };
    // 39 colour correction: red, green and blue discs.
    s[39] = [](QPainter& p) {
        p.setPen(Stift(Umriss, 1.2));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QColor r(230, 40, 40, 210), g(40, 190, 60, 210), b(40, 90, 230, 210);
        p.setBrush(r);
        p.drawEllipse(QPointF(11, 11), 9, 9);
        p.setBrush(g);
        p.drawEllipse(QPointF(21, 11), 9, 9);
        p.setBrush(b);
        p.drawEllipse(QPointF(16, 21), 9, 9);
    };
    // 40 help: a question mark.
    s[40] = [](QPainter& p) {
        Kreis(p, 16, 16, 13.5, Blau);
        Buchstabe(p, QStringLiteral("?"), QRectF(2, 2, 28, 28), Qt::white, 21);
    };
    // 41 show all: a stack of pictures.
    s[41] = [](QPainter& p) {
        Flaeche(p, Rechteck(12, 2, 18, 14, 1), Hellgrau);
        Flaeche(p, Rechteck(7, 8, 18, 14, 1), Papier);
        Foto(p, QRectF(2, 14, 18, 14));
    };
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "Aufruf: zelvano_symbole <Zielordner>\n";
        return 2;
    }
    const QDir ziel(QString::fromLocal8Bit(argv[1]));
    const std::vector<Zeichner> symbole = Symbole();
    QString liste = QStringLiteral("<RCC>\n  <qresource prefix=\"/symbole\">\n");
    for (int groesse : {20, 25, 30, 35, 40}) {
        const QString ordner = QString::number(groesse);
        if (!ziel.mkpath(ordner))
            return 1;
        for (size_t i = 0; i < symbole.size(); ++i) {
            QImage bild(groesse, groesse, QImage::Format_ARGB32_Premultiplied);
            bild.fill(Qt::transparent);
            QPainter p(&bild);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(groesse / 32.0, groesse / 32.0);
            symbole[i](p);
            p.end();
            const QString name = QStringLiteral("%1/%2.png").arg(ordner).arg(int(i), 2, 10, QLatin1Char('0'));
            if (!bild.convertToFormat(QImage::Format_ARGB32).save(ziel.filePath(name), "PNG"))
                return 1;
            liste += QStringLiteral("    <file>%1</file>\n").arg(name);
        }
    }
    liste += QStringLiteral("  </qresource>\n</RCC>\n");
    QFile qrc(ziel.filePath(QStringLiteral("symbole.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    qrc.write(liste.toUtf8());
    return 0;
}
