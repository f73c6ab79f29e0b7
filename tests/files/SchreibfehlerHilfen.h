// For the tests that make the safe replacement fail: the step hook for the
// life of one block, and a small real disk that can be filled up.
#pragma once
#include "TestHilfen.h"
#include "files/SicherErsetzen.h"
#include <QFile>
#include <QString>
#include <algorithm>
#include <sys/mount.h>
#include <unistd.h>

struct THaken {
    explicit THaken(TErsetzenHaken h) { SicherErsetzenHakenSetzen(std::move(h)); }
    ~THaken() { SicherErsetzenHakenSetzen({}); }
};

inline const TErsetzenSchritt AlleSchritte[] = {
    TErsetzenSchritt::Anlegen, TErsetzenSchritt::Schreiben, TErsetzenSchritt::Rechte, TErsetzenSchritt::Zeiten,
    TErsetzenSchritt::Sync,    TErsetzenSchritt::Schliessen, TErsetzenSchritt::Umbenennen,
};

// A 1 MB tmpfs on a fresh folder, only where this process may mount one.
class TKleinePlatte {
public:
    TKleinePlatte() : punkt(FrischerOrdner(QStringLiteral("tmpfs"))), m_punkt8(QFile::encodeName(punkt))
    {
        bereit = ::geteuid() == 0 && ::mount("tmpfs", m_punkt8.constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~TKleinePlatte()
    {
        if (bereit)
            ::umount2(m_punkt8.constData(), MNT_DETACH);
    }
    // Fills the disk, then gives back 4 KB: a write starts and then fails.
    bool Fuellen() const
    {
        QFile f(Fueller());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) {
        }
        f.close();
        return f.resize(std::max<qint64>(0, f.size() - 4096));
    }
    void Leeren() const { QFile::remove(Fueller()); }

    const QString punkt;
    bool bereit = false;

private:
    QString Fueller() const { return punkt + QStringLiteral("/fueller"); }
    const QByteArray m_punkt8;
};
