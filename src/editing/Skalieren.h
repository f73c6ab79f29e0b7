#pragma once
#include <QDialog>
#include "widgets/Glaettungsmethode.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class TNumedit;

// The window "Skalieren": a new size in pixels, per cent or with two track
// bars (kept in step, optionally in proportion), a smoothing method and an
// optional sharpening afterwards; "Ok" resizes the working bitmap in place.
class TfrmSkalieren : public QDialog, public TGlaettungsmethode {
    Q_OBJECT
public:
    explicit TfrmSkalieren(QWidget* parent = nullptr);
    ~TfrmSkalieren() override;

    void FormShow();
    void btnOkClick();
    void trbBreiteChange();
    void trbHoeheChange();
    void nedBreitePixelChange();
    void nedHoehePixelChange();
    void nedBreiteProzentChange();
    void nedHoeheProzentChange();

    // The filter number of BitmapSkalieren for the checked method (Lanczos
    // when none is), -1 for "Quick"; the post-sharpening amount, 0 for none.
    int FilterNummer() const;
    int Nachschaerfung() const;

    QGroupBox* grbSkalBildgroesse = nullptr;
    QLabel* lblBreite = nullptr;
    QLabel* lblHoehe = nullptr;
    TNumedit* nedBreitePixel = nullptr;
    TNumedit* nedHoehePixel = nullptr;
    TNumedit* nedBreiteProzent = nullptr;
    TNumedit* nedHoeheProzent = nullptr;
    QLabel* lblProzentB = nullptr;
    QLabel* lblProzentH = nullptr;
    QSlider* trbBreite = nullptr;
    QSlider* trbHoehe = nullptr;
    QCheckBox* cbSVBeibehalten = nullptr;
    QGroupBox* grbSkalGlaettungsmethode = nullptr;
    QGroupBox* grbSkalNachschaerfen = nullptr;
    QRadioButton* rbSkalNachschaerfenOhne = nullptr;
    QRadioButton* rbSkalNachschaerfenLeicht = nullptr;
    QRadioButton* rbSkalNachschaerfenMittel = nullptr;
    QRadioButton* rbSkalNachschaerfenStark = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnAbbrechen = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void FormCreate();
    // The dependent fields of one side, from its pixel value.
    void BreiteFolgen(long double pixel, bool regler);
    void HoeheFolgen(long double pixel, bool regler);
    void NachBreite(long double pixel);
    void NachHoehe(long double pixel);
};

extern TfrmSkalieren* frmSkalieren;

// The image's size when the window opened, and width / height.
extern int SkalierenBreite;
extern int SkalierenHoehe;
extern float SkalierenVerhaeltnis;

// Whether a new 24-bit image of w x h pixels stays within the 340 MB limit
// (363,000,000 bytes).
bool SkalierenGroesseErlaubt(int w, int h);
