#include "TrackingArea.h"

#include "Background.h"
#include "Border.h"
#include "Highlight.h"
#include "HoverHost.h"

namespace morvex {

TrackingArea::TrackingArea(HoverHost* base) : m_base(base) {}

void TrackingArea::mouseEntered()
{
    if (!m_base) {
        return;
    }
    Highlight& highlight = m_base->highlight();
    Layer& layer = m_base->backingLayer();
    if (const auto& color = highlight.background().color()) {
        layer.backgroundColor = *color;
    }
    if (const auto& color = highlight.border().color()) {
        layer.borderColor = *color;
    }
    if (highlight.border().width() > 0) {
        layer.borderWidth = highlight.border().width();
    }
    if (highlight.border().radius() > 0) {
        layer.cornerRadius = highlight.border().radius();
    }
    m_base->backingLayerChanged();
    m_base->applyHighlightText(highlight);
}

void TrackingArea::mouseExited()
{
    if (!m_base) {
        return;
    }
    Layer& layer = m_base->backingLayer();
    layer.backgroundColor = m_base->background().color();
    layer.borderColor = m_base->border().color();
    layer.borderWidth = m_base->border().width();
    layer.cornerRadius = m_base->border().radius();
    m_base->backingLayerChanged();
    m_base->restoreNormalText();
}

} // namespace morvex
