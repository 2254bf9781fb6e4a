#pragma once

#include "BasicAnimation.h"

#include <vector>

namespace morvex {

/// Runs several animations on one clock. Members' begin times and speeds count in the group's local time,
/// and the group cuts them off at its own duration.
class AnimationGroup : public Animation
{
public:
    std::unique_ptr<Animation> clone() const override;
    void sample(double parentTime, std::vector<std::pair<QString, double>>& values) const override;

    std::vector<BasicAnimation> animations;
};

} // namespace morvex
