// SPDX-License-Identifier: MIT
#include "ai/KeychainHelper.h"
#include "ai/LocalServerProbe.h"
#include "onboarding/guide/ConnectPage.h"
#include "onboarding/guide/KeyCaps.h"
#include "onboarding/guide/OnboardingView.h"
#include "onboarding/guide/OnboardingWindowController.h"
#include "onboarding/guide/PermissionPage.h"
#include "onboarding/guide/UsagePage.h"
#include "onboarding/guide/WelcomePage.h"
#include "settings/Preferences.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeSecretStore.h"
#include "ui/settings/KeyScript.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace KeyScript;

namespace {

const HotkeyShortcut optionCommandT = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut controlOptionK{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

quint16 portOf(const LoopbackServer& server)
{
    return quint16(QUrl(server.baseURL()).port());
}

const QByteArray twoModels = R"({"data": [{"id": "llama3.2"}, {"id": "qwen2.5"}]})";

class OnboardingTest : public ::testing::Test {
protected:
    OnboardingTest()
    {
        guide.onHotkeyChange = [this](const HotkeyShortcut& shortcut) {
            calls.append(QStringLiteral("register ") + shortcut.displayString(layout.layout));
            return systemAccepts;
        };
        guide.onRecordingChange = [this](bool on) { calls.append(on ? "recording" : "stopped"); };
        guide.onDoubleTapChange = [this](DoubleTapModifier modifier) {
            // The preference is already stored when the owner hears of the change.
            calls.append("double tap " + rawValue(modifier) + " stored " +
                         rawValue(preferences.doubleTapModifier()));
        };
        // Nothing on this computer's own ports is asked.
        guide.setProbeCandidates({});
    }
    // A poll left waiting on the fake clock would never end.
    ~OnboardingTest() override
    {
        guide.close();
        time.advance(OnboardingWindowController::pollInterval);
    }

    OnboardingView& view() const { return *guide.view(); }
    // Records the key on the first page, giving up on a refused one with Escape; what the
    // page says then.
    QString record(Key key, Qt::KeyboardModifiers held)
    {
        ShortcutRecorderView& recorder = view().welcomePage().recorder();
        QTest::mouseClick(&recorder, Qt::LeftButton);
        press(&recorder, key, held);
        if (recorder.isRecording())
            press(&recorder, escape);
        return view().welcomePage().shortcutError();
    }
    // Clicks the guide's button with this title.
    void click(const QString& title)
    {
        for (QPushButton* button : view().findChildren<QPushButton*>()) {
            if (button->text() == title)
                return button->click();
        }
        ADD_FAILURE() << title.toStdString();
    }

    ScopedConfigHome config;
    Preferences preferences{UserDefaults::standard()};
    FakeClock time;
    ScopedLogCapture log;
    ScopedLayout layout;
    FakeAccessibilityPermission accessibility;
    int relaunches = 0;
    bool systemAccepts = true;
    QStringList calls;
    FakeSecretStore keyring;
    OnboardingWindowController guide{accessibility, layout.layout, time,
                                     keyring,       preferences,   [this] { ++relaunches; }};
};

TEST_F(OnboardingTest, ShowsOnceOnTheFirstRunEvenIfNotFinished)
{
    guide.showIfFirstRun();
    ASSERT_NE(guide.window(), nullptr);
    EXPECT_TRUE(guide.window()->isVisible());
    EXPECT_TRUE(preferences.flag(DefaultsKey::hasSeenOnboarding));
    guide.window()->close();

    OnboardingWindowController nextLaunch(accessibility, layout.layout, time, keyring, preferences,
                                          [] {});
    nextLaunch.showIfFirstRun();
    EXPECT_EQ(nextLaunch.window(), nullptr);
}

// The first page records the shortcut by the settings' rules, and stores the double-tap
// choice before the owner hears of it.
TEST_F(OnboardingTest, RecordingOnTheFirstPageAnswersLikeTheSettings)
{
    guide.show();
    EXPECT_EQ(record(digit1, Qt::AltModifier),
              "Alt+1 belongs to the Quillmark panel's own row shortcuts while it is open.");
    systemAccepts = false;
    EXPECT_EQ(record(keyK, Qt::ControlModifier | Qt::AltModifier),
              "Already used by another application: Ctrl+Alt+K.");
    EXPECT_EQ(preferences.hotkeyShortcut(), optionCommandT);
    systemAccepts = true;
    EXPECT_EQ(record(keyK, Qt::ControlModifier | Qt::AltModifier), QString());
    EXPECT_EQ(preferences.hotkeyShortcut(), controlOptionK);
    EXPECT_EQ(view().welcomePage().recorder().displayTitle(), QStringLiteral("Ctrl+Alt+K"));
    EXPECT_EQ(view().usagePage().keyCaps().labels(), QStringList({"Ctrl", "Alt", "K"}));
    EXPECT_EQ(log.lines().filter(QStringLiteral("onboarding")),
              QStringList{"info app: shortcut set during onboarding: ⌃⌥K"});

    QComboBox& picker = view().welcomePage().doubleTapPicker();
    picker.setCurrentIndex(picker.findData(QStringLiteral("option")));
    emit picker.activated(picker.currentIndex());
    EXPECT_EQ(calls, QStringList({"recording", "stopped", "recording", "register ⌃⌥K", "stopped",
                                  "recording", "register ⌃⌥K", "stopped",
                                  "double tap option stored option"}));
}

// The permission page switches within a second of the grant or the loss, once per showing,
// and not at all once closed; its button relaunches.
TEST_F(OnboardingTest, PermissionPageSwitchesWithinASecondOfTheGrant)
{
    accessibility.trusted = false;
    guide.show();
    guide.show();
    EXPECT_EQ(time.pendingSleeps(), 1) << "showing again replaces the poll";
    view().goForward();
    EXPECT_FALSE(view().permissionPage().isShowingGranted());
    click(QStringLiteral("Already fixed it? Relaunch Quillmark"));
    EXPECT_EQ(relaunches, 1);

    accessibility.trusted = true;
    time.advance(999ms);
    EXPECT_FALSE(view().permissionPage().isShowingGranted());
    time.advance(1ms);
    EXPECT_TRUE(view().permissionPage().isShowingGranted());
    EXPECT_EQ(view().step(), 1);
    accessibility.trusted = false;
    time.advance(1s);
    EXPECT_FALSE(view().permissionPage().isShowingGranted());

    guide.close();
    accessibility.trusted = true;
    time.advance(2s);
    EXPECT_FALSE(view().permissionPage().isShowingGranted()) << "no poll once closed";
    EXPECT_EQ(time.pendingSleeps(), 0);
}

// The connect page asks every local port at once and offers the servers that list models:
// the silent one is given up on the clock, a web page or a refused port offers nothing. The
// last page says what is missing until a service is chosen there: a key (kept off the local
// servers), a local server or a relay address.
TEST_F(OnboardingTest, ConnectPageFindsALocalServerAndTheLastPageWaitsForAChoice)
{
    LoopbackServer silent, webPage, ollama;
    silent.setReply(LoopbackServer::Reply::silence());
    webPage.setReply(LoopbackServer::Reply::json(200, "<html>router login</html>"));
    ollama.setReply(LoopbackServer::Reply::json(200, twoModels));
    QTcpServer refusing; // nothing listens once it is closed
    ASSERT_TRUE(refusing.listen(QHostAddress::LocalHost));
    const quint16 refused = refusing.serverPort();
    refusing.close();
    guide.setProbeCandidates({{"silent", portOf(silent)},
                              {"refusing", refused},
                              {"web page", portOf(webPage)},
                              {"Ollama", portOf(ollama)}});
    guide.show();
    ConnectPage& page = view().connectPage();
    view().goForward();
    view().goForward();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return ollama.requests().size() == 1 && time.pendingSleeps() == 2;
    })) << "only the silent port's time-out (and the permission poll) is left";
    EXPECT_EQ(silent.requests().size(), 1);
    time.advance(LocalServerProbe::timeout);
    const auto searched = [&] { return QTest::qWaitFor([&] { return !page.isSearching(); }); };
    ASSERT_TRUE(searched());
    EXPECT_EQ(ollama.requests().first().path, "/v1/models");
    EXPECT_EQ(log.lines().last(), "info ai: local servers: 1 of 4 answered (Ollama)");
    EXPECT_EQ(page.searchText(), QStringLiteral("Running here: Ollama."));
    EXPECT_EQ(page.serverPicker().itemText(1), QStringLiteral("qwen2.5 — Ollama"));
    view().goForward();
    EXPECT_EQ(view().usagePage().serviceText(), "Connect an AI service to use Quillmark");

    guide.setProbeCandidates({{"Ollama", portOf(ollama)}});
    view().usagePage().connectButton().click();
    EXPECT_EQ(view().step(), OnboardingView::connectStep);
    ASSERT_TRUE(searched());
    page.keyField().setText(QStringLiteral("  sk-test\n"));
    page.saveKeyButton().click();
    EXPECT_EQ(keyring.stored(KeychainHelper::service, KeychainHelper::openAIAccount), "sk-test");
    EXPECT_EQ(page.keyField().text(), QString()) << "never shown back";
    EXPECT_EQ(preferences.aiService().service, AIService::openAI);
    view().goBack();
    view().goForward();
    ASSERT_TRUE(searched());
    EXPECT_FALSE(ollama.requests().last().header("Authorization")) << "the key stays home";

    page.serverPicker().setCurrentIndex(1);
    page.useServerButton().click();
    EXPECT_EQ(preferences.aiService(), (AIServiceChoice{AIService::compatible, ollama.baseURL()}));
    EXPECT_EQ(preferences.model(), QStringLiteral("qwen2.5"));
    view().goForward();
    EXPECT_EQ(view().usagePage().serviceText(), QStringLiteral("You're all set."));

    view().goBack();
    ASSERT_TRUE(searched());
    page.relayField().setText(QStringLiteral("relay.example.org"));
    page.useRelayButton().click();
    EXPECT_EQ(preferences.aiService().service, AIService::compatible) << "not an address";
    page.relayField().setText(QStringLiteral("https://relay.example.org"));
    page.useRelayButton().click();
    EXPECT_EQ(preferences.aiService(),
              (AIServiceChoice{AIService::relay, QStringLiteral("https://relay.example.org")}));
}

} // namespace
