// SPDX-License-Identifier: MIT
// GLib's headers use the words Qt defines as keywords, so they come first and this target
// builds with QT_NO_KEYWORDS. The library's calls take a null error where the answer itself
// says enough.
#include <atspi/atspi.h>

#include "AccessibilityProbe.h"

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

// The children, last first.
std::vector<Accessible> childrenOf(AtspiAccessible* parent)
{
    std::vector<Accessible> children;
    for (int i = atspi_accessible_get_child_count(parent, nullptr) - 1; i >= 0; --i) {
        if (AtspiAccessible* child = atspi_accessible_get_child_at_index(parent, i, nullptr))
            children.emplace_back(child);
    }
    return children;
}

// Visits the elements on screen of the application the process registered, depth first in
// tree order, until `visit` answers true. The tree is read afresh: the panel changes between
// two questions and the library would otherwise answer from its cache.
void walkShowing(int64_t pid, const std::function<bool(AtspiAccessible*)>& visit)
{
    static const bool initialised = [] {
        atspi_init();
        // A busy application answers late rather than never; one call may take this long.
        atspi_set_timeout(2000, 5000);
        return true;
    }();
    (void)initialised;
    const Accessible desktop(atspi_get_desktop(0));
    if (!desktop)
        return;
    atspi_accessible_clear_cache(desktop.get());
    std::vector<Accessible> pending;
    for (Accessible& application : childrenOf(desktop.get())) {
        GError* error = nullptr;
        const guint owner = atspi_accessible_get_process_id(application.get(), &error);
        if (!error && owner == guint(pid))
            pending = childrenOf(application.get());
        g_clear_error(&error);
    }
    for (int visited = 0; !pending.empty() && visited < walkLimit; ++visited) {
        Accessible next = std::move(pending.back());
        pending.pop_back();
        if (!hasState(next.get(), ATSPI_STATE_SHOWING))
            continue;
        if (visit(next.get()))
            return;
        for (Accessible& child : childrenOf(next.get()))
            pending.push_back(std::move(child));
    }
}

// Like walkShowing, visiting only the elements with this accessible name.
void walkNamed(int64_t pid, const QString& name, const std::function<bool(AtspiAccessible*)>& visit)
{
    walkShowing(pid, [&](AtspiAccessible* element) {
        return takeString(atspi_accessible_get_name(element, nullptr)) == name && visit(element);
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
        const QString name = takeString(atspi_accessible_get_name(element, nullptr));
        if (!name.isEmpty())
            texts.append(name);
        if (const Ref<AtspiText> text{atspi_accessible_get_text_iface(element)}) {
            const int length = atspi_text_get_character_count(text.get(), nullptr);
            const QString contents =
                takeString(atspi_text_get_text(text.get(), 0, length, nullptr));
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
        AtspiRect* rect = component ? atspi_component_get_extents(component.get(),
                                                                  ATSPI_COORD_TYPE_SCREEN, nullptr)
                                    : nullptr;
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
        pressed = action && atspi_action_do_action(action.get(), 0, nullptr);
        return bool(action);
    });
    return pressed;
}

std::optional<QString> AccessibilityProbe::focusedSelection() const
{
    std::optional<QString> selected;
    walkShowing(m_pid, [&selected](AtspiAccessible* element) {
        const Ref<AtspiText> text{hasState(element, ATSPI_STATE_FOCUSED)
                                      ? atspi_accessible_get_text_iface(element)
                                      : nullptr};
        if (!text)
            return false;
        AtspiRange* range = atspi_text_get_selection(text.get(), 0, nullptr);
        if (range && range->end_offset > range->start_offset)
            selected = takeString(
                atspi_text_get_text(text.get(), range->start_offset, range->end_offset, nullptr));
        g_free(range);
        return true;
    });
    return selected;
}
