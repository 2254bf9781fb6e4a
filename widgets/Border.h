#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace morvex {

/// Border of a control's backing layer: colour, width, corner radius.
/// A live record (isSet) applies every change to the layer of `base` at once; a passive one only stores it.
class Border
{
public:
    Border(QWidget* base, bool isSet);

    QWidget* base() const { return m_base; }
    bool isSet() const { return m_isSet; }

    const std::optional<QColor>& color() const { return m_color; }
    void setColor(std::optional<QColor> color);

    qreal width() const { return m_width; }
    void setWidth(qreal width);

    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

private:
    QWidget* m_base;
    bool m_isSet;
    std::optional<QColor> m_color;
    qreal m_width = 0;
    qreal m_radius = 0;
};

} // namespace morvex
