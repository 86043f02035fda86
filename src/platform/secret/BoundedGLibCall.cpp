// SPDX-License-Identifier: MIT
#include "platform/secret/BoundedGLibCall.h"

#include <algorithm>

namespace {
// How long a cancelled step may take to wind up before it is abandoned.
constexpr std::chrono::milliseconds cancelGrace{2000};
} // namespace

struct BoundedGLibCall::Step {
    GAsyncResult* result = nullptr;
};

BoundedGLibCall::BoundedGLibCall(std::chrono::milliseconds limit)
    : m_grace(std::min(limit, cancelGrace))
    , m_context(g_main_context_new())
    , m_cancellable(g_cancellable_new())
{
    g_main_context_push_thread_default(m_context);
    m_limitSource = attachTimeout(limit, &BoundedGLibCall::onLimit);
}

BoundedGLibCall::~BoundedGLibCall()
{
    for (GSource* source : {m_limitSource, m_giveUpSource}) {
        if (source) {
            g_source_destroy(source);
            g_source_unref(source);
        }
    }
    g_clear_object(&m_result);
    // Finished steps may leave idle work behind (a D-Bus proxy releasing what it held);
    // run it now, as nobody will iterate this context later. After an abandoned step the
    // context is left alone, so that its late callback never runs.
    if (!m_abandoned) {
        while (g_main_context_iteration(m_context, FALSE)) {
        }
    }
    g_main_context_pop_thread_default(m_context);
    g_main_context_unref(m_context);
    g_object_unref(m_cancellable);
}

GAsyncResult* BoundedGLibCall::await(const Start& start)
{
    g_clear_object(&m_result);
    if (m_expired)
        return nullptr;

    auto* step = new Step;
    start(m_cancellable, &BoundedGLibCall::onReady, step);
    while (!step->result && !m_abandoned)
        g_main_context_iteration(m_context, TRUE);
    if (!step->result) {
        // The step may still complete if someone iterated this context; keep its slot
        // alive so that a late callback can never write into freed memory.
        return nullptr;
    }
    m_result = step->result;
    delete step;
    return m_result;
}

void BoundedGLibCall::onReady(GObject*, GAsyncResult* result, gpointer step)
{
    static_cast<Step*>(step)->result = G_ASYNC_RESULT(g_object_ref(result));
}

gboolean BoundedGLibCall::onLimit(gpointer self)
{
    auto* call = static_cast<BoundedGLibCall*>(self);
    call->m_expired = true;
    g_source_unref(call->m_limitSource);
    call->m_limitSource = nullptr;
    call->m_giveUpSource = call->attachTimeout(call->m_grace, &BoundedGLibCall::onGiveUp);
    g_cancellable_cancel(call->m_cancellable);
    return G_SOURCE_REMOVE;
}

gboolean BoundedGLibCall::onGiveUp(gpointer self)
{
    auto* call = static_cast<BoundedGLibCall*>(self);
    call->m_abandoned = true;
    g_source_unref(call->m_giveUpSource);
    call->m_giveUpSource = nullptr;
    return G_SOURCE_REMOVE;
}

GSource* BoundedGLibCall::attachTimeout(std::chrono::milliseconds after, GSourceFunc function)
{
    GSource* source =
        g_timeout_source_new(guint(std::max<std::chrono::milliseconds::rep>(after.count(), 0)));
    g_source_set_callback(source, function, this, nullptr);
    g_source_attach(source, m_context);
    return source;
}
