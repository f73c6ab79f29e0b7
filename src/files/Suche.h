#pragma once
#include <QColor>
#include <QDialog>
#include <QString>

class QEvent;
class QFileSystemModel;
class QHelpEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;
class QTreeWidget;

// The image search: finds every file of one type, or of all readable types,
// in a folder and its sub-folders; all of them, or the marked ones, become
// the new BildListe (result 1, LadeVerzeichnis set to the first one's folder).
class TfrmSuche : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSuche(QWidget* parent = nullptr);
    // Clears the global when the window goes with its parent.
    ~TfrmSuche() override;

    static constexpr int HilfeKontext = 33;
    // State image of the type row searched for; every other row has none (-1).
    static constexpr int ZustandsBildGewaehlt = 11;
    static constexpr int ZustandsBildRolle = Qt::UserRole + 1;

    // The extensions searched for ("*.BMP;...;*.JPEG" or "*.G3;") and the
    // last valid folder of the tree, with a trailing '/'.
    QString SuchMaske;
    QString SuchOrdner;
    // Hits one search may hand to the list.
    qsizetype MaxTreffer;

    int ZustandsBild(int zeile) const;

    // Event handlers
    void FormCreate();
    void FormActivate();
    void lvBildTypSelectItem();
    // The background of row zeile: 14940671 for even rows, else none (invalid).
    QColor lvBildTypCustomDrawItem(int zeile) const;
    void ShellTreeView1Change();
    void btnDurchsuchenClick();
    void lbSucheClick();
    void btnAlleZeigenlClick();
    void btnMarkierteAnzeigenClick();
    bool ApplicationEvents1ShowHint(QHelpEvent* ereignis);

    // The folder selected in the tree (empty when none), and selecting one.
    QString BaumPfad() const;
    void BaumPfadSetzen(const QString& pfad);

    // Components
    QTreeWidget* lvBildTyp = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModell = nullptr;
    QLabel* lblPfad = nullptr;
    QListWidget* lbSuche = nullptr;
    QLabel* lblElemente = nullptr;
    QPushButton* btnDurchsuchen = nullptr;
    QPushButton* btnAlleZeigenl = nullptr;
    QPushButton* btnMarkierteAnzeigen = nullptr;
    QPushButton* btnAbbrechen = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void ElementeZeigen();
    void ListeUebernehmen(bool nurMarkierte);

    // Set while the program moves the tree, so its change handler waits
    // until the move is done.
    bool m_baumSetzen = false;
};

extern TfrmSuche* frmSuche;
