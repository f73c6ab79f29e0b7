// The type lists of the file windows and the depth shapes beside them.
#include "TypListe.h"
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include "Global.h"
#include "pixelops/Farbwert.h"
#include "widgets/PngFunctions.h"
#include "widgets/PngImageList.h"
#include <algorithm>

namespace {

constexpr int ZustandsbildRolle = Qt::UserRole + 1;
constexpr int GewaehltZustandsbild = 11;
constexpr int StreifenFarbe = 14940671;

// Draws the cells of a type list: the row's shade (its background), grid
// lines, and the mark of the chosen row fitted into the first column. The
// mark is drawn, not an icon, so the chosen row keeps the others' height.
class TTypZeilenMaler : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* maler, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        QStyle* stil = widget ? widget->style() : QApplication::style();
        stil->drawControl(QStyle::CE_ItemViewItem, &opt, maler, widget);

        maler->save();
        if (index.column() == 0 && index.data(ZustandsbildRolle).toInt() == GewaehltZustandsbild)
            MarkeZeichnen(maler, opt);
        maler->setPen(opt.palette.color(QPalette::Midlight));
        maler->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
        maler->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
        maler->restore();
    }

private:
    // State image 11 of the menu icon list, fitted into the cell.
    static void MarkeZeichnen(QPainter* maler, const QStyleOptionViewItem& opt)
    {
        const TPNGObject marke = PngAusListe(MenueBilderListe(), GewaehltZustandsbild);
        if (marke.Empty())
            return;
        const int seite = std::min({opt.rect.width(), opt.rect.height(), marke.Width()});
        QRect ziel(0, 0, seite, seite);
        ziel.moveCenter(opt.rect.center());
        DrawPngWithOptions(marke, *maler, ziel, 0);
    }
};

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

void TypListeMalen(QTreeWidget* liste)
{
    liste->setItemDelegate(new TTypZeilenMaler(liste));
}

void TypZeilenFaerben(QTreeWidget* liste, const std::function<QColor(int)>& grund)
{
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        const QColor farbe = grund(i);
        if (!farbe.isValid())
            continue;
        for (int spalte = 0; spalte < liste->columnCount(); ++spalte)
            liste->topLevelItem(i)->setBackground(spalte, farbe);
    }
}

QTreeWidget* TypListeAnlegen(QWidget* eltern)
{
    auto* liste = new QTreeWidget(eltern);
    liste->setObjectName(QStringLiteral("lvSaveTyp"));
    liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    liste->setSelectionMode(QAbstractItemView::SingleSelection);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TypListeMalen(liste);
    liste->setMinimumWidth(220);
    return liste;
}

void TypListeFuellen(QTreeWidget* liste, const std::function<QColor(int)>& grund)
{
    FormatListeFuellen(liste, 0, false, false);
    TypZeilenFaerben(liste, grund);
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
    const QVariant wert = eintrag ? eintrag->data(0, ZustandsbildRolle) : QVariant();
    return wert.isValid() ? wert.toInt() : -1;
}

void TypZeileMarkieren(QTreeWidget* liste, QTreeWidgetItem* eintrag)
{
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        liste->topLevelItem(i)->setData(0, ZustandsbildRolle, -1);
    eintrag->setData(0, ZustandsbildRolle, GewaehltZustandsbild);
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
