#pragma once
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;
class TNumedit;

// Arrow pair bound to a numeric field: the position stays within Min..Max,
// every change writes it into the field, and the arrows step from the
// field's current value.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(TNumedit* feld, int min, int max, int schritt, QWidget* parent = nullptr);
    int Position() const { return m_position; }
    void SetPosition(int wert);
    void Klick(int richtung);

private:
    TNumedit* m_feld;
    int m_min, m_max, m_schritt;
    int m_position;
};

// The settings dialog: reads the settings globals into its controls on
// every showing and writes them back on "Ok". The gamma slider changes
// AnzeigeGamma at once, whichever way the dialog closes.
class TfrmEinstell : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEinstell(QWidget* parent = nullptr);
    // Clears the global when the window goes with its parent.
    ~TfrmEinstell() override;

    static constexpr int HilfeKontext = 14;

    void FormCreate();
    void FormShow();
    void btnOkClick();
    void btnHintergrundfarbeClick();
    void btnStartverzLadenClick();
    void btnStartverzSpeichernClick();
    void tbGammaKorrekturChange();

    // The colour the colour dialog holds (its value after the last
    // accepted choice); HgFarbe takes it on "Ok".
    QColor ColorDialog1Farbe;
    QColorDialog* ColorDialog1 = nullptr;

    QTabWidget* pcEinstellungen = nullptr;
    QCheckBox* cbBeiStartAlleLaden = nullptr;
    QCheckBox* cbBeiStartOeffnenFenster = nullptr;
    QCheckBox* cbBeiStartEinpassen = nullptr;
    QCheckBox* cbButtonLeiste1 = nullptr;
    QRadioButton* rbButtonLeiste1Links = nullptr;
    QRadioButton* rbButtonLeiste1Oben = nullptr;
    QRadioButton* rbButtonLeiste1Rechts = nullptr;
    QCheckBox* cbButtonLeiste2 = nullptr;
    QRadioButton* rbButtonLeiste2Links = nullptr;
    QRadioButton* rbButtonLeiste2Oben = nullptr;
    QRadioButton* rbButtonLeiste2Rechts = nullptr;
    QCheckBox* cbStatusleiste = nullptr;
    TNumedit* nedPauseAutoShow = nullptr;
    QCheckBox* cbAutoShowLoop = nullptr;
    QFrame* shpHintergrundFarbe = nullptr;
    QPushButton* btnHintergrundfarbe = nullptr;
    QSlider* tbGammaKorrektur = nullptr;
    QLabel* lblGammaWert = nullptr;
    QLabel* imgGamma = nullptr;
    QImage imgGammaOriginal;
    QLabel* imgGammaRasterRot = nullptr;
    QLabel* imgGammaRasterGruen = nullptr;
    QLabel* imgGammaRasterBlau = nullptr;
    QLabel* imgGammaRasterGrau = nullptr;
    QCheckBox* cbVorschauVollbild = nullptr;
    QCheckBox* cbVorschauFensterAus = nullptr;
    TNumedit* nedVorschauGroesse = nullptr;
    TUpDown* udVorschauGroesse = nullptr;
    TNumedit* nedMaxRueck = nullptr;
    TUpDown* udMaxRueck = nullptr;
    QLineEdit* editStartverzLaden = nullptr;
    QPushButton* btnStartverzLaden = nullptr;
    QLabel* lblOpen = nullptr;
    QLineEdit* editStartverzSpeichern = nullptr;
    QPushButton* btnStartverzSpeichern = nullptr;
    QLabel* lblSave = nullptr;
    QCheckBox* cbEXIFschreiben = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnAbbrechen = nullptr;

    // The gamma sample as shown (the original with the current gamma).
    QImage GammaBild() const { return m_gammaBild; }

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void SwatchSetzen(const QColor& farbe);
    QImage m_gammaBild;
};

extern TfrmEinstell* frmEinstell;

// The gamma sample of the settings dialog: a small colour picture of
// gradients and shapes, and a line pattern of one colour against black
// whose average brightness is that colour at half strength.
QImage GammaMusterBild(int breite, int hoehe);
QImage GammaRasterBild(QRgb farbe, int groesse);
