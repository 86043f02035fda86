// SPDX-License-Identifier: MIT
#include "platform/xkb/XkbKeyboardLayout.h"

#include "core/KeyPositions.h"

#include <QtGlobal>

#include <xcb/xcb.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace {

template <auto release> struct Releaser {
    template <class T> void operator()(T* object) const { release(object); }
};
using Context = std::unique_ptr<xkb_context, Releaser<xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Releaser<xkb_keymap_unref>>;
using State = std::unique_ptr<xkb_state, Releaser<xkb_state_unref>>;

// A dead key types nothing by itself, yet its key cap shows the accent; name it after the
// spacing form of that accent, so the German ^ key reads "^" and not "Key 50".
QString deadKeyText(xkb_keysym_t keysym)
{
    switch (keysym) {
    case XKB_KEY_dead_grave:
        return QStringLiteral("`");
    case XKB_KEY_dead_acute:
        return QStringLiteral("´");
    case XKB_KEY_dead_circumflex:
        return QStringLiteral("^");
    case XKB_KEY_dead_tilde:
        return QStringLiteral("~");
    case XKB_KEY_dead_macron:
        return QStringLiteral("¯");
    case XKB_KEY_dead_breve:
        return QStringLiteral("˘");
    case XKB_KEY_dead_abovedot:
        return QStringLiteral("˙");
    case XKB_KEY_dead_diaeresis:
        return QStringLiteral("¨");
    case XKB_KEY_dead_abovering:
        return QStringLiteral("˚");
    case XKB_KEY_dead_doubleacute:
        return QStringLiteral("˝");
    case XKB_KEY_dead_caron:
        return QStringLiteral("ˇ");
    case XKB_KEY_dead_cedilla:
        return QStringLiteral("¸");
    case XKB_KEY_dead_ogonek:
        return QStringLiteral("˛");
    default:
        return {};
    }
}

QString keysymText(xkb_keysym_t keysym)
{
    if (QString dead = deadKeyText(keysym); !dead.isEmpty())
        return dead;
    char utf8[16];
    const int written = xkb_keysym_to_utf8(keysym, utf8, sizeof utf8);
    if (written <= 1)
        return {};
    return QString::fromUtf8(utf8, written - 1);
}

// What the key types at the first shift level of the group the state has active. Control
// characters (Return is "\r", Escape "\x1b") are no name for a key.
std::optional<QString> baseLevelText(xkb_state* state, xkb_keycode_t keycode)
{
    xkb_keymap* keymap = xkb_state_get_keymap(state);
    const xkb_layout_index_t group = xkb_state_key_get_layout(state, keycode);
    if (group == XKB_LAYOUT_INVALID)
        return std::nullopt;
    const xkb_keysym_t* keysyms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, group, 0, &keysyms);
    QString text;
    for (int i = 0; i < count; ++i)
        text += keysymText(keysyms[i]);
    for (QChar character : text) {
        if (character.category() != QChar::Other_Control)
            return text;
    }
    return std::nullopt;
}

} // namespace

// The keymaps behind the answers: the X server's, kept up to date through XKB events, or
// the one compiled from the default rule names when there is no usable display.
class XkbKeyboardLayout::Keymaps {
public:
    explicit Keymaps(X11Connection& x11)
        : m_x11(x11)
    {}

    std::unique_ptr<X11Connection> m_own;

    State currentState()
    {
        if (!m_context) {
            m_context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
            if (!m_context)
                return {};
            // A layout that fails to compile is answered with "no name"; xkbcommon's own
            // complaints on standard error would only interleave with a command's output.
            xkb_context_set_log_level(m_context.get(), XKB_LOG_LEVEL_CRITICAL);
        }
        if (!m_triedServer) {
            m_triedServer = true;
            connectToServer();
        }
        if (m_events.isActive()) {
            if (State state = serverState())
                return state;
            // The server went away or refused us: answer from the rules from now on.
            m_serverKeymap.reset();
            m_events.reset();
        }
        return rulesState();
    }

private:
    void connectToServer()
    {
        const int32_t device = m_x11.keyboardDevice();
        if (device == -1)
            return;
        // Hear of every keymap change (setxkbmap, a new keyboard plugged in), so the keymap is
        // fetched again only when it really changed. Group switches need no event: the state
        // is read afresh for every question.
        m_events = m_x11.listen({[this](const xcb_generic_event_t& event) {
                                     if (isKeymapNotice(event))
                                         m_keymapChanged = true;
                                 },
                                 [this] { m_lost = true; }});
        constexpr uint16_t notices =
            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
        if (!m_x11.selectKeyboardNotices(notices)) {
            m_events.reset();
            return;
        }
        m_device = device;
    }

    // The connection's other users select XKB's state notices too; those change no keymap.
    bool isKeymapNotice(const xcb_generic_event_t& event) const
    {
        const uint8_t xkbEvent = m_x11.xkbEvent();
        return xkbEvent != 0 && (event.response_type & 0x7f) == xkbEvent &&
               reinterpret_cast<const xcb_xkb_new_keyboard_notify_event_t&>(event).xkbType !=
                   XCB_XKB_STATE_NOTIFY;
    }

    State serverState()
    {
        xcb_connection_t* connection = m_lost ? nullptr : m_x11.get();
        if (!connection || m_lost)
            return {};
        if (!m_serverKeymap) {
            m_keymapChanged = false;
            m_serverKeymap.reset(xkb_x11_keymap_new_from_device(
                m_context.get(), connection, m_device, XKB_KEYMAP_COMPILE_NO_FLAGS));
        }
        if (!m_serverKeymap)
            return {};
        // Reading the state is a round trip, so every change the server made before it has
        // reached the event queue by the time it returns, and is handed out here.
        State state(xkb_x11_state_new_from_device(m_serverKeymap.get(), connection, m_device));
        m_x11.handOutEvents();
        if (state && m_keymapChanged) {
            m_keymapChanged = false;
            m_serverKeymap.reset(xkb_x11_keymap_new_from_device(
                m_context.get(), connection, m_device, XKB_KEYMAP_COMPILE_NO_FLAGS));
            if (!m_serverKeymap)
                return {};
            state.reset(xkb_x11_state_new_from_device(m_serverKeymap.get(), connection, m_device));
        }
        return state;
    }

    State rulesState()
    {
        if (!m_rulesKeymap && !m_rulesFailed) {
            m_rulesKeymap.reset(
                xkb_keymap_new_from_names(m_context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
            m_rulesFailed = !m_rulesKeymap;
        }
        if (!m_rulesKeymap)
            return {};
        return State(xkb_state_new(m_rulesKeymap.get()));
    }

    X11Connection& m_x11;
    Context m_context;
    X11Connection::Subscription m_events;
    bool m_keymapChanged = false;
    bool m_lost = false;
    int32_t m_device = -1;
    bool m_triedServer = false;
    Keymap m_serverKeymap;
    Keymap m_rulesKeymap;
    // The rule names come from the environment, which does not change under a running
    // process, so a failed compile is not tried again.
    bool m_rulesFailed = false;
};

XkbKeyboardLayout::XkbKeyboardLayout()
{
    auto own = std::make_unique<X11Connection>();
    m_keymaps = std::make_unique<Keymaps>(*own);
    m_keymaps->m_own = std::move(own);
}

XkbKeyboardLayout::XkbKeyboardLayout(X11Connection& x11)
    : m_keymaps(std::make_unique<Keymaps>(x11))
{}

XkbKeyboardLayout::~XkbKeyboardLayout() = default;

std::optional<QString> XkbKeyboardLayout::unmodifiedText(uint32_t virtualKeyCode)
{
    const std::optional<uint32_t> keycode = KeyPositions::xKeycodeForVirtualKey(virtualKeyCode);
    if (!keycode)
        return std::nullopt;
    const State state = m_keymaps->currentState();
    if (!state)
        return std::nullopt;
    return baseLevelText(state.get(), *keycode);
}
