// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeSecretStore.h"
#include "ui/settings/DoubleTapWaitingFlag.h"
#include "ui/settings/KeyScript.h"

#include <QLocale>
#include <gtest/gtest.h>

// A fresh settings folder and keyring, a fake clock, a layout that names the test's keys,
// English number formatting and recording fakes of the watcher and the permission.
class SettingsTestFixture : public ::testing::Test {
protected:
    SettingsTestFixture()
    {
        Platform::setSecretStore(&keyring);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    ~SettingsTestFixture() override
    {
        Platform::setSecretStore(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    ScopedConfigHome config;
    ScopedFakeClock time;
    ScopedLogCapture log;
    FakeSecretStore keyring;
    KeyScript::ScopedLayout layout;
    FakeDoubleTapTrigger doubleTap;
    FakeAccessibilityPermission accessibility;
};
