// SPDX-License-Identifier: MIT
#pragma once

#include "capture/PasteBack.h"
#include "capture/SelectionReader.h"
#include "input/DoubleTapTrigger.h"
#include "input/HotkeyRegistrar.h"
#include "input/HotkeySelfTest.h"
#include "onboarding/ApplicationMover.h"
#include "onboarding/guide/WelcomeGuide.h"
#include "platform/AccessibilityPermission.h"
#include "platform/RunningApplications.h"
#include "platform/SecureInput.h"
#include "ui/PopoverPresenter.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/tray/StatusItem.h"
#include "updates/Updater.h"

#include <functional>
#include <memory>

// Everything the app delegate is built from. DesktopWiring fills it with the desktop's adapters
// (and null adapters where none exists yet); tests fill it with recording fakes. Every
// entry must be set.
//
// The long-lived components are factories, because the launch sequence creates each one
// at its own step and the order is part of the behaviour. The services are used where
// needed and live as long as the delegate.
struct AppComponents {
    std::function<std::unique_ptr<DoubleTapTrigger>()> makeDoubleTap;
    std::function<std::unique_ptr<StatusItem>()> makeStatusItem;
    std::function<std::unique_ptr<Updater>()> makeUpdater;
    std::function<std::unique_ptr<WelcomeGuide>()> makeWelcomeGuide;
    std::function<std::unique_ptr<PopoverPresenter>()> makePopover;
    std::function<std::unique_ptr<HotkeyRegistrar>()> makeHotkeyRegistrar;
    // The settings window edits the double-tap modifier directly, so it is given the watcher.
    std::function<std::unique_ptr<SettingsWindow>(DoubleTapTrigger&)> makeSettingsWindow;

    std::unique_ptr<ApplicationMover> applicationMover;
    std::unique_ptr<AccessibilityPermission> accessibility;
    std::unique_ptr<SelectionReader> selection;
    std::unique_ptr<PasteBack> pasteBack;
    std::unique_ptr<SecureInput> secureInput;
    std::unique_ptr<RunningApplications> runningApplications;
    std::unique_ptr<HotkeySelfTest> hotkeySelfTest;

    // The key store's one-time migration of a legacy key. It runs on a pool thread, so it
    // must not touch anything owned by the main thread.
    std::function<void()> migrateLegacyKey;
};
