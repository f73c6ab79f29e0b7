#include "GlobalDruck.h"
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <cmath>
#include <memory>
#include "Bitmap_Drucken.h"
#include "Einstellungen.h"
#include "Meldung.h"
#include "Testnaht.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Runden.h"

std::function<void()> DruckauftragHaken;

namespace {

std::unique_ptr<QPainter>& Canvas()
{
    static std::unique_ptr<QPainter> canvas;
    return canvas;
}

// The physical offset of the printable area: where the canvas origin lies,
// measured from the paper's corner.
QPoint PhysischerVersatz()
{
    const QRectF bereich = Drucker().pageRect(QPrinter::DevicePixel);
    const QRectF papier = Drucker().paperRect(QPrinter::DevicePixel);
    return QPoint(int(std::lround(bereich.left() - papier.left())), int(std::lround(bereich.top() - papier.top())));
}

} // namespace

namespace {

QPrinter* NeuerDrucker()
{
    auto* p = new QPrinter(QPrinter::HighResolution);
    // The canvas origin is the printable corner, as the offsets assume.
    p->setFullPage(false);
    return p;
}

QPrinter*& DruckerZeiger()
{
    static QPrinter* drucker = NeuerDrucker();
    return drucker;
}

// A job the printer refused leaves a QPrinter marked active for good: it
// rejects every later change (another printer, an output file) and every
// later job. A fresh printer with the same settings takes its place.
void DruckerErneuern()
{
    QPrinter* alt = DruckerZeiger();
    QPrinter* neu = NeuerDrucker();
    neu->setOutputFormat(alt->outputFormat());
    if (alt->outputFormat() == QPrinter::NativeFormat)
        neu->setPrinterName(alt->printerName());
    neu->setOutputFileName(alt->outputFileName());
    neu->setResolution(alt->resolution());
    neu->setPageLayout(alt->pageLayout());
    neu->setFullPage(alt->fullPage());
    neu->setCopyCount(alt->copyCount());
    neu->setCollateCopies(alt->collateCopies());
    neu->setColorMode(alt->colorMode());
    neu->setDuplex(alt->duplex());
    neu->setDocName(alt->docName());
    DruckerZeiger() = neu;
    delete alt;
}

} // namespace

QPrinter& Drucker()
{
    return *DruckerZeiger();
}

void DruckerWerteErmitteln(int& DpiX, int& DpiY, int& PapierBreite, int& PapierHoehe, int& RandLinks,
                           int& RandOben, int& RandRechts, int& RandUnten, int& DruckbereichBreite,
                           int& DruckbereichHoehe)
{
    QPrinter& p = Drucker();
    DpiX = p.logicalDpiX();
    DpiY = p.logicalDpiY();
    const QRectF papier = p.paperRect(QPrinter::DevicePixel);
    PapierBreite = int(std::lround(papier.width()));
    PapierHoehe = int(std::lround(papier.height()));
    const QPoint versatz = PhysischerVersatz();
    RandLinks = versatz.x();
    RandOben = versatz.y();
    DruckbereichBreite = p.width();
    DruckbereichHoehe = p.height();
    // The two computed margins last, from the values just read.
    RandRechts = PapierBreite - DruckbereichBreite - RandLinks;
    RandUnten = PapierHoehe - DruckbereichHoehe - RandOben;
}

void DruckerWerteErmitteln(TDruckerWerte& w)
{
    DruckerWerteErmitteln(w.DpiX, w.DpiY, w.PapierBreite, w.PapierHoehe, w.RandLinks, w.RandOben, w.RandRechts,
                          w.RandUnten, w.DruckbereichBreite, w.DruckbereichHoehe);
}

double DruckpunkteZuMmX(int punkte)
{
    return double((long double)punkte / (long double)Drucker().logicalDpiX() * 25.4L);
}

double DruckpunkteZuMmY(int punkte)
{
    return double((long double)punkte / (long double)Drucker().logicalDpiY() * 25.4L);
}

int MmZuDruckpunktenX(double mm)
{
    return Runden((long double)Drucker().logicalDpiX() * ((long double)mm / 25.4L));
}

int MmZuDruckpunktenY(double mm)
{
    return Runden((long double)Drucker().logicalDpiY() * ((long double)mm / 25.4L));
}

void BitmapInMmDrucken(const QImage& bild, double x, double y, double breite, double hoehe)
{
    if (breite * hoehe == 0)
        return;
    const QPoint versatz = PhysischerVersatz();
    const int links = MmZuDruckpunktenX(x) - versatz.x();
    const int oben = MmZuDruckpunktenY(y) - versatz.y();
    // The size is converted on its own, so it does not depend on the position.
    const int rechts = MmZuDruckpunktenX(breite) + links;
    const int unten = MmZuDruckpunktenY(hoehe) + oben;
    if (bild.width() > rechts - links) {
        TBitmap klein;
        BitmapVerkleinern(TBitmap(bild), klein, rechts - links, unten - oben);
        BitmapDrucken(klein, links, oben, rechts, unten);
    } else {
        BitmapDrucken(bild, links, oben, rechts, unten);
    }
}

void BitmapInMmDrucken(const TBitmap& bmp, double x, double y, double breite, double hoehe)
{
    BitmapInMmDrucken(bmp.Bild(), x, y, breite, hoehe);
}

void TextInMmDrucken(int modus, const QFont& schrift, const QString& text, double x, double y)
{
    QPainter* canvas = DruckerCanvas();
    if (!canvas)
        return;
    canvas->setFont(schrift);
    const QFontMetrics masse = canvas->fontMetrics();
    const QPoint versatz = PhysischerVersatz();
    int px = MmZuDruckpunktenX(x) - versatz.x();
    if (modus == 1)
        px -= masse.horizontalAdvance(text) / 2;   // integer division toward zero
    else if (modus == 2)
        px -= masse.horizontalAdvance(text);
    const int py = MmZuDruckpunktenY(y) - versatz.y();
    // (px, py) is the top-left corner of the text cell, not the base line.
    canvas->drawText(QPoint(px, py + masse.ascent()), text);
}

void TextInMmDrucken(int modus, const TDruckSchrift& schrift, const QString& text, double x, double y)
{
    if (QPainter* canvas = DruckerCanvas())
        canvas->setPen(QColor(FarbwertZuRgb(schrift.farbe)));
    TextInMmDrucken(modus, schrift.font, text, x, y);
}

int DruckTextHoehe(const QFont& schrift, const QString& text)
{
    Q_UNUSED(text);
    return QFontMetrics(schrift, &Drucker()).height();
}

int DruckTextBreite(const QFont& schrift, const QString& text)
{
    return QFontMetrics(schrift, &Drucker()).horizontalAdvance(text);
}

bool DruckBeginnen()
{
    if (Canvas())
        DruckBeenden();
    if (DruckauftragHaken)
        DruckauftragHaken();
    auto canvas = std::make_unique<QPainter>();
    if (!canvas->begin(&Drucker())) {
        canvas.reset();
        DruckerErneuern();
        Meldung(QStringLiteral("Der Druckauftrag konnte nicht gestartet werden.\r\r"
                               "Bitte prüfen Sie, ob ein Drucker eingerichtet ist."),
                TMeldungArt::Fehler, mbOk);
        return false;
    }
    Canvas() = std::move(canvas);
    return true;
}

bool DruckNeueSeite()
{
    return Canvas() && Drucker().newPage();
}

void DruckBeenden()
{
    if (!Canvas())
        return;
    Canvas()->end();
    Canvas().reset();
}

QPainter* DruckerCanvas()
{
    return Canvas().get();
}
