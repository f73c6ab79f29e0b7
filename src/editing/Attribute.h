#pragma once
#include <QDialog>
#include "pixelops/Bitmap.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QWidget;

// The window "Bildattribute": sharpness on one page, brightness, contrast and
// density on the other, each slider previewed live on the main window's
// display copy; "Ok" makes the preview the working bitmap with one undo step.
class TfrmAttribute : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAttribute(QWidget* parent = nullptr);
    ~TfrmAttribute() override;

    void FormShow();
    void FormCloseQuery();
    void FormClose();
    void tsSchaerfeShow();
    void tsHellKonShow();
    void rbtSchaerfenClick();
    void rbtWeichzeichnenClick();
    void trbScharfReglerChange();
    void trbHelligkeitChange();
    void trbKontrastChange();
    void trbDichteChange();
    void btnSharfOkClick();
    void btnHellKonOkClick();
    void btnSharfAbbrechenClick();
    void btnHellKonAbbrechenClick();
    // Computes the preview for the settings acted on and shows it.
    void SetVorschau();

    QTabWidget* pcAttribute = nullptr;
    QWidget* tsSchaerfe = nullptr;
    QRadioButton* rbtSchaerfen = nullptr;
    QRadioButton* rbtWeichzeichnen = nullptr;
    QSlider* trbScharfRegler = nullptr;
    QLabel* lblScharfWert = nullptr;
    QPushButton* btnSharfOk = nullptr;
    QPushButton* btnSharfAbbrechen = nullptr;
    QWidget* tsHellKon = nullptr;
    QGroupBox* grbHelligkeit = nullptr;
    QGroupBox* grbKontrast = nullptr;
    QGroupBox* grbDichte = nullptr;
    QSlider* trbHelligkeit = nullptr;
    QSlider* trbKontrast = nullptr;
    QSlider* trbDichte = nullptr;
    QLabel* lblHelligkeit = nullptr;
    QLabel* lblKontrast = nullptr;
    QLabel* lblDichte = nullptr;
    QLabel* lblHelligkeitMinus = nullptr;
    QLabel* lblKontrastMinus = nullptr;
    QLabel* lblDichteMinus = nullptr;
    QLabel* lblHelligkeitPlus = nullptr;
    QLabel* lblKontrastPlus = nullptr;
    QLabel* lblDichtePlus = nullptr;
    QPushButton* btnHellKonOk = nullptr;
    QPushButton* btnHellKonAbbrechen = nullptr;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    // The settings a picture was computed for.
    struct TEinstellung {
        bool schaerfeSeite = true;
        bool schaerfen = true;
        int wert[4] = {};   // sharpness, brightness, contrast, density
        bool operator==(const TEinstellung&) const = default;
    };
    void FormCreate();
    void ReglerAenderung(QSlider* regler, int index);
    TEinstellung Aktuell() const;
    TBitmap Berechnen(const TEinstellung& e) const;
    void ReglerFreigeben();

    // The values the slider handlers last acted on (what the labels show).
    int m_wert[4] = {};
    TEinstellung m_vorschauFuer;
    bool m_vorschauGueltig = false;
};

extern TfrmAttribute* frmAttribute;

// The last preview; empty outside an opening.
extern TBitmap AttributVorschau;
// Set while the sliders are reset and while a preview is computed.
extern bool AttributSperre;
// The slider position of the last preview, one value for all four sliders,
// kept from one opening to the next.
extern int AttributLetztePosition;
