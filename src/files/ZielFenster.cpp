// The part the save and convert windows share.
#include "ZielFenster.h"
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include "Formatoption.h"
#include "Global.h"
#include "OrdnerBaum.h"
#include "TypListe.h"
#include "ZelvanoMain.h"
#include "Zielfragen.h"

TZielFenster::TZielFenster(QWidget* parent) : QDialog(parent) {}

void TZielFenster::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    // Once per opening: closing the format-options (or target-size) window
    // over this one must not bring back the stored type and folder, nor
    // propose the file name anew over what the user typed.
    if (!m_zeigt) {
        m_zeigt = true;
        FormActivate();
    }
}

void TZielFenster::hideEvent(QHideEvent* ereignis)
{
    m_zeigt = false;
    QDialog::hideEvent(ereignis);
}

// ---- Type list -------------------------------------------------------------

void TZielFenster::TypListeErzeugen()
{
    lvSaveTyp = TypListeAnlegen(this);
}

void TZielFenster::TypListeFuellen()
{
    ::TypListeFuellen(lvSaveTyp, [this](int zeile) { return lvSaveTypCustomDrawItem(zeile); });
    if (QTreeWidgetItem* erster = lvSaveTyp->topLevelItem(0)) {
        m_typ = erster->text(1).toLower();
        m_gewaehlteZeile = 0;
    }
    // Wired after the list is filled: creating the window changes no shared state.
    connect(lvSaveTyp, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* aktuell, QTreeWidgetItem*) { lvSaveTypSelectItem(aktuell); });
}

QColor TZielFenster::lvSaveTypCustomDrawItem(int index) const
{
    return TypZeilenFarbe(index);
}

int TZielFenster::Zustandsbild(int index) const
{
    return TypZustandsbild(lvSaveTyp, index);
}

QTreeWidgetItem* TZielFenster::GewaehlteZeile() const
{
    const QList<QTreeWidgetItem*> auswahl = lvSaveTyp->selectedItems();
    return auswahl.isEmpty() ? lvSaveTyp->topLevelItem(m_gewaehlteZeile) : auswahl.first();
}

void TZielFenster::lvSaveTypSelectItem(QTreeWidgetItem* eintrag)
{
    if (!eintrag)
        return;   // a cleared selection keeps the row last chosen
    TypZeileMarkieren(lvSaveTyp, eintrag);
    m_gewaehlteZeile = lvSaveTyp->indexOfTopLevelItem(eintrag);
    m_typ = eintrag->text(1).toLower();
    btnFormatoptionen->setEnabled(m_typ == QLatin1String("jpg"));
    ZielTyp = m_typ;
    TiefenFormenSetzen(shp24Bit, shp8Bit, shp4Bit, shp1Bit, TypZeilenSchluessel(eintrag));
}

void TZielFenster::TypZeigen(const QString& schluessel)
{
    if (QTreeWidgetItem* gefunden = TypZeileWaehlen(lvSaveTyp, schluessel, m_gewaehlteZeile))
        lvSaveTypSelectItem(gefunden);
}

void TZielFenster::FormatoptionenErzeugen()
{
    btnFormatoptionen = new QPushButton(QStringLiteral("&Formatoptionen"), this);
    btnFormatoptionen->setObjectName(QStringLiteral("btnFormatoptionen"));
    btnFormatoptionen->setAutoDefault(false);
    connect(btnFormatoptionen, &QPushButton::clicked, this, [this] { btnFormatoptionenClick(); });
}

void TZielFenster::btnFormatoptionenClick()
{
    if (!frmFormatOption)
        frmFormatOption = new TfrmFormatOption(this);
    frmFormatOption->exec();
}

// ---- Folder ----------------------------------------------------------------

void TZielFenster::OrdnerBaumErzeugen()
{
    ShellTreeView1 = OrdnerBaumAnlegen(this, ShellModell, true);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
}

void TZielFenster::ZielOrdnerZeigen()
{
    SpeicherVerzeichnisPruefen();
    m_ordner = MitTrenner(SpeicherVerzeichnis);
    OrdnerBaumZeigen(ShellTreeView1, ShellModell, m_ordner);
    ediZielverz->setText(m_ordner);
}

void TZielFenster::ShellTreeView1Change()
{
    // Moving the tree back below would call in again.
    if (!m_zeigt || m_baumFolgt)
        return;
    m_baumFolgt = true;
    const QString pfad = OrdnerBaumPfad(ShellTreeView1, ShellModell);
    if (!pfad.isEmpty() && QFileInfo(pfad).isDir()) {
        m_ordner = MitTrenner(pfad);
        OrdnerGewechselt();
        ediZielverz->setText(m_ordner);
    } else if (!m_ordner.isEmpty()) {
        OrdnerBaumZeigen(ShellTreeView1, ShellModell, m_ordner);
    }
    m_baumFolgt = false;
}
