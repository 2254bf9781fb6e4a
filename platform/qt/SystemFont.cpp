#include "SystemFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

namespace morvex {

namespace {

qreal logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

QFont SystemFont::at(qreal pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(std::max<qreal>(pointSize, 1.0) * 72.0 / logicalDpi());
    return font;
}

QSizeF SystemFont::size(const QString& text, qreal pointSize)
{
    if (text.isEmpty()) {
        return {0, 0};
    }
    return QFontMetricsF(at(pointSize)).size(0, text);
}

} // namespace morvex
