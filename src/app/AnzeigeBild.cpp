#include "AnzeigeBild.h"
#include <QMouseEvent>
#include <QPainter>

TAnzeigeBild::TAnzeigeBild(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TAnzeigeBild::SetBild(const QImage& bild)
{
    m_bild = bild;
    update();
}

void TAnzeigeBild::paintEvent(QPaintEvent* ereignis)
{
    QPainter maler(this);
    if (m_bild.isNull())
        return;
    maler.drawImage(rect(), m_bild);
}

void TAnzeigeBild::mouseDoubleClickEvent(QMouseEvent* ereignis)
{
    emit DoppelKlick();
    ereignis->accept();
}
