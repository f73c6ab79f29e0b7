// The EXIF reader of the shown file, on exiv2.
#include "ExifDaten.h"
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include "files/SicherErsetzen.h"
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

TExifDaten::TExifDaten() = default;
TExifDaten::~TExifDaten() = default;

void TExifDaten::Leeren()
{
    m_daten.reset();
    m_datei.clear();
    m_fehler = QStringLiteral("<none>");
    m_kommentarGefunden = false;
    m_kommentar.clear();
}

bool TExifDaten::Lesen(const QString& pfad)
{
    Leeren();
    m_datei = pfad;

    QByteArray bytes;
    {
        QFile f(pfad);
        if (!f.open(QIODevice::ReadOnly)) {
            m_fehler = QStringLiteral("Datei kann nicht gelesen werden");
            return false;
        }
        bytes = f.readAll();
    }
    if (bytes.isEmpty()) {
        m_fehler = QStringLiteral("Datei ist leer");
        return false;
    }

    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    try {
        // Opened from memory: the file name plays no part in the decision.
        Exiv2::Image::AutoPtr bild = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(bytes.constData()), long(bytes.size()));
        if (!bild.get()) {
            m_fehler = QStringLiteral("Unbekanntes Dateiformat");
            return false;
        }
        bild->readMetadata();

        auto daten = std::make_unique<Daten>();
        daten->exif = bild->exifData();
        daten->iptc = bild->iptcData();
        daten->xmp = bild->xmpData();
        daten->byteOrder = bild->byteOrder();

        std::string kommentar = bild->comment();
        m_kommentarGefunden = !kommentar.empty();
        const std::string::size_type nul = kommentar.find('\0');
        if (nul != std::string::npos)
            kommentar.resize(nul);
        m_kommentar = Windows1252(kommentar);

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
    QByteArray neu;
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    try {
        // Worked on in memory; only the finished bytes reach the disk.
        Exiv2::Image::AutoPtr bild = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(bytes.constData()), long(bytes.size()));
        if (!bild.get() || bild->imageType() != Exiv2::ImageType::jpeg) {
            fehler = QStringLiteral("%1 ist keine JPG-Datei, oder enthält ein ungültiges Format").arg(jpeg);
            return false;
        }
        bild->readMetadata();
        Exiv2::ExifData exif = m_daten->exif;
        exif["Exif.Photo.PixelXDimension"] = uint32_t(std::max(breite, 0));
        exif["Exif.Photo.PixelYDimension"] = uint32_t(std::max(hoehe, 0));
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
    return DateiSicherErsetzen(jpeg, neu, fehler, TZeitenBehalten::VomZiel);
}

// ---- For the image information ----------------------------------------------

bool TExifDaten::Motorola() const
{
    return m_daten && m_daten->byteOrder == Exiv2::bigEndian;
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
    QString text;
    for (const Exiv2::Exifdatum& d : exif) {
        try {
            if (nurHersteller && !Exiv2::ExifTags::isMakerGroup(d.groupName()))
                continue;
            QString wert = WertText(d.print(&exif)).simplified();
            // Binary blocks are long and say nothing to a reader.
            if (wert.size() > 200)
                wert = wert.left(200) + QStringLiteral(" ...");
            text += QString::fromStdString(d.key()).leftJustified(44) + QLatin1Char(' ') + wert
                + QStringLiteral("\r\n");
        } catch (...) {
        }
    }
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
