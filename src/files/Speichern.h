#pragma once
#include <QColor>
#include <QDialog>
#include <QString>
#include <QWidget>

class QCheckBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;
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

// The name with its extension (from the last "." of the name part on)
// replaced by endung, or endung appended when the name has none.
QString EndungErsetzen(const QString& name, const QString& endung);

// The save window: target format, folder and name; writes the main window's
// working bitmap through Gear1 in that format.
class TfrmSpeichern : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSpeichern(QWidget* parent = nullptr);
    ~TfrmSpeichern() override;

    // Runs each time the window is shown.
    void FormActivate();
    void btnSpeichernClick();
    void flbSpeichernChange();
    void btnFormatoptionenClick();
    void lvSaveTypSelectItem(QTreeWidgetItem* eintrag);
    // The background of row index: 14940671 for even rows, else none (invalid).
    QColor lvSaveTypCustomDrawItem(int index) const;
    void ShellTreeView1Change();
    void cbSpeichernDatumClick();
    void FormClose();
    // Re-reads the folder tree from its first node (the save command calls it
    // before every opening).
    void ShellTreeView1Aktualisieren();

    // The chosen type code in lower case ("jpg", "g3 ") and the folder shown.
    QString GewaehlterTyp() const { return m_typ; }
    QString DialogOrdner() const { return m_dialogOrdner; }
    // The mark of a row: 11 for the chosen row, -1 for the others.
    int Zustandsbild(int index) const;

    QTreeWidget* lvSaveTyp = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModell = nullptr;
    QListWidget* flbSpeichern = nullptr;
    QLineEdit* ediDateiname = nullptr;
    QLineEdit* ediZielverz = nullptr;
    TShape* shp24Bit = nullptr;
    TShape* shp8Bit = nullptr;
    TShape* shp4Bit = nullptr;
    TShape* shp1Bit = nullptr;
    QCheckBox* cbSpeichernDatum = nullptr;
    QCheckBox* cbEXIFschreibenTemp = nullptr;
    QPushButton* btnSpeichern = nullptr;
    QPushButton* btnAbbrechen = nullptr;
    QPushButton* btnFormatoptionen = nullptr;

    void done(int ergebnis) override;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void hideEvent(QHideEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    // The key ("BMP Ungepackt    ") of the selected row, or of the row last
    // chosen when the selection was cleared; empty without rows.
    QString GewaehlterSchluessel() const;
    QString ZeilenSchluessel(const QTreeWidgetItem* eintrag) const;
    void DateilisteLesen(const QString& ordner);
    void BaumAufOrdner(const QString& ordner);
    void ApplicationEvents1ShowHint(const QPoint& position);
    // Saving after the questions: false when the image was not written.
    bool Schreiben(const QString& schluessel, const QString& ordner, const QString& pfad);

    QString m_typ;
    QString m_dialogOrdner;
    int m_gewaehlteZeile = 0;
    bool m_zeigt = false;
};

extern TfrmSpeichern* frmSpeichern;
