#include "BasicAnimation.h"

#include <QEasingCurve>
#include <QPointF>

#include <algorithm>

namespace morvex {

std::unique_ptr<Animation> BasicAnimation::clone() const
{
    return std::make_unique<BasicAnimation>(*this);
}

double BasicAnimation::ease(TimingFunction function, double progress)
{
    progress = std::clamp(progress, 0.0, 1.0);
    if (function == TimingFunction::Linear) {
        return progress;
    }
    static const QEasingCurve curve = [] {
        QEasingCurve c(QEasingCurve::BezierSpline);
        c.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
        return c;
    }();
    return curve.valueForProgress(progress);
}

std::optional<double> BasicAnimation::valueAt(double parentTime) const
{
    const auto local = localTime(parentTime);
    if (!local) {
        return std::nullopt;
    }
    const double span = toValue - fromValue;
    const double value = fromValue + span * ease(timingFunction, local->time / duration);
    return isCumulative ? value + local->iteration * span : value;
}

void BasicAnimation::sample(double parentTime, std::vector<std::pair<QString, double>>& values) const
{
    if (const auto value = valueAt(parentTime)) {
        values.emplace_back(keyPath, *value);
    }
}

} // namespace morvex
