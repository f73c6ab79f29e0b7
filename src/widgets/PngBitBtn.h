#pragma once
#include <QPushButton>
#include "PngButtonFunctions.h"
#include "PngFunctions.h"
#include "PngObject.h"

// A push button with a PNG glyph, drawn completely by itself: the style's
// button (or a plain frame with themes off), the glyph placed with the
// caption by LayoutGlyphAndCaption, the glyph's disabled look, the caption
// in the button text colour (the disabled one while disabled) and the focus frame.
//
// A dialog gives it its glyph from the main window's icon lists:
//     bbtVorschau = new TPngBitBtn(QStringLiteral("Vorschau"), this);
//     bbtVorschau->SetPngImage(PngAusListe(ButtonBilderListe(), 38));
class TPngBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TPngBitBtn(QWidget* parent = nullptr);
    explicit TPngBitBtn(const QString& caption, QWidget* parent = nullptr);

    const TPNGObject& PngImage() const { return m_png; }
    // Copies the PNG (nullptr: an empty one). RGB, palette and RGBA glyphs
    // lose their gAMA chunk, so they look as in the menus.
    void SetPngImage(const TPNGObject* png);
    void SetPngImage(const TPNGObject& png) { SetPngImage(&png); }

    TPngOptions PngOptions() const { return m_pngOptions; }
    void SetPngOptions(TPngOptions optionen);

    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return m_margin; }
    void SetMargin(int margin);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int spacing);

    bool Hot() const { return m_hot; }
    // Where the last paint put glyph and caption, in widget coordinates.
    TGlyphUndText LetzteLage() const { return m_lage; }

    // The style's themed button; off: plain frames and no hot state.
    static bool ThemenAn;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void enterEvent(QEnterEvent* ereignis) override;
    void leaveEvent(QEvent* ereignis) override;

private:
    TPNGObject m_png;
    TPngOptions m_pngOptions = pngBlendOnDisabled;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    bool m_hot = false;
    TGlyphUndText m_lage;
};
