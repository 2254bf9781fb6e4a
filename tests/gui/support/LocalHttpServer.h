#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace morvex::test {

/// A tiny HTTP/1.1 server on 127.0.0.1 for the updater tests: each path answers with a fixed response,
/// a redirect, or never.
class LocalHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Response
    {
        int status = 200;
        QByteArray body{};
        QByteArray location{};
        /// Sent as Content-Length instead of the body's real size (to announce a huge body).
        qint64 announcedLength = -1;
        /// Accept the request and never answer.
        bool hang = false;
    };

    LocalHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    void route(const QByteArray& path, const Response& response) { m_routes.insert(path, response); }

    QUrl url(const QByteArray& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()) + QString::fromLatin1(path));
    }

    /// The paths requested so far, in order.
    const QList<QByteArray>& requests() const { return m_requests; }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray path = buffer.left(buffer.indexOf("\r\n")).split(' ').value(1, "/");
        m_buffers.remove(socket);
        m_requests << path;
        const Response response = m_routes.value(path, Response{404, "not found"});
        if (response.hang)
            return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
        if (!response.location.isEmpty())
            reply += "Location: " + response.location + "\r\n";
        const qint64 length = response.announcedLength >= 0 ? response.announcedLength : response.body.size();
        reply +=
            "Content-Type: application/rss+xml\r\nConnection: close\r\nContent-Length: " + QByteArray::number(length) +
            "\r\n\r\n";
        reply += response.body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Response> m_routes;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<QByteArray> m_requests;
};

} // namespace morvex::test
