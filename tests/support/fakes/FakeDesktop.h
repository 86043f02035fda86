// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppComponents.h"
#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "support/fakes/CallJournal.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeSecureInput.h"

#include <QList>

// The recording fakes of the app delegate's desktop. Each writes what it was asked into the
// shared journal as "component.call" ("popover.show", "hotkey.register(⌥⌘T)"); FakeDesktop
// records "component.create" when it makes a long-lived one.
class Recorder {
public:
    explicit Recorder(CallJournal& journal)
        : m_journal(journal)
    {}

protected:
    // Records the entry and passes the answer on.
    bool note(const QString& entry, bool answer = true) const
    {
        m_journal.record(entry);
        return answer;
    }

private:
    CallJournal& m_journal;
};

// Never takes over.
struct FakeApplicationMover final : ApplicationMover, Recorder {
    using Recorder::Recorder;
    bool offerIfRunningFromDiskImage() override
    {
        return note(u"mover.offerIfRunningFromDiskImage"_s, false);
    }
    void ejectSourceVolumeIfAsked() override { note(u"mover.ejectSourceVolumeIfAsked"_s); }
};

struct FakeHotkeySelfTest final : HotkeySelfTest, Recorder {
    using Recorder::Recorder;
    void runIfRequested(HotkeyRegistrar&) override { note(u"hotkeySelfTest.runIfRequested"_s); }
};

// Pastes at once; `insertable` answers whether it could.
struct FakePasteBack final : PasteBack, Recorder {
    using Recorder::Recorder;
    QCoro::Task<> paste(QString text, std::optional<TargetApplication>) override
    {
        note(u"pasteBack.paste(%1)"_s.arg(text));
        co_return;
    }
    void copy(const QString& text) override { note(u"pasteBack.copy(%1)"_s.arg(text)); }
    bool canInsert(const std::optional<TargetApplication>&) const override { return insertable; }
    bool insertable = true;
};

// Answers every capture with `next` at once.
struct FakeSelectionReader final : SelectionReader, Recorder {
    using Recorder::Recorder;
    QCoro::Task<std::optional<CapturedSelection>> capture() override
    {
        note(u"selection.capture"_s);
        co_return next;
    }
    std::optional<CapturedSelection> next;
};

// Every application runs on.
struct FakeRunningApplications final : RunningApplications {
    bool isTerminated(const TargetApplication&) const override { return false; }
};

struct FakeStatusItem final : StatusItem, Recorder {
    using Recorder::Recorder;
    void flash() override { note(u"statusItem.flash"_s); }
};

// `checkPossible` answers whether a check can start.
struct FakeUpdater final : Updater, Recorder {
    using Recorder::Recorder;
    void checkForUpdates() override { note(u"updates.checkForUpdates"_s); }
    void updateNow() override { note(u"updates.updateNow"_s); }
    bool canCheckForUpdates() const override { return checkPossible; }
    bool checkPossible = true;
};

struct FakeWelcomeGuide final : WelcomeGuide, Recorder {
    using Recorder::Recorder;
    void show() override { note(u"onboarding.show"_s); }
    void showIfFirstRun() override { note(u"onboarding.showIfFirstRun"_s); }
};

struct FakeSettingsWindow final : SettingsWindow, Recorder {
    explicit FakeSettingsWindow(CallJournal& journal)
        : Recorder(journal)
    {
        note(u"settings.create"_s);
    }
    void show() override { note(u"settings.show"_s); }
    void showAIService() override { note(u"settings.showAIService"_s); }
};

// A panel that is only a visibility flag; raises the callbacks as the real panel does.
// "popover.dismiss(REASON)".
struct FakePopoverPresenter final : PopoverPresenter, Recorder {
    using Recorder::Recorder;
    PopoverModel& model() override { return m_model; }
    bool isPanelVisible() const override { return visible; }
    void show(std::optional<QPoint>) override
    {
        visible = note(u"popover.show"_s);
        invokeIfSet(onDidShow);
    }
    void dismiss(const QString& reason) override
    {
        visible = !note(u"popover.dismiss(%1)"_s.arg(reason));
        invokeIfSet(onDidDismiss);
    }
    // Set false to hide the panel without a dismissal, as the window system may.
    bool visible = false;

private:
    PopoverModel m_model;
};

// Global keys without a desktop: a registration succeeds unless the shortcut was refused, and
// presses arrive only for keys that are held, like real grabs. "hotkey.register(DISPLAY)",
// "hotkey.registerSessionKeys", "hotkey.unregisterSessionKeys", "hotkey.suspend".
struct FakeHotkeyRegistrar final : HotkeyRegistrar, Recorder {
    FakeHotkeyRegistrar(CallJournal& journal, KeyCharacters& layout)
        : Recorder(journal)
        , m_layout(layout)
    {
        note(u"hotkey.create"_s);
    }
    bool registerShortcut(const HotkeyShortcut& shortcut) override
    {
        note(u"hotkey.register(%1)"_s.arg(shortcut.displayString(m_layout)));
        if (refused.contains(shortcut))
            return false;
        m_current = shortcut;
        return m_registered = true;
    }
    void registerSessionKeys() override { m_sessionKeys = note(u"hotkey.registerSessionKeys"_s); }
    void unregisterSessionKeys() override
    {
        m_sessionKeys = !note(u"hotkey.unregisterSessionKeys"_s);
    }
    void suspend() override { m_registered = !note(u"hotkey.suspend"_s); }
    std::optional<HotkeyShortcut> current() const override { return m_current; }
    bool hasRegisteredHotkey() const override { return m_registered; }

    // The user presses the main shortcut, Escape or ⌥N.
    void pressHotkey() { press(m_registered, onHotkey); }
    void pressEscape() { press(m_sessionKeys, onEscape); }
    void pressActionKey(int number)
    {
        press(m_sessionKeys, [&] { onActionKey(number); });
    }

    // Combinations another client holds.
    QList<HotkeyShortcut> refused;

private:
    void press(bool held, const std::function<void()>& callback)
    {
        if (!held)
            return;
        invokeIfSet(onAnyHotkey);
        invokeIfSet(callback);
    }

    KeyCharacters& m_layout;
    std::optional<HotkeyShortcut> m_current;
    bool m_registered = false;
    bool m_sessionKeys = false;
};

// A whole desktop of these fakes for the app delegate, all writing into one journal. The
// services exist from the start, so a test can set them up before the launch; components()
// hands them over, and the pointers stay valid as long as the delegate lives. The
// long-lived components appear when the launch sequence creates them.
class FakeDesktop {
public:
    // The layout names keys in the hotkey registrar's entries; borrowed.
    explicit FakeDesktop(KeyCharacters& layout);

    // Call once. The key migration only records "keychain.migrateLegacyKeyIfNeeded" (from a
    // pool thread, or with " on the main thread" appended, where it would block the event loop).
    AppComponents components();

    CallJournal journal;
    // Combinations another client holds, refused by the hotkey registrar from its creation.
    QList<HotkeyShortcut> refusedShortcuts;

    FakeSelectionReader* selection = nullptr;
    FakePasteBack* pasteBack = nullptr;
    FakeSecureInput* secureInput = nullptr;

    FakeDoubleTapTrigger* doubleTap = nullptr;
    FakeStatusItem* statusItem = nullptr;
    FakeUpdater* updates = nullptr;
    FakeWelcomeGuide* onboarding = nullptr;
    FakePopoverPresenter* popover = nullptr;
    FakeHotkeyRegistrar* hotkey = nullptr;
    FakeSettingsWindow* settings = nullptr;

private:
    KeyCharacters& m_layout;
    AppComponents m_services; // until components() hands them over
};
