#include <gtest/gtest.h>
#include <Magick++.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QDropEvent>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"

// Paths in failure messages as text.
static void PrintTo(const QString& text, std::ostream* aus)
{
    *aus << '"' << text.toStdString() << '"';
}

namespace {

class KommandozeileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        BildListe.clear();
        BildIndex = -1;
        BildQuelle = BildQuelleKeine;
        BildBearbeitet = false;
        BeiStartAlleLaden = true;
        // The open dialog would wait for the user.
        OeffnenFensterLaden = false;
        LadeVerzeichnis = QStringLiteral("/start/laden/");
        SpeicherVerzeichnis = QStringLiteral("/start/speichern/");
        f->OriginalBild.Clear();
        ordner = FrischerOrdner(QStringLiteral("kommandozeile"));
        altesVerzeichnis = QDir::currentPath();
    }
    void TearDown() override
    {
        QDir::setCurrent(altesVerzeichnis);
        BeiStartAlleLaden = true;
    }

    // A small image whose width tells which file is shown.
    QString Bild(const QString& name, int breite, const char* format = nullptr)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        QImage bild(breite, 7, QImage::Format_RGB888);
        bild.fill(QColor(200, 100, 50));
        EXPECT_TRUE(bild.save(pfad, format)) << qPrintable(pfad);
        return pfad;
    }
    // The same, written by ImageMagick for the formats Qt does not write.
    QString MagickBild(const QString& name, int breite, const char* format)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        Magick::Image bild(Magick::Geometry(size_t(breite), 7), Magick::Color("orange"));
        bild.magick(format);
        bild.write(pfad.toStdString());
        return pfad;
    }
    QString O(const QString& name) const { return ordner + QLatin1Char('/') + name; }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
    QString altesVerzeichnis;
};

} // namespace

TEST_F(KommandozeileTest, ZweiDateien_InArgumentfolgeErsteGezeigt)
{
    const QString b = Bild(QStringLiteral("b.png"), 11);
    const QString a = Bild(QStringLiteral("a.png"), 12);
    Bild(QStringLiteral("c.png"), 13);
    f->KommandozeileVerarbeiten({b, a});
    EXPECT_EQ(BildListe, QStringList({b, a}));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(f->OriginalBild.Width(), 11);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_EQ(SpeicherVerzeichnis, QStringLiteral("/start/speichern/"));
}

TEST_F(KommandozeileTest, FehlendeUndOrdnerWerdenUebergangen)
{
    const QString a = Bild(QStringLiteral("a.png"), 12);
    const QString b = Bild(QStringLiteral("b.png"), 14);
    QDir().mkpath(O(QStringLiteral("unter")));
    f->KommandozeileVerarbeiten({a, O(QStringLiteral("fehlt.png")), O(QStringLiteral("unter")), b});
    EXPECT_EQ(BildListe, QStringList({a, b}));
    EXPECT_EQ(f->OriginalBild.Width(), 12);
}

TEST_F(KommandozeileTest, EineDatei_GanzerOrdnerOhneGrossKleinSortiert)
{
    Bild(QStringLiteral("c.jpg"), 21, "JPG");
    Bild(QStringLiteral("A.BMP"), 22, "BMP");
    Bild(QStringLiteral("b.png"), 23);
    Bild(QStringLiteral("D.Png"), 24);
    DateiSchreiben(O(QStringLiteral("x.txt")), "kein Bild");
    QDir().mkpath(O(QStringLiteral("e.png")));   // a folder named like an image
    f->KommandozeileVerarbeiten({O(QStringLiteral("c.jpg"))});
    EXPECT_EQ(BildListe, QStringList({O(QStringLiteral("A.BMP")), O(QStringLiteral("b.png")),
                                      O(QStringLiteral("c.jpg")), O(QStringLiteral("D.Png"))}));
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(f->OriginalBild.Width(), 21);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
}

TEST_F(KommandozeileTest, EineDatei_OhneOrdneroptionNurSie)
{
    BeiStartAlleLaden = false;
    Bild(QStringLiteral("a.png"), 12);
    const QString b = Bild(QStringLiteral("b.png"), 13);
    f->KommandozeileVerarbeiten({b});
    EXPECT_EQ(BildListe, QStringList({b}));
    EXPECT_EQ(BildIndex, 0);
}

TEST_F(KommandozeileTest, ZweiArgumenteEinesFehlt_OrdnerWirdNichtGelistet)
{
    const QString a = Bild(QStringLiteral("a.png"), 12);
    Bild(QStringLiteral("b.png"), 13);
    f->KommandozeileVerarbeiten({a, O(QStringLiteral("fehlt.png"))});
    EXPECT_EQ(BildListe, QStringList({a}));
}

TEST_F(KommandozeileTest, BlosserName_ImAktuellenOrdner)
{
    Bild(QStringLiteral("d.png"), 15);
    QDir::setCurrent(ordner);
    BeiStartAlleLaden = false;
    f->KommandozeileVerarbeiten({QStringLiteral("d.png")});
    EXPECT_EQ(BildListe, QStringList({O(QStringLiteral("d.png"))}));
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
    EXPECT_EQ(f->OriginalBild.Width(), 15);
}

TEST_F(KommandozeileTest, NurFehlende_NichtsGezeigtStartordnerBleibt)
{
    f->KommandozeileVerarbeiten({O(QStringLiteral("fehlt.png")), QStringLiteral("/gibt/es/nicht")});
    EXPECT_TRUE(BildListe.isEmpty());
    EXPECT_EQ(BildIndex, -1);
    EXPECT_EQ(BildQuelle, BildQuelleKeine);
    EXPECT_EQ(LadeVerzeichnis, QStringLiteral("/start/laden/"));
}

TEST_F(KommandozeileTest, OhneArgumente_KeinAbsturzListeBleibt)
{
    BildListe = {QStringLiteral("/x.png")};
    f->KommandozeileVerarbeiten({});
    EXPECT_EQ(BildListe, QStringList({QStringLiteral("/x.png")}));
}

TEST_F(KommandozeileTest, SonderzeichenImNamen)
{
    const QString name = QStringLiteral("Urlaub [2024]: Bärenstraße (1) ü.png");
    const QString pfad = Bild(name, 17);
    Bild(QStringLiteral("zz.png"), 18);
    f->KommandozeileVerarbeiten({pfad});
    ASSERT_EQ(BildListe.size(), 2);
    EXPECT_EQ(BildListe.at(BildIndex), pfad);
    EXPECT_EQ(f->OriginalBild.Width(), 17);
}

TEST_F(KommandozeileTest, DateiMitFremderEndung_WirdAnIhremPlatzGezeigt)
{
    // Extensions the folder listing does not take, with content we read.
    MagickBild(QStringLiteral("a.gif"), 30, "GIF");
    Bild(QStringLiteral("c.png"), 33);
    struct T { const char* name; const char* format; int breite; };
    for (const T& t : {T{"b.tiff", "TIFF", 31}, T{"b.webp", "WEBP", 32}, T{"b.jpe", "JPEG", 35},
                       T{"B2.xyz", "PNG", 36}}) {
        SCOPED_TRACE(t.name);
        const QString pfad = MagickBild(QString::fromLatin1(t.name), t.breite, t.format);
        TMeldungsFaenger faenger;
        f->KommandozeileVerarbeiten({pfad});
        EXPECT_EQ(BildListe, QStringList({O(QStringLiteral("a.gif")), pfad, O(QStringLiteral("c.png"))}));
        EXPECT_EQ(BildIndex, 1);
        EXPECT_EQ(BildQuelle, BildQuelleDatei);
        EXPECT_EQ(f->OriginalBild.Width(), t.breite);
        EXPECT_TRUE(faenger.texte.isEmpty()) << qPrintable(faenger.texte.join(QLatin1Char('|')));
        QFile::remove(pfad);
    }
}

TEST_F(KommandozeileTest, DateiMitFremderEndungAllein_WirdGezeigt)
{
    const QString pfad = Bild(QStringLiteral("fremd.xyz"), 31, "PNG");
    f->KommandozeileVerarbeiten({pfad});
    EXPECT_EQ(BildListe, QStringList({pfad}));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(f->OriginalBild.Width(), 31);
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
}

TEST_F(KommandozeileTest, UnlesbareDateiMitFremderEndung_FehlerbildUndMeldungMitName)
{
    MagickBild(QStringLiteral("a.gif"), 30, "GIF");
    const QString notiz = O(QStringLiteral("notiz.txt"));
    DateiSchreiben(notiz, "kein Bild, nur Text");
    TMeldungsFaenger faenger;
    f->KommandozeileVerarbeiten({notiz});
    EXPECT_EQ(BildListe, QStringList({O(QStringLiteral("a.gif")), notiz}));
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 128);   // the error picture
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.first().contains(QStringLiteral("notiz.txt"))) << qPrintable(faenger.texte.first());

    // Dropped, the same file gets the same word.
    TMeldungsFaenger fallen;
    f->DateienEmpfangen({notiz});
    EXPECT_EQ(BildListe, QStringList({notiz}));
    EXPECT_EQ(f->OriginalBild.Width(), 128);
    ASSERT_EQ(fallen.texte.size(), 1);
    EXPECT_TRUE(fallen.texte.first().contains(QStringLiteral("notiz.txt"))) << qPrintable(fallen.texte.first());
}

// ---- Dropped files ------------------------------------------------------------

namespace {

void Fallenlassen(QWidget* ziel, const QList<QUrl>& urls, bool* angenommen = nullptr)
{
    QMimeData daten;
    daten.setUrls(urls);
    QDragEnterEvent eintritt(QPoint(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ziel, &eintritt);
    if (angenommen)
        *angenommen = eintritt.isAccepted();
    QDropEvent fallen(QPointF(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ziel, &fallen);
}

QList<QUrl> Urls(const QStringList& pfade)
{
    QList<QUrl> urls;
    for (const QString& p : pfade)
        urls << QUrl::fromLocalFile(p);
    return urls;
}

} // namespace

TEST_F(KommandozeileTest, Fallenlassen_ErsetztBearbeitetesBildOhneFrage)
{
    const QString alt = Bild(QStringLiteral("alt.png"), 9);
    f->KommandozeileVerarbeiten({alt});
    BildBearbeitet = true;
    const QString zweit = FrischerOrdner(QStringLiteral("fallen"));
    const QString a = zweit + QStringLiteral("/a.png");
    QImage(41, 5, QImage::Format_RGB888).save(a);
    const QString b = Bild(QStringLiteral("b.png"), 42);
    const QString c = Bild(QStringLiteral("c.png"), 43);

    TMeldungsFaenger faenger(mbAbbrechen);
    bool angenommen = false;
    Fallenlassen(f, Urls({a, b, c}), &angenommen);
    EXPECT_TRUE(angenommen);
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(BildListe, QStringList({a, b, c}));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 41);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(LadeVerzeichnis, zweit + QLatin1Char('/'));
    EXPECT_EQ(SpeicherVerzeichnis, zweit + QLatin1Char('/'));
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(KommandozeileTest, Fallenlassen_OrdnerWirdWieGegebenGelistet)
{
    QDir().mkpath(O(QStringLiteral("unter")));
    TMeldungsFaenger faenger;
    Fallenlassen(f, Urls({O(QStringLiteral("unter"))}));
    EXPECT_EQ(BildListe, QStringList({O(QStringLiteral("unter"))}));
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    EXPECT_EQ(f->OriginalBild.Width(), 128);   // the error picture
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
}

TEST_F(KommandozeileTest, Fallenlassen_HunderteDateienUndLangePfade)
{
    QString tief = ordner;
    while (tief.size() < 300)
        tief += QStringLiteral("/ein_recht_langer_ordnername_%1").arg(tief.size());
    QDir().mkpath(tief);
    const QString lang = tief + QStringLiteral("/bild.png");
    QImage(51, 3, QImage::Format_RGB888).save(lang);
    QStringList pfade = {lang};
    for (int i = 0; i < 400; ++i)
        pfade << O(QStringLiteral("gibt_es_nicht_%1.png").arg(i));
    Fallenlassen(f, Urls(pfade));
    ASSERT_EQ(BildListe.size(), 401);
    EXPECT_EQ(BildListe.first(), lang);
    EXPECT_GT(BildListe.first().size(), 300);
    EXPECT_EQ(f->OriginalBild.Width(), 51);
    MenuesSetzen();
    EXPECT_EQ(f->StatusPanel[0]->text(), QStringLiteral("Bild 1 von 401"));
}

TEST_F(KommandozeileTest, Fallenlassen_OhneLokaleDateiAendertNichts)
{
    const QString a = Bild(QStringLiteral("a.png"), 12);
    f->KommandozeileVerarbeiten({a});
    bool angenommen = true;
    Fallenlassen(f, {QUrl(QStringLiteral("https://example.org/bild.png"))}, &angenommen);
    EXPECT_FALSE(angenommen);
    EXPECT_EQ(BildListe, QStringList({a}));
    EXPECT_EQ(LadeVerzeichnis, ordner + QLatin1Char('/'));
}
