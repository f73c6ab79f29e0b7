#pragma once
#include <QByteArray>
#include <QString>

// Longest comment written, in bytes; its segment's length field then reads 65,532.
constexpr int JpgKommentarHoechstlaenge = 65530;

// Comments are single bytes in Windows-1252 both when read and when written, so
// umlauts survive loading and saving. Characters the code page lacks become '?'.
QByteArray KommentarBytes(const QString& text);
QString KommentarText(const QByteArray& bytes);

// Rewrites a JPEG file so that it carries exactly one comment segment with text
// (cut to its first 65,530 bytes), or none when text is empty. The new comment
// stands in front of the first old comment or the first 0xCn marker, whichever
// comes first; every other comment is dropped, also one between the scans of
// a progressive file or in front of the end of image; all other segments and
// the image data stay byte for byte, and so do the file's access and
// modification times. The file is replaced as a whole, so a failure leaves
// it as it was. Returns false with a German reason in fehler for a missing or
// write-protected file, data that are not a complete JPEG, or a failed write.
bool JpgKommentarSchreiben(const QString& dateiName, const QString& text, QString& fehler);
// The same in memory: the JPEG's bytes ein with the comment in aus. False
// with the German reason, naming dateiName, for data that are not a complete
// JPEG.
bool JpgKommentarEinbauen(const QByteArray& ein, const QString& text, QByteArray& aus, QString& fehler,
                          const QString& dateiName);
