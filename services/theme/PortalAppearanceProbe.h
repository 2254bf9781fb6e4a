#pragma once

#include "AppearanceProbe.h"

#include <QDBusConnection>
#include <QDBusVariant>

namespace morvex {

class PortalSettings;

/// Reads the appearance from the desktop portal's "org.freedesktop.appearance" "color-scheme" setting and
/// follows its SettingChanged signal.
class PortalAppearanceProbe : public AppearanceProbe
{
    Q_OBJECT

public:
    explicit PortalAppearanceProbe(const QDBusConnection& bus, QObject* parent = nullptr,
                                   const QString& service = defaultService());
    ~PortalAppearanceProbe() override;

    static QString defaultService();

    /// Whether the portal answered the first read.
    bool isAvailable() const { return m_available; }

    QVariant interfaceStyle() const override { return m_style; }

    /// The interface style for a color-scheme value: 1 (prefer dark) is "Dark"; 0 (no preference),
    /// 2 (prefer light) and anything unreadable have no value. Nested D-Bus variants are unwrapped.
    static QVariant styleFromColorScheme(const QVariant& colorScheme);

private:
    void settingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

    PortalSettings* m_settings;
    QVariant m_style;
    bool m_available = false;
};

} // namespace morvex
