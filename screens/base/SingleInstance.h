#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace morvex {

/// Keeps one running copy of the application per user: the first copy listens on a local socket, a later
/// copy asks the first to bring its window back and then ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    /// `socketPath`: where the socket lives (a file path; the default is in the user's runtime folder).
    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    /// The per-user socket in the runtime folder (or the temporary folder when there is none).
    static QString defaultSocketPath();

    enum class Claim
    {
        /// This copy is the running one and now listens for later copies.
        primary,
        /// Another copy runs and has been asked to bring its window back; this copy should end.
        forwarded,
        /// Neither: the socket could not be set up. This copy carries on without the guard.
        unavailable
    };

    Claim claim();

    /// True once this copy listens for later copies.
    bool isPrimary() const { return m_server.isListening(); }

    /// Sends the activation request to a running copy; true when it was delivered.
    static bool activateRunning(const QString& socketPath, int timeoutMs = 2000);

    static QByteArray activateMessage() { return QByteArrayLiteral("activate\n"); }

Q_SIGNALS:
    /// A later copy asked for the window.
    void activationRequested();

private:
    void acceptConnections();

    QString m_socketPath;
    QLocalServer m_server;
};

} // namespace morvex
