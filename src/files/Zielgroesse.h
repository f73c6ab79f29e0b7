#pragma once
#include <QDialog>
#include "widgets/Glaettungsmethode.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;
class TNumedit;

// The target size of the batch conversion: a box in pixels (preset or the
// user's own), shrink only or both ways, the resampling filter and the
// sharpening afterwards. Only the box goes through ZielBreite / ZielHoehe on
// Ok; NurVerkleinern, the filter and the sharpening act as soon as they are
// clicked, and the conversion reads the last two from here.
class TfrmZielgroesse : public QDialog, public TGlaettungsmethode {
    Q_OBJECT
public:
    explicit TfrmZielgroesse(QWidget* parent = nullptr);
    ~TfrmZielgroesse() override;

    void FormShow();
    void btnOkClick();
    void rbBenutzerClick();
    void rbVerkleinernClick();
    void rbVerkleiVergrClick();
    // The ten presets: both fields disabled and filled with breite and hoehe.
    void VorgabeClick(int breite, int hoehe);

    // Filter number of the resampling (Box 0 .. Mitchell 6, Lanczos 5 when
    // none is checked), whether the quick resize is chosen, and the
    // sharpening amount (0, 8, 18 or 36).
    int FilterIndex() const;
    bool IstQuick() const;
    int SchaerfeMenge() const;

    QRadioButton* rb1x1 = nullptr;
    QRadioButton* rb640x480 = nullptr;
    QRadioButton* rb768x576 = nullptr;
    QRadioButton* rb800x600 = nullptr;
    QRadioButton* rb1024x600 = nullptr;
    QRadioButton* rb1024x768 = nullptr;
    QRadioButton* rb1280x1024 = nullptr;
    QRadioButton* rb1600x1200 = nullptr;
    QRadioButton* rb1920x1080 = nullptr;
    QRadioButton* rb3840x2160 = nullptr;
    QRadioButton* rbBenutzer = nullptr;
    QLabel* lblBildbreite = nullptr;
    QLabel* lblBildhoehe = nullptr;
    TNumedit* nedBreite = nullptr;
    TNumedit* nedHoehe = nullptr;
    QRadioButton* rbVerkleinern = nullptr;
    QRadioButton* rbVerkleiVergr = nullptr;
    QRadioButton* rbSchaerfeOhne = nullptr;
    QRadioButton* rbSchaerfeLeicht = nullptr;
    QRadioButton* rbSchaerfeMittel = nullptr;
    QRadioButton* rbSchaerfeStark = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnAbbrechen = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void FormCreate();
    QButtonGroup* m_groessen = nullptr;
};

extern TfrmZielgroesse* frmZielgroesse;
