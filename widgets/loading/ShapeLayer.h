#pragma once

#include "Animation.h"

#include <QColor>
#include <QObject>
#include <QPainterPath>
#include <QRectF>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QAbstractAnimation;
class QPainter;

namespace morvex {

/// A layer that strokes a path, with animations by key path.
///
/// The layer holds its own (model) values; animations added under a key override them in what is painted
/// (the presentation) while they are active, and never change the model. The key paths it knows are
/// "strokeStart", "strokeEnd" and "transform.rotation". Each added animation runs on a clock of Qt's
/// animation framework; when it ends it is removed and its delegate told.
class ShapeLayer : public QObject
{
    Q_OBJECT

public:
    explicit ShapeLayer(QObject* parent = nullptr);
    ~ShapeLayer() override;

    const QRectF& frame() const { return m_frame; }
    void setFrame(const QRectF& frame);

    /// In the layer's own coordinates (origin at the frame's top left).
    const QPainterPath& path() const { return m_path; }
    void setPath(const QPainterPath& path);

    double strokeStart() const { return m_strokeStart; }
    void setStrokeStart(double value);
    double strokeEnd() const { return m_strokeEnd; }
    void setStrokeEnd(double value);

    qreal lineWidth() const { return m_lineWidth; }
    void setLineWidth(qreal width);

    const QColor& strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor& color);

    const std::optional<QColor>& fillColor() const { return m_fillColor; }
    void setFillColor(std::optional<QColor> color);

    Qt::PenCapStyle lineCap() const { return m_lineCap; }
    void setLineCap(Qt::PenCapStyle cap);

    /// The layer's transform: a rotation about its centre, in radians, counter-clockwise on screen.
    double rotation() const { return m_rotation; }
    void setRotation(double radians);

    /// Adds a copy of `animation` under `key`. One already there is stopped and dropped silently.
    void addAnimation(const Animation& animation, const QString& key);
    /// Stop animations before their end; their delegates hear `animationDidStop(false)`.
    void removeAnimation(const QString& key);
    void removeAllAnimations();

    const Animation* animation(const QString& key) const;
    QStringList animationKeys() const;
    /// The clock of the animation under `key`, to pause or seek it; null when there is none.
    QAbstractAnimation* clock(const QString& key) const;

    /// The value painted now for a key path: the last active animation's value, else the model value.
    double presentationValue(const QString& keyPath) const;

    /// Maps `painter` from the parent's coordinates into this layer's, rotation included.
    void applyTransform(QPainter& painter) const;
    /// Fills and strokes the presented part of the path, in the layer's coordinates.
    void paintContents(QPainter& painter) const;

Q_SIGNALS:
    void needsDisplay();

private:
    struct Running;

    void finished(const QString& key, const QAbstractAnimation* clock);
    double modelValue(const QString& keyPath) const;

    QRectF m_frame;
    QPainterPath m_path;
    double m_strokeStart = 0;
    double m_strokeEnd = 1;
    qreal m_lineWidth = 1;
    QColor m_strokeColor = Qt::black;
    std::optional<QColor> m_fillColor;
    Qt::PenCapStyle m_lineCap = Qt::FlatCap;
    double m_rotation = 0;
    std::vector<Running> m_running;
};

} // namespace morvex
