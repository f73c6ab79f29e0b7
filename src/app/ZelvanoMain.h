#pragma once
#include <QMainWindow>
#include <QDateTime>
#include <QStringList>
#include <QTimer>
#include "pixelops/Bitmap.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;
class QPlainTextEdit;
class TGear;
class TAnzeigeBild;
class TExifDaten;

// ---- Shared state of the whole program -----------------------------------
constexpr int BildQuelleKeine = 0;
constexpr int BildQuelleDatei = 1;
constexpr int BildQuelleZwischenablage = 2;
constexpr int BildQuelleScanner = 3;

extern QStringList BildListe;
extern int BildIndex;
extern int BildQuelle;
extern bool BildBearbeitet;
extern int BildFarbtiefe;
extern double ZoomFaktor;
extern bool Einpassen;
extern QString LadeVerzeichnis;
extern QString SpeicherVerzeichnis;
extern int OeffnenErgebnis;
extern bool JpgDrehbar;
extern QString AktKommentar;
extern QDateTime AktDateiDatum;
extern TExifDaten* AktExifDaten;
extern QString ZielTyp;
extern int ZielBreite, ZielHoehe;
extern bool NurVerkleinern;

class TfrmZelvanoMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmZelvanoMain(QWidget* parent = nullptr);
    ~TfrmZelvanoMain() override;

    // Runs the show-time start-up once (layout, folders, temporary names,
    // command line); called by the program's main block after show().
    void FormShow(const QStringList& argumente);
    bool AchtungBearbeitet();
    void BildAnzeigen();
    void SetAnzeigeBild();

    // Components
    TBitmap OriginalBild;
    TAnzeigeBild* AnzeigeBild = nullptr;
    QScrollArea* AnzeigeBox = nullptr;
    QWidget* panAnzeige = nullptr;
    QImage imgFehler;
    TGear* Gear1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel[6] = {};
    QWidget* panUnten = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* pnlSchnittinfo = nullptr;
    QPlainTextEdit* memoSchnittinfo = nullptr;
    QTimer* AnzeigeTimer = nullptr;
    QMenu* PopupMain = nullptr;
    QMenu* PopupZoom = nullptr;

    // Menus and actions
    QMenu* menDatei = nullptr;
    QMenu* menBearbeiten = nullptr;
    QMenu* menAnsicht = nullptr;
    QMenu* menFarbe = nullptr;
    QMenu* menFilter = nullptr;
    QMenu* menHilfe = nullptr;
    QAction* mDatSpeichernals = nullptr;
    QAction* mDatBeenden = nullptr;

    // ---- Actions, menus, navigation, command line, drops (block A) ----
    // (end of block A)

    // ---- Display and zoom (block Z) ----
    // (end of block Z)

public slots:
    void mDatSpeichernalsExecute();
    void mDatBeendenExecute();
    void Gear1StatusEvent(int& prozent);
    // ---- slots of block A ----
    // ---- slots of block Z ----

signals:
    // Emitted when the save-as command runs (until the save dialog exists).
    void SpeichernalsAngefordert();

protected:
    void closeEvent(QCloseEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;
    // ---- event overrides of block A (keys, drops) ----
    // ---- event overrides of block Z (wheel, mouse) ----

private:
    void FormCreate();
    void FormResize();
    void FormClose();
    void AnzeigeAuffrischen();
    void KommandozeileAusfuehren(const QStringList& argumente);
    void AktionenAnlegen();
    // ---- private members of block A ----
    // ---- private members of block Z ----

    bool m_formShowGelaufen = false;
    bool m_geschlossen = false;
};

extern TfrmZelvanoMain* frmZelvanoMain;
