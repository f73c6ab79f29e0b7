#include "Vollbild.h"
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Symbole.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Runden.h"
#include "widgets/PngImageList.h"

TfrmVollbild* frmVollbild = nullptr;
bool VollbildEinpassen = true;
double VollbildZoom = 1.0;
bool VollbildSperre = false;
int VollbildMausX = 0, VollbildMausY = 0;
bool AutoShowLaeuft = false;
bool VollbildZeigtHauptbild = true;
bool VollbildBearbeitetFreigegeben = false;
std::function<int()> VollbildGehezuZeigen;

namespace {

bool GueltigerIndex()
{
    return BildIndex >= 0 && BildIndex < BildListe.size();
}

} // namespace

TfrmVollbild::TfrmVollbild(QWidget* parent) : QDialog(parent)
{
    FormCreate();
}

TfrmVollbild::~TfrmVollbild()
{
    if (frmVollbild == this)
        frmVollbild = nullptr;
}

void TfrmVollbild::FormCreate()
{
    frmVollbild = this;
    setObjectName(QStringLiteral("frmVollbild"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFont(QApplication::font("QMenu"));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    VAnzeigeBild = new TAnzeigeBild(this);
    VAnzeigeBild->setObjectName(QStringLiteral("VAnzeigeBild"));
    VAnzeigeBild->setFocusPolicy(Qt::NoFocus);
    GearV = new TGear(this);
    VAnzeigeTimer = new QTimer(this);
    VAnzeigeTimer->setInterval(150);
    VAnzeigeTimer->setSingleShot(false);
    connect(VAnzeigeTimer, &QTimer::timeout, this, &TfrmVollbild::VAnzeigeTimerTimer);
    connect(VAnzeigeBild, &TAnzeigeBild::DoppelKlick, this, &TfrmVollbild::popVEinpassenClick);
    connect(VAnzeigeBild, &TAnzeigeBild::MausGedrueckt, this, &TfrmVollbild::VAnzeigeBildMouseDown);
    connect(VAnzeigeBild, &TAnzeigeBild::MausBewegt, this, &TfrmVollbild::VAnzeigeBildMouseMove);

    PopupVoll = new QMenu(this);
    PopupVoll->setObjectName(QStringLiteral("PopupVoll"));
    auto eintrag = [this](const char* name, const QString& text, void (TfrmVollbild::*klick)()) {
        auto* a = PopupVoll->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, klick);
        return a;
    };
    popVAutoShow = eintrag("popVAutoShow", QStringLiteral("Auto-Show starten  (S-Taste)"),
                           &TfrmVollbild::popVAutoShowClick);
    PopupVoll->addSeparator();
    popVEinpassen = eintrag("popVEinpassen", QStringLiteral("Einpassen  Ein/Aus  (Einfg oder Doppelklick)"),
                            &TfrmVollbild::popVEinpassenClick);
    PopupVoll->addSeparator();
    popVInfo = eintrag("popVInfo", QStringLiteral("Bildinfo..."), &TfrmVollbild::popVInfoClick);
    // It stands for the main window's image-information command and shows its menu icon.
    if (const TPngImageList* liste = MenueBilderListe())
        popVInfo->setIcon(liste->Icon(symInfo));
    PopupVoll->addSeparator();
    popVGehezu = eintrag("popVGehezu", QStringLiteral("Gehe zu..."), &TfrmVollbild::popVGehezuClick);
    popVBildVor = eintrag("popVBildVor", QStringLiteral("Bild vor  (Pfeil rechts)"), &TfrmVollbild::popVBildVorClick);
    popVBildZuruck = eintrag("popVBildZuruck", QStringLiteral("Bild zurück  (Pfeil links)"),
                             &TfrmVollbild::popVBildZuruckClick);
    PopupVoll->addSeparator();
    popVSchliessen = eintrag("popVSchliessen", QStringLiteral("Vollbild schließen  (Leertaste oder Esc)"),
                             &TfrmVollbild::popVSchliessenClick);
    PopupVoll->addSeparator();
    popVBildEnde = eintrag("popVBildEnde", QStringLiteral("Programm beenden"), &TfrmVollbild::popVBildEndeClick);
}

// ---- Showing -------------------------------------------------------------------

void TfrmVollbild::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    FormShow();
}

void TfrmVollbild::FormShow()
{
    m_schliesst = false;
    m_gedrueckt.clear();
    if (QScreen* bildschirm = screen())
        setGeometry(bildschirm->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
    QPalette farben = palette();
    farben.setColor(QPalette::Window, QColor(HgFarbeRgb()));
    setPalette(farben);
    if (frmZelvanoMain)
        VOriginalBild.Assign(frmZelvanoMain->OriginalBild);
    VollbildZeigtHauptbild = true;
    m_hauptKommentar = AktKommentar;
    m_hauptDatum = AktDateiDatum;
    if (frmZelvanoMain && frmZelvanoMain->mDatInfo)
        popVInfo->setText(frmZelvanoMain->mDatInfo->text());
    VollbildEinpassen = true;
    VollbildZoom = 1.0;
    VAnzeigeBild->SetBild(VOriginalBild.Bild());
    SetVollBild();
    setCursor(Qt::BlankCursor);
    VAnzeigeBild->setCursor(Qt::BlankCursor);
    VollbildMenueSetzen();
    raise();
    activateWindow();
    setFocus();
}

bool TfrmVollbild::event(QEvent* ereignis)
{
    const bool ergebnis = QDialog::event(ereignis);
    // Run outside the activation itself: the show loop waits inside.
    if (ereignis->type() == QEvent::WindowActivate)
        QMetaObject::invokeMethod(this, &TfrmVollbild::FormActivate, Qt::QueuedConnection);
    // A key that goes down here and comes up in another window is over.
    if (ereignis->type() == QEvent::WindowDeactivate)
        m_gedrueckt.clear();
    return ergebnis;
}

void TfrmVollbild::FormActivate()
{
    if (AutoShowStarten && isVisible() && !m_schliesst)
        popVAutoShowClick();
}

void TfrmVollbild::resizeEvent(QResizeEvent* ereignis)
{
    QDialog::resizeEvent(ereignis);
    // The full-screen size arrives after the window shows.
    if (isVisible())
        SetVollBild();
}

// ---- Loading and layout --------------------------------------------------------

void TfrmVollbild::LadeVollBild(const QString& datei)
{
    LadeGearBild(*GearV, datei);
    if (GearV->ImageHeight() < 1) {
        VollbildSperre = false;
        return;
    }
    GearZuBitmap(*GearV, VOriginalBild);
    VollbildZeigtHauptbild = false;
    VollbildSperre = false;
    VollbildZoom = 1.0;
    VAnzeigeBild->SetBild(VOriginalBild.Bild());
    SetVollBild();
    BildQuelle = BildQuelleDatei;
    VollbildMenueSetzen();
    QCoreApplication::processEvents();
}

void TfrmVollbild::GammaAnwenden(TBitmap& bild) const
{
    if (AnzeigeGamma != 0 && BildFarbtiefe == 24)
        BitmapDichte(bild, AnzeigeGamma);
}

void TfrmVollbild::SetVollBild()
{
    const int cw = width(), ch = height();
    if (VOriginalBild.IsEmpty() || VollbildSperre || cw * ch == 0)
        return;
    VollbildSperre = true;
    const int W = VOriginalBild.Width(), H = VOriginalBild.Height();
    long double ex = 0.5L, ey = 0.5L;
    int breite, hoehe;
    if (VollbildEinpassen) {
        if (W > cw || H > ch) {
            const long double r = (long double)W / H;
            if (r > (long double)cw / ch) {
                breite = cw;
                hoehe = Runden(cw / r);
                VollbildZoom = double((long double)cw / W);
            } else {
                hoehe = ch;
                breite = Runden(r * ch);
                VollbildZoom = double((long double)ch / H);
            }
        } else {
            breite = W;
            hoehe = H;
            VollbildZoom = 1.0;
        }
    } else {
        // The image point now in the middle of the window stays there.
        const QRect alt = VAnzeigeBild->geometry();
        if (alt.width() > 0)
            ex = ((long double)cw / 2 - alt.left()) / alt.width();
        if (alt.height() > 0)
            ey = ((long double)ch / 2 - alt.top()) / alt.height();
        breite = Runden((long double)W * VollbildZoom);
        hoehe = Runden((long double)H * VollbildZoom);
    }
    breite = std::max(2, breite);
    hoehe = std::max(2, hoehe);
    auto lage = [](int client, int groesse, long double e) {
        if (client < groesse)
            return std::max(client - groesse, std::min(Runden((long double)client / 2 - groesse * e), 0));
        return Runden((long double)(client - groesse) / 2);
    };
    VAnzeigeBild->setGeometry(lage(cw, breite, ex), lage(ch, hoehe, ey), breite, hoehe);

    if (VollbildZoom >= 1) {
        // The stretching picture enlarges the full bitmap itself.
        TBitmap bild(VOriginalBild);
        GammaAnwenden(bild);
        VAnzeigeBild->SetBild(bild.Bild());
    } else if (!VAnzeigeTimer->isActive()) {
        // Meanwhile the current picture shows stretched to the new size.
        VAnzeigeTimer->start();
    }
    QCoreApplication::processEvents();
    VollbildSperre = false;
}

void TfrmVollbild::VAnzeigeTimerTimer()
{
    VAnzeigeTimer->stop();
    if (VOriginalBild.IsEmpty())
        return;
    TBitmap klein;
    BitmapVerkleinern(VOriginalBild, klein, VAnzeigeBild->width(), VAnzeigeBild->height());
    GammaAnwenden(klein);
    VAnzeigeBild->SetBild(klein.Bild());
}

// ---- Mouse ---------------------------------------------------------------------

void TfrmVollbild::VAnzeigeBildMouseDown(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int X, int Y)
{
    VollbildMausX = X;
    VollbildMausY = Y;
}

void TfrmVollbild::VAnzeigeBildMouseMove(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y)
{
    if (VollbildSperre || !VAnzeigeBild->HatBild())
        return;
    // Exactly the left or exactly the middle button, and no Shift, Ctrl or Alt.
    if (knoepfe != Qt::LeftButton && knoepfe != Qt::MiddleButton)
        return;
    if (umschalt & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return;
    const int cw = width(), ch = height();
    QRect g = VAnzeigeBild->geometry();
    if (cw < g.width())
        g.moveLeft(std::clamp(g.left() + (X - VollbildMausX), cw - g.width(), 0));
    if (ch < g.height())
        g.moveTop(std::clamp(g.top() + (Y - VollbildMausY), ch - g.height(), 0));
    VAnzeigeBild->move(g.topLeft());
}

void TfrmVollbild::wheelEvent(QWheelEvent* ereignis)
{
    bool handled = false;
    FormMouseWheel(ereignis->angleDelta().y(), mapFromGlobal(ereignis->globalPosition().toPoint()), handled);
    ereignis->setAccepted(handled);
}

void TfrmVollbild::FormMouseWheel(int wheelDelta, const QPoint& mausPos, bool& handled)
{
    if (!rect().contains(mausPos) || wheelDelta == 0)
        return;
    VollbildEinpassen = false;
    double z = VollbildZoom;
    if (wheelDelta > 0)
        z = z + z / 6;
    else
        z = z - z / 8;
    if (z > 0.92 && z < 1.08)
        z = 1.0;
    if (z < 0.05)
        z = 0.05;
    if (z > 10)
        z = 10.0;
    VollbildZoom = z;
    SetVollBild();
    handled = true;
}

void TfrmVollbild::contextMenuEvent(QContextMenuEvent* ereignis)
{
    PopupVoll->popup(ereignis->globalPos());
    ereignis->accept();
}

// ---- Keys ----------------------------------------------------------------------

void TfrmVollbild::keyPressEvent(QKeyEvent* ereignis)
{
    // Keys act on release; the press must not reach the dialog's own Esc.
    ereignis->accept();
    // A key held down in a dialog that has just closed repeats here.
    if (!ereignis->isAutoRepeat())
        m_gedrueckt.insert(ereignis->key());
}

void TfrmVollbild::keyReleaseEvent(QKeyEvent* ereignis)
{
    ereignis->accept();
    if (ereignis->isAutoRepeat() || !m_gedrueckt.remove(ereignis->key()))
        return;
    int taste = ereignis->key();
    FormKeyUp(taste, ereignis->modifiers());
}

void TfrmVollbild::FormKeyUp(int& taste, Qt::KeyboardModifiers umschalt)
{
    const int code = taste;
    taste = 0;
    if (code == Qt::Key_S) {
        popVAutoShowClick();
        return;
    }
    if (AutoShowLaeuft)
        return;
    switch (code) {
    case Qt::Key_Down: PopupVoll->popup(QPoint(0, 0)); break;
    case Qt::Key_Right: popVBildVorClick(); break;
    case Qt::Key_Left: popVBildZuruckClick(); break;
    case Qt::Key_Insert:
    case Qt::Key_Minus: popVEinpassenClick(); break;
    case Qt::Key_0:
        // Only the 0 of the numeric pad, not the one above the letters.
        if (umschalt & Qt::KeypadModifier)
            popVEinpassenClick();
        break;
    case Qt::Key_Space:
    case Qt::Key_Escape: popVSchliessenClick(); break;
    default: break;
    }
}

// ---- Pop-up items --------------------------------------------------------------

void VollbildMenueSetzen()
{
    TfrmVollbild* f = frmVollbild;
    if (!f)
        return;
    const int anzahl = int(BildListe.size());
    const bool frei = !AutoShowLaeuft;
    f->popVAutoShow->setText(AutoShowLaeuft ? QStringLiteral("Auto-Show stoppen  (S-Taste)")
                                            : QStringLiteral("Auto-Show starten  (S-Taste)"));
    f->popVAutoShow->setEnabled(anzahl > 1);
    f->popVEinpassen->setEnabled(frei);
    const bool infoDa = frmZelvanoMain && frmZelvanoMain->mDatInfo;
    f->popVInfo->setEnabled(frei && infoDa);
    f->popVGehezu->setEnabled(anzahl > 1 && frei && bool(VollbildGehezuZeigen));
    f->popVBildVor->setEnabled(BildIndex < anzahl - 1 && frei);
    f->popVBildZuruck->setEnabled(BildIndex > 0 && frei);
    f->popVSchliessen->setEnabled(frei);
    f->popVBildEnde->setEnabled(frei);
}

void TfrmVollbild::popVEinpassenClick()
{
    VollbildEinpassen = !VollbildEinpassen;
    if (!VollbildEinpassen)
        VollbildZoom = 1.0;
    VAnzeigeBild->SetBild(VOriginalBild.Bild());
    SetVollBild();
}

bool TfrmVollbild::HauptbildVerlassen()
{
    if (!VollbildZeigtHauptbild || !BildBearbeitet || VollbildBearbeitetFreigegeben || !frmZelvanoMain)
        return true;
    if (!frmZelvanoMain->AchtungBearbeitet())
        return false;
    VollbildBearbeitetFreigegeben = true;
    return true;
}

void TfrmVollbild::popVBildVorClick()
{
    if (BildIndex < BildListe.size() - 1 && BildIndex >= -1 && HauptbildVerlassen()) {
        ++BildIndex;
        LadeVollBild(BildListe.at(BildIndex));
    }
}

void TfrmVollbild::popVBildZuruckClick()
{
    if (BildIndex > 0 && BildIndex <= BildListe.size() && HauptbildVerlassen()) {
        --BildIndex;
        LadeVollBild(BildListe.at(BildIndex));
    }
}

void TfrmVollbild::popVGehezuClick()
{
    if (!VollbildGehezuZeigen || !HauptbildVerlassen())
        return;
    if (VollbildGehezuZeigen() == 1 && GueltigerIndex())
        LadeVollBild(BildListe.at(BildIndex));
}

void TfrmVollbild::popVInfoClick()
{
    if (!frmZelvanoMain || !frmZelvanoMain->mDatInfo)
        return;
    // The information describes the image shown here: after the view has
    // moved on, the main window takes that image first.
    if (!VollbildZeigtHauptbild && GueltigerIndex()) {
        frmZelvanoMain->BildAnzeigen();
        frmZelvanoMain->VollbildStartIndex = BildIndex;
        m_hauptKommentar = AktKommentar;
        m_hauptDatum = AktDateiDatum;
        VollbildZeigtHauptbild = true;
    }
    frmZelvanoMain->mDatInfo->trigger();
}

void TfrmVollbild::ShowPause()
{
    QElapsedTimer uhr;
    uhr.start();
    // In steps, so a stopped show or a closed view need not sit out the pause.
    while (AutoShowLaeuft && uhr.elapsed() < BildPause) {
        const qint64 rest = BildPause - uhr.elapsed();
        WarteMs(uint32_t(std::min<qint64>(rest, 100)));
    }
}

void TfrmVollbild::popVAutoShowClick()
{
    AutoShowLaeuft = !AutoShowLaeuft;
    MenuesSetzen();
    VollbildMenueSetzen();
    if (!AutoShowLaeuft)
        return;
    // Nothing to page through (an image pasted or scanned before any list).
    if (BildListe.isEmpty() || !HauptbildVerlassen()) {
        AutoShowLaeuft = false;
        MenuesSetzen();
        VollbildMenueSetzen();
        return;
    }
    ShowPause();
    while (AutoShowLaeuft && !m_schliesst) {
        const int anzahl = int(BildListe.size());
        if (BildIndex < anzahl - 1 && BildIndex >= -1) {
            ++BildIndex;
        } else if (Endlosschleife && anzahl > 0) {
            BildIndex = 0;
        } else {
            AutoShowLaeuft = false;
            VollbildMenueSetzen();
            break;
        }
        LadeVollBild(BildListe.at(BildIndex));
        ShowPause();
        QCoreApplication::processEvents();
    }
}

// ---- Closing -------------------------------------------------------------------

void TfrmVollbild::popVSchliessenClick()
{
    AutoShowLaeuft = false;
    GearV->DelImage();
    QCoreApplication::processEvents();
    done(QDialog::Accepted);
}

void TfrmVollbild::popVBildEndeClick()
{
    ProgrammBeenden = true;
    popVSchliessenClick();
}

void TfrmVollbild::reject()
{
    // Closing by the window system goes the way of the close item.
    if (!m_schliesst)
        popVSchliessenClick();
}

void TfrmVollbild::done(int ergebnis)
{
    m_schliesst = true;
    AutoShowLaeuft = false;
    VAnzeigeTimer->stop();
    VollbildBearbeitetFreigegeben = false;
    // Loads here recorded their files' facts; the main window's image keeps its own.
    AktKommentar = m_hauptKommentar;
    AktDateiDatum = m_hauptDatum;
    QDialog::done(ergebnis);
}
