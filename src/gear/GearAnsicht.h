#pragma once
#include <QScrollArea>
#include <QImage>

class TGear;
class TBitmap;

// A visible imaging control: a TGear whose picture is shown in a scrolling
// pane, with the viewer members of the control (zoom level in per cent,
// scroll bars, hand panning, fit method, background colour, scroll
// positions and the scroll and mouse-move events).
class TGearAnsicht : public QScrollArea {
    Q_OBJECT
public:
    explicit TGearAnsicht(QWidget* parent = nullptr);
    ~TGearAnsicht() override;

    // The control behind the view; after changing its picture directly call
    // Neuzeichnen so the view shows it.
    TGear& Gear() { return *m_gear; }
    void LoadImage(const QString& pfad);
    void SetPicture(const TBitmap& bmp);
    void DelImage();
    void Neuzeichnen();

    // Per cent of the image's own size; used while FitMethod is 3. Other fit
    // methods fit the picture into the pane.
    void SetZoomLevel(int prozent);
    int ZoomLevel() const { return m_zoom; }
    void SetFitMethod(int methode);
    int FitMethod() const { return m_fitMethod; }
    void SetScrollBars(bool an);
    bool ScrollBars() const { return m_scrollBars; }
    void SetHandPanning(bool an) { m_handPanning = an; }
    bool HandPanning() const { return m_handPanning; }
    // Toolkit colour value, blue in the highest byte.
    void SetBackColor(int farbwert);
    int BackColor() const { return m_backColor; }
    // Off: scrolling, by hand or by ScrollPositionSet, raises no OnScroll.
    void SetScrollEvent(bool an) { m_scrollEvent = an; }
    bool ScrollEvent() const { return m_scrollEvent; }
    // While off, zoom changes are not painted; on again repaints.
    void SetAutoRedraw(bool an);
    bool AutoRedraw() const { return m_autoRedraw; }
    // bar 0 horizontal, 1 vertical; the position in pane pixels. art is the
    // control's kind of move (4 = to an absolute position), kept for callers.
    int ScrollPositionGet(int bar) const;
    void ScrollPositionSet(int bar, int art, int position);

    // The shown size of the picture in pane pixels.
    QSize AnzeigeGroesse() const;
    const QImage& Anzeigebild() const { return m_bild; }

signals:
    void OnScroll();
    void OnMouseMove(Qt::MouseButtons knoepfe, int x, int y);

protected:
    void resizeEvent(QResizeEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    class TFlaeche;
    void Auslegen();
    TGear* m_gear;
    TFlaeche* m_flaeche;
    QImage m_bild;
    int m_zoom = 100;
    int m_fitMethod = 3;
    bool m_scrollBars = true;
    bool m_handPanning = false;
    int m_backColor = 0xFFFFFF;
    bool m_scrollEvent = false;
    bool m_autoRedraw = true;
    QPoint m_panStart;
    QPoint m_panWerte;
    bool m_pannt = false;
};
