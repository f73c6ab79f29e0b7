#pragma once
#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

class QHBoxLayout;
class QTreeWidget;
class QTreeWidgetItem;

// A small filled rectangle with a border, showing one colour depth.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);
    void SetFarben(const QColor& pinsel, const QColor& stift);
    QColor Pinsel() const { return m_pinsel; }
    QColor Stift() const { return m_stift; }

protected:
    void paintEvent(QPaintEvent* ereignis) override;

private:
    QColor m_pinsel = Qt::white;
    QColor m_stift = Qt::black;
};

// ---- Type lists ------------------------------------------------------------
// The type lists of the open, search, save and convert windows: three columns
// (the mark of the chosen row, type code, description), shaded rows, grid
// lines. The mark is a row's state image (data role Qt::UserRole + 1): 11 for
// the chosen row (drawn as item 11 of the menu icon list), -1 for the others.

// The shade of row index: 14940671 for even rows, else none (invalid).
QColor TypZeilenFarbe(int index);
// Draws liste's cells with grid lines and the mark of the chosen row.
void TypListeMalen(QTreeWidget* liste);
// Gives each row of the filled liste the background grund gives for its
// index (the window's row colouring); none when invalid.
void TypZeilenFaerben(QTreeWidget* liste, const std::function<QColor(int)>& grund);
// The mark of row index: 11 for the chosen row, -1 for the others.
int TypZustandsbild(const QTreeWidget* liste, int index);
// Gives eintrag the mark and takes it from every other row.
void TypZeileMarkieren(QTreeWidget* liste, QTreeWidgetItem* eintrag);

// The writable formats (save and convert windows):

// The list lvSaveTyp, still empty.
QTreeWidget* TypListeAnlegen(QWidget* eltern);
// Fills the list with the writable formats, once it has its width (the
// columns follow it), coloured by grund; no row marked yet.
void TypListeFuellen(QTreeWidget* liste, const std::function<QColor(int)>& grund);
// The rows' key as the format table knows it: type code, a blank, description.
QString TypZeilenSchluessel(const QTreeWidgetItem* eintrag);
// Makes the row with the key schluessel, or else row ersatz, the current and
// selected row without telling the window, and scrolls to it. Null without
// such a row.
QTreeWidgetItem* TypZeileWaehlen(QTreeWidget* liste, const QString& schluessel, int ersatz);

// The four depth shapes with their captions, in the order 24, 8, 4 and 1 bit.
QHBoxLayout* TiefenFormenAnlegen(QWidget* eltern, TShape*& shp24, TShape*& shp8, TShape*& shp4, TShape*& shp1);
// Green for each depth (24, 8, 4, 1 bit) the row schluessel can store, else red.
void TiefenFormenSetzen(TShape* shp24, TShape* shp8, TShape* shp4, TShape* shp1, const QString& schluessel);
