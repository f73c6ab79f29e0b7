#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include "widgets/Warten.h"

// The result comes from a message (as a worker's does through the queue):
// a wait that did not hand out messages would never end.
TEST(Warten, HandeltNachrichtenAusBisDasErgebnisDaIst)
{
    bool da = false;
    int gefragt = 0;
    QTimer::singleShot(30, [&] { da = true; });
    MitNachrichtenWarten([&] {
        ++gefragt;
        return da;
    });
    EXPECT_TRUE(da);
    EXPECT_GT(gefragt, 1);
}

// What is there already is taken at once, before any message is handled.
TEST(Warten, FertigesErgebnisKommtOhneNachrichten)
{
    bool gelaufen = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { gelaufen = true; }, Qt::QueuedConnection);
    MitNachrichtenWarten([] { return true; });
    EXPECT_FALSE(gelaufen);
    QCoreApplication::processEvents();
    EXPECT_TRUE(gelaufen);
}
