#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

namespace morvex::test {

/// A left click (its press a double-click event when `platformDoubleClick`) at an explicit timestamp, so that
/// click counting depends on the numbers a test chooses and not on the clock.
void clickAt(QWidget& widget, QPoint position, quint64 timestamp, bool platformDoubleClick = false);

/// The pointer into and out of a widget, as the window system sends it.
void enter(QWidget& widget);
void leave(QWidget& widget);

/// Shows `window` and waits until it is the active window.
bool showActive(QWidget& window);

/// A widget rendered at one device pixel per point onto magenta, so unpainted pixels are known.
QImage grabWidget(QWidget& widget);
QColor pixel(const QImage& image, int x, int y);
/// Whether two colours agree within `tolerance` per 8-bit channel.
bool sameColor(const QColor& actual, const QColor& expected, int tolerance = 0);
/// "rgb(235, 115, 75)" for failure messages.
QString describe(const QColor& color);

inline const QColor magenta(255, 0, 255);

} // namespace morvex::test

/// Checks the colour at (x, y) of `image`, naming both colours when it differs.
#define EXPECT_PIXEL(image, x, y, expected)                                                                            \
    QVERIFY2(morvex::test::sameColor(morvex::test::pixel(image, x, y), expected),                                      \
             qPrintable(morvex::test::describe(morvex::test::pixel(image, x, y)) + QStringLiteral(" at " #x ", " #y)))
