#include "PngButtonFunctions.h"
#include <QFontMetrics>
#include "PngObject.h"

TGlyphUndText LayoutGlyphAndCaption(const QRect& client, QSize glyph, QSize text, bool rechtsNachLinks, int spacing,
                                    int margin, TButtonLayout layout, uint8_t offset1, uint8_t offset2)
{
    if (rechtsNachLinks) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const QSize c = client.size();
    const bool waagrecht = layout == blGlyphLeft || layout == blGlyphRight;
    // Primary axis: along which glyph and caption follow each other.
    const int cp = waagrecht ? c.width() : c.height();
    const int gp = waagrecht ? glyph.width() : glyph.height();
    const int tp = waagrecht ? text.width() : text.height();

    TGlyphUndText ort;
    if (waagrecht)
        ort.Glyph.setY((c.height() - glyph.height() + 1) / 2);
    else
        ort.Glyph.setX((c.width() - glyph.width() + 1) / 2);

    if (text.width() == 0 || glyph.width() == 0)
        spacing = 0;
    if (margin == -1 && spacing == -1) {
        margin = (cp - (gp + tp)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (cp - (gp + spacing + tp)) / 2;
    } else if (spacing == -1) {
        spacing = (cp - (margin + gp) - tp) / 2;
    }

    switch (layout) {
    case blGlyphLeft: ort.Glyph.setX(margin); break;
    case blGlyphRight: ort.Glyph.setX(c.width() - margin - glyph.width()); break;
    case blGlyphTop: ort.Glyph.setY(margin); break;
    case blGlyphBottom: ort.Glyph.setY(c.height() - margin - glyph.height()); break;
    }
    if (waagrecht)
        ort.Text.setY((c.height() - text.height()) / 2);
    else
        ort.Text.setX((c.width() - text.width()) / 2);
    switch (layout) {
    case blGlyphLeft: ort.Text.setX(ort.Glyph.x() + glyph.width() + spacing); break;
    case blGlyphRight: ort.Text.setX(ort.Glyph.x() - spacing - text.width()); break;
    case blGlyphTop: ort.Text.setY(ort.Glyph.y() + glyph.height() + spacing); break;
    case blGlyphBottom: ort.Text.setY(ort.Glyph.y() - spacing - text.height()); break;
    }

    const int versatz = (offset1 | offset2) & 0x7F;
    const QPoint verschiebung(versatz + client.left(), versatz + client.top());
    ort.Glyph += verschiebung;
    ort.Text += verschiebung;
    return ort;
}

TGlyphUndText LayoutGlyphAndCaption(const QFontMetrics& schrift, const TPNGObject* png, const QRect& client,
                                    bool rechtsNachLinks, int spacing, int margin, TButtonLayout layout,
                                    const QString& caption, uint8_t offset1, uint8_t offset2)
{
    const QSize glyph = png ? QSize(png->Width(), png->Height()) : QSize(0, 0);
    QSize text(0, 0);
    if (!caption.isEmpty())
        text = schrift.boundingRect(QRect(0, 0, client.width(), 0), Qt::TextWordWrap | Qt::TextShowMnemonic, caption)
                   .size();
    return LayoutGlyphAndCaption(client, glyph, text, rechtsNachLinks, spacing, margin, layout, offset1, offset2);
}
