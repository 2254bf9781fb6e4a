#include "NSAppleInterfaceTheme.h"

#include "AppearanceProbeFactory.h"

namespace morvex {

NSAppleInterfaceTheme::NSAppleInterfaceTheme(std::unique_ptr<AppearanceProbe> probe, QObject* parent) : QObject(parent)
{
    setProbe(probe ? std::move(probe) : createDefaultAppearanceProbe());
}

NSAppleInterfaceTheme::~NSAppleInterfaceTheme() = default;

NSAppleInterfaceTheme& NSAppleInterfaceTheme::shared()
{
    // Never destroyed: its probe talks to the application and the session bus, which are gone by the time
    // static destructors run.
    static auto* const theme = new NSAppleInterfaceTheme;
    return *theme;
}

const QString& NSAppleInterfaceTheme::notificationName()
{
    static const QString name = QStringLiteral("AppleInterfaceThemeChangedNotification");
    return name;
}

bool NSAppleInterfaceTheme::isLight() const
{
    return isLight(m_probe->interfaceStyle());
}

bool NSAppleInterfaceTheme::isLight(const QVariant& interfaceStyle)
{
    if (interfaceStyle.metaType() != QMetaType::fromType<QString>()) {
        return true;
    }
    return interfaceStyle.toString() != QStringLiteral("Dark");
}

void NSAppleInterfaceTheme::setProbe(std::unique_ptr<AppearanceProbe> probe)
{
    if (!probe) {
        return;
    }
    if (m_probe) {
        disconnect(m_probe.get(), nullptr, this, nullptr);
    }
    m_probe = std::move(probe);
    m_lastIsLight = isLight();
    connect(m_probe.get(), &AppearanceProbe::changed, this, &NSAppleInterfaceTheme::probeChanged);
}

void NSAppleInterfaceTheme::subscribe(QObject* observer, std::function<void(bool isLight)> handler)
{
    if (!handler) {
        return;
    }
    m_notification.observe(observer, notificationName(),
                           [this, handler = std::move(handler)](const Notification&) { handler(isLight()); });
}

void NSAppleInterfaceTheme::unsubscribe(QObject* observer)
{
    m_notification.remove(observer);
}

void NSAppleInterfaceTheme::probeChanged()
{
    // Probes may report the same appearance more than once (palette and theme events come in pairs);
    // subscribers hear about each switch once.
    const bool light = isLight();
    if (light == m_lastIsLight) {
        return;
    }
    m_lastIsLight = light;
    m_notification.post(notificationName());
}

} // namespace morvex
