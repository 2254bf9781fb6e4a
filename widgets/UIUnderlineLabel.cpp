#include "UIUnderlineLabel.h"

#include "NSColor.h"
#include "NSTheme.h"
#include "UIView.h"

#include <QEvent>

namespace morvex {

UIUnderlineLabel::UIUnderlineLabel(QWidget* parent) : UILabel(parent), m_underline(new UIView)
{
    text().setColor(NSTheme::link());
    text().setFontSize(18);
    background().setColor(NSColor(236, 236, 236));
    m_underline->background().setColor(NSTheme::link());
    m_underline->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeUnderline();
}

UIUnderlineLabel::~UIUnderlineLabel()
{
    delete m_underline.data();
}

void UIUnderlineLabel::placeUnderline()
{
    if (!m_underline) {
        return;
    }
    QWidget* host = parentWidget() ? parentWidget() : this;
    if (m_underline->parentWidget() != host) {
        m_underline->setParent(host);
    }
    const QRect frame = host == this ? rect() : geometry();
    m_underline->setGeometry(frame.left() - overhang, frame.top() + frame.height() - thickness,
                             frame.width() + 2 * overhang, thickness);
    m_underline->setVisible(host == this || isVisibleTo(host));
    m_underline->raise();
}

void UIUnderlineLabel::changeEvent(QEvent* event)
{
    UILabel::changeEvent(event);
    if (event->type() == QEvent::ParentChange) {
        placeUnderline();
    }
}

void UIUnderlineLabel::moveEvent(QMoveEvent* event)
{
    UILabel::moveEvent(event);
    placeUnderline();
}

void UIUnderlineLabel::resizeEvent(QResizeEvent* event)
{
    UILabel::resizeEvent(event);
    placeUnderline();
}

void UIUnderlineLabel::showEvent(QShowEvent* event)
{
    UILabel::showEvent(event);
    placeUnderline();
}

void UIUnderlineLabel::hideEvent(QHideEvent* event)
{
    UILabel::hideEvent(event);
    placeUnderline();
}

} // namespace morvex
