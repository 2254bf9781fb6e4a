#pragma once

#include "UIView.h"

class QGridLayout;

namespace morvex {

/// The gallery window: one row per control family, one cell per state.
class Gallery : public UIView
{
    Q_OBJECT

public:
    explicit Gallery(QWidget* parent = nullptr);
    ~Gallery() override;

    /// Puts the looks that need the pointer or the focus on for the picture: hovered cells, the edited field.
    void applyInteractiveStates();
    /// Stops every running ring animation at `ms` milliseconds, so pictures come out the same each time.
    void freezeAnimations(int ms);

private:
    QWidget* cell(const QString& caption, QWidget* content, int row, int column, QSize size);

    QGridLayout* m_grid;
    QList<QWidget*> m_hovered;
    QWidget* m_editing = nullptr;
};

} // namespace morvex
