// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppComponents.h"
#include "platform/fake/flow/CallJournal.h"
#include "platform/fake/flow/FakeAccessibilityPermission.h"
#include "platform/fake/flow/FakeApplicationMover.h"
#include "platform/fake/flow/FakeClipboard.h"
#include "platform/fake/flow/FakeDoubleTapTrigger.h"
#include "platform/fake/flow/FakeHotkeyRegistrar.h"
#include "platform/fake/flow/FakeHotkeySelfTest.h"
#include "platform/fake/flow/FakePasteBack.h"
#include "platform/fake/flow/FakePopoverPresenter.h"
#include "platform/fake/flow/FakeRunningApplications.h"
#include "platform/fake/flow/FakeSecureInput.h"
#include "platform/fake/flow/FakeSelectionReader.h"
#include "platform/fake/flow/FakeSettingsWindow.h"
#include "platform/fake/flow/FakeStatusItem.h"
#include "platform/fake/flow/FakeUpdater.h"
#include "platform/fake/flow/FakeWelcomeGuide.h"

// A whole desktop of recording fakes for the app delegate, all writing into one journal.
// The services exist from the start, so a test can set them up before the launch;
// components() hands them over to the delegate, and the pointers here stay valid as long
// as the delegate lives. The long-lived components appear when the launch sequence
// creates them; until then their pointers are null.
class FakeDesktop {
public:
    FakeDesktop();
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
    // The services until components() hands them over.
    AppComponents m_services;
};
