#include "ShapeLayer.h"

#include <QAbstractAnimation>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace morvex {

namespace {

// A clock for one animation: Qt's animation timer advances it, and every tick asks the layer to repaint.
class AnimationClock : public QAbstractAnimation
{
public:
    AnimationClock(double seconds, QObject* parent) : QAbstractAnimation(parent)
    {
        if (std::isfinite(seconds)) {
            const double ms = std::ceil(std::max(seconds, 0.0) * 1000.0);
            m_duration = static_cast<int>(std::min(ms, static_cast<double>(std::numeric_limits<int>::max())));
        }
    }

    int duration() const override { return m_duration; }

    std::function<void()> onTick;

protected:
    void updateCurrentTime(int) override
    {
        if (onTick) {
            onTick();
        }
    }

private:
    int m_duration = -1; // endless
};

constexpr int trimSegmentsPerPath = 256;

} // namespace

struct ShapeLayer::Running
{
    QString key;
    std::unique_ptr<Animation> animation;
    AnimationClock* clock = nullptr;
};

ShapeLayer::ShapeLayer(QObject* parent) : QObject(parent) {}

ShapeLayer::~ShapeLayer()
{
    // The owner is going away: stop quietly, without calling delegates that may be half destroyed.
    for (Running& running : m_running) {
        running.clock->disconnect(this);
        running.clock->onTick = nullptr;
        delete running.clock;
    }
}

void ShapeLayer::setFrame(const QRectF& frame)
{
    m_frame = frame;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setPath(const QPainterPath& path)
{
    m_path = path;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setStrokeStart(double value)
{
    m_strokeStart = value;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setStrokeEnd(double value)
{
    m_strokeEnd = value;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setLineWidth(qreal width)
{
    m_lineWidth = width;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setStrokeColor(const QColor& color)
{
    m_strokeColor = color;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setFillColor(std::optional<QColor> color)
{
    m_fillColor = color;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setLineCap(Qt::PenCapStyle cap)
{
    m_lineCap = cap;
    Q_EMIT needsDisplay();
}

void ShapeLayer::setRotation(double radians)
{
    m_rotation = radians;
    Q_EMIT needsDisplay();
}

void ShapeLayer::addAnimation(const Animation& animation, const QString& key)
{
    // The animation it replaces is dropped without telling its delegate: a delegate that adds its animation
    // again when told (the progress ring does) would otherwise replace itself over and over.
    const auto old = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) { return r.key == key; });
    if (old != m_running.end()) {
        old->clock->disconnect(this);
        old->clock->stop();
        old->clock->deleteLater();
        m_running.erase(old);
    }
    Running running{key, animation.clone(), nullptr};
    auto* clock = new AnimationClock(running.animation->activeDuration(), this);
    clock->onTick = [this] { Q_EMIT needsDisplay(); };
    connect(clock, &QAbstractAnimation::finished, this, [this, key, clock] { finished(key, clock); });
    running.clock = clock;
    m_running.push_back(std::move(running));
    clock->start();
    Q_EMIT needsDisplay();
}

void ShapeLayer::removeAnimation(const QString& key)
{
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) { return r.key == key; });
    if (it == m_running.end()) {
        return;
    }
    Running running = std::move(*it);
    m_running.erase(it);
    running.clock->disconnect(this);
    running.clock->stop();
    running.clock->deleteLater();
    Q_EMIT needsDisplay();
    if (AnimationDelegate* delegate = running.animation->delegate) {
        delegate->animationDidStop(false);
    }
}

void ShapeLayer::removeAllAnimations()
{
    // Delegates may add animations again while we tell them; those stay.
    std::vector<Running> removed;
    removed.swap(m_running);
    for (Running& running : removed) {
        running.clock->disconnect(this);
        running.clock->stop();
        running.clock->deleteLater();
    }
    Q_EMIT needsDisplay();
    for (const Running& running : removed) {
        if (AnimationDelegate* delegate = running.animation->delegate) {
            delegate->animationDidStop(false);
        }
    }
}

void ShapeLayer::finished(const QString& key, const QAbstractAnimation* clock)
{
    const auto it = std::find_if(m_running.begin(), m_running.end(),
                                 [&](const Running& r) { return r.key == key && r.clock == clock; });
    if (it == m_running.end()) {
        return;
    }
    Running running = std::move(*it);
    m_running.erase(it);
    running.clock->disconnect(this);
    running.clock->deleteLater();
    Q_EMIT needsDisplay();
    if (AnimationDelegate* delegate = running.animation->delegate) {
        delegate->animationDidStop(true);
    }
}

const Animation* ShapeLayer::animation(const QString& key) const
{
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) { return r.key == key; });
    return it == m_running.end() ? nullptr : it->animation.get();
}

QStringList ShapeLayer::animationKeys() const
{
    QStringList keys;
    for (const Running& running : m_running) {
        keys.append(running.key);
    }
    return keys;
}

QAbstractAnimation* ShapeLayer::clock(const QString& key) const
{
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) { return r.key == key; });
    return it == m_running.end() ? nullptr : it->clock;
}

double ShapeLayer::modelValue(const QString& keyPath) const
{
    if (keyPath == u"strokeStart") {
        return m_strokeStart;
    }
    if (keyPath == u"strokeEnd") {
        return m_strokeEnd;
    }
    if (keyPath == u"transform.rotation") {
        return m_rotation;
    }
    return 0;
}

double ShapeLayer::presentationValue(const QString& keyPath) const
{
    double value = modelValue(keyPath);
    std::vector<std::pair<QString, double>> sampled;
    for (const Running& running : m_running) {
        sampled.clear();
        running.animation->sample(running.clock->currentTime() / 1000.0, sampled);
        for (const auto& [path, v] : sampled) {
            if (path == keyPath) {
                value = v;
            }
        }
    }
    return value;
}

void ShapeLayer::applyTransform(QPainter& painter) const
{
    const QPointF half(m_frame.width() / 2, m_frame.height() / 2);
    painter.translate(m_frame.topLeft() + half);
    painter.rotate(-presentationValue(QStringLiteral("transform.rotation")) * 180.0 / std::numbers::pi);
    painter.translate(-half);
}

void ShapeLayer::paintContents(QPainter& painter) const
{
    if (m_path.isEmpty()) {
        return;
    }
    if (m_fillColor && m_fillColor->alpha() > 0) {
        painter.fillPath(m_path, *m_fillColor);
    }
    const double start = std::clamp(presentationValue(QStringLiteral("strokeStart")), 0.0, 1.0);
    const double end = std::clamp(presentationValue(QStringLiteral("strokeEnd")), 0.0, 1.0);
    if (end <= start || m_lineWidth <= 0 || m_strokeColor.alpha() == 0) {
        return;
    }
    QPainterPath trimmed;
    const int segments = std::max(2, static_cast<int>(std::ceil((end - start) * trimSegmentsPerPath)));
    trimmed.moveTo(m_path.pointAtPercent(start));
    for (int i = 1; i <= segments; ++i) {
        trimmed.lineTo(m_path.pointAtPercent(start + (end - start) * i / segments));
    }
    QPen pen(m_strokeColor, m_lineWidth);
    pen.setCapStyle(m_lineCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(trimmed, pen);
}

} // namespace morvex
