#pragma once

#include "Background.h"
#include "Border.h"
#include "Text.h"

#include <optional>

class QWidget;

namespace morvex {

/// The hover look: border, background and text values laid over the normal look while the pointer is
/// inside. Its records are passive and made on first use; only the hover logic reads them.
class Highlight
{
public:
    explicit Highlight(QWidget* base);

    QWidget* base() const { return m_base; }

    Border& border();
    Background& background();
    /// Only meaningful when `base` is a control with a title or text.
    Text& text();

    bool hasBorder() const { return m_border.has_value(); }
    bool hasBackground() const { return m_background.has_value(); }
    bool hasText() const { return m_text.has_value(); }

private:
    QWidget* m_base;
    std::optional<Border> m_border;
    std::optional<Background> m_background;
    std::optional<Text> m_text;
};

} // namespace morvex
