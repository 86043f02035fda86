// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeSecretStore.h"
#include "ui/settings/DoubleTapWaitingFlag.h"
#include "ui/settings/HotkeySection.h"
#include "ui/settings/KeyScript.h"

#include <QLocale>
#include <gtest/gtest.h>

// A fresh settings folder and keyring, a fake clock, a layout that names the test's keys,
// English number formatting and recording fakes of the watcher and the permission.
class SettingsTestFixture : public ::testing::Test {
protected:
    SettingsTestFixture() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~SettingsTestFixture() override { QLocale::setDefault(QLocale::c()); }

    // An owner of the hotkey section that writes down each call in `calls`; without the
    // callback nobody registers shortcuts.
    HotkeySection::Owner recordingOwner(bool withCallback = true)
    {
        HotkeySection::Owner owner;
        if (withCallback) {
            owner.onHotkeyChange = [this](const HotkeyShortcut& shortcut) {
                calls.append(QStringLiteral("register ") + shortcut.displayString(layout.layout));
                return systemAccepts;
            };
        }
        owner.onRecordingChange = [this](bool isRecording) {
            calls.append(isRecording ? QStringLiteral("recording") : QStringLiteral("stopped"));
        };
        owner.doubleTap = &doubleTap;
        owner.waiting = &waiting;
        owner.accessibility = &accessibility;
        return owner;
    }

    ScopedConfigHome config;
    Preferences preferences{UserDefaults::standard()};
    FakeClock time;
    ScopedLogCapture log;
    FakeSecretStore keyring;
    KeyScript::ScopedLayout layout;
    FakeDoubleTapTrigger doubleTap;
    FakeAccessibilityPermission accessibility;
    DoubleTapWaitingFlag waiting{doubleTap};
    bool systemAccepts = true;
    QStringList calls;
};
