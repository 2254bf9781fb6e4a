#include "PortalAppearanceProbe.h"

#include "PortalSettings.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace morvex {

namespace {

const QString& appearanceNamespace()
{
    static const QString name = QStringLiteral("org.freedesktop.appearance");
    return name;
}

const QString& colorSchemeKey()
{
    static const QString key = QStringLiteral("color-scheme");
    return key;
}

// A missing portal must not hold up the start of the application.
constexpr int readTimeoutMs = 1500;

} // namespace

PortalAppearanceProbe::PortalAppearanceProbe(const QDBusConnection& bus, QObject* parent, const QString& service)
    : AppearanceProbe(parent), m_settings(new PortalSettings(service, PortalSettings::objectPath(), bus, this))
{
    m_settings->setTimeout(readTimeoutMs);
    const QDBusMessage reply = m_settings->read(appearanceNamespace(), colorSchemeKey());
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        m_available = true;
        m_style = styleFromColorScheme(reply.arguments().constFirst());
    }
    connect(m_settings, &PortalSettings::SettingChanged, this, &PortalAppearanceProbe::settingChanged);
}

PortalAppearanceProbe::~PortalAppearanceProbe() = default;

QString PortalAppearanceProbe::defaultService()
{
    return PortalSettings::serviceName();
}

QVariant PortalAppearanceProbe::styleFromColorScheme(const QVariant& colorScheme)
{
    QVariant value = colorScheme;
    // Read() wraps the value in a variant of a variant; SettingChanged and ReadOne() in one.
    for (int depth = 0; depth < 4 && value.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth) {
        value = value.value<QDBusVariant>().variant();
    }
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        return {};
    }
    const QMetaType type = value.metaType();
    const bool integral = type == QMetaType::fromType<uint>() || type == QMetaType::fromType<int>() ||
                          type == QMetaType::fromType<qulonglong>() || type == QMetaType::fromType<qlonglong>() ||
                          type == QMetaType::fromType<uchar>() || type == QMetaType::fromType<ushort>() ||
                          type == QMetaType::fromType<short>();
    if (integral && value.toLongLong() == 1) {
        return QStringLiteral("Dark");
    }
    return {};
}

void PortalAppearanceProbe::settingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value)
{
    if (nameSpace != appearanceNamespace() || key != colorSchemeKey()) {
        return;
    }
    m_available = true;
    m_style = styleFromColorScheme(QVariant::fromValue(value));
    Q_EMIT changed();
}

} // namespace morvex
