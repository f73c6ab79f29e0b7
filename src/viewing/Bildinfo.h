#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QFrame;
class QPushButton;
class QTextEdit;
class TExifDaten;

// The facts of the summary, as the EXIF reader gives them.
struct TExifAuszug {
    bool HatExif = false;       // an EXIF block was found, readable or not
    QString Fehler = QStringLiteral("<none>");
    QString Dateiname;          // of the file read, with its folder
    QString DatumZeit;          // "YYYY:MM:DD HH:MM:SS"
    QString Hersteller;
    QString Modell;
    long Blitz = 0;
    QString ExposureTime;       // "numerator/denominator", as stored
    QString ShutterSpeedValue;
    QString FocalLength;
    QString FocalLengthin35mm;
    QString FNumber;
    QString ISOSpeedRatings;
};

// Gathers the summary's facts from a reader that has read a file. The date is
// the time the picture was taken, else the file's own date-time tag.
TExifAuszug ExifAuszug(const TExifDaten& exif);
// The German EXIF summary, lines separated by CR LF.
QString ExifZusammenfassung(const TExifAuszug& exif);
QString ExifZusammenfassung(const TExifDaten& exif);
// "Belichtungszeit: 1/250 sec" from "10/2500"; empty when the text is no
// positive fraction.
QString Belichtungszeile(const QString& exposureTime);
// Uncompressed size in bytes: width x height x bits / 8, at least 1.
qint64 UnkomprimierteGroesse(qint64 breite, qint64 hoehe, int bits);

// The image information window: file, image and EXIF facts of the image
// shown in the main window.
class TfrmBildinfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBildinfo(QWidget* parent = nullptr);
    ~TfrmBildinfo() override;

    void FormShow();
    void FormActivate();
    void btnOkClick();

    QLabel* lblFileName = nullptr;
    QLabel* lblFileDatum = nullptr;
    QLabel* lblDateiSize = nullptr;
    QLabel* lblImageSize = nullptr;
    QLabel* lblBitDepth = nullptr;
    QLabel* lblDimensions = nullptr;
    QLabel* lblFileFormat = nullptr;
    QLabel* lblCompression = nullptr;
    QFrame* shpFeld1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QPushButton* btnOk = nullptr;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;

private:
    bool m_zeigen = false;
    bool m_ersteZeile = true;
    void FormCreate();
    void KopfZeilen();
    void ExifText();
    void Zeile(const QString& text, bool fett, bool fest = false);
    void Fett(const QString& zeile);
    void Normal(const QString& text, bool fest = false);
    void Liste(const QString& text);
};

extern TfrmBildinfo* frmBildinfo;
