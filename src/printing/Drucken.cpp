#include "Drucken.h"
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Runden.h"
#include "widgets/Numedit.h"

TfrmDrucken* frmDrucken = nullptr;

namespace {

QString Mm(double wert)
{
    return QLocale().toString(wert, 'f', 1);
}

void Pumpen()
{
    QCoreApplication::processEvents();
}

const TBitmap& Arbeitsbild()
{
    static const TBitmap leer;
    return frmZelvanoMain ? frmZelvanoMain->OriginalBild : leer;
}

QToolButton* Pfeil(QWidget* eltern, Qt::ArrowType richtung)
{
    auto* knopf = new QToolButton(eltern);
    knopf->setArrowType(richtung);
    knopf->setAutoRepeat(true);
    knopf->setFixedSize(18, 12);
    return knopf;
}

} // namespace

TfrmDrucken::TfrmDrucken(QWidget* parent) : TDruckFenster(parent)
{
    FormCreate();
}

TfrmDrucken::~TfrmDrucken()
{
    if (frmDrucken == this)
        frmDrucken = nullptr;
}

void TfrmDrucken::FormCreate()
{
    frmDrucken = this;
    setObjectName(QStringLiteral("frmDrucken"));
    setWindowTitle(QStringLiteral("Drucken"));
    setFont(QApplication::font("QMenu"));

    auto label = [](const QString& text, QWidget* eltern, const char* name) {
        auto* l = new QLabel(text, eltern);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto ned = [](QWidget* eltern, const char* maske, long double wert, bool entertaste) {
        auto* n = new TNumedit(eltern);
        n->SetEntertaste(entertaste);
        n->SetMatrix(QLatin1String(maske));
        n->SetWert(wert);
        n->setFixedWidth(60);
        return n;
    };

    pcDrucken = new QTabWidget(this);
    auto* seite1 = new QWidget;
    auto* seite2 = new QWidget;
    pcDrucken->addTab(seite1, QStringLiteral("Druckeinstellungen  "));
    pcDrucken->addTab(seite2, QStringLiteral("Seitenbeschriftung  "));

    // Print size
    gbDruckgroesse = new QGroupBox(QStringLiteral(" Druckgröße (Millimeter)"), seite1);
    lblDruckbreite = label(QStringLiteral("Breite ="), gbDruckgroesse, "lblDruckbreite");
    lblDruckhoehe = label(QStringLiteral("Höhe ="), gbDruckgroesse, "lblDruckhoehe");
    lblMassstab = label(QStringLiteral("Maßstab (%)"), gbDruckgroesse, "lblMassstab");
    nedFaktor = ned(gbDruckgroesse, "9999", 100, false);
    sbFaktorUp = Pfeil(gbDruckgroesse, Qt::UpArrow);
    sbFaktorDown = Pfeil(gbDruckgroesse, Qt::DownArrow);
    chkEinpassen = new QCheckBox(QStringLiteral("Einpassen"), gbDruckgroesse);
    {
        auto* g = new QGridLayout(gbDruckgroesse);
        g->addWidget(lblDruckbreite, 0, 0, 1, 3);
        g->addWidget(lblDruckhoehe, 1, 0, 1, 3);
        g->addWidget(lblMassstab, 2, 0);
        g->addWidget(nedFaktor, 2, 1);
        auto* pfeile = new QVBoxLayout;
        pfeile->setSpacing(0);
        pfeile->addWidget(sbFaktorUp);
        pfeile->addWidget(sbFaktorDown);
        g->addLayout(pfeile, 2, 2);
        g->addWidget(chkEinpassen, 3, 0, 1, 3);
    }

    // Paper
    gbPapier = new QGroupBox(QStringLiteral(" Papier (Millimeter) "), seite1);
    lblPapiergroesseBez = label(QStringLiteral("Papiergröße:"), gbPapier, "lblPapiergroesseBez");
    lblPapiergroesse = label(QString(), gbPapier, "lblPapiergroesse");
    lblDruckbereichBez = label(QStringLiteral("Bedruckbarer Bereich:"), gbPapier, "lblDruckbereichBez");
    lblDruckbereich = label(QString(), gbPapier, "lblDruckbereich");
    lblUnberuck = label(QStringLiteral("Der ausgewählte Drucker kann folgende Randbereiche nicht bedrucken:"),
                        gbPapier, "lblUnberuck");
    lblUnberuck->setWordWrap(true);
    lblUnberuckL = label(QStringLiteral("Links:"), gbPapier, "lblUnberuckL");
    lblUnberuckR = label(QStringLiteral("Rechts:"), gbPapier, "lblUnberuckR");
    lblUnberuckO = label(QStringLiteral("Oben:"), gbPapier, "lblUnberuckO");
    lblUnberuckU = label(QStringLiteral("Unten:"), gbPapier, "lblUnberuckU");
    lblRLinks = label(QString(), gbPapier, "lblRLinks");
    lblRRechts = label(QString(), gbPapier, "lblRRechts");
    lblROben = label(QString(), gbPapier, "lblROben");
    lblRUnten = label(QString(), gbPapier, "lblRUnten");
    for (QLabel* l : {lblPapiergroesseBez, lblDruckbereichBez, lblUnberuckL, lblUnberuckR, lblUnberuckO, lblUnberuckU}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    {
        auto* g = new QGridLayout(gbPapier);
        g->addWidget(lblPapiergroesseBez, 0, 0, 1, 2);
        g->addWidget(lblPapiergroesse, 0, 2, 1, 2);
        g->addWidget(lblDruckbereichBez, 1, 0, 1, 2);
        g->addWidget(lblDruckbereich, 1, 2, 1, 2);
        g->addWidget(lblUnberuck, 2, 0, 1, 4);
        g->addWidget(lblUnberuckL, 3, 0);
        g->addWidget(lblRLinks, 3, 1);
        g->addWidget(lblUnberuckR, 3, 2);
        g->addWidget(lblRRechts, 3, 3);
        g->addWidget(lblUnberuckO, 4, 0);
        g->addWidget(lblROben, 4, 1);
        g->addWidget(lblUnberuckU, 4, 2);
        g->addWidget(lblRUnten, 4, 3);
    }

    // Position
    gbDruckposition = new QGroupBox(QStringLiteral(" Druckposition (mm) "), seite1);
    lblLinks = label(QStringLiteral("von links:"), gbDruckposition, "lblLinks");
    lblOben = label(QStringLiteral("von oben:"), gbDruckposition, "lblOben");
    nedLinks = ned(gbDruckposition, "-999", 20, false);
    nedOben = ned(gbDruckposition, "-999", 20, false);
    chkZentrieren = new QCheckBox(QStringLiteral("Zentrieren"), gbDruckposition);
    {
        auto* g = new QGridLayout(gbDruckposition);
        g->addWidget(lblLinks, 0, 0);
        g->addWidget(nedLinks, 0, 1);
        g->addWidget(lblOben, 1, 0);
        g->addWidget(nedOben, 1, 1);
        g->addWidget(chkZentrieren, 2, 0, 1, 2);
    }

    // Orientation, copies, pages
    gbOrientierung = new QGroupBox(QStringLiteral(" Orientierung "), seite1);
    rbHochformat = new QRadioButton(QStringLiteral("Hochformat"), gbOrientierung);
    rbQuerformat = new QRadioButton(QStringLiteral("Querformat"), gbOrientierung);
    rbHochformat->setChecked(true);
    {
        auto* v = new QVBoxLayout(gbOrientierung);
        v->addWidget(rbHochformat);
        v->addWidget(rbQuerformat);
    }
    gbKopien = new QGroupBox(QStringLiteral(" Kopien "), seite1);
    lblAnzahl = label(QStringLiteral("Anzahl:"), gbKopien, "lblAnzahl");
    // Enter here moves on rather than print at once.
    nedKopien = ned(gbKopien, "99", 1, true);
    udKopienUp = Pfeil(gbKopien, Qt::UpArrow);
    udKopienDown = Pfeil(gbKopien, Qt::DownArrow);
    {
        auto* h = new QHBoxLayout(gbKopien);
        h->addWidget(lblAnzahl);
        h->addWidget(nedKopien);
        auto* pfeile = new QVBoxLayout;
        pfeile->setSpacing(0);
        pfeile->addWidget(udKopienUp);
        pfeile->addWidget(udKopienDown);
        h->addLayout(pfeile);
        h->addStretch();
    }
    gbMehrseitig = new QGroupBox(QStringLiteral(" Mehrseitige Bilder "), seite1);
    chkAlleSeiten = new QCheckBox(QStringLiteral("Alle Seiten drucken."), gbMehrseitig);
    chkAlleSeiten->setChecked(true);
    (new QVBoxLayout(gbMehrseitig))->addWidget(chkAlleSeiten);

    {
        auto* g = new QGridLayout(seite1);
        g->addWidget(gbDruckgroesse, 0, 0);
        g->addWidget(gbDruckposition, 0, 1);
        g->addWidget(gbPapier, 1, 0, 1, 2);
        g->addWidget(gbOrientierung, 2, 0);
        g->addWidget(gbKopien, 2, 1);
        g->addWidget(gbMehrseitig, 3, 0, 1, 2);
        g->setRowStretch(4, 1);
    }

    // Page title and captions
    BeschriftungAnlegen(seite2, false);
    {
        auto* v = new QVBoxLayout(seite2);
        v->addWidget(gbSeitentitel);
        v->addWidget(gbBeschriftung);
        v->addStretch();
    }

    // Preview: the sheet is placed by hand inside its frame.
    const int s = std::max(100, DpiSkalieren(310, 96));
    auto* vorschauFlaeche = new QWidget(this);
    vorschauFlaeche->setFixedSize(s + 24, s + 44);
    lblDruckvorschau = label(QStringLiteral("Druckvorschau"), vorschauFlaeche, "lblDruckvorschau");
    lblDruckvorschau->setGeometry(4, 0, s, 18);
    shpDV = new QFrame(vorschauFlaeche);
    shpDV->setFrameShape(QFrame::Box);
    shpDV->setGeometry(0, 20, s + 20, s + 20);
    bvlPapier = new QFrame(vorschauFlaeche);
    bvlPapier->setFrameShape(QFrame::Box);
    bvlPapier->setFrameShadow(QFrame::Sunken);
    pnlPapier = new QFrame(vorschauFlaeche);
    pnlPapier->setObjectName(QStringLiteral("pnlPapier"));
    pnlPapier->setAutoFillBackground(true);
    QPalette weiss = pnlPapier->palette();
    weiss.setColor(QPalette::Window, Qt::white);
    pnlPapier->setPalette(weiss);
    shpPapier = new QFrame(pnlPapier);
    shpPapier->setFrameShape(QFrame::Box);
    Vorschau = new TAnzeigeBild(pnlPapier);
    Vorschau->setObjectName(QStringLiteral("Vorschau"));
    lblVTitel = label(QString(), pnlPapier, "lblVTitel");
    lblVBildname = label(QString(), pnlPapier, "lblVBildname");
    lblVBildgroesse = label(QString(), pnlPapier, "lblVBildgroesse");
    for (QLabel* l : {lblVTitel, lblVBildname, lblVBildgroesse}) {
        l->hide();
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    btnDrucken = new QPushButton(QStringLiteral("&Drucken"), this);
    btnDrucken->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnDrucker = new QPushButton(QStringLiteral("Druc&keinrichtung..."), this);

    auto* haupt = new QGridLayout(this);
    haupt->addWidget(pcDrucken, 0, 0, 2, 1);
    haupt->addWidget(vorschauFlaeche, 0, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(btnDrucker);
    knoepfe->addStretch();
    knoepfe->addWidget(btnDrucken);
    knoepfe->addWidget(btnAbbrechen);
    haupt->addLayout(knoepfe, 2, 0, 1, 2);
    haupt->setSizeConstraint(QLayout::SetFixedSize);
    // Sized before the first show, so the native window starts at its size.
    resize(sizeHint());

    // Wiring: programmatic changes run the handlers as a click would.
    connect(btnDrucken, &QPushButton::clicked, this, &TfrmDrucken::btnDruckenClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnDrucker, &QPushButton::clicked, this, &TfrmDrucken::btnDruckerClick);
    connect(sbFaktorUp, &QToolButton::clicked, this, &TfrmDrucken::sbFaktorUpClick);
    connect(sbFaktorDown, &QToolButton::clicked, this, &TfrmDrucken::sbFaktorDownClick);
    connect(udKopienUp, &QToolButton::clicked, this,
            [this] { nedKopien->SetWert(std::clamp<long double>(nedKopien->Wert() + 1, 1, 99)); });
    connect(udKopienDown, &QToolButton::clicked, this,
            [this] { nedKopien->SetWert(std::clamp<long double>(nedKopien->Wert() - 1, 1, 99)); });
    connect(nedFaktor, &TNumedit::Change, this, &TfrmDrucken::nedFaktorChange);
    connect(nedLinks, &TNumedit::Change, this, &TfrmDrucken::nedLinksChange);
    connect(nedOben, &TNumedit::Change, this, &TfrmDrucken::nedObenChange);
    connect(edSeitentitel, &QLineEdit::textChanged, this, &TfrmDrucken::edSeitentitelChange);
    connect(btnSeitenSchrift, &QPushButton::clicked, this, &TfrmDrucken::btnSeitenSchriftClick);
    connect(btnBildSchrift, &QPushButton::clicked, this, &TfrmDrucken::btnBildSchriftClick);
    connect(chkEinpassen, &QCheckBox::toggled, this, &TfrmDrucken::chkEinpassenClick);
    connect(chkZentrieren, &QCheckBox::toggled, this, &TfrmDrucken::chkZentrierenClick);
    connect(cbBildnameDrucken, &QCheckBox::toggled, this, &TfrmDrucken::cbBildnameDruckenClick);
    connect(cbBildgroesseDrucken, &QCheckBox::toggled, this, &TfrmDrucken::cbBildgroesseDruckenClick);
    auto radio = [this](QRadioButton* knopf, void (TfrmDrucken::*klick)()) {
        connect(knopf, &QRadioButton::toggled, this, [this, klick](bool an) {
            if (an)
                (this->*klick)();
        });
    };
    radio(rbZentriert, &TfrmDrucken::rbZentriertClick);
    radio(rbLinksbuendig, &TfrmDrucken::rbLinksbuendigClick);
    radio(rbRechtsbuendig, &TfrmDrucken::rbRechtsbuendigClick);
    radio(rbHochformat, &TfrmDrucken::rbHochformatClick);
    radio(rbQuerformat, &TfrmDrucken::rbQuerformatClick);
}

QString TfrmDrucken::BildName() const
{
    if (BildIndex < 0 || BildIndex >= BildListe.size())
        return {};
    return QFileInfo(BildListe.at(BildIndex)).fileName();
}

// ---- Printer values and preview ------------------------------------------------

void TfrmDrucken::SetzeDruckerWerte()
{
    const QString name = Drucker().printerName();
    if (!name.isEmpty())
        setWindowTitle(name);
    DruckerWerteErmitteln(DruckerWerte);
    Pumpen();
    const TDruckerWerte& w = DruckerWerte;
    BildDpi = std::max(w.DpiX, w.DpiY);
    if (w.DpiX <= 0 || w.DpiY <= 0)
        return;   // no usable printer: nothing to measure
    auto mmX = [&w](int punkte) { return double((long double)punkte / w.DpiX * 25.4L); };
    auto mmY = [&w](int punkte) { return double((long double)punkte / w.DpiY * 25.4L); };
    lblRLinks->setText(Mm(mmX(w.RandLinks)));
    lblROben->setText(Mm(mmY(w.RandOben)));
    lblRRechts->setText(Mm(mmX(w.RandRechts)));
    lblRUnten->setText(Mm(mmY(w.RandUnten)));
    lblPapiergroesse->setText(Mm(mmX(w.PapierBreite)) + QStringLiteral("  x  ") + Mm(mmY(w.PapierHoehe)));
    DruckbereichBreiteMm = mmX(w.DruckbereichBreite);
    DruckbereichHoeheMm = mmY(w.DruckbereichHoehe);
    lblDruckbereich->setText(Mm(DruckbereichBreiteMm) + QStringLiteral("  x  ") + Mm(DruckbereichHoeheMm));
}

void TfrmDrucken::DruckgroesseBerechnen()
{
    const TBitmap& bild = Arbeitsbild();
    if (BildDpi <= 0) {
        DruckBreiteMm = DruckHoeheMm = 0;
        return;
    }
    const long double faktor = nedFaktor->Wert();
    DruckBreiteMm = double((long double)bild.Width() / BildDpi * (faktor / 100) * 25.4L);
    DruckHoeheMm = double((long double)bild.Height() / BildDpi * (faktor / 100) * 25.4L);
}

void TfrmDrucken::SetzeDruckvorschau()
{
    // The printed size counts for printing too, shown or not.
    DruckgroesseBerechnen();
    if (!isVisible() || DruckerWerte.DpiX <= 0 || DruckerWerte.DpiY <= 0)
        return;
    const int s = std::max(100, DpiSkalieren(310, 96));
    const double papierB = DruckpunkteZuMmX(DruckerWerte.PapierBreite);
    const double papierH = DruckpunkteZuMmY(DruckerWerte.PapierHoehe);
    if (papierB <= 0 || papierH <= 0)
        return;
    double bezug;
    if (papierH > papierB) {
        pnlPapier->resize(Runden((long double)papierB / papierH * s), s);
        bezug = papierH;
    } else {
        pnlPapier->resize(s, Runden((long double)papierH / papierB * s));
        bezug = papierB;
    }
    VorschauMassstab = s / bezug;
    const QRect dv = shpDV->geometry();
    pnlPapier->move(Runden((long double)(dv.width() - pnlPapier->width()) / 2) + dv.left(),
                    Runden((long double)(dv.height() - pnlPapier->height()) / 2) + dv.top());
    bvlPapier->setGeometry(pnlPapier->x(), pnlPapier->y(), pnlPapier->width() + 1, pnlPapier->height() + 1);
    shpPapier->setGeometry(0, 0, pnlPapier->width(), pnlPapier->height());
    Pumpen();
    DruckgroesseBerechnen();
    Pumpen();

    const long double m = VorschauMassstab;
    const TBitmap& bild = Arbeitsbild();
    const int vb = Runden(DruckBreiteMm * m), vh = Runden(DruckHoeheMm * m);
    Vorschau->setGeometry(Runden(nedLinks->Wert() * m), Runden(nedOben->Wert() * m), vb, vh);
    if (vb < bild.Width()) {
        // Reduced once per image and size; titles and captions do not redo it.
        if (m_vorschauBild.Width() != vb || m_vorschauBild.Height() != vh
            || m_vorschauQuelle != bild.Bild().cacheKey()) {
            m_vorschauBild.Clear();
            BitmapVerkleinern(bild, m_vorschauBild, vb, vh);
            m_vorschauQuelle = bild.Bild().cacheKey();
        }
        Vorschau->SetBild(m_vorschauBild.Bild());
    } else {
        Vorschau->SetBild(bild.Bild());
    }

    // A caption label: the print font scaled to the preview.
    auto beschriftung = [m](QLabel* l, const TDruckSchrift& schrift) {
        const double hoeheMm = DruckTextHoehe(schrift.font) / frmDrucken->BildDpi * 25.4;
        QFont f = schrift.font;
        f.setPixelSize(std::max(1, Runden(m * hoeheMm)));
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(FarbwertZuRgb(schrift.farbe)));
        l->setPalette(p);
        return QFontMetrics(f).height();
    };

    const QString titel = edSeitentitel->text();
    if (!Getrimmt(titel).isEmpty()) {
        const int h = beschriftung(lblVTitel, EinzelDruckSeitenSchrift);
        lblVTitel->setText(titel);
        const int rand = Runden(m * 10);
        lblVTitel->setGeometry(rand, rand, pnlPapier->width() - 2 * rand, h);
        lblVTitel->setAlignment(rbLinksbuendig->isChecked() ? Qt::AlignLeft
                                : rbRechtsbuendig->isChecked() ? Qt::AlignRight
                                                               : Qt::AlignHCenter);
        lblVTitel->show();
    } else {
        lblVTitel->hide();
    }

    const int links = Runden(Vorschau->x() + Vorschau->width() / 2.0L - pnlPapier->width());
    const int oben = Runden(m * 4) + Vorschau->y() + Vorschau->height();
    int nameHoehe = 0;
    if (cbBildnameDrucken->isChecked()) {
        nameHoehe = beschriftung(lblVBildname, EinzelDruckBildSchrift);
        lblVBildname->setText(BildName());
        lblVBildname->setGeometry(links, oben, 2 * pnlPapier->width(), nameHoehe);
        lblVBildname->setAlignment(Qt::AlignHCenter);
        lblVBildname->show();
    } else {
        lblVBildname->hide();
    }
    if (cbBildgroesseDrucken->isChecked()) {
        const int h = beschriftung(lblVBildgroesse, EinzelDruckBildSchrift);
        lblVBildgroesse->setText(QStringLiteral("%1 x %2").arg(bild.Width()).arg(bild.Height()));
        lblVBildgroesse->setGeometry(links, oben + (cbBildnameDrucken->isChecked() ? h : 0), 2 * pnlPapier->width(),
                                     h);
        lblVBildgroesse->setAlignment(Qt::AlignHCenter);
        lblVBildgroesse->show();
    } else {
        lblVBildgroesse->hide();
    }

    lblDruckbreite->setText(QStringLiteral("Breite =  ") + Mm(DruckBreiteMm));
    lblDruckhoehe->setText(QStringLiteral("Höhe =  ") + Mm(DruckHoeheMm));
}

void TfrmDrucken::DruckZentrieren()
{
    if (DruckerWerte.DpiX <= 0 || DruckerWerte.DpiY <= 0)
        return;
    const long double papierB = (long double)DruckerWerte.PapierBreite / DruckerWerte.DpiX * 25.4L;
    const long double papierH = (long double)DruckerWerte.PapierHoehe / DruckerWerte.DpiY * 25.4L;
    nedLinks->SetWert((papierB - DruckBreiteMm) / 2);
    nedOben->SetWert((papierH - DruckHoeheMm) / 2);
}

void TfrmDrucken::DruckEinpassen()
{
    const TBitmap& bild = Arbeitsbild();
    const int W = bild.Width(), H = bild.Height();
    if (W > 0 && H > 0 && BildDpi > 0) {
        const long double w = DruckpunkteZuMmX(W);
        const long double h = DruckpunkteZuMmX(H);
        long double faktor;
        if (DruckbereichBreiteMm / w >= DruckbereichHoeheMm / h)
            faktor = ((long double)DruckbereichHoeheMm - 1) / ((long double)H / BildDpi * 25.4L) * 100;
        else
            faktor = ((long double)DruckbereichBreiteMm - 1) / ((long double)W / BildDpi * 25.4L) * 100;
        // The scale field holds 1 to 9999: a tiny image is enlarged as far
        // as it goes, a huge one still prints.
        nedFaktor->SetWert(std::clamp(Runden(faktor), 1, 9999));
    }
    // A fitted image is always centred.
    if (chkZentrieren->isChecked())
        chkZentrierenClick();
    else
        chkZentrieren->setChecked(true);
}

// ---- Showing and closing -------------------------------------------------------

void TfrmDrucken::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    FormShow();
}

void TfrmDrucken::FormShow()
{
    SetzeDruckerWerte();
    Pumpen();
    SetzeDruckvorschau();
    Pumpen();
    chkEinpassen->setChecked(EinzelDruckEinpassen);
    chkZentrieren->setChecked(EinzelDruckZentrieren);
    chkAlleSeiten->setChecked(EinzelDruckAlleSeiten);
    if (Drucker().pageLayout().orientation() == QPageLayout::Landscape)
        rbQuerformat->setChecked(true);
    else
        rbHochformat->setChecked(true);
    BeschriftungZeigen(EinzelDruckBildname, EinzelDruckBildgroesse, EinzelDruckTitelPosition);
    nedFaktor->setText(QStringLiteral("100"));
    if (chkEinpassen->isChecked())
        DruckEinpassen();
    if (chkZentrieren->isChecked())
        DruckZentrieren();
    if (BildQuelle == BildQuelleDatei) {
        cbBildnameDrucken->setEnabled(true);
    } else {
        cbBildnameDrucken->setChecked(false);
        cbBildnameDrucken->setEnabled(false);
    }
    TGear* gear = frmZelvanoMain ? frmZelvanoMain->Gear1 : nullptr;
    chkAlleSeiten->setEnabled(gear && gear->PageCount() >= 2 && !BildBearbeitet);
    shpPapier->setGeometry(0, 0, pnlPapier->width(), pnlPapier->height());
    SetzeDruckvorschau();
}

void TfrmDrucken::FormClose()
{
    EinzelDruckAlleSeiten = chkAlleSeiten->isChecked();
    // The preview lets go of its copy of the image.
    m_vorschauBild = TBitmap(1, 1);
    m_vorschauQuelle = 0;
    Vorschau->SetBild(m_vorschauBild.Bild());
}

void TfrmDrucken::done(int ergebnis)
{
    FormClose();
    QDialog::done(ergebnis);
}

// ---- Printing ------------------------------------------------------------------

void TfrmDrucken::SeiteDrucken(const QString& titel)
{
    TitelDrucken(EinzelDruckSeitenSchrift, titel, 10, DruckpunkteZuMmX(DruckerWerte.PapierBreite / 2),
                 DruckpunkteZuMmX(DruckerWerte.PapierBreite) - 10);
    const TBitmap& bild = Arbeitsbild();
    const double links = double(nedLinks->Wert()), oben = double(nedOben->Wert());
    BitmapInMmDrucken(bild, links, oben, DruckBreiteMm, DruckHoeheMm);
    BildBeschriftungDrucken(EinzelDruckBildSchrift, BildName(), bild, links + DruckBreiteMm / 2,
                            oben + DruckHoeheMm + 4);
}

void TfrmDrucken::btnDruckenClick()
{
    if (!frmZelvanoMain)
        return;
    TfrmZelvanoMain* haupt = frmZelvanoMain;
    TGear& gear = *haupt->Gear1;
    const QString titel = edSeitentitel->text();
    // An empty or zero field still prints one copy.
    const int kopien = std::max(1, int(nedKopien->Wert()));
    // A PDF file holds every page once, whatever the copy count says; there,
    // and on a printer that makes no copies itself, they are printed here.
    const bool inDatei =
        Drucker().outputFormat() == QPrinter::PdfFormat || !Drucker().outputFileName().isEmpty();
    const bool selbstKopieren = kopien > 1 && (inDatei || !Drucker().supportsMultipleCopies());
    Drucker().setCopyCount(selbstKopieren ? 1 : kopien);
    // A printer gets one job per page. Into a file a later job would replace
    // the earlier pages, and copies made here come out collated only within
    // one job: then all pages go into one job, a new sheet each.
    const bool einAuftrag = inDatei || selbstKopieren;
    const int durchgaenge = selbstKopieren ? kopien : 1;
    int seiten = 1;
    if (chkAlleSeiten->isChecked() && gear.PageCount() >= 2 && !BildBearbeitet)
        seiten = gear.PageCount();

    // Every page passes through the working bitmap; the page the user had
    // open comes back afterwards.
    const int offeneSeite = gear.Page();
    const TBitmap offenesBild = haupt->OriginalBild;
    bool auftragOffen = false;
    bool gedruckt = true;
    // The queue runs between pages while the job is open: no control may
    // change the printer or start a second run meanwhile.
    QWidget* fokus = focusWidget();
    setEnabled(false);
    for (int durchgang = 1; durchgang <= durchgaenge && gedruckt; ++durchgang) {
        for (int k = 1; k <= seiten; ++k) {
            if (chkAlleSeiten->isChecked() && seiten > 1) {
                gear.SetPage(k);
                GearZuBitmap(gear, haupt->OriginalBild);
                SetzeDruckvorschau();
                Pumpen();
                if (chkEinpassen->isChecked())
                    DruckEinpassen();
                if (chkZentrieren->isChecked())
                    DruckZentrieren();
            }
            if (auftragOffen ? !DruckNeueSeite() : !DruckBeginnen()) {
                gedruckt = false;
                break;
            }
            auftragOffen = true;
            SeiteDrucken(titel);
            if (!einAuftrag) {
                DruckBeenden();
                auftragOffen = false;
            }
        }
    }
    DruckBeenden();
    setEnabled(true);
    if (fokus)
        fokus->setFocus();
    if (seiten > 1) {
        gear.SetPage(offeneSeite);
        haupt->OriginalBild = offenesBild;
    }
    // A refused job leaves the window open for another printer.
    if (gedruckt)
        accept();
}

void TfrmDrucken::NachDruckerwechsel()
{
    SetzeDruckerWerte();
    SetzeDruckvorschau();
}

void TfrmDrucken::btnDruckerClick()
{
    DruckerEinrichten();
    NachDruckerwechsel();
    if (Drucker().pageLayout().orientation() == QPageLayout::Landscape)
        rbQuerformat->setChecked(true);
    else
        rbHochformat->setChecked(true);
    if (chkEinpassen->isChecked())
        DruckEinpassen();
    if (chkZentrieren->isChecked())
        DruckZentrieren();
}

void TfrmDrucken::rbHochformatClick()
{
    Drucker().setPageOrientation(QPageLayout::Portrait);
    NachDruckerwechsel();
    if (chkEinpassen->isChecked())
        DruckEinpassen();
    if (chkZentrieren->isChecked())
        DruckZentrieren();
}

void TfrmDrucken::rbQuerformatClick()
{
    Drucker().setPageOrientation(QPageLayout::Landscape);
    NachDruckerwechsel();
    if (chkEinpassen->isChecked())
        DruckEinpassen();
    if (chkZentrieren->isChecked())
        DruckZentrieren();
}

// ---- Control handlers ----------------------------------------------------------

void TfrmDrucken::sbFaktorUpClick()
{
    nedFaktor->SetWert(nedFaktor->Wert() + 1);
}

void TfrmDrucken::sbFaktorDownClick()
{
    nedFaktor->SetWert(nedFaktor->Wert() - 1);
}

void TfrmDrucken::nedFaktorChange()
{
    if (!isVisible()) {
        DruckgroesseBerechnen();
        return;
    }
    Pumpen();
    SetzeDruckvorschau();
    Pumpen();
    if (chkZentrieren->isChecked())
        DruckZentrieren();
}

void TfrmDrucken::nedLinksChange()
{
    SetzeDruckvorschau();
}

void TfrmDrucken::nedObenChange()
{
    SetzeDruckvorschau();
}

void TfrmDrucken::edSeitentitelChange()
{
    SetzeDruckvorschau();
}

void TfrmDrucken::chkEinpassenClick()
{
    if (chkEinpassen->isChecked())
        DruckEinpassen();
    EinzelDruckEinpassen = chkEinpassen->isChecked();
    nedFaktor->setEnabled(!chkEinpassen->isChecked());
    sbFaktorUp->setEnabled(!chkEinpassen->isChecked());
    sbFaktorDown->setEnabled(!chkEinpassen->isChecked());
    SetzeDruckvorschau();
}

void TfrmDrucken::chkZentrierenClick()
{
    if (chkZentrieren->isChecked())
        DruckZentrieren();
    nedLinks->setEnabled(!chkZentrieren->isChecked());
    nedOben->setEnabled(!chkZentrieren->isChecked());
    EinzelDruckZentrieren = chkZentrieren->isChecked();
    SetzeDruckvorschau();
}

void TfrmDrucken::cbBildnameDruckenClick()
{
    EinzelDruckBildname = cbBildnameDrucken->isChecked();
    SetzeDruckvorschau();
}

void TfrmDrucken::cbBildgroesseDruckenClick()
{
    EinzelDruckBildgroesse = cbBildgroesseDrucken->isChecked();
    SetzeDruckvorschau();
}

void TfrmDrucken::rbZentriertClick()
{
    EinzelDruckTitelPosition = 1;
    SetzeDruckvorschau();
}

void TfrmDrucken::rbLinksbuendigClick()
{
    EinzelDruckTitelPosition = 2;
    SetzeDruckvorschau();
}

void TfrmDrucken::rbRechtsbuendigClick()
{
    EinzelDruckTitelPosition = 3;
    SetzeDruckvorschau();
}

void TfrmDrucken::btnSeitenSchriftClick()
{
    SchriftWaehlen(EinzelDruckSeitenSchrift);
    SetzeDruckvorschau();
}

void TfrmDrucken::btnBildSchriftClick()
{
    SchriftWaehlen(EinzelDruckBildSchrift);
    SetzeDruckvorschau();
}
