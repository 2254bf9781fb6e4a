#pragma once

#include <QPointF>
#include <QtGlobal>

class QMouseEvent;

namespace morvex {

/// Counts clicks in a row (1, 2, 3, ...) from the presses a widget receives, by the presses' timestamps
/// and positions against the platform's double-click interval and distance. Qt reports double clicks but
/// not the count beyond.
class ClickCounter
{
public:
    /// Feeds a press or double-click event; returns the click count of this press.
    int press(const QMouseEvent& event);
    /// The same from raw values; `platformDoubleClick` for Qt's double-click events.
    int press(quint64 timestamp, QPointF globalPosition, bool platformDoubleClick);

    /// The count of the latest press, 0 before any.
    int count() const { return m_count; }

private:
    quint64 m_lastTimestamp = 0;
    QPointF m_lastPosition;
    int m_count = 0;
};

} // namespace morvex
