#include "ClickCounter.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>

namespace morvex {

int ClickCounter::press(const QMouseEvent& event)
{
    return press(event.timestamp(), event.globalPosition(), event.type() == QEvent::MouseButtonDblClick);
}

int ClickCounter::press(quint64 timestamp, QPointF globalPosition, bool platformDoubleClick)
{
    const QStyleHints* hints = QGuiApplication::styleHints();
    const auto interval = static_cast<quint64>(std::max(hints->mouseDoubleClickInterval(), 0));
    const qreal distance = hints->mouseDoubleClickDistance();
    const QPointF moved = globalPosition - m_lastPosition;
    const bool continues = m_count > 0 && timestamp >= m_lastTimestamp && timestamp - m_lastTimestamp <= interval &&
                           std::abs(moved.x()) <= distance && std::abs(moved.y()) <= distance;
    if (platformDoubleClick) {
        m_count = std::max(m_count + 1, 2);
    } else {
        m_count = continues ? m_count + 1 : 1;
    }
    m_lastTimestamp = timestamp;
    m_lastPosition = globalPosition;
    return m_count;
}

} // namespace morvex
