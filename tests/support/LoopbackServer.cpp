// SPDX-License-Identifier: MIT
#include "support/LoopbackServer.h"

#include <QJsonDocument>

namespace {

// The request when `buffer` holds all of it; the bytes it used are removed.
std::optional<LoopbackServer::Request> takeRequest(QByteArray& buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    LoopbackServer::Request request;
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    qsizetype length = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        request.headers.append({name, value});
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            length = value.toLongLong();
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() < bodyStart + length)
        return std::nullopt;
    request.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    return request;
}

} // namespace

std::optional<QByteArray> LoopbackServer::Request::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

QJsonObject LoopbackServer::Request::json() const
{
    return QJsonDocument::fromJson(body).object();
}

LoopbackServer::Reply LoopbackServer::Reply::json(int status, QByteArray body)
{
    return {Kind::respond, status, std::move(body), {{"Content-Type", "application/json"}}};
}

LoopbackServer::Reply LoopbackServer::Reply::raw(QByteArray bytes)
{
    return {Kind::raw, 0, std::move(bytes), {}};
}

LoopbackServer::LoopbackServer()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_connections;
            QObject::connect(socket, &QTcpSocket::readyRead, &m_server,
                             [this, socket] { readFrom(socket); });
        }
    });
    if (!m_server.listen(QHostAddress::LocalHost))
        qFatal("loopback server cannot listen: %s", qPrintable(m_server.errorString()));
}

// Connections still open (a reply held back) close with the server; their sockets are
// children of it.
LoopbackServer::~LoopbackServer() = default;

QString LoopbackServer::baseURL() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void LoopbackServer::readFrom(QTcpSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer.append(socket->readAll());
    while (auto request = takeRequest(buffer)) {
        m_requests.append(*request);
        if (onRequest)
            onRequest(*request);
        answer(socket, *request);
    }
}

void LoopbackServer::answer(QTcpSocket* socket, const Request&)
{
    Reply reply = m_standing;
    if (!m_queue.empty()) {
        reply = std::move(m_queue.front());
        m_queue.pop_front();
    }
    switch (reply.kind) {
    case Reply::Kind::silence:
        return;
    case Reply::Kind::hangUp:
        socket->abort();
        return;
    case Reply::Kind::raw:
        socket->write(reply.body);
        socket->disconnectFromHost();
        return;
    case Reply::Kind::respond:
        break;
    }
    // The clients read the status code alone, never the reason phrase.
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) +
                      (reply.status == 200 ? " OK\r\n" : " Status\r\n");
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}
