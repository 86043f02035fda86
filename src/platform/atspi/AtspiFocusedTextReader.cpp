// SPDX-License-Identifier: MIT
// GLib's headers use the words Qt defines as keywords, so they come first and this target
// builds with QT_NO_KEYWORDS.
#include <atspi/atspi.h>

#include "platform/atspi/AtspiFocusedTextReader.h"

#include <QList>
#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One D-Bus reply may take this long; a frozen application costs no more than that.
constexpr int replyTimeoutMs = 300;
constexpr auto searchBudget = std::chrono::milliseconds(600);
// The walk through a window's elements, for toolkits without the one-call Collection
// search (Qt), gives up after this many of them.
constexpr int walkLimit = 3000;

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using Ref = std::unique_ptr<T, Unref>;
using Accessible = Ref<AtspiAccessible>;

// The error of a call that failed is of no use beyond its failure.
class CallError {
public:
    CallError() = default;
    CallError(const CallError&) = delete;
    CallError& operator=(const CallError&) = delete;
    ~CallError() { g_clear_error(&m_error); }

    GError** out()
    {
        g_clear_error(&m_error);
        return &m_error;
    }
    bool failed() const { return m_error != nullptr; }

private:
    GError* m_error = nullptr;
};

// Asks the application itself: the library keeps the states it was told once (a window's
// "active" from before our panel took the focus) and would trust them for good, as nothing
// here listens for their changes.
bool hasState(AtspiAccessible* accessible, AtspiStateType state)
{
    atspi_accessible_clear_cache(accessible);
    const Ref<AtspiStateSet> states(atspi_accessible_get_state_set(accessible));
    return states && atspi_state_set_contains(states.get(), state);
}

std::vector<Accessible> childrenOf(AtspiAccessible* parent, Clock::time_point deadline)
{
    std::vector<Accessible> children;
    CallError error;
    const int count = atspi_accessible_get_child_count(parent, error.out());
    for (int i = 0; !error.failed() && i < count && Clock::now() < deadline; ++i) {
        CallError childError;
        if (AtspiAccessible* child =
                atspi_accessible_get_child_at_index(parent, i, childError.out()))
            children.emplace_back(child);
    }
    return children;
}

// The applications that may own the window in front: the one of that window's process,
// or every application when the process is unknown or has no accessible application
// (a window drawn by a helper process).
std::vector<Accessible> candidateApplications(int64_t pid, Clock::time_point deadline)
{
    const Accessible desktop(atspi_get_desktop(0));
    if (!desktop)
        return {};
    // The library may keep the list of applications from an earlier question; one
    // started since must be seen.
    atspi_accessible_clear_cache(desktop.get());
    std::vector<Accessible> applications = childrenOf(desktop.get(), deadline);
    if (pid <= 0)
        return applications;
    std::vector<Accessible> owning;
    for (Accessible& application : applications) {
        CallError error;
        if (atspi_accessible_get_process_id(application.get(), error.out()) == guint(pid) &&
            !error.failed())
            owning.push_back(std::move(application));
    }
    return owning.empty() ? std::move(applications) : std::move(owning);
}

Accessible focusedByCollection(AtspiAccessible* window)
{
    const Ref<AtspiCollection> collection(atspi_accessible_get_collection_iface(window));
    if (!collection)
        return {};
    const Ref<AtspiStateSet> focused(atspi_state_set_new(nullptr));
    atspi_state_set_add(focused.get(), ATSPI_STATE_FOCUSED);
    const Ref<AtspiMatchRule> rule(atspi_match_rule_new(
        focused.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
        ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE));
    CallError error;
    GArray* matches = atspi_collection_get_matches(
        collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL, 1, TRUE, error.out());
    if (!matches)
        return {};
    Accessible found;
    for (guint i = 0; i < matches->len; ++i) {
        AtspiAccessible* match = g_array_index(matches, AtspiAccessible*, i);
        if (!found)
            found.reset(match);
        else
            g_object_unref(match);
    }
    g_array_free(matches, TRUE);
    return found;
}

// For toolkits without the Collection interface: a walk through the elements on screen.
Accessible focusedByWalk(Accessible window, Clock::time_point deadline)
{
    std::vector<Accessible> pending;
    pending.push_back(std::move(window));
    for (int visited = 0; !pending.empty() && visited < walkLimit; ++visited) {
        if (Clock::now() >= deadline)
            return {};
        Accessible next = std::move(pending.back());
        pending.pop_back();
        if (visited > 0 && hasState(next.get(), ATSPI_STATE_FOCUSED))
            return next;
        // GTK 4 reports its widgets visible but never showing.
        if (visited > 0 && !hasState(next.get(), ATSPI_STATE_SHOWING) &&
            !hasState(next.get(), ATSPI_STATE_VISIBLE))
            continue;
        std::vector<Accessible> children = childrenOf(next.get(), deadline);
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back(std::move(*child));
    }
    return {};
}

Accessible focusedElement(const std::optional<TargetApplication>& front)
{
    const Clock::time_point deadline = Clock::now() + searchBudget;
    for (const Accessible& application : candidateApplications(front ? front->pid : 0, deadline)) {
        for (Accessible& window : childrenOf(application.get(), deadline)) {
            if (!hasState(window.get(), ATSPI_STATE_ACTIVE))
                continue;
            if (Accessible focused = focusedByCollection(window.get()))
                return focused;
            return focusedByWalk(std::move(window), deadline);
        }
    }
    return {};
}

QString toolkitName(AtspiAccessible* accessible)
{
    CallError error;
    gchar* name = atspi_accessible_get_toolkit_name(accessible, error.out());
    const QString toolkit = QString::fromUtf8(name ? name : "");
    g_free(name);
    return toolkit;
}

// Qt names its toolkit on the application only.
QString toolkitOf(AtspiAccessible* element)
{
    const QString own = toolkitName(element);
    if (!own.isEmpty())
        return own;
    CallError error;
    const Accessible application(atspi_accessible_get_application(element, error.out()));
    return application ? toolkitName(application.get()) : QString();
}

QString textRange(AtspiText* text, int start, int end, bool* ok)
{
    CallError error;
    gchar* read = atspi_text_get_text(text, start, end, error.out());
    *ok = read && !error.failed();
    const QString result = *ok ? QString::fromUtf8(read) : QString();
    g_free(read);
    return result;
}

std::optional<AccessibleSelection> firstSelection(AtspiAccessible* element)
{
    CallError roleError;
    if (atspi_accessible_get_role(element, roleError.out()) == ATSPI_ROLE_PASSWORD_TEXT ||
        roleError.failed())
        return std::nullopt;
    const Ref<AtspiText> text(atspi_accessible_get_text_iface(element));
    if (!text)
        return std::nullopt;
    CallError error;
    if (atspi_text_get_n_selections(text.get(), error.out()) <= 0 || error.failed())
        return std::nullopt;
    AtspiRange* range = atspi_text_get_selection(text.get(), 0, error.out());
    if (!range || error.failed()) {
        g_free(range);
        return std::nullopt;
    }
    AccessibleSelection found;
    found.start = range->start_offset;
    found.end = range->end_offset;
    g_free(range);
    if (found.end > found.start) {
        bool ok = false;
        found.text = textRange(text.get(), found.start, found.end, &ok);
        if (!ok)
            return std::nullopt;
    }
    found.busName = QString::fromUtf8(element->parent.app ? element->parent.app->bus_name : "");
    found.path = QString::fromUtf8(element->parent.path ? element->parent.path : "");
    found.toolkit = toolkitOf(element);
    // Qt marks its multi-line edits but not its single-line fields.
    found.singleLine =
        hasState(element, ATSPI_STATE_SINGLE_LINE) || !hasState(element, ATSPI_STATE_MULTI_LINE);
    return found;
}

// The length insert_text is given: GTK reads it as bytes of UTF-8, Qt as characters; a
// byte count longer than the text makes Qt delete what follows the insertion point.
int insertLength(const QString& toolkit, const QString& text)
{
    if (toolkit.startsWith(QLatin1String("GTK"), Qt::CaseInsensitive))
        return int(text.toUtf8().size());
    return int(text.size());
}

// How far the caret moves past the inserted text, in the element's offsets: GTK counts
// characters, Qt UTF-16 units.
int offsetLength(const QString& toolkit, const QString& text)
{
    if (toolkit.startsWith(QLatin1String("Qt"), Qt::CaseInsensitive))
        return int(text.size());
    return int(text.toUcs4().size());
}

} // namespace

AtspiFocusedTextReader::AtspiFocusedTextReader() = default;

AtspiFocusedTextReader::~AtspiFocusedTextReader()
{
    g_clear_object(&m_lastElement);
    if (m_ready)
        atspi_exit();
}

bool AtspiFocusedTextReader::ready()
{
    if (!m_tried) {
        m_tried = true;
        // 0 is a fresh start and 1 a library someone else in the process set up already;
        // anything else means there is no accessibility bus to talk to.
        const int status = atspi_init();
        m_ready = status == 0 || status == 1;
        if (m_ready)
            atspi_set_timeout(replyTimeoutMs, replyTimeoutMs);
    }
    return m_ready;
}

std::optional<AccessibleSelection>
AtspiFocusedTextReader::readSelection(const std::optional<TargetApplication>& front)
{
    if (!ready())
        return std::nullopt;
    Accessible focused = focusedElement(front);
    if (!focused)
        return std::nullopt;
    std::optional<AccessibleSelection> found = firstSelection(focused.get());
    if (found) {
        g_clear_object(&m_lastElement);
        m_lastElement = focused.release();
    }
    return found;
}

AccessibleEdit AtspiFocusedTextReader::replace(const AccessibleSelection& where,
                                               const QString& result)
{
    // The element is the one the selection was last read from; the library has no way to
    // make one from a bus name and path alone.
    AtspiAccessible* element = m_lastElement;
    if (!ready() || !element || !element->parent.app ||
        where.busName != QString::fromUtf8(element->parent.app->bus_name) ||
        where.path != QString::fromUtf8(element->parent.path))
        return AccessibleEdit::gone;
    atspi_accessible_clear_cache(element);
    const Ref<AtspiStateSet> states(atspi_accessible_get_state_set(element));
    if (!states || atspi_state_set_contains(states.get(), ATSPI_STATE_DEFUNCT))
        return AccessibleEdit::gone;
    CallError roleError;
    atspi_accessible_get_role(element, roleError.out());
    if (roleError.failed())
        return AccessibleEdit::gone;
    const Ref<AtspiEditableText> editable(atspi_accessible_get_editable_text_iface(element));
    if (!editable)
        return AccessibleEdit::noEditableText;
    if (!atspi_state_set_contains(states.get(), ATSPI_STATE_EDITABLE))
        return AccessibleEdit::notEditable;
    const Ref<AtspiText> text(atspi_accessible_get_text_iface(element));
    if (!text)
        return AccessibleEdit::failed;
    bool ok = false;
    const QString now = textRange(text.get(), where.start, where.end, &ok);
    if (!ok)
        return AccessibleEdit::failed;
    if (now != where.text)
        return AccessibleEdit::textChanged;

    CallError error;
    if (!atspi_editable_text_delete_text(editable.get(), where.start, where.end, error.out()) ||
        error.failed())
        return AccessibleEdit::failed;
    const QByteArray utf8 = result.toUtf8();
    if (!atspi_editable_text_insert_text(editable.get(), where.start, utf8.constData(),
                                         insertLength(where.toolkit, result), error.out()) ||
        error.failed()) {
        // The range is gone; put the original back so that nothing is lost.
        const QByteArray original = where.text.toUtf8();
        CallError restoreError;
        atspi_editable_text_insert_text(editable.get(), where.start, original.constData(),
                                        insertLength(where.toolkit, where.text),
                                        restoreError.out());
        return AccessibleEdit::failed;
    }
    // Paste leaves the caret after what it inserted, with nothing selected.
    CallError caretError;
    atspi_text_set_caret_offset(text.get(), where.start + offsetLength(where.toolkit, result),
                                caretError.out());
    return AccessibleEdit::replaced;
}
