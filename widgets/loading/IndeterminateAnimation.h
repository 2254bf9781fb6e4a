#pragma once

#include "BaseView.h"

namespace morvex {

/// A busy indicator switched on and off by `animate`.
class IndeterminateAnimation : public BaseView
{
    Q_OBJECT

public:
    using BaseView::BaseView;
    ~IndeterminateAnimation() override;

    bool displayAfterAnimationEnds() const { return m_displayAfterAnimationEnds; }
    /// Keep the view visible when `animate` turns false.
    void setDisplayAfterAnimationEnds(bool display) { m_displayAfterAnimationEnds = display; }

    bool animate() const { return m_animate; }
    /// True shows the view and starts the animation; false hides it (unless displayAfterAnimationEnds)
    /// and stops it. Setting the current value again does nothing.
    void setAnimate(bool animate);

    virtual void startAnimation() = 0;
    virtual void stopAnimation() = 0;

private:
    bool m_displayAfterAnimationEnds = false;
    bool m_animate = false;
};

} // namespace morvex
