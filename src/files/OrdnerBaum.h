#pragma once
#include <QString>

class QTreeView;
class QFileSystemModel;
class QWidget;

// The folder tree ShellTreeView1 of a file window over a new model modell of
// every folder, hidden ones too: one column, no header, read-only.
// ohneWurzelZeile: the root's folders are the top rows, else the root is.
QTreeView* OrdnerBaumAnlegen(QWidget* eltern, QFileSystemModel*& modell, bool ohneWurzelZeile);

// Makes pfad the current folder of a folder tree and keeps it in view. The
// model fills its rows in the background, so rows above the folder arrive
// after it was first scrolled to and push it off-screen; each time the model
// reports a folder on the way as loaded, the tree is scrolled again, for as
// long as that folder stays the current one. False when the model does not
// know pfad.
bool OrdnerBaumZeigen(QTreeView* baum, QFileSystemModel* modell, const QString& pfad);

// The path of the tree's current folder; empty when none is chosen.
QString OrdnerBaumPfad(const QTreeView* baum, const QFileSystemModel* modell);
