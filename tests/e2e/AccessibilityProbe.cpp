// SPDX-License-Identifier: MIT
// GLib's headers use the words Qt defines as keywords, so they come first and this target
// builds with QT_NO_KEYWORDS.
#include <atspi/atspi.h>

#include "AccessibilityProbe.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// A panel has a few dozen elements; anything beyond this is a walk gone astray.
constexpr int walkLimit = 2000;

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using Ref = std::unique_ptr<T, Unref>;
using Accessible = Ref<AtspiAccessible>;

void ensureInitialised()
{
    static const bool initialised = [] {
        atspi_init();
        // A busy application answers late rather than never; one call may take this long.
        atspi_set_timeout(2000, 5000);
        return true;
    }();
    (void)initialised;
}

QString takeString(gchar* text)
{
    const QString string = QString::fromUtf8(text);
    g_free(text);
    return string;
}

bool hasState(AtspiAccessible* accessible, AtspiStateType state)
{
    const Ref<AtspiStateSet> states(atspi_accessible_get_state_set(accessible));
    return states && atspi_state_set_contains(states.get(), state);
}

std::vector<Accessible> childrenOf(AtspiAccessible* parent)
{
    std::vector<Accessible> children;
    GError* error = nullptr;
    const int count = atspi_accessible_get_child_count(parent, &error);
    g_clear_error(&error);
    for (int i = 0; i < count; ++i) {
        if (AtspiAccessible* child = atspi_accessible_get_child_at_index(parent, i, &error))
            children.emplace_back(child);
        g_clear_error(&error);
    }
    return children;
}

// The application registered by the process, read afresh: the panel changes between
// two questions and the library would otherwise answer from its cache.
Accessible applicationOf(int64_t pid)
{
    ensureInitialised();
    const Accessible desktop(atspi_get_desktop(0));
    if (!desktop)
        return {};
    atspi_accessible_clear_cache(desktop.get());
    for (Accessible& application : childrenOf(desktop.get())) {
        GError* error = nullptr;
        const guint owner = atspi_accessible_get_process_id(application.get(), &error);
        const bool failed = error != nullptr;
        g_clear_error(&error);
        if (!failed && owner == guint(pid))
            return std::move(application);
    }
    return {};
}

// Visits the elements on screen depth first, in tree order, until `visit` answers true.
void walkShowing(int64_t pid, const std::function<bool(AtspiAccessible*)>& visit)
{
    const Accessible application = applicationOf(pid);
    if (!application)
        return;
    std::vector<Accessible> pending;
    for (Accessible& window : childrenOf(application.get()))
        pending.push_back(std::move(window));
    std::reverse(pending.begin(), pending.end());
    for (int visited = 0; !pending.empty() && visited < walkLimit; ++visited) {
        Accessible next = std::move(pending.back());
        pending.pop_back();
        if (!hasState(next.get(), ATSPI_STATE_SHOWING))
            continue;
        if (visit(next.get()))
            return;
        std::vector<Accessible> children = childrenOf(next.get());
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back(std::move(*child));
    }
}

// Like walkShowing, visiting only the elements with this accessible name.
template <class Visit> void walkNamed(int64_t pid, const QString& name, Visit visit)
{
    walkShowing(pid, [&](AtspiAccessible* element) {
        GError* error = nullptr;
        const bool named = takeString(atspi_accessible_get_name(element, &error)) == name;
        g_clear_error(&error);
        return named && visit(element);
    });
}

} // namespace

AccessibilityProbe::AccessibilityProbe(int64_t pid)
    : m_pid(pid)
{}

QStringList AccessibilityProbe::shownTexts() const
{
    QStringList texts;
    walkShowing(m_pid, [&texts](AtspiAccessible* element) {
        GError* error = nullptr;
        const QString name = takeString(atspi_accessible_get_name(element, &error));
        g_clear_error(&error);
        if (!name.isEmpty())
            texts.append(name);
        if (const Ref<AtspiText> text{atspi_accessible_get_text_iface(element)}) {
            const int length = atspi_text_get_character_count(text.get(), &error);
            g_clear_error(&error);
            const QString contents = takeString(atspi_text_get_text(text.get(), 0, length, &error));
            g_clear_error(&error);
            if (!contents.isEmpty() && contents != name)
                texts.append(contents);
        }
        return false;
    });
    return texts;
}

std::optional<QRect> AccessibilityProbe::extentsOf(const QString& name) const
{
    std::optional<QRect> found;
    walkNamed(m_pid, name, [&](AtspiAccessible* element) {
        const Ref<AtspiComponent> component{atspi_accessible_get_component_iface(element)};
        if (!component)
            return false;
        GError* error = nullptr;
        AtspiRect* rect =
            atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, &error);
        g_clear_error(&error);
        if (rect && rect->width > 0 && rect->height > 0)
            found = QRect(rect->x, rect->y, rect->width, rect->height);
        g_free(rect);
        return found.has_value();
    });
    return found;
}

bool AccessibilityProbe::press(const QString& name) const
{
    bool pressed = false;
    walkNamed(m_pid, name, [&](AtspiAccessible* element) {
        const Ref<AtspiAction> action{atspi_accessible_get_action_iface(element)};
        if (!action)
            return false;
        GError* error = nullptr;
        pressed = atspi_action_do_action(action.get(), 0, &error);
        g_clear_error(&error);
        return true;
    });
    return pressed;
}

std::optional<QString> AccessibilityProbe::focusedSelection() const
{
    std::optional<QString> selected;
    walkShowing(m_pid, [&selected](AtspiAccessible* element) {
        if (!hasState(element, ATSPI_STATE_FOCUSED))
            return false;
        const Ref<AtspiText> text{atspi_accessible_get_text_iface(element)};
        if (!text)
            return false;
        GError* error = nullptr;
        AtspiRange* range = atspi_text_get_selection(text.get(), 0, &error);
        g_clear_error(&error);
        if (range && range->end_offset > range->start_offset)
            selected = takeString(
                atspi_text_get_text(text.get(), range->start_offset, range->end_offset, &error));
        g_clear_error(&error);
        g_free(range);
        return true;
    });
    return selected;
}
