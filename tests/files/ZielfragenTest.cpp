// The target folder of the save and convert windows and the overwrite question.
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include "TestHilfen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "files/Zielfragen.h"

TEST(Zielfragen, Eingabe_LeerRelativUndAbsolut)
{
    EXPECT_EQ(ZielOrdnerAusEingabe(QString(), QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(ZielOrdnerAusEingabe(QStringLiteral("c/../d"), QStringLiteral("/a/b/")), QStringLiteral("/a/b/d/"));
    EXPECT_EQ(ZielOrdnerAusEingabe(QStringLiteral("/x//y"), QStringLiteral("/a/")), QStringLiteral("/x/y/"));
    EXPECT_EQ(ZielOrdnerAusEingabe(QString(), QString()), QString());
}

TEST(Zielfragen, Anlegen_NurNachJaUndFehlschlagGemeldet)
{
    const QString basis = FrischerOrdner(QStringLiteral("zielfragen"));
    const QString neu = MitTrenner(basis) + QStringLiteral("neu/tief/");
    {
        TMeldungsFaenger nein(mbNein);
        EXPECT_FALSE(ZielOrdnerAnlegen(neu));
        ASSERT_EQ(nein.texte.size(), 1);
        EXPECT_TRUE(nein.texte.first().contains(QStringLiteral("ist nicht vorhanden.")));
        EXPECT_FALSE(QFileInfo(neu).isDir());
    }
    {
        TMeldungsFaenger ja(mbJa);
        EXPECT_TRUE(ZielOrdnerAnlegen(neu));
        EXPECT_TRUE(QFileInfo(neu).isDir());
        EXPECT_TRUE(ZielOrdnerAnlegen(neu));
        EXPECT_EQ(ja.texte.size(), 1);   // an existing folder is not asked for
    }
    {
        // Below a file no folder can be made.
        DateiSchreiben(MitTrenner(basis) + QStringLiteral("datei"), "x");
        TMeldungsFaenger ja(mbJa);
        EXPECT_FALSE(ZielOrdnerAnlegen(MitTrenner(basis) + QStringLiteral("datei/unter/")));
        ASSERT_EQ(ja.texte.size(), 2);
        EXPECT_TRUE(ja.texte.at(1).contains(QStringLiteral("kann nicht angelegt werden.")));
    }
}

TEST(Zielfragen, Ueberschreiben_NenntDenPfadUndGibtDieAntwort)
{
    TMeldungsFaenger alle(mbAlle);
    EXPECT_EQ(UeberschreibenFragen(QStringLiteral("/a/b.png"), TMeldungArt::Information, mbJa | mbAlle), mbAlle);
    ASSERT_EQ(alle.texte.size(), 1);
    EXPECT_TRUE(alle.texte.first().contains(QStringLiteral("/a/b.png")));
    EXPECT_TRUE(alle.texte.first().contains(QStringLiteral("Soll die Datei überschrieben werden?")));
}
