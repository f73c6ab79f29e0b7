#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QFontMetrics;
class TPNGObject;

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };

struct TGlyphUndText {
    QPoint Text;
    QPoint Glyph;
};

// Places glyph and caption inside the client rectangle. margin -1 and
// spacing -1 mean automatic; rechtsNachLinks swaps glyph left and right. Both
// positions move by (offset1 | offset2) & 0x7F and the rectangle's origin;
// a button passes 0 and its pressed state.
TGlyphUndText LayoutGlyphAndCaption(const QRect& client, QSize glyph, QSize text, bool rechtsNachLinks, int spacing,
                                    int margin, TButtonLayout layout, uint8_t offset1, uint8_t offset2);
// The same with the caption measured in the font (at most the client's width,
// wrapped as the caption would be without the single-line flag).
TGlyphUndText LayoutGlyphAndCaption(const QFontMetrics& schrift, const TPNGObject* png, const QRect& client,
                                    bool rechtsNachLinks, int spacing, int margin, TButtonLayout layout,
                                    const QString& caption, uint8_t offset1, uint8_t offset2);
