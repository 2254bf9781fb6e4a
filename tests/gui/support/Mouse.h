#pragma once

#include <QPoint>
#include <QtGlobal>

class QWidget;

namespace morvex::test {

/// Sends a left press (a double-click event when `platformDoubleClick`) with an explicit timestamp, so that
/// click counting depends on the numbers a test chooses and not on the clock.
void press(QWidget& widget, QPoint position, quint64 timestamp, bool platformDoubleClick = false);
/// Sends the matching left release.
void release(QWidget& widget, QPoint position, quint64 timestamp);

/// Sends the pointer into and out of a widget, as the window system does.
void enter(QWidget& widget);
void leave(QWidget& widget);

/// Shows `window` and waits until it is the active window.
bool showActive(QWidget& window);

} // namespace morvex::test
