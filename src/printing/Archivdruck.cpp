// Contact sheets of the whole image list.
#include "Archivdruck.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "GlobalDruck.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Runden.h"

TfrmArchivdruck* frmArchivdruck = nullptr;

namespace {

void Pumpen()
{
    QCoreApplication::processEvents();
}

} // namespace

TArchivRaster ArchivRaster(int bilderzahl)
{
    TArchivRaster r;
    if (bilderzahl == 2)
        r = TArchivRaster{3, 4, 40, 40, 22.5, 20, 30};
    else if (bilderzahl == 3)
        r = TArchivRaster{4, 5, 30, 30, 18, 20, 25};
    return r;
}

QRectF ArchivBildRechteck(const TArchivRaster& r, int spalte, int zeile, double verhaeltnis)
{
    double w = r.ZellBreite, h = r.ZellHoehe;
    if (verhaeltnis >= 1)
        h = r.ZellBreite / verhaeltnis;
    else
        w = r.ZellHoehe * verhaeltnis;
    const double x = spalte * r.SpaltenAbstand + (spalte - 1) * r.ZellBreite + (r.ZellBreite - w) / 2;
    const double y = (r.ZellHoehe + r.ZeilenAbstand) * (zeile - 1) + r.Oben + (r.ZellHoehe - h);
    return QRectF(x, y, w, h);
}

TfrmArchivdruck::TfrmArchivdruck(QWidget* parent) : TDruckFenster(parent)
{
    FormCreate();
}

TfrmArchivdruck::~TfrmArchivdruck()
{
    if (frmArchivdruck == this)
        frmArchivdruck = nullptr;
}

void TfrmArchivdruck::FormCreate()
{
    frmArchivdruck = this;
    setObjectName(QStringLiteral("frmArchivdruck"));
    setProperty("HilfeKontext", 8);
    setWindowTitle(QStringLiteral("Archivdruck auf: "));
    setFont(QApplication::font("QMenu"));
    setModal(true);

    BeschriftungAnlegen(this, true);

    gbBilderzahl = new QGroupBox(QStringLiteral(" Bilderzahl "), this);
    rb2x3 = new QRadioButton(QStringLiteral("2 Spalten und 3 Zeilen je Seite"), gbBilderzahl);
    rb3x4 = new QRadioButton(QStringLiteral("3 Spalten und 4 Zeilen je Seite"), gbBilderzahl);
    rb4x5 = new QRadioButton(QStringLiteral("4 Spalten und 5 Zeilen je Seite"), gbBilderzahl);
    rb3x4->setChecked(true);
    auto* zahl = new QVBoxLayout(gbBilderzahl);
    zahl->addWidget(rb2x3);
    zahl->addWidget(rb3x4);
    zahl->addWidget(rb4x5);

    shpFeld1 = new QFrame(this);
    shpFeld1->setFrameShape(QFrame::Box);
    shpFeld1->setAutoFillBackground(true);
    QPalette creme = shpFeld1->palette();
    creme.setColor(QPalette::Window, QColor(255, 251, 240));
    shpFeld1->setPalette(creme);
    lblBilderzahl = new QLabel(QStringLiteral("20 Bilder werden gedruckt"), shpFeld1);
    lblBilderzahl->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(shpFeld1))->addWidget(lblBilderzahl);

    // The preview is placed by hand inside its frame, so no layout there.
    bevRahmen = new QFrame(this);
    bevRahmen->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevRahmen->setFixedSize(170, 170);
    Vorschau = new QLabel(bevRahmen);
    Vorschau->setGeometry(5, 5, 160, 160);

    btnDrucker = new QPushButton(QStringLiteral("Druc&ker"), this);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnDrucken = new QPushButton(QStringLiteral("&Drucken"), this);
    btnDrucken->setDefault(true);
    btnDrucker->setAutoDefault(false);
    btnAbbrechen->setAutoDefault(false);

    GearA = new TGear(this);

    auto* links = new QVBoxLayout;
    links->addWidget(gbSeitentitel);
    links->addWidget(gbBeschriftung);
    links->addWidget(gbBilderzahl);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(bevRahmen);
    rechts->addWidget(shpFeld1);
    rechts->addStretch(1);
    auto* oben = new QHBoxLayout;
    oben->addLayout(links, 1);
    oben->addLayout(rechts);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(btnDrucker);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnAbbrechen);
    knoepfe->addWidget(btnDrucken);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben);
    spalte->addLayout(knoepfe);
    spalte->setSizeConstraint(QLayout::SetFixedSize);
    // Sized before the first show, so the native window starts at its size.
    resize(sizeHint());

    connect(btnDrucken, &QPushButton::clicked, this, &TfrmArchivdruck::btnDruckenClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &TfrmArchivdruck::btnAbbrechenClick);
    connect(btnDrucker, &QPushButton::clicked, this, &TfrmArchivdruck::btnDruckerClick);
    connect(btnSeitenSchrift, &QPushButton::clicked, this, &TfrmArchivdruck::btnSeitenSchriftClick);
    connect(btnBildSchrift, &QPushButton::clicked, this, &TfrmArchivdruck::btnBildSchriftClick);
    connect(cbBildnameDrucken, &QCheckBox::toggled, this, &TfrmArchivdruck::cbBildnameDruckenClick);
    connect(cbBildgroesseDrucken, &QCheckBox::toggled, this, &TfrmArchivdruck::cbBildgroesseDruckenClick);
    connect(rbZentriert, &QRadioButton::toggled, this, [this](bool an) { if (an) rbZentriertClick(); });
    connect(rbLinksbuendig, &QRadioButton::toggled, this, [this](bool an) { if (an) rbLinksbuendigClick(); });
    connect(rbRechtsbuendig, &QRadioButton::toggled, this, [this](bool an) { if (an) rbRechtsbuendigClick(); });
    connect(rb2x3, &QRadioButton::toggled, this, [this](bool an) { if (an) rb2x3Click(); });
    connect(rb3x4, &QRadioButton::toggled, this, [this](bool an) { if (an) rb3x4Click(); });
    connect(rb4x5, &QRadioButton::toggled, this, [this](bool an) { if (an) rb4x5Click(); });
}

void TfrmArchivdruck::SetzeDruckerWerte()
{
    // Output to a file has no printer name; the file is named instead.
    const QString datei = Drucker().outputFileName();
    setWindowTitle(QStringLiteral("Archivdruck auf: ")
                   + (datei.isEmpty() ? Drucker().printerName() : QDir::toNativeSeparators(datei)));
}

void TfrmArchivdruck::LadeDruckBild(const QString& pfad)
{
    LadeGearBild(*GearA, pfad);
    // A file that yields no picture gets the error picture in its own cell,
    // never the picture of the file before it.
    if (GearA->ImageWidth() < 1 || GearA->ImageHeight() < 1 || !GearZuBitmap(*GearA, BildA) || BildA.IsEmpty())
        BildA = TBitmap(FehlerBild());
    Pumpen();
    ArchivBildVerhaeltnis = double(BildA.Width()) / BildA.Height();

    const QRect f = bevRahmen->rect();
    const double v = ArchivBildVerhaeltnis;
    QRect r;
    if (v >= 1) {
        const int w = f.width() - 10, h = Runden((f.height() - 10) / (long double)v);
        r = QRect(f.left() + 5, Runden((f.height() - h - 10) / 2.0L) + f.top() + 5, w, h);
    } else {
        const int w = Runden(v * (long double)(f.width() - 10)), h = f.height() - 10;
        r = QRect(Runden((f.width() - w - 10) / 2.0L) + f.left() + 5, f.top() + 5, w, h);
    }
    Vorschau->setGeometry(r.normalized());
    if (Vorschau->width() < BildA.Width()) {
        Vorschau->setScaledContents(false);
        Pumpen();
        TBitmap klein;
        BitmapVerkleinern(BildA, klein, std::max(1, Vorschau->width()), std::max(1, Vorschau->height()));
        Vorschau->setPixmap(QPixmap::fromImage(klein.Bild()));
    } else {
        Vorschau->setScaledContents(true);
        Vorschau->setPixmap(QPixmap::fromImage(BildA.Bild()));
    }
}

void TfrmArchivdruck::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    m_zeigen = true;
    FormShow();
    m_zeigen = false;
}

void TfrmArchivdruck::FormShow()
{
    ArchivAbbruch = false;
    SetzeDruckerWerte();
    BeschriftungZeigen(ArchivDruckBildname, ArchivDruckBildgroesse, ArchivDruckTitelPosition);
    switch (ArchivDruckBilderzahl) {
    case 1: rb2x3->setChecked(true); break;
    case 3: rb4x5->setChecked(true); break;
    default: rb3x4->setChecked(true); break;
    }
    lblBilderzahl->setText(QString::number(BildListe.size()) + QStringLiteral(" Bilder werden gedruckt."));
    if (!BildListe.isEmpty())
        LadeDruckBild(BildListe.first());
    Pumpen();
}

void TfrmArchivdruck::btnDruckenClick()
{
    if (m_druckLaeuft)
        return;
    TArchivRaster r = ArchivRaster(rb3x4->isChecked() ? 2 : rb4x5->isChecked() ? 3 : 1);
    const QString titel = edSeitentitel->text();
    const bool mitTitel = !Getrimmt(titel).isEmpty();
    if (mitTitel)
        r.Oben += 5;

    // The list may change while messages are pumped: work on a copy.
    const QStringList liste = BildListe;
    const int anzahl = int(liste.size());
    // Without files there is no sheet: no job, and no empty page either.
    if (anzahl == 0 || !DruckBeginnen())
        return;
    m_druckLaeuft = true;
    ArchivAbbruch = false;
    // A printer, file or font chosen now would miss the running job.
    const QList<QPushButton*> gesperrt{btnDrucker, btnSeitenSchrift, btnBildSchrift};
    for (QPushButton* knopf : gesperrt)
        knopf->setEnabled(false);
    int n = -1;
    bool abgebrochen = false;
    while (n < anzahl - 1 && !abgebrochen) {
        TitelDrucken(ArchivDruckSeitenSchrift, titel, r.SpaltenAbstand, 105, 210 - r.SpaltenAbstand);
        for (int zeile = 1; zeile <= r.Zeilen && !abgebrochen; ++zeile) {
            for (int spalte = 1; spalte <= r.Spalten; ++spalte) {
                Pumpen();
                if (ArchivAbbruch) {
                    abgebrochen = true;
                    break;
                }
                ++n;
                if (n > anzahl - 1)
                    continue;
                LadeDruckBild(liste.at(n));
                Pumpen();
                const QRectF bild = ArchivBildRechteck(r, spalte, zeile, ArchivBildVerhaeltnis);
                lblBilderzahl->setText(QStringLiteral("Bild %1 wird gedruckt.").arg(n + 1));
                BitmapInMmDrucken(BildA, bild.x(), bild.y(), bild.width(), bild.height());

                const double mitte = spalte * r.SpaltenAbstand + (spalte - 1) * r.ZellBreite + r.ZellBreite / 2;
                const double unten = zeile * r.ZellHoehe + r.Oben + (zeile - 1) * r.ZeilenAbstand + 4;
                BildBeschriftungDrucken(ArchivDruckBildSchrift, QFileInfo(liste.at(n)).fileName(), BildA, mitte,
                                        unten);
            }
        }
        if (!abgebrochen && n < anzahl - 1)
            DruckNeueSeite();
    }
    DruckBeenden();
    m_druckLaeuft = false;
    for (QPushButton* knopf : gesperrt)
        knopf->setEnabled(true);
    if (abgebrochen)
        reject();
    else
        accept();
}

void TfrmArchivdruck::btnAbbrechenClick()
{
    if (m_druckLaeuft)
        ArchivAbbruch = true;
    else
        reject();
}

void TfrmArchivdruck::done(int ergebnis)
{
    // Closing the window in the middle of a run stops the run first; the
    // run closes the window when it has ended the job.
    if (m_druckLaeuft) {
        ArchivAbbruch = true;
        return;
    }
    // Closed while showing pumps messages: the modal loop has not begun yet
    // and would never see the window go, so the close waits for it.
    if (m_zeigen) {
        QTimer::singleShot(0, this, [this, ergebnis] { done(ergebnis); });
        return;
    }
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmArchivdruck::FormClose()
{
    GearA->DelImage();
    Pumpen();
}

void TfrmArchivdruck::btnDruckerClick()
{
    DruckerEinrichten();
    SetzeDruckerWerte();
}

void TfrmArchivdruck::btnSeitenSchriftClick()
{
    SchriftWaehlen(ArchivDruckSeitenSchrift);
}

void TfrmArchivdruck::btnBildSchriftClick()
{
    SchriftWaehlen(ArchivDruckBildSchrift);
}

void TfrmArchivdruck::cbBildnameDruckenClick()
{
    ArchivDruckBildname = cbBildnameDrucken->isChecked();
}

void TfrmArchivdruck::cbBildgroesseDruckenClick()
{
    ArchivDruckBildgroesse = cbBildgroesseDrucken->isChecked();
}

void TfrmArchivdruck::rbZentriertClick()
{
    ArchivDruckTitelPosition = 1;
}

void TfrmArchivdruck::rbLinksbuendigClick()
{
    ArchivDruckTitelPosition = 2;
}

void TfrmArchivdruck::rbRechtsbuendigClick()
{
    ArchivDruckTitelPosition = 3;
}

void TfrmArchivdruck::rb2x3Click()
{
    ArchivDruckBilderzahl = 1;
}

void TfrmArchivdruck::rb3x4Click()
{
    ArchivDruckBilderzahl = 2;
}

void TfrmArchivdruck::rb4x5Click()
{
    ArchivDruckBilderzahl = 3;
}
