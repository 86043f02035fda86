// SPDX-License-Identifier: MIT
#pragma once

#include "platform/x11/X11Display.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

class QSocketNotifier;

// A connection to the X server (from X11Display), opened on first use and opened again after
// the server dropped it, with the atoms it has looked up. The desktop wiring makes one and
// hands it to the X11 adapters, so Quillmark's own X work shares it and never competes with
// Qt's connection for events; a program that plays another client (the hotkey self-test's
// rival, the tests' other clients) makes one of its own.
//
// Its users hear its events through listen(): once someone listens, a socket notifier reads
// every event the server sends and hands each to every listener, which picks out its own.
// A reply read on the way brings in the events sent before it, which the socket will not
// announce again; so every get() also has the events handed out on the next turn of the event
// loop, and handOutEvents() does it at once for a user that needs to know now.
//
// What a client selects on a window or from XKB holds for the whole connection, so the users
// select through here and the selections add up: none takes away what another selected, and
// all are selected again on a new connection. Main thread only.
class X11Connection {
public:
    struct Listener {
        // Each event of the connection, whoever selected it; it must not hand out events
        // itself (it may make requests).
        std::function<void(const xcb_generic_event_t& event)> event;
        // The server dropped the connection; the next get() opens a new one.
        std::function<void()> lost;
        // For a listener that calls out into the application: its events come from the event
        // loop only, never from inside another user's handOutEvents(), which keeps them for it.
        bool fromEventLoop = false;
    };

    // Keeps a listener registered until it is destroyed (or reset()); the connection must
    // outlive it.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }

        bool isActive() const { return m_connection != nullptr; }
        void reset();

    private:
        friend class X11Connection;
        Subscription(X11Connection* connection, uint64_t id)
            : m_connection(connection)
            , m_id(id)
        {}

        X11Connection* m_connection = nullptr;
        uint64_t m_id = 0;
    };

    explicit X11Connection(X11Display display = {});
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // The live connection; nullptr when there is no display or it cannot be reached.
    xcb_connection_t* get();
    // The root window of the default screen; 0 without a connection.
    uint32_t root();
    // The atom of this name, interned once per connection; 0 without a connection.
    uint32_t atom(const char* name);
    // The core keyboard's XKB device, set up on first use; -1 when XKB is missing.
    int32_t keyboardDevice();
    // The event code every XKB notice carries once keyboardDevice() found XKB; 0 before.
    uint8_t xkbEvent() const { return m_xkbEvent; }

    [[nodiscard]] Subscription listen(Listener listener);
    // Hands every event the connection holds to the listeners now. Inside a listener it does
    // nothing: the hand-out under way gets to those events next.
    void handOutEvents();

    // Adds core events (XCB_EVENT_MASK_*) on the root window to what this client selected.
    void selectRootEvents(uint32_t mask);
    // Adds XKB notices of the core keyboard (XCB_XKB_EVENT_TYPE_*, every detail of each) to
    // what this client selected; false without XKB or when the server refused.
    bool selectKeyboardNotices(uint16_t notices);
    // XInput's major opcode, which its events carry, once this client has said it speaks
    // XInput 2.2; 0 when the server lacks it.
    uint8_t inputOpcode();
    // Adds raw XInput 2 events of every master device on the root window
    // (XCB_INPUT_XI_EVENT_MASK_*) to what this client selected; false when the server refused.
    bool selectInputEvents(uint32_t mask);
    // Takes them away again once every user that selected them has given them up.
    void deselectInputEvents(uint32_t mask);

private:
    struct FreeDeleter {
        void operator()(void* pointer) const;
    };
    using Event = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;
    struct Entry {
        uint64_t id;
        std::shared_ptr<Listener> listener;
    };
    // An event the event-loop listeners registered by then have still to hear.
    struct Kept {
        Event event;
        uint64_t lastListener;
    };

    // Closes the connection and tells the listeners it is gone.
    void drop();
    void reset();
    void watch();
    void handOutSoon();
    void handOut(bool fromEventLoop);
    void deliver(const xcb_generic_event_t& event, bool immediate, bool fromEventLoop,
                 uint64_t lastListener);
    bool isListening(uint64_t id) const;
    void stopListening(uint64_t id);
    bool applyKeyboardNotices(uint16_t notices);
    bool applyInputEvents();

    X11Display m_display;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    int32_t m_keyboard = -1;
    uint8_t m_xkbEvent = 0;
    bool m_xkbTried = false;
    QHash<QByteArray, uint32_t> m_atoms;
    // What the users selected, kept for a new connection.
    uint32_t m_rootEvents = 0;
    uint16_t m_keyboardNotices = 0;
    // How many users selected each XInput event bit.
    std::array<uint16_t, 32> m_inputUsers{};
    uint32_t m_inputEvents = 0;
    uint8_t m_inputOpcode = 0;
    bool m_inputTried = false;
    std::vector<Entry> m_listeners;
    std::deque<Kept> m_kept;
    uint64_t m_lastId = 0;
    QSocketNotifier* m_notifier = nullptr;
    bool m_handingOut = false;
    bool m_handOutQueued = false;
    // Where the queued hand-outs run; they go with it.
    QObject m_context;
};
