// SPDX-License-Identifier: MIT
#pragma once

#include "capture/Replacer.h"
#include "capture/SelectionCapture.h"
#include "platform/atspi/AtspiFocusedTextReader.h"
#include "platform/x11/EwmhFrontmostWindows.h"
#include "platform/x11/XTestKeystrokeSender.h"
#include "platform/x11/XcbPasteboard.h"
#include "platform/x11/XcbSecureInput.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace std::chrono_literals;

struct xcb_connection_t;

// A clipboard whose bytes any conversion would change: UTF-16 HTML with its byte order
// mark, text ending in NUL, and a target large enough to travel in INCR pieces.
PasteboardSnapshot unusualClipboard();

// xdotool with these arguments; fails the test when it fails.
void typeWithXdotool(const QStringList& arguments);

// A child process that is killed and reaped when the object goes, so no test leaves one
// behind.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool start(const QString& program, const QStringList& arguments);
    void stop();
    int64_t pid() const { return m_process ? m_process->processId() : 0; }
    QProcess* process() { return m_process.get(); }

private:
    std::unique_ptr<QProcess> m_process;
};

// Another application that owns the clipboard with one item of several types, each
// type's bytes given here.
class ClipboardOwner {
public:
    // Bytes that stand for a type the owner offers but never delivers, hanging instead.
    static inline const QByteArray stalled = QByteArrayLiteral("\x01stalled\x02");

    // Puts the item on the clipboard now; false when the helper did not manage it.
    [[nodiscard]] bool own(const QList<QPair<QString, QByteArray>>& types);
    // Starts the helper with the item but lets it write only when take() is called.
    [[nodiscard]] bool prepare(const QList<QPair<QString, QByteArray>>& types);
    void take();
    // The types clients asked the owner for since the last call.
    QStringList askedFor();

private:
    [[nodiscard]] bool start(const QList<QPair<QString, QByteArray>>& types, bool onInput);
    [[nodiscard]] bool waitForLine(const QByteArray& line);

    QTemporaryDir m_files;
    ChildProcess m_helper;
};

// Another client holding the keyboard, as a password prompt does, from construction until
// release() or the end of the object.
class KeyboardGrab {
public:
    KeyboardGrab();
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    bool held() const { return m_held; }
    void release();

private:
    xcb_connection_t* m_connection = nullptr;
    bool m_held = false;
};

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

    std::optional<CapturedSelection> runCapture();
    void runPaste(const QString& text, std::optional<TargetApplication> target);

    static void setDefault(const char* key, bool value);
    static AtspiFocusedTextReader& accessibility();

    ScopedConfigHome home;
    ScopedLogCapture log;
    EwmhFrontmostWindows windows;
    XcbSecureInput secureInput;
    XTestKeystrokeSender keys{secureInput};
    XcbPasteboard pasteboard;
    SelectionCapture capture{windows, accessibility(), secureInput, keys, pasteboard};
    Replacer replacer{windows, keys, pasteboard, accessibility()};
};

// Mousepad editing a file with the given text, started with a private configuration (the
// test's ScopedConfigHome) and killed when the object goes.
class Mousepad {
public:
    [[nodiscard]] bool start(const QString& text);
    int64_t pid() const { return m_process.pid(); }
    void quit() { m_process.stop(); }

private:
    QTemporaryDir m_dir;
    ChildProcess m_process;
};
