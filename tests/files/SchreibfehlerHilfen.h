// For the tests that make the safe replacement fail: the step hook for the
// life of one block, and a small real disk that can be filled up.
#pragma once
#include "TestHilfen.h"
#include "gear/SicherErsetzen.h"
#include "Testnaht.h"
#include <QFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/fsuid.h>
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
    // Mounts the disk again read-only, as a locked card or a write-protected share.
    bool Schreibschuetzen() const
    {
        return ::mount("tmpfs", m_punkt8.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") == 0;
    }

    const QString punkt;
    bool bereit = false;

private:
    QString Fueller() const { return punkt + QStringLiteral("/fueller"); }
    const QByteArray m_punkt8;
};

// For one block this thread meets file modes as an ordinary user does: root
// gives up its override through another file-system user id. wirkt says
// whether a folder without write permission (ordner) then refuses a new file.
class TOhneSonderrechte {
public:
    explicit TOhneSonderrechte(const QString& ordner) : m_root(::geteuid() == 0)
    {
        if (m_root)
            ::setfsuid(65534);
        const QByteArray probe = QFile::encodeName(ordner + QStringLiteral("/probe"));
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        wirkt = fd < 0 && (errno == EACCES || errno == EPERM);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
        }
    }
    ~TOhneSonderrechte()
    {
        if (m_root)
            ::setfsuid(0);
    }
    bool wirkt = false;

private:
    const bool m_root;
};
