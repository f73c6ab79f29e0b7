// One running instance of the program for tests that need several at once:
// the main window, started with an optional picture, driven line by line
// over stdin. Every command is answered with one line on stdout:
//   <command> <pid> <md5 of the working bitmap> <edited 0/1> <undo steps>
//   <name of the undo prefix> [| message ...]
// Commands: zustand, horizontal, vertikal (mirroring), rueckgaengig, ende (closes the window; an
// edited picture is not saved).
// With "--warten" the window is created, "wartet" reported, and the
// start-up (temporary names, the picture) waits for a line "start <ms since
// the epoch>" and then for that moment, so several instances can fix their
// temporary names together.
#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <Magick++.h>
#include <cstdio>
#include <iostream>
#include <string>
#include "Einstellungen.h"
#include "Global.h"
#include "Meldung.h"
#include "ZelvanoMain.h"
#include "Testnaht.h"

namespace {

QStringList g_meldungen;

QByteArray BildPruefsumme(const TBitmap& bmp)
{
    QCryptographicHash summe(QCryptographicHash::Md5);
    const QByteArray groesse = QByteArray::number(bmp.Width()) + 'x' + QByteArray::number(bmp.Height());
    summe.addData(groesse);
    for (int y = 0; y < bmp.Height(); ++y)
        summe.addData(QByteArrayView(reinterpret_cast<const char*>(bmp.ScanLine(y)), qsizetype(bmp.Width()) * 3));
    return summe.result().toHex();
}

void Antworten(const std::string& befehl)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    QByteArray zeile = QByteArray::fromStdString(befehl) + ' ' +
                       QByteArray::number(QCoreApplication::applicationPid()) + ' ' + BildPruefsumme(f->OriginalBild) +
                       ' ' + (BildBearbeitet ? '1' : '0') + ' ' + QByteArray::number(RueckgaengigAnzahl) + ' ' +
                       (RueckgaengigPrefix.isEmpty() ? QByteArray("-")
                                                     : QFile::encodeName(QFileInfo(RueckgaengigPrefix).fileName()));
    for (const QString& text : std::as_const(g_meldungen))
        zeile += " | " + text.simplified().toUtf8();
    g_meldungen.clear();
    std::fwrite(zeile.constData(), 1, size_t(zeile.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    Magick::InitializeMagick(argv[0]);
    QApplication anwendung(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    QStringList argumente = QCoreApplication::arguments();
    argumente.removeFirst();
    const bool warten = !argumente.isEmpty() && argumente.at(0) == QLatin1String("--warten");
    if (warten)
        argumente.removeFirst();

    // Message boxes are answered "Nein" and reported with the next answer.
    SetzeMeldungHaken([](const QString& text, TMeldungArt, int) {
        g_meldungen << text;
        return int(mbNein);
    });
    auto* f = new TfrmZelvanoMain();
    OeffnenFensterLaden = false;
    MaxRueck = 10;
    f->show();
    QCoreApplication::processEvents();
    std::string befehl;
    if (warten) {
        std::fputs("wartet\n", stdout);
        std::fflush(stdout);
        if (!std::getline(std::cin, befehl) || befehl.rfind("start ", 0) != 0)
            return 1;
        const qint64 start = std::stoll(befehl.substr(6));
        while (QDateTime::currentMSecsSinceEpoch() < start)
            QThread::usleep(200);
    }
    f->FormShow(argumente);
    QCoreApplication::processEvents();
    Antworten("bereit");

    while (std::getline(std::cin, befehl)) {
        if (befehl == "horizontal")
            f->mBeaHorizontalExecute();
        else if (befehl == "vertikal")
            f->mBeaVertikalExecute();
        else if (befehl == "rueckgaengig")
            f->mBeaRueckgaengigExecute();
        else if (befehl == "ende") {
            f->close();
            QCoreApplication::processEvents();
            Antworten(befehl);
            break;
        }
        QCoreApplication::processEvents();
        Antworten(befehl);
    }
    delete f;
    return 0;
}
