#include "Gray.h"

#include <algorithm>

namespace morvex {

QColor gray(int level, qreal alpha)
{
    // QColor rejects an alpha outside 0..1 with an invalid colour; a grey that vanishes helps nobody.
    const auto a = static_cast<float>(std::clamp(alpha, 0.0, 1.0));
    const auto v = static_cast<float>(static_cast<double>(level) / 255.0);
    return QColor::fromRgbF(v, v, v, a);
}

} // namespace morvex
