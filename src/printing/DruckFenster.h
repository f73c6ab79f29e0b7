#pragma once
#include <QDialog>
#include "pixelops/Bitmap.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct TDruckSchrift;

// What the two print windows (the single image and the contact sheets) have
// in common: the page-title group (text, alignment, font button) and the
// caption group (file name, pixel size, font button), printing the title and
// the captions as those groups say, and the printer set-up and font dialogs.
// Each window keeps its own settings and handlers.
class TDruckFenster : public QDialog {
    Q_OBJECT
protected:
    using QDialog::QDialog;

    // Creates both groups on eltern, "Zentriert" checked. The font buttons
    // stand beside the alignment and the check boxes (knoepfeDaneben) or
    // under the alignment and beside the size box.
    void BeschriftungAnlegen(QWidget* eltern, bool knoepfeDaneben);
    // The controls from a window's settings, title position 1 centred,
    // 2 left, 3 right (any other value centred).
    void BeschriftungZeigen(bool bildname, bool bildgroesse, int titelPosition);
    // The title, when it holds more than blanks and control characters, at
    // 10 mm from the top of the paper: left-aligned from x = links, centred
    // on x = mitte or right-aligned to x = rechts.
    void TitelDrucken(const TDruckSchrift& schrift, const QString& titel, double links, double mitte,
                      double rechts) const;
    // The checked captions centred on x = mitte: the file name at y = oben,
    // the pixel size of bild there too or one caption line lower.
    void BildBeschriftungDrucken(const TDruckSchrift& schrift, const QString& name, const TBitmap& bild, double mitte,
                                 double oben) const;
    // The printer set-up dialog; its result does not count.
    void DruckerEinrichten();
    // The font dialog, started with the font; on OK the font takes its choice.
    void SchriftWaehlen(TDruckSchrift& schrift);

public:
    // The page title: its text, its alignment and its font.
    QGroupBox* gbSeitentitel = nullptr;
    QLineEdit* edSeitentitel = nullptr;
    QRadioButton* rbZentriert = nullptr;
    QRadioButton* rbLinksbuendig = nullptr;
    QRadioButton* rbRechtsbuendig = nullptr;
    QPushButton* btnSeitenSchrift = nullptr;
    // The captions under the image and their font.
    QGroupBox* gbBeschriftung = nullptr;
    QCheckBox* cbBildnameDrucken = nullptr;
    QCheckBox* cbBildgroesseDrucken = nullptr;
    QPushButton* btnBildSchrift = nullptr;
};

// A title or caption counts only with something other than blanks and
// control characters in it.
QString Getrimmt(const QString& text);
