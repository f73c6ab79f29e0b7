// Test main: every test process gets its own HOME, XDG_CONFIG_HOME and
// TMPDIR, the offscreen platform and a German locale, so no test touches the
// user's settings or temporary folder.
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <Magick++.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    const QByteArray basis = QByteArray(TEST_ARBEITSORDNER) + "/p" + QByteArray::number(getpid());
    QDir(QString::fromLocal8Bit(basis)).removeRecursively();
    for (const char* unter : {"/home", "/config", "/tmp", "/home/Documents"})
        QDir().mkpath(QString::fromLocal8Bit(basis + unter));
    setenv("HOME", basis + "/home", 1);
    setenv("XDG_CONFIG_HOME", basis + "/config", 1);
    setenv("TMPDIR", basis + "/tmp", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);

    QStandardPaths::setTestModeEnabled(false);
    Magick::InitializeMagick(argv[0]);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    const int ergebnis = RUN_ALL_TESTS();
    QDir(QString::fromLocal8Bit(basis)).removeRecursively();
    return ergebnis;
}
