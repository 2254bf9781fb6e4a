#include "Mouse.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace morvex::test {

void press(QWidget& widget, QPoint position, quint64 timestamp, bool platformDoubleClick)
{
    QMouseEvent event(platformDoubleClick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, position,
                      widget.mapToGlobal(position), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(&widget, &event);
}

void release(QWidget& widget, QPoint position, quint64 timestamp)
{
    QMouseEvent event(QEvent::MouseButtonRelease, position, widget.mapToGlobal(position), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(&widget, &event);
}

void enter(QWidget& widget)
{
    const QPointF inside(1, 1);
    QEnterEvent event(inside, inside, widget.mapToGlobal(inside));
    QApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace morvex::test
