// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>

// GLib names a structure member "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

// One synchronous operation made of GLib asynchronous steps, driven on a private main
// context pushed as the thread's default for the life of this object. The caller's own
// event loop never runs meanwhile, so nothing re-enters the application.
//
// The steps share one time limit. When it passes, the shared GCancellable is cancelled;
// a step that does not wind up shortly after that (a keyring prompt waits for the service
// to confirm its dismissal, which a hung service never does) is abandoned: its pending
// callback can never run, because nothing iterates this context again.
class BoundedGLibCall {
public:
    using Start = std::function<void(GCancellable*, GAsyncReadyCallback, gpointer)>;

    explicit BoundedGLibCall(std::chrono::milliseconds limit);
    ~BoundedGLibCall();
    BoundedGLibCall(const BoundedGLibCall&) = delete;
    BoundedGLibCall& operator=(const BoundedGLibCall&) = delete;

    // Starts one step, passing it the cancellable and a callback with its data, and waits
    // for the step's result. The result stays valid until the next step or the end of the
    // call. Null once the limit has passed and the step was abandoned or never started.
    GAsyncResult* await(const Start& start);

private:
    struct Step;
    static void onReady(GObject* source, GAsyncResult* result, gpointer step);
    static gboolean onLimit(gpointer self);
    static gboolean onGiveUp(gpointer self);
    GSource* attachTimeout(std::chrono::milliseconds after, GSourceFunc function);

    std::chrono::milliseconds m_grace;
    GMainContext* m_context;
    GCancellable* m_cancellable;
    GSource* m_limitSource = nullptr;
    GSource* m_giveUpSource = nullptr;
    GAsyncResult* m_result = nullptr;
    bool m_expired = false;
    bool m_abandoned = false;
};
