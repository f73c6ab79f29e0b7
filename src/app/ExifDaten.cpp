// The EXIF reader of the shown file, on exiv2.
#include "ExifDaten.h"
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include "gear/SicherErsetzen.h"
#include <exiv2/exiv2.hpp>
#include <string>

struct TExifDaten::Daten {
    Exiv2::ExifData exif;
    Exiv2::IptcData iptc;
    Exiv2::XmpData xmp;
    Exiv2::ByteOrder byteOrder = Exiv2::invalidByteOrder;
};

// Comment segments and EXIF text carry no code page; Windows-1252 is what
// the files of this program and of most cameras use.
static QString Windows1252(const std::string& bytes)
{
    const QByteArray daten(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder decoder("Windows-1252");
    if (decoder.isValid())
        return decoder(daten);
    return QString::fromLatin1(daten);
}

// Text of an EXIF, IPTC or XMP value: UTF-8 when it is valid UTF-8, else
// Windows-1252.
static QString WertText(const std::string& bytes)
{
    const QByteArray daten(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(daten);
    if (!utf8.hasError())
        return text;
    return Windows1252(bytes);
}

namespace {

void XmpSperre(void* daten, bool sperren)
{
    auto* mutex = static_cast<std::mutex*>(daten);
    if (sperren)
        mutex->lock();
    else
        mutex->unlock();
}

// Once, before any reader works: exiv2 keeps quiet, and its XMP toolkit,
// which has shared state, is entered by one thread at a time.
void ExivVorbereiten()
{
    static std::once_flag einmal;
    std::call_once(einmal, [] {
        static std::mutex xmp;
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(XmpSperre, &xmp);
    });
}

} // namespace

TExifDaten::TExifDaten()
{
    ExivVorbereiten();
}

TExifDaten::~TExifDaten() = default;
TExifDaten::TExifDaten(TExifDaten&&) noexcept = default;
TExifDaten& TExifDaten::operator=(TExifDaten&&) noexcept = default;

void TExifDaten::Leeren()
{
    m_daten.reset();
    m_exifGefunden = false;
    m_motorola = false;
    m_datei.clear();
    m_fehler = QStringLiteral("<none>");
    m_kommentarGefunden = false;
    m_kommentar.clear();
}

namespace {

enum class TMetaFormat { Keines, Jpeg, Png, Tiff };

// Chosen by the file's first bytes only. exiv2 is never asked to guess: some
// of its parsers (RIFF video among them) do not come back from damaged files.
TMetaFormat MetaFormat(const QByteArray& kopf)
{
    if (kopf.startsWith(QByteArray("\xFF\xD8\xFF", 3)))
        return TMetaFormat::Jpeg;
    if (kopf.startsWith(QByteArray("\x89PNG\r\n\x1A\n", 8)))
        return TMetaFormat::Png;
    if (kopf.startsWith(QByteArray("II*\0", 4)) || kopf.startsWith(QByteArray("MM\0*", 4)))
        return TMetaFormat::Tiff;
    return TMetaFormat::Keines;
}

// The segments in front of a JPEG's image data, read one by one and ended by
// the start-of-scan marker. The image data are never read, and a damaged file
// ends the walk: exiv2 itself would search a file without the next marker
// byte by byte to its end, gigabytes of it.
QByteArray JpegKopf(QFile& datei, QByteArray& exifKopf)
{
    constexpr qsizetype Hoechstens = qsizetype(64) << 20;
    QByteArray kopf = datei.read(2);
    auto lesen = [&datei](qint64 n, QByteArray& ziel) {
        const QByteArray teil = datei.read(n);
        ziel += teil;
        return teil.size() == n;
    };
    while (kopf.size() < Hoechstens) {
        QByteArray marker = datei.read(2);
        if (marker.size() != 2 || uchar(marker[0]) != 0xFF)
            break;
        // Fill bytes in front of a marker.
        while (uchar(marker[1]) == 0xFF) {
            const QByteArray b = datei.read(1);
            if (b.size() != 1)
                break;
            marker[1] = b[0];
        }
        const uchar code = uchar(marker[1]);
        if (code == 0xDA) {
            kopf += marker;
            return kopf;
        }
        if (code == 0xFF || code == 0x00 || code == 0xD9)
            break;
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            kopf += marker;
            continue;
        }
        QByteArray segment = marker;
        if (!lesen(2, segment))
            break;
        const int laenge = (uchar(segment[2]) << 8) | uchar(segment[3]);
        if (laenge < 2 || !lesen(laenge - 2, segment))
            break;
        if (code == 0xE1 && exifKopf.isEmpty() && segment.mid(4, 6) == QByteArray("Exif\0\0", 6))
            exifKopf = segment.mid(10, 8);
        kopf += segment;
    }
    // Whatever was whole up to here, closed as a file without image data.
    kopf.append("\xFF\xD9", 2);
    return kopf;
}

// A PNG's metadata chunks, read one by one and closed with an end chunk; the
// image data are skipped by seeking. A chunk type that is no type (zeros,
// damage) ends the walk, as does a chunk running past the end.
QByteArray PngKopf(QFile& datei, QByteArray& exifKopf)
{
    constexpr qsizetype Hoechstens = qsizetype(64) << 20;
    constexpr int HoechstensChunks = 1'000'000;
    static const QList<QByteArray> gesucht = {"IHDR", "tEXt", "zTXt", "iTXt", "eXIf", "iCCP"};
    QByteArray kopf = datei.read(8);
    const qint64 groesse = datei.size();
    for (int n = 0; n < HoechstensChunks && kopf.size() < Hoechstens; ++n) {
        const QByteArray k = datei.read(8);
        if (k.size() != 8)
            break;
        const quint32 laenge = (quint32(uchar(k[0])) << 24) | (quint32(uchar(k[1])) << 16) |
                               (quint32(uchar(k[2])) << 8) | quint32(uchar(k[3]));
        const QByteArray typ = k.mid(4, 4);
        const bool istTyp = std::all_of(typ.begin(), typ.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
        if (!istTyp || typ == "IEND" || qint64(laenge) + 4 > groesse - datei.pos())
            break;
        if (gesucht.contains(typ)) {
            const QByteArray inhalt = datei.read(qint64(laenge) + 4);
            if (inhalt.size() != qint64(laenge) + 4)
                break;
            if (typ == "eXIf" && exifKopf.isEmpty())
                exifKopf = inhalt.left(std::min<qsizetype>(8, laenge));
            kopf += k + inhalt;
        } else if (!datei.seek(datei.pos() + qint64(laenge) + 4)) {
            break;
        }
    }
    kopf.append("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    return kopf;
}

// The groups of EXIF proper: the EXIF directory with its interoperability
// part, GPS and the maker's notes.
bool IstExifGruppe(const std::string& gruppe)
{
    return gruppe == "Photo" || gruppe == "GPSInfo" || gruppe == "Iop" || Exiv2::ExifTags::isMakerGroup(gruppe);
}

// A TIFF's first directory describes its raster (size, strips, samples): that
// is no EXIF data. Kept are the EXIF groups and, beside them, the tags of the
// first directory that describe the picture; without EXIF groups nothing.
void TiffExifAuswaehlen(Exiv2::ExifData& exif)
{
    static const std::set<std::string> beschreibend = {"ImageDescription", "Make",   "Model",    "Software",
                                                       "DateTime",         "Artist", "Copyright"};
    const auto istExif = [](const Exiv2::Exifdatum& d) { return IstExifGruppe(d.groupName()); };
    if (std::none_of(exif.begin(), exif.end(), istExif)) {
        exif.clear();
        return;
    }
    for (auto it = exif.begin(); it != exif.end();) {
        if (istExif(*it) || (it->groupName() == "Image" && beschreibend.count(it->tagName())))
            ++it;
        else
            it = exif.erase(it);
    }
}

}  // namespace

bool TExifDaten::Lesen(const QString& pfad)
{
    Leeren();
    m_datei = pfad;

    // Only plain files: a pipe or device would never end.
    const QFileInfo info(pfad);
    if (pfad.isEmpty() || !info.isFile()) {
        m_fehler = QStringLiteral("Datei nicht gefunden");
        return false;
    }
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        m_fehler = QStringLiteral("Datei kann nicht gelesen werden");
        return false;
    }
    const TMetaFormat format = MetaFormat(datei.peek(8));
    if (datei.size() == 0) {
        m_fehler = QStringLiteral("Datei ist leer");
        return false;
    }
    if (format == TMetaFormat::Keines) {
        m_fehler = QStringLiteral("Dateiformat ohne Metadaten");
        return false;
    }
    // The metadata of JPEG and PNG are read here and handed over in memory;
    // TIFF is read by exiv2 through its directories.
    QByteArray kopf;
    // The start of the EXIF block's own TIFF header, when the file has one:
    // a block exiv2 cannot read is still reported, with its byte order.
    QByteArray exifKopf;
    if (format == TMetaFormat::Jpeg)
        kopf = JpegKopf(datei, exifKopf);
    else if (format == TMetaFormat::Png)
        kopf = PngKopf(datei, exifKopf);
    else
        exifKopf = datei.peek(8);
    datei.close();

    try {
        Exiv2::BasicIo::AutoPtr io;
        if (!kopf.isEmpty())
            io.reset(new Exiv2::MemIo(reinterpret_cast<const Exiv2::byte*>(kopf.constData()), long(kopf.size())));
        else
            io.reset(new Exiv2::FileIo(QFile::encodeName(pfad).toStdString()));
        Exiv2::Image::AutoPtr bild;
        switch (format) {
        case TMetaFormat::Jpeg: bild.reset(new Exiv2::JpegImage(io, false)); break;
        case TMetaFormat::Png: bild.reset(new Exiv2::PngImage(io, false)); break;
        case TMetaFormat::Tiff: bild.reset(new Exiv2::TiffImage(io, false)); break;
        case TMetaFormat::Keines: break;
        }
        if (!bild.get()) {
            m_fehler = QStringLiteral("Unbekanntes Dateiformat");
            return false;
        }
        bild->readMetadata();

        auto daten = std::make_unique<Daten>();
        daten->exif = bild->exifData();
        if (format == TMetaFormat::Tiff)
            TiffExifAuswaehlen(daten->exif);
        daten->iptc = bild->iptcData();
        daten->xmp = bild->xmpData();
        daten->byteOrder = bild->byteOrder();

        std::string kommentar = bild->comment();
        m_kommentarGefunden = !kommentar.empty();
        const std::string::size_type nul = kommentar.find('\0');
        if (nul != std::string::npos)
            kommentar.resize(nul);
        m_kommentar = Windows1252(kommentar);

        m_exifGefunden = !daten->exif.empty();
        m_motorola = daten->byteOrder == Exiv2::bigEndian;
        m_daten = std::move(daten);
        m_fehler = QStringLiteral("<none>");
        return true;
    } catch (const Exiv2::AnyError& e) {
        m_fehler = QString::fromLocal8Bit(e.what());
    } catch (const std::exception& e) {
        m_fehler = QString::fromLocal8Bit(e.what());
    } catch (...) {
        m_fehler = QStringLiteral("Unbekannter Fehler");
    }
    m_daten.reset();
    m_kommentarGefunden = false;
    m_kommentar.clear();
    // An EXIF block exiv2 cannot read is still one, shown with the error. A
    // TIFF's directories are its EXIF structure: their failure counts so too.
    m_exifGefunden = !exifKopf.isEmpty();
    m_motorola = exifKopf.startsWith("MM");
    return false;
}

bool TExifDaten::HatExif() const
{
    return m_daten && !m_daten->exif.empty();
}

QByteArray TExifDaten::ExifBlock() const
{
    if (!HatExif())
        return {};
    try {
        Exiv2::ByteOrder ordnung = m_daten->byteOrder;
        if (ordnung == Exiv2::invalidByteOrder)
            ordnung = Exiv2::littleEndian;
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, ordnung, m_daten->exif);
        if (blob.empty())
            return {};
        QByteArray block("Exif\0\0", 6);
        block.append(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
        return block;
    } catch (...) {
        return {};
    }
}

QString TExifDaten::Wert(const QString& schluessel) const
{
    if (!m_daten || schluessel.isEmpty())
        return {};
    const std::string key = schluessel.toStdString();
    try {
        if (schluessel.startsWith(QLatin1String("Exif."))) {
            const auto it = m_daten->exif.findKey(Exiv2::ExifKey(key));
            if (it != m_daten->exif.end())
                return WertText(it->toString());
        } else if (schluessel.startsWith(QLatin1String("Iptc."))) {
            const auto it = m_daten->iptc.findKey(Exiv2::IptcKey(key));
            if (it != m_daten->iptc.end())
                return WertText(it->toString());
        } else if (schluessel.startsWith(QLatin1String("Xmp."))) {
            const auto it = m_daten->xmp.findKey(Exiv2::XmpKey(key));
            if (it != m_daten->xmp.end())
                return WertText(it->toString());
        }
    } catch (...) {
    }
    return {};
}

bool TExifDaten::ExifEinfuegen(const QString& jpeg, int breite, int hoehe, QString& fehler) const
{
    if (!HatExif()) {
        fehler = QStringLiteral("Es sind keine EXIF-Daten vorhanden.");
        return false;
    }
    QByteArray bytes;
    {
        QFile f(jpeg);
        if (!f.open(QIODevice::ReadOnly)) {
            fehler = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(jpeg);
            return false;
        }
        bytes = f.readAll();
    }
    // Worked on in memory; only the finished bytes reach the disk.
    QByteArray neu;
    if (!ExifEinbauen(bytes, breite, hoehe, neu, fehler, jpeg))
        return false;
    return DateiSicherErsetzen(jpeg, neu, fehler, TZeitenBehalten::VomZiel);
}

bool TExifDaten::ExifEinbauen(const QByteArray& bytes, int breite, int hoehe, QByteArray& neu, QString& fehler,
                              const QString& jpeg) const
{
    if (!HatExif()) {
        fehler = QStringLiteral("Es sind keine EXIF-Daten vorhanden.");
        return false;
    }
    try {
        if (MetaFormat(bytes.left(8)) != TMetaFormat::Jpeg) {
            fehler = QStringLiteral("%1 ist keine JPG-Datei, oder enthält ein ungültiges Format").arg(jpeg);
            return false;
        }
        Exiv2::BasicIo::AutoPtr speicher(
            new Exiv2::MemIo(reinterpret_cast<const Exiv2::byte*>(bytes.constData()), long(bytes.size())));
        Exiv2::Image::AutoPtr bild(new Exiv2::JpegImage(speicher, false));
        if (!bild.get()) {
            fehler = QStringLiteral("%1 ist keine JPG-Datei, oder enthält ein ungültiges Format").arg(jpeg);
            return false;
        }
        bild->readMetadata();
        Exiv2::ExifData exif = m_daten->exif;
        exif["Exif.Photo.PixelXDimension"] = uint32_t(std::max(breite, 0));
        exif["Exif.Photo.PixelYDimension"] = uint32_t(std::max(hoehe, 0));
        // The resolution the new file states in its JFIF header holds for
        // the EXIF data too; without one they keep the source's.
        const auto* d = reinterpret_cast<const uint8_t*>(bytes.constData());
        if (bytes.size() >= 18 && d[2] == 0xFF && d[3] == 0xE0 && std::memcmp(d + 6, "JFIF", 5) == 0
            && (d[13] == 1 || d[13] == 2)) {
            const uint32_t x = uint32_t(d[14]) << 8 | d[15], y = uint32_t(d[16]) << 8 | d[17];
            if (x > 0 && y > 0) {
                exif["Exif.Image.XResolution"] = Exiv2::URational(x, 1);
                exif["Exif.Image.YResolution"] = Exiv2::URational(y, 1);
                exif["Exif.Image.ResolutionUnit"] = uint16_t(d[13] == 1 ? 2 : 3);   // inch or centimetre
            }
        }
        if (m_daten->byteOrder != Exiv2::invalidByteOrder)
            bild->setByteOrder(m_daten->byteOrder);
        bild->setExifData(exif);
        bild->writeMetadata();

        Exiv2::BasicIo& io = bild->io();
        if (io.open() != 0) {
            fehler = QStringLiteral("Die EXIF-Daten können nicht eingefügt werden.");
            return false;
        }
        const long groesse = long(io.size());
        Exiv2::DataBuf inhalt = io.read(groesse);
        io.close();
        if (inhalt.size_ != groesse || groesse <= 0) {
            fehler = QStringLiteral("Die EXIF-Daten können nicht eingefügt werden.");
            return false;
        }
        neu = QByteArray(reinterpret_cast<const char*>(inhalt.pData_), qsizetype(inhalt.size_));
    } catch (const Exiv2::AnyError& e) {
        fehler = QStringLiteral("Die EXIF-Daten können nicht eingefügt werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        return false;
    } catch (const std::exception& e) {
        fehler = QStringLiteral("Die EXIF-Daten können nicht eingefügt werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

// ---- For the image information ----------------------------------------------

bool TExifDaten::Motorola() const
{
    return m_motorola;
}

QString TExifDaten::WertLesbar(const QString& schluessel) const
{
    if (!m_daten || !schluessel.startsWith(QLatin1String("Exif.")))
        return {};
    try {
        const auto it = m_daten->exif.findKey(Exiv2::ExifKey(schluessel.toStdString()));
        if (it != m_daten->exif.end())
            return WertText(it->print(&m_daten->exif)).trimmed();
    } catch (...) {
    }
    return {};
}

long TExifDaten::Zahl(const QString& schluessel, long vorgabe) const
{
    if (!m_daten || !schluessel.startsWith(QLatin1String("Exif.")))
        return vorgabe;
    try {
        const auto it = m_daten->exif.findKey(Exiv2::ExifKey(schluessel.toStdString()));
        if (it != m_daten->exif.end() && it->count() > 0)
            return long(it->toLong());
    } catch (...) {
    }
    return vorgabe;
}

static QString Auflistung(const Exiv2::ExifData& exif, bool nurHersteller)
{
    QList<QPair<QString, QString>> eintraege;
    qsizetype breite = 0;
    for (const Exiv2::Exifdatum& d : exif) {
        try {
            if (nurHersteller && !Exiv2::ExifTags::isMakerGroup(d.groupName()))
                continue;
            QString wert = WertText(d.print(&exif)).simplified();
            // Binary blocks are long and say nothing to a reader.
            if (wert.size() > 200)
                wert = wert.left(200) + QStringLiteral(" ...");
            eintraege.append({QString::fromStdString(d.key()), wert});
            breite = std::max(breite, eintraege.last().first.size());
        } catch (...) {
        }
    }
    // The values start in one column, behind the longest key.
    QString text;
    for (const auto& [schluessel, wert] : eintraege)
        text += schluessel.leftJustified(breite) + QStringLiteral("  ") + wert + QStringLiteral("\r\n");
    return text;
}

QString TExifDaten::HerstellerListe() const
{
    return m_daten ? Auflistung(m_daten->exif, true) : QString();
}

QString TExifDaten::ExifListe() const
{
    return m_daten ? Auflistung(m_daten->exif, false) : QString();
}
