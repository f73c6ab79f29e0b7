// The imaging control's scanner members, forwarding to the SANE back-end.
#include "Gear.h"
#include <QApplication>
#include <QWidget>
#include "GearScan.h"

// Dialogs of the scan belong to the window that owns the control, else to
// whatever window is active.
static QWidget* ScanEltern(const QObject* gear)
{
    for (QObject* o = gear->parent(); o; o = o->parent())
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->window();
    return QApplication::activeWindow();
}

void TGear::ScanOpenSource()
{
    m_scanFehler.clear();
    QString gewaehlt = m_scanGeraet;
    QString fehler;
    if (GearScanQuelleWaehlen(ScanEltern(this), gewaehlt, fehler))
        m_scanGeraet = gewaehlt;
    else
        m_scanFehler = fehler;
}

void TGear::SetScanShowUI(bool an)
{
    m_scanShowUI = an;
}

bool TGear::ScanShowUI() const
{
    return m_scanShowUI;
}

QString TGear::ScanFehler() const
{
    return m_scanFehler;
}

void TGear::ScanAcquire()
{
    m_scanFehler.clear();
    DelImage();
    BeginneVorgang();
    MeldeFortschritt(0);
    TGearSeite seite;
    QString fehler;
    const bool ok = GearScannen(m_scanGeraet, m_scanShowUI, ScanEltern(this), seite, fehler, Fortschritt());
    if (ok && !seite.Leer() && (seite.bpp == 1 || seite.bpp == 8 || seite.bpp == 24)) {
        m_seiten.push_back(std::move(seite));
        m_seite = 0;
        m_typ = QStringLiteral("UNKNOWN");
        m_kompression = QStringLiteral("UNCOMPRESSED");
        m_errCount = 0;
    } else {
        m_scanFehler = ok ? QStringLiteral("Der Scanner lieferte kein verwendbares Bild.") : fehler;
    }
    MeldeFortschritt(100);
}
