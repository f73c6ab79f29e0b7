#include "TestHilfen.h"
#include "Einstellungen.h"
#include "ZelvanoMain.h"
#include "Testnaht.h"
#include <QDir>
#include <QFile>
#include <QUuid>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

QString MusterPfad(const QString& name)
{
    return QStringLiteral(MUSTER_ORDNER) + QLatin1Char('/') + name;
}

QString FrischerOrdner(const QString& name)
{
    const QString pfad = QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    QDir().mkpath(pfad);
    return pfad;
}

QByteArray DateiBytes(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void DateiSchreiben(const QString& pfad, const QByteArray& daten)
{
    QFile f(pfad);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(daten);
}

TMeldungsFaenger::TMeldungsFaenger(int antwort_) : antwort(antwort_)
{
    SetzeMeldungHaken([this](const QString& text, TMeldungArt, int) {
        texte << text;
        return antwort;
    });
}

TMeldungsFaenger::~TMeldungsFaenger()
{
    SetzeMeldungHaken({});
}

TModalSchliesser::TModalSchliesser() : m_timer(new QTimer)
{
    m_timer->setInterval(20);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
            ++geschlossen;
        }
    });
    m_timer->start();
}

TModalSchliesser::~TModalSchliesser()
{
    delete m_timer;
}

void HauptfensterFuerTestAnlegen()
{
    TMeldungsFaenger faenger;   // the start-up's help-file message, if any
    new TfrmZelvanoMain();
    OeffnenFensterLaden = false;
    frmZelvanoMain->FormShow({});
}

bool OrdnerGeladenAbwarten(QFileSystemModel* modell, const QString& ordner, int zeilen)
{
    QElapsedTimer uhr;
    uhr.start();
    while (modell->rowCount(modell->index(ordner)) < zeilen && uhr.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // The model sorts the new rows a moment later; the tree follows that.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return modell->rowCount(modell->index(ordner)) >= zeilen;
}

TSpeicherGrenze::TSpeicherGrenze(size_t spielraum)
{
    rlimit alt{};
    if (getrlimit(RLIMIT_AS, &alt) != 0)
        return;
    // The first number of statm: the pages mapped now.
    unsigned long seiten = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return;
    const bool gelesen = std::fscanf(statm, "%lu", &seiten) == 1;
    std::fclose(statm);
    if (!gelesen)
        return;
    rlimit eng = alt;
    eng.rlim_cur = rlim_t(seiten) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(spielraum);
    if (alt.rlim_max != RLIM_INFINITY && eng.rlim_cur > alt.rlim_max)
        return;
    if (setrlimit(RLIMIT_AS, &eng) != 0)
        return;
    m_altWeich = alt.rlim_cur;
    m_altHart = alt.rlim_max;
    m_gesetzt = ok = true;
}

TSpeicherGrenze::~TSpeicherGrenze()
{
    Aufheben();
}

void TSpeicherGrenze::Aufheben()
{
    if (!m_gesetzt)
        return;
    rlimit alt{};
    alt.rlim_cur = rlim_t(m_altWeich);
    alt.rlim_max = rlim_t(m_altHart);
    setrlimit(RLIMIT_AS, &alt);
    m_gesetzt = false;
}
