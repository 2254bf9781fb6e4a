#include "NSColor.h"

namespace morvex {

namespace {

float component(int value)
{
    return static_cast<float>(static_cast<double>(value) / 255.0);
}

} // namespace

QColor NSColor(int r, int g, int b)
{
    // fromRgbF switches to the extended-range colour model by itself when a component leaves 0..1.
    return QColor::fromRgbF(component(r), component(g), component(b), 1.0f);
}

} // namespace morvex
