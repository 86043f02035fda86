// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppComponents.h"
#include "support/fakes/CallJournal.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeApplicationMover.h"
#include "support/fakes/FakeClipboard.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeHotkeyRegistrar.h"
#include "support/fakes/FakeHotkeySelfTest.h"
#include "support/fakes/FakePasteBack.h"
#include "support/fakes/FakePopoverPresenter.h"
#include "support/fakes/FakeRunningApplications.h"
#include "support/fakes/FakeSecureInput.h"
#include "support/fakes/FakeSelectionReader.h"
#include "support/fakes/FakeSettingsWindow.h"
#include "support/fakes/FakeStatusItem.h"
#include "support/fakes/FakeUpdater.h"
#include "support/fakes/FakeWelcomeGuide.h"

// A whole desktop of recording fakes for the app delegate, all writing into one journal.
// The services exist from the start, so a test can set them up before the launch;
// components() hands them over to the delegate, and the pointers here stay valid as long
// as the delegate lives. The long-lived components appear when the launch sequence
// creates them; until then their pointers are null.
class FakeDesktop {
public:
    // The layout names keys in the hotkey registrar's journal entries; borrowed.
    explicit FakeDesktop(KeyCharacters& layout);
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // Call once. The key migration only records "keychain.migrateLegacyKeyIfNeeded" (from
    // a pool thread); replace it in the result to run the real one.
    AppComponents components();

    CallJournal journal;
    // Combinations another client holds, refused by the hotkey registrar from its creation.
    QList<HotkeyShortcut> refusedShortcuts;

    FakeApplicationMover* mover = nullptr;
    FakeAccessibilityPermission* accessibility = nullptr;
    FakeSelectionReader* selection = nullptr;
    FakePasteBack* pasteBack = nullptr;
    FakeClipboard* clipboard = nullptr;
    FakeSecureInput* secureInput = nullptr;
    FakeRunningApplications* runningApplications = nullptr;
    FakeHotkeySelfTest* hotkeySelfTest = nullptr;

    FakeDoubleTapTrigger* doubleTap = nullptr;
    FakeStatusItem* statusItem = nullptr;
    FakeUpdater* updates = nullptr;
    FakeWelcomeGuide* onboarding = nullptr;
    FakePopoverPresenter* popover = nullptr;
    FakeHotkeyRegistrar* hotkey = nullptr;
    FakeSettingsWindow* settings = nullptr;

private:
    KeyCharacters& m_layout;
    // The services until components() hands them over.
    AppComponents m_services;
};
