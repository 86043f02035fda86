// SPDX-License-Identifier: MIT
// Raw key presses and releases, as XInput delivers them, against a small keymap laid out like
// the usual PC keymap, mapped to the events the double-tap watcher is given.
#include "platform/x11/RawKeyTracker.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Event = KeyEventSource::Event;
using Role = ModifierKeyTable::Role;

constexpr uint64_t shift = KeyEventSource::shiftFlag;
constexpr uint64_t control = KeyEventSource::controlFlag;
constexpr uint64_t option = KeyEventSource::optionFlag;
constexpr uint64_t command = KeyEventSource::commandFlag;
constexpr uint64_t capsLock = KeyEventSource::capsLockFlag;

// Keycodes of the PC keymap.
constexpr uint8_t q = 24, a = 38, controlL = 37, shiftL = 50, shiftR = 62, altL = 64, caps = 66,
                  altGr = 92, controlR = 105, altR = 108, superL = 133, superR = 134,
                  virtualAlt = 204;

constexpr uint8_t minKeycode = 8;
constexpr uint8_t levels = 2;

// Two keysyms per key from keycode 8 to 255, as the server's core mapping lists them.
std::vector<uint32_t> pcKeysyms()
{
    std::vector<uint32_t> keysyms(size_t(256 - minKeycode) * levels, 0);
    const auto put = [&](uint8_t keycode, uint32_t first, uint32_t second) {
        keysyms[size_t(keycode - minKeycode) * levels] = first;
        keysyms[size_t(keycode - minKeycode) * levels + 1] = second;
    };
    // clang-format off
    put(q, 'q', 0xffe9); // a letter that reaches Alt_L only at a higher level
    put(a, 'a', 'A'); put(controlL, 0xffe3, 0); put(shiftL, 0xffe1, 0); put(shiftR, 0xffe2, 0);
    put(altL, 0xffe9, 0xffe7); put(caps, 0xffe5, 0); put(controlR, 0xffe4, 0); put(altR, 0xffea, 0xffe8);
    put(altGr, 0xfe03, 0); // ISO_Level3_Shift
    put(superL, 0xffeb, 0); put(superR, 0xffec, 0); put(virtualAlt, 0, 0xffe9);
    // clang-format on
    return keysyms;
}

struct Raw {
    bool press;
    uint8_t keycode;
};

ModifierKeyTable pcTable()
{
    const std::vector<uint32_t> keysyms = pcKeysyms();
    return ModifierKeyTable::fromKeyboardMapping(minKeycode, levels, keysyms);
}

TEST(ModifierKeyTableTest, readsEachKeysRoleFromItsFirstKeysym)
{
    const ModifierKeyTable table = pcTable();
    const std::pair<uint8_t, Role> expected[] = {
        // clang-format off
        {controlR, Role::control}, {shiftL, Role::shift}, {altR, Role::option}, {superL, Role::command},
        {caps, Role::capsLock}, {virtualAlt, Role::option}, {q, Role::none}, {altGr, Role::none}, {7, Role::none},
        // clang-format on
    };
    for (const auto& [keycode, role] : expected)
        EXPECT_EQ(table.role(keycode), role) << "keycode " << int(keycode);
}

Raw down(uint8_t keycode)
{
    return {true, keycode};
}
Raw up(uint8_t keycode)
{
    return {false, keycode};
}
Event flags(uint64_t value)
{
    return {Event::Kind::flagsChanged, value};
}
const Event key{Event::Kind::keyDown, 0};

TEST(RawKeyTrackerTest, reportsTheEventsOfEachScript)
{
    const struct {
        const char* name;
        std::vector<Raw> raw;
        std::vector<Event> events;
    } scripts[] = {
        // clang-format off
        {"stray-release", {up(altL), up(a), down(altL), up(altL), up(altL)}, {flags(option), flags(0)}},
        {"auto-repeat-of-modifier", {down(altL), down(altL), down(altL), up(altL)}, {flags(option), flags(0)}},
        {"auto-repeat-of-letter", {down(a), down(a), up(a), down(a)}, {key, key}},
        {"left-and-right-alt", {down(altL), down(altR), up(altL), up(altR)}, {flags(option), flags(option), flags(option), flags(0)}},
        {"chord", {down(controlL), down(shiftR), down(superL), up(shiftR)}, {flags(control), flags(control | shift), flags(control | shift | command), flags(control | command)}},
        {"alt-tab", {down(altL), down(a), up(a), up(altL)}, {flags(option), key, flags(0)}},
        {"caps-lock-toggles-on-press", {down(caps), up(caps), down(altL), up(altL), down(caps), up(caps)}, {flags(capsLock), flags(capsLock | option), flags(capsLock), flags(0)}},
        {"altgr-is-an-ordinary-key", {down(altGr), up(altGr)}, {key}},
        // clang-format on
    };
    for (const auto& script : scripts) {
        RawKeyTracker tracker;
        tracker.setKeymap(pcTable());
        std::vector<Event> events;
        for (const Raw& raw : script.raw) {
            if (const std::optional<Event> event =
                    raw.press ? tracker.press(raw.keycode) : tracker.release(raw.keycode))
                events.push_back(*event);
        }
        EXPECT_EQ(events, script.events) << script.name;
    }
}

} // namespace
