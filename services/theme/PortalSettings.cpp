#include "PortalSettings.h"

namespace morvex {

QString PortalSettings::serviceName()
{
    return QStringLiteral("org.freedesktop.portal.Desktop");
}

QString PortalSettings::objectPath()
{
    return QStringLiteral("/org/freedesktop/portal/desktop");
}

QString PortalSettings::interfaceName()
{
    return QStringLiteral("org.freedesktop.portal.Settings");
}

PortalSettings::PortalSettings(const QString& service, const QString& path, const QDBusConnection& connection,
                               QObject* parent)
    : QDBusAbstractInterface(service, path, "org.freedesktop.portal.Settings", connection, parent)
{}

PortalSettings::~PortalSettings() = default;

QDBusMessage PortalSettings::read(const QString& nameSpace, const QString& key)
{
    return call(QStringLiteral("Read"), nameSpace, key);
}

} // namespace morvex
