#include "UIInteractiveView.h"

#include "NSTheme.h"
#include "UILabel.h"

#include <QResizeEvent>

#include <cmath>

namespace morvex {

UIInteractiveView::UIInteractiveView(QWidget* parent) : UIView(parent), m_hint(new UILabel), m_label(new UILabel) {}

UIInteractiveView::UIInteractiveView(qreal hintWidth, bool editable, QWidget* parent) : UIInteractiveView(parent)
{
    setGeometry(0, 0, 0, 0);
    m_hintWidth = hintWidth;
    if (editable) {
        m_label->setEditable(true);
    } else {
        m_hint->setIgnoresMouseEvents(true);
        m_label->setIgnoresMouseEvents(true);
    }
    m_hint->setParent(this);
    m_label->setParent(this);
    m_hint->show();
    m_label->show();
    m_placed = true;
    layoutLabels();
}

UIInteractiveView::~UIInteractiveView()
{
    // Labels that were never placed have no parent to delete them.
    for (UILabel* label : {m_hint.data(), m_label.data()}) {
        if (label && label->parentWidget() != this) {
            delete label;
        }
    }
}

UIInteractiveView* UIInteractiveView::standardRow(const QString& title, qreal hintWidth, bool editable, QWidget* parent)
{
    auto* row = new UIInteractiveView(hintWidth, editable, parent);
    row->hint().setStringValue(title);
    row->hint().text().setColor(NSTheme::hint());
    row->hint().text().setFontSize(16);
    row->label().text().setColor(NSTheme::accentHover());
    row->label().text().setFontSize(16);
    row->background().setColor(QColor(Qt::white));
    row->border().setWidth(1);
    row->border().setColor(NSTheme::accent());
    row->border().setRadius(5);
    return row;
}

void UIInteractiveView::resizeEvent(QResizeEvent* event)
{
    UIView::resizeEvent(event);
    layoutLabels();
}

void UIInteractiveView::layoutLabels()
{
    if (!m_placed) {
        return;
    }
    const int h = height();
    const int hintWidth = static_cast<int>(std::lround(m_hintWidth));
    m_hint->setGeometry(0, 0, hintWidth, h);
    const auto labelWidth = static_cast<int>(std::lround(width() - trailingInset)) - hintWidth;
    m_label->setGeometry(hintWidth, 0, std::max(labelWidth, 0), h);
}

} // namespace morvex
