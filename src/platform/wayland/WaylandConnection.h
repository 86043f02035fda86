// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

// Quillmark's own connection to the Wayland compositor, beside Qt's (which usually runs
// through XWayland): the globals the compositor offers, the seat, and the dispatch of the
// compositor's events on the Qt event loop. Every Wayland adapter works through the one
// connection the wiring opens. Main thread only.
class WaylandConnection : public QObject {
    Q_OBJECT
public:
    struct Global {
        uint32_t name = 0;
        QByteArray interface;
        uint32_t version = 0;
    };

    // Connects to the compositor named by WAYLAND_DISPLAY (a socket name in
    // XDG_RUNTIME_DIR or an absolute path) and learns its globals, waiting at most
    // `bound` for the compositor's answer; nothing when there is no compositor, it refuses
    // or it does not answer in time. This is the one wait at start: KWin answers a new
    // client only once it has looked up the client's desktop entry, which took 1.2 s in a
    // fresh headless session.
    static std::unique_ptr<WaylandConnection>
    open(std::chrono::milliseconds bound = std::chrono::milliseconds(2000));
    ~WaylandConnection() override;

    wl_display* display() const { return m_display; }
    // The first seat the compositor offered; nullptr when it offered none.
    wl_seat* seat() const { return m_seat; }
    // What the seat has (WL_SEAT_CAPABILITY_ bits): a keyboard or pointer may be asked for
    // only while it has one. They arrive a moment after open(), and change as devices come
    // and go; seatCapabilitiesChanged() says so.
    uint32_t seatCapabilities() const { return m_seatCapabilities; }
    const QList<Global>& globals() const { return m_globals; }
    bool offers(const char* interface) const;
    // Binds the global of this interface at the lower of `version` and the version offered;
    // nullptr when the compositor does not offer it. The caller owns the proxy.
    void* bind(const wl_interface* interface, uint32_t version);
    // Binds this one global, for interfaces offered several times (outputs); the caller owns
    // the proxy.
    void* bind(const Global& global, const wl_interface* interface, uint32_t version);
    // Sends the requests made so far; adapters call it after each group of requests.
    void flush();
    // False once the compositor has closed the connection or reported a protocol error;
    // then every adapter on it stops working and says so.
    bool isAlive() const { return m_alive; }

signals:
    // The compositor's events were dispatched; adapters waiting for one look again.
    void eventsDispatched();
    // The connection broke (the compositor ended or refused a request).
    void lost();
    void seatCapabilitiesChanged(uint32_t capabilities);

private:
    WaylandConnection(wl_display* display);
    bool learnGlobals(std::chrono::milliseconds bound);
    void readEvents();
    void dispatchPending();
    void markLost();

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    uint32_t m_seatCapabilities = 0;
    QList<Global> m_globals;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_alive = true;
};
