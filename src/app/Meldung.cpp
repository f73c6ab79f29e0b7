#include "Meldung.h"
#include "Testnaht.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

static TMeldungHaken& Haken()
{
    static TMeldungHaken haken;
    return haken;
}

void SetzeMeldungHaken(TMeldungHaken haken)
{
    Haken() = std::move(haken);
}

static QString& Titel()
{
    static QString titel;
    return titel;
}

void SetzeAnwendungsTitel(const QString& titel)
{
    Titel() = titel;
}

QString AnwendungsTitel()
{
    return Titel().isEmpty() ? QStringLiteral("Zelvano") : Titel();
}

int Meldung(const QString& text, TMeldungArt art, int knoepfe)
{
    QString gezeigt = text;
    gezeigt.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (Haken())
        return Haken()(gezeigt, art, knoepfe);

    QMessageBox box(QApplication::activeWindow());
    box.setText(gezeigt);
    switch (art) {
    case TMeldungArt::Schlicht:
        box.setWindowTitle(AnwendungsTitel());
        box.setIcon(QMessageBox::NoIcon);
        break;
    case TMeldungArt::Warnung:
        box.setWindowTitle(QStringLiteral("Warnung"));
        box.setIcon(QMessageBox::Warning);
        break;
    case TMeldungArt::Fehler:
        box.setWindowTitle(QStringLiteral("Fehler"));
        box.setIcon(QMessageBox::Critical);
        break;
    case TMeldungArt::Information:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        break;
    case TMeldungArt::Bestaetigung:
        box.setWindowTitle(QStringLiteral("Bestätigung"));
        box.setIcon(QMessageBox::Question);
        break;
    }
    QPushButton* knopfJa = nullptr;
    QPushButton* knopfNein = nullptr;
    QPushButton* knopfAbbrechen = nullptr;
    QPushButton* knopfAlle = nullptr;
    if (knoepfe & mbJa)
        knopfJa = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    if (knoepfe & mbNein)
        knopfNein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    if (knoepfe & mbOk)
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (knoepfe & mbAlle)
        knopfAlle = box.addButton(QStringLiteral("&Alle"), QMessageBox::YesRole);
    if (knoepfe & mbAbbrechen)
        knopfAbbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    if (knopfAbbrechen)
        box.setEscapeButton(knopfAbbrechen);
    box.exec();

    // Closing the box counts as its cancelling button.
    QAbstractButton* gedrueckt = box.clickedButton();
    if (gedrueckt == nullptr)
        return knopfAbbrechen ? mbAbbrechen : (knopfNein ? mbNein : mbOk);
    if (gedrueckt == knopfJa)
        return mbJa;
    if (gedrueckt == knopfNein)
        return mbNein;
    if (gedrueckt == knopfAbbrechen)
        return mbAbbrechen;
    if (gedrueckt == knopfAlle)
        return mbAlle;
    return mbOk;
}
