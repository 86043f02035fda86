// SPDX-License-Identifier: MIT
#pragma once

#include "LoopbackServer.h"
#include "app/AppDelegate.h"
#include "core/PopoverModel.h"
#include "settings/Preferences.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeDesktop.h"
#include "support/fakes/FakeKeyboardLayout.h"
#include "support/fakes/FakeSecretStore.h"
#include "support/fakes/MemoryLogSink.h"

#include <QJsonValue>
#include <functional>
#include <gtest/gtest.h>
#include <list>
#include <memory>

using namespace Qt::StringLiterals;

// The whole app delegate on a desktop of recording fakes, private settings, a clock the
// test moves and a loopback hosted AI service.
class FlowTest : public ::testing::Test {
protected:
    FlowTest();
    ~FlowTest() override;
    void TearDown() override;

    // Creates the delegate and runs its launch sequence.
    void launch();
    // The user selects this text in an application and presses the shortcut.
    void triggerWithSelection(const QString& text, CaptureMethod method = CaptureMethod::ax);
    // The hosted service answers every request with this text and these token counts.
    void serviceReplies(const QString& text, int64_t promptTokens = 12,
                        int64_t completionTokens = 7);
    // Runs an action as the panel's action rows do and waits until the run is over.
    void runToEnd(const TextAction& action);
    // Starts an action and leaves it in flight; the test ends only once it is over.
    QCoro::Task<>& startRun(const TextAction& action);
    // Lets the service answer every run started with startRun().
    void waitForRunsInFlight();
    // A panel showing the service's answer to an action on this selection.
    void openResult(const QString& original, const QString& answer);
    // A panel showing the error of a reply the service got wrong.
    void openError(const QString& original);

    static void setDefault(const char* key, const QJsonValue& value);
    PopoverModel& model() { return desktop.popover->model(); }
    const PopoverState& state() { return model().state(); }
    // The lines logged since the last call of clearLog().
    QStringList logLines() const { return m_log.lines(); }
    void clearLog()
    {
        m_log.clear();
        desktop.journal.clear();
    }

    static const TargetApplication editor;

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    FakeClock fakeClock;
    FakeKeyboardLayout m_layout{{17, u"t"_s}, {15, u"r"_s}, {5, u"g"_s}}; // US, so "⌥⌘T"
    FakeDesktop desktop{m_layout};
    LoopbackServer server;
    FakeSecretStore secrets;
    std::unique_ptr<AppDelegate> delegate;

private:
    std::list<QCoro::Task<>> m_inFlight;   // a list, so references to its tasks stay valid
    MemoryLogSink m_log{&desktop.journal}; // log lines also go to the journal as "log LINE"
};
