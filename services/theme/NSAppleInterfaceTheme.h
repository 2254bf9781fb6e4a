#pragma once

#include "AppearanceProbe.h"
#include "Notify.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace morvex {

/// Observer of the system's light and dark appearance.
///
/// It reads the appearance through an AppearanceProbe and, whenever the answer of `isLight()` changes,
/// posts `notificationName()` on its `notification()` centre, once per change. Subscribers register
/// there (or through `subscribe`) and remove themselves on teardown.
class NSAppleInterfaceTheme : public QObject
{
    Q_OBJECT

public:
    /// With a null probe the default probe of this system is used.
    explicit NSAppleInterfaceTheme(std::unique_ptr<AppearanceProbe> probe = nullptr, QObject* parent = nullptr);
    ~NSAppleInterfaceTheme() override;

    /// The process-wide observer, made on first use.
    static NSAppleInterfaceTheme& shared();

    /// "AppleInterfaceThemeChangedNotification".
    static const QString& notificationName();

    /// The centre on which the change is posted. It lives as long as this observer.
    Notify& notification() { return m_notification; }

    /// True unless the probe's interface style is exactly the text "Dark".
    bool isLight() const;

    /// The rule of `isLight()` for one preference value: no value, a value that is not text, or any text
    /// other than "Dark" (compared case-sensitively) is light.
    static bool isLight(const QVariant& interfaceStyle);

    /// Replaces the probe. The current answer is taken as the starting point; nothing is posted.
    void setProbe(std::unique_ptr<AppearanceProbe> probe);
    AppearanceProbe& probe() const { return *m_probe; }

    /// Registers `observer` for the change notification; `handler` gets `isLight()` at the moment of delivery.
    void subscribe(QObject* observer, std::function<void(bool isLight)> handler);
    /// Removes every registration of `observer` from the centre.
    void unsubscribe(QObject* observer);

private:
    void probeChanged();

    Notify m_notification;
    std::unique_ptr<AppearanceProbe> m_probe;
    bool m_lastIsLight = true;
};

} // namespace morvex
