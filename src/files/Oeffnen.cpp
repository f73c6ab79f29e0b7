// The program's own open window: folder tree, type list, file list.
#include "Oeffnen.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include "OrdnerBaum.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include "Einstellungen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "widgets/ListenHinweis.h"
#include "Symbole.h"
#include "TypListe.h"
#include "widgets/PngBitBtn.h"
#include "widgets/PngImageList.h"

TfrmOeffnen* frmOeffnen = nullptr;

namespace {

// A folder we can list: it exists and we may read and enter it.
bool OrdnerLesbar(const QString& pfad)
{
    if (pfad.isEmpty())
        return false;
    const QFileInfo info(pfad);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

// The mask as name filters: the type codes are padded to three characters
// ("G3 "), which would match nothing here, and "*.*" means every file, also
// those without a dot.
QStringList NamenFilter(const QString& maske)
{
    QStringList filter;
    for (const QString& teil : maske.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString muster = teil.trimmed();
        if (muster.isEmpty())
            continue;
        filter << (muster == QLatin1String("*.*") ? QStringLiteral("*") : muster);
    }
    return filter;
}

} // namespace

TfrmOeffnen::TfrmOeffnen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOeffnen"));
    setWindowTitle(QStringLiteral("Öffnen"));
    setSizeGripEnabled(true);

    ShellTreeView1 = OrdnerBaumAnlegen(this, ShellModell, false);

    lvBildTyp = new QTreeWidget(this);
    lvBildTyp->setObjectName(QStringLiteral("lvBildTyp"));
    lvBildTyp->setSelectionMode(QAbstractItemView::SingleSelection);
    lvBildTyp->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvBildTyp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TypListeMalen(lvBildTyp);
    lvBildTyp->setUniformRowHeights(true);

    flbOeffnen = new QListWidget(this);
    flbOeffnen->setObjectName(QStringLiteral("flbOeffnen"));
    flbOeffnen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    flbOeffnen->setUniformItemSizes(true);
    flbOeffnen->setTextElideMode(Qt::ElideRight);

    lblDateiZahl = new QLabel(QStringLiteral("Dateien: 0"), this);
    lblDateiZahl->setObjectName(QStringLiteral("lblDateiZahl"));
    lblMarkiertZahl = new QLabel(QStringLiteral("Ausgewählt: 0"), this);
    lblMarkiertZahl->setObjectName(QStringLiteral("lblMarkiertZahl"));

    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);
    bbtAblageZeigen = new TPngBitBtn(QStringLiteral("Zwischenablage anzeigen"), this);
    bbtAblageZeigen->setObjectName(QStringLiteral("bbtAblageZeigen"));
    bbtAblageZeigen->SetPngImage(PngAusListe(ButtonBilderListe(), symAblageZeigen));
    bbtVorschau = new TPngBitBtn(QStringLiteral("Vorschau"), this);
    bbtVorschau->setObjectName(QStringLiteral("bbtVorschau"));
    bbtVorschau->SetPngImage(PngAusListe(ButtonBilderListe(), symVorschau));
    bbtAlleZeigen = new TPngBitBtn(QStringLiteral("Alle anzeigen"), this);
    bbtAlleZeigen->setObjectName(QStringLiteral("bbtAlleZeigen"));
    bbtAlleZeigen->SetPngImage(PngAusListe(ButtonBilderListe(), symAlleZeigen));
    for (TPngBitBtn* knopf : {bbtAblageZeigen, bbtVorschau, bbtAlleZeigen})
        knopf->setAutoDefault(false);

    // Left: folders above types; right: the files, their counts and the buttons.
    auto* links = new QVBoxLayout;
    links->addWidget(ShellTreeView1, 3);
    links->addWidget(lvBildTyp, 2);
    auto* zahlen = new QHBoxLayout;
    zahlen->addWidget(lblDateiZahl);
    zahlen->addStretch(1);
    zahlen->addWidget(lblMarkiertZahl);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(bbtAblageZeigen);
    knoepfe->addWidget(bbtVorschau);
    knoepfe->addWidget(bbtAlleZeigen);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnOk);
    knoepfe->addWidget(btnAbbrechen);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(flbOeffnen, 1);
    rechts->addLayout(zahlen);
    auto* oben = new QHBoxLayout;
    oben->addLayout(links, 2);
    oben->addLayout(rechts, 3);
    auto* ganz = new QVBoxLayout(this);
    ganz->addLayout(oben, 1);
    ganz->addLayout(knoepfe);
    resize(DpiSkalieren(760, 96), DpiSkalieren(540, 96));
    lvBildTyp->setMinimumWidth(DpiSkalieren(230, 96));

    connect(btnOk, &QPushButton::clicked, this, &TfrmOeffnen::btnOkClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &TfrmOeffnen::btnAbbrechenClick);
    connect(bbtAblageZeigen, &QPushButton::clicked, this, &TfrmOeffnen::bbtAblageZeigenClick);
    connect(bbtVorschau, &QPushButton::clicked, this, &TfrmOeffnen::bbtVorschauClick);
    connect(bbtAlleZeigen, &QPushButton::clicked, this, &TfrmOeffnen::bbtAlleZeigenClick);
    connect(flbOeffnen, &QListWidget::itemSelectionChanged, this, &TfrmOeffnen::flbOeffnenChange);
    connect(flbOeffnen, &QListWidget::itemDoubleClicked, this, [this] { btnOkClick(); });
    connect(lvBildTyp, &QTreeWidget::itemSelectionChanged, this, &TfrmOeffnen::lvBildTypSelectItem);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
    flbOeffnen->viewport()->installEventFilter(this);

    FormCreate();
}

int TfrmOeffnen::ZustandsBild(int zeile) const
{
    return TypZustandsbild(lvBildTyp, zeile);
}

void TfrmOeffnen::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    QCoreApplication::processEvents();
    // The column widths follow the list's width, so it needs its own first.
    lvBildTyp->resize(std::max(lvBildTyp->minimumWidth(), lvBildTyp->width()), lvBildTyp->height());
    FormatListeFuellen(lvBildTyp, 1, true, true);
    TypZeilenFaerben(lvBildTyp, [this](int zeile) { return lvBildTypCustomDrawItem(zeile); });
    // The description column takes what the dialog's width leaves.
    lvBildTyp->header()->setStretchLastSection(true);
}

void TfrmOeffnen::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    // Whatever ends this showing, a result from an earlier one must not count.
    OeffnenErgebnis = 0;
    FormActivate();
}

void TfrmOeffnen::FormActivate()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const QMimeData* ablage = QGuiApplication::clipboard()->mimeData();
    bbtAblageZeigen->setEnabled(ablage && ablage->hasImage());

    if (!OrdnerLesbar(LadeVerzeichnis)) {
        // The documents folder need not exist here; home and the root always do.
        QString ersatz = SpezialOrdnerPfad(CSIDL_PERSONAL);
        if (!OrdnerLesbar(ersatz))
            ersatz = QDir::homePath();
        if (!OrdnerLesbar(ersatz))
            ersatz = QDir::rootPath();
        LadeVerzeichnis = MitTrenner(ersatz);
    }
    BaumPfadSetzen(LadeVerzeichnis);
    m_ordner = LadeVerzeichnis;
    DateiListeLesen();

    QApplication::restoreOverrideCursor();
}

QString TfrmOeffnen::BaumPfad() const
{
    return OrdnerBaumPfad(ShellTreeView1, ShellModell);
}

void TfrmOeffnen::BaumPfadSetzen(const QString& pfad)
{
    m_baumSetzen = true;
    OrdnerBaumZeigen(ShellTreeView1, ShellModell, pfad);
    m_baumSetzen = false;
}

void TfrmOeffnen::ShellTreeView1Change()
{
    if (m_baumSetzen || !isVisible())
        return;
    const QString pfad = MitTrenner(BaumPfad());
    if (OrdnerLesbar(pfad)) {
        m_ordner = pfad;
        DateiListeLesen();
        LadeVerzeichnis = pfad;
    } else {
        BaumPfadSetzen(LadeVerzeichnis);
    }
}

void TfrmOeffnen::lvBildTypSelectItem()
{
    const QList<QTreeWidgetItem*> gewaehlt = lvBildTyp->selectedItems();
    if (gewaehlt.isEmpty())
        return;
    QTreeWidgetItem* eintrag = gewaehlt.first();
    TypZeileMarkieren(lvBildTyp, eintrag);

    const QString beschreibung = eintrag->text(2);
    if (beschreibung == QLatin1String("Bilddateien"))
        m_maske = BildMaske;
    else if (beschreibung == QLatin1String("Dateien *.*"))
        m_maske = QStringLiteral("*.*");
    else if (lvBildTyp->indexOfTopLevelItem(eintrag) >= 2)
        m_maske = QStringLiteral("*.") + eintrag->text(1);
    if (m_maske == QLatin1String("*.JPG"))
        m_maske = QStringLiteral("*.JPG;*.JPEG");
    DateiListeLesen();
}

QColor TfrmOeffnen::lvBildTypCustomDrawItem(int zeile) const
{
    return TypZeilenFarbe(zeile);
}

void TfrmOeffnen::DateiListeLesen()
{
    QStringList namen;
    const QStringList filter = NamenFilter(m_maske);
    if (OrdnerLesbar(m_ordner) && !filter.isEmpty()) {
        QDir ordner(m_ordner);
        ordner.setNameFilters(filter);
        // Without QDir::CaseSensitive the filters ignore letter case.
        ordner.setFilter(QDir::Files);
        ordner.setSorting(QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
        namen = ordner.entryList();
    }
    // One update bracket: a folder of many thousand files must stay quick.
    flbOeffnen->setUpdatesEnabled(false);
    {
        const QSignalBlocker sperre(flbOeffnen);
        flbOeffnen->clear();
        flbOeffnen->addItems(namen);
    }
    flbOeffnen->setUpdatesEnabled(true);
    flbOeffnenChange();
}

void TfrmOeffnen::flbOeffnenChange()
{
    const int anzahl = flbOeffnen->count();
    const int markiert = static_cast<int>(flbOeffnen->selectedItems().size());
    lblMarkiertZahl->setText(QStringLiteral("Ausgewählt: ") + QString::number(markiert));
    lblDateiZahl->setText(QStringLiteral("Dateien: ") + QString::number(anzahl));
    bbtVorschau->setEnabled(anzahl > 0);
    bbtAlleZeigen->setEnabled(anzahl > 0);
    btnOk->setEnabled(markiert > 0);
}

void TfrmOeffnen::ListeUebernehmen(bool nurMarkierte)
{
    // In the list's order, not in the order the items were clicked.
    QStringList pfade;
    for (int i = 0; i < flbOeffnen->count(); ++i) {
        const QListWidgetItem* eintrag = flbOeffnen->item(i);
        if (!nurMarkierte || eintrag->isSelected())
            pfade << PfadVerbinden(m_ordner, eintrag->text());
    }
    if (pfade.isEmpty())
        return;
    BildListe = pfade;
    LadeVerzeichnis = MitTrenner(m_ordner);
    Schliessen(1);
}

void TfrmOeffnen::btnOkClick()
{
    ListeUebernehmen(true);
}

void TfrmOeffnen::bbtAlleZeigenClick()
{
    ListeUebernehmen(false);
}

void TfrmOeffnen::bbtAblageZeigenClick()
{
    Schliessen(100);
}

void TfrmOeffnen::bbtVorschauClick()
{
    LadeVerzeichnis = MitTrenner(m_ordner);
    Schliessen(200);
}

void TfrmOeffnen::btnAbbrechenClick()
{
    Schliessen(0);
}

void TfrmOeffnen::reject()
{
    btnAbbrechenClick();
}

void TfrmOeffnen::Schliessen(int ergebnis)
{
    OeffnenErgebnis = ergebnis;
    QDialog::done(ergebnis == 0 ? QDialog::Rejected : QDialog::Accepted);
}

bool TfrmOeffnen::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == flbOeffnen->viewport() && ereignis->type() == QEvent::ToolTip)
        return ApplicationEvents1ShowHint(static_cast<QHelpEvent*>(ereignis));
    return QDialog::eventFilter(objekt, ereignis);
}

bool TfrmOeffnen::ApplicationEvents1ShowHint(QHelpEvent* ereignis)
{
    return ListenHinweisZeigen(flbOeffnen, ereignis);
}
