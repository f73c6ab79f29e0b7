#pragma once
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <memory>
#include "pixelops/Bitmap.h"

class QCheckBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class TExifDaten;
class TGear;
class TShape;
struct TSchreibZusatz;

// The size of a width x hoehe image fitted into the box zielBreite x
// zielHoehe with its aspect ratio (enlarged when both ratios are below 1).
// False (and no size) when nothing is to be resized: a box side below 1, an
// image inside the box with nurVerkleinern, or the same size. No side of
// the result is below 1.
bool KonvertNeueGroesse(int breite, int hoehe, int zielBreite, int zielHoehe, bool nurVerkleinern,
                        int& neueBreite, int& neueHoehe);

// Resamples bmp to breite x hoehe (filter 0..6, or the quick bilinear resize)
// and sharpens it by schaerfe when above 0. False when it failed; bmp is
// then not to be written, and gemeldet says whether the user was told.
bool KonvertSkalieren(TBitmap& bmp, int breite, int hoehe, int filter, bool quick, int schaerfe,
                      bool* gemeldet = nullptr);

// Writes gear's picture to ziel in the format of the row schluessel, in the
// order of BildSchreiben, into a temporary file in ziel's folder; only the
// complete file with EXIF, comment and date replaces ziel. A write-protected
// ziel loses its protection only when it is replaced. False with a German
// reason; ziel is then as it was.
bool KonvertDateiSchreiben(TGear& gear, const QString& schluessel, const QString& ziel,
                           const TSchreibZusatz& zusatz, QString& fehler);

// The batch conversion: every file of BildListe into one writable format,
// optionally resized to the target size, through its own control GearK and
// bitmap BildK.
class TfrmKonvertieren : public QDialog {
    Q_OBJECT
public:
    explicit TfrmKonvertieren(QWidget* parent = nullptr);
    ~TfrmKonvertieren() override;

    void FormShow();
    // Runs once per showing.
    void FormActivate();
    void FormClose();
    void lvSaveTypSelectItem(QTreeWidgetItem* eintrag);
    QColor lvSaveTypCustomDrawItem(int index) const;
    void ShellTreeView1Change();
    void cbOrdnerBeibehaltenClick();
    void cbKonvertierenDatumClick();
    void btnZielGroesseClick();
    void btnFormatoptionenClick();
    void btnAbbrechenClick();
    void btnKonvertierenClick();
    // Loads a file into GearK and BildK and shows it; false (BildK then
    // empty) when it cannot be read.
    bool LadeKonvertBild(const QString& pfad);

    bool Laeuft() const { return m_laeuft; }
    QString KonvertZielTyp() const { return m_zielTyp; }
    // The mark of a row: 11 for the chosen row, -1 for the others.
    int Zustandsbild(int index) const;

    QLabel* lblZieldateityp = nullptr;
    QTreeWidget* lvSaveTyp = nullptr;
    TShape* shp1Bit = nullptr;
    TShape* shp4Bit = nullptr;
    TShape* shp8Bit = nullptr;
    TShape* shp24Bit = nullptr;
    QLabel* lblZielordner = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModell = nullptr;
    QLineEdit* ediZielverz = nullptr;
    QLabel* lblBildname = nullptr;
    QFrame* shpRahmen = nullptr;
    QLabel* Vorschau = nullptr;
    QLabel* lblBilderzahl = nullptr;
    QLabel* lblZielgroesse = nullptr;
    QCheckBox* cbOrdnerBeibehalten = nullptr;
    QCheckBox* cbKonvertierenDatum = nullptr;
    QCheckBox* cbEXIFschreibenTempK = nullptr;
    QPushButton* btnZielGroesse = nullptr;
    QPushButton* btnFormatoptionen = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    QPushButton* btnKonvertieren = nullptr;
    TGear* GearK = nullptr;
    TBitmap BildK;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void hideEvent(QHideEvent* ereignis) override;
    void closeEvent(QCloseEvent* ereignis) override;

private:
    void FormCreate();
    QString ZeilenSchluessel(const QTreeWidgetItem* eintrag) const;
    QTreeWidgetItem* GewaehlteZeile() const;
    void ZielgroesseZeigen();
    void SteuerungFreigeben(bool frei);
    // The overwrite question: mbJa, mbNein, mbAbbrechen or mbAlle.
    int UeberschreibenFragen(const QString& ziel);

    QString m_zielTyp;
    QString m_ordner;
    int m_gewaehlteZeile = 0;
    bool m_zeigt = false;
    bool m_laeuft = false;
    std::unique_ptr<TExifDaten> m_exif;
};

// Set by Abbrechen (and by closing the window) during a run; checked before
// each file.
extern bool KonvertAbbruch;
extern bool AlleUeberschreiben;

extern TfrmKonvertieren* frmKonvertieren;
