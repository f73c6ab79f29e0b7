#include "ListenHinweis.h"
#include <QHelpEvent>
#include <QListWidget>
#include <QToolTip>

bool ListenHinweisZeigen(QListWidget* liste, QHelpEvent* ereignis)
{
    QWidget* flaeche = liste->viewport();
    const QListWidgetItem* eintrag = liste->itemAt(ereignis->pos());
    const QString text = eintrag ? eintrag->text() : QString();
    if (!eintrag || liste->fontMetrics().horizontalAdvance(text) < flaeche->width()) {
        QToolTip::hideText();
        ereignis->ignore();
        return true;
    }
    const QRect rechteck = liste->visualItemRect(eintrag);
    QToolTip::showText(flaeche->mapToGlobal(QPoint(0, rechteck.top())), text, flaeche, rechteck);
    return true;
}
