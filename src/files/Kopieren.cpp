// One file copied without ever leaving a half-written target.
#include "Kopieren.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <memory>
#include "gear/SicherErsetzen.h"

bool DateiKopieren(const QString& quelle, const QString& ziel, bool mitFortschritt)
{
    QFile ein(quelle);
    if (!QFileInfo(quelle).isFile() || !ein.open(QIODevice::ReadOnly))
        return false;
    std::unique_ptr<QProgressDialog> fortschritt;
    if (mitFortschritt) {
        fortschritt = std::make_unique<QProgressDialog>(QStringLiteral("Kopieren..."), QString(), 0, 1000);
        fortschritt->setWindowTitle(QStringLiteral("Kopieren..."));
        fortschritt->setMinimumDuration(500);
    }
    const qint64 gesamt = std::max<qint64>(1, ein.size());
    QString grund;
    return DateiSicherErsetzen(
        ziel,
        [&](QIODevice& aus, QString& fehler) {
            qint64 kopiert = 0;
            QByteArray block;
            while (!(block = ein.read(1 << 20)).isEmpty()) {
                if (aus.write(block) != block.size())
                    return false;
                kopiert += block.size();
                if (fortschritt) {
                    fortschritt->setValue(int(kopiert * 1000 / gesamt));
                    QCoreApplication::processEvents();
                }
            }
            if (ein.error() != QFileDevice::NoError) {
                fehler = ein.errorString();
                return false;
            }
            return true;
        },
        grund, TZeitenBehalten::Neu);
}
