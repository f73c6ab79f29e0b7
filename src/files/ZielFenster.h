#pragma once
#include <QColor>
#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class TShape;

// What the save and convert windows share: the list of target types with the
// depth shapes, the format options, and the target folder's tree and field.
// Each window creates these controls in its own order (the tab order).
class TZielFenster : public QDialog {
    Q_OBJECT
public:
    explicit TZielFenster(QWidget* parent = nullptr);

    // Runs once per opening.
    virtual void FormActivate() = 0;
    // A row of the type list chosen: it gets the mark; type code, format
    // options, ZielTyp and the depth shapes follow it.
    virtual void lvSaveTypSelectItem(QTreeWidgetItem* eintrag);
    // The background of row index: 14940671 for even rows, else none (invalid).
    QColor lvSaveTypCustomDrawItem(int index) const;
    void ShellTreeView1Change();
    void btnFormatoptionenClick();
    // The mark of a row: 11 for the chosen row, -1 for the others.
    int Zustandsbild(int index) const;

    QTreeWidget* lvSaveTyp = nullptr;
    TShape* shp24Bit = nullptr;
    TShape* shp8Bit = nullptr;
    TShape* shp4Bit = nullptr;
    TShape* shp1Bit = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModell = nullptr;
    QLineEdit* ediZielverz = nullptr;
    QPushButton* btnFormatoptionen = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void hideEvent(QHideEvent* ereignis) override;

    // The type list, its rows not yet filled, wired to lvSaveTypSelectItem
    // once TypListeFuellen has filled it.
    void TypListeErzeugen();
    // Fills the type list; the first row is the chosen one until the window
    // opens.
    void TypListeFuellen();
    // The button "Formatoptionen", wired to btnFormatoptionenClick.
    void FormatoptionenErzeugen();
    // The folder tree, wired to ShellTreeView1Change.
    void OrdnerBaumErzeugen();
    // At opening: the row of the stored key schluessel (else the row last
    // chosen) is chosen.
    void TypZeigen(const QString& schluessel);
    // At opening: the folder tree and field on SpeicherVerzeichnis, made an
    // existing folder first.
    void ZielOrdnerZeigen();
    // The selected row, or the row last chosen when the selection was
    // cleared; null without rows.
    QTreeWidgetItem* GewaehlteZeile() const;
    // A folder was chosen in the tree (m_ordner holds it).
    virtual void OrdnerGewechselt() {}

    QString m_typ;       // the chosen type code in lower case ("jpg", "g3 ")
    QString m_ordner;    // the folder shown, with a trailing '/'
    int m_gewaehlteZeile = 0;
    bool m_zeigt = false;

private:
    bool m_baumFolgt = false;
};
