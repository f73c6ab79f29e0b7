#pragma once
#include <QDialog>
#include <QSize>
#include "pixelops/Bitmap.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class TNumedit;
class TPngBitBtn;

// The preview size for a w x h image: fitted into 300 x 300 by its aspect
// ratio (taken as a single-precision float), each side at least 2.
QSize DrehVorschauGroesse(int w, int h);

// Turns the working image by any angle from -90 to 90 degrees, with a small
// preview, an optional guide grid over it and a hand-off to the main
// window's angle line.
class TfrmDrehen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDrehen(QWidget* parent = nullptr);

    QLabel* imgVorschau;
    QFrame* shpGitterrahmen;
    QFrame* shpGitter[10];
    QGroupBox* gbBox1;
    QSlider* trbWinkel;
    TPngBitBtn* PngBitBtnDrehLinks;
    TPngBitBtn* PngBitBtnDrehRechts;
    QLabel* lblWinkel;
    TNumedit* nedWinkel;
    QLabel* lblGrad;
    QPushButton* btnWinkelmessen;
    QCheckBox* cbGitter;
    QCheckBox* cbAnpassen;
    QPushButton* btnDrehen;
    QPushButton* btnAbbrechen;

    // The working image reduced to the preview size; empty while closed.
    TBitmap DrehVorschauBild;
    bool DrehSperre = false;

    // Turns the preview by DrehWinkel.
    void DreheVorschau();

public slots:
    void FormShow();
    void FormActivate();
    void FormClose();
    void trbWinkelChange();
    void nedWinkelChange();
    void PngBitBtnDrehLinksClick();
    void PngBitBtnDrehRechtsClick();
    void cbGitterClick();
    void btnWinkelmessenClick();
    void btnDrehenClick();

protected:
    void showEvent(QShowEvent* ereignis) override;
    void done(int ergebnis) override;

private:
    void FormCreate();
    void FeldBegrenzen();
    void Schritt(int richtung);
    bool m_aktivierungAussteht = false;
};

extern TfrmDrehen* frmDrehen;
