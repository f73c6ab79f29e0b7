#pragma once
#include <QWidget>
#include <QImage>

// The display copy of the working image: a widget that shows its picture
// stretched to its own size and paints only the part that is visible.
class TAnzeigeBild : public QWidget {
    Q_OBJECT
public:
    explicit TAnzeigeBild(QWidget* parent = nullptr);

    void SetBild(const QImage& bild);
    const QImage& Bild() const { return m_bild; }
    bool HatBild() const { return !m_bild.isNull(); }

signals:
    void DoppelKlick();

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void mouseDoubleClickEvent(QMouseEvent* ereignis) override;

private:
    QImage m_bild;
};
