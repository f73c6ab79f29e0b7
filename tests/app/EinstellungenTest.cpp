#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include "Einstellungen.h"
#include "TestHilfen.h"

namespace {

// Every test works on an INI file of its own, so no cached QSettings state
// carries over between tests.
class EinstellungenTest : public ::testing::Test {
protected:
    void SetUp() override { datei = FrischerOrdner(QStringLiteral("einstellungen")) + QStringLiteral("/z.ini"); }
    void TearDown() override { VorgabenHerstellen(); }

    static void VorgabenHerstellen()
    {
        QSettings leer(FrischerOrdner(QStringLiteral("leer")) + QStringLiteral("/leer.ini"), QSettings::IniFormat);
        EinstellungenLesen(leer);
    }
    void Lesen()
    {
        QSettings s(datei, QSettings::IniFormat);
        EinstellungenLesen(s);
    }
    void Schreiben(int winStatus, QRect grenzen = QRect(30, 40, 700, 500),
                   std::optional<QRect> vorschau = std::nullopt)
    {
        QSettings s(datei, QSettings::IniFormat);
        ASSERT_TRUE(EinstellungenSchreiben(s, winStatus, grenzen, vorschau));
    }
    QString Roh(const QString& schluessel)
    {
        QSettings s(datei, QSettings::IniFormat);
        return s.value(schluessel).toString();
    }
    void RohSchreiben(const QByteArray& text) { DateiSchreiben(datei, text); }

    QString datei;
};

// Puts a value different from its default into every setting.
void AllesVerstellen()
{
    WinStatus = 1; VonLinks = -20; VonOben = 33; Breit = 1234; Hoch = 777;
    BeiStartAlleLaden = false; OeffnenFensterLaden = false; BeiStartEinpassen = false;
    Buttonleiste1 = false; Buttonleiste1Pos = 3; Buttonleiste2 = false; Buttonleiste2Pos = 2;
    Statusleiste = false; BildPause = 2500; Endlosschleife = true; AnzeigeGamma = -17;
    HgFarbe = 0x123456; VorschauVollbild = true; VorschauFensterAus = true; VorschauGroesse = 275;
    MaxRueck = 0; StartVerzLaden = QStringLiteral("/home/a, b/@ü; x=y \"q\""); StartVerzSpeichern = QStringLiteral("  /s  ");
    ExifSchreiben = false; JpegTyp = 2; JpegKomp = 1; JpegAufl = 10;
    VorschauVonLinks = 5; VorschauVonOben = 6; VorschauBreit = 700; VorschauHoch = 400;
    FarbenX = 11; FarbenY = 12; AttributeX = 13; AttributeY = 14;
    SpeichernTyp = QStringLiteral("JPG JPEG-Bitmap  "); SpeichernDatum = true;
    KonvertierenTyp = QStringLiteral("PNG Portable     "); KonvertierenDatum = false;
    EinzelDruckEinpassen = true; EinzelDruckZentrieren = true; EinzelDruckBildname = true;
    EinzelDruckBildgroesse = true; EinzelDruckAlleSeiten = false; EinzelDruckTitelPosition = 3;
    ArchivDruckBildname = true; ArchivDruckBildgroesse = true; ArchivDruckTitelPosition = 2;
    ArchivDruckBilderzahl = 3;
    int n = 0;
    for (TDruckSchrift* s : {&EinzelDruckSeitenSchrift, &EinzelDruckBildSchrift, &ArchivDruckSeitenSchrift,
                             &ArchivDruckBildSchrift}) {
        ++n;
        s->font = QFont(QStringLiteral("Arial %1").arg(n));
        s->font.setPointSize(8 + n);
        s->font.setBold(n == 1);
        s->font.setItalic(n == 2);
        s->font.setUnderline(n == 3);
        s->font.setStrikeOut(n == 4);
        s->farbe = 0x0000FF * n;
    }
}

void SchriftVergleichen(const TDruckSchrift& s, const QString& name, int groesse, bool fett, bool kursiv,
                        bool unter, bool durch, int farbe)
{
    EXPECT_EQ(s.font.family(), name);
    EXPECT_EQ(s.font.pointSize(), groesse);
    EXPECT_EQ(s.font.bold(), fett);
    EXPECT_EQ(s.font.italic(), kursiv);
    EXPECT_EQ(s.font.underline(), unter);
    EXPECT_EQ(s.font.strikeOut(), durch);
    EXPECT_EQ(s.farbe, farbe);
}

} // namespace

TEST_F(EinstellungenTest, Lesen_LeereDateiGibtJedeVorgabe)
{
    AllesVerstellen();
    Lesen();
    EXPECT_EQ(WinStatus, 2);
    EXPECT_EQ(VonLinks, 10);
    EXPECT_EQ(VonOben, 10);
    EXPECT_EQ(Breit, 800);
    EXPECT_EQ(Hoch, 550);
    EXPECT_TRUE(BeiStartAlleLaden);
    EXPECT_TRUE(OeffnenFensterLaden);
    EXPECT_TRUE(BeiStartEinpassen);
    EXPECT_TRUE(Buttonleiste1);
    EXPECT_EQ(Buttonleiste1Pos, 2);
    EXPECT_TRUE(Buttonleiste2);
    EXPECT_EQ(Buttonleiste2Pos, 1);
    EXPECT_TRUE(Statusleiste);
    EXPECT_EQ(BildPause, 2000);
    EXPECT_FALSE(Endlosschleife);
    EXPECT_EQ(AnzeigeGamma, 0);
    EXPECT_EQ(HgFarbe, 4341304);
    EXPECT_EQ(QColor(HgFarbeRgb()), QColor(56, 62, 66));
    EXPECT_FALSE(VorschauVollbild);
    EXPECT_FALSE(VorschauFensterAus);
    EXPECT_EQ(VorschauGroesse, 150);
    EXPECT_EQ(MaxRueck, 10);
    EXPECT_EQ(StartVerzLaden, QString());
    EXPECT_EQ(StartVerzSpeichern, QString());
    EXPECT_TRUE(ExifSchreiben);
    EXPECT_EQ(JpegTyp, 0);
    EXPECT_EQ(JpegKomp, 23);
    EXPECT_EQ(JpegAufl, 0);
    EXPECT_EQ(VorschauVonLinks, 0);
    EXPECT_EQ(VorschauVonOben, 0);
    EXPECT_EQ(VorschauBreit, 825);
    EXPECT_EQ(VorschauHoch, 550);
    EXPECT_EQ(FarbenX, 0);
    EXPECT_EQ(FarbenY, 0);
    EXPECT_EQ(AttributeX, 0);
    EXPECT_EQ(AttributeY, 0);
    EXPECT_EQ(SpeichernTyp, QStringLiteral("BMP Ungepackt    "));
    EXPECT_EQ(SpeichernTyp.size(), 17);
    EXPECT_FALSE(SpeichernDatum);
    EXPECT_EQ(KonvertierenTyp, QStringLiteral("BMP Ungepackt    "));
    EXPECT_TRUE(KonvertierenDatum);
    EXPECT_FALSE(EinzelDruckEinpassen);
    EXPECT_FALSE(EinzelDruckZentrieren);
    EXPECT_FALSE(EinzelDruckBildname);
    EXPECT_FALSE(EinzelDruckBildgroesse);
    EXPECT_TRUE(EinzelDruckAlleSeiten);
    EXPECT_EQ(EinzelDruckTitelPosition, 1);
    EXPECT_FALSE(ArchivDruckBildname);
    EXPECT_FALSE(ArchivDruckBildgroesse);
    EXPECT_EQ(ArchivDruckTitelPosition, 1);
    EXPECT_EQ(ArchivDruckBilderzahl, 2);
    for (const TDruckSchrift* s : {&EinzelDruckSeitenSchrift, &EinzelDruckBildSchrift, &ArchivDruckSeitenSchrift,
                                   &ArchivDruckBildSchrift})
        SchriftVergleichen(*s, QStringLiteral("Courier New"), 10, false, false, false, false, 0);
}

TEST_F(EinstellungenTest, Rundreise_JederWertKommtUnveraendertZurueck)
{
    AllesVerstellen();
    Schreiben(1, QRect(-20, 33, 1234, 777), QRect(5, 6, 700, 400));
    VorgabenHerstellen();
    Lesen();

    EXPECT_EQ(WinStatus, 1);
    EXPECT_EQ(VonLinks, -20);
    EXPECT_EQ(VonOben, 33);
    EXPECT_EQ(Breit, 1234);
    EXPECT_EQ(Hoch, 777);
    EXPECT_FALSE(BeiStartAlleLaden);
    EXPECT_FALSE(OeffnenFensterLaden);
    EXPECT_FALSE(BeiStartEinpassen);
    EXPECT_FALSE(Buttonleiste1);
    EXPECT_EQ(Buttonleiste1Pos, 3);
    EXPECT_FALSE(Buttonleiste2);
    EXPECT_EQ(Buttonleiste2Pos, 2);
    EXPECT_FALSE(Statusleiste);
    EXPECT_EQ(BildPause, 2500);
    EXPECT_TRUE(Endlosschleife);
    EXPECT_EQ(AnzeigeGamma, -17);
    EXPECT_EQ(HgFarbe, 0x123456);
    EXPECT_TRUE(VorschauVollbild);
    EXPECT_TRUE(VorschauFensterAus);
    EXPECT_EQ(VorschauGroesse, 275);
    EXPECT_EQ(MaxRueck, 0);
    EXPECT_EQ(StartVerzLaden, QStringLiteral("/home/a, b/@ü; x=y \"q\""));
    EXPECT_EQ(StartVerzSpeichern, QStringLiteral("  /s  "));
    EXPECT_FALSE(ExifSchreiben);
    EXPECT_EQ(JpegTyp, 2);
    EXPECT_EQ(JpegKomp, 1);
    EXPECT_EQ(JpegAufl, 10);
    EXPECT_EQ(VorschauVonLinks, 5);
    EXPECT_EQ(VorschauVonOben, 6);
    EXPECT_EQ(VorschauBreit, 700);
    EXPECT_EQ(VorschauHoch, 400);
    EXPECT_EQ(FarbenX, 11);
    EXPECT_EQ(FarbenY, 12);
    EXPECT_EQ(AttributeX, 13);
    EXPECT_EQ(AttributeY, 14);
    EXPECT_EQ(SpeichernTyp, QStringLiteral("JPG JPEG-Bitmap  "));
    EXPECT_TRUE(SpeichernDatum);
    EXPECT_EQ(KonvertierenTyp, QStringLiteral("PNG Portable     "));
    EXPECT_FALSE(KonvertierenDatum);
    EXPECT_TRUE(EinzelDruckEinpassen);
    EXPECT_TRUE(EinzelDruckZentrieren);
    EXPECT_TRUE(EinzelDruckBildname);
    EXPECT_TRUE(EinzelDruckBildgroesse);
    EXPECT_FALSE(EinzelDruckAlleSeiten);
    EXPECT_EQ(EinzelDruckTitelPosition, 3);
    EXPECT_TRUE(ArchivDruckBildname);
    EXPECT_TRUE(ArchivDruckBildgroesse);
    EXPECT_EQ(ArchivDruckTitelPosition, 2);
    EXPECT_EQ(ArchivDruckBilderzahl, 3);
    SchriftVergleichen(EinzelDruckSeitenSchrift, QStringLiteral("Arial 1"), 9, true, false, false, false, 0xFF);
    SchriftVergleichen(EinzelDruckBildSchrift, QStringLiteral("Arial 2"), 10, false, true, false, false, 0x1FE);
    SchriftVergleichen(ArchivDruckSeitenSchrift, QStringLiteral("Arial 3"), 11, false, false, true, false, 0x2FD);
    SchriftVergleichen(ArchivDruckBildSchrift, QStringLiteral("Arial 4"), 12, false, false, false, true, 0x3FC);
}

TEST_F(EinstellungenTest, Schreiben_JederWertStehtAlsTextInSeinemAbschnitt)
{
    VorgabenHerstellen();
    Schreiben(1);
    const QString text = QString::fromUtf8(DateiBytes(datei));
    for (const char* abschnitt : {"[Position]", "[Optionen]", "[Vorschau]", "[Formatoptionen]", "[Farben]",
                                  "[Attribute]", "[Speichern]", "[Konvertieren]", "[EinzelDruckOpt]",
                                  "[ArchivDruckOpt]"})
        EXPECT_TRUE(text.contains(QLatin1String(abschnitt))) << abschnitt;
    EXPECT_TRUE(text.contains(QLatin1String("beistartalleladen=1")));
    EXPECT_TRUE(text.contains(QLatin1String("endlosschleife=0")));
    EXPECT_TRUE(text.contains(QLatin1String("hgfarbe=4341304")));
    EXPECT_TRUE(text.contains(QLatin1String("o_name=Courier New")));
    // Plain text, never QSettings' typed @Variant form.
    EXPECT_FALSE(text.contains(QLatin1String("@Variant")));
    EXPECT_EQ(Roh(QStringLiteral("Speichern/speicherntyp")), QStringLiteral("BMP Ungepackt    "));
    EXPECT_EQ(Roh(QStringLiteral("EinzelDruckOpt/o_fett")), QStringLiteral("0"));
}

TEST_F(EinstellungenTest, Vorschaugroesse_StehtImAbschnittVorschau)
{
    VorschauGroesse = 222;
    Schreiben(2);
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschaugroesse")), QStringLiteral("222"));
    EXPECT_EQ(Roh(QStringLiteral("Optionen/vorschaugroesse")), QString());

    RohSchreiben("[Optionen]\nvorschaugroesse=100\n[Vorschau]\nvorschaugroesse=180\n");
    Lesen();
    EXPECT_EQ(VorschauGroesse, 180);
}

TEST_F(EinstellungenTest, Lesen_BegrenztJedenWertMitBekanntemBereich)
{
    RohSchreiben("[Optionen]\nbuttonleiste1pos=0\nbuttonleiste2pos=9\nbildpause=-5\ngamma=99\nmaxrueck=-3\n"
                 "[Vorschau]\nvorschaugroesse=10\n"
                 "[Formatoptionen]\njpegtyp=7\njpegkomp=99\njpegaufl=-1\n"
                 "[EinzelDruckOpt]\ntitelposition=4\no_groesse=0\n"
                 "[ArchivDruckOpt]\ntitelposition=-8\nbilderzahl=12\n");
    Lesen();
    EXPECT_EQ(Buttonleiste1Pos, 1);
    EXPECT_EQ(Buttonleiste2Pos, 3);
    EXPECT_EQ(BildPause, 0);
    EXPECT_EQ(AnzeigeGamma, 30);
    EXPECT_EQ(MaxRueck, 0);
    EXPECT_EQ(VorschauGroesse, 50);
    EXPECT_EQ(JpegTyp, 2);
    EXPECT_EQ(JpegKomp, 25);
    EXPECT_EQ(JpegAufl, 0);
    EXPECT_EQ(EinzelDruckTitelPosition, 3);
    EXPECT_EQ(EinzelDruckSeitenSchrift.font.pointSize(), 1);
    EXPECT_EQ(ArchivDruckTitelPosition, 1);
    EXPECT_EQ(ArchivDruckBilderzahl, 3);

    RohSchreiben("[Optionen]\nbildpause=100001\ngamma=-31\nmaxrueck=21\n"
                 "[Vorschau]\nvorschaugroesse=301\n[Formatoptionen]\njpegkomp=0\njpegaufl=11\n");
    Lesen();
    EXPECT_EQ(BildPause, 100000);
    EXPECT_EQ(AnzeigeGamma, -30);
    EXPECT_EQ(MaxRueck, 20);
    EXPECT_EQ(VorschauGroesse, 300);
    EXPECT_EQ(JpegKomp, 1);
    EXPECT_EQ(JpegAufl, 10);
}

TEST_F(EinstellungenTest, Lesen_WinStatusBehaeltJedenWert)
{
    // Values other than 1 and 3 start maximised; the value itself is kept.
    RohSchreiben("[Position]\nwinstatus=7\n");
    Lesen();
    EXPECT_EQ(WinStatus, 7);
}

TEST_F(EinstellungenTest, Lesen_KeineGanzeZahlGibtVorgabe)
{
    RohSchreiben("[Position]\nwinstatus=abc\nvonlinks=1.5\nvonoben=\nbreit=0x10\nhoch=99999999999\n"
                 "[Optionen]\nbeistartalleladen=2\noeffnenfensterladen=0\nbeistarteinpassen=ja\nbildpause= 300 \n"
                 "hgfarbe=-1\n[EinzelDruckOpt]\nu_farbe=16777216\n");
    Lesen();
    EXPECT_EQ(WinStatus, 2);
    EXPECT_EQ(VonLinks, 10);
    EXPECT_EQ(VonOben, 10);
    EXPECT_EQ(Breit, 800);
    EXPECT_EQ(Hoch, 550);
    EXPECT_TRUE(BeiStartAlleLaden);     // any number but 0 is true
    EXPECT_FALSE(OeffnenFensterLaden);
    EXPECT_TRUE(BeiStartEinpassen);     // not a number: the default
    EXPECT_EQ(BildPause, 300);
    EXPECT_EQ(HgFarbe, 4341304);        // no 24-bit colour
    EXPECT_EQ(EinzelDruckBildSchrift.farbe, 0);
}

TEST_F(EinstellungenTest, Lesen_UngequoteteKommasBleibenText)
{
    RohSchreiben("[Optionen]\nstartverzladen=/daten/a, b\nstartverzspeichern=x,y\n[Speichern]\nspeicherntyp=1,2\n");
    Lesen();
    EXPECT_EQ(StartVerzLaden, QStringLiteral("/daten/a, b"));
    EXPECT_EQ(StartVerzSpeichern, QStringLiteral("x, y"));
}

TEST_F(EinstellungenTest, Lesen_FalscheTypenGebenVorgabe)
{
    RohSchreiben("[Position]\nbreit=@Point(3 4)\nhoch=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x6)\n"
                 "[Optionen]\nstartverzladen=@ByteArray(/tmp)\nstatusleiste=@Rect(1 2 3 4)\n");
    Lesen();
    EXPECT_EQ(Breit, 800);
    EXPECT_EQ(Hoch, 550);
    EXPECT_TRUE(Statusleiste);
    EXPECT_EQ(StartVerzLaden, QStringLiteral("/tmp"));
}

TEST_F(EinstellungenTest, Lesen_FehlendeAbschnitteGebenIhreVorgaben)
{
    AllesVerstellen();
    RohSchreiben("[Formatoptionen]\njpegkomp=5\n");
    Lesen();
    EXPECT_EQ(JpegKomp, 5);
    EXPECT_EQ(WinStatus, 2);
    EXPECT_EQ(MaxRueck, 10);
    EXPECT_EQ(ArchivDruckBilderzahl, 2);
    EXPECT_EQ(EinzelDruckSeitenSchrift.font.family(), QStringLiteral("Courier New"));
}

TEST_F(EinstellungenTest, Lesen_UnsinnsdateiGibtVorgabenOhneAbsturz)
{
    QByteArray muell;
    for (int i = 0; i < 4096; ++i)
        muell.append(char((i * 7919) % 256));
    RohSchreiben(muell);
    AllesVerstellen();
    Lesen();
    EXPECT_EQ(JpegKomp, 23);
    EXPECT_EQ(Breit, 800);
}

TEST_F(EinstellungenTest, Lesen_UnlesbareDateiGibtVorgaben)
{
    // A folder where the file should be cannot be read or written.
    QDir().mkpath(datei);
    AllesVerstellen();
    Lesen();
    EXPECT_EQ(JpegKomp, 23);
    EXPECT_EQ(WinStatus, 2);
    QSettings s(datei, QSettings::IniFormat);
    EXPECT_FALSE(EinstellungenSchreiben(s, 1, QRect(1, 2, 3, 4)));
}

TEST_F(EinstellungenTest, Fensterstatus_NormalMaximiertMinimiert)
{
    EXPECT_EQ(FensterStatus(Qt::WindowNoState), 1);
    EXPECT_EQ(FensterStatus(Qt::WindowMaximized), 2);
    EXPECT_EQ(FensterStatus(Qt::WindowFullScreen), 2);
    EXPECT_EQ(FensterStatus(Qt::WindowMinimized), 3);
    EXPECT_EQ(FensterStatus(Qt::WindowMinimized | Qt::WindowMaximized), 3);
}

TEST_F(EinstellungenTest, Schreiben_NurImNormalzustandMitGrenzen)
{
    Schreiben(1, QRect(30, 40, 700, 500));
    EXPECT_EQ(Roh(QStringLiteral("Position/vonlinks")), QStringLiteral("30"));
    EXPECT_EQ(Roh(QStringLiteral("Position/hoch")), QStringLiteral("500"));

    // Closed minimised, then maximised: the bounds of the last normal close stay.
    Schreiben(3, QRect(0, 0, 10, 10));
    EXPECT_EQ(Roh(QStringLiteral("Position/winstatus")), QStringLiteral("3"));
    EXPECT_EQ(Roh(QStringLiteral("Position/vonlinks")), QStringLiteral("30"));
    EXPECT_EQ(Roh(QStringLiteral("Position/breit")), QStringLiteral("700"));
    EXPECT_EQ(VonLinks, 30);
    Schreiben(2, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(Roh(QStringLiteral("Position/winstatus")), QStringLiteral("2"));
    EXPECT_EQ(Roh(QStringLiteral("Position/breit")), QStringLiteral("700"));

    VorgabenHerstellen();
    Lesen();
    EXPECT_EQ(WinStatus, 2);
    EXPECT_EQ(VonLinks, 30);
    EXPECT_EQ(VonOben, 40);
    EXPECT_EQ(Breit, 700);
    EXPECT_EQ(Hoch, 500);
}

TEST_F(EinstellungenTest, Schreiben_VorschaufensterGrenzenAusDemFenster)
{
    RohSchreiben("[Vorschau]\nvorschauvonlinks=1\nvorschauvonoben=2\nvorschaubreit=3\nvorschauhoch=4\n");
    Lesen();
    Schreiben(2);
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschaubreit")), QStringLiteral("3"));
    Schreiben(2, QRect(), QRect(100, 120, 640, 480));
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschauvonlinks")), QStringLiteral("100"));
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschauvonoben")), QStringLiteral("120"));
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschaubreit")), QStringLiteral("640"));
    EXPECT_EQ(Roh(QStringLiteral("Vorschau/vorschauhoch")), QStringLiteral("480"));
}

TEST_F(EinstellungenTest, Schrift_FettUndUnterstrichenAusDerDatei)
{
    RohSchreiben("[EinzelDruckOpt]\no_farbe=255\no_name=Times\no_groesse=14\no_fett=1\no_unter=1\n");
    Lesen();
    SchriftVergleichen(EinzelDruckSeitenSchrift, QStringLiteral("Times"), 14, true, false, true, false, 255);
    SchriftVergleichen(EinzelDruckBildSchrift, QStringLiteral("Courier New"), 10, false, false, false, false, 0);
    Schreiben(2);
    EXPECT_EQ(Roh(QStringLiteral("EinzelDruckOpt/o_fett")), QStringLiteral("1"));
    EXPECT_EQ(Roh(QStringLiteral("EinzelDruckOpt/o_kursiv")), QStringLiteral("0"));
    EXPECT_EQ(Roh(QStringLiteral("EinzelDruckOpt/o_unter")), QStringLiteral("1"));
}

TEST_F(EinstellungenTest, Benutzerordner_DateiEntstehtBeimLesenUndFasstAlleAbschnitte)
{
    const QString pfad = QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QZT"),
                                   QStringLiteral("Zelvano"))
                             .fileName();
    EXPECT_TRUE(pfad.startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")))) << qPrintable(pfad);
    EXPECT_TRUE(pfad.endsWith(QLatin1String("QZT/Zelvano.ini"))) << qPrintable(pfad);
    QFile::remove(pfad);

    EinstellungenLesen();
    EXPECT_TRUE(QFileInfo::exists(pfad));
    JpegKomp = 17;
    ASSERT_TRUE(EinstellungenSchreiben(1, QRect(1, 2, 300, 200)));
    JpegKomp = 23;
    EinstellungenLesen();
    EXPECT_EQ(JpegKomp, 17);
    EXPECT_EQ(Breit, 300);
    QSettings s(pfad, QSettings::IniFormat);
    EXPECT_EQ(s.childGroups().size(), 10);
    QFile::remove(pfad);
}
