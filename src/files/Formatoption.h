#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class TGear;

// ---- JPEG options ---------------------------------------------------------
constexpr int JpgStufenAnzahl = 25;

// Quality handed to the encoder for a compression level 1..25, and the
// expected size of the JPEG in tenths of a per cent of the raw image. A level
// outside 1..25 counts as the default level 23.
int JpgStufeQualitaet(int stufe);
int JpgStufeRate(int stufe);
// "Die zu erwartende Kompressionsrate beträgt, abhängig vom Bildinhalt, ca. 15,0 %"
// (number in the user's locale).
QString JpgKompRateSatz(int stufe);

// Applies JpegTyp, the quality of level JpegKomp and JpegAufl to a control as
// its mode/value pairs 1813, 277 and 533, in this order; saves nothing. The
// caller sets the save format 21 and then saves. Values a hand-edited
// settings file may hold outside their range are taken as their defaults.
void JpgOptionenSetzen(TGear& gear);

// ---- The format-options window ---------------------------------------------
class TfrmFormatOption : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFormatOption(QWidget* parent = nullptr);
    ~TfrmFormatOption() override;

    void FormShow();
    void trbJpgKompChange();
    void trbJpgAuflChange();
    void rbJpgStandardClick();
    void rbJpgProgressiveClick();
    void rbJpgVerlustfreiClick();
    void imgInfoClick();
    void btnOkClick();
    void pcFormatoptionenChanging();
    void FormClose();
    void btnJpgOptimierungClick();
    // Puts the track bars on JpegKomp and JpegAufl (the quality comparison
    // calls this when it closes).
    void ReglerSetzen();

    QTabWidget* pcFormatoptionen = nullptr;
    QWidget* tsJPG = nullptr;
    QSlider* trbJpgKomp = nullptr;
    QLabel* lblJpgKomp = nullptr;
    QLabel* lblJpgKompWert = nullptr;
    QSlider* trbJpgAufl = nullptr;
    QLabel* lblJpgAufl = nullptr;
    QLabel* lblJpgAuflWert = nullptr;
    QLabel* lblKompRate = nullptr;
    QLabel* imgInfo = nullptr;
    QRadioButton* rbJpgStandard = nullptr;
    QRadioButton* rbJpgProgressive = nullptr;
    QRadioButton* rbJpgVerlustfrei = nullptr;
    QLabel* lblAchtung = nullptr;
    QPlainTextEdit* memInfo = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnJpgOptimierung = nullptr;
    // Whether Ok closes the window (false while the explanation shows).
    bool OkSchliesst() const { return m_okSchliesst; }

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void keyPressEvent(QKeyEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    void JpgSteuerungFreigeben(bool frei);
    void InfoVerbergen();

    bool m_okSchliesst = true;
};

extern TfrmFormatOption* frmFormatOption;
