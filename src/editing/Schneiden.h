#pragma once
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TNumedit;

// Orientation of the ratio frame.
enum TSchnittFormat { sfAutomatisch, sfQuerformat, sfHochformat };

// The ratio frame for terms a:b on a w x h image: 0.8 of the image in its
// limiting direction, turned for the orientation (automatic: portrait when
// w < h). verhaeltnis is width / height after turning. Each side is at
// least 1 pixel and at most the image's. False (nothing written) when a
// term is 0.
bool VerhaeltnisRahmen(int a, int b, TSchnittFormat format, int w, int h, int& x, int& y, long double& verhaeltnis);
// The fixed frame: each side at least 2, then at most the image's.
void FestRahmen(int a, int b, int w, int h, int& x, int& y);

// Chooses the crop frame of the main window: a frame of fixed aspect ratio
// sized with the wheel, or a frame of fixed size. It only fills the crop
// state and switches the display to fit; the main window crops.
class TfrmSchneiden : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSchneiden(QWidget* parent = nullptr);

    static constexpr int HilfeKontext = 15;

    QRadioButton* rbFotoschnitt;
    QGroupBox* gbSeitenverhaeltnis;
    QRadioButton* rb3zu2;
    QRadioButton* rb4zu3;
    QRadioButton* rb5zu4;
    QRadioButton* rb14zu10;
    QRadioButton* rb16zu9;
    QRadioButton* rbBenutzerdef;
    TNumedit* nedX;
    TNumedit* nedY;
    QGroupBox* gbFormat;
    QRadioButton* rbAutomatisch;
    QRadioButton* rbQuerformat;
    QRadioButton* rbHochformat;
    QRadioButton* rbFestschnitt;
    TNumedit* nedFestX;
    TNumedit* nedFestY;
    QPushButton* btnOk;
    QPushButton* btnAbbrechen;

    void AktiviereSeitenverhaeltnisse(bool an);
    void AktiviereFestgroesse(bool an);

public slots:
    void FormShow();
    void btnOkClick();
    void rbFotoschnittClick();
    void rbFestschnittClick();
    void rb3zu2Click();
    void rb4zu3Click();
    void rb5zu4Click();
    void rb14zu10Click();
    void rb16zu9Click();
    void rbBenutzerdefClick();

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    void FormCreate();
    void Verhaeltnis(int a, int b);
};

extern TfrmSchneiden* frmSchneiden;
