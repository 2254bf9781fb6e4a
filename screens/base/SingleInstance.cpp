#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace morvex {

namespace {

constexpr qint64 maxMessageBytes = 64;

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath))
{
    // Only this user may ask the running copy for its window.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

SingleInstance::~SingleInstance()
{
    m_server.close();
}

QString SingleInstance::defaultSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("morvex-%1.socket").arg(getuid()));
}

bool SingleInstance::activateRunning(const QString& socketPath, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(activateMessage());
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_server.isListening())
        return Claim::primary;
    // Two copies started at once must not both decide they are first: the check and the listen happen
    // under one lock.
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    const bool locked = lock.tryLock(5000);

    if (activateRunning(m_socketPath))
        return Claim::forwarded;
    // Nobody answered: a socket file left over from a copy that crashed may be in the way.
    QLocalServer::removeServer(m_socketPath);
    const bool listening = m_server.listen(m_socketPath);
    if (locked)
        lock.unlock();
    return listening ? Claim::primary : Claim::unavailable;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // One short line is all a later copy ever sends; anything else is ignored.
            if (socket->bytesAvailable() > maxMessageBytes) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(maxMessageBytes);
            socket->disconnectFromServer();
            if (line == activateMessage())
                Q_EMIT activationRequested();
        });
    }
}

} // namespace morvex
