#pragma once
#include <QDialog>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <QVector>
#include <optional>
#include "widgets/PngBitBtn.h"

class QFileSystemModel;
class QFileSystemWatcher;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
class QTreeView;
class TGear;

// State of the thumbnail browser.
extern QString VorschauOrdner;    // folder whose thumbnails are shown, with trailing '/'
extern int VorschauAnzahl;        // files listed in it
extern bool VorschauLaedt;        // a build runs
extern bool VorschauStopp;        // the user asked to stop it
extern bool VorschauOrdnerGeaendert;   // the tree's selection changed since the last build

class TfrmVorschau : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVorschau(QWidget* parent = nullptr);
    ~TfrmVorschau() override;

    // Rebuilds all thumbnails of the tree's current folder (only while shown).
    void BilderAnzeigen();
    // Loads one file into bild the way a thumbnail is made: the direct
    // decoders, else the imaging control VorschauGear. A file that yields no
    // picture gives the error picture.
    void LadeVorschauBild(QImage& bild, const QString& dateiName);
    // A thumbnail was clicked.
    void imgClick(QObject* sender);

    // The folder the tree shows (with trailing '/'), and moving it.
    QString BaumPfad() const;
    void BaumPfadSetzen(const QString& pfad);

    // Components
    QWidget* pnlLinks;
    QTreeView* stvVorschau;
    QWidget* pnlSchalter;
    TPngBitBtn* bbtnStopSchliessen;
    TPngBitBtn* bbtnAktualisieren;
    QLabel* lblBildAnzahl;
    QLabel* lblBilddateien;
    QFrame* Shape1;
    QScrollArea* SBoxVorschau;
    QWidget* SBoxInhalt;
    QStringList flbVorschau;   // the listed file names of VorschauOrdner
    QImage VorschauBild;
    TGear* VorschauGear;

    // One entry per listed file; null until its thumbnail is built.
    QVector<QLabel*> VorschauBilder;
    QVector<QFrame*> VorschauRahmen;
    QVector<QLabel*> VorschauNamen;

public slots:
    void FormActivate();
    void FormResize();
    void stvVorschauChange();
    void stvVorschauClick();
    void bbtnStopSchliessenClick();
    void bbtnAktualisierenClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void closeEvent(QCloseEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;
    void changeEvent(QEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    void BaumVorbereiten();
    void KnopfLeerlauf();
    void BauBeginnen();
    void BauBeenden();
    int Spalten() const;
    void ZellenLeeren();
    // Builds the thumbnails of the listed files at these indices, in order;
    // schonGebaut counts the ones that are there already.
    void ZellenBauen(const QVector<int>& indizes, int spalten, int schonGebaut);
    void ZelleAnlegen(int k, int spalten, const QImage& bild, QSize groesse);
    // Moves the built cells into the grid of the current width; the content
    // reaches down to them, and to cell auchBis when that is given.
    void ZellenAnordnen(int auchBis = -1);
    void OrdnerBeobachten();
    void OrdnerGeaendertPruefen();
    // Brings the thumbnails in line with a new listing of the folder: kept
    // where the file is unchanged, built for new and changed files, removed
    // for files gone. The view keeps its place.
    void EintraegeErneuern(const QStringList& namen, const QStringList& stand);
    QStringList OrdnerListen(const QString& ordner) const;
    // Names with their modification times: what a change must differ in.
    QStringList OrdnerStand(const QString& ordner, const QStringList& namen) const;
    int Schriftpixel() const;
    QFont NamenSchrift() const;

    QFileSystemModel* m_modell = nullptr;
    QFileSystemWatcher* m_waechter = nullptr;
    QTimer* m_aenderungsTimer = nullptr;
    bool m_pfadWirdGesetzt = false;
    QStringList m_stand;
};

extern TfrmVorschau* frmVorschau;

// The thumbnail window's bounds to store when the program closes (none when
// the window was never created); a running build is asked to stop, since
// the program is ending.
std::optional<QRect> VorschauFensterGrenzen();
