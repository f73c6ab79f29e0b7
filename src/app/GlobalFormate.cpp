// Unit Global: the image-format table, its lookups and the type lists of the
// dialogs.
#include "Global.h"
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

QString FormatTabelle[FormatZeilenAnzahl];
QString BildMaske;

void FormatTabelleAufbauen()
{
    // Characters 1-23 exactly, then the control's save id where the format
    // can be written.
    static const char* const zeilen[FormatZeilenAnzahl] = {
        "BMP Ungepackt    1111L 2",
        "BRK Brooktrout   0001L 327683",
        "CAL CALS Gepackt 0001L 4",
        "G3  CCITT G3     0001L 196634",
        "G4  CCITT G4     0001L 262170",
        "CLP Win Clipboard1111L 5",
        "CUT Halo-CUT     0100L ",
        "DCX Gepackt      1111LM8",
        "EPS PostScript   0001L ",
        "GIF Gepackt      0111LM14",
        "GX2 Showpartner  0110L ",
        "ICO Windows-Icon 0111L ",
        "IFF Gepackt      1111L 18",
        "IMG GEM Bitmap   0101L ",
        "ICA IOCA         0110L ",
        "JPG JPEG-Bitmap  1100L 21",
        "JPG Progressive  1100  ",
        "KFX Kofax        0001L ",
        "LV  LaserView    0001L ",
        "MAC MacPaint     0001L ",
        "MSP MS Paint     0001L ",
        "PBM ASCII        0001L 28",
        "PBM RAW          0001  65564",
        "PCD Photo CD     1000LM",
        "PCT Pict         1111LM30",
        "PCX Gepackt      1111LM31",
        "PGM Graymap      0100L ",
        "PNG Ping         1111LM33",
        "PNM Ungepackt    1101L ",
        "PPM Ungepackt    1000L ",
        "PSD Photoshop    1100L 36",
        "RAS Sun Raster   1101L 37",
        "RLE Gepackt      0110L 458754",
        "SGI SGI- Bitmap  0011L 38",
        "TGA Targa        1100L 39",
        "TIF LZW gepackt  1111LM524328",
        "TIF Ungepackt    1111  40",
        "TIF JPG gepackt  1111  393256",
        "TIF Huffman      0001  131112",
        "TIF Fax G3       0001  196648",
        "TIF Fax G3 2D    0001  327720",
        "TIF Fax G4       0001  262184",
        "TIF Pack Bits    0001  65576",
        "WMF Windows Meta 1111L ",
        "WPG Gepackt      0111L ",
        "XBM X-Win Bitmap 0001LM43",
        "XPM X-Win Pixmap 1111LM45",
        "XWD X-Win Dump   1111L 47",
    };
    for (int i = 0; i < FormatZeilenAnzahl; ++i) {
        // A row without save id ends with the blank of character 23; the
        // fixed part is always 23 characters long.
        QString zeile = QString::fromLatin1(zeilen[i]);
        if (zeile.size() < 23)
            zeile = zeile.leftJustified(23, QLatin1Char(' '));
        FormatTabelle[i] = zeile;
    }
}

QString FormatSchluessel(const QString& formatZeile)
{
    return formatZeile.left(17);
}

// The row whose trimmed key equals the trimmed argument, or -1. Letter case
// counts. The later of two matching rows would win; the keys are unique.
static int FormatZeileSuchen(const QString& schluessel)
{
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();
    const QString gesucht = schluessel.trimmed();
    if (gesucht.isEmpty())
        return -1;
    int gefunden = -1;
    for (int i = 0; i < FormatZeilenAnzahl; ++i)
        if (FormatSchluessel(FormatTabelle[i]).trimmed() == gesucht)
            gefunden = i;
    return gefunden;
}

bool FormatZeileGueltig(const QString& schluessel)
{
    return FormatZeileSuchen(schluessel) >= 0;
}

int FormatSpeicherId(const QString& schluessel)
{
    const int i = FormatZeileSuchen(schluessel);
    if (i < 0)
        return 0;
    bool ok = false;
    const int id = FormatTabelle[i].mid(23, 10).trimmed().toInt(&ok);
    return ok ? id : 0;
}

QString FormatFarbtiefen(const QString& schluessel)
{
    const int i = FormatZeileSuchen(schluessel);
    return i < 0 ? QString() : FormatTabelle[i].mid(17, 4).trimmed();
}

// Flags in the row's order: 24, 8, 4, 1 bits per pixel.
static constexpr int FlagTiefe[4] = {24, 8, 4, 1};

int FormatHoechsteFarbtiefe(const QString& schluessel)
{
    const QString flags = FormatFarbtiefen(schluessel);
    for (int k = 0; k < 4 && k < flags.size(); ++k)
        if (flags.at(k) == QLatin1Char('1'))
            return FlagTiefe[k];
    return 0;
}

int FormatNiedrigsteFarbtiefe(const QString& schluessel)
{
    const QString flags = FormatFarbtiefen(schluessel);
    for (int k = std::min<int>(3, int(flags.size()) - 1); k >= 0; --k)
        if (flags.at(k) == QLatin1Char('1'))
            return FlagTiefe[k];
    return 0;
}

QString BildMaskeAufbauen()
{
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();
    QString maske;
    for (const QString& zeile : FormatTabelle)
        if (zeile.size() > 21 && zeile.at(21) == QLatin1Char('L'))
            maske += QStringLiteral("*.") + zeile.left(3).trimmed() + QLatin1Char(';');
    maske += QStringLiteral("*.JPEG");
    BildMaske = maske;
    return maske;
}

void FormatListeFuellen(QTreeWidget* liste, int modus, bool mitBildZeile, bool mitAlleZeile)
{
    if (!liste)
        return;
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();

    liste->clear();
    liste->setColumnCount(3);
    liste->setHeaderHidden(true);
    liste->setRootIsDecorated(false);
    // The style's minimum section size would widen the narrow mark column.
    liste->header()->setMinimumSectionSize(0);
    liste->header()->setStretchLastSection(false);
    const int rollbalken = liste->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, liste);
    liste->setColumnWidth(0, DpiSkalieren(24, 96));
    liste->setColumnWidth(1, DpiSkalieren(40, 96));
    liste->setColumnWidth(2, std::max(0, liste->contentsRect().width() - DpiSkalieren(65, 96) - rollbalken));

    auto zeileAnfuegen = [liste](const QString& typ, const QString& beschreibung) {
        auto* eintrag = new QTreeWidgetItem(liste);
        eintrag->setText(0, QString());
        eintrag->setText(1, typ);
        eintrag->setText(2, beschreibung);
        eintrag->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        eintrag->setTextAlignment(2, Qt::AlignLeft | Qt::AlignVCenter);
    };

    liste->setUpdatesEnabled(false);
    if (mitBildZeile)
        zeileAnfuegen(QStringLiteral("Alle"), QStringLiteral("Bilddateien"));
    if (mitAlleZeile)
        zeileAnfuegen(QStringLiteral("Alle"), QStringLiteral("Dateien *.*"));
    for (const QString& zeile : FormatTabelle) {
        bool nehmen = false;
        if (modus == 1)
            nehmen = zeile.size() > 21 && zeile.at(21) == QLatin1Char('L');
        else if (modus == 0)
            nehmen = zeile.size() > 23;
        if (nehmen)
            zeileAnfuegen(zeile.mid(0, 3), zeile.mid(4, 13));
    }
    liste->setUpdatesEnabled(true);

    if (QTreeWidgetItem* erster = liste->topLevelItem(0)) {
        liste->setCurrentItem(erster);
        erster->setSelected(true);
    }
}
