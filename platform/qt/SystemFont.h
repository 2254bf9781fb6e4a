#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

namespace morvex {

/// The system font at a size, and text measured in it.
///
/// Sizes count in the unit of the window geometry (device-independent pixels), so that a 16-point text
/// fits the 34-point rows that were laid out around it whatever the screen's logical DPI.
class SystemFont
{
public:
    SystemFont() = delete;

    static QFont at(qreal pointSize);

    /// Width and height of `text` set in the system font of `pointSize`; lines are split at '\n'.
    static QSizeF size(const QString& text, qreal pointSize);
};

} // namespace morvex
