#include "WebAddresses.h"

#include "Deployment.h"

namespace morvex {

QUrl WebAddresses::appcast()
{
    return QUrl(QStringLiteral(MORVEX_APPCAST_URL));
}

QUrl WebAddresses::homePage()
{
    return QUrl(QStringLiteral(MORVEX_HOME_URL));
}

QUrl WebAddresses::forum()
{
    return QUrl(QStringLiteral(MORVEX_FORUM_URL));
}

} // namespace morvex
