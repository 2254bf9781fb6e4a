#include "NSTheme.h"

#include "NSColor.h"

namespace morvex {

const QColor& NSTheme::accent()
{
    static const QColor color = NSColor(235, 115, 75);
    return color;
}

const QColor& NSTheme::accentHover()
{
    static const QColor color = NSColor(235, 100, 75);
    return color;
}

const QColor& NSTheme::link()
{
    static const QColor color = NSColor(222, 128, 60);
    return color;
}

const QColor& NSTheme::hint()
{
    static const QColor color = NSColor(111, 111, 111);
    return color;
}

} // namespace morvex
