#pragma once
#include <QDialog>
#include <QColor>
#include <QHash>
#include <QList>
#include "pixelops/Bitmap.h"
#include "pixelops/Farbwert.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

// A coloured rectangle with an outline: the swatches and the colour bar of
// the colour dialog. Presses with any mouse button are reported.
class TFarbFlaeche : public QWidget {
    Q_OBJECT
public:
    explicit TFarbFlaeche(QColor fuellung, QColor rand, QWidget* parent = nullptr);
    void SetFarben(QColor fuellung, QColor rand);
    QColor Fuellung() const { return m_fuellung; }
    QColor Rand() const { return m_rand; }

signals:
    void Gedrueckt();

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void mousePressEvent(QMouseEvent* ereignis) override;

private:
    QColor m_fuellung, m_rand;
};

// The slider position last acted on, one value for all fourteen sliders of
// the colour dialog, kept from one opening to the next (0 at start). The
// attributes dialog keeps the same kind of value for its own sliders.
extern int FarbenLetztePosition;

// The colour-editing window: six pages (correction, toning, tinting,
// colourising, grey scale, threshold), each previewing its operation live
// on the main window's display and replacing the working bitmap on "Ok".
class TfrmFarben : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFarben(QWidget* parent = nullptr);
    ~TfrmFarben() override;

    // Every page's controls and parameters to their start values.
    void SetStartwerte();
    // Computes the current page's operation on a fresh copy of the working
    // bitmap and shows it in the main window's display.
    void SetFarben();

    // ---- State of the window ----
    int FarbModus = 1;            // 1..6, the page whose routine runs
    TBitmap FarbBild;             // the last preview
    bool FarbenSperre = false;    // keeps previews from nesting
    int KorGelb = -255, KorCyan = -255, KorMagenta = -255, KorIntensitaet = 100;
    TFarbwert KorFarbe = 0xFFFFFF;
    int TonFarbe = 1, TonIntensitaet = 100;
    TFarbwert EinFarbe = 0x0000FF;
    int EinIntensitaet = 128, EinGraugrenze = 0, EinWeissgrenze = 255, EinSchwarzgrenze = 0;
    TFarbwert KolFarbe = 0x0000FF;
    int KolIntensitaet = 0;

    // ---- Controls ----
    QTabWidget* pcFarben = nullptr;
    QWidget* tsKorrektur = nullptr;
    QWidget* tsToenen = nullptr;
    QWidget* tsEinfaerben = nullptr;
    QWidget* tsKolorieren = nullptr;
    QWidget* tsGraustufen = nullptr;
    QWidget* tsSchwellwert = nullptr;
    QSlider* tbKorGelb = nullptr;
    QSlider* tbKorCyan = nullptr;
    QSlider* tbKorMagenta = nullptr;
    QSlider* tbKorIntensitaet = nullptr;
    TFarbFlaeche* shpGelb = nullptr;
    TFarbFlaeche* shpCyan = nullptr;
    TFarbFlaeche* shpMagenta = nullptr;
    QPushButton* btnKorOriginal = nullptr;
    QSlider* tbTonIntensitaet = nullptr;
    QRadioButton* rbTonSepia = nullptr;
    QRadioButton* rbTonBlau = nullptr;
    QRadioButton* rbTonRot = nullptr;
    QRadioButton* rbTonGruen = nullptr;
    QRadioButton* rbTonViolett = nullptr;
    QComboBox* cobEinFarbe = nullptr;
    QSlider* tbEinIntensitaet = nullptr;
    QSlider* tbEinGraugrenze = nullptr;
    QSlider* tbEinWeissgrenze = nullptr;
    QSlider* tbEinSchwarzgrenze = nullptr;
    QGroupBox* grbEinKolorieren = nullptr;
    TFarbFlaeche* shpKolRot = nullptr;
    TFarbFlaeche* shpKolGruen = nullptr;
    TFarbFlaeche* shpKolBlau = nullptr;
    TFarbFlaeche* shpKolCyan = nullptr;
    TFarbFlaeche* shpKolMagenta = nullptr;
    TFarbFlaeche* shpKolGelb = nullptr;
    QCheckBox* cbFilter = nullptr;
    TFarbFlaeche* shpKolWert = nullptr;
    QGroupBox* grbKolorierenIntensitaet = nullptr;
    QSlider* tbKolorierenIntensitaet = nullptr;
    QGroupBox* grbGrauRGB = nullptr;
    QSlider* tbGrauRot = nullptr;
    QSlider* tbGrauGruen = nullptr;
    QSlider* tbGrauBlau = nullptr;
    QRadioButton* rbGrauIsoNeutral = nullptr;
    QRadioButton* rbGrauFarbNeutral = nullptr;
    QRadioButton* rbGrauRot = nullptr;
    QRadioButton* rbGrauGruen = nullptr;
    QRadioButton* rbGrauBlau = nullptr;
    QRadioButton* rbGrauCyan = nullptr;
    QRadioButton* rbGrauMagenta = nullptr;
    QRadioButton* rbGrauGelb = nullptr;
    QSlider* tbSchwellwert = nullptr;
    QLabel* lblSchwellwert = nullptr;
    QPushButton* btnKorOk = nullptr;
    QPushButton* btnKorAbbrechen = nullptr;
    QPushButton* btnTonOk = nullptr;
    QPushButton* btnTonAbbrechen = nullptr;
    QPushButton* btnEinOk = nullptr;
    QPushButton* btnEinAbbrechen = nullptr;
    QPushButton* btnKolorierenOk = nullptr;
    QPushButton* btnKolorierenAbbrechen = nullptr;
    QPushButton* btnGrauOk = nullptr;
    QPushButton* btnGrauAbbrechen = nullptr;
    QPushButton* btnSchOk = nullptr;
    QPushButton* btnSchAbbrechen = nullptr;

    // ---- Handlers ----
    void FormShow();
    void FormCloseQuery();
    void FormClose();
    void tsKorrekturShow();
    void tsToenenShow();
    void tsEinfaerbenShow();
    void tsKolorierenShow();
    void tsGraustufenShow();
    void tsSchwellwertShow();
    void tbKorGelbChange();
    void tbKorCyanChange();
    void tbKorMagentaChange();
    void tbKorIntensitaetChange();
    void tbTonIntensitaetChange();
    void tbEinIntensitaetChange();
    void tbEinGraugrenzeChange();
    void tbEinWeissgrenzeChange();
    void tbEinSchwarzgrenzeChange();
    void tbKolorierenIntensitaetChange();
    void tbGrauRotChange();
    void tbGrauGruenChange();
    void tbGrauBlauChange();
    void tbSchwellwertChange();
    void rbTonClick(int farbe);
    void cobEinFarbeChange();
    void shpKolMouseDown(TFarbFlaeche* feld, TFarbwert farbe);
    void cbFilterClick();
    void rbGrauPresetClick(QRadioButton* knopf, int rot, int gruen, int blau);
    void btnKorOriginalClick();
    // The six Ok handlers share one pattern; modus is the page's FarbModus.
    void btnOkClick(int modus);
    void btnAbbrechenClick();

    // The fourteen sliders, in the order of their handlers.
    QList<QSlider*> Regler() const;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    void PageShow(int modus);
    // The one pattern of the slider change handlers; parameter is null for
    // the sliders that are read directly.
    void ReglerChange(QSlider* regler, int* parameter);
    void GrauVorgabenAbwaehlen();
    void EinFarbeHinzufuegen(const QString& name, QColor farbe);

    QButtonGroup* m_grauVorgaben = nullptr;
    QHash<QSlider*, void (TfrmFarben::*)()> m_reglerHandler;
    // Whether FarbBild holds a preview that was computed in full.
    bool m_vorschauGueltig = false;
    int m_letzteEinFarbe = 0, m_aktuelleEinFarbe = 0;
};

extern TfrmFarben* frmFarben;
