// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class LogSink;
class SecretStore;
class KeyboardLayout;

// Chooses the Linux adapters for the ports and installs them for the life of this object.
// This is the one place where adapters are picked.
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

private:
    std::unique_ptr<LogSink> m_logSink;
    std::unique_ptr<SecretStore> m_secretStore;
    std::unique_ptr<KeyboardLayout> m_keyboardLayout;
};
