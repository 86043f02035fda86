// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class WaylandConnection;
struct wl_keyboard;
struct xkb_context;
struct xkb_keymap;

// The user's own keyboard layout as the compositor hands it to every client: the keymap
// text of the seat's keyboard, compiled with xkbcommon, and the keys of the copy and paste
// chords found in it. It follows the seat, so a layout the user switches to arrives here
// too. Nothing is known until the compositor has sent the keymap, which comes a moment
// after binding, and never while the seat has no keyboard at all. Main thread only; the
// connection must outlive it.
class WaylandKeymap : public QObject {
    Q_OBJECT
public:
    // One key of a chord: its evdev code (what the Wayland protocols carry) and the
    // modifier mask in force once it and the keys before it are down.
    struct Key {
        uint32_t evdev = 0;
        uint32_t modifiersDown = 0;
        bool operator==(const Key&) const = default;
    };

    explicit WaylandKeymap(WaylandConnection& connection);
    ~WaylandKeymap() override;

    bool isReady() const { return m_keymap != nullptr; }
    // The keymap as the compositor sent it, without the terminating zero; empty until ready.
    const QByteArray& text() const { return m_text; }
    // The layout group in force, as far as the compositor said (it tells only the client
    // with the focus); the first one otherwise.
    uint32_t group() const { return m_group; }
    // The command's chord in press order (Ctrl, Shift in terminals, then the letter): the
    // key whose first level types c or v in the active layout, else in another layout,
    // else the QWERTY position. Nothing until the keymap is there.
    std::optional<std::vector<Key>> chord(EditCommand command, ChordStyle style) const;

signals:
    // A keymap arrived whose text differs from the one before.
    void changed();

private:
    void onCapabilities(uint32_t capabilities);
    bool load(QByteArray text);

    WaylandConnection& m_connection;
    wl_keyboard* m_keyboard = nullptr;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    QByteArray m_text;
    uint32_t m_group = 0;

    friend struct KeymapListeners;
};
