// SPDX-License-Identifier: MIT
#pragma once

#include "AccessibilityProbe.h"
#include "LoopbackServer.h"
#include "support/ClipboardOwner.h"
#include "support/DesktopTools.h"
#include "support/Mousepad.h"
#include "support/TestEnvironment.h"
#include "support/TrayHost.h"
#include "support/TrayProcess.h"

#include <gtest/gtest.h>

// One person's session with the real binary on the test desktop: their editor, the
// clipboard another application left, the tray application with fresh settings, and a
// loopback server in place of the hosted AI service. Every step answers an assertion
// result whose message names the step that broke and shows the end of the tray's log.
// Whatever a test started is ended in TearDown, also when the test failed half-way.
class E2eTest : public ::testing::Test {
protected:
    // The selection most tests work on, and what the hosted service makes of it.
    static const QString sentence;
    static const QString corrected;
    // What was on the clipboard before the shortcut: text and a second, private type.
    static const ClipboardOwner::Types earlierClipboard;

    void SetUp() override;
    void TearDown() override;

    // `quillmark` with these arguments, run to its end; fails unless it exits with 0.
    ::testing::AssertionResult runCommand(const QString& step, const QStringList& arguments,
                                          const QByteArray& input = {});
    // `quillmark defaults write KEY TYPE VALUE`.
    ::testing::AssertionResult writeDefault(const QString& key, const QString& type,
                                            const QString& value);
    // A value read back with `quillmark defaults read KEY`.
    QString readDefault(const QString& key);
    // Stores the user's own key in the keyring; TearDown removes it again.
    ::testing::AssertionResult storeOwnKey(const QByteArray& key);

    // Starts the tray application and waits until its shortcut is registered and its icon
    // is in the tray.
    ::testing::AssertionResult startTray();
    enum class Selection { all, none };
    // Opens the editor with `text`, selects all of it or nothing, and puts the earlier item
    // on the clipboard.
    ::testing::AssertionResult openEditorWithSelection(const QString& text,
                                                       Selection selection = Selection::all);
    // Presses keys as a person would, one after the other (separated by blanks), on
    // whatever window is in front.
    ::testing::AssertionResult press(const QString& keys);
    // Capture routes, as patterns of the method named in the capture log line.
    static const QString anyRoute;
    // The shortcut, then the panel on screen showing `text`, captured by a method matching
    // `route`. Most tests care that the text arrived, not how.
    ::testing::AssertionResult openPanelOnSelection(const QString& text,
                                                    const QString& route = anyRoute);

    // Everything a Replace does once it has been asked for (at log position `from`): the
    // panel gone, the paste, the clipboard put back and the editor holding `result`.
    ::testing::AssertionResult replaceCompleted(const QString& result, qsizetype from);

    // Waits for an exact log line from position `from` on; `found` gets its position.
    ::testing::AssertionResult logShows(const QString& step, const QString& line,
                                        qsizetype from = 0, qsizetype* found = nullptr);
    // The same for a line matching the pattern.
    ::testing::AssertionResult logMatches(const QString& step, const QString& pattern,
                                          qsizetype from = 0);
    // Waits until the panel on screen shows this text (a label's or the editor's).
    ::testing::AssertionResult panelShows(const QString& step, const QString& text);
    // Clicks the middle of an element of the panel (or of its open menu), found by its
    // accessible name.
    ::testing::AssertionResult clickOnPanel(const QString& name);
    // Waits until no window of the panel is on screen.
    ::testing::AssertionResult panelHidden(const QString& step);
    // The clipboard holds exactly what the other application left there.
    ::testing::AssertionResult clipboardIsEarlierItem(const QString& step);

    // A failed step: its name, what was seen, and the end of the tray's log.
    ::testing::AssertionResult broke(const QString& step, const QString& seen);

    static QString binary();
    static QString quoted(QString text);

    ScopedConfigHome m_home;
    LoopbackServer m_relay;
    TrayHost m_trayHost;
    TrayProcess m_tray;
    Mousepad m_editor;
    ClipboardOwner m_clipboard;

private:
    bool m_keyStored = false;
};
