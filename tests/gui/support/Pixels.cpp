#include "Pixels.h"

#include <QPainter>
#include <QWidget>

#include <cstdlib>

namespace morvex::test {

QImage grabWidget(QWidget& widget)
{
    // Render onto a known opaque ground so that untouched pixels are predictable: pure magenta.
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(QColor(255, 0, 255));
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
