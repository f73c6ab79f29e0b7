#pragma once
#include <QDialog>
#include <QImage>
#include <QSize>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Size of the info card's background at a screen's dots per inch: half the
// stored picture, scaled from 96 dpi and cut to whole pixels.
QSize InfoHintergrundGroesse(int dpi);

// The card's background picture at full size (1200 x 365), drawn by the
// program itself on the card's colour.
QImage InfoHintergrundBild();

// The program-information box: a borderless card with the product name, the
// version and a picture.
class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    // dpi 0 takes the screen's.
    explicit TfrmInfo(QWidget* parent = nullptr, int dpi = 0);
    // Clears the global when the window goes with its parent.
    ~TfrmInfo() override;

    void FormCreate();
    // Shows or hides the details over the picture.
    void imgHintergrundClick();

    QFrame* shpFussleiste = nullptr;
    QLabel* imgHintergrund = nullptr;
    QFrame* shpTextHintergrund = nullptr;
    QPlainTextEdit* RichInfo = nullptr;
    QLabel* lblTitel = nullptr;
    QPushButton* btnOk = nullptr;
    // Stands in for the image list: it holds the full-size picture until
    // FormCreate has taken it, and is empty afterwards.
    QImage PngImageList1;

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    int m_dpi;
};

extern TfrmInfo* frmInfo;
