#include "Warten.h"
#include <QCoreApplication>

void MitNachrichtenWarten(const std::function<bool()>& fertig)
{
    while (!fertig())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
