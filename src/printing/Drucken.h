#pragma once
#include "DruckFenster.h"
#include "GlobalDruck.h"

class QFrame;
class QLabel;
class QTabWidget;
class QToolButton;
class TAnzeigeBild;
class TNumedit;

// The print window: prints the main window's working bitmap at a chosen
// scale or fitted, at a millimetre position or centred on the paper, with an
// optional page title and captions, in portrait or landscape, in copies, and
// for a multi-page file the current page or every page; with a live preview
// of the sheet.
class TfrmDrucken : public TDruckFenster {
    Q_OBJECT
public:
    explicit TfrmDrucken(QWidget* parent = nullptr);
    ~TfrmDrucken() override;

    void SetzeDruckerWerte();
    void SetzeDruckvorschau();
    void DruckZentrieren();
    void DruckEinpassen();

    // Values of the current printer and image, recomputed by the routines above.
    TDruckerWerte DruckerWerte;
    double BildDpi = 0;
    double DruckbereichBreiteMm = 0, DruckbereichHoeheMm = 0;
    double DruckBreiteMm = 0, DruckHoeheMm = 0;
    double VorschauMassstab = 0;

    // Controls
    QTabWidget* pcDrucken = nullptr;
    QGroupBox* gbDruckgroesse = nullptr;
    QLabel* lblDruckbreite = nullptr;
    QLabel* lblDruckhoehe = nullptr;
    QLabel* lblMassstab = nullptr;
    TNumedit* nedFaktor = nullptr;
    QToolButton* sbFaktorUp = nullptr;
    QToolButton* sbFaktorDown = nullptr;
    QCheckBox* chkEinpassen = nullptr;
    QGroupBox* gbPapier = nullptr;
    QLabel* lblPapiergroesseBez = nullptr;
    QLabel* lblPapiergroesse = nullptr;
    QLabel* lblDruckbereichBez = nullptr;
    QLabel* lblDruckbereich = nullptr;
    QLabel* lblUnberuck = nullptr;
    QLabel* lblUnberuckL = nullptr;
    QLabel* lblUnberuckR = nullptr;
    QLabel* lblUnberuckO = nullptr;
    QLabel* lblUnberuckU = nullptr;
    QLabel* lblRLinks = nullptr;
    QLabel* lblRRechts = nullptr;
    QLabel* lblROben = nullptr;
    QLabel* lblRUnten = nullptr;
    QGroupBox* gbDruckposition = nullptr;
    QLabel* lblLinks = nullptr;
    QLabel* lblOben = nullptr;
    TNumedit* nedLinks = nullptr;
    TNumedit* nedOben = nullptr;
    QCheckBox* chkZentrieren = nullptr;
    QGroupBox* gbOrientierung = nullptr;
    QRadioButton* rbHochformat = nullptr;
    QRadioButton* rbQuerformat = nullptr;
    QGroupBox* gbKopien = nullptr;
    QLabel* lblAnzahl = nullptr;
    TNumedit* nedKopien = nullptr;
    QToolButton* udKopienUp = nullptr;
    QToolButton* udKopienDown = nullptr;
    QGroupBox* gbMehrseitig = nullptr;
    QCheckBox* chkAlleSeiten = nullptr;
    QLabel* lblDruckvorschau = nullptr;
    QFrame* shpDV = nullptr;
    QFrame* bvlPapier = nullptr;
    QFrame* pnlPapier = nullptr;
    QFrame* shpPapier = nullptr;
    TAnzeigeBild* Vorschau = nullptr;
    QLabel* lblVTitel = nullptr;
    QLabel* lblVBildname = nullptr;
    QLabel* lblVBildgroesse = nullptr;
    QPushButton* btnDrucken = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    QPushButton* btnDrucker = nullptr;

    // Event handlers
    void FormShow();
    void FormClose();
    void btnDruckenClick();
    void btnDruckerClick();
    void sbFaktorUpClick();
    void sbFaktorDownClick();
    void nedFaktorChange();
    void nedLinksChange();
    void nedObenChange();
    void edSeitentitelChange();
    void btnSeitenSchriftClick();
    void btnBildSchriftClick();
    void chkEinpassenClick();
    void chkZentrierenClick();
    void cbBildnameDruckenClick();
    void cbBildgroesseDruckenClick();
    void rbZentriertClick();
    void rbLinksbuendigClick();
    void rbRechtsbuendigClick();
    void rbHochformatClick();
    void rbQuerformatClick();

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void FormCreate();
    void DruckgroesseBerechnen();
    void NachDruckerwechsel();
    // Title, picture and captions of one sheet into the open job.
    void SeiteDrucken(const QString& titel);
    QString BildName() const;
    // The preview's reduced picture, kept while neither the image nor the size changes.
    TBitmap m_vorschauBild;
    qint64 m_vorschauQuelle = 0;
};

extern TfrmDrucken* frmDrucken;
