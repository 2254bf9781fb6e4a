#include "AppVersion.h"

#include "AppVersionConfig.h"

namespace morvex {

const AppVersion& AppVersion::current()
{
    static const AppVersion version{QStringLiteral(MORVEX_SHORT_VERSION), QStringLiteral(MORVEX_BUILD_NUMBER)};
    return version;
}

} // namespace morvex
