#pragma once
#include "DruckFenster.h"

class QFrame;
class QLabel;
class TGear;

// The sheet of one layout in millimetres, fixed for a page 210 mm wide.
struct TArchivRaster {
    int Spalten = 2;
    int Zeilen = 3;
    double ZellBreite = 68;
    double ZellHoehe = 68;
    double SpaltenAbstand = 24.7;
    double ZeilenAbstand = 18;
    double Oben = 20;
};
// Layout 1 = 2 x 3, 2 = 3 x 4, 3 = 4 x 5; any other value gives 2 x 3.
TArchivRaster ArchivRaster(int bilderzahl);
// Where an image of the given width/height ratio lies in cell (spalte, zeile),
// both counted from 1: centred across the cell, standing on its bottom edge.
QRectF ArchivBildRechteck(const TArchivRaster& r, int spalte, int zeile, double verhaeltnis);

// Contact sheets: every file of the image list as a thumbnail in a grid of
// square cells, with an optional page title and captions, all in one job.
class TfrmArchivdruck : public TDruckFenster {
    Q_OBJECT
public:
    explicit TfrmArchivdruck(QWidget* parent = nullptr);
    ~TfrmArchivdruck() override;

    void SetzeDruckerWerte();
    void LadeDruckBild(const QString& pfad);

    void FormShow();
    void FormClose();
    void btnDruckenClick();
    void btnAbbrechenClick();
    void btnDruckerClick();
    void btnSeitenSchriftClick();
    void btnBildSchriftClick();
    void cbBildnameDruckenClick();
    void cbBildgroesseDruckenClick();
    void rbZentriertClick();
    void rbLinksbuendigClick();
    void rbRechtsbuendigClick();
    void rb2x3Click();
    void rb3x4Click();
    void rb4x5Click();

    // Set by the cancel button while sheets are printed; tested once per cell.
    bool ArchivAbbruch = false;
    // Width / height of the image last loaded, 1.0 when none was taken over.
    double ArchivBildVerhaeltnis = 1.0;
    // True while the print loop runs.
    bool DruckLaeuft() const { return m_druckLaeuft; }

    QGroupBox* gbBilderzahl = nullptr;
    QRadioButton* rb2x3 = nullptr;
    QRadioButton* rb3x4 = nullptr;
    QRadioButton* rb4x5 = nullptr;
    QFrame* shpFeld1 = nullptr;
    QLabel* lblBilderzahl = nullptr;
    QFrame* bevRahmen = nullptr;
    QLabel* Vorschau = nullptr;
    QPushButton* btnDrucker = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    QPushButton* btnDrucken = nullptr;
    TGear* GearA = nullptr;
    TBitmap BildA;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void FormCreate();
    bool m_druckLaeuft = false;
    bool m_zeigen = false;
};

extern TfrmArchivdruck* frmArchivdruck;
