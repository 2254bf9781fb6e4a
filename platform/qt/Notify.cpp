#include "Notify.h"

#include <algorithm>

namespace morvex {

Notify::Notify(QObject* parent) : QObject(parent) {}

Notify::~Notify()
{
    for (const auto& connection : std::as_const(m_watched)) {
        disconnect(connection);
    }
}

Notify& Notify::shared()
{
    // Never destroyed: observers may still unregister from their destructors while the process winds down.
    static auto* const bus = new Notify;
    return *bus;
}

void Notify::observe(QObject* observer, const QString& name, Handler handler, QObject* object)
{
    if (!observer || !handler) {
        return;
    }
    const auto same = std::find_if(m_registrations.begin(), m_registrations.end(), [&](const Registration& r) {
        return r.observer == observer && r.name == name && r.hasSender == (object != nullptr) &&
               r.sender.data() == object;
    });
    if (same != m_registrations.end()) {
        same->handler = std::move(handler);
        return;
    }
    m_registrations.push_back({m_nextId++, observer, name, object != nullptr, object, std::move(handler)});
    if (!m_watched.contains(observer)) {
        m_watched.insert(observer,
                         connect(observer, &QObject::destroyed, this, [this, observer] { forget(observer); }));
    }
}

void Notify::post(const QString& name, QObject* object)
{
    // Handlers may observe, remove or post while we deliver, so walk a snapshot of ids.
    std::vector<quint64> ids;
    for (const auto& r : m_registrations) {
        const bool nameMatches = r.name.isEmpty() || r.name == name;
        const bool senderMatches = !r.hasSender || (r.sender && r.sender.data() == object);
        if (nameMatches && senderMatches) {
            ids.push_back(r.id);
        }
    }
    const Notification notification{name, object};
    for (const quint64 id : ids) {
        const auto it = std::find_if(m_registrations.begin(), m_registrations.end(),
                                     [id](const Registration& r) { return r.id == id; });
        if (it == m_registrations.end()) {
            continue;
        }
        const Handler handler = it->handler;
        handler(notification);
    }
}

void Notify::remove(QObject* observer, QObject* object)
{
    if (!object) {
        forget(observer);
        return;
    }
    std::erase_if(m_registrations, [&](const Registration& r) {
        return r.observer == observer && r.hasSender && r.sender.data() == object;
    });
    if (registrationCount(observer) == 0) {
        forget(observer);
    }
}

qsizetype Notify::registrationCount(const QObject* observer) const
{
    return std::count_if(m_registrations.begin(), m_registrations.end(),
                         [observer](const Registration& r) { return r.observer == observer; });
}

void Notify::forget(const QObject* observer)
{
    std::erase_if(m_registrations, [observer](const Registration& r) { return r.observer == observer; });
    const auto it = m_watched.constFind(observer);
    if (it != m_watched.cend()) {
        disconnect(*it);
        m_watched.erase(it);
    }
}

} // namespace morvex
