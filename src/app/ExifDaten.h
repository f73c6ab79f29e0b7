#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

// The EXIF reader of the shown file: reads all kinds of metadata of one file
// through exiv2 and keeps them until the next read or Leeren(). Readers on
// different threads may work at once, each on its own object.
class TExifDaten {
public:
    TExifDaten();
    ~TExifDaten();
    TExifDaten(TExifDaten&&) noexcept;
    TExifDaten& operator=(TExifDaten&&) noexcept;

    // Reads the file's metadata segments (not its image data); false, with
    // empty data, when the file cannot be read or its own signature names no
    // format whose metadata the program shows (JPEG, PNG, TIFF). The name's
    // extension plays no part, and nothing else is handed to exiv2.
    bool Lesen(const QString& pfad);
    void Leeren();

    QString Dateiname() const { return m_datei; }
    // The reader's error text; "<none>" when the last read succeeded.
    QString FehlerText() const { return m_fehler; }
    // Readable EXIF data are held (in a TIFF only its EXIF, GPS and maker
    // parts count, not the directory of its raster).
    bool HatExif() const;
    // The file has an EXIF block, also one that could not be read; FehlerText
    // then says why.
    bool ExifGefunden() const { return m_exifGefunden; }
    bool KommentarGefunden() const { return m_kommentarGefunden; }
    // The comment segment's bytes decoded as Windows-1252, up to the first NUL.
    QString Kommentar() const { return m_kommentar; }
    // The raw EXIF block ("Exif\0\0" + TIFF data), empty when none.
    QByteArray ExifBlock() const;
    // Text value of a tag by its exiv2 key ("Exif.Image.Make"); empty when missing.
    QString Wert(const QString& schluessel) const;

    // Writes the held EXIF data into a JPEG file in front of its image data,
    // with the EXIF pixel width and height set to breite x hoehe; the other
    // segments stay. The file is replaced as a whole, so a failure leaves it
    // as it was and gives a German reason in fehler.
    bool ExifEinfuegen(const QString& jpeg, int breite, int hoehe, QString& fehler) const;
    // The same in memory: the JPEG's bytes ein with the EXIF data in aus.
    // name (the file they are meant for) stands in the German reason.
    bool ExifEinbauen(const QByteArray& ein, int breite, int hoehe, QByteArray& aus, QString& fehler,
                      const QString& name) const;

    // ---- For the image information ----
    // The EXIF block is big-endian ("Motorola"), also when it could not be read.
    bool Motorola() const;
    // A tag's value as exiv2 interprets it for people ("F2.8", "50.0 mm");
    // empty when missing.
    QString WertLesbar(const QString& schluessel) const;
    // Integer value of a tag, vorgabe when missing or not a number.
    long Zahl(const QString& schluessel, long vorgabe = 0) const;
    // One line "key  value" per entry: the maker's own tags, and all tags.
    QString HerstellerListe() const;
    QString ExifListe() const;

    struct Daten;

private:
    std::unique_ptr<Daten> m_daten;
    QString m_datei;
    QString m_fehler = QStringLiteral("<none>");
    bool m_kommentarGefunden = false;
    bool m_exifGefunden = false;
    bool m_motorola = false;
    QString m_kommentar;
};
