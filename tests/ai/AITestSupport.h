// SPDX-License-Identifier: MIT
#pragma once

#include "ai/KeychainHelper.h"
#include "ai/OpenAIClient.h"
#include "ai/ProxyError.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeSecretStore.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

// An in-memory keyring.
struct TestKeyring {
    void putKey(const QByteArray& key)
    {
        store.put(KeychainHelper::service, KeychainHelper::openAIAccount, key);
    }

    FakeSecretStore store;
};

// Everything a test of the AI back-ends stands on: private settings, a keyring, a log, a
// clock the test moves, and a loopback HTTP server.
class AIBackendTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Each exchange leaves its time-out asleep on the clock; let them all run out so
        // none outlives the clock they wait on.
        fakeClock.advance(std::chrono::minutes(10));
    }

    static void setDefault(const char* key, const QJsonValue& value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromUtf8(key), value));
    }

    // Runs a coroutine to its end in a nested event loop.
    template <class T> static T await(QCoro::Task<T> task)
    {
        return QCoro::waitFor(std::move(task));
    }

    // An address where nothing listens.
    static QString refusingBaseURL()
    {
        QTcpServer probe;
        EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1").arg(port);
    }

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    FakeClock fakeClock;
    ScopedLogCapture log;
    TestKeyring keyring;
    LoopbackServer server;
};

// Readable failures for the results of the back-ends.
inline void PrintTo(const Completion& completion, std::ostream* os)
{
    *os << "Completion{\"" << completion.text.toStdString() << "\", " << completion.promptTokens
        << ", " << completion.completionTokens << '}';
}

inline void PrintTo(const OpenAIError& error, std::ostream* os)
{
    *os << "OpenAIError{\"" << error.message.toStdString() << "\", auth " << error.isAuthError
        << '}';
}

inline void PrintTo(const ProxyError& error, std::ostream* os)
{
    *os << "ProxyError{code " << (error.code ? rawValue(*error.code).toStdString() : "none")
        << ", \"" << error.message.toStdString() << "\", \"" << error.logDetail.toStdString()
        << "\", " << caseName(error.recovery).toStdString() << '}';
}

namespace HttpExchange {
inline void PrintTo(const TransportError& error, std::ostream* os)
{
    *os << "TransportError{\"" << error.description.toStdString() << "\"}";
}
} // namespace HttpExchange
