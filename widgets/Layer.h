#pragma once

#include <QColor>
#include <QRectF>

#include <optional>

class QPainter;

namespace morvex {

/// The backing layer of a kit control: background colour, border colour and width, corner radius.
/// The control paints it: the background under its content, the border over it, both inside the bounds.
struct Layer
{
    std::optional<QColor> backgroundColor;
    std::optional<QColor> borderColor;
    qreal borderWidth = 0;
    qreal cornerRadius = 0;

    void paintBackground(QPainter& painter, const QRectF& bounds) const;
    void paintBorder(QPainter& painter, const QRectF& bounds) const;

    /// The radius actually drawn: never more than half the shorter side, never negative.
    qreal effectiveRadius(const QRectF& bounds) const;
};

} // namespace morvex
