#pragma once

#include "Layer.h"

#include <QColor>
#include <QWidget>

namespace morvex {

/// A view whose background colour and corner radius go into its layer; the base of the progress ring.
class BaseView : public QWidget
{
    Q_OBJECT

public:
    /// With a zero frame.
    explicit BaseView(QWidget* parent = nullptr);
    BaseView(const QRect& frame, QWidget* parent = nullptr);
    ~BaseView() override;

    const QColor& background() const { return m_background; }
    void setBackground(const QColor& color);

    /// Not used by the layer here; subclasses draw with it.
    const QColor& foreground() const { return m_foreground; }
    void setForeground(const QColor& color);

    qreal ibCornerRadius() const { return m_ibCornerRadius; }
    void setIbCornerRadius(qreal radius);

    bool hasLayer() const { return m_hasLayer; }
    const Layer& layer() const { return m_layer; }

protected:
    /// Makes the view layer-backed and pushes the colours in. Constructors call their own class's version
    /// last, as C++ does not dispatch to a subclass during construction.
    virtual void configureLayers();
    /// The layer takes `background` and `ibCornerRadius`.
    virtual void notifyViewRedesigned();

    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_background;
    QColor m_foreground;
    qreal m_ibCornerRadius = 5;
    bool m_hasLayer = false;
    Layer m_layer;
};

} // namespace morvex
