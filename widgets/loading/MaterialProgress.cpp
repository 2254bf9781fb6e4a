#include "MaterialProgress.h"

#include <QPainter>

#include <cmath>
#include <limits>

namespace morvex {

MaterialProgress::MaterialProgress(QWidget* parent) : MaterialProgress(QRect(), parent) {}

MaterialProgress::MaterialProgress(const QRect& frame, QWidget* parent) : IndeterminateAnimation(frame, parent)
{
    m_progressLayer.setStrokeEnd(0.8);
    m_progressLayer.setLineCap(Qt::RoundCap);
    m_progressLayer.setFillColor(std::nullopt);

    m_animationGroup.repeatCount = 1;
    m_animationGroup.duration = 1.5;

    m_rotationAnimation.keyPath = QStringLiteral("transform.rotation");
    m_rotationAnimation.fromValue = 0;
    m_rotationAnimation.toValue = 1;
    m_rotationAnimation.duration = 0.75;
    m_rotationAnimation.isCumulative = true;
    m_rotationAnimation.repeatCount = std::numeric_limits<double>::infinity();

    connect(&m_backgroundRotationLayer, &ShapeLayer::needsDisplay, this, qOverload<>(&QWidget::update));
    connect(&m_progressLayer, &ShapeLayer::needsDisplay, this, qOverload<>(&QWidget::update));
    MaterialProgress::configureLayers();
}

MaterialProgress::~MaterialProgress()
{
    // Layers die with us; make sure none reports back to a half-destroyed delegate.
    m_progressLayer.disconnect(this);
    m_backgroundRotationLayer.disconnect(this);
}

void MaterialProgress::setLineWidth(qreal width)
{
    m_lineWidth = width;
    m_progressLayer.setLineWidth(width);
}

void MaterialProgress::configureLayers()
{
    BaseView::configureLayers();
    notifyViewRedesigned();
    makeStrokeAnimationGroup();

    const QRectF bounds(rect());
    m_backgroundRotationLayer.setFrame(bounds);
    // Only the width counts: in a wide view the ring may reach past the top and bottom.
    const qreal radius = bounds.width() * 0.5 * 0.75;
    m_progressLayer.setFrame(bounds);
    m_progressLayer.setLineWidth(m_lineWidth != -1 ? m_lineWidth : radius / 10);

    const QPointF centre = bounds.center() - bounds.topLeft();
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(circle, 0);
    path.arcTo(circle, 0, 360); // counter-clockwise on screen, from three o'clock
    path.closeSubpath();
    m_progressLayer.setPath(path);
}

void MaterialProgress::notifyViewRedesigned()
{
    BaseView::notifyViewRedesigned();
    m_progressLayer.setStrokeColor(foreground());
}

void MaterialProgress::makeStrokeAnimationGroup()
{
    // The end of the stroke grows and its start follows half the duration later, over the same curve.
    const auto stroke = [](const QString& keyPath, double beginTime) {
        BasicAnimation animation(keyPath);
        animation.fromValue = 0;
        animation.toValue = 0.8;
        animation.duration = 1.5;
        animation.speed = 2;
        animation.beginTime = beginTime;
        animation.repeatCount = 1;
        animation.timingFunction = TimingFunction::EaseInEaseOut;
        return animation;
    };
    m_animationGroup.animations = {stroke(QStringLiteral("strokeEnd"), 0), stroke(QStringLiteral("strokeStart"), 0.75)};
    m_animationGroup.delegate = this;
}

void MaterialProgress::startAnimation()
{
    m_progressLayer.addAnimation(m_animationGroup, QStringLiteral("strokeEnd"));
    m_backgroundRotationLayer.addAnimation(m_rotationAnimation, m_rotationAnimation.keyPath);
}

void MaterialProgress::stopAnimation()
{
    m_backgroundRotationLayer.removeAllAnimations();
    m_progressLayer.removeAllAnimations();
}

void MaterialProgress::animationDidStop(bool)
{
    if (!animate()) {
        return;
    }
    // Layers here have no implicit animations, so the new rotation shows at once, as intended.
    m_currentRotation = std::fmod(m_currentRotation + cycleRotation, pi2);
    m_progressLayer.setRotation(m_currentRotation);
    m_progressLayer.addAnimation(m_animationGroup, QStringLiteral("strokeEnd"));
}

void MaterialProgress::paintEvent(QPaintEvent* event)
{
    BaseView::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_backgroundRotationLayer.applyTransform(painter);
    m_backgroundRotationLayer.paintContents(painter);
    m_progressLayer.applyTransform(painter);
    m_progressLayer.paintContents(painter);
}

} // namespace morvex
