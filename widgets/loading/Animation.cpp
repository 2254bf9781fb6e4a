#include "Animation.h"

#include <cmath>
#include <limits>

namespace morvex {

Animation::~Animation() = default;

double Animation::activeDuration() const
{
    const double repeats = repeatCount <= 0 ? 1 : repeatCount;
    if (std::isinf(repeats) || speed <= 0) {
        return std::numeric_limits<double>::infinity();
    }
    return beginTime + duration * repeats / speed;
}

std::optional<Animation::LocalTime> Animation::localTime(double parentTime) const
{
    if (duration <= 0) {
        return std::nullopt;
    }
    const double active = (parentTime - beginTime) * speed;
    const double repeats = repeatCount <= 0 ? 1 : repeatCount;
    if (active < 0 || active >= duration * repeats) {
        return std::nullopt;
    }
    const double iteration = std::floor(active / duration);
    return LocalTime{active - iteration * duration, iteration};
}

} // namespace morvex
