#pragma once
#include <QDialog>
#include <QDateTime>
#include <QSet>
#include <functional>
#include "pixelops/Bitmap.h"

class QAction;
class QMenu;
class QTimer;
class TAnzeigeBild;
class TGear;

// The full-screen view: the images of BildListe one at a time on the whole
// screen, fit or zoomed with the wheel, panned by dragging, and a timed
// slide show. It starts from the main window's working bitmap and loads
// further images through its own hidden imaging control; it reports back
// through BildIndex and ProgrammBeenden.
class TfrmVollbild : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVollbild(QWidget* parent = nullptr);
    ~TfrmVollbild() override;

    // Loads a file into the view; a file the control cannot read shows the
    // error picture, and when the control holds nothing afterwards the view
    // keeps its previous picture.
    void LadeVollBild(const QString& datei);
    // Sizes and places VAnzeigeBild for fit or zoom.
    void SetVollBild();

    // Components
    TBitmap VOriginalBild;
    TAnzeigeBild* VAnzeigeBild = nullptr;
    TGear* GearV = nullptr;
    QMenu* PopupVoll = nullptr;
    QTimer* VAnzeigeTimer = nullptr;
    QAction* popVAutoShow = nullptr;
    QAction* popVEinpassen = nullptr;
    QAction* popVInfo = nullptr;
    QAction* popVGehezu = nullptr;
    QAction* popVBildVor = nullptr;
    QAction* popVBildZuruck = nullptr;
    QAction* popVSchliessen = nullptr;
    QAction* popVBildEnde = nullptr;

    // Event handlers
    void FormShow();
    void FormActivate();
    // taste (a Qt::Key) is always swallowed: it becomes 0.
    void FormKeyUp(int& taste, Qt::KeyboardModifiers umschalt);
    // mausPos in client coordinates.
    void FormMouseWheel(int wheelDelta, const QPoint& mausPos, bool& handled);
    void VAnzeigeBildMouseDown(Qt::MouseButton knopf, Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt,
                               int X, int Y);
    void VAnzeigeBildMouseMove(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y);
    void VAnzeigeTimerTimer();
    void popVAutoShowClick();
    void popVEinpassenClick();
    void popVInfoClick();
    void popVGehezuClick();
    void popVBildVorClick();
    void popVBildZuruckClick();
    void popVSchliessenClick();
    void popVBildEndeClick();

    void reject() override;
    void done(int ergebnis) override;

protected:
    bool event(QEvent* ereignis) override;
    void showEvent(QShowEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;
    void keyPressEvent(QKeyEvent* ereignis) override;
    void keyReleaseEvent(QKeyEvent* ereignis) override;
    void wheelEvent(QWheelEvent* ereignis) override;
    void contextMenuEvent(QContextMenuEvent* ereignis) override;

private:
    void FormCreate();
    // Before the view leaves the main window's edited image: the question
    // about saving, asked once per showing. False keeps the image.
    bool HauptbildVerlassen();
    // Waits one pause of the show; returns early when the show stops.
    void ShowPause();
    void GammaAnwenden(TBitmap& bild) const;

    // Keys that went down in this window. Only their release acts: an Esc
    // that closed a dialog or menu over the view comes up here too.
    QSet<int> m_gedrueckt;
    // The main window's facts about its file, which loads here overwrite.
    QString m_hauptKommentar;
    QDateTime m_hauptDatum;
    bool m_schliesst = false;
};

extern TfrmVollbild* frmVollbild;

// State of the view.
extern bool VollbildEinpassen;
extern double VollbildZoom;
extern bool VollbildSperre;
extern int VollbildMausX, VollbildMausY;
// The slide show runs.
extern bool AutoShowLaeuft;
// The view still shows the main window's working bitmap (nothing loaded).
extern bool VollbildZeigtHauptbild;
// The user has agreed to leave the main window's edited image in this
// showing (the main window asks before a slide show it starts).
extern bool VollbildBearbeitetFreigegeben;

// Enables the pop-up items and sets the show item's caption.
void VollbildMenueSetzen();

// Shows the go-to list modally and returns its result (1 = OK, having set
// BildIndex); the main window sets it. Left empty (a view without the main
// window) it keeps the item disabled.
extern std::function<int()> VollbildGehezuZeigen;
