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
#include "support/fakes/FakeAccessibilityBus.h"
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

// A loopback port where nothing listens.
quint16 refusingPort()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
    return probe.serverPort();
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
        guide.onRecordingChange = [this](bool isRecording) {
            calls.append(isRecording ? QStringLiteral("recording") : QStringLiteral("stopped"));
        };
        guide.onDoubleTapChange = [this](DoubleTapModifier modifier) {
            // The preference is already stored when the owner hears of the change.
            calls.append(QStringLiteral("double tap ") + rawValue(modifier) +
                         QStringLiteral(" stored ") + rawValue(Preferences::doubleTapModifier()));
        };
        guide.onOpenSettings = [this] { calls.append(QStringLiteral("open settings")); };
        // Nothing on this computer's own ports is asked.
        guide.setProbeCandidates({});
    }
    // A poll left waiting on the fake clock would never end.
    ~OnboardingTest() override
    {
        guide.close();
        time.clock.advance(OnboardingWindowController::pollInterval);
    }

    OnboardingView& view() const { return *guide.view(); }
    ShortcutRecorderView& recorder() const { return view().welcomePage().recorder(); }
    void record(Key key, Qt::KeyboardModifiers held)
    {
        QTest::mouseClick(&recorder(), Qt::LeftButton);
        press(&recorder(), key, held);
        if (recorder().isRecording())
            press(&recorder(), escape);
    }

    ScopedConfigHome config;
    ScopedFakeClock time;
    ScopedLogCapture log;
    ScopedLayout layout;
    FakeAccessibilityPermission accessibility;
    int relaunches = 0;
    bool systemAccepts = true;
    QStringList calls;
    FakeAccessibilityBus bus;
    FakeSecretStore keyring;
    OnboardingWindowController guide{
        accessibility, layout.layout, time.clock, keyring, [this] { ++relaunches; }, &bus};
};

TEST_F(OnboardingTest, ShowsOnceOnTheFirstRunEvenIfNotFinished)
{
    guide.showIfFirstRun();
    ASSERT_NE(guide.window(), nullptr);
    EXPECT_TRUE(guide.window()->isVisible());
    EXPECT_EQ(guide.window()->windowTitle(), QStringLiteral("Welcome to Quillmark"));
    EXPECT_TRUE(Preferences::flag(DefaultsKey::hasSeenOnboarding));
    EXPECT_EQ(log.lines(), QStringList{"info app: first run — showing the welcome guide"});
    guide.window()->close();

    OnboardingWindowController nextLaunch(accessibility, layout.layout, time.clock, keyring, [] {});
    nextLaunch.showIfFirstRun();
    EXPECT_EQ(nextLaunch.window(), nullptr);
    EXPECT_EQ(log.lines().size(), 1);
}

TEST_F(OnboardingTest, PagesForwardAndBackAndReturnFinishesOnTheLast)
{
    guide.show();
    struct Page {
        int step;
        bool back;
        QString primary;
    };
    const QList<Page> pages = {{0, false, QStringLiteral("Next")},
                               {1, true, QStringLiteral("Next")},
                               {2, true, QStringLiteral("Next")},
                               {3, true, QStringLiteral("Start using Quillmark")}};
    for (const Page& page : pages) {
        SCOPED_TRACE(page.step);
        EXPECT_EQ(view().step(), page.step);
        EXPECT_EQ(!view().backButton().isHidden(), page.back);
        EXPECT_EQ(view().primaryButton().text(), page.primary);
        QTest::keyClick(&view(), Qt::Key_Return);
    }
    EXPECT_FALSE(guide.window()->isVisible());
    EXPECT_FALSE(guide.isPollRunning());

    guide.show();
    EXPECT_EQ(view().step(), 0) << "opened afresh, the guide starts over";
    view().goForward();
    view().goForward();
    view().backButton().click();
    EXPECT_EQ(view().step(), 1);
    guide.show();
    EXPECT_EQ(view().step(), 1) << "shown while open, it stays on its page";
}

TEST_F(OnboardingTest, RecordingOnTheFirstPageAnswersLikeTheSettings)
{
    guide.show();
    record(digit1, Qt::AltModifier);
    EXPECT_EQ(view().welcomePage().shortcutError(),
              QStringLiteral("Alt+1 belongs to the Quillmark panel's own row shortcuts while it "
                             "is open."));
    EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);

    systemAccepts = false;
    record(keyK, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(view().welcomePage().shortcutError(),
              QStringLiteral("Already used by another application: Ctrl+Alt+K."));
    EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);

    systemAccepts = true;
    record(keyK, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(view().welcomePage().shortcutError(), QString());
    EXPECT_EQ(Preferences::hotkeyShortcut(), controlOptionK);
    EXPECT_EQ(recorder().displayTitle(), QStringLiteral("Ctrl+Alt+K"));
    EXPECT_EQ(view().usagePage().keyCaps().labels(), QStringList({"Ctrl", "Alt", "K"}));
    EXPECT_EQ(log.lines().filter(QStringLiteral("onboarding")),
              QStringList{"info app: shortcut set during onboarding: ⌃⌥K"});
    EXPECT_EQ(calls, QStringList({"recording", "stopped", "recording", "register ⌃⌥K", "stopped",
                                  "recording", "register ⌃⌥K", "stopped"}));
}

TEST_F(OnboardingTest, DoubleTapChoiceIsStoredBeforeTheOwnerHearsOfIt)
{
    guide.show();
    WelcomePage& page = view().welcomePage();
    QComboBox& picker = page.doubleTapPicker();
    const int option = picker.findData(QStringLiteral("option"));
    picker.setCurrentIndex(option);
    emit picker.activated(option);
    EXPECT_EQ(calls, QStringList{"double tap option stored option"});
    EXPECT_EQ(page.doubleTapHint(),
              QStringLiteral("Tap Alt twice quickly, with nothing else held. Holding it, or "
                             "pressing any key with it, is ignored."));
}

TEST_F(OnboardingTest, PermissionPageSwitchesWithinASecondOfTheGrant)
{
    accessibility.trusted = false;
    guide.show();
    guide.show();
    EXPECT_EQ(time.clock.pendingSleeps(), 1) << "showing again replaces the poll";
    view().goForward();
    EXPECT_FALSE(view().permissionPage().isShowingGranted());

    accessibility.trusted = true;
    time.clock.advance(999ms);
    EXPECT_FALSE(view().permissionPage().isShowingGranted());
    time.clock.advance(1ms);
    EXPECT_TRUE(view().permissionPage().isShowingGranted());
    EXPECT_EQ(time.clock.pendingSleeps(), 1);
    EXPECT_EQ(view().step(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("welcome guide")),
              QStringList{"info app: welcome guide: accessibility became granted"});

    accessibility.trusted = false;
    time.clock.advance(1s);
    EXPECT_FALSE(view().permissionPage().isShowingGranted());
    EXPECT_EQ(log.lines().last(),
              QStringLiteral("info app: welcome guide: accessibility became revoked"));

    guide.close();
    accessibility.trusted = true;
    time.clock.advance(2s);
    EXPECT_FALSE(view().permissionPage().isShowingGranted()) << "no poll once closed";
    EXPECT_EQ(time.clock.pendingSleeps(), 0);
}

TEST_F(OnboardingTest, ButtonsPromptOpenSettingsAndRelaunch)
{
    accessibility.trusted = false;
    guide.show();
    const QList<QPushButton*> buttons = view().findChildren<QPushButton*>();
    const auto button = [&buttons](const QString& text) {
        for (QPushButton* candidate : buttons) {
            if (candidate->text() == text)
                return candidate;
        }
        ADD_FAILURE() << text.toStdString();
        return buttons.first();
    };
    button(QStringLiteral("How to fix it"))->click();
    EXPECT_EQ(accessibility.calls(), QStringList({"promptIfNeeded", "openSystemSettings"}));
    button(QStringLiteral("Already fixed it? Relaunch Quillmark"))->click();
    EXPECT_EQ(relaunches, 1);

    EXPECT_EQ(view().usagePage().keyCaps().labels(), QStringList({"Alt", "Super", "T"}));
    button(QStringLiteral("Open Settings"))->click();
    EXPECT_EQ(calls, QStringList{"open settings"});
    EXPECT_TRUE(guide.window()->isVisible()) << "the guide stays open";
}

TEST_F(OnboardingTest, PermissionPageNamesWhatTheXServerLacks)
{
    const QString both = QStringLiteral(
        "Quillmark reads your selected text and pastes the result back through two extensions "
        "of the X server, XTEST and XInputExtension.");
    const std::pair<QStringList, QString> rows[] = {
        {{}, both.chopped(1) + QStringLiteral(", and they are not available here.")},
        {{"XTEST"}, both + QStringLiteral(" This X server lacks XTEST.")},
        {{"XTEST", "XInputExtension"},
         both + QStringLiteral(" This X server lacks XTEST and XInputExtension.")},
        {{"X display"},
         QStringLiteral("Quillmark reads your selected text and pastes the result back through "
                        "the X server (X11, or XWayland under Wayland), and no X server "
                        "answered.")},
    };
    accessibility.trusted = false;
    for (const auto& [missing, cause] : rows) {
        accessibility.missing = missing;
        guide.show();
        EXPECT_EQ(view().permissionPage().causeText(), cause);
    }
}

// The bus is the desktop's: switching it on is offered only while it is off, and says
// that applications already running keep going without it.
TEST_F(OnboardingTest, PermissionPageSwitchesTheAccessibilityBusOn)
{
    guide.show();
    PermissionPage& page = view().permissionPage();
    EXPECT_EQ(page.busText(), QString()) << "nothing to say while it is on";

    bus.state = AccessibilityBus::State::off;
    bus.acceptsSwitchOn = false;
    guide.show();
    EXPECT_EQ(page.busText(),
              QStringLiteral("The accessibility bus is switched off, so Quillmark copies your "
                             "selection through the clipboard instead of reading it directly."));
    page.switchOnButton().click();
    EXPECT_EQ(page.busText(), QStringLiteral("The accessibility bus could not be switched on. Is "
                                             "at-spi2-core installed?"));
    EXPECT_FALSE(page.switchOnButton().isHidden());

    bus.acceptsSwitchOn = true;
    page.switchOnButton().click();
    guide.show();
    EXPECT_EQ(page.busText(),
              QStringLiteral("The accessibility bus is on. Applications started before need a "
                             "restart before Quillmark can read from them."));
    EXPECT_TRUE(page.switchOnButton().isHidden());
    EXPECT_EQ(bus.calls, QStringList({"read", "read", "switch on", "switch on", "read"}));
}

// One search, one port of each kind, the silent one first: the others are answered while it
// still waits, and it is given up on the clock.
TEST_F(OnboardingTest, ProbeAsksAllPortsAtOnceAndOffersThoseListingModels)
{
    LoopbackServer silent, webPage, ollama;
    silent.setReply(LoopbackServer::Reply::silence());
    webPage.setReply(LoopbackServer::Reply::json(200, "<html>router login</html>"));
    ollama.setReply(LoopbackServer::Reply::json(200, twoModels));
    auto probe = LocalServerProbe::find(time.clock, {{"silent", portOf(silent)},
                                                     {"refusing", refusingPort()},
                                                     {"web page", portOf(webPage)},
                                                     {"Ollama", portOf(ollama)}});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return ollama.requests().size() == 1 && time.clock.pendingSleeps() == 1;
    })) << "only the silent port's time-out is left";
    EXPECT_EQ(silent.requests().size(), 1);
    time.clock.advance(LocalServerProbe::timeout);
    EXPECT_EQ(
        QCoro::waitFor(std::move(probe)),
        (QList<LocalServerProbe::Server>{{"Ollama", ollama.baseURL(), {"llama3.2", "qwen2.5"}}}));
    EXPECT_EQ(ollama.requests().first().path, "/v1/models");
    EXPECT_EQ(log.lines().last(), "info ai: local servers: 1 of 4 answered (Ollama)");
}

// The connect page finds a loopback server posing as a local model server; the last page says
// what is missing until a service is chosen there.
TEST_F(OnboardingTest, ConnectPageFindsALocalServerAndTheLastPageWaitsForAChoice)
{
    LoopbackServer ollama;
    ollama.setReply(LoopbackServer::Reply::json(200, twoModels));
    guide.setProbeCandidates({{"Ollama", portOf(ollama)}, {"vLLM", refusingPort()}});
    guide.show();
    ConnectPage& page = view().connectPage();
    const auto searched = [&] { return QTest::qWaitFor([&] { return !page.isSearching(); }); };
    view().goForward();
    view().goForward();
    ASSERT_TRUE(searched());
    EXPECT_EQ(page.searchText(), QStringLiteral("Running here: Ollama."));
    EXPECT_EQ(page.serverPicker().itemText(1), QStringLiteral("qwen2.5 — Ollama"));
    EXPECT_EQ(page.choiceText(), QStringLiteral("Nothing is connected yet."));
    view().goForward();
    EXPECT_EQ(view().usagePage().serviceText(),
              QStringLiteral("Connect an AI service to use Quillmark"));

    view().usagePage().connectButton().click();
    EXPECT_EQ(view().step(), OnboardingView::connectStep);
    ASSERT_TRUE(searched());
    page.keyField().setText(QStringLiteral("  sk-test\n"));
    page.saveKeyButton().click();
    EXPECT_EQ(keyring.stored(KeychainHelper::service, KeychainHelper::openAIAccount), "sk-test");
    EXPECT_EQ(page.keyField().text(), QString()) << "never shown back";
    EXPECT_EQ(Preferences::aiService().service, AIService::openAI);
    view().goBack();
    view().goForward();
    ASSERT_TRUE(searched());
    ASSERT_EQ(ollama.requests().size(), 3);
    EXPECT_FALSE(ollama.requests().last().header("Authorization")) << "the key stays home";

    page.serverPicker().setCurrentIndex(1);
    page.useServerButton().click();
    EXPECT_EQ(Preferences::aiService(), (AIServiceChoice{AIService::compatible, ollama.baseURL()}));
    EXPECT_EQ(Preferences::model(), QStringLiteral("qwen2.5"));
    EXPECT_EQ(page.choiceText(),
              QStringLiteral("Connected: the server at %1, model qwen2.5.").arg(ollama.baseURL()));
    view().goForward();
    EXPECT_EQ(view().usagePage().serviceText(), QStringLiteral("You're all set."));
    EXPECT_TRUE(view().usagePage().connectButton().isHidden());

    view().goBack();
    ASSERT_TRUE(searched());
    page.relayField().setText(QStringLiteral("relay.example.org"));
    page.useRelayButton().click();
    EXPECT_EQ(Preferences::aiService().service, AIService::compatible) << "not an address";
    page.relayField().setText(QStringLiteral("https://relay.example.org"));
    page.useRelayButton().click();
    EXPECT_EQ(Preferences::aiService(),
              (AIServiceChoice{AIService::relay, QStringLiteral("https://relay.example.org")}));
}

} // namespace
