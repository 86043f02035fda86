// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/Pasteboard.h"

#include <QObject>
#include <QStringList>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class WaylandConnection;
struct wl_callback;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

// The Wayland clipboard of the connection's seat, spoken to through the compositor's data
// control (wlroots, KWin), which reads and serves every type without a focused window. Each
// type travels as raw bytes through a pipe, both ways, so nothing is converted.
//
// Reading never blocks the event loop: all types of the current offer are asked for at once,
// and the coroutine waits for their pipes with deadlines on the clock. A type whose owner has
// not finished within its type deadline (counted afresh while bytes keep coming), or once the
// snapshot has used up its budget, is left out, and the types left out are logged; a type
// still arriving may go on for a grace period past the budget. Serving writes each
// requestor's pipe as it becomes writable and gives up on a reader that stops reading. The
// change count counts the compositor's selection notices, ours included (counted when we
// write). While the clipboard holds a transient item this adapter wrote, a snapshot gives the
// contents that item displaced, never the item itself. Main thread only.
class DataControlPasteboard final : public Pasteboard {
public:
    // How long owners get, as for the X11 clipboard.
    struct Deadlines {
        std::chrono::milliseconds typeDeadline{150};
        std::chrono::milliseconds snapshotBudget{400};
        std::chrono::milliseconds incrementalGrace{2000};
    };

    // The connection and the clock are borrowed and must outlive the pasteboard.
    DataControlPasteboard(WaylandConnection& connection, Clock& clock, Deadlines deadlines);
    DataControlPasteboard(WaylandConnection& connection, Clock& clock)
        : DataControlPasteboard(connection, clock, Deadlines{})
    {}
    ~DataControlPasteboard() override;

    // Whether the compositor offers data control on a seat (not GNOME's).
    static bool isOffered(const WaylandConnection& connection);

    QCoro::Task<PasteboardSnapshot> snapshot() override;
    void write(const PasteboardSnapshot& contents) override;
    int64_t changeCount() override;
    QCoro::Task<> waitForChange(int64_t seen, std::chrono::milliseconds timeout) override;
    QCoro::Task<std::optional<QString>> readText() override;

private:
    struct Offer;
    struct Reading;
    struct Writer;

    void setSelection(zwlr_data_control_source_v1* source);
    // What the compositor announced: a new offer, the clipboard's current one, the end of
    // a write's echo, our source replaced.
    void offered(zwlr_data_control_offer_v1* offer);
    void selected(zwlr_data_control_offer_v1* offer);
    void expectEcho();
    void echoWindowClosed(wl_callback* sync);
    void serve(const QString& type, int fd);
    void cancelled(zwlr_data_control_source_v1* source);
    void finishWriter(Writer* writer);

    // Waits for the first selection notice, so that a snapshot right after start-up does
    // not see an empty clipboard that is not.
    QCoro::Task<> waitForInitialState(std::chrono::milliseconds deadline);
    QCoro::Task<> waitUntil(std::chrono::milliseconds deadline);
    // The bytes of these types of the current offer; types not delivered in time are
    // missing and named in `late`.
    QCoro::Task<PasteboardSnapshot::Item>
    read(const QStringList& types, std::chrono::milliseconds budgetEnd, QStringList* late);
    QCoro::Task<PasteboardSnapshot> readOffer();

    WaylandConnection& m_connection;
    Clock& m_clock;
    const Deadlines m_deadlines;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
    std::vector<std::unique_ptr<Offer>> m_offers;
    // The clipboard's current offer; nullptr when it is empty.
    Offer* m_current = nullptr;
    bool m_initialStateKnown = false;
    // Our selection changes (and the device's creation) whose notice may still come: the
    // compositor's answer to a sync sent right after closes the window, notice or not.
    struct Echo {
        wl_callback* sync = nullptr;
        bool heard = false;
    };
    std::deque<Echo> m_echoes;
    zwlr_data_control_source_v1* m_source = nullptr;
    ServedItem m_served;
    std::vector<std::unique_ptr<Writer>> m_writers;
    int64_t m_changeCount = 0;
    Wakeup m_wakeup;
    QObject m_context;
};
