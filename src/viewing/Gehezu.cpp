// The go-to list.
#include "Gehezu.h"
#include <QApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include "Einstellungen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "widgets/ListenHinweis.h"

TfrmGehezu* frmGehezu = nullptr;

namespace {
// Pale yellow of the box behind the position label.
constexpr int FeldFarbe = 14940671;
}

TfrmGehezu::~TfrmGehezu()
{
    if (frmGehezu == this)
        frmGehezu = nullptr;
}

TfrmGehezu::TfrmGehezu(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGehezu"));
    setWindowTitle(QStringLiteral("Gehe zu..."));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);

    lblBildNr = new QLabel(QStringLiteral("Bild 1 von 1"), this);
    lblBildNr->setObjectName(QStringLiteral("lblBildNr"));
    lblBildNr->setAutoFillBackground(true);
    QPalette feld = lblBildNr->palette();
    feld.setColor(QPalette::Window, QColor(FarbwertZuRgb(FeldFarbe)));
    lblBildNr->setPalette(feld);
    lblBildNr->setContentsMargins(8, 4, 8, 4);
    lbGeheZu = new QListWidget(this);
    lbGeheZu->setObjectName(QStringLiteral("lbGeheZu"));
    lbGeheZu->setSelectionMode(QAbstractItemView::SingleSelection);
    lbGeheZu->setUniformItemSizes(true);
    lbGeheZu->setTextElideMode(Qt::ElideRight);
    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);

    auto* kopf = new QHBoxLayout;
    kopf->addWidget(lblBildNr);
    kopf->addStretch(1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnOk);
    knoepfe->addWidget(btnAbbrechen);
    auto* ganz = new QVBoxLayout(this);
    ganz->addLayout(kopf);
    ganz->addWidget(lbGeheZu, 1);
    ganz->addLayout(knoepfe);

    connect(lbGeheZu, &QListWidget::currentRowChanged, this, &TfrmGehezu::lbGeheZuClick);
    connect(lbGeheZu, &QListWidget::itemDoubleClicked, this, &TfrmGehezu::btnOkClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmGehezu::btnOkClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    lbGeheZu->viewport()->installEventFilter(this);

    FormCreate();
    setFixedSize(DpiSkalieren(594, 96), DpiSkalieren(436, 96));
}

void TfrmGehezu::FormCreate()
{
    setFont(QApplication::font("QMenu"));
}

void TfrmGehezu::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    if (!ereignis->spontaneous())
        FormActivate();
}

void TfrmGehezu::FormActivate()
{
    lbGeheZu->setUpdatesEnabled(false);
    {
        const QSignalBlocker sperre(lbGeheZu);
        lbGeheZu->clear();
        lbGeheZu->addItems(BildListe);
    }
    lbGeheZu->setUpdatesEnabled(true);
    if (BildIndex >= 0 && BildIndex < lbGeheZu->count()) {
        lbGeheZu->setCurrentRow(BildIndex);
        lbGeheZu->scrollToItem(lbGeheZu->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    lbGeheZuClick();
}

void TfrmGehezu::lbGeheZuClick()
{
    lblBildNr->setText(QStringLiteral("Bild ") + QString::number(lbGeheZu->currentRow() + 1) + QStringLiteral(" von ")
                       + QString::number(lbGeheZu->count()));
}

void TfrmGehezu::btnOkClick()
{
    // With no entry chosen the list has nothing to go to.
    const int zeile = lbGeheZu->currentRow();
    if (zeile < 0 || zeile >= lbGeheZu->count() || !lbGeheZu->currentItem()->isSelected())
        return;
    BildIndex = zeile;
    accept();
}

bool TfrmGehezu::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == lbGeheZu->viewport() && ereignis->type() == QEvent::ToolTip)
        return ApplicationEvents1ShowHint(static_cast<QHelpEvent*>(ereignis));
    return QDialog::eventFilter(objekt, ereignis);
}

bool TfrmGehezu::ApplicationEvents1ShowHint(QHelpEvent* ereignis)
{
    return ListenHinweisZeigen(lbGeheZu, ereignis);
}
