#include "files/JpgDrehen.h"
#include "TestHilfen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "files/DatumZeitSetzen.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QLabel>
#include "AnzeigeBild.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace {

// A photo-like picture: gradients and a little noise, so every block differs.
QByteArray JpegErzeugen(int w, int h, int unterabtastung, int qualitaet = 90, int flags = 0)
{
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    uint32_t z = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            z = z * 1103515245u + 12345u;
            unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(x * 255 / w + ((z >> 16) & 15));
            p[1] = uint8_t(y * 255 / h + ((z >> 20) & 15));
            p[2] = uint8_t((x + y) * 127 / (w + h) + ((z >> 24) & 31));
        }
    tjhandle h_ = tjInitCompress();
    unsigned char* daten = nullptr;
    unsigned long groesse = 0;
    tjCompress2(h_, rgb.data(), w, 0, h, TJPF_RGB, &daten, &groesse, unterabtastung, qualitaet, flags);
    QByteArray ergebnis(reinterpret_cast<const char*>(daten), qsizetype(groesse));
    tjFree(daten);
    tjDestroy(h_);
    return ergebnis;
}

QByteArray Segment(uint8_t marker, const QByteArray& inhalt)
{
    QByteArray s;
    s.append(char(0xFF)).append(char(marker));
    const int laenge = int(inhalt.size()) + 2;
    s.append(char(laenge >> 8)).append(char(laenge & 0xFF));
    return s + inhalt;
}

// A minimal EXIF block: little-endian TIFF header and an IFD0 with one
// entry, Orientation = 6.
QByteArray ExifSegment()
{
    QByteArray e("Exif\0\0", 6);
    const unsigned char tiff[] = {'I', 'I', 42, 0, 8, 0, 0, 0,   // header, IFD0 at 8
                                  1, 0,                          // one entry
                                  0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,   // Orientation SHORT 6
                                  0, 0, 0, 0};                   // no next IFD
    e.append(reinterpret_cast<const char*>(tiff), sizeof tiff);
    return Segment(0xE1, e);
}

// The JPEG with an EXIF block and a comment; exifZuerst puts the EXIF block
// in place of the JFIF header, as cameras write it.
QByteArray MitMarkern(const QByteArray& jpeg, bool exifZuerst)
{
    const QByteArray kommentar = Segment(0xFE, QByteArray("Zelvano Test"));
    if (exifZuerst) {
        // SOI, then skip the library's APP0.
        const int app0Laenge = (uint8_t(jpeg[4]) << 8) | uint8_t(jpeg[5]);
        return jpeg.left(2) + ExifSegment() + kommentar + jpeg.mid(4 + app0Laenge);
    }
    const int app0Ende = 4 + ((uint8_t(jpeg[4]) << 8) | uint8_t(jpeg[5]));
    return jpeg.left(app0Ende) + ExifSegment() + kommentar + jpeg.mid(app0Ende);
}

QByteArray Jpegtran(const QString& quelle, uint8_t code, uint8_t kopierModus, bool trimmen)
{
    QStringList args{QStringLiteral("-copy"), kopierModus == JpgKopiereAlle ? QStringLiteral("all") : QStringLiteral("none")};
    if (trimmen)
        args << QStringLiteral("-trim");
    switch (code) {
    case JpgSpiegelnHorizontal: args << QStringLiteral("-flip") << QStringLiteral("horizontal"); break;
    case JpgSpiegelnVertikal: args << QStringLiteral("-flip") << QStringLiteral("vertical"); break;
    case JpgDrehen90: args << QStringLiteral("-rotate") << QStringLiteral("90"); break;
    case JpgDrehen180: args << QStringLiteral("-rotate") << QStringLiteral("180"); break;
    case JpgDrehen270: args << QStringLiteral("-rotate") << QStringLiteral("270"); break;
    }
    args << quelle;
    QProcess p;
    p.start(QStringLiteral("jpegtran"), args);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QSize JpegGroesse(const QByteArray& jpeg)
{
    tjhandle h = tjInitDecompress();
    int w = 0, hh = 0, s = 0, c = 0;
    tjDecompressHeader3(h, reinterpret_cast<const unsigned char*>(jpeg.constData()), jpeg.size(), &w, &hh, &s, &c);
    tjDestroy(h);
    return {w, hh};
}

struct stat Stat(const QString& pfad)
{
    struct stat st {};
    ::stat(QFile::encodeName(pfad).constData(), &st);
    return st;
}

void ZeitenSetzen(const QString& pfad, time_t zugriff, time_t geschrieben)
{
    const timespec ts[2] = {{zugriff, 123456789}, {geschrieben, 987654321}};
    ::utimensat(AT_FDCWD, QFile::encodeName(pfad).constData(), ts, 0);
}

const uint8_t AlleCodes[] = {JpgDrehen270, JpgDrehen90, JpgDrehen180, JpgSpiegelnHorizontal, JpgSpiegelnVertikal};

class JpgDrehenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ordner = FrischerOrdner(QStringLiteral("jpgdrehen"));
        altTemp = TempVerzeichnis;
        TempVerzeichnis = FrischerOrdner(QStringLiteral("jpgdrehen-temp")) + QLatin1Char('/');
    }
    void TearDown() override { TempVerzeichnis = altTemp; }

    QString Datei(const QString& name, const QByteArray& inhalt)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        DateiSchreiben(pfad, inhalt);
        return pfad;
    }

    QString ordner, altTemp;
};

}   // namespace

TEST_F(JpgDrehenTest, Transformieren_ByteGleichMitJpegtranFuerJedeOperation)
{
    // 100 x 75 is no multiple of the block size: trimming matters.
    struct Quelle {
        int abtastung;
        int flags;
    };
    for (const Quelle q : {Quelle{TJSAMP_420, 0}, Quelle{TJSAMP_444, 0}, Quelle{TJSAMP_422, TJFLAG_PROGRESSIVE},
                           Quelle{TJSAMP_GRAY, 0}}) {
        const int abtastung = q.abtastung;
        for (const bool exifZuerst : {false, true}) {
            const QString quelle =
                Datei(QStringLiteral("q.jpg"), MitMarkern(JpegErzeugen(100, 75, abtastung, 90, q.flags), exifZuerst));
            for (const uint8_t code : AlleCodes)
                for (const bool trimmen : {false, true})
                    for (const uint8_t modus : {JpgKopiereKeine, JpgKopiereAlle}) {
                        const QString ziel = ordner + QStringLiteral("/z.jpg");
                        ASSERT_TRUE(JpgTransformieren(quelle, ziel, code, modus, trimmen));
                        const QByteArray erwartet = Jpegtran(quelle, code, modus, trimmen);
                        ASSERT_FALSE(erwartet.isEmpty());
                        EXPECT_EQ(DateiBytes(ziel), erwartet)
                            << "Abtastung " << abtastung << " Code " << int(code) << " trimmen " << trimmen
                            << " Modus " << int(modus) << " EXIF zuerst " << exifZuerst;
                    }
        }
    }
}

TEST_F(JpgDrehenTest, Transformieren_TrimmenSchneidetRandbloeckeAb)
{
    const QString q420 = Datei(QStringLiteral("a.jpg"), JpegErzeugen(100, 75, TJSAMP_420));
    const QString q444 = Datei(QStringLiteral("b.jpg"), JpegErzeugen(100, 75, TJSAMP_444));
    const QString ziel = ordner + QStringLiteral("/z.jpg");
    struct Fall {
        uint8_t code;
        QSize ungetrimmt, getrimmt420, getrimmt444;
    };
    const Fall faelle[] = {{JpgDrehen90, {75, 100}, {64, 100}, {72, 100}},
                           {JpgDrehen180, {100, 75}, {96, 64}, {96, 72}},
                           {JpgDrehen270, {75, 100}, {75, 96}, {75, 96}},
                           {JpgSpiegelnHorizontal, {100, 75}, {96, 75}, {96, 75}},
                           {JpgSpiegelnVertikal, {100, 75}, {100, 64}, {100, 72}}};
    for (const Fall& f : faelle) {
        ASSERT_TRUE(JpgTransformieren(q420, ziel, f.code, JpgKopiereAlle, false));
        EXPECT_EQ(JpegGroesse(DateiBytes(ziel)), f.ungetrimmt) << int(f.code);
        ASSERT_TRUE(JpgTransformieren(q420, ziel, f.code, JpgKopiereAlle, true));
        EXPECT_EQ(JpegGroesse(DateiBytes(ziel)), f.getrimmt420) << int(f.code);
        ASSERT_TRUE(JpgTransformieren(q444, ziel, f.code, JpgKopiereAlle, true));
        EXPECT_EQ(JpegGroesse(DateiBytes(ziel)), f.getrimmt444) << int(f.code);
    }
}

TEST_F(JpgDrehenTest, Transformieren_OhneKopieBleibtNurDasEigeneApp0)
{
    const QString quelle = Datei(QStringLiteral("q.jpg"), MitMarkern(JpegErzeugen(64, 48, TJSAMP_420), false));
    const QString ziel = ordner + QStringLiteral("/z.jpg");
    ASSERT_TRUE(JpgTransformieren(quelle, ziel, JpgDrehen180, JpgKopiereKeine, true));
    const QByteArray ohne = DateiBytes(ziel);
    EXPECT_FALSE(ohne.contains("Exif"));
    EXPECT_FALSE(ohne.contains("Zelvano Test"));
    EXPECT_TRUE(ohne.contains("JFIF"));
    ASSERT_TRUE(JpgTransformieren(quelle, ziel, JpgDrehen180, JpgKopiereAlle, true));
    const QByteArray mit = DateiBytes(ziel);
    EXPECT_TRUE(mit.contains("Exif"));
    EXPECT_TRUE(mit.contains("Zelvano Test"));
}

TEST_F(JpgDrehenTest, Transformieren_KaputteQuelleGibtFalschUndKeinZiel)
{
    const QByteArray gut = JpegErzeugen(64, 48, TJSAMP_420);
    const QString ziel = ordner + QStringLiteral("/z.jpg");
    const QList<QByteArray> kaputt = {gut.left(gut.size() / 2),                     // truncated: a warning
                                      gut.left(2) + QByteArray(200, char(0x55)),    // garbage after SOI
                                      QByteArray(),                                 // empty
                                      QByteArray("\x89PNG\r\n\x1a\n", 8)};
    for (const QByteArray& inhalt : kaputt) {
        const QString quelle = Datei(QStringLiteral("k.jpg"), inhalt);
        EXPECT_FALSE(JpgTransformieren(quelle, ziel, JpgDrehen90, JpgKopiereAlle, true)) << inhalt.size();
        EXPECT_FALSE(QFile::exists(ziel));
    }
    EXPECT_FALSE(JpgTransformieren(ordner + QStringLiteral("/fehlt.jpg"), ziel, JpgDrehen90, JpgKopiereAlle, true));
    const QString quelle = Datei(QStringLiteral("g.jpg"), gut);
    EXPECT_FALSE(JpgTransformieren(quelle, ziel, 3, JpgKopiereAlle, true));   // transpose is not offered
    EXPECT_FALSE(JpgTransformieren(quelle, ordner + QStringLiteral("/fehlt/z.jpg"), JpgDrehen90, JpgKopiereAlle, true));
}

TEST_F(JpgDrehenTest, DateiDrehen_ErsetztDateiUndBehaeltZeit)
{
    const QString pfad = Datei(QStringLiteral("foto.jpg"), MitMarkern(JpegErzeugen(96, 64, TJSAMP_420), true));
    const QByteArray erwartet = Jpegtran(pfad, JpgDrehen90, JpgKopiereAlle, true);
    // An odd second with a fraction: the file keeps the even second below.
    const time_t alt = QDateTime(QDate(2021, 3, 4), QTime(10, 20, 31), Qt::LocalTime).toSecsSinceEpoch();
    ZeitenSetzen(pfad, alt + 5000, alt);
    ::chmod(QFile::encodeName(pfad).constData(), 0640);
    TMeldungsFaenger faenger;
    ASSERT_TRUE(JpgDateiDrehen(pfad, JpgDrehen90, JpgKopiereAlle, true));
    EXPECT_TRUE(faenger.texte.isEmpty());
    const struct stat st = Stat(pfad);   // before reading, which moves the access time
    EXPECT_EQ(DateiBytes(pfad), erwartet);
    EXPECT_EQ(st.st_mtim.tv_sec, alt - 1);
    EXPECT_EQ(st.st_atim.tv_sec, alt - 1);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Neither the working file nor a replacement's temporary file is left.
    EXPECT_TRUE(QDir(TempVerzeichnis).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("foto.jpg")});
}

TEST_F(JpgDrehenTest, DateiDrehen_FehlschlagLaesstOriginalUnberuehrt)
{
    const QByteArray gut = JpegErzeugen(64, 48, TJSAMP_420);
    struct Fall {
        const char* name;
        QByteArray inhalt;
        bool schreibgeschuetzt;
        bool ohneTemp;
    };
    const Fall faelle[] = {{"abgeschnitten", gut.left(gut.size() * 2 / 3), false, false},
                           {"muell", gut.left(2) + QByteArray(300, char(0x33)), false, false},
                           {"png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\0", 12), false, false},
                           {"schreibgeschuetzt", gut, true, false},
                           {"ohne Temp-Ordner", gut, false, true}};
    for (const Fall& f : faelle) {
        const QString pfad = Datei(QStringLiteral("foto.jpg"), f.inhalt);
        ZeitenSetzen(pfad, 1000000000, 1100000001);
        if (f.schreibgeschuetzt)
            ::chmod(QFile::encodeName(pfad).constData(), 0444);
        const QString temp = TempVerzeichnis;
        if (f.ohneTemp)
            TempVerzeichnis.clear();
        TMeldungsFaenger faenger;
        EXPECT_FALSE(JpgDateiDrehen(pfad, JpgDrehen270, JpgKopiereAlle, true)) << f.name;
        TempVerzeichnis = temp;
        EXPECT_EQ(faenger.texte, QStringList{QStringLiteral("Das Bild konnte nicht gedreht werden.")}) << f.name;
        EXPECT_EQ(DateiBytes(pfad), f.inhalt) << f.name;
        EXPECT_EQ(Stat(pfad).st_mtim.tv_sec, 1100000001) << f.name;
        EXPECT_TRUE(QDir(TempVerzeichnis).entryList(QDir::Files | QDir::Hidden).isEmpty()) << f.name;
        EXPECT_EQ(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 1) << f.name;
        ::chmod(QFile::encodeName(pfad).constData(), 0644);
        QFile::remove(pfad);
    }
    TMeldungsFaenger faenger;
    EXPECT_FALSE(JpgDateiDrehen(ordner + QStringLiteral("/fehlt.jpg"), JpgDrehen90, JpgKopiereAlle, true));
    EXPECT_TRUE(faenger.texte.isEmpty());
}

// ---- The window -------------------------------------------------------------

class JpgDrehenFensterTest : public JpgDrehenTest {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite()
    {
        delete frmJpgDrehen;
        frmJpgDrehen = nullptr;
        delete frmZelvanoMain;
    }
    void SetUp() override
    {
        JpgDrehenTest::SetUp();
        TempVerzeichnis = altTemp;   // the main window's own folder for its transfers
        if (!frmJpgDrehen)
            frmJpgDrehen = new TfrmJpgDrehen();
        d = frmJpgDrehen;
    }
    TfrmJpgDrehen* d = nullptr;
};

TEST_F(JpgDrehenFensterTest, Zeigen_KopiermodusFolgtDemKaestchen)
{
    d->cbBildinfo->setChecked(false);
    SegmentKopierModus = JpgKopiereAlle;
    d->show();
    EXPECT_EQ(SegmentKopierModus, JpgKopiereKeine);
    d->cbBildinfo->click();
    EXPECT_EQ(SegmentKopierModus, JpgKopiereAlle);
    d->hide();
    d->show();
    EXPECT_EQ(SegmentKopierModus, JpgKopiereAlle);
    d->hide();
}

TEST_F(JpgDrehenFensterTest, Erklaerung_KnopfKlapptAufUndZu)
{
    d->show();
    const int zu = d->height();
    d->PngBitBtnInfo->click();
    EXPECT_GT(d->height(), zu);
    EXPECT_EQ(d->EingeklappteHoehe(), zu);
    d->PngBitBtnInfo->click();
    EXPECT_EQ(d->height(), zu);
    d->hide();
}

TEST_F(JpgDrehenFensterTest, Erklaerung_FensterBehaeltSeineBreiteUndDerTextPasst)
{
    d->show();
    QCoreApplication::processEvents();
    const int breite = d->width();
    d->PngBitBtnInfo->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(d->width(), breite);
    // The explanation wraps inside the window and shows all of its lines.
    const QRect text(d->lblInfoText->mapTo(d, QPoint(0, 0)), d->lblInfoText->size());
    EXPECT_TRUE(d->rect().contains(text)) << text.x() << "," << text.y() << " " << text.width() << "x"
                                          << text.height() << " in " << d->width() << "x" << d->height();
    EXPECT_GE(d->lblInfoText->height(), d->lblInfoText->heightForWidth(d->lblInfoText->width()));
    d->PngBitBtnInfo->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(d->width(), breite);
    d->hide();
    d->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(d->width(), breite);
    d->hide();
}

TEST_F(JpgDrehenFensterTest, Knoepfe_TragenIhreSymboleDerMenuelisteOhneText)
{
    const std::pair<TPngBitBtn*, int> erwartet[] = {
        {d->PngBitBtnDrehMinus90, 24}, {d->PngBitBtnDrehPlus90, 25}, {d->PngBitBtnDreh180, 26},
        {d->PngBitBtnDrehHorizontal, 27}, {d->PngBitBtnDrehVertikal, 28}, {d->PngBitBtnInfo, 4}};
    for (const auto& [knopf, index] : erwartet) {
        const std::string name = knopf->objectName().toStdString();
        ASSERT_FALSE(knopf->PngImage().Empty()) << name;
        EXPECT_EQ(knopf->PngImage().ToImage(), PngAusListe(MenueBilderListe(), index).ToImage()) << name;
        EXPECT_TRUE(knopf->text().isEmpty()) << name;
        EXPECT_EQ(knopf->Layout(), blGlyphLeft) << name;
        EXPECT_EQ(knopf->Margin(), -1) << name;
        EXPECT_EQ(knopf->Spacing(), 4) << name;
    }
}

// The shown window: each captionless button draws its glyph centred, every
// opaque pixel of the icon on screen as it stands in the list.
TEST_F(JpgDrehenFensterTest, Bildschirm_GlyphenStehenMittigImKnopf)
{
    d->show();
    QCoreApplication::processEvents();
    const QImage fenster = d->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (TPngBitBtn* knopf : {d->PngBitBtnDrehMinus90, d->PngBitBtnDrehVertikal, d->PngBitBtnInfo}) {
        const std::string name = knopf->objectName().toStdString();
        const QImage glyph = knopf->PngImage().ToImage().convertToFormat(QImage::Format_ARGB32);
        const QPoint ecke = knopf->mapTo(d, QPoint((knopf->width() - glyph.width()) / 2,
                                                  (knopf->height() - glyph.height() + 1) / 2));
        EXPECT_EQ(knopf->LetzteLage().Glyph, knopf->mapFrom(d, ecke)) << name;
        int deckend = 0, gleich = 0;
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x)
                if (qAlpha(glyph.pixel(x, y)) == 255) {
                    ++deckend;
                    gleich += (fenster.pixel(ecke + QPoint(x, y)) & 0xFFFFFF) == (glyph.pixel(x, y) & 0xFFFFFF);
                }
        EXPECT_GT(deckend, glyph.width() * glyph.height() / 8) << name;
        EXPECT_EQ(gleich, deckend) << name;
    }
    d->hide();
}

TEST_F(JpgDrehenFensterTest, Klick_DrehtGezeigteDateiUndZeigtSieNeu)
{
    const QString pfad = Datei(QStringLiteral("quer.jpg"), JpegErzeugen(96, 64, TJSAMP_420));
    BildListe = {pfad};
    BildIndex = 0;
    frmZelvanoMain->BildAnzeigen();
    ASSERT_TRUE(JpgDrehbar);
    ASSERT_EQ(frmZelvanoMain->OriginalBild.Width(), 96);
    const QByteArray erwartet = Jpegtran(pfad, JpgDrehen270, JpgKopiereAlle, true);
    d->show();
    d->PngBitBtnDrehMinus90->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(DateiBytes(pfad), erwartet);
    EXPECT_EQ(frmZelvanoMain->OriginalBild.Width(), 64);
    EXPECT_EQ(frmZelvanoMain->OriginalBild.Height(), 96);
    EXPECT_FALSE(BildBearbeitet);

    // The label does what its button does.
    d->show();
    const QByteArray zurueck = Jpegtran(pfad, JpgDrehen90, JpgKopiereAlle, true);
    {
        QMouseEvent druck(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(d->lblDrehPlus90, &druck);
    }
    EXPECT_EQ(DateiBytes(pfad), zurueck);
    EXPECT_EQ(frmZelvanoMain->OriginalBild.Width(), 96);
}

TEST_F(JpgDrehenFensterTest, Klick_BearbeitetesBildOderNichtDrehbarTutNichts)
{
    const QString pfad = Datei(QStringLiteral("quer.jpg"), JpegErzeugen(96, 64, TJSAMP_420));
    BildListe = {pfad};
    BildIndex = 0;
    frmZelvanoMain->BildAnzeigen();
    const QByteArray vorher = DateiBytes(pfad);
    d->show();
    BildBearbeitet = true;
    d->PngBitBtnDreh180->click();
    EXPECT_EQ(DateiBytes(pfad), vorher);
    EXPECT_TRUE(d->isVisible());
    BildBearbeitet = false;
    JpgDrehbar = false;
    d->PngBitBtnDrehVertikal->click();
    EXPECT_EQ(DateiBytes(pfad), vorher);
    d->hide();
}

TEST_F(JpgDrehenFensterTest, Befehl_OeffnetFensterModalUndIstVerbunden)
{
    const QString pfad = Datei(QStringLiteral("quer.jpg"), JpegErzeugen(96, 64, TJSAMP_420));
    BildListe = {pfad};
    BildIndex = 0;
    frmZelvanoMain->BildAnzeigen();
    ASSERT_TRUE(frmZelvanoMain->mBeaJpgDrehen->isEnabled());
    TModalSchliesser schliesser;
    frmZelvanoMain->mBeaJpgDrehen->trigger();
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_TRUE(frmZelvanoMain->AnzeigeBild->isVisible() || !frmZelvanoMain->isVisible());
}
