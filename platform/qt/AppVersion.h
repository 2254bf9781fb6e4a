#pragma once

#include <QString>

namespace morvex {

/// The version of the running build: the short version text ("1.2.0") and the build number ("15").
struct AppVersion
{
    QString shortVersion;
    QString build;

    /// The values this binary was built with (project version and MORVEX_BUILD_NUMBER).
    static const AppVersion& current();
};

} // namespace morvex
