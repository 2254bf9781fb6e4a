#pragma once

#include "UILabel.h"

#include <QPointer>

namespace morvex {

class UIView;

/// A UILabel in the link colour, 18 points, on a light grey ground, with a 1-point line of the link colour
/// under it that reaches 5 points past the label on each side.
///
/// Qt clips children to their parent, so once the label sits in a parent the line is placed beside it
/// in that parent and follows the label's geometry; it is still the label's and goes with it.
class UIUnderlineLabel : public UILabel
{
    Q_OBJECT

public:
    static constexpr int overhang = 5;
    static constexpr int thickness = 1;

    explicit UIUnderlineLabel(QWidget* parent = nullptr);
    ~UIUnderlineLabel() override;

    UIView& underline() const { return *m_underline; }

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void placeUnderline();

    QPointer<UIView> m_underline;
};

} // namespace morvex
