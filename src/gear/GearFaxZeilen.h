#pragma once
#include <QByteArray>
#include <cstdint>
#include <functional>

// Our own reader of raw CCITT rows: T.4 one-dimensional (modified Huffman,
// rows after EOL codes), T.4 two-dimensional (a tag bit after each EOL
// chooses 1-D or 2-D coding of the row) and T.6 (Group 4, ending with
// EOFB), MSB or LSB first. It is fast enough to try thousands of widths,
// and it reads the data as libtiff's fax codec does: the rows it calls
// clean, and how it stops, are those TiffFaxZeilen reports. Where libtiff's
// tolerance of broken data is not known exactly (the last bits of T.6 data,
// a pass up to the row's end, a vertical step onto a0, a long run of zeros
// inside a row, data after the end mark), the answer is marked uncertain
// and the caller asks libtiff.

enum class TFaxKodierung { G3EinD, G3ZweiD, G4 };

struct TFaxLauf {
    int zeilen = 0;            // clean rows before the stop
    bool ende = false;         // stopped at the end mark or the end of the data
    int gemeldeteBreite = 0;   // the first row ended early (EOL or broken code) at this length
    bool sicher = true;        // false: libtiff may read this data differently
    // T.6, MSB first: false when the rows read, coded again by libtiff,
    // cannot give the same bytes (the data took other steps than its coder).
    bool gleichKodierbar = true;
};

// Stops at the end mark, a faulty row or maxZeilen; zeile gets every clean
// row as packed bits (1 = black).
TFaxLauf FaxZeilenLesen(const QByteArray& roh, TFaxKodierung art, bool lsbZuerst, int breite, int maxZeilen,
                        const std::function<void(int, const uint8_t*)>& zeile = {});
