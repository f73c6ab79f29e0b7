#include "DruckFenster.h"
#include <QCheckBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include "Einstellungen.h"
#include "GlobalDruck.h"

QString Getrimmt(const QString& text)
{
    qsizetype anfang = 0, ende = text.size();
    while (anfang < ende && text.at(anfang).unicode() <= 32)
        ++anfang;
    while (ende > anfang && text.at(ende - 1).unicode() <= 32)
        --ende;
    return text.mid(anfang, ende - anfang);
}

void TDruckFenster::BeschriftungAnlegen(QWidget* eltern, bool knoepfeDaneben)
{
    gbSeitentitel = new QGroupBox(QStringLiteral(" Seitentitel "), eltern);
    edSeitentitel = new QLineEdit(gbSeitentitel);
    rbZentriert = new QRadioButton(QStringLiteral("Zentriert"), gbSeitentitel);
    rbLinksbuendig = new QRadioButton(QStringLiteral("Linksbündig"), gbSeitentitel);
    rbRechtsbuendig = new QRadioButton(QStringLiteral("Rechtsbündig"), gbSeitentitel);
    rbZentriert->setChecked(true);
    btnSeitenSchrift = new QPushButton(QStringLiteral("Schrif&tart"), gbSeitentitel);
    auto* titel = new QGridLayout(gbSeitentitel);
    titel->addWidget(edSeitentitel, 0, 0, 1, knoepfeDaneben ? 4 : 3);
    titel->addWidget(rbZentriert, 1, 0);
    titel->addWidget(rbLinksbuendig, 1, 1);
    titel->addWidget(rbRechtsbuendig, 1, 2);
    if (knoepfeDaneben)
        titel->addWidget(btnSeitenSchrift, 1, 3);
    else
        titel->addWidget(btnSeitenSchrift, 2, 2);

    gbBeschriftung = new QGroupBox(QStringLiteral(" Bildbeschriftung "), eltern);
    cbBildnameDrucken = new QCheckBox(QStringLiteral("Bildname drucken"), gbBeschriftung);
    cbBildgroesseDrucken = new QCheckBox(QStringLiteral("Bildgröße drucken"), gbBeschriftung);
    btnBildSchrift = new QPushButton(QStringLiteral("&Schriftart"), gbBeschriftung);
    auto* beschriftung = new QGridLayout(gbBeschriftung);
    beschriftung->addWidget(cbBildnameDrucken, 0, 0);
    beschriftung->addWidget(cbBildgroesseDrucken, 1, 0);
    if (knoepfeDaneben)
        beschriftung->addWidget(btnBildSchrift, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    else
        beschriftung->addWidget(btnBildSchrift, 1, 1);
}

void TDruckFenster::BeschriftungZeigen(bool bildname, bool bildgroesse, int titelPosition)
{
    cbBildnameDrucken->setChecked(bildname);
    cbBildgroesseDrucken->setChecked(bildgroesse);
    switch (titelPosition) {
    case 2: rbLinksbuendig->setChecked(true); break;
    case 3: rbRechtsbuendig->setChecked(true); break;
    default: rbZentriert->setChecked(true); break;
    }
}

void TDruckFenster::TitelDrucken(const TDruckSchrift& schrift, const QString& titel, double links, double mitte,
                                 double rechts) const
{
    if (Getrimmt(titel).isEmpty())
        return;
    if (rbLinksbuendig->isChecked())
        TextInMmDrucken(0, schrift, titel, links, 10);
    else if (rbRechtsbuendig->isChecked())
        TextInMmDrucken(2, schrift, titel, rechts, 10);
    else
        TextInMmDrucken(1, schrift, titel, mitte, 10);
}

void TDruckFenster::BildBeschriftungDrucken(const TDruckSchrift& schrift, const QString& name, const TBitmap& bild,
                                            double mitte, double oben) const
{
    double zeileMm = 0;
    if (cbBildnameDrucken->isChecked()) {
        TextInMmDrucken(1, schrift, name, mitte, oben);
        zeileMm = DruckpunkteZuMmY(DruckTextHoehe(schrift.font));
    }
    if (cbBildgroesseDrucken->isChecked())
        TextInMmDrucken(1, schrift, QStringLiteral("%1 x %2").arg(bild.Width()).arg(bild.Height()), mitte,
                        oben + zeileMm);
}

void TDruckFenster::DruckerEinrichten()
{
    QPrintDialog dialog(&Drucker(), this);
    dialog.setWindowTitle(QStringLiteral("Druckeinrichtung"));
    dialog.exec();
}

void TDruckFenster::SchriftWaehlen(TDruckSchrift& schrift)
{
    bool ok = false;
    const QFont neu = QFontDialog::getFont(&ok, schrift.font, this, QStringLiteral("Schriftart"));
    if (ok)
        schrift.font = neu;
}
