// SPDX-License-Identifier: MIT
#pragma once

#include "input/HotkeySelfTest.h"
#include "platform/GlobalKeyGrabber.h"

#include <QString>
#include <functional>
#include <memory>

class Preferences;

// The diagnostic run at launch when the "hotkeySelfTest" default is true: the legacy-preset
// migration, the shortcut rule, the double-tap detector and the live registrar's handling of
// a combination held by someone else, one "selftest PASS|FAIL NAME DETAIL" line per check in
// the hotkey log and a closing count of failures. The only lasting trace is that the
// registrar's shortcut is registered once more at the end.
//
// The conflict checks need a rival: a grabber made by the factory, which must compete with
// the registrar's as another application would (on X11 a second connection to the server).
class BuiltInHotkeySelfTest final : public HotkeySelfTest {
public:
    using GrabberFactory = std::function<std::unique_ptr<GlobalKeyGrabber>()>;

    // The hotkey id the rival holds the contested combination under; the registrar's own
    // ids are small numbers from 1.
    static constexpr uint32_t decoyId = 0x5154;

    // The layout names keys in the log; it and the preferences must outlive the self-test.
    BuiltInHotkeySelfTest(GrabberFactory makeDecoyGrabber, KeyCharacters& layout,
                          const Preferences& preferences);

    void runIfRequested(HotkeyRegistrar& registrar) override;

private:
    void runMigrationChecks();
    void runValidationChecks();
    void runDoubleTapChecks();
    void runConflictChecks(HotkeyRegistrar& registrar);
    void check(const QString& name, bool passed, const QString& detail);

    GrabberFactory m_makeDecoyGrabber;
    KeyCharacters& m_layout;
    const Preferences& m_preferences;
    int m_failures = 0;
};
