#pragma once

#include "Background.h"
#include "Border.h"
#include "ClickCounter.h"
#include "Event.h"
#include "Highlight.h"
#include "HoverHost.h"
#include "Layer.h"
#include "TrackingArea.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace morvex {

class ProgressView;

/// The kit's container view: a painted layer (background, border, radius), a hover look once
/// `highlight()` was read, click callbacks, and a loading overlay with a spinning ring.
class UIView : public QWidget, public HoverHost
{
    Q_OBJECT

public:
    explicit UIView(QWidget* parent = nullptr);
    ~UIView() override;

    Border& border() override;
    Background& background() override;
    /// Only its border and background are used: a view has no title.
    Highlight& highlight() override;
    TrackingArea& trackingArea();
    Event& event();

    bool isEnableTrackingArea() const { return m_isEnableTrackingArea; }
    bool isHovered() const { return m_isHovered; }

    /// The overlay, made on first use with the view's bounds of that moment; it keeps that frame.
    ProgressView& loadingProgress();
    /// Puts the overlay in front of everything in the view and starts its ring.
    void showLoading();
    /// Takes the overlay out of the view, stops its ring and hides it.
    void hideLoading();

    Layer& backingLayer() override { return m_layer; }
    void backingLayerChanged() override { update(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<Border> m_border;
    std::optional<Background> m_background;
    std::optional<Highlight> m_highlight;
    std::optional<TrackingArea> m_trackingArea;
    bool m_isEnableTrackingArea = false;
    std::optional<Event> m_event;
    QPointer<ProgressView> m_loadingProgress;

    Layer m_layer;
    bool m_isHovered = false;
    ClickCounter m_clicks;
};

} // namespace morvex
