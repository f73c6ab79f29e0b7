#pragma once
#include <QByteArray>
#include <cstdint>

// A bilevel IOCA image segment by its published layout: begin, image data
// descriptor, encoding and IDE size parameters, the data split over two
// Image Data parameters, end. Shared by the tests and the fuzz seeds.
inline QByteArray IocaSegment(int w, int h, uint8_t kompression, const QByteArray& daten)
{
    auto be16 = [](QByteArray& a, int v) {
        a.append(char(v >> 8));
        a.append(char(v));
    };
    QByteArray d("\x70\x00\x91\x01\xFF\x94\x09\x00", 8);
    be16(d, 2000);
    be16(d, 2000);
    be16(d, w);
    be16(d, h);
    d.append("\x95\x02", 2);
    d.append(char(kompression));
    d.append('\x01');
    d.append("\x96\x01\x01", 3);
    const qsizetype haelfte = daten.size() / 2;
    for (const QByteArray& teil : {daten.left(haelfte), daten.mid(haelfte)}) {
        d.append("\xFE\x92", 2);
        be16(d, int(teil.size()));
        d.append(teil);
    }
    d.append("\x93\x00\x71\x00", 4);
    return d;
}
