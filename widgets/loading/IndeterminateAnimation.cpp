#include "IndeterminateAnimation.h"

namespace morvex {

IndeterminateAnimation::~IndeterminateAnimation() = default;

void IndeterminateAnimation::setAnimate(bool animate)
{
    if (animate == m_animate) {
        return;
    }
    m_animate = animate;
    if (animate) {
        setHidden(false);
        startAnimation();
    } else {
        if (!m_displayAfterAnimationEnds) {
            setHidden(true);
        }
        stopAnimation();
    }
}

} // namespace morvex
