#pragma once
#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include "ZielFenster.h"
#include "pixelops/Bitmap.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TExifDaten;
class TGear;
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
// order of BildSchreiben: the complete file with EXIF, comment and date is
// made in memory and replaces ziel in one piece (KonvertZielErsetzen).
// False with a German reason; ziel is then as it was.
bool KonvertDateiSchreiben(TGear& gear, const QString& schluessel, const QString& ziel,
                           const TSchreibZusatz& zusatz, QString& fehler);
// Replaces ziel by the finished content, with the date (when valid) on it as
// DateiDatumSetzen sets it. A write-protected ziel loses its protection only
// when it is replaced. False with a German reason; ziel is then as it was.
bool KonvertZielErsetzen(const QString& ziel, const QByteArray& inhalt, const QDateTime& datum, QString& fehler);

// ---- One file of a run, free of the window ---------------------------------
// A run reads and makes the files ahead on worker threads; the window takes
// them in list order, asks, writes and reports. Everything here runs on any
// thread: it reads only settings that stay fixed while a run lasts.

// What a run does to every file, taken when it starts.
struct TKonvertVorgaben {
    QString schluessel;                // the target row
    int zielBreite = 0;                // the target box (a side below 1: no resize)
    int zielHoehe = 0;
    bool nurVerkleinern = false;
    int filter = 5;                    // resampling filter 0..6, or
    bool quick = false;                // the quick bilinear resize
    int schaerfe = 8;                  // post-sharpening, 0 for none
    bool exif = false;                 // a JPEG source's EXIF data go into a JPEG target
    bool datum = false;                // the target gets the source's date
    bool kommentarDerQuelle = true;    // a JPEG target gets the source's comment, else kommentar
    QString kommentar;
    QRgb hintergrund = 0;              // what transparent parts are laid on
    QRect rahmen;                      // the preview's frame
};

// One file on its way: loaded (with what the window shows of it), then made
// into its target's content. On a worker thread a step that failed in a way
// the same step alone on the GUI thread might not (short of memory beside
// the other files, a failed transfer, a failed resize or encoding) is left
// undone for the window to do again alone, where a failure is told as
// always.
struct TKonvertDatei {
    TKonvertDatei();
    ~TKonvertDatei();
    TKonvertDatei(TKonvertDatei&&) noexcept;
    TKonvertDatei& operator=(TKonvertDatei&&) noexcept;

    bool geladen = false;          // the loading step is done
    bool gelesen = false;          // the source could be read; else it is skipped
    TGear* gear = nullptr;         // the control holding the source at its own depth, later the
                                   // picture written; none once a worker is done with the file
    TBitmap bild;                  // 24-bit working bitmap, resized once the target is made
    QImage vorschau;               // the preview picture, its place in the frame
    QRect vorschauRahmen;          // and whether it is stretched
    bool vorschauGestreckt = false;
    QString kommentar;             // comment and date as loading reports them
    QDateTime datum;
    std::unique_ptr<TExifDaten> exif;    // a JPEG source's EXIF data

    bool erzeugt = false;          // the target step is done:
    bool skalierFehler = false;    // the resize failed (and was told when skalierGemeldet),
    bool skalierGemeldet = false;
    QByteArray inhalt;             // else the target's content,
    QString fehler;                // or why there is none
};

// The loading step into gear (GearK, or a worker's own). alleine: on the GUI
// thread with no work beside it, where a failure is told and final.
void KonvertLaden(const QString& quelle, const TKonvertVorgaben& v, TGear& gear, TKonvertDatei& datei, bool alleine);
// The target step: resize, sharpen and the content for ziel, in the order of
// BildSchreiben; alleine as above.
void KonvertZielErzeugen(const QString& ziel, const TKonvertVorgaben& v, TKonvertDatei& datei, bool alleine);
// Both steps on a worker thread, with a control of its own and, of the
// memory available, one share in anteile.
TKonvertDatei KonvertVorbereiten(const QString& quelle, const QString& ziel, const TKonvertVorgaben& v, int anteile);

// The batch conversion: every file of BildListe into one writable format,
// optionally resized to the target size. BildK holds the file in work; the
// files are read and made ahead on worker threads with controls of their
// own, and through GearK where the window does one alone.
class TfrmKonvertieren : public TZielFenster {
    Q_OBJECT
public:
    explicit TfrmKonvertieren(QWidget* parent = nullptr);
    ~TfrmKonvertieren() override;

    // Runs once per showing.
    void FormActivate() override;
    void FormClose();
    void cbOrdnerBeibehaltenClick();
    void cbKonvertierenDatumClick();
    void btnZielGroesseClick();
    void btnAbbrechenClick();
    void btnKonvertierenClick();
    // Loads a file into GearK and BildK and shows it; false (BildK then
    // empty) when it cannot be read.
    bool LadeKonvertBild(const QString& pfad);
    // The file in work: BildK, the preview, and the comment and date loading
    // reports.
    void DateiZeigen(const TKonvertDatei& datei);

    bool Laeuft() const { return m_laeuft; }
    QString KonvertZielTyp() const { return m_typ; }

    QLabel* lblZieldateityp = nullptr;
    QLabel* lblZielordner = nullptr;
    QLabel* lblBildname = nullptr;
    QFrame* shpRahmen = nullptr;
    QLabel* Vorschau = nullptr;
    QLabel* lblBilderzahl = nullptr;
    QLabel* lblZielgroesse = nullptr;
    QCheckBox* cbOrdnerBeibehalten = nullptr;
    QCheckBox* cbKonvertierenDatum = nullptr;
    QCheckBox* cbEXIFschreibenTempK = nullptr;
    QPushButton* btnZielGroesse = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    QPushButton* btnKonvertieren = nullptr;
    TGear* GearK = nullptr;
    TBitmap BildK;

    void done(int ergebnis) override;

protected:
    void closeEvent(QCloseEvent* ereignis) override;

private:
    void FormCreate();
    TKonvertVorgaben Vorgaben(const QString& schluessel) const;
    void ZielgroesseZeigen();
    void SteuerungFreigeben(bool frei);

    bool m_laeuft = false;
};

// Set by Abbrechen (and by closing the window) during a run; checked before
// each file.
extern bool KonvertAbbruch;
extern bool AlleUeberschreiben;

extern TfrmKonvertieren* frmKonvertieren;
