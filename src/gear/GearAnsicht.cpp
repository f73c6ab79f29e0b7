#include "GearAnsicht.h"
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include "Gear.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Farbwert.h"

// The picture at its shown size; only the exposed part is painted.
class TGearAnsicht::TFlaeche : public QWidget {
public:
    explicit TFlaeche(TGearAnsicht* ansicht) : QWidget(ansicht), m_ansicht(ansicht) {}

protected:
    void paintEvent(QPaintEvent* ereignis) override
    {
        const QImage& bild = m_ansicht->m_bild;
        if (bild.isNull() || width() < 1 || height() < 1)
            return;
        QPainter maler(this);
        maler.setClipRegion(ereignis->region());
        const QRectF ziel = ereignis->rect();
        const double sx = double(bild.width()) / width(), sy = double(bild.height()) / height();
        const QRectF quelle(ziel.x() * sx, ziel.y() * sy, ziel.width() * sx, ziel.height() * sy);
        maler.drawImage(ziel, bild, quelle);
    }

private:
    TGearAnsicht* m_ansicht;
};

TGearAnsicht::TGearAnsicht(QWidget* parent)
    : QScrollArea(parent), m_gear(new TGear(this)), m_flaeche(new TFlaeche(this))
{
    setWidget(m_flaeche);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    SetBackColor(m_backColor);
    viewport()->setMouseTracking(true);
    m_flaeche->setMouseTracking(true);
    m_flaeche->installEventFilter(this);
    for (QScrollBar* leiste : {horizontalScrollBar(), verticalScrollBar()})
        connect(leiste, &QScrollBar::valueChanged, this, [this] {
            if (m_scrollEvent)
                emit OnScroll();
        });
}

TGearAnsicht::~TGearAnsicht() = default;

void TGearAnsicht::LoadImage(const QString& pfad)
{
    m_gear->LoadImage(pfad);
    Neuzeichnen();
}

void TGearAnsicht::SetPicture(const TBitmap& bmp)
{
    m_gear->SetPicture(bmp);
    Neuzeichnen();
}

void TGearAnsicht::DelImage()
{
    m_gear->DelImage();
    Neuzeichnen();
}

void TGearAnsicht::Neuzeichnen()
{
    m_bild = m_gear->ImageWidth() > 0 ? m_gear->Picture() : QImage();
    Auslegen();
}

void TGearAnsicht::SetZoomLevel(int prozent)
{
    m_zoom = std::max(1, prozent);
    if (m_autoRedraw)
        Auslegen();
}

void TGearAnsicht::SetFitMethod(int methode)
{
    m_fitMethod = methode;
    Auslegen();
}

void TGearAnsicht::SetScrollBars(bool an)
{
    m_scrollBars = an;
    const Qt::ScrollBarPolicy art = an ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(art);
    setVerticalScrollBarPolicy(art);
}

void TGearAnsicht::SetBackColor(int farbwert)
{
    m_backColor = farbwert;
    QPalette farben = viewport()->palette();
    farben.setColor(QPalette::Window, QColor(FarbwertZuRgb(farbwert)));
    viewport()->setPalette(farben);
    viewport()->setAutoFillBackground(true);
}

void TGearAnsicht::SetAutoRedraw(bool an)
{
    m_autoRedraw = an;
    if (an) {
        Auslegen();
        viewport()->update();
    }
}

int TGearAnsicht::ScrollPositionGet(int bar) const
{
    return bar == 0 ? horizontalScrollBar()->value() : verticalScrollBar()->value();
}

void TGearAnsicht::ScrollPositionSet(int bar, int /*art*/, int position)
{
    (bar == 0 ? horizontalScrollBar() : verticalScrollBar())->setValue(position);
}

QSize TGearAnsicht::AnzeigeGroesse() const
{
    return m_flaeche->size();
}

void TGearAnsicht::Auslegen()
{
    if (m_bild.isNull()) {
        m_flaeche->resize(0, 0);
        return;
    }
    QSize groesse;
    if (m_fitMethod == 3) {
        groesse = QSize(int(qint64(m_bild.width()) * m_zoom / 100), int(qint64(m_bild.height()) * m_zoom / 100));
    } else {
        groesse = m_bild.size().scaled(viewport()->size(), Qt::KeepAspectRatio);
    }
    m_flaeche->resize(groesse.expandedTo(QSize(1, 1)));
    m_flaeche->update();
}

void TGearAnsicht::resizeEvent(QResizeEvent* ereignis)
{
    QScrollArea::resizeEvent(ereignis);
    if (m_fitMethod != 3)
        Auslegen();
}

bool TGearAnsicht::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == m_flaeche) {
        // Only mouse events are read as such; paint, resize and the others pass.
        switch (ereignis->type()) {
        case QEvent::MouseButtonPress: {
            const auto* maus = static_cast<QMouseEvent*>(ereignis);
            if (m_handPanning && maus->button() == Qt::LeftButton) {
                m_pannt = true;
                m_panStart = maus->globalPosition().toPoint();
                m_panWerte = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
            }
            break;
        }
        case QEvent::MouseMove: {
            const auto* maus = static_cast<QMouseEvent*>(ereignis);
            if (m_pannt) {
                const QPoint d = maus->globalPosition().toPoint() - m_panStart;
                horizontalScrollBar()->setValue(m_panWerte.x() - d.x());
                verticalScrollBar()->setValue(m_panWerte.y() - d.y());
            }
            const QPoint p = maus->position().toPoint();
            emit OnMouseMove(maus->buttons(), p.x(), p.y());
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton)
                m_pannt = false;
            break;
        default:
            break;
        }
    }
    return QScrollArea::eventFilter(objekt, ereignis);
}
