#include "Layer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace morvex {

namespace {

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    if (radius > 0) {
        path.addRoundedRect(rect, radius, radius);
    } else {
        path.addRect(rect);
    }
    return path;
}

} // namespace

qreal Layer::effectiveRadius(const QRectF& bounds) const
{
    return std::clamp(cornerRadius, 0.0, std::min(bounds.width(), bounds.height()) / 2);
}

void Layer::paintBackground(QPainter& painter, const QRectF& bounds) const
{
    if (!backgroundColor || backgroundColor->alpha() == 0 || bounds.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, cornerRadius > 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(*backgroundColor);
    painter.drawPath(roundedRect(bounds, effectiveRadius(bounds)));
    painter.restore();
}

void Layer::paintBorder(QPainter& painter, const QRectF& bounds) const
{
    if (!borderColor || borderWidth <= 0 || bounds.isEmpty()) {
        return;
    }
    const qreal radius = effectiveRadius(bounds);
    const qreal width = std::min(borderWidth, std::min(bounds.width(), bounds.height()) / 2);
    // The border is the ring between the outline and the outline moved inwards by the width.
    QPainterPath ring = roundedRect(bounds, radius);
    const QRectF inner = bounds.adjusted(width, width, -width, -width);
    if (!inner.isEmpty()) {
        ring.addPath(roundedRect(inner, std::max<qreal>(radius - width, 0)));
    }
    ring.setFillRule(Qt::OddEvenFill);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(*borderColor);
    painter.drawPath(ring);
    painter.restore();
}

} // namespace morvex
