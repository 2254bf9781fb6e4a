#include "Widgets.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <cstdlib>

namespace morvex::test {

void clickAt(QWidget& widget, QPoint position, quint64 timestamp, bool platformDoubleClick)
{
    const QPointF global = widget.mapToGlobal(QPointF(position));
    QMouseEvent press(platformDoubleClick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, position, global,
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    press.setTimestamp(timestamp);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, position, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    release.setTimestamp(timestamp + 20);
    QApplication::sendEvent(&widget, &release);
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

QImage grabWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(magenta);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor pixel(const QImage& image, int x, int y)
{
    return QColor::fromRgb(image.pixel(x, y));
}

bool sameColor(const QColor& actual, const QColor& expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor& color)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

} // namespace morvex::test
