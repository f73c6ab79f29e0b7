#include "files/Kopieren.h"
#include "TestHilfen.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

mode_t Modus(const QString& pfad)
{
    struct stat st {};
    ::stat(QFile::encodeName(pfad).constData(), &st);
    return st.st_mode & 0777;
}

}   // namespace

TEST(Kopieren, UeberschreibtMitVollemInhaltUndBehaeltModus)
{
    const QString ordner = FrischerOrdner(QStringLiteral("kopieren"));
    const QString quelle = ordner + QStringLiteral("/q.bin"), ziel = ordner + QStringLiteral("/z.bin");
    QByteArray gross(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < gross.size(); ++i)
        gross[i] = char(i * 31 % 251);
    DateiSchreiben(quelle, gross);
    DateiSchreiben(ziel, QByteArray("alt"));
    ::chmod(QFile::encodeName(ziel).constData(), 0604);
    ASSERT_TRUE(DateiKopieren(quelle, ziel, false));
    EXPECT_EQ(DateiBytes(ziel), gross);
    EXPECT_EQ(Modus(ziel), 0604u);
    const QString neu = ordner + QStringLiteral("/neu.bin");
    ASSERT_TRUE(DateiKopieren(quelle, neu, true));
    EXPECT_EQ(DateiBytes(neu), gross);
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(Kopieren, FehlschlagLaesstZielUnberuehrt)
{
    const QString ordner = FrischerOrdner(QStringLiteral("kopieren"));
    const QString quelle = ordner + QStringLiteral("/q.bin"), ziel = ordner + QStringLiteral("/z.bin");
    DateiSchreiben(quelle, QByteArray("neu"));
    DateiSchreiben(ziel, QByteArray("alt"));
    EXPECT_FALSE(DateiKopieren(ordner + QStringLiteral("/fehlt"), ziel, false));
    EXPECT_FALSE(DateiKopieren(ordner, ziel, false));   // a folder is no file
    EXPECT_EQ(DateiBytes(ziel), QByteArray("alt"));
    ::chmod(QFile::encodeName(ziel).constData(), 0444);
    EXPECT_FALSE(DateiKopieren(quelle, ziel, false));
    EXPECT_EQ(DateiBytes(ziel), QByteArray("alt"));
    EXPECT_FALSE(DateiKopieren(quelle, quelle + QStringLiteral("/unter"), false));
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
