#include "AppImages.h"

#include "NSTheme.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace morvex {

namespace {

using Draw = void (*)(QPainter&, qreal size);

QIcon drawn(Draw draw, int logicalSize)
{
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale) {
        QPixmap pixmap(logicalSize * scale, logicalSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, pixmap.width());
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void drawArrow(QPainter& painter, qreal s)
{
    QPen pen(NSTheme::accent(), s * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    QPainterPath path;
    path.moveTo(s * 0.45, s * 0.25);
    path.lineTo(s * 0.2, s * 0.5);
    path.lineTo(s * 0.45, s * 0.75);
    path.moveTo(s * 0.2, s * 0.5);
    path.lineTo(s * 0.85, s * 0.5);
    painter.drawPath(path);
}

void drawNormal(QPainter& painter, qreal s)
{
    painter.setPen(QPen(NSTheme::hint(), s * 0.07));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
}

void drawOk(QPainter& painter, qreal s)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(NSTheme::accent());
    painter.drawEllipse(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
    QPen pen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(s * 0.3, s * 0.5);
    tick.lineTo(s * 0.45, s * 0.65);
    tick.lineTo(s * 0.7, s * 0.36);
    painter.drawPath(tick);
}

void drawAppIcon(QPainter& painter, qreal s)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(NSTheme::accent());
    painter.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.2, s * 0.2);
    QFont font;
    font.setBold(true);
    font.setPixelSize(static_cast<int>(s * 0.36));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("{ }"));
}

} // namespace

QIcon AppImages::named(const QString& name)
{
    // Drawn at each call: they are small, and pixmaps must not outlive the application object as a
    // static cache would.
    if (name == u"arrow")
        return drawn(drawArrow, 22);
    if (name == u"normal")
        return drawn(drawNormal, 20);
    if (name == u"ok")
        return drawn(drawOk, 20);
    if (name == u"AppIcon")
        return drawn(drawAppIcon, 128);
    return {};
}

} // namespace morvex
