#include "WebAddresses.h"

namespace morvex {

QUrl WebAddresses::appcast()
{
    return QUrl(QStringLiteral("https://morvex.app/appcast.xml"));
}

QUrl WebAddresses::homePage()
{
    return QUrl(QStringLiteral("https://morvex.app/"));
}

QUrl WebAddresses::forum()
{
    return QUrl(QStringLiteral("https://morvex.app/forum/"));
}

} // namespace morvex
