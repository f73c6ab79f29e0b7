// The image search window.
#include "Suche.h"
#include <QApplication>
#include <QCollator>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include "Datsuch.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Meldung.h"
#include "OrdnerBaum.h"
#include "TypListe.h"
#include "ZelvanoMain.h"
#include "widgets/ListenHinweis.h"
#include "widgets/Sanduhr.h"

TfrmSuche* frmSuche = nullptr;

namespace {

// Pale yellow of the folder band; cream of the count band.
constexpr int StreifenFarbe = 14940671;
constexpr QRgb CremeFarbe = qRgb(255, 251, 240);

bool OrdnerVorhanden(const QString& pfad)
{
    return !pfad.isEmpty() && QFileInfo(pfad).isDir();
}

QLabel* Band(const QString& text, QRgb farbe, QWidget* eltern)
{
    auto* band = new QLabel(text, eltern);
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, QColor(farbe));
    palette.setColor(QPalette::WindowText, Qt::black);
    band->setPalette(palette);
    band->setContentsMargins(6, 3, 6, 3);
    band->setTextInteractionFlags(Qt::NoTextInteraction);
    return band;
}

} // namespace

TfrmSuche::~TfrmSuche()
{
    if (frmSuche == this)
        frmSuche = nullptr;
}

TfrmSuche::TfrmSuche(QWidget* parent) : QDialog(parent), MaxTreffer(MaxSuchTreffer)
{
    setObjectName(QStringLiteral("frmSuche"));
    setWindowTitle(QStringLiteral("Bildersuche"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);

    lvBildTyp = new QTreeWidget(this);
    lvBildTyp->setObjectName(QStringLiteral("lvBildTyp"));
    lvBildTyp->setSelectionMode(QAbstractItemView::SingleSelection);
    lvBildTyp->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvBildTyp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvBildTyp->setUniformRowHeights(true);
    lvBildTyp->setFixedWidth(DpiSkalieren(180, 96));
    lvBildTyp->setMinimumHeight(DpiSkalieren(260, 96));
    TypListeMalen(lvBildTyp);

    ShellTreeView1 = OrdnerBaumAnlegen(this, ShellModell, false);

    lblPfad = Band(QString(), FarbwertZuRgb(StreifenFarbe), this);
    lblPfad->setObjectName(QStringLiteral("lblPfad"));
    lbSuche = new QListWidget(this);
    lbSuche->setObjectName(QStringLiteral("lbSuche"));
    lbSuche->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbSuche->setUniformItemSizes(true);
    lbSuche->setFrameShape(QFrame::NoFrame);
    lbSuche->setTextElideMode(Qt::ElideRight);
    lblElemente = Band(QStringLiteral("0 Elemente    0 Elemente ausgewählt"), CremeFarbe, this);
    lblElemente->setObjectName(QStringLiteral("lblElemente"));

    btnDurchsuchen = new QPushButton(QStringLiteral("&Durchsuchen"), this);
    btnDurchsuchen->setObjectName(QStringLiteral("btnDurchsuchen"));
    btnDurchsuchen->setDefault(true);
    btnAlleZeigenl = new QPushButton(QStringLiteral("Alle anzeigen"), this);
    btnAlleZeigenl->setObjectName(QStringLiteral("btnAlleZeigenl"));
    btnMarkierteAnzeigen = new QPushButton(QStringLiteral("Auswahl anzeigen"), this);
    btnMarkierteAnzeigen->setObjectName(QStringLiteral("btnMarkierteAnzeigen"));
    btnMarkierteAnzeigen->setEnabled(false);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    for (QPushButton* knopf : {btnAlleZeigenl, btnMarkierteAnzeigen, btnAbbrechen})
        knopf->setAutoDefault(false);

    auto* oben = new QHBoxLayout;
    oben->addWidget(lvBildTyp);
    oben->addWidget(ShellTreeView1, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(btnDurchsuchen);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnAlleZeigenl);
    knoepfe->addWidget(btnMarkierteAnzeigen);
    knoepfe->addWidget(btnAbbrechen);
    auto* ganz = new QVBoxLayout(this);
    ganz->addLayout(oben);
    ganz->addWidget(lblPfad);
    ganz->addWidget(lbSuche, 1);
    ganz->addWidget(lblElemente);
    ganz->addLayout(knoepfe);

    connect(lvBildTyp, &QTreeWidget::itemSelectionChanged, this, &TfrmSuche::lvBildTypSelectItem);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
    connect(btnDurchsuchen, &QPushButton::clicked, this, &TfrmSuche::btnDurchsuchenClick);
    connect(btnAlleZeigenl, &QPushButton::clicked, this, &TfrmSuche::btnAlleZeigenlClick);
    connect(btnMarkierteAnzeigen, &QPushButton::clicked, this, &TfrmSuche::btnMarkierteAnzeigenClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbSuche, &QListWidget::itemSelectionChanged, this, &TfrmSuche::lbSucheClick);
    lbSuche->viewport()->installEventFilter(this);

    FormCreate();
    setFixedSize(QSize(DpiSkalieren(684, 96), DpiSkalieren(561, 96)).expandedTo(sizeHint()));
}

void TfrmSuche::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lvBildTyp->resize(lvBildTyp->width(), std::max(lvBildTyp->height(), lvBildTyp->minimumHeight()));
    FormatListeFuellen(lvBildTyp, 1, true, false);
    lvBildTyp->header()->setStretchLastSection(true);
    TypZeilenFaerben(lvBildTyp, [this](int zeile) { return lvBildTypCustomDrawItem(zeile); });
    if (BildMaske.isEmpty())
        BildMaskeAufbauen();
    lvBildTypSelectItem();
    SuchMaske = BildMaske;
}

int TfrmSuche::ZustandsBild(int zeile) const
{
    return TypZustandsbild(lvBildTyp, zeile);
}

QColor TfrmSuche::lvBildTypCustomDrawItem(int zeile) const
{
    return TypZeilenFarbe(zeile);
}

void TfrmSuche::lvBildTypSelectItem()
{
    const QList<QTreeWidgetItem*> gewaehlt = lvBildTyp->selectedItems();
    if (gewaehlt.isEmpty())
        return;
    QTreeWidgetItem* eintrag = gewaehlt.first();
    TypZeileMarkieren(lvBildTyp, eintrag);
    if (eintrag->text(2) == QLatin1String("Bilddateien"))
        SuchMaske = BildMaske;
    if (lvBildTyp->indexOfTopLevelItem(eintrag) > 0)
        SuchMaske = QStringLiteral("*.") + eintrag->text(1).trimmed() + QLatin1Char(';');
}

void TfrmSuche::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    // Once per showing: a message box closing over the window must not
    // clear a fresh result.
    if (!ereignis->spontaneous())
        FormActivate();
}

void TfrmSuche::FormActivate()
{
    {
        TSanduhr sanduhr;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        btnAlleZeigenl->setEnabled(false);
        btnMarkierteAnzeigen->setEnabled(false);
        if (!OrdnerVorhanden(LadeVerzeichnis)) {
            QString ersatz = SpezialOrdnerPfad(CSIDL_PERSONAL);
            if (!OrdnerVorhanden(ersatz))
                ersatz = QDir::homePath();
            LadeVerzeichnis = MitTrenner(ersatz);
        }
        BaumPfadSetzen(LadeVerzeichnis);
    }
    // Moving the tree to another folder is a change of folder.
    if (MitTrenner(BaumPfad()) != SuchOrdner)
        ShellTreeView1Change();
    else if (lbSuche->count() > 0)
        btnAlleZeigenl->setEnabled(true);
}

QString TfrmSuche::BaumPfad() const
{
    return OrdnerBaumPfad(ShellTreeView1, ShellModell);
}

void TfrmSuche::BaumPfadSetzen(const QString& pfad)
{
    m_baumSetzen = true;
    OrdnerBaumZeigen(ShellTreeView1, ShellModell, pfad);
    m_baumSetzen = false;
}

void TfrmSuche::ShellTreeView1Change()
{
    if (m_baumSetzen || !isVisible())
        return;
    if (!OrdnerVorhanden(BaumPfad()) && OrdnerVorhanden(SuchOrdner))
        BaumPfadSetzen(SuchOrdner);
    if (OrdnerVorhanden(BaumPfad()))
        SuchOrdner = MitTrenner(BaumPfad());
    lbSuche->clear();
    lblPfad->setText(SuchOrdner);
    ElementeZeigen();
    btnAlleZeigenl->setEnabled(false);
    btnMarkierteAnzeigen->setEnabled(false);
}

void TfrmSuche::btnDurchsuchenClick()
{
    btnAlleZeigenl->setEnabled(false);
    btnMarkierteAnzeigen->setEnabled(false);
    QStringList treffer;
    TSuchBericht bericht;
    {
        TSanduhr sanduhr;
        const QString start = OrdnerVorhanden(BaumPfad()) ? MitTrenner(BaumPfad()) : SuchOrdner;
        bericht = DateienSuchen(start, SuchMaske, treffer, MaxTreffer);
        // The order of a sorted list box: by full path, letter case aside.
        QCollator sortierung;
        sortierung.setCaseSensitivity(Qt::CaseInsensitive);
        sortierung.setNumericMode(false);
        std::stable_sort(treffer.begin(), treffer.end(), [&sortierung](const QString& a, const QString& b) {
            const int v = sortierung.compare(a, b);
            return v != 0 ? v < 0 : a < b;
        });
        // One update bracket: a hundred thousand hits must not repaint each time.
        lbSuche->setUpdatesEnabled(false);
        {
            const QSignalBlocker sperre(lbSuche);
            lbSuche->clear();
            lbSuche->addItems(treffer);
        }
        lbSuche->setUpdatesEnabled(true);
    }
    if (bericht.ZuVieleDateien)
        Meldung(QStringLiteral("Zu viele Dateien."));
    if (!bericht.Unlesbar.isEmpty()) {
        QStringList gezeigt = bericht.Unlesbar.mid(0, 10);
        if (bericht.Unlesbar.size() > gezeigt.size())
            gezeigt << QStringLiteral("...");
        Meldung(QStringLiteral("Diese Ordner konnten nicht durchsucht werden:\r") + gezeigt.join(QLatin1Char('\r')),
                TMeldungArt::Warnung);
    }
    if (lbSuche->count() > 0) {
        btnAlleZeigenl->setEnabled(true);
        btnAlleZeigenl->setFocus();
    }
    ElementeZeigen();
}

void TfrmSuche::ElementeZeigen()
{
    const qsizetype markiert = lbSuche->selectionModel()->selectedIndexes().size();
    lblElemente->setText(QString::number(lbSuche->count()) + QStringLiteral(" Elemente    ")
                         + QString::number(markiert) + QStringLiteral(" Elemente ausgewählt"));
}

void TfrmSuche::lbSucheClick()
{
    ElementeZeigen();
    btnMarkierteAnzeigen->setEnabled(true);
}

void TfrmSuche::ListeUebernehmen(bool nurMarkierte)
{
    QStringList pfade;
    pfade.reserve(lbSuche->count());
    for (int i = 0; i < lbSuche->count(); ++i) {
        const QListWidgetItem* eintrag = lbSuche->item(i);
        if (!nurMarkierte || eintrag->isSelected())
            pfade << eintrag->text();
    }
    if (pfade.isEmpty())
        return;
    BildListe = pfade;
    LadeVerzeichnis = MitTrenner(QFileInfo(pfade.first()).path());
    accept();
}

void TfrmSuche::btnAlleZeigenlClick()
{
    ListeUebernehmen(false);
}

void TfrmSuche::btnMarkierteAnzeigenClick()
{
    ListeUebernehmen(true);
}

bool TfrmSuche::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == lbSuche->viewport() && ereignis->type() == QEvent::ToolTip)
        return ApplicationEvents1ShowHint(static_cast<QHelpEvent*>(ereignis));
    return QDialog::eventFilter(objekt, ereignis);
}

bool TfrmSuche::ApplicationEvents1ShowHint(QHelpEvent* ereignis)
{
    return ListenHinweisZeigen(lbSuche, ereignis);
}
