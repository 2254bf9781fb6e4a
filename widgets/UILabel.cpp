#include "UILabel.h"

#include <QMouseEvent>

namespace morvex {

UILabel::UILabel(QWidget* parent) : UITextField(parent)
{
    // The base constructor ran its own set-up; ours adds the read-only step.
    setupCell();
}

UILabel::~UILabel() = default;

void UILabel::setupCell()
{
    UITextField::setupCell();
    setEditable(false);
}

Event& UILabel::event()
{
    if (!m_event) {
        m_event.emplace(this);
    }
    return *m_event;
}

void UILabel::setIgnoresMouseEvents(bool ignores)
{
    m_isIgnoresMouseEvents = ignores;
    setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
}

void UILabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_clicks.press(*e);
    }
    UITextField::mousePressEvent(e);
}

void UILabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_clicks.press(*e);
    }
    UITextField::mouseDoubleClickEvent(e);
}

void UILabel::mouseReleaseEvent(QMouseEvent* e)
{
    // The line editor still sees the release, so its selection handling ends cleanly.
    UITextField::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton) {
        event().dispatch(m_clicks.count());
    }
    e->accept();
}

} // namespace morvex
