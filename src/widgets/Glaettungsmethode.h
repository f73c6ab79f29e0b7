#pragma once

class QRadioButton;
class QWidget;

// The smoothing method of the resize and target-size windows: eight radio
// buttons, Lanczos checked at first. A window holds them as its own controls
// by deriving from this beside its dialog class.
struct TGlaettungsmethode {
    QRadioButton* rbLanczos = nullptr;
    QRadioButton* rbMitchell = nullptr;
    QRadioButton* rbSpline = nullptr;
    QRadioButton* rbBell = nullptr;
    QRadioButton* rbHermite = nullptr;
    QRadioButton* rbTriangle = nullptr;
    QRadioButton* rbBox = nullptr;
    QRadioButton* rbQuick = nullptr;

    // Creates the buttons in the order above as children of eltern.
    void GlaettungAnlegen(QWidget* eltern);
    // The buttons in that order.
    QRadioButton* GlaettungsKnopf(int i) const;
    // The filter number of BitmapSkalieren for the checked method, Lanczos
    // when none of the six others is checked (also for "Quick").
    int GlaettungsFilter() const;
};

// The sharpening amount of the checked one of three buttons (8, 18, 36), 0
// for none (the "Ohne" button).
int NachschaerfMenge(const QRadioButton* leicht, const QRadioButton* mittel, const QRadioButton* stark);
