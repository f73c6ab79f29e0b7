// Final deletion of files and folders.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include "Loeschen.h"
#include "TestHilfen.h"

TEST(LoeschenTest, Loeschen_FehlenderPfadGibtFalschOhneMeldung)
{
    TMeldungsFaenger faenger;
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    EXPECT_FALSE(DateiLoeschen(ordner + QStringLiteral("/gibtsnicht.jpg")));
    EXPECT_TRUE(faenger.texte.isEmpty());
}

TEST(LoeschenTest, Loeschen_DateiIstWeg)
{
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    const QString datei = ordner + QStringLiteral("/a.bmp");
    const QString nachbar = ordner + QStringLiteral("/b.bmp");
    DateiSchreiben(datei, QByteArray("BM"));
    DateiSchreiben(nachbar, QByteArray("BM"));
    EXPECT_TRUE(DateiLoeschen(datei));
    EXPECT_FALSE(QFileInfo::exists(datei));
    EXPECT_TRUE(QFileInfo::exists(nachbar));
}

TEST(LoeschenTest, Loeschen_SchreibgeschuetzteDateiGehtAuch)
{
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    const QString datei = ordner + QStringLiteral("/nurlesen.jpg");
    DateiSchreiben(datei, QByteArray("x"));
    QFile::setPermissions(datei, QFileDevice::ReadOwner);
    EXPECT_TRUE(DateiLoeschen(datei));
    EXPECT_FALSE(QFileInfo::exists(datei));
}

TEST(LoeschenTest, Loeschen_OrdnerMitInhaltUndEndtrenner)
{
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    const QString ziel = ordner + QStringLiteral("/voll");
    QDir().mkpath(ziel + QStringLiteral("/unter"));
    DateiSchreiben(ziel + QStringLiteral("/1.png"), QByteArray("x"));
    DateiSchreiben(ziel + QStringLiteral("/unter/2.png"), QByteArray("y"));
    EXPECT_TRUE(DateiLoeschen(ziel + QLatin1Char('/')));
    EXPECT_FALSE(QFileInfo::exists(ziel));
    EXPECT_TRUE(QFileInfo::exists(ordner));
}

TEST(LoeschenTest, Loeschen_LeererPfadLaesstAktuellenOrdnerStehen)
{
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    const QString datei = ordner + QStringLiteral("/bleibt.txt");
    DateiSchreiben(datei, QByteArray("x"));
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(ordner));
    EXPECT_FALSE(DateiLoeschen(QString()));
    EXPECT_FALSE(DateiLoeschen(QStringLiteral("/")));
    QDir::setCurrent(vorher);
    EXPECT_TRUE(QFileInfo::exists(datei));
}

TEST(LoeschenTest, Loeschen_VerknuepfungGehtZielBleibt)
{
    const QString ordner = FrischerOrdner(QStringLiteral("loeschen"));
    const QString ziel = ordner + QStringLiteral("/ziel");
    QDir().mkpath(ziel);
    DateiSchreiben(ziel + QStringLiteral("/wert.txt"), QByteArray("x"));
    const QString link = ordner + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(ziel, link));
    EXPECT_TRUE(DateiLoeschen(link + QLatin1Char('/')));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(ziel + QStringLiteral("/wert.txt")));
}
