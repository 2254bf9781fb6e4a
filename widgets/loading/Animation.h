#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace morvex {

/// Told when an animation leaves its layer: `finished` is true when it ran to its end, false when it was
/// removed or replaced before.
class AnimationDelegate
{
public:
    virtual ~AnimationDelegate() = default;
    virtual void animationDidStop(bool finished) = 0;
};

/// Timing shared by every animation, in seconds. A layer copies an animation when it is added, so
/// changing this object afterwards does not touch the running copy.
///
/// The local time of an animation at parent time t is (t - beginTime) × speed. It is active while that is
/// at least 0 and below duration × repeatCount (a repeat count of 0 plays once, infinity plays forever);
/// outside, it contributes nothing and the layer shows its own values.
class Animation
{
public:
    virtual ~Animation();

    virtual std::unique_ptr<Animation> clone() const = 0;

    /// Appends (key path, value) for every value this animation sets at `parentTime`.
    virtual void sample(double parentTime, std::vector<std::pair<QString, double>>& values) const = 0;

    /// Parent time from the start until the animation ends; infinity for an endless one.
    double activeDuration() const;

    double beginTime = 0;
    double duration = 0;
    double speed = 1;
    double repeatCount = 1;
    /// Not owned; must outlive the layer the animation runs on, or be null.
    AnimationDelegate* delegate = nullptr;

protected:
    struct LocalTime
    {
        double time = 0;      ///< seconds into the current repetition
        double iteration = 0; ///< repetitions completed before it
    };
    std::optional<LocalTime> localTime(double parentTime) const;
};

} // namespace morvex
