#pragma once
#include <QDialog>

class QEvent;
class QHelpEvent;
class QLabel;
class QListWidget;
class QPushButton;

// The go-to list: every entry of BildListe, from which the user picks the
// image to show. It only sets BildIndex (result 1); the caller loads.
class TfrmGehezu : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGehezu(QWidget* parent = nullptr);
    // Clears the global when the window goes with its parent.
    ~TfrmGehezu() override;

    static constexpr int HilfeKontext = 24;

    void FormCreate();
    void FormActivate();
    void lbGeheZuClick();
    void btnOkClick();
    bool ApplicationEvents1ShowHint(QHelpEvent* ereignis);

    QLabel* lblBildNr = nullptr;
    QListWidget* lbGeheZu = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnAbbrechen = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
};

extern TfrmGehezu* frmGehezu;
