#pragma once

#include <QColor>
#include <QImage>
#include <QString>

class QWidget;

namespace morvex::test {

/// A widget rendered at one device pixel per point, as the checks on colours and geometry need.
QImage grabWidget(QWidget& widget);

/// The opaque colour at (x, y) of `image`.
QColor pixel(const QImage& image, int x, int y);

/// Whether two colours agree within `tolerance` per 8-bit channel (antialiasing and blending).
bool sameColor(const QColor& actual, const QColor& expected, int tolerance = 0);

/// "rgb(235, 115, 75)" for failure messages.
QString describe(const QColor& color);

} // namespace morvex::test
