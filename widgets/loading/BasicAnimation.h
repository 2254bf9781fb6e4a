#pragma once

#include "Animation.h"

namespace morvex {

/// Pacing of an animation within one repetition.
enum class TimingFunction
{
    Linear,
    /// The cubic Bézier (0.42, 0) (0.58, 1): slow start and end.
    EaseInEaseOut,
};

/// Animates one key path of a layer from one value to another.
class BasicAnimation : public Animation
{
public:
    BasicAnimation() = default;
    explicit BasicAnimation(QString path) : keyPath(std::move(path)) {}

    std::unique_ptr<Animation> clone() const override;
    void sample(double parentTime, std::vector<std::pair<QString, double>>& values) const override;

    /// The value at `parentTime`, or none while inactive.
    std::optional<double> valueAt(double parentTime) const;

    /// The timing function applied to a progress between 0 and 1.
    static double ease(TimingFunction function, double progress);

    QString keyPath;
    double fromValue = 0;
    double toValue = 0;
    /// Each repetition goes on from where the previous one ended.
    bool isCumulative = false;
    TimingFunction timingFunction = TimingFunction::Linear;
};

} // namespace morvex
