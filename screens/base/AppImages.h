#pragma once

#include <QIcon>
#include <QString>

namespace morvex {

/// The application's images by name: "arrow" (back), "normal" and "ok" (an option off and on) and
/// "AppIcon". They are drawn rather than loaded, so they are sharp at every scale and never missing;
/// an unknown name gives an empty icon.
class AppImages
{
public:
    AppImages() = delete;

    static QIcon named(const QString& name);
};

} // namespace morvex
