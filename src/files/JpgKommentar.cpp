#include "JpgKommentar.h"

#include "DatumZeitSetzen.h"
#include "gear/SicherErsetzen.h"
#include <cerrno>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr uchar MarkerSOF0 = 0xC0, MarkerSOF15 = 0xCF;
constexpr uchar MarkerRST0 = 0xD0, MarkerRST7 = 0xD7;
constexpr uchar MarkerSOI = 0xD8, MarkerEOI = 0xD9, MarkerSOS = 0xDA;
constexpr uchar MarkerCOM = 0xFE, MarkerTEM = 0x01;

enum class TBefund { Ok, KeinJpeg, Unvollstaendig };

// Markers that stand alone, without a length.
bool OhneLaenge(uchar m)
{
    return m == MarkerTEM || (m >= MarkerRST0 && m <= MarkerRST7) || m == MarkerSOI;
}

uint16_t Wort(const uchar* d, qsizetype pos)
{
    return static_cast<uint16_t>((d[pos] << 8) | d[pos + 1]);
}

// Copies the image data from the first scan header (at kopiertAb) up to the
// end of image and whatever follows it, over later segments (progressive
// scans, tables), leaving out every comment segment among them, so exactly one
// comment remains in the file. pos is behind the first scan header. False for
// a file cut short anywhere.
bool BildteilOhneKommentareKopieren(const QByteArray& ein, qsizetype kopiertAb, qsizetype pos, QByteArray& aus)
{
    const auto* d = reinterpret_cast<const uchar*>(ein.constData());
    const qsizetype n = ein.size();
    while (pos < n) {
        const void* ff = std::memchr(d + pos, 0xFF, static_cast<size_t>(n - pos));
        if (!ff)
            return false;
        const qsizetype markerStart = static_cast<const uchar*>(ff) - d;
        pos = markerStart + 1;
        while (pos < n && d[pos] == 0xFF)   // fill bytes go with their marker
            ++pos;
        if (pos >= n)
            return false;
        const uchar m = d[pos++];
        if (m == 0x00 || OhneLaenge(m))   // stuffed 0xFF in the data, restart markers
            continue;
        if (m == MarkerEOI) {
            aus.append(ein.constData() + kopiertAb, n - kopiertAb);
            return true;
        }
        if (pos + 2 > n)
            return false;
        const qsizetype l = Wort(d, pos);
        if (l < 2 || pos + l > n)
            return false;
        if (m == MarkerCOM) {
            aus.append(ein.constData() + kopiertAb, markerStart - kopiertAb);
            kopiertAb = pos + l;
        }
        pos += l;
    }
    return false;
}

// Builds the new file content. Every read is checked against the end of the
// input; nothing here touches the disk.
TBefund KommentarEinbauen(const QByteArray& ein, const QByteArray& text, QByteArray& aus)
{
    const auto* d = reinterpret_cast<const uchar*>(ein.constData());
    const qsizetype n = ein.size();
    if (n < 2 || d[0] != 0xFF || d[1] != MarkerSOI)
        return TBefund::KeinJpeg;

    aus.clear();
    aus.reserve(n + text.size() + 4);
    aus.append(ein.constData(), 2);

    bool kommentarGeschrieben = false;
    auto kommentarAnhaengen = [&] {
        if (kommentarGeschrieben || text.isEmpty())
            return;
        const int laenge = static_cast<int>(text.size()) + 2;
        aus.append(char(0xFF));
        aus.append(char(MarkerCOM));
        aus.append(char(laenge >> 8));
        aus.append(char(laenge & 0xFF));
        aus.append(text);
        kommentarGeschrieben = true;
    };

    qsizetype pos = 2;
    for (;;) {
        if (pos >= n)
            return TBefund::Unvollstaendig;
        if (d[pos] != 0xFF)
            return TBefund::KeinJpeg;
        const qsizetype start = pos;
        // Extra 0xFF fill bytes may stand before a marker; they go with it.
        while (pos < n && d[pos] == 0xFF)
            ++pos;
        if (pos >= n)
            return TBefund::Unvollstaendig;
        const uchar m = d[pos++];
        if (m == 0x00)
            return TBefund::KeinJpeg;
        if (OhneLaenge(m)) {
            aus.append(ein.constData() + start, pos - start);
            continue;
        }
        if (m == MarkerEOI)   // ends before any image data
            return TBefund::Unvollstaendig;
        if (pos + 2 > n)
            return TBefund::Unvollstaendig;
        const qsizetype l = Wort(d, pos);
        if (l < 2)
            return TBefund::KeinJpeg;
        if (pos + l > n)
            return TBefund::Unvollstaendig;
        const qsizetype ende = pos + l;

        if (m == MarkerCOM || (m >= MarkerSOF0 && m <= MarkerSOF15))
            kommentarAnhaengen();
        if (m == MarkerSOS) {
            // A file without any frame header still keeps the comment it was given.
            kommentarAnhaengen();
            // From the first scan on everything stays but further comments.
            return BildteilOhneKommentareKopieren(ein, start, ende, aus) ? TBefund::Ok : TBefund::Unvollstaendig;
        }
        if (m != MarkerCOM)
            aus.append(ein.constData() + start, ende - start);
        pos = ende;
    }
}

} // namespace

QByteArray KommentarBytes(const QString& text)
{
    QStringEncoder kodierer("Windows-1252");
    if (!kodierer.isValid())
        return text.toLatin1();
    QByteArray bytes = kodierer.encode(text);
    // The converter marks missing characters with SUB; '?' reads better in a
    // comment. A SUB the text really held stays as it is.
    if (bytes.contains('\x1A') && !text.contains(QChar(0x1A)))
        bytes.replace('\x1A', '?');
    return bytes;
}

QString KommentarText(const QByteArray& bytes)
{
    QStringDecoder dekodierer("Windows-1252");
    if (!dekodierer.isValid())
        return QString::fromLatin1(bytes);
    return dekodierer.decode(bytes);
}

bool JpgKommentarEinbauen(const QByteArray& ein, const QString& text, QByteArray& aus, QString& fehler,
                          const QString& dateiName)
{
    switch (KommentarEinbauen(ein, KommentarBytes(text).left(JpgKommentarHoechstlaenge), aus)) {
    case TBefund::Ok:
        return true;
    case TBefund::KeinJpeg:
        fehler = QStringLiteral("%1 ist keine JPG-Datei, oder enthält ein ungültiges Format").arg(dateiName);
        return false;
    case TBefund::Unvollstaendig:
        fehler = QStringLiteral("Die JPG-Datei %1 ist unvollständig.").arg(dateiName);
        return false;
    }
    return false;
}

bool JpgKommentarSchreiben(const QString& dateiName, const QString& text, QString& fehler)
{
    fehler.clear();
    const QFileInfo info(dateiName);
    if (!info.isFile()) {
        fehler = QStringLiteral("Die Datei %1 ist nicht vorhanden.").arg(dateiName);
        return false;
    }
    if (!(info.permissions() & QFileDevice::WriteOwner)) {
        fehler = SchreibfehlerText(dateiName, EACCES);
        return false;
    }
    // Taken before reading, which may itself move the access time.
    TDateiZeiten zeiten;
    QFile datei(dateiName);
    if (!DateiZeitenLesen(dateiName, zeiten) || !datei.open(QIODevice::ReadOnly)) {
        fehler = QStringLiteral("Die Datei %1 kann nicht geöffnet werden.").arg(dateiName);
        return false;
    }
    const QByteArray ein = datei.readAll();
    if (datei.error() != QFileDevice::NoError || ein.size() != datei.size()) {
        fehler = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(dateiName);
        return false;
    }
    datei.close();

    QByteArray aus;
    if (!JpgKommentarEinbauen(ein, text, aus, fehler, dateiName))
        return false;
    if (aus == ein) {
        // Already as asked: nothing to rewrite; only undo what reading did.
        const timespec ts[2] = {zeiten.zugriff, zeiten.geschrieben};
        ::utimensat(AT_FDCWD, QFile::encodeName(dateiName).constData(), ts, 0);
        return true;
    }
    return DateiSicherErsetzen(dateiName, aus, fehler, zeiten);
}
