#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

namespace morvex {

/// One posted notification as its observers see it.
struct Notification
{
    QString name;
    QObject* object = nullptr;
};

/// A notification bus: observers register handlers under a name, posters post names.
///
/// Each registration belongs to an observer object. Registering the same observer again for the same name
/// and sender replaces the handler, so a notification reaches an observer once. A destroyed observer is
/// dropped from the bus on its own; removing it explicitly in its destructor is still the tidy way.
/// Main thread only.
class Notify : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(const Notification&)>;

    explicit Notify(QObject* parent = nullptr);
    ~Notify() override;

    /// The application's bus.
    static Notify& shared();

    /// Calls `handler` for every post of `name` (every name when empty) from `object` (any sender when null).
    void observe(QObject* observer, const QString& name, Handler handler, QObject* object = nullptr);

    /// Delivers `name` to the matching observers, in the order they registered.
    void post(const QString& name, QObject* object = nullptr);

    /// Removes every registration of `observer`, or only those for `object` when it is given.
    void remove(QObject* observer, QObject* object = nullptr);

    /// How many registrations `observer` holds.
    qsizetype registrationCount(const QObject* observer) const;

private:
    struct Registration
    {
        quint64 id = 0;
        const QObject* observer = nullptr;
        QString name;
        bool hasSender = false;
        QPointer<QObject> sender;
        Handler handler;
    };

    void forget(const QObject* observer);

    std::vector<Registration> m_registrations;
    QHash<const QObject*, QMetaObject::Connection> m_watched;
    quint64 m_nextId = 1;
};

} // namespace morvex
