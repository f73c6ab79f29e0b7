#include "PngBitBtn.h"
#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

bool TPngBitBtn::ThemenAn = true;

TPngBitBtn::TPngBitBtn(QWidget* parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
}

TPngBitBtn::TPngBitBtn(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAttribute(Qt::WA_Hover);
}

void TPngBitBtn::SetPngImage(const TPNGObject* png)
{
    m_png = png ? *png : TPNGObject();
    const int typ = m_png.ColorType();
    if (!m_png.Empty() && (typ == COLOR_RGB || typ == COLOR_PALETTE || typ == COLOR_RGBALPHA))
        m_png.RemoveChunk("gAMA");
    updateGeometry();
    update();
}

void TPngBitBtn::SetPngOptions(TPngOptions optionen)
{
    if (optionen == m_pngOptions)
        return;
    m_pngOptions = optionen;
    update();
}

void TPngBitBtn::SetLayout(TButtonLayout layout)
{
    m_layout = layout;
    update();
}

void TPngBitBtn::SetMargin(int margin)
{
    m_margin = margin;
    update();
}

void TPngBitBtn::SetSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}

QSize TPngBitBtn::sizeHint() const
{
    QSize groesse = QPushButton::sizeHint();
    if (!m_png.Empty()) {
        const bool waagrecht = m_layout == blGlyphLeft || m_layout == blGlyphRight;
        const int abstand = text().isEmpty() ? 0 : std::max(m_spacing, 4);
        if (waagrecht) {
            groesse.rwidth() += m_png.Width() + abstand;
            groesse.setHeight(std::max(groesse.height(), m_png.Height() + 8));
        } else {
            groesse.rheight() += m_png.Height() + abstand;
            groesse.setWidth(std::max(groesse.width(), m_png.Width() + 8));
        }
    }
    return groesse;
}

QSize TPngBitBtn::minimumSizeHint() const
{
    return m_png.Empty() ? QPushButton::minimumSizeHint() : QSize(m_png.Width() + 8, m_png.Height() + 8);
}

void TPngBitBtn::enterEvent(QEnterEvent* ereignis)
{
    QPushButton::enterEvent(ereignis);
    if (ThemenAn && !m_hot) {
        m_hot = true;
        update();
    }
}

void TPngBitBtn::leaveEvent(QEvent* ereignis)
{
    QPushButton::leaveEvent(ereignis);
    if (ThemenAn && m_hot) {
        m_hot = false;
        update();
    }
}

void TPngBitBtn::paintEvent(QPaintEvent*)
{
    QPainter maler(this);
    maler.setFont(font());
    const bool gedrueckt = isDown() || isChecked();
    const bool standardAussehen = isDefault() || hasFocus();
    QRect r = rect();

    if (ThemenAn) {
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        if (m_hot && isEnabled())
            option.state |= QStyle::State_MouseOver;
        else
            option.state &= ~QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &maler, this);
        r = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    } else {
        const QPalette& farben = palette();
        if (standardAussehen) {
            maler.setPen(QPen(farben.color(QPalette::WindowText), 1));
            maler.setBrush(Qt::NoBrush);
            maler.drawRect(r.adjusted(0, 0, -1, -1));
            r.adjust(1, 1, -1, -1);
        }
        if (!gedrueckt) {
            maler.fillRect(r, farben.color(QPalette::Button));
            maler.setPen(farben.color(QPalette::Light));
            maler.drawLine(r.topLeft(), r.topRight());
            maler.drawLine(r.topLeft(), r.bottomLeft());
            maler.setPen(farben.color(QPalette::Shadow));
            maler.drawLine(r.bottomLeft(), r.bottomRight());
            maler.drawLine(r.topRight(), r.bottomRight());
            r.adjust(2, 2, -2, -2);
        } else {
            maler.setPen(QPen(farben.color(QPalette::Dark), 1));
            maler.setBrush(farben.color(QPalette::Button));
            maler.drawRect(r.adjusted(0, 0, -1, -1));
            r.adjust(1, 1, -1, -1);
        }
        if (standardAussehen)
            r = rect().adjusted(1, 1, -1, -1);
        if (gedrueckt)
            r.translate(1, 1);
    }

    const bool rechtsNachLinks = layoutDirection() == Qt::RightToLeft;
    m_lage = LayoutGlyphAndCaption(QFontMetrics(font()), m_png.Empty() ? nullptr : &m_png, rect(), rechtsNachLinks,
                                   m_spacing, m_margin, m_layout, text(), 0, gedrueckt ? 1 : 0);

    if (!m_png.Empty())
        DrawPngWithOptions(m_png, maler, QRect(m_lage.Glyph, QSize(m_png.Width(), m_png.Height())),
                           isEnabled() ? 0 : m_pngOptions);

    if (!text().isEmpty()) {
        // Greyed like the caption of any other disabled button: a dark
        // caption beside a faded glyph still looks clickable.
        maler.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        const int ausrichtung = (rechtsNachLinks ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop
                                | Qt::TextSingleLine | Qt::TextShowMnemonic;
        maler.drawText(QRect(m_lage.Text, QPoint(width() - 1, height() - 1)), ausrichtung, text());
    }

    if (hasFocus()) {
        QStyleOptionFocusRect fokus;
        fokus.initFrom(this);
        fokus.rect = ThemenAn ? r : rect().adjusted(3, 3, -3, -3);
        fokus.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fokus, &maler, this);
    }
}
