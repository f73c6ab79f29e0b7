#pragma once
#include <QColor>
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include "TypListe.h"
#include "ZielFenster.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidgetItem;
class TExifDaten;
class TGear;

// The name with its extension (from the last "." of the name part on)
// replaced by endung, or endung appended when the name has none.
QString EndungErsetzen(const QString& name, const QString& endung);
// The extension of a type code: "." and the code in lower case without the
// blank that pads two-letter codes ("G3 " gives ".g3").
QString TypEndung(const QString& typ);

// What a written image carries besides its pixels.
struct TSchreibZusatz {
    const TExifDaten* exif = nullptr;   // inserted into JPEG files when it holds EXIF data
    QString kommentar;                  // the one comment segment of JPEG files
    QDateTime datum;                    // invalid: the file keeps the time of writing
};
// The step at which BildSchreiben stopped.
enum class TSchreibSchritt { Fertig, Bild, Exif, Kommentar, Datum };
// The one order of writing of saving and converting: the control's depth
// fitted to the row schluessel, its save id, the JPEG options (save id 21),
// the image; then, for save id 21 only, the EXIF data and the comment; then
// the date. Stops at the first failing step and names it, with a German
// reason in fehler (the image step's reason is the whole message).
TSchreibSchritt BildSchreiben(TGear& gear, const QString& schluessel, const QString& pfad,
                              const TSchreibZusatz& zusatz, QString& fehler);
// BildSchreiben's order in memory, for a file written in one piece later (on
// any thread): the whole content with EXIF data and comment in inhalt; the
// date is left to the writer. name, the file meant, stands in the reasons.
TSchreibSchritt BildErzeugen(TGear& gear, const QString& schluessel, const QString& name,
                             const TSchreibZusatz& zusatz, QByteArray& inhalt, QString& fehler);
// The comment written into a JPEG: the loaded file's own for an image from a
// file, else the created-with line.
QString SchreibKommentar();
// Why the error picture of a file that could not be loaded is not saved.
QString SpeichernVerweigertText();

// The save window: target format, folder and name; writes the main window's
// working bitmap through Gear1 in that format.
class TfrmSpeichern : public TZielFenster {
    Q_OBJECT
public:
    explicit TfrmSpeichern(QWidget* parent = nullptr);
    ~TfrmSpeichern() override;

    // Runs each time the window is shown.
    void FormActivate() override;
    void btnSpeichernClick();
    void flbSpeichernChange();
    // Also gives the file name the row's extension.
    void lvSaveTypSelectItem(QTreeWidgetItem* eintrag) override;
    void cbSpeichernDatumClick();
    void FormClose();
    // Re-reads the folder tree from its first node (the save command calls it
    // before every opening).
    void ShellTreeView1Aktualisieren();

    // The chosen type code in lower case ("jpg", "g3 ") and the folder shown.
    QString GewaehlterTyp() const { return m_typ; }
    QString DialogOrdner() const { return m_ordner; }

    QListWidget* flbSpeichern = nullptr;
    QLineEdit* ediDateiname = nullptr;
    QCheckBox* cbSpeichernDatum = nullptr;
    QCheckBox* cbEXIFschreibenTemp = nullptr;
    QPushButton* btnSpeichern = nullptr;
    QPushButton* btnAbbrechen = nullptr;

    void done(int ergebnis) override;

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void OrdnerGewechselt() override;

private:
    void FormCreate();
    // The key ("BMP Ungepackt    ") of the selected row, or of the row last
    // chosen when the selection was cleared; empty without rows.
    QString GewaehlterSchluessel() const;
    void DateilisteLesen(const QString& ordner);
    void ApplicationEvents1ShowHint(const QPoint& position);
    // Saving after the questions: false when the image was not written.
    bool Schreiben(const QString& schluessel, const QString& ordner, const QString& pfad);
};

extern TfrmSpeichern* frmSpeichern;
