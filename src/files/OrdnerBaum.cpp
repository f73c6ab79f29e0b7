#include "OrdnerBaum.h"
#include <QDir>
#include <QFileSystemModel>
#include <QPersistentModelIndex>
#include <QTreeView>

namespace {

// Lives beside the tree: remembers the folder to keep in view.
class TBaumFolger : public QObject {
public:
    TBaumFolger(QTreeView* baum, QFileSystemModel* modell) : QObject(baum), m_baum(baum), m_modell(modell)
    {
        setObjectName(QStringLiteral("BaumFolger"));
        connect(modell, &QFileSystemModel::directoryLoaded, this, &TBaumFolger::Geladen);
        // The model sorts a loaded folder's rows a moment later.
        connect(modell, &QAbstractItemModel::layoutChanged, this, &TBaumFolger::Sortiert);
    }

    void Folgen(const QString& pfad)
    {
        m_pfad = pfad;
        m_ziel = m_modell->index(pfad);
        m_sortierungAbwarten = false;
        Zeigen();
    }

private:
    void Geladen(const QString& ordner)
    {
        if (m_pfad.isEmpty() || !m_ziel.isValid() || m_baum->currentIndex() != QModelIndex(m_ziel)) {
            m_pfad.clear();
            return;
        }
        // Only folders on the way to the target move its row.
        const QString geladen = QDir::cleanPath(ordner);
        const bool aufDemWeg = geladen == m_pfad || geladen == QStringLiteral("/")
                               || m_pfad.startsWith(geladen + QLatin1Char('/'));
        if (aufDemWeg) {
            m_sortierungAbwarten = true;
            Zeigen();
        }
    }

    void Sortiert()
    {
        if (!m_sortierungAbwarten)
            return;
        m_sortierungAbwarten = false;
        if (m_ziel.isValid() && m_baum->currentIndex() == QModelIndex(m_ziel))
            Zeigen();
    }

    void Zeigen()
    {
        if (!m_ziel.isValid())
            return;
        for (QModelIndex vorfahr = m_ziel.parent(); vorfahr.isValid(); vorfahr = vorfahr.parent())
            m_baum->expand(vorfahr);
        m_baum->scrollTo(m_ziel, QAbstractItemView::PositionAtCenter);
    }

    QTreeView* m_baum;
    QFileSystemModel* m_modell;
    QString m_pfad;
    QPersistentModelIndex m_ziel;
    bool m_sortierungAbwarten = false;
};

} // namespace

QTreeView* OrdnerBaumAnlegen(QWidget* eltern, QFileSystemModel*& modell, bool ohneWurzelZeile)
{
    modell = new QFileSystemModel(eltern);
    modell->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    modell->setRootPath(QStringLiteral("/"));
    auto* baum = new QTreeView(eltern);
    baum->setObjectName(QStringLiteral("ShellTreeView1"));
    baum->setModel(modell);
    for (int spalte = 1; spalte < modell->columnCount(); ++spalte)
        baum->hideColumn(spalte);
    baum->setHeaderHidden(true);
    baum->setSelectionMode(QAbstractItemView::SingleSelection);
    baum->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (ohneWurzelZeile)
        baum->setRootIndex(modell->index(QStringLiteral("/")));
    return baum;
}

bool OrdnerBaumZeigen(QTreeView* baum, QFileSystemModel* modell, const QString& pfad)
{
    if (!baum || !modell)
        return false;
    const QString sauber = QDir::cleanPath(pfad);
    const QModelIndex ziel = modell->index(sauber);
    if (!ziel.isValid())
        return false;
    // Only this file makes objects of that name.
    QObject* vorhanden = baum->findChild<QObject*>(QStringLiteral("BaumFolger"), Qt::FindDirectChildrenOnly);
    auto* folger = vorhanden ? static_cast<TBaumFolger*>(vorhanden) : new TBaumFolger(baum, modell);
    baum->setCurrentIndex(ziel);
    folger->Folgen(sauber);
    return true;
}

QString OrdnerBaumPfad(const QTreeView* baum, const QFileSystemModel* modell)
{
    if (!baum || !modell)
        return {};
    const QModelIndex aktuell = baum->currentIndex();
    return aktuell.isValid() ? modell->filePath(aktuell) : QString();
}
