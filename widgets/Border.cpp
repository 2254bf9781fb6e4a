#include "Border.h"

#include "LayerHost.h"

namespace morvex {

Border::Border(QWidget* base, bool isSet) : m_base(base), m_isSet(isSet) {}

void Border::setColor(std::optional<QColor> color)
{
    m_color = color;
    if (LayerHost* host = m_isSet ? LayerHost::of(m_base) : nullptr) {
        host->backingLayer().borderColor = m_color;
        host->backingLayerChanged();
    }
}

void Border::setWidth(qreal width)
{
    m_width = width;
    if (LayerHost* host = m_isSet ? LayerHost::of(m_base) : nullptr) {
        host->backingLayer().borderWidth = m_width;
        host->backingLayerChanged();
    }
}

void Border::setRadius(qreal radius)
{
    m_radius = radius;
    if (LayerHost* host = m_isSet ? LayerHost::of(m_base) : nullptr) {
        host->backingLayer().cornerRadius = m_radius;
        host->backingLayerChanged();
    }
}

} // namespace morvex
