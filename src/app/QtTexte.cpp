#include "QtTexte.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator* QtTexteDeutsch(QCoreApplication& anwendung)
{
    auto* uebersetzer = new QTranslator(&anwendung);
    if (!uebersetzer->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(uebersetzer)) {
        delete uebersetzer;
        return nullptr;
    }
    return uebersetzer;
}
