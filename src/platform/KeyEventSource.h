// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

// Reports every key press and every change of the held modifiers on the whole desktop,
// whichever application they go to (this one included), without taking them away from it.
// The double-tap watcher is built on it. Main thread only; events are delivered as
// callbacks on the main thread, and a callback may stop or restart the source.
class KeyEventSource {
public:
    // Device-independent modifier flags: both keys of a modifier set the same flag.
    static constexpr uint64_t capsLockFlag = 0x10000;
    static constexpr uint64_t shiftFlag = 0x20000;
    static constexpr uint64_t controlFlag = 0x40000;
    static constexpr uint64_t optionFlag = 0x80000;
    static constexpr uint64_t commandFlag = 0x100000;

    struct Event {
        enum class Kind {
            // A modifier key went down or up, or Caps Lock was toggled.
            flagsChanged,
            // Any other key went down. Key repeat while it stays down is not reported again.
            keyDown,
        };
        Kind kind = Kind::keyDown;
        // For flagsChanged: the modifier flags in effect after the change; 0 for keyDown.
        uint64_t modifierFlags = 0;

        bool operator==(const Event&) const = default;
    };
    using Handler = std::function<void(const Event&)>;

    KeyEventSource() = default;
    KeyEventSource(const KeyEventSource&) = delete;
    KeyEventSource& operator=(const KeyEventSource&) = delete;
    virtual ~KeyEventSource() = default;

    // Starts reporting to the handler, replacing the handler of a source already started;
    // false when the desktop cannot report key events (no display, no raw input), and then
    // nothing is reported until a later start succeeds.
    [[nodiscard]] virtual bool start(Handler handler) = 0;
    // Stops reporting; nothing when not started.
    virtual void stop() = 0;
};
