#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace morvex {

/// Background colour of a control's backing layer.
/// Live: a change recolours the layer (no colour clears it) and also sets the owner's "backgroundColor"
/// property when the owner has one holding a value.
class Background
{
public:
    Background(QWidget* base, bool isSet);

    QWidget* base() const { return m_base; }
    bool isSet() const { return m_isSet; }

    const std::optional<QColor>& color() const { return m_color; }
    void setColor(std::optional<QColor> color);

private:
    QWidget* m_base;
    bool m_isSet;
    std::optional<QColor> m_color;
};

} // namespace morvex
