#pragma once
#include <QImage>
#include <QMarginsF>
#include <QString>
#include <QStringList>

// The program's printer pointed at PDF files: A4 at the given resolution
// with unequal margins, so offsets that are lost or counted twice show.
void PdfDruckerEinrichten(int dpi = 600, QMarginsF raenderMm = QMarginsF(10, 15, 20, 25));
// Every job that begins from now on writes its own PDF file in ordner
// (job1.pdf, job2.pdf, ...); returns the list the names are added to.
QStringList& JedenAuftragInEigeneDatei(const QString& ordner);
void AuftragsHakenLoesen();

// Output of a command line tool (stdout), empty when it failed.
QString Ausgabe(const QString& programm, const QStringList& argumente);
// Page count and page size in millimetres as pdfinfo reports them.
int PdfSeiten(const QString& pdf);
QSizeF PdfSeitenMm(const QString& pdf);
// The page rendered by pdftoppm at 254 dpi: 10 pixels per millimetre.
QImage PdfAlsBild(const QString& pdf, int seite = 1);
// Bounding box (pixels of PdfAlsBild) of the pixels that are clearly red.
QRect RoteFlaeche(const QImage& seite);
// Sizes of the embedded images as pdfimages -list reports them.
QList<QSize> PdfBilder(const QString& pdf);

// A word of pdftotext -bbox: its box in millimetres from the paper corner.
struct TPdfWort {
    QString text;
    QRectF mm;
};
QList<TPdfWort> PdfWoerter(const QString& pdf, int seite = 1);
