#pragma once

#include "AnimationGroup.h"
#include "BasicAnimation.h"
#include "IndeterminateAnimation.h"
#include "ShapeLayer.h"

#include <numbers>

namespace morvex {

/// The spinning ring: an arc that grows to 80 % of the circle and shrinks again (the stroke group, 1.5 s)
/// while the whole ring turns one radian per 0.75 s. While `animate` is true each new stroke cycle starts
/// 288° further on, where the previous arc ended.
class MaterialProgress : public IndeterminateAnimation, private AnimationDelegate
{
    Q_OBJECT

public:
    static constexpr double pi2 = 2 * std::numbers::pi;
    /// 80 % of a turn: where the next arc begins.
    static constexpr double cycleRotation = 1.6 * std::numbers::pi;

    /// With a zero frame.
    explicit MaterialProgress(QWidget* parent = nullptr);
    /// The ring is built once, for this frame.
    MaterialProgress(const QRect& frame, QWidget* parent = nullptr);
    ~MaterialProgress() override;

    /// -1 derives the stroke width from the size (a tenth of the radius).
    qreal lineWidth() const { return m_lineWidth; }
    void setLineWidth(qreal width);

    void startAnimation() override;
    void stopAnimation() override;

    double currentRotation() const { return m_currentRotation; }

    const ShapeLayer& backgroundRotationLayer() const { return m_backgroundRotationLayer; }
    const ShapeLayer& progressLayer() const { return m_progressLayer; }
    ShapeLayer& backgroundRotationLayer() { return m_backgroundRotationLayer; }
    ShapeLayer& progressLayer() { return m_progressLayer; }
    const AnimationGroup& animationGroup() const { return m_animationGroup; }
    const BasicAnimation& rotationAnimation() const { return m_rotationAnimation; }

    /// The end of one stroke cycle, finished or cut short alike.
    void animationDidStop(bool finished) override;

protected:
    void configureLayers() override;
    void notifyViewRedesigned() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void makeStrokeAnimationGroup();

    qreal m_lineWidth = -1;
    ShapeLayer m_backgroundRotationLayer;
    ShapeLayer m_progressLayer;
    AnimationGroup m_animationGroup;
    BasicAnimation m_rotationAnimation;
    double m_currentRotation = 0;
};

} // namespace morvex
