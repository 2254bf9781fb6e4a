#include "Text.h"

#include "SystemFont.h"

#include <QWidget>

namespace morvex {

Text::Text(QWidget* base, bool isSet, ColorDidSetBlock colorDidSetBlock)
    : m_base(base), m_isSet(isSet), m_colorDidSetBlock(std::move(colorDidSetBlock))
{}

void Text::setFontSize(qreal size)
{
    m_fontSize = size;
    if (m_isSet && m_base) {
        m_base->setFont(SystemFont::at(size));
    }
}

void Text::setColor(const QColor& color)
{
    m_color = color;
    if (m_isSet && m_colorDidSetBlock) {
        m_colorDidSetBlock(color);
    }
}

} // namespace morvex
