// Shared helpers that ask the desktop: the screens a window is restored onto.
#include "Global.h"
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <algorithm>

QRect FensterAufBildschirm(const QRect& grenzen)
{
    // A window smaller than the minimum counts as reachable when it lies on a screen whole.
    const int mindestBreite = std::min(100, grenzen.width());
    const int mindestHoehe = std::min(50, grenzen.height());
    for (const QScreen* schirm : QGuiApplication::screens()) {
        const QRect teil = grenzen.intersected(schirm->geometry());
        if (!teil.isEmpty() && teil.width() >= mindestBreite && teil.height() >= mindestHoehe)
            return grenzen;
    }
    const QScreen* haupt = QGuiApplication::primaryScreen();
    if (!haupt)
        return grenzen;
    const QRect arbeit = haupt->availableGeometry();
    QRect neu(grenzen.topLeft(), grenzen.size().boundedTo(arbeit.size()));
    neu.moveLeft(std::clamp(neu.left(), arbeit.left(), arbeit.right() + 1 - std::max(0, neu.width())));
    neu.moveTop(std::clamp(neu.top(), arbeit.top(), arbeit.bottom() + 1 - std::max(0, neu.height())));
    return neu;
}
