// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <QHash>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

// The CLIPBOARD selection spoken to directly over the X connection the adapters share, through
// a window of its own, so that every target is read and served as the bytes its owner gave,
// without any conversion: a UTF-16
// text/html keeps its byte order mark, a UTF8_STRING ending in NUL keeps it. Large targets
// travel in INCR pieces both ways.
//
// Reading never blocks the event loop: each request is answered by events, and the
// coroutine waits for them with a deadline on the clock. A target whose owner does not
// deliver within its type deadline (counted afresh for each INCR piece), or once the snapshot
// has used up its budget, is left out, and the types left out are logged; an INCR transfer
// whose pieces keep coming may go on for a grace period past the budget (see Deadlines). The change
// count counts XFixes selection-owner notifications, ours included. While the clipboard
// holds a transient item this adapter wrote (a result on its way to being pasted), a
// snapshot gives the contents that item displaced, never the item itself. Main thread only.
class XcbPasteboard final : public Pasteboard {
public:
    // How long owners get. A test that proves bytes come back exactly, not how long an
    // owner may take, gives a slow machine more time.
    struct Deadlines {
        std::chrono::milliseconds typeDeadline{150};
        std::chrono::milliseconds snapshotBudget{400};
        std::chrono::milliseconds incrementalGrace{2000};
    };

    // The clock and the connection are borrowed and must outlive the pasteboard.
    XcbPasteboard(Clock& clock, X11Connection& x11);
    XcbPasteboard(Clock& clock, X11Connection& x11, Deadlines deadlines);
    ~XcbPasteboard() override;

    QCoro::Task<PasteboardSnapshot> snapshot() override;
    void write(const PasteboardSnapshot& contents) override;
    int64_t changeCount() override;
    QCoro::Task<> waitForChange(int64_t seen, std::chrono::milliseconds timeout) override;
    QCoro::Task<std::optional<QString>> readText() override;

private:
    struct Transfer;
    // What one conversion request has heard so far.
    struct Reading {
        uint32_t target = 0;
        bool notified = false;
        bool refused = false;
        bool incremental = false;
        bool finished = false;
        bool newPiece = false;
        QByteArray bytes;
    };

    bool setUp();
    // Has every event that has arrived handled; the waiting coroutines wake for those of this
    // pasteboard.
    void pump();
    // False for an event that is not this pasteboard's.
    bool handle(const void* event);
    void serve(const void* request);
    bool continueTransfer(uint32_t window, uint32_t property);
    // Reads the property the owner answered on, deleting it; sets incremental for INCR.
    void takeProperty(Reading& reading);
    // The bytes of one target, or nothing when refused or not delivered by `deadline`.
    QCoro::Task<std::optional<QByteArray>> read(uint32_t target,
                                                std::chrono::milliseconds deadline);
    QCoro::Task<> waitUntil(std::chrono::milliseconds deadline);
    QCoro::Task<PasteboardSnapshot> readOwner();
    bool ownsSelection();
    uint32_t atom(const QString& name);
    QString atomName(uint32_t atom);
    // The bytes this item gives for a target, with plain text offered under the usual
    // X text targets too; nothing when it has none.
    std::optional<QByteArray> bytesFor(const PasteboardSnapshot::Item& item, const QString& target);

    X11Connection& m_x11;
    Clock& m_clock;
    const Deadlines m_deadlines;
    uint32_t m_window = 0;
    uint32_t m_property = 0;
    bool m_ready = false;
    uint8_t m_xfixesEvent = 0;
    Wakeup m_wakeup;
    int64_t m_changeCount = 0;
    std::optional<Reading> m_reading;
    // Whether the last read ended because its owner did not deliver in time.
    bool m_timedOut = false;
    // What this process serves while it owns the selection.
    ServedItem m_served;
    std::vector<std::unique_ptr<Transfer>> m_transfers;
    QHash<uint32_t, QString> m_names;
    X11Connection::Subscription m_events;
};
