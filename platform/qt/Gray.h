#pragma once

#include <QColor>

namespace morvex {

/// A grey of `level` (0 to 255, the same for red, green and blue) with opacity `alpha` (0 to 1, clamped).
QColor gray(int level, qreal alpha = 1.0);

} // namespace morvex
