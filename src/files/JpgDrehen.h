#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>
#include "widgets/PngBitBtn.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QFrame;

// Transform codes of the JPEG library's lossless transforms.
constexpr uint8_t JpgSpiegelnHorizontal = 1;
constexpr uint8_t JpgSpiegelnVertikal = 2;
constexpr uint8_t JpgDrehen90 = 5;
constexpr uint8_t JpgDrehen180 = 6;
constexpr uint8_t JpgDrehen270 = 7;

// Which marker segments the new file keeps: 0 none, 2 all (comments and
// APP0..APP15).
constexpr uint8_t JpgKopiereKeine = 0;
constexpr uint8_t JpgKopiereAlle = 2;
extern int SegmentKopierModus;

// Turns or mirrors the JPEG file quelle into ziel without decoding it. True
// exactly when the library finished without error or warning and ziel was
// written completely; a failure leaves no ziel behind.
bool JpgTransformieren(const QString& quelle, const QString& ziel, uint8_t code, uint8_t kopierModus, bool trimmen);

// The whole road for one file: transform into a working file in
// TempVerzeichnis, then replace the file with it in one step and give it back
// its modification time (to two seconds) as access and modification time.
// A missing file: false without a message. Any other failure: the message
// "Das Bild konnte nicht gedreht werden.", false, and the file untouched.
bool JpgDateiDrehen(const QString& pfad, uint8_t code, uint8_t kopierModus, bool trimmen);
// Why a file that could not be loaded is not turned.
QString JpgDrehenVerweigertText();

class TfrmJpgDrehen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmJpgDrehen(QWidget* parent = nullptr);

    TPngBitBtn* PngBitBtnDrehMinus90;
    TPngBitBtn* PngBitBtnDrehPlus90;
    TPngBitBtn* PngBitBtnDreh180;
    TPngBitBtn* PngBitBtnDrehHorizontal;
    TPngBitBtn* PngBitBtnDrehVertikal;
    QLabel* lblDrehMinus90;
    QLabel* lblDrehPlus90;
    QLabel* lblDreh180;
    QLabel* lblDrehHorizontal;
    QLabel* lblDrehVertikal;
    QCheckBox* cbBildinfo;
    QCheckBox* cbTrimmen;
    TPngBitBtn* PngBitBtnInfo;
    QFrame* shpInfo;
    QLabel* lblInfoText;
    QPushButton* btnAbbrechen;

    // The client height with the explanation hidden.
    int EingeklappteHoehe() const;

public slots:
    void FormShow();
    void cbBildinfoClick();
    void PngBitBtnInfoClick();
    void PngBitBtnDrehMinus90Click();
    void PngBitBtnDrehPlus90Click();
    void PngBitBtnDreh180Click();
    void PngBitBtnDrehHorizontalClick();
    void PngBitBtnDrehVertikalClick();

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    void HoeheAnpassen();
    void Transformieren(uint8_t code);
};

extern TfrmJpgDrehen* frmJpgDrehen;
