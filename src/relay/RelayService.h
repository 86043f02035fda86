// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "relay/RelayConfig.h"
#include "relay/RelayStore.h"
#include "relay/RelayUpstream.h"

#include <QDateTime>
#include <QHttpServer>
#include <QObject>
#include <QProcessEnvironment>
#include <qcoro/qcorotask.h>

class QHttpServerResponder;

// The relay's HTTP side: POST /ai for Quillmark and GET /healthz for load balancers. Each
// request is checked (kill switch, app version, credential, body, size, rate, quota), sent
// upstream with the instructions Quillmark itself builds, and booked in the ledger. The
// policy is read afresh for every request from the configuration file (when it changed)
// and the operator's settings in the database. Main thread.
class RelayService : public QObject {
    Q_OBJECT
public:
    RelayService(Clock& clock, RelayStore& store, RelayUpstream& upstream, RelayConfig config,
                 QString configPath, QProcessEnvironment environment);
    ~RelayService() override;

    // Starts listening on the configured address (TLS when a certificate and key are set);
    // the port, or 0 with `error` set.
    quint16 listen(QString& error);
    // Takes no more connections and answers /healthz with 503; drained() follows once the
    // requests in flight have their answers.
    void stopAccepting();
    int inFlight() const { return m_inFlight; }
    // Reads the configuration file's limits again before the next request.
    void reloadConfiguration() { m_configStamp = {}; }

    // What one request came to: its reply and the figures for the log.
    struct Outcome;

signals:
    void drained();

private:
    struct Incoming {
        QByteArray authorization;
        QByteArray deviceID;
        QByteArray appVersion;
        QByteArray body;
    };

    QCoro::Task<> answer(Incoming incoming, QHttpServerResponder responder);
    QCoro::Task<Outcome> serve(Incoming incoming);
    std::optional<RelayPolicy> currentPolicy();

    Clock& m_clock;
    RelayStore& m_store;
    RelayUpstream& m_upstream;
    RelayConfig m_config;
    QString m_configPath;
    QProcessEnvironment m_environment;
    QDateTime m_configStamp;
    QList<QPair<QString, QString>> m_settings;
    std::optional<std::chrono::milliseconds> m_settingsReadAt;
    QHttpServer m_server;
    int m_inFlight = 0;
    bool m_draining = false;
};
