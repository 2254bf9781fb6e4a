#pragma once

#include <QDBusAbstractInterface>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace morvex {

/// Client side of the desktop portal's org.freedesktop.portal.Settings interface: what the appearance
/// probe needs of it. Connecting to `SettingChanged` subscribes to the D-Bus signal.
class PortalSettings : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    static QString serviceName();
    static QString objectPath();
    static QString interfaceName();

    PortalSettings(const QString& service, const QString& path, const QDBusConnection& connection,
                   QObject* parent = nullptr);
    ~PortalSettings() override;

    /// Read(namespace, key): the value, wrapped in one or two variants depending on the portal's version.
    QDBusMessage read(const QString& nameSpace, const QString& key);

Q_SIGNALS:
    // NOLINTNEXTLINE(readability-identifier-naming): name and signature must match the D-Bus signal exactly.
    void SettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);
};

} // namespace morvex
