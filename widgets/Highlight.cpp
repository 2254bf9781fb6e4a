#include "Highlight.h"

namespace morvex {

Highlight::Highlight(QWidget* base) : m_base(base) {}

Border& Highlight::border()
{
    if (!m_border) {
        m_border.emplace(m_base, false);
    }
    return *m_border;
}

Background& Highlight::background()
{
    if (!m_background) {
        m_background.emplace(m_base, false);
    }
    return *m_background;
}

Text& Highlight::text()
{
    if (!m_text) {
        m_text.emplace(m_base, false);
    }
    return *m_text;
}

} // namespace morvex
