#pragma once

#include <QColor>

namespace morvex {

/// The application's fixed palette. The colours do not follow the light or dark appearance.
class NSTheme
{
public:
    NSTheme() = delete;

    /// 235, 115, 75: main buttons, the border of the standard input row, the alert sheet.
    static const QColor& accent();
    /// 235, 100, 75: main buttons under the pointer, value text of the standard input row.
    static const QColor& accentHover();
    /// 222, 128, 60: text and underline of the underlined label.
    static const QColor& link();
    /// 111, 111, 111: caption text of the standard input row.
    static const QColor& hint();
};

} // namespace morvex
