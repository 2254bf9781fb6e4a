#include "ProgressView.h"

#include "MaterialProgress.h"

#include <QMouseEvent>

#include <cstdio>

namespace morvex {

ProgressView::ProgressView(QWidget* parent) : ProgressView(QRect(), parent) {}

ProgressView::ProgressView(const QRect& frame, QWidget* parent) : QWidget(parent)
{
    setGeometry(frame);
    progress().setLineWidth(2);
}

ProgressView::~ProgressView() = default;

MaterialProgress& ProgressView::progress()
{
    if (!m_progress) {
        m_progress = new MaterialProgress(QRect(0, 0, ringSize, ringSize), this);
    }
    return *m_progress;
}

void ProgressView::start()
{
    const QRectF bounds(rect());
    const QPointF origin((bounds.width() - ringSize) * 0.5, (bounds.height() - ringSize) * 0.5);
    progress().setGeometry(QRectF(origin, QSizeF(ringSize, ringSize)).toRect());
    setHidden(false);
    progress().startAnimation();
}

void ProgressView::mousePressEvent(QMouseEvent* event)
{
    std::puts("mouseDown");
    event->accept();
}

void ProgressView::mouseReleaseEvent(QMouseEvent* event)
{
    std::puts("mouseUp");
    event->accept();
}

} // namespace morvex
