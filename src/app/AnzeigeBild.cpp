#include "AnzeigeBild.h"
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

// The pixel a (possibly fractional) mouse position lies in.
static QPoint Pixel(const QPointF& ort)
{
    return QPoint(int(std::floor(ort.x())), int(std::floor(ort.y())));
}

TAnzeigeBild::TAnzeigeBild(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The interaction modes follow the mouse without a button held.
    setMouseTracking(true);
}

void TAnzeigeBild::SetBild(const QImage& bild)
{
    m_bild = bild;
    update();
}

void TAnzeigeBild::paintEvent(QPaintEvent* ereignis)
{
    QPainter maler(this);
    const QRect ziel = ereignis->rect() & rect();
    if (ziel.isEmpty())
        return;
    if (m_bild.isNull()) {
        maler.fillRect(ziel, palette().window());
        return;
    }
    // The picture may carry a device-pixel ratio: its pixels are then screen
    // pixels, and the drawing below maps them to the logical size.
    const int bw = m_bild.width(), bh = m_bild.height();
    if (bw == width() && bh == height() && m_bild.devicePixelRatio() == 1.0) {
        maler.drawImage(ziel.topLeft(), m_bild, ziel);
        return;
    }
    // Only the source pixels that fall into the exposed rectangle are drawn,
    // placed where the whole stretched picture would put them.
    const double sx = double(bw) / width(), sy = double(bh) / height();
    const int x0 = std::clamp(int(std::floor(ziel.left() * sx)), 0, bw - 1);
    const int y0 = std::clamp(int(std::floor(ziel.top() * sy)), 0, bh - 1);
    const int x1 = std::clamp(int(std::ceil((ziel.right() + 1) * sx)), x0 + 1, bw);
    const int y1 = std::clamp(int(std::ceil((ziel.bottom() + 1) * sy)), y0 + 1, bh);
    const QRectF flaeche(x0 / sx, y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    maler.setClipRect(ziel);
    maler.drawImage(flaeche, m_bild, QRectF(x0, y0, x1 - x0, y1 - y0));
}

void TAnzeigeBild::mouseDoubleClickEvent(QMouseEvent* ereignis)
{
    if (ereignis->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(ereignis);
        return;
    }
    emit DoppelKlick();
    ereignis->accept();
}

void TAnzeigeBild::mousePressEvent(QMouseEvent* ereignis)
{
    const QPoint p = Pixel(ereignis->position());
    emit MausGedrueckt(ereignis->button(), ereignis->buttons(), ereignis->modifiers(), p.x(), p.y());
    ereignis->accept();
}

void TAnzeigeBild::mouseMoveEvent(QMouseEvent* ereignis)
{
    const QPoint p = Pixel(ereignis->position());
    emit MausBewegt(ereignis->buttons(), ereignis->modifiers(), p.x(), p.y());
    ereignis->accept();
}

void TAnzeigeBild::mouseReleaseEvent(QMouseEvent* ereignis)
{
    const QPoint p = Pixel(ereignis->position());
    emit MausLosgelassen(ereignis->button(), ereignis->buttons(), ereignis->modifiers(), p.x(), p.y());
    ereignis->accept();
}
