#include "Einstellungen.h"
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <limits>
#include <memory>

int WinStatus = 2, VonLinks = 10, VonOben = 10, Breit = 800, Hoch = 550;
bool BeiStartAlleLaden = true, OeffnenFensterLaden = true, BeiStartEinpassen = true;
bool Buttonleiste1 = true, Buttonleiste2 = true, Statusleiste = true;
int Buttonleiste1Pos = 2, Buttonleiste2Pos = 1;
int BildPause = 2000;
bool Endlosschleife = false;
int AnzeigeGamma = 0;
int HgFarbe = 4341304;
bool VorschauVollbild = false, VorschauFensterAus = false;
int VorschauGroesse = 150;
int MaxRueck = 10;
QString StartVerzLaden, StartVerzSpeichern;
bool ExifSchreiben = true;
int JpegTyp = 0, JpegKomp = 23, JpegAufl = 0;
int VorschauVonLinks = 0, VorschauVonOben = 0, VorschauBreit = 825, VorschauHoch = 550;
int FarbenX = 0, FarbenY = 0, AttributeX = 0, AttributeY = 0;
QString SpeichernTyp = QStringLiteral("BMP Ungepackt    ");
QString KonvertierenTyp = QStringLiteral("BMP Ungepackt    ");
bool SpeichernDatum = false, KonvertierenDatum = true;
bool EinzelDruckEinpassen = false, EinzelDruckZentrieren = false, EinzelDruckBildname = false,
     EinzelDruckBildgroesse = false;
bool EinzelDruckAlleSeiten = true;
int EinzelDruckTitelPosition = 1;
bool ArchivDruckBildname = false, ArchivDruckBildgroesse = false;
int ArchivDruckTitelPosition = 1, ArchivDruckBilderzahl = 2;

TDruckSchrift EinzelDruckSeitenSchrift, EinzelDruckBildSchrift;
TDruckSchrift ArchivDruckSeitenSchrift, ArchivDruckBildSchrift;

QRgb HgFarbeRgb()
{
    return FarbwertZuRgb(HgFarbe);
}

// ---- The settings store ---------------------------------------------------

namespace {

constexpr int KeinMin = std::numeric_limits<int>::min();
constexpr int KeinMax = std::numeric_limits<int>::max();

// A hand-edited value with an unquoted comma comes back from QSettings as a
// list; it is the text the user typed, so join it again.
QString AlsText(const QVariant& wert)
{
    if (wert.typeId() == QMetaType::QStringList)
        return wert.toStringList().join(QStringLiteral(", "));
    return wert.toString();
}

class TLeser {
public:
    explicit TLeser(QSettings& s) : m_s(s) {}
    void Gruppe(const char* name)
    {
        if (!m_s.group().isEmpty())
            m_s.endGroup();
        m_s.beginGroup(QLatin1String(name));
    }
    void Zahl(const char* name, int& ziel, int vorgabe, int min = KeinMin, int max = KeinMax)
    {
        bool ok = false;
        const int wert = Roh(name).trimmed().toInt(&ok, 10);
        ziel = ok ? std::clamp(wert, min, max) : vorgabe;
    }
    void Schalter(const char* name, bool& ziel, bool vorgabe)
    {
        bool ok = false;
        const int wert = Roh(name).trimmed().toInt(&ok, 10);
        ziel = ok ? wert != 0 : vorgabe;
    }
    void Text(const char* name, QString& ziel, const QString& vorgabe)
    {
        const QVariant wert = m_s.value(QLatin1String(name));
        ziel = wert.isValid() ? AlsText(wert) : vorgabe;
    }
    // A colour outside the 24-bit range is no colour at all.
    void Farbe(const char* name, int& ziel, int vorgabe)
    {
        Zahl(name, ziel, vorgabe);
        if (ziel < 0 || ziel > 0xFFFFFF)
            ziel = vorgabe;
    }
    void Schrift(const char* vorsilbe, TDruckSchrift& ziel)
    {
        const QString v = QLatin1String(vorsilbe);
        int farbe = 0, groesse = 10;
        QString name;
        bool fett = false, kursiv = false, unter = false, durch = false;
        Farbe(qPrintable(v + QLatin1String("_farbe")), farbe, 0);
        Text(qPrintable(v + QLatin1String("_name")), name, QStringLiteral("Courier New"));
        // QFont refuses sizes below 1 point; huge ones would only stall printing.
        Zahl(qPrintable(v + QLatin1String("_groesse")), groesse, 10, 1, 1000);
        Schalter(qPrintable(v + QLatin1String("_fett")), fett, false);
        Schalter(qPrintable(v + QLatin1String("_kursiv")), kursiv, false);
        Schalter(qPrintable(v + QLatin1String("_unter")), unter, false);
        Schalter(qPrintable(v + QLatin1String("_durch")), durch, false);
        ziel.farbe = farbe;
        ziel.font = QFont(name);
        ziel.font.setPointSize(groesse);
        ziel.font.setBold(fett);
        ziel.font.setItalic(kursiv);
        ziel.font.setUnderline(unter);
        ziel.font.setStrikeOut(durch);
    }

private:
    QString Roh(const char* name) { return AlsText(m_s.value(QLatin1String(name))); }
    QSettings& m_s;
};

class TSchreiber {
public:
    explicit TSchreiber(QSettings& s) : m_s(s) {}
    void Gruppe(const char* name)
    {
        if (!m_s.group().isEmpty())
            m_s.endGroup();
        m_s.beginGroup(QLatin1String(name));
    }
    void Zahl(const char* name, int& wert, int = 0, int = 0, int = 0) { Setzen(name, QString::number(wert)); }
    void Schalter(const char* name, bool& wert, bool) { Setzen(name, wert ? QStringLiteral("1") : QStringLiteral("0")); }
    void Text(const char* name, QString& wert, const QString&) { Setzen(name, wert); }
    void Farbe(const char* name, int& wert, int) { Setzen(name, QString::number(wert)); }
    void Schrift(const char* vorsilbe, TDruckSchrift& schrift)
    {
        const QString v = QLatin1String(vorsilbe);
        auto b = [](bool an) { return an ? QStringLiteral("1") : QStringLiteral("0"); };
        m_s.setValue(v + QLatin1String("_farbe"), QString::number(schrift.farbe));
        m_s.setValue(v + QLatin1String("_name"), schrift.font.family());
        m_s.setValue(v + QLatin1String("_groesse"), QString::number(schrift.font.pointSize()));
        m_s.setValue(v + QLatin1String("_fett"), b(schrift.font.bold()));
        m_s.setValue(v + QLatin1String("_kursiv"), b(schrift.font.italic()));
        m_s.setValue(v + QLatin1String("_unter"), b(schrift.font.underline()));
        m_s.setValue(v + QLatin1String("_durch"), b(schrift.font.strikeOut()));
    }

private:
    void Setzen(const char* name, const QString& text) { m_s.setValue(QLatin1String(name), text); }
    QSettings& m_s;
};

// Every value after the window position, in the stored order; reading and
// writing walk the same list so they can never disagree.
template <class V> void AlleWerte(V& v)
{
    v.Gruppe("Optionen");
    v.Schalter("beistartalleladen", BeiStartAlleLaden, true);
    v.Schalter("oeffnenfensterladen", OeffnenFensterLaden, true);
    v.Schalter("beistarteinpassen", BeiStartEinpassen, true);
    v.Schalter("buttonleiste1", Buttonleiste1, true);
    v.Zahl("buttonleiste1pos", Buttonleiste1Pos, 2, 1, 3);
    v.Schalter("buttonleiste2", Buttonleiste2, true);
    v.Zahl("buttonleiste2pos", Buttonleiste2Pos, 1, 1, 3);
    v.Schalter("statusleiste", Statusleiste, true);
    // A negative pause would become an unsigned wait of weeks.
    v.Zahl("bildpause", BildPause, 2000, 0, 100000);
    v.Schalter("endlosschleife", Endlosschleife, false);
    v.Zahl("gamma", AnzeigeGamma, 0, -30, 30);
    v.Farbe("hgfarbe", HgFarbe, 4341304);
    v.Schalter("vorschauvollbild", VorschauVollbild, false);
    v.Schalter("vorschaufensteraus", VorschauFensterAus, false);
    // Kept beside the thumbnail window's other values, for reading and writing.
    v.Gruppe("Vorschau");
    v.Zahl("vorschaugroesse", VorschauGroesse, 150, 50, 300);
    v.Gruppe("Optionen");
    v.Zahl("maxrueck", MaxRueck, 10, 0, 20);
    v.Text("startverzladen", StartVerzLaden, QString());
    v.Text("startverzspeichern", StartVerzSpeichern, QString());
    v.Schalter("exifschreiben", ExifSchreiben, true);

    // The JPEG level indexes a table of 25 rows.
    v.Gruppe("Formatoptionen");
    v.Zahl("jpegtyp", JpegTyp, 0, 0, 2);
    v.Zahl("jpegkomp", JpegKomp, 23, 1, 25);
    v.Zahl("jpegaufl", JpegAufl, 0, 0, 10);

    v.Gruppe("Vorschau");
    v.Zahl("vorschauvonlinks", VorschauVonLinks, 0);
    v.Zahl("vorschauvonoben", VorschauVonOben, 0);
    v.Zahl("vorschaubreit", VorschauBreit, 825);
    v.Zahl("vorschauhoch", VorschauHoch, 550);

    v.Gruppe("Farben");
    v.Zahl("farbenx", FarbenX, 0);
    v.Zahl("farbeny", FarbenY, 0);
    v.Gruppe("Attribute");
    v.Zahl("attributex", AttributeX, 0);
    v.Zahl("attributey", AttributeY, 0);

    static const QString bmpUngepackt = QStringLiteral("BMP Ungepackt    ");
    v.Gruppe("Speichern");
    v.Text("speicherntyp", SpeichernTyp, bmpUngepackt);
    v.Schalter("speicherndatum", SpeichernDatum, false);
    v.Gruppe("Konvertieren");
    v.Text("konvertierentyp", KonvertierenTyp, bmpUngepackt);
    v.Schalter("konvertierendatum", KonvertierenDatum, true);

    v.Gruppe("EinzelDruckOpt");
    v.Schrift("o", EinzelDruckSeitenSchrift);
    v.Schrift("u", EinzelDruckBildSchrift);
    v.Schalter("einpassen", EinzelDruckEinpassen, false);
    v.Schalter("zentrieren", EinzelDruckZentrieren, false);
    v.Schalter("bildname", EinzelDruckBildname, false);
    v.Schalter("bildgroesse", EinzelDruckBildgroesse, false);
    v.Schalter("alleseiten", EinzelDruckAlleSeiten, true);
    v.Zahl("titelposition", EinzelDruckTitelPosition, 1, 1, 3);

    v.Gruppe("ArchivDruckOpt");
    v.Schrift("o", ArchivDruckSeitenSchrift);
    v.Schrift("u", ArchivDruckBildSchrift);
    v.Schalter("bildname", ArchivDruckBildname, false);
    v.Schalter("bildgroesse", ArchivDruckBildgroesse, false);
    v.Zahl("titelposition", ArchivDruckTitelPosition, 1, 1, 3);
    v.Zahl("bilderzahl", ArchivDruckBilderzahl, 2, 1, 3);
}

QSettings* NeuerSpeicher()
{
    return new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QZT"), QStringLiteral("Zelvano"));
}

} // namespace

void EinstellungenLesen(QSettings& speicher)
{
    TLeser l(speicher);
    l.Gruppe("Position");
    // Any state other than 1 and 3 starts maximised; the value is kept as read.
    l.Zahl("winstatus", WinStatus, 2);
    l.Zahl("vonlinks", VonLinks, 10);
    l.Zahl("vonoben", VonOben, 10);
    l.Zahl("breit", Breit, 800);
    l.Zahl("hoch", Hoch, 550);
    AlleWerte(l);
    speicher.endGroup();
}

void EinstellungenLesen()
{
    std::unique_ptr<QSettings> speicher(NeuerSpeicher());
    EinstellungenLesen(*speicher);
    // The store exists from the first start on, even before anything is written.
    const QString datei = speicher->fileName();
    if (!QFileInfo::exists(datei)) {
        QDir().mkpath(QFileInfo(datei).absolutePath());
        QFile leer(datei);
        if (leer.open(QIODevice::WriteOnly))
            leer.close();
    }
}

QString EinstellungenDatei()
{
    return std::unique_ptr<QSettings>(NeuerSpeicher())->fileName();
}

int FensterStatus(Qt::WindowStates zustand)
{
    if (zustand & Qt::WindowMinimized)
        return 3;
    if (zustand & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 1;
}

bool EinstellungenSchreiben(QSettings& speicher, int winStatus, const QRect& fensterGrenzen,
                            const std::optional<QRect>& vorschauGrenzen)
{
    WinStatus = winStatus;
    if (WinStatus == 1) {
        VonLinks = fensterGrenzen.left();
        VonOben = fensterGrenzen.top();
        Breit = fensterGrenzen.width();
        Hoch = fensterGrenzen.height();
    }
    if (vorschauGrenzen) {
        VorschauVonLinks = vorschauGrenzen->left();
        VorschauVonOben = vorschauGrenzen->top();
        VorschauBreit = vorschauGrenzen->width();
        VorschauHoch = vorschauGrenzen->height();
    }

    TSchreiber s(speicher);
    s.Gruppe("Position");
    s.Zahl("winstatus", WinStatus);
    if (WinStatus == 1) {
        s.Zahl("vonlinks", VonLinks);
        s.Zahl("vonoben", VonOben);
        s.Zahl("breit", Breit);
        s.Zahl("hoch", Hoch);
    }
    AlleWerte(s);
    speicher.endGroup();
    speicher.sync();
    return speicher.status() == QSettings::NoError;
}

bool EinstellungenSchreiben(int winStatus, const QRect& fensterGrenzen, const std::optional<QRect>& vorschauGrenzen)
{
    std::unique_ptr<QSettings> speicher(NeuerSpeicher());
    return EinstellungenSchreiben(*speicher, winStatus, fensterGrenzen, vorschauGrenzen);
}
