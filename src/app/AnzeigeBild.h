#pragma once
#include <QWidget>
#include <QImage>

// The display copy of the working image: a widget that shows its picture
// stretched to its own size (nearest pixel, the quick stretch) and paints only
// the part that is exposed, since at high zoom it may be tens of thousands
// of pixels wide.
class TAnzeigeBild : public QWidget {
    Q_OBJECT
public:
    explicit TAnzeigeBild(QWidget* parent = nullptr);

    void SetBild(const QImage& bild);
    const QImage& Bild() const { return m_bild; }
    bool HatBild() const { return !m_bild.isNull(); }
    // The picture itself, for the figures the interaction modes invert on
    // it; the caller repaints with update().
    QImage& ZeichenBild() { return m_bild; }

signals:
    void DoppelKlick();
    // Mouse events in the display's own whole-pixel coordinates. knoepfe are
    // the buttons held after the event, umschalt the modifier keys.
    void MausGedrueckt(Qt::MouseButton knopf, Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int x,
                       int y);
    void MausBewegt(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int x, int y);
    void MausLosgelassen(Qt::MouseButton knopf, Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int x,
                         int y);

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void mouseDoubleClickEvent(QMouseEvent* ereignis) override;
    void mousePressEvent(QMouseEvent* ereignis) override;
    void mouseMoveEvent(QMouseEvent* ereignis) override;
    void mouseReleaseEvent(QMouseEvent* ereignis) override;

private:
    QImage m_bild;
};
