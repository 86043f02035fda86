// SPDX-License-Identifier: MIT
#pragma once

#include "ai/AIGateway.h"
#include "app/AppComponents.h"
#include "capture/CapturedSelection.h"
#include "core/Clock.h"
#include "core/HotkeyShortcut.h"
#include "core/TextAction.h"
#include "platform/KeyboardLayout.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <type_traits>

// The spine of the application. It creates every long-lived component at launch, wires
// their callbacks and runs one panel cycle: trigger → capture → panel → action → result →
// replace or copy → back or dismiss. It has no user interface of its own.
//
// Main thread only. The asynchronous operations are coroutines that suspend only at their
// awaited calls; a result that arrives late is recognised by `generation`, never by
// cancellation. Every callback handed to a component holds the delegate weakly: once the
// delegate is gone it does nothing, and a predicate answers false.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // The layout names keys in the log; the clock times the cycle, the key store holds the
    // own key and the preferences the rest. All four are borrowed and must outlive the
    // delegate.
    AppDelegate(AppComponents components, KeyCharacters& layout, Clock& clock, SecretStore& secrets,
                Preferences& preferences, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence: creates and wires the components in their fixed order.
    void launch();

    // What the shortcut, a double tap and `quillmark trigger` do: close the panel when it
    // is open, otherwise start a capture; nothing while a capture or a paste is under way.
    void togglePanel(const QString& source);
    // What starting Quillmark again while it runs does: the settings window opens.
    void openSettingsForSecondStart();
    QCoro::Task<> captureAndShow();
    QCoro::Task<> run(TextAction action);
    // Copies the text, confirms it on the Copy button and closes the panel a moment later.
    QCoro::Task<> copyResult();
    QCoro::Task<> replaceResult();
    void backToReady(const QString& reason);
    // The session keys, delivered only while the panel is open.
    void escapePressed();
    void actionKeyPressed(int number);
    void startPermissionPoll();
    void runProxySelfTestIfRequested();
    static QString preservingEdgeWhitespace(const QString& original, const QString& result);

    // The state of the current panel cycle.
    const std::optional<CapturedSelection>& lastCapture() const { return m_lastCapture; }
    const std::optional<TextAction>& lastAction() const { return m_lastAction; }
    int64_t generation() const { return m_generation; }
    bool isPermissionPollRunning() const { return m_permissionPoll != nullptr; }

private:
    // A task cannot be cancelled from outside, so the poll checks this after each sleep.
    struct CancellationFlag {
        bool cancelled = false;
    };

    // Builds and wires the panel the first time it is needed.
    void ensurePopover();
    void wirePopoverModel();
    void registerStoredShortcut(HotkeyRegistrar& hotkey);
    void startKeyMigration();
    bool changeHotkey(const HotkeyShortcut& shortcut);
    void recordingChanged(bool isRecording);
    void cancelPermissionPoll();
    QCoro::Task<> pollPermission(std::shared_ptr<CancellationFlag> cancellation);
    QCoro::Task<> runProxySelfTest(TextAction action);
    void writeToClipboardInstead(const QString& text, const QString& message);
    // Marks a capture or a paste as under way, or over.
    void setBusy(bool busy);

    // Wraps a member operation for a component's callback: it runs only while the
    // delegate lives and otherwise answers a default value (false for predicates).
    template <class Body> auto weakly(Body body)
    {
        return [self = QPointer<AppDelegate>(this), body](auto&&... args) {
            using Result = std::invoke_result_t<Body, AppDelegate&, decltype(args)...>;
            if (!self) {
                if constexpr (std::is_void_v<Result>)
                    return;
                else
                    return Result{};
            }
            return body(*self, std::forward<decltype(args)>(args)...);
        };
    }

    AppComponents m_components;
    KeyCharacters& m_layout;
    Clock& m_clock;
    Preferences& m_preferences;
    AIGateway m_gateway;

    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<HotkeyRegistrar> m_hotkey;
    std::unique_ptr<DoubleTapTrigger> m_doubleTap;
    std::unique_ptr<PopoverPresenter> m_popover;
    // Set once the launch sequence has run to its end.
    bool m_launched = false;
    std::unique_ptr<SettingsWindow> m_settings;
    std::unique_ptr<Updater> m_updates;
    std::unique_ptr<WelcomeGuide> m_onboarding;
    std::optional<CapturedSelection> m_lastCapture;
    std::optional<TextAction> m_lastAction;
    std::shared_ptr<CancellationFlag> m_permissionPoll;
    int64_t m_generation = 0;
    // A capture or a paste is under way; triggers are ignored and the first one is logged.
    bool m_busy = false;
    bool m_busyTriggerLogged = false;
};
