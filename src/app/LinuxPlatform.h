// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class Clock;
class LogSink;
class SecretStore;
class KeyboardLayout;

// Builds the Linux adapters that the tray application and the commands share: the log
// sink (installed for the life of this object), the clock, the secret store and the keyboard
// layout, handed out to what uses them.
class LinuxPlatform {
public:
    // A command's log must not mix with its output: without a journal its lines go to
    // standard error only when QUILLMARK_LOG=stderr asks for it. The tray application
    // logs to the journal when there is one and to standard error otherwise.
    enum class Role { trayApplication, command };

    explicit LinuxPlatform(Role role);
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Clock& clock() const { return *m_clock; }
    SecretStore& secretStore() const { return *m_secretStore; }
    KeyboardLayout& keyboardLayout() const { return *m_keyboardLayout; }

private:
    std::unique_ptr<LogSink> m_logSink;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<SecretStore> m_secretStore;
    std::unique_ptr<KeyboardLayout> m_keyboardLayout;
};
