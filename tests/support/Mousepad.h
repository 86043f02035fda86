// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <optional>

// The application the user's text lives in: a real GTK editor with one file open. Its
// text is read back as another program would see it after Ctrl+A, from the PRIMARY
// selection, so reading leaves the clipboard alone.
class Mousepad {
public:
    Mousepad() = default;
    ~Mousepad();
    Mousepad(const Mousepad&) = delete;
    Mousepad& operator=(const Mousepad&) = delete;

    // Opens a file holding `text` and waits until its window is the active one.
    [[nodiscard]] bool start(const QString& text);
    bool isRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }
    int64_t pid() const { return m_process ? m_process->processId() : 0; }

    // Brings the window to the front and waits until it is active.
    [[nodiscard]] bool activate();
    // Selects the whole text and waits until the selection holds `expected`.
    [[nodiscard]] bool selectAll(const QString& expected);
    // Puts the cursor at the end with nothing selected.
    [[nodiscard]] bool selectNothing();
    // Waits until the whole text is `expected`; answers what was there last.
    QString waitForText(const QString& expected);

    // The window title; it starts with "*" once the text has changed since it was saved.
    QString title() const;

    // Quits through the editor's own Ctrl+Q and waits until the process has ended.
    [[nodiscard]] bool quit();
    // Kills the process, whatever state it is in.
    void stop();

private:
    QString selectedText() const;

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_window;
};
