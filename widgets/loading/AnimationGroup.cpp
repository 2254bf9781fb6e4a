#include "AnimationGroup.h"

namespace morvex {

std::unique_ptr<Animation> AnimationGroup::clone() const
{
    return std::make_unique<AnimationGroup>(*this);
}

void AnimationGroup::sample(double parentTime, std::vector<std::pair<QString, double>>& values) const
{
    const auto local = localTime(parentTime);
    if (!local) {
        return;
    }
    for (const BasicAnimation& member : animations) {
        member.sample(local->time, values);
    }
}

} // namespace morvex
