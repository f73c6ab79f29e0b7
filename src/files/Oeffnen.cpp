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
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include "Einstellungen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "widgets/ListenHinweis.h"
#include "Symbole.h"
#include "widgets/PngBitBtn.h"
#include "widgets/PngImageList.h"

TfrmOeffnen* frmOeffnen = nullptr;

namespace {

// Shade of the even type rows, as a toolkit colour value.
constexpr int StreifenFarbe = 14940671;

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

// Draws the type list's cells: the shaded rows, grid lines, and the mark of
// the chosen row in the first column.
class TBildTypZeichner : public QStyledItemDelegate {
public:
    TBildTypZeichner(const TfrmOeffnen* fenster, QObject* parent)
        : QStyledItemDelegate(parent), m_fenster(fenster)
    {
    }

    void paint(QPainter* maler, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        m_fenster->lvBildTypCustomDrawItem(index.row(), opt);
        const QWidget* widget = opt.widget;
        QStyle* stil = widget ? widget->style() : QApplication::style();
        stil->drawControl(QStyle::CE_ItemViewItem, &opt, maler, widget);

        maler->save();
        if (index.column() == 0
            && index.data(TfrmOeffnen::ZustandsBildRolle).toInt() == TfrmOeffnen::ZustandsBildGewaehlt)
            HakenZeichnen(maler, opt);
        maler->setPen(opt.palette.color(QPalette::Midlight));
        maler->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
        maler->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
        maler->restore();
    }

private:
    // State image 11 of the menu icon list, fitted into the cell.
    static void HakenZeichnen(QPainter* maler, const QStyleOptionViewItem& opt)
    {
        const TPNGObject haken = PngAusListe(MenueBilderListe(), TfrmOeffnen::ZustandsBildGewaehlt);
        if (haken.Empty())
            return;
        const int seite = std::min({opt.rect.width(), opt.rect.height(), haken.Width()});
        QRect ziel(0, 0, seite, seite);
        ziel.moveCenter(opt.rect.center());
        DrawPngWithOptions(haken, *maler, ziel, 0);
    }

    const TfrmOeffnen* m_fenster;
};

} // namespace

TfrmOeffnen::TfrmOeffnen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOeffnen"));
    setWindowTitle(QStringLiteral("Öffnen"));
    setSizeGripEnabled(true);

    ShellModell = new QFileSystemModel(this);
    ShellModell->setFilter(QDir::AllDirs | QDir::Drives | QDir::Hidden | QDir::NoDotAndDotDot);
    ShellModell->setRootPath(QStringLiteral("/"));
    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setModel(ShellModell);
    ShellTreeView1->setHeaderHidden(true);
    for (int spalte = 1; spalte < ShellModell->columnCount(); ++spalte)
        ShellTreeView1->hideColumn(spalte);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    lvBildTyp = new QTreeWidget(this);
    lvBildTyp->setObjectName(QStringLiteral("lvBildTyp"));
    lvBildTyp->setSelectionMode(QAbstractItemView::SingleSelection);
    lvBildTyp->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvBildTyp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvBildTyp->setItemDelegate(new TBildTypZeichner(this, lvBildTyp));
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
    const QTreeWidgetItem* eintrag = lvBildTyp->topLevelItem(zeile);
    if (!eintrag)
        return -1;
    const QVariant wert = eintrag->data(0, ZustandsBildRolle);
    return wert.isValid() ? wert.toInt() : -1;
}

void TfrmOeffnen::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    QCoreApplication::processEvents();
    // The column widths follow the list's width, so it needs its own first.
    lvBildTyp->resize(std::max(lvBildTyp->minimumWidth(), lvBildTyp->width()), lvBildTyp->height());
    FormatListeFuellen(lvBildTyp, 1, true, true);
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
    for (int i = 0; i < lvBildTyp->topLevelItemCount(); ++i)
        lvBildTyp->topLevelItem(i)->setData(0, ZustandsBildRolle, -1);
    eintrag->setData(0, ZustandsBildRolle, ZustandsBildGewaehlt);

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

void TfrmOeffnen::lvBildTypCustomDrawItem(int zeile, QStyleOptionViewItem& option) const
{
    if (zeile % 2 == 0)
        option.backgroundBrush = QBrush(QColor::fromRgb(FarbwertZuRgb(StreifenFarbe)));
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
