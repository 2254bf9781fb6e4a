#include "BaseView.h"

#include <QPainter>

namespace morvex {

BaseView::BaseView(QWidget* parent) : BaseView(QRect(), parent) {}

BaseView::BaseView(const QRect& frame, QWidget* parent)
    : QWidget(parent), m_background(QColor::fromRgbF(0.344921875f, 0.4078125f, 0.462890625f, 1.0f)),
      m_foreground(QColor::fromRgbF(0.258984375f, 0.678515625f, 0.415625f, 1.0f))
{
    setGeometry(frame);
    BaseView::configureLayers();
}

BaseView::~BaseView() = default;

void BaseView::setBackground(const QColor& color)
{
    m_background = color;
    notifyViewRedesigned();
}

void BaseView::setForeground(const QColor& color)
{
    m_foreground = color;
    notifyViewRedesigned();
}

void BaseView::setIbCornerRadius(qreal radius)
{
    m_ibCornerRadius = radius;
    notifyViewRedesigned();
}

void BaseView::configureLayers()
{
    m_hasLayer = true;
    BaseView::notifyViewRedesigned();
}

void BaseView::notifyViewRedesigned()
{
    if (m_hasLayer) {
        m_layer.backgroundColor = m_background;
        m_layer.cornerRadius = m_ibCornerRadius;
        update();
    }
}

void BaseView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_layer.paintBackground(painter, QRectF(rect()));
}

} // namespace morvex
