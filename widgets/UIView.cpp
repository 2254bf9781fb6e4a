#include "UIView.h"

#include "loading/MaterialProgress.h"
#include "loading/ProgressView.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace morvex {

UIView::UIView(QWidget* parent) : QWidget(parent) {}

UIView::~UIView()
{
    // While taken out of the view the overlay has no parent to delete it.
    if (m_loadingProgress && m_loadingProgress->parentWidget() != this) {
        delete m_loadingProgress.data();
    }
}

Border& UIView::border()
{
    if (!m_border) {
        m_border.emplace(this, true);
    }
    return *m_border;
}

Background& UIView::background()
{
    if (!m_background) {
        m_background.emplace(this, true);
    }
    return *m_background;
}

Highlight& UIView::highlight()
{
    if (!m_highlight) {
        trackingArea();
        m_isEnableTrackingArea = true;
        m_highlight.emplace(this);
    }
    return *m_highlight;
}

TrackingArea& UIView::trackingArea()
{
    if (!m_trackingArea) {
        m_trackingArea.emplace(this);
    }
    return *m_trackingArea;
}

Event& UIView::event()
{
    if (!m_event) {
        m_event.emplace(this);
    }
    return *m_event;
}

ProgressView& UIView::loadingProgress()
{
    if (!m_loadingProgress) {
        m_loadingProgress = new ProgressView;
        m_loadingProgress->setGeometry(rect());
    }
    return *m_loadingProgress;
}

void UIView::showLoading()
{
    ProgressView& overlay = loadingProgress();
    if (overlay.parentWidget() != this) {
        overlay.setParent(this);
    }
    overlay.raise();
    overlay.start();
}

void UIView::hideLoading()
{
    ProgressView& overlay = loadingProgress();
    overlay.setParent(nullptr);
    overlay.progress().backgroundRotationLayer().removeAllAnimations();
    overlay.progress().progressLayer().removeAllAnimations();
    overlay.setHidden(true);
}

void UIView::enterEvent(QEnterEvent* e)
{
    if (m_isEnableTrackingArea && isActiveWindow()) {
        m_isHovered = true;
        trackingArea().mouseEntered();
    }
    e->accept();
}

void UIView::leaveEvent(QEvent* e)
{
    if (m_isEnableTrackingArea && (m_isHovered || isActiveWindow())) {
        m_isHovered = false;
        trackingArea().mouseExited();
    }
    e->accept();
}

bool UIView::event(QEvent* e)
{
    // A window that stops being active keeps no hover look.
    if (e->type() == QEvent::WindowDeactivate && m_isHovered) {
        m_isHovered = false;
        trackingArea().mouseExited();
    }
    return QWidget::event(e);
}

void UIView::mousePressEvent(QMouseEvent* e)
{
    // Accepting the press makes the release come here, not to the parent.
    if (e->button() == Qt::LeftButton) {
        m_clicks.press(*e);
    }
    e->accept();
}

void UIView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_clicks.press(*e);
    }
    e->accept();
}

void UIView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        event().dispatch(m_clicks.count());
    }
    e->accept();
}

void UIView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_layer.paintBackground(painter, QRectF(rect()));
    m_layer.paintBorder(painter, QRectF(rect()));
}

} // namespace morvex
