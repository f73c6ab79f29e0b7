#include "DruckHilfen.h"
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include "printing/GlobalDruck.h"
#include "Testnaht.h"

void PdfDruckerEinrichten(int dpi, QMarginsF raenderMm)
{
    QPrinter& p = Drucker();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setResolution(dpi);
    p.setFullPage(false);
    p.setPageOrientation(QPageLayout::Portrait);
    p.setPageSize(QPageSize(QPageSize::A4));
    p.setPageMargins(raenderMm, QPageLayout::Millimeter);
    p.setCopyCount(1);
}

namespace {
QStringList g_auftraege;
}

QStringList& JedenAuftragInEigeneDatei(const QString& ordner)
{
    g_auftraege.clear();
    DruckauftragHaken = [ordner] {
        const QString datei = ordner + QStringLiteral("/job%1.pdf").arg(g_auftraege.size() + 1);
        Drucker().setOutputFileName(datei);
        g_auftraege << datei;
    };
    return g_auftraege;
}

void AuftragsHakenLoesen()
{
    DruckauftragHaken = nullptr;
}

QString Ausgabe(const QString& programm, const QStringList& argumente)
{
    QProcess prozess;
    prozess.start(programm, argumente);
    if (!prozess.waitForFinished(60000) || prozess.exitCode() != 0)
        return {};
    return QString::fromUtf8(prozess.readAllStandardOutput());
}

int PdfSeiten(const QString& pdf)
{
    const auto treffer = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                             .match(Ausgabe(QStringLiteral("pdfinfo"), {pdf}));
    return treffer.hasMatch() ? treffer.captured(1).toInt() : -1;
}

QSizeF PdfSeitenMm(const QString& pdf)
{
    const auto treffer = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                             .match(Ausgabe(QStringLiteral("pdfinfo"), {pdf}));
    if (!treffer.hasMatch())
        return {};
    return QSizeF(treffer.captured(1).toDouble() * 25.4 / 72, treffer.captured(2).toDouble() * 25.4 / 72);
}

QImage PdfAlsBild(const QString& pdf, int seite)
{
    QTemporaryDir ordner;
    const QString basis = ordner.path() + QStringLiteral("/seite");
    const QString s = QString::number(seite);
    Ausgabe(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"), s, QStringLiteral("-l"), s,
             QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, basis});
    return QImage(basis + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

QRect RoteFlaeche(const QImage& seite)
{
    QRect flaeche;
    for (int y = 0; y < seite.height(); ++y) {
        const auto* zeile = reinterpret_cast<const QRgb*>(seite.constScanLine(y));
        for (int x = 0; x < seite.width(); ++x)
            if (qRed(zeile[x]) > 200 && qGreen(zeile[x]) < 60 && qBlue(zeile[x]) < 60)
                flaeche |= QRect(x, y, 1, 1);
    }
    return flaeche;
}

QList<QSize> PdfBilder(const QString& pdf)
{
    QList<QSize> groessen;
    const QStringList zeilen = Ausgabe(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Two header lines, then: page num type width height ...
    for (int i = 2; i < zeilen.size(); ++i) {
        const QStringList teile = zeilen.at(i).simplified().split(QLatin1Char(' '));
        if (teile.size() > 4 && teile.at(2) == QLatin1String("image"))
            groessen << QSize(teile.at(3).toInt(), teile.at(4).toInt());
    }
    return groessen;
}

QList<TPdfWort> PdfWoerter(const QString& pdf, int seite)
{
    QList<TPdfWort> woerter;
    const QString s = QString::number(seite);
    const QString html = Ausgabe(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), s,
                                                               QStringLiteral("-l"), s, pdf, QStringLiteral("-")});
    static const QRegularExpression wort(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const double mm = 25.4 / 72;
    for (auto it = wort.globalMatch(html); it.hasNext();) {
        const auto t = it.next();
        const double x0 = t.captured(1).toDouble() * mm, y0 = t.captured(2).toDouble() * mm;
        const double x1 = t.captured(3).toDouble() * mm, y1 = t.captured(4).toDouble() * mm;
        woerter << TPdfWort{t.captured(5), QRectF(QPointF(x0, y0), QPointF(x1, y1))};
    }
    return woerter;
}
