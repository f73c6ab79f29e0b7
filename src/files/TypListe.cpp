// The type lists of the file windows and the depth shapes beside them.
#include "TypListe.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include "Global.h"
#include "pixelops/Farbwert.h"
#include "widgets/PngImageList.h"

namespace {

constexpr int ZustandsbildRolle = Qt::UserRole + 1;
constexpr int GewaehltZustandsbild = 11;
constexpr int StreifenFarbe = 14940671;

// Draws the rows of a type list on their stripe colour, with grid lines.
class TTypZeilenMaler : public QStyledItemDelegate {
public:
    TTypZeilenMaler(std::function<QColor(int)> grund, QObject* parent)
        : QStyledItemDelegate(parent), m_grund(std::move(grund)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QColor grund = m_grund(index.row());
        if (grund.isValid() && !(option.state & QStyle::State_Selected))
            p->fillRect(option.rect, grund);
        QStyledItemDelegate::paint(p, option, index);
        p->save();
        p->setPen(QColor(208, 208, 208));
        p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->restore();
    }

private:
    std::function<QColor(int)> m_grund;
};

QIcon TypMarkierung()
{
    const TPngImageList* liste = MenueBilderListe();
    return liste ? liste->Icon(GewaehltZustandsbild) : QIcon();
}

} // namespace

// ======================================================================
// The depth shapes
// ======================================================================

TShape::TShape(QWidget* parent) : QWidget(parent)
{
    setFixedSize(14, 14);
}

void TShape::SetFarben(const QColor& pinsel, const QColor& stift)
{
    m_pinsel = pinsel;
    m_stift = stift;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(m_stift);
    p.setBrush(m_pinsel);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QHBoxLayout* TiefenFormenAnlegen(QWidget* eltern, TShape*& shp24, TShape*& shp8, TShape*& shp4, TShape*& shp1)
{
    auto* tiefen = new QHBoxLayout;
    auto tiefe = [eltern, tiefen](const char* name, const char* label, const QString& text) {
        auto* s = new TShape(eltern);
        s->setObjectName(QLatin1String(name));
        auto* l = new QLabel(text, eltern);
        l->setObjectName(QLatin1String(label));
        tiefen->addWidget(s);
        tiefen->addWidget(l);
        tiefen->addSpacing(8);
        return s;
    };
    shp24 = tiefe("shp24Bit", "lblBit24", QStringLiteral("24 Bit"));
    shp8 = tiefe("shp8Bit", "lblBit8", QStringLiteral("8 Bit"));
    shp4 = tiefe("shp4Bit", "lblBit4", QStringLiteral("4 Bit"));
    shp1 = tiefe("shp1Bit", "lblBit1", QStringLiteral("1 Bit"));
    tiefen->addStretch(1);
    return tiefen;
}

void TiefenFormenSetzen(TShape* shp24, TShape* shp8, TShape* shp4, TShape* shp1, const QString& schluessel)
{
    const QColor rot = QColor(FarbwertZuRgb(255)), rotRand = QColor(FarbwertZuRgb(128));
    const QColor gruen = QColor(FarbwertZuRgb(65280)), gruenRand = QColor(FarbwertZuRgb(32768));
    TShape* formen[4] = {shp24, shp8, shp4, shp1};
    for (TShape* s : formen)
        s->SetFarben(rot, rotRand);
    const QString flaggen = FormatFarbtiefen(schluessel);
    for (int i = 0; i < 4 && i < flaggen.size(); ++i)
        if (flaggen.at(i) == QLatin1Char('1'))
            formen[i]->SetFarben(gruen, gruenRand);
}

// ======================================================================
// Type lists
// ======================================================================

QColor TypZeilenFarbe(int index)
{
    if (index >= 0 && index % 2 == 0)
        return QColor(FarbwertZuRgb(StreifenFarbe));
    return {};
}

void TypListeMalen(QTreeWidget* liste, std::function<QColor(int)> grund)
{
    liste->setItemDelegate(new TTypZeilenMaler(std::move(grund), liste));
}

QTreeWidget* TypListeAnlegen(QWidget* eltern, std::function<QColor(int)> grund)
{
    auto* liste = new QTreeWidget(eltern);
    liste->setObjectName(QStringLiteral("lvSaveTyp"));
    liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    liste->setSelectionMode(QAbstractItemView::SingleSelection);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TypListeMalen(liste, std::move(grund));
    liste->setMinimumWidth(220);
    return liste;
}

void TypListeFuellen(QTreeWidget* liste)
{
    FormatListeFuellen(liste, 0, false, false);
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        liste->topLevelItem(i)->setData(0, ZustandsbildRolle, -1);
}

QString TypZeilenSchluessel(const QTreeWidgetItem* eintrag)
{
    return eintrag ? eintrag->text(1) + QLatin1Char(' ') + eintrag->text(2) : QString();
}

int TypZustandsbild(const QTreeWidget* liste, int index)
{
    const QTreeWidgetItem* eintrag = liste->topLevelItem(index);
    return eintrag ? eintrag->data(0, ZustandsbildRolle).toInt() : -1;
}

void TypZeileMarkieren(QTreeWidget* liste, QTreeWidgetItem* eintrag)
{
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* zeile = liste->topLevelItem(i);
        zeile->setData(0, ZustandsbildRolle, -1);
        zeile->setIcon(0, QIcon());
    }
    eintrag->setData(0, ZustandsbildRolle, GewaehltZustandsbild);
    eintrag->setIcon(0, TypMarkierung());
}

QTreeWidgetItem* TypZeileWaehlen(QTreeWidget* liste, const QString& schluessel, int ersatz)
{
    QTreeWidgetItem* gefunden = nullptr;
    for (int i = 0; i < liste->topLevelItemCount() && !gefunden; ++i)
        if (TypZeilenSchluessel(liste->topLevelItem(i)) == schluessel)
            gefunden = liste->topLevelItem(i);
    if (!gefunden)
        gefunden = liste->topLevelItem(ersatz);
    if (gefunden) {
        liste->blockSignals(true);
        liste->setCurrentItem(gefunden);
        gefunden->setSelected(true);
        liste->blockSignals(false);
        liste->scrollToItem(gefunden);
    }
    return gefunden;
}
