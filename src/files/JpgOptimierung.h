#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class TGearAnsicht;

// "0,0 %" style rate of a JPEG size against the uncompressed size.
QString JpgRateText(qint64 jpegGroesse, qint64 unkomprimiert);

// The JPEG quality comparison: the working image on the left and, on the
// right, what comes back from a JPEG round trip with the current options,
// with their sizes, a common zoom and scroll positions kept in step. The
// options moved here are the program's JPEG options at once.
class TfrmJpgOptimierung : public QDialog {
    Q_OBJECT
public:
    explicit TfrmJpgOptimierung(QWidget* parent = nullptr);
    ~TfrmJpgOptimierung() override;

    void FormShow();
    void FormClose();
    void btnOkClick();
    void trbJpgKompChange();
    void trbJpgAuflChange();
    void btnVorschauClick();
    void tbZoomChange();
    void GearQualiAScroll();
    void GearQualiBScroll();
    void GearQualiAMouseMove();
    void GearQualiBMouseMove();

    // Uncompressed size of the working image, computed when the window shows.
    qint64 Unkomprimiert = 1;

    TGearAnsicht* GearQualiA = nullptr;
    TGearAnsicht* GearQualiB = nullptr;
    QLabel* lblOriginal = nullptr;
    QLabel* lblOriginalGroesse = nullptr;
    QLabel* lblVorschau = nullptr;
    QLabel* lblVorschauGroesse = nullptr;
    QSlider* trbJpgKomp = nullptr;
    QLabel* lblJpgKomp = nullptr;
    QLabel* lblJpgKompWert = nullptr;
    QSlider* trbJpgAufl = nullptr;
    QLabel* lblJpgAufl = nullptr;
    QLabel* lblJpgAuflWert = nullptr;
    QSlider* tbZoom = nullptr;
    QLabel* lblZoom = nullptr;
    QPushButton* btnVorschau = nullptr;
    QPushButton* btnOk = nullptr;
    QFrame* bevLinie2 = nullptr;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;

private:
    void FormCreate();
    void Ansichtsvorgabe(TGearAnsicht* gear);
    void Rundreise();
    void VorschauGroesseSetzen();
    void Angleichen(TGearAnsicht* quelle, TGearAnsicht* partner);
    void Auslegen();
    QWidget* m_bildflaeche = nullptr;
    bool m_zeigen = false;
};

extern TfrmJpgOptimierung* frmJpgOptimierung;
