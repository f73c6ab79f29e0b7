// The target-size window of the batch conversion.
#include "Zielgroesse.h"
#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include "ZelvanoMain.h"
#include "widgets/Numedit.h"

TfrmZielgroesse* frmZielgroesse = nullptr;

namespace {
struct TVorgabe {
    const char* name;
    int breite;
    int hoehe;
};
constexpr TVorgabe Vorgaben[] = {
    {"rb1x1", 0, 0},           {"rb640x480", 640, 480},     {"rb768x576", 768, 576},
    {"rb800x600", 800, 600},   {"rb1024x600", 1024, 600},   {"rb1024x768", 1024, 768},
    {"rb1280x1024", 1280, 1024}, {"rb1600x1200", 1600, 1200}, {"rb1920x1080", 1920, 1080},
    {"rb3840x2160", 3840, 2160},
};
} // namespace

TfrmZielgroesse::TfrmZielgroesse(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZielgroesse"));
    if (!frmZielgroesse)
        frmZielgroesse = this;
    FormCreate();
}

TfrmZielgroesse::~TfrmZielgroesse()
{
    if (frmZielgroesse == this)
        frmZielgroesse = nullptr;
}

void TfrmZielgroesse::FormCreate()
{
    setWindowTitle(QStringLiteral("Zielgröße"));
    setProperty("HilfeKontext", 6);
    setFont(QApplication::font("QMenu"));

    auto radio = [this](const char* name, const QString& text, QButtonGroup* gruppe, QBoxLayout* ort) {
        auto* rb = new QRadioButton(text, this);
        rb->setObjectName(QLatin1String(name));
        gruppe->addButton(rb);
        ort->addWidget(rb);
        return rb;
    };

    // Target box
    auto* grbGroesse = new QGroupBox(QStringLiteral(" Zielgröße "), this);
    auto* groesse = new QVBoxLayout(grbGroesse);
    m_groessen = new QButtonGroup(this);
    QRadioButton** knoepfe[] = {&rb1x1,       &rb640x480,   &rb768x576,   &rb800x600,   &rb1024x600,
                                &rb1024x768,  &rb1280x1024, &rb1600x1200, &rb1920x1080, &rb3840x2160};
    for (int i = 0; i < 10; ++i) {
        const TVorgabe& v = Vorgaben[i];
        const QString text = i == 0 ? QStringLiteral("Größe beibehalten")
                                    : QStringLiteral("%1 x %2 Pixel").arg(v.breite).arg(v.hoehe);
        *knoepfe[i] = radio(v.name, text, m_groessen, groesse);
        connect(*knoepfe[i], &QRadioButton::clicked, this, [this, v] { VorgabeClick(v.breite, v.hoehe); });
    }
    rbBenutzer = radio("rbBenutzer", QStringLiteral("Benutzerdefiniert"), m_groessen, groesse);
    connect(rbBenutzer, &QRadioButton::clicked, this, [this] { rbBenutzerClick(); });
    rb1x1->setChecked(true);

    // Options
    auto* grbOptionen = new QGroupBox(QStringLiteral(" Optionen "), this);
    auto* optionen = new QVBoxLayout(grbOptionen);
    auto* felder = new QGridLayout;
    lblBildbreite = new QLabel(QStringLiteral("Bildbreite"), this);
    lblBildhoehe = new QLabel(QStringLiteral("Bildhöhe"), this);
    nedBreite = new TNumedit(this);
    nedBreite->setObjectName(QStringLiteral("nedBreite"));
    nedHoehe = new TNumedit(this);
    nedHoehe->setObjectName(QStringLiteral("nedHoehe"));
    for (TNumedit* ned : {nedBreite, nedHoehe}) {
        ned->SetMatrix(QStringLiteral("9999"));
        ned->setEnabled(false);
    }
    felder->addWidget(lblBildbreite, 0, 0);
    felder->addWidget(nedBreite, 0, 1);
    felder->addWidget(lblBildhoehe, 1, 0);
    felder->addWidget(nedHoehe, 1, 1);
    optionen->addLayout(felder);
    auto* richtung = new QButtonGroup(this);
    rbVerkleinern = radio("rbVerkleinern", QStringLiteral("Nur verkleinern"), richtung, optionen);
    rbVerkleiVergr = radio("rbVerkleiVergr", QStringLiteral("Vergrößern und verkleinern"), richtung, optionen);
    rbVerkleiVergr->setChecked(true);
    connect(rbVerkleinern, &QRadioButton::clicked, this, [this] { rbVerkleinernClick(); });
    connect(rbVerkleiVergr, &QRadioButton::clicked, this, [this] { rbVerkleiVergrClick(); });
    optionen->addStretch(1);

    // Filter and sharpening: read by the conversion, nothing to do here.
    auto* grbFilter = new QGroupBox(QStringLiteral(" Glättungsmethode "), this);
    auto* filter = new QVBoxLayout(grbFilter);
    auto* filterGruppe = new QButtonGroup(this);
    GlaettungAnlegen(this);
    for (int i = 0; i < 8; ++i) {
        filterGruppe->addButton(GlaettungsKnopf(i));
        filter->addWidget(GlaettungsKnopf(i));
    }

    auto* grbSchaerfe = new QGroupBox(QStringLiteral(" Nachschärfen "), this);
    auto* schaerfe = new QVBoxLayout(grbSchaerfe);
    auto* schaerfeGruppe = new QButtonGroup(this);
    rbSchaerfeOhne = radio("rbSchaerfeOhne", QStringLiteral("Ohne"), schaerfeGruppe, schaerfe);
    rbSchaerfeLeicht = radio("rbSchaerfeLeicht", QStringLiteral("Leicht"), schaerfeGruppe, schaerfe);
    rbSchaerfeMittel = radio("rbSchaerfeMittel", QStringLiteral("Mittel"), schaerfeGruppe, schaerfe);
    rbSchaerfeStark = radio("rbSchaerfeStark", QStringLiteral("Stark"), schaerfeGruppe, schaerfe);
    rbSchaerfeLeicht->setChecked(true);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { reject(); });

    auto* rechts = new QVBoxLayout;
    rechts->addWidget(grbOptionen);
    auto* unten = new QHBoxLayout;
    unten->addWidget(grbFilter);
    unten->addWidget(grbSchaerfe);
    rechts->addLayout(unten);
    auto* oben = new QHBoxLayout;
    oben->addWidget(grbGroesse);
    oben->addLayout(rechts);
    auto* knoepfeZeile = new QHBoxLayout;
    knoepfeZeile->addStretch(1);
    knoepfeZeile->addWidget(btnOk);
    knoepfeZeile->addWidget(btnAbbrechen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben);
    spalte->addLayout(knoepfeZeile);
}

void TfrmZielgroesse::showEvent(QShowEvent* ereignis)
{
    FormShow();
    QDialog::showEvent(ereignis);
}

void TfrmZielgroesse::FormShow()
{
    nedBreite->setText(QString::number(ZielBreite));
    nedHoehe->setText(QString::number(ZielHoehe));
    // The radio follows the stored box: a preset left checked by Cancel
    // would otherwise stand beside other numbers, and Ok would store those.
    QRadioButton* passend = rbBenutzer;
    QRadioButton* knoepfe[] = {rb1x1,       rb640x480,   rb768x576,   rb800x600,   rb1024x600,
                               rb1024x768,  rb1280x1024, rb1600x1200, rb1920x1080, rb3840x2160};
    for (int i = 0; i < 10; ++i)
        if (Vorgaben[i].breite == ZielBreite && Vorgaben[i].hoehe == ZielHoehe)
            passend = knoepfe[i];
    passend->setChecked(true);
    nedBreite->setEnabled(passend == rbBenutzer);
    nedHoehe->setEnabled(passend == rbBenutzer);
    (NurVerkleinern ? rbVerkleinern : rbVerkleiVergr)->setChecked(true);
}

void TfrmZielgroesse::VorgabeClick(int breite, int hoehe)
{
    nedBreite->setEnabled(false);
    nedHoehe->setEnabled(false);
    nedBreite->setText(QString::number(breite));
    nedHoehe->setText(QString::number(hoehe));
}

void TfrmZielgroesse::rbBenutzerClick()
{
    nedBreite->setEnabled(true);
    nedHoehe->setEnabled(true);
    nedBreite->setFocus();
}

void TfrmZielgroesse::rbVerkleinernClick()
{
    NurVerkleinern = true;
}

void TfrmZielgroesse::rbVerkleiVergrClick()
{
    NurVerkleinern = false;
}

void TfrmZielgroesse::btnOkClick()
{
    bool breiteOk = false, hoeheOk = false;
    const int breite = nedBreite->text().trimmed().toInt(&breiteOk);
    const int hoehe = nedHoehe->text().trimmed().toInt(&hoeheOk);
    if (breiteOk && hoeheOk && breite >= 0 && hoehe >= 0) {
        ZielBreite = breite;
        ZielHoehe = hoehe;
    } else {
        ZielBreite = 0;
        ZielHoehe = 0;
        rb1x1->setChecked(true);
        VorgabeClick(0, 0);
    }
    accept();
}

int TfrmZielgroesse::FilterIndex() const
{
    return GlaettungsFilter();
}

bool TfrmZielgroesse::IstQuick() const
{
    return rbQuick->isChecked();
}

int TfrmZielgroesse::SchaerfeMenge() const
{
    return NachschaerfMenge(rbSchaerfeLeicht, rbSchaerfeMittel, rbSchaerfeStark);
}
