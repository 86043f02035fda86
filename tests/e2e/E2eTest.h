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

using ::testing::AssertionResult;

// Names a table's rows in the test names by their `name`.
inline const auto rowName = [](const auto& info) { return std::string(info.param.name); };

// The installed binary with fresh settings and its log, and a loopback server in place of
// the hosted AI service, answering `corrected` for `sentence` unless a test scripts its own.
// Every step answers an assertion result whose message names the step that broke and shows
// the end of the tray's log.
class TraySession : public ::testing::Test {
protected:
    TraySession();
    // Ends the tray with SIGTERM, which it must survive cleanly.
    void TearDown() override;

    static const QString sentence;
    static const QString corrected;

    // Writes these defaults: key, type ("-string", "-bool"), value.
    AssertionResult writeDefaults(const QList<std::array<QString, 3>>& defaults);
    // `quillmark` with these arguments, run to its end; fails unless it exits with 0.
    AssertionResult runCommand(const QString& step, const QStringList& arguments,
                               const QByteArray& input = {});
    // A value read back with `quillmark defaults read KEY`.
    QString readDefault(const QString& key);
    // Starts the tray application with its log on standard error.
    AssertionResult launchTray();
    // Waits for an exact log line, or one matching a pattern, from position `from` on; `found`
    // gets the line.
    AssertionResult logShows(const QString& line, qsizetype from = 0);
    AssertionResult logMatches(const QString& pattern, qsizetype from = 0,
                               QString* found = nullptr);
    // A failed step: its name, what was seen, and the end of the tray's log.
    AssertionResult broke(const QString& step, const QString& seen);

    static QString binary();
    static QString quoted(QString text);

    ScopedConfigHome m_home;
    LoopbackServer m_relay;
    TrayProcess m_tray;
};

// One person's session on the X11 test desktop: their editor, the clipboard another
// application left, the tray and its icon. Whatever a test started is ended in TearDown,
// also when the test failed half-way.
class E2eTest : public TraySession {
protected:
    // What was on the clipboard before the shortcut: text and a second, private type.
    static const ClipboardOwner::Types earlierClipboard;

    void SetUp() override;
    void TearDown() override;

    AssertionResult writeDefault(const QString& key, const QString& type, const QString& value)
    {
        return writeDefaults({{key, type, value}});
    }
    // Stores the user's own key in the keyring; TearDown removes it again.
    AssertionResult storeOwnKey(const QByteArray& key);
    // Starts the tray and waits until its shortcut is registered and its icon is in the tray.
    AssertionResult startTray();
    enum class Selection { all, none };
    // Opens the editor with `text`, selects all of it or nothing, and puts the earlier item
    // on the clipboard.
    AssertionResult openEditorWithSelection(const QString& text,
                                            Selection selection = Selection::all);
    // Presses keys as a person would, one after the other (separated by blanks), on
    // whatever window is in front.
    AssertionResult press(const QString& keys);
    // The shortcut, then the panel on screen showing `text`, captured by a method matching
    // `route` ("ax", "clipboard"). Most tests care that the text arrived, not how.
    AssertionResult openPanelOnSelection(const QString& text,
                                         const QString& route = QStringLiteral("ax|clipboard"));
    // Everything a Replace does once it has been asked for (at log position `from`): the
    // panel gone, the result in the editor by either route, the clipboard put back.
    AssertionResult replaceCompleted(const QString& result, qsizetype from);
    // Waits until the panel on screen shows this text (a label's or the editor's).
    AssertionResult panelShows(const QString& text);
    // Clicks the middle of an element of the panel (or of its open menu), found by its
    // accessible name.
    AssertionResult clickOnPanel(const QString& name);
    // Waits until no window of the panel is on screen.
    AssertionResult panelHidden(const QString& step);
    // The clipboard holds exactly what the other application left there.
    AssertionResult clipboardIsEarlierItem(const QString& step);

    TrayHost m_trayHost;
    Mousepad m_editor;
    ClipboardOwner m_clipboard;

private:
    bool m_keyStored = false;
};
