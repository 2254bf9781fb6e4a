#include "BaseTextFieldCell.h"

#include <QFontMetricsF>

#include <cmath>

namespace morvex {

BaseTextFieldCell::~BaseTextFieldCell() = default;

qreal BaseTextFieldCell::lineHeight(const QFont& font)
{
    // Chinese glyphs usually come from a fallback font with a taller line; measuring them keeps CJK text
    // from being cut at the top or bottom.
    return QFontMetricsF(font).size(Qt::TextSingleLine, QStringLiteral(u"中国")).height();
}

QRectF BaseTextFieldCell::titleRect(const QRectF& frame, const QFont& font, bool singleLine) const
{
    if (!singleLine) {
        return frame;
    }
    const qreal dy = std::floor(frame.height() / 2 - lineHeight(font) / 2);
    const qreal dx = frame.x() == m_padding ? 0 : m_padding;
    return frame.adjusted(dx, dy, -dx, -dy);
}

} // namespace morvex
