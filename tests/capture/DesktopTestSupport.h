// SPDX-License-Identifier: MIT
#pragma once

#include "capture/Replacer.h"
#include "capture/SelectionCapture.h"
#include "core/SystemClock.h"
#include "platform/atspi/AtspiFocusedTextReader.h"
#include "platform/x11/EwmhFrontmostWindows.h"
#include "platform/x11/XTestKeystrokeSender.h"
#include "platform/x11/XcbPasteboard.h"
#include "platform/x11/XcbSecureInput.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/ClipboardOwner.h"
#include "support/DesktopTools.h"
#include "support/Mousepad.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace std::chrono_literals;

// A clipboard whose bytes any conversion would change: UTF-16 HTML with its byte order
// mark, text ending in NUL, and a target large enough to travel in INCR pieces.
PasteboardSnapshot unusualClipboard();

// The capture and paste-back services on the real desktop adapters, with private
// settings. Skips without a display.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;

    // The active window, once it is the one of this process with this class (any class
    // when empty).
    std::optional<TargetApplication> waitForActiveWindow(int64_t pid, const QString& wmClass);
    // Presses the keys until the accessibility service reports `expected` as the
    // selection: an editor that has only just shown its window may not have its text yet.
    [[nodiscard]] bool selectUntil(const QStringList& keys, const TargetApplication& target,
                                   const QString& expected);
    [[nodiscard]] bool selectAll(const TargetApplication& target, const QString& expected)
    {
        return selectUntil({QStringLiteral("ctrl+a")}, target, expected);
    }

    // Has the owner take the clipboard and waits until this process has heard of it, so
    // the news cannot arrive in the middle of a capture.
    [[nodiscard]] bool ownClipboard(ClipboardOwner& owner,
                                    const QList<QPair<QString, QByteArray>>& types);

    std::optional<CapturedSelection> runCapture() { return QCoro::waitFor(capture.capture()); }
    void runPaste(const QString& text, std::optional<TargetApplication> target)
    {
        QCoro::waitFor(replacer.paste(text, std::move(target)));
    }

    static void setDefault(const char* key, bool value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
    }
    static AtspiFocusedTextReader& accessibility();

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    ScopedLogCapture log;
    SystemClock clock;
    X11Connection x11; // shared by the adapters, as in the product
    EwmhFrontmostWindows windows{clock, x11};
    OwnKeyboardGrab ownGrab;
    XcbSecureInput secureInput{ownGrab, x11};
    XTestKeystrokeSender keys{secureInput, ownGrab, clock, x11};
    // These tests prove that bytes come back exactly; how long an owner may take is proved
    // with the product's own deadlines, by the one test that needs them.
    static constexpr XcbPasteboard::Deadlines roomy{
        std::chrono::seconds(3), std::chrono::seconds(8), std::chrono::seconds(8)};
    XcbPasteboard pasteboard{clock, x11, roomy};
    SelectionCapture capture{windows,    accessibility(), secureInput, keys,
                             pasteboard, clock,           preferences};
    Replacer replacer{windows, keys, pasteboard, accessibility(), clock, preferences};
};
