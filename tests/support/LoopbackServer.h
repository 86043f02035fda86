// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <deque>
#include <functional>
#include <optional>

// A small HTTP/1.1 server on 127.0.0.1 for the clients' tests. It records every request
// and answers each with the next scripted reply (or the standing one). It runs in the
// test's own event loop, so it answers while the test waits for a client.
class LoopbackServer {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;

        // The value of a header, matched without regard to case.
        std::optional<QByteArray> header(const QByteArray& name) const;
        QJsonObject json() const;
    };

    struct Reply {
        enum class Kind { respond, silence, hangUp, raw };
        Kind kind = Kind::respond;
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;

        // A complete reply with a JSON content type and a correct length.
        static Reply json(int status, QByteArray body);
        // Never answers, keeping the connection open.
        static Reply silence() { return {Kind::silence}; }
        // Closes the connection without a byte of reply.
        static Reply hangUp() { return {Kind::hangUp}; }
        // Sends these bytes as they are, then closes.
        static Reply raw(QByteArray bytes);

        // This reply with one more header.
        Reply withHeader(const QByteArray& name, const QByteArray& value) const
        {
            Reply copy = *this;
            copy.headers.append(qMakePair(name, value));
            return copy;
        }
    };

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:<port>".
    QString baseURL() const;

    // The reply for every request that finds the queue empty.
    void setReply(Reply reply) { m_standing = std::move(reply); }
    // A reply for the next request only.
    void enqueue(Reply reply) { m_queue.push_back(std::move(reply)); }

    const QList<Request>& requests() const { return m_requests; }
    // Connections accepted so far, also those that never sent a whole request.
    int connections() const { return m_connections; }
    // Called with each complete request, before it is answered.
    std::function<void(const Request&)> onRequest;

private:
    void readFrom(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    std::deque<Reply> m_queue;
    Reply m_standing = Reply::json(200, "{}");
    QList<Request> m_requests;
    int m_connections = 0;
};
