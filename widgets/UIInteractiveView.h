#pragma once

#include "UIView.h"

#include <QPointer>

namespace morvex {

class UILabel;

/// A caption (`hint`) and a value (`label`) side by side in a UIView: the rows of the settings sheet.
class UIInteractiveView : public UIView
{
    Q_OBJECT

public:
    /// Makes both labels but does not place them in the view.
    explicit UIInteractiveView(QWidget* parent = nullptr);
    /// Places the caption at the left with `hintWidth` and the value in the rest, 2 in from the right.
    /// Not editable: both labels let clicks through to the row. Editable: `label` takes typing.
    UIInteractiveView(qreal hintWidth, bool editable, QWidget* parent = nullptr);
    ~UIInteractiveView() override;

    /// The standard row: grey 16-point caption, accent 16-point value, white ground, 1-point accent border
    /// with radius 5.
    static UIInteractiveView* standardRow(const QString& title, qreal hintWidth, bool editable,
                                          QWidget* parent = nullptr);

    UILabel& hint() const { return *m_hint; }
    UILabel& label() const { return *m_label; }

    static constexpr qreal trailingInset = 2;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutLabels();

    QPointer<UILabel> m_hint;
    QPointer<UILabel> m_label;
    qreal m_hintWidth = 0;
    bool m_placed = false;
};

} // namespace morvex
