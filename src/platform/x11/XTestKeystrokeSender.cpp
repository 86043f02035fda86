// SPDX-License-Identifier: MIT
#include "platform/x11/XTestKeystrokeSender.h"

#include "platform/x11/LayoutKeys.h"

#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>

namespace {

template <auto release> struct Releaser {
    template <class T> void operator()(T* object) const { release(object); }
};
using State = std::unique_ptr<xkb_state, Releaser<xkb_state_unref>>;
using Context = std::unique_ptr<xkb_context, Releaser<xkb_context_unref>>;
struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

// Shift, Control, Mod1 (Alt) and Mod4 (Super); Lock and Mod2 (Num Lock) do not count.
constexpr uint8_t relevantMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

// The evdev positions of C, V, left Control and left Shift, for a keymap that has no key
// for the keysym at all.
constexpr xkb_keycode_t cPosition = 54;
constexpr xkb_keycode_t vPosition = 55;
constexpr xkb_keycode_t controlPosition = 37;
constexpr xkb_keycode_t shiftPosition = 50;

void fakeKey(xcb_connection_t* connection, uint8_t type, xkb_keycode_t keycode)
{
    xcb_test_fake_input(connection, type, uint8_t(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// Releases every key that is down now and types a modifier, so the chord is not read as
// Ctrl+Alt+C because the trigger's Alt is still held; answers the keys released.
std::vector<xkb_keycode_t> releaseModifierKeys(xcb_connection_t* connection, xkb_keymap* keymap)
{
    std::vector<xkb_keycode_t> released;
    const Reply<xcb_query_keymap_reply_t> down(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    if (!down)
        return released;
    for (xkb_keycode_t keycode = 8; keycode < 256; ++keycode) {
        if (!(down->keys[keycode / 8] & (1 << (keycode % 8))))
            continue;
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, keycode);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const xkb_keysym_t* keysyms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, group, 0, &keysyms);
            if (count > 0 && LayoutKeys::isModifier(keysyms[0])) {
                fakeKey(connection, XCB_KEY_RELEASE, keycode);
                released.push_back(keycode);
                break;
            }
        }
    }
    return released;
}

} // namespace

bool XTestKeystrokeSender::relevantModifiersHeld()
{
    xcb_connection_t* connection = m_x11.get();
    const int32_t device = m_x11.keyboardDevice();
    if (!connection || device < 0)
        return false;
    const Reply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(
        connection, xcb_xkb_get_state(connection, xcb_xkb_device_spec_t(device)), nullptr));
    // The base modifiers are those of keys held down, leaving out latched and locked ones.
    return state && (state->baseMods & relevantMask) != 0;
}

bool XTestKeystrokeSender::shortcutKeyHeld()
{
    return m_ownGrab.isActive();
}

XTestKeystrokeSender::XTestKeystrokeSender(const SecureInput& secureInput, OwnKeyboardGrab& ownGrab,
                                           Clock& clock, X11Connection& x11)
    : m_secureInput(secureInput)
    , m_ownGrab(ownGrab)
    , m_x11(x11)
    // Every XKB event shares the first event code; a notice other than the state's is of a
    // new keymap.
    , m_stateChanges(clock, [this](const xcb_generic_event_t& event) {
        const uint8_t xkbEvent = m_x11.xkbEvent();
        if (xkbEvent == 0 || (event.response_type & 0x7f) != xkbEvent)
            return false;
        if (reinterpret_cast<const xcb_xkb_state_notify_event_t&>(event).xkbType !=
            XCB_XKB_STATE_NOTIFY)
            m_keymap.reset();
        return true;
    })
{
    m_ownGrab.setListener([this] { m_stateChanges.wakeLater(); });
}

XTestKeystrokeSender::~XTestKeystrokeSender()
{
    m_ownGrab.setListener({});
}

void XTestKeystrokeSender::watchState()
{
    if (m_stateChanges.isWatching())
        return;
    // Changes of the modifiers held, and new keymaps; selected for good, they arrive when the
    // user presses or releases a modifier or loads a layout and cost nothing otherwise.
    constexpr uint16_t notices = XCB_XKB_EVENT_TYPE_STATE_NOTIFY |
                                 XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                 XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    if (m_x11.selectKeyboardNotices(notices))
        m_stateChanges.watch(m_x11);
}

QCoro::Task<> XTestKeystrokeSender::keysChanged(std::chrono::milliseconds timeout)
{
    watchState();
    co_await m_stateChanges.next(timeout);
}

void XTestKeystrokeSender::KeymapRelease::operator()(xkb_keymap* keymap) const
{
    xkb_keymap_unref(keymap);
}

xkb_keymap* XTestKeystrokeSender::currentKeymap(xcb_connection_t* connection, int32_t device)
{
    // Compiling a keymap costs more than the rest of a chord, so it is kept until the server
    // announces another one (setxkbmap, another keyboard). The round trip brings in every
    // announcement made before now.
    watchState();
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    m_x11.handOutEvents();
    if (m_keymap && m_stateChanges.isWatching())
        return m_keymap.get();
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context)
        return nullptr;
    m_keymap.reset(xkb_x11_keymap_new_from_device(context.get(), connection, device,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS));
    return m_keymap.get();
}

bool XTestKeystrokeSender::post(EditCommand command, ChordStyle style)
{
    xcb_connection_t* connection = m_x11.get();
    const int32_t device = m_x11.keyboardDevice();
    if (!connection || device < 0)
        return true;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection, &xcb_test_id);
    if (!xtest || !xtest->present)
        return true;
    xkb_keymap* keymap = currentKeymap(connection, device);
    if (!keymap)
        return true;
    // The group is asked anew for every chord: a layout switched a moment ago counts.
    const State state(xkb_x11_state_new_from_device(keymap, connection, device));
    const xkb_layout_index_t group =
        state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;

    const bool copy = command == EditCommand::copy;
    const xkb_keycode_t letter = LayoutKeys::keycodeFor(keymap, group, copy ? XKB_KEY_c : XKB_KEY_v)
                                     .value_or(copy ? cPosition : vPosition);
    const xkb_keycode_t control =
        LayoutKeys::keycodeFor(keymap, group, XKB_KEY_Control_L).value_or(controlPosition);
    const xkb_keycode_t shift =
        LayoutKeys::keycodeFor(keymap, group, XKB_KEY_Shift_L).value_or(shiftPosition);

    std::vector<xkb_keycode_t> chord{control};
    if (style == ChordStyle::terminal)
        chord.push_back(shift);
    chord.push_back(letter);

    // Asked last, right before the first key: a prompt may have taken the keyboard at
    // any moment of the caller's waits.
    if (m_secureInput.isActive())
        return false;
    // The release, the chord and the press that puts the modifiers back go out as one
    // batch, so the server sees the user's modifiers up only for the chord itself.
    const std::vector<xkb_keycode_t> released = releaseModifierKeys(connection, keymap);
    for (xkb_keycode_t keycode : chord)
        fakeKey(connection, XCB_KEY_PRESS, keycode);
    for (auto keycode = chord.rbegin(); keycode != chord.rend(); ++keycode)
        fakeKey(connection, XCB_KEY_RELEASE, *keycode);
    for (xkb_keycode_t keycode : released)
        fakeKey(connection, XCB_KEY_PRESS, keycode);
    // A round trip makes sure the server has handled the keys before the caller starts
    // waiting for their effect.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return true;
}
