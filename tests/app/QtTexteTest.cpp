#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QTranslator>
#include <memory>
#include "QtTexte.h"

namespace {

QStringList MenueTexte()
{
    QLineEdit feld;
    std::unique_ptr<QMenu> menue(feld.createStandardContextMenu());
    QStringList texte;
    for (QAction* aktion : menue->actions())
        if (!aktion->isSeparator())
            texte << aktion->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    return texte;
}

TEST(QtTexteTest, EingabefeldMenueUndDruckdialogSprechenDeutsch)
{
    ASSERT_TRUE(MenueTexte().contains(QStringLiteral("Paste")));
    QTranslator* uebersetzer = QtTexteDeutsch(*qApp);
    ASSERT_NE(uebersetzer, nullptr);
    const QStringList texte = MenueTexte();
    EXPECT_TRUE(texte.contains(QStringLiteral("Einfügen"))) << texte.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(texte.contains(QStringLiteral("Paste")));
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));

    // The test program's other cases keep the toolkit's own texts.
    QCoreApplication::removeTranslator(uebersetzer);
    delete uebersetzer;
    EXPECT_TRUE(MenueTexte().contains(QStringLiteral("Paste")));
}

} // namespace
