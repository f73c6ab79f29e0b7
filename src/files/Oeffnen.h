#pragma once
#include <QColor>
#include <QDialog>
#include <QString>
#include "widgets/PngBitBtn.h"

class QEvent;
class QFileSystemModel;
class QHelpEvent;
class QLabel;
class QListWidget;
class QModelIndex;
class QPushButton;
class QTreeView;
class QTreeWidget;

// The program's own open window. The user picks a folder, narrows its files
// by image type and selects some; the window then replaces BildListe with
// their full paths. Instead of files the user can ask for the clipboard image
// (result 100) or the thumbnail browser (result 200). The result code is left
// in OeffnenErgebnis: 0 cancelled, 1 files chosen.
class TfrmOeffnen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOeffnen(QWidget* parent = nullptr);

    static constexpr int HilfeKontext = 3;
    // State image of the chosen type row; every other row has none (-1).
    static constexpr int ZustandsBildGewaehlt = 11;
    // Item data role (column 0 of lvBildTyp) that holds a row's state image.
    static constexpr int ZustandsBildRolle = Qt::UserRole + 1;

    // The mask of the file list as the chosen type row sets it ("*.JPG;*.JPEG",
    // "*.G3 " ...), and the folder it shows (with a trailing '/').
    QString Maske() const { return m_maske; }
    QString Ordner() const { return m_ordner; }
    int ZustandsBild(int zeile) const;

    // Event handlers
    void FormCreate();
    void FormActivate();
    void btnOkClick();
    void bbtAlleZeigenClick();
    void bbtAblageZeigenClick();
    void bbtVorschauClick();
    void btnAbbrechenClick();
    void flbOeffnenChange();
    // The background of row zeile: 14940671 for even rows, else none (invalid).
    QColor lvBildTypCustomDrawItem(int zeile) const;
    void lvBildTypSelectItem();
    void ShellTreeView1Change();
    // Tool tip of the file list: only names cut off by the list's width get
    // one, laid over the item. True when the event was handled.
    bool ApplicationEvents1ShowHint(QHelpEvent* ereignis);

    // Components
    QTreeWidget* lvBildTyp = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModell = nullptr;
    QListWidget* flbOeffnen = nullptr;
    QLabel* lblDateiZahl = nullptr;
    QLabel* lblMarkiertZahl = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    TPngBitBtn* bbtAblageZeigen = nullptr;
    TPngBitBtn* bbtVorschau = nullptr;
    TPngBitBtn* bbtAlleZeigen = nullptr;

    // The folder selected in the tree (empty when none), and selecting one.
    QString BaumPfad() const;
    void BaumPfadSetzen(const QString& pfad);

public slots:
    // Esc and the close box end the window like "Abbrechen".
    void reject() override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void DateiListeLesen();
    void ListeUebernehmen(bool nurMarkierte);
    void Schliessen(int ergebnis);

    QString m_maske;
    QString m_ordner;
    // Set while the tree is moved by the program, so its change handler does
    // not act on our own moves.
    bool m_baumSetzen = false;
};

extern TfrmOeffnen* frmOeffnen;
