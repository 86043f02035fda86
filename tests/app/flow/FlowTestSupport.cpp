// SPDX-License-Identifier: MIT
#include "FlowTestSupport.h"
#include "core/Log.h"

#include "settings/UserDefaults.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <algorithm>

const TargetApplication FlowTest::editor{0x3a00007, 4242, QStringLiteral("Mousepad"),
                                         QStringLiteral("notes.txt - Mousepad")};

FlowTest::FlowTest()
{
    Log::setSink(&m_log);
    setDefault(DefaultsKey::proxyBaseURL, server.baseURL());
}

FlowTest::~FlowTest()
{
    delegate.reset();
    Log::setSink(nullptr);
}

void FlowTest::TearDown()
{
    waitForRunsInFlight();
    // Every HTTP exchange leaves its time-out asleep on the clock, and the key migration
    // may still run on a pool thread; both must be over before the fakes go away.
    fakeClock.advance(std::chrono::minutes(10));
    QThreadPool::globalInstance()->waitForDone();
}

void FlowTest::launch()
{
    delegate = std::make_unique<AppDelegate>(desktop.components(), m_layout, fakeClock, secrets,
                                             preferences);
    delegate->launch();
    // The key migration records from its pool thread; let it land before the test goes on.
    QThreadPool::globalInstance()->waitForDone();
    // The panel is built on the event loop's next turn.
    QCoreApplication::processEvents();
}

void FlowTest::triggerWithSelection(const QString& text, CaptureMethod method)
{
    desktop.selection->next = CapturedSelection{text, method, editor};
    desktop.hotkey->pressHotkey();
}

void FlowTest::serviceReplies(const QString& text, int64_t promptTokens, int64_t completionTokens)
{
    const QJsonObject reply{
        {"text", text},
        {"usage", QJsonObject{{"prompt_tokens", qint64(promptTokens)},
                              {"completion_tokens", qint64(completionTokens)}}}};
    server.setReply(
        LoopbackServer::Reply::json(200, QJsonDocument(reply).toJson(QJsonDocument::Compact)));
}

void FlowTest::runToEnd(const TextAction& action)
{
    QCoro::Task<> running = delegate->run(action);
    ASSERT_TRUE(waitUntil([&] { return running.isReady(); }));
}

QCoro::Task<>& FlowTest::startRun(const TextAction& action)
{
    m_inFlight.push_back(delegate->run(action));
    return m_inFlight.back();
}

void FlowTest::waitForRunsInFlight()
{
    EXPECT_TRUE(waitUntil([this] {
        return std::all_of(m_inFlight.begin(), m_inFlight.end(),
                           [](const QCoro::Task<>& task) { return task.isReady(); });
    }));
}

void FlowTest::openResult(const QString& original, const QString& answer)
{
    serviceReplies(answer);
    triggerWithSelection(original);
    runToEnd(TextAction::fixGrammar());
    ASSERT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
}

void FlowTest::openError(const QString& original)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":""})"));
    triggerWithSelection(original);
    runToEnd(TextAction::fixGrammar());
    ASSERT_TRUE(state().is(PopoverState::Kind::error));
}

void FlowTest::setDefault(const char* key, const QJsonValue& value)
{
    ASSERT_TRUE(UserDefaults::standard().set(QString::fromUtf8(key), value));
}
