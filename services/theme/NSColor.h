#pragma once

#include <QColor>

namespace morvex {

/// An opaque colour from 8-bit components: each is divided by 255.
///
/// Components are not clamped. A value outside 0 to 255 yields an extended-range colour
/// (QColor::ExtendedRgb) that keeps the component outside 0 to 1; painting clamps it to what the
/// screen can show. In range, the result equals QColor(r, g, b).
QColor NSColor(int r, int g, int b);

} // namespace morvex
