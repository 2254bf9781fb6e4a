#include "Background.h"

#include "LayerHost.h"

#include <QVariant>
#include <QWidget>

namespace morvex {

Background::Background(QWidget* base, bool isSet) : m_base(base), m_isSet(isSet) {}

void Background::setColor(std::optional<QColor> color)
{
    m_color = color;
    if (!m_isSet || !m_base) {
        return;
    }
    if (LayerHost* host = LayerHost::of(m_base)) {
        host->backingLayer().backgroundColor = m_color;
        host->backingLayerChanged();
    }
    if (m_base->property("backgroundColor").isValid()) {
        m_base->setProperty("backgroundColor", m_color ? QVariant(*m_color) : QVariant(QColor()));
    }
}

} // namespace morvex
