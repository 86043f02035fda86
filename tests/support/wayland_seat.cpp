// SPDX-License-Identifier: MIT
// The keyboard and pointer of a headless Wayland test session, for scripts/test-session:
// a headless compositor has no input device, and without a keyboard no window ever becomes
// active. It binds wlroots' virtual keyboard and pointer, or KDE's fake input, keeps them
// for as long as it runs, and performs the commands written to its command pipe, one per
// line:
//     key CODE 1|0          press or release an evdev key (Ctrl, Shift, Alt and Super
//                           hold their modifier while down)
//     motion X Y            move the pointer to these global coordinates
//     button CODE 1|0       press or release a pointer button (272 is the left one)
// Once the devices exist it writes "ready" to its ready file.
//
// usage: wayland_seat COMMAND-PIPE READY-FILE

#include "fake-input-client-protocol.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

struct Seat {
    wl_seat* seat = nullptr;
    wl_output* output = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    org_kde_kwin_fake_input* fakeInput = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    // What the virtual keyboard's keys hold down: wlroots takes modifiers only from the
    // modifiers request, KWin works them out itself.
    xkb_state* state = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
};

void onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* seat = static_cast<Seat*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        seat->width = width;
        seat->height = height;
    }
}
void onGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                const char*, int32_t)
{}
void onDone(void*, wl_output*) {}
void onScale(void*, wl_output*, int32_t) {}
const wl_output_listener outputListener = {onGeometry, onMode, onDone, onScale};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version)
{
    auto* seat = static_cast<Seat*>(data);
    const std::string is = interface;
    if (is == wl_seat_interface.name && !seat->seat)
        seat->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (is == wl_output_interface.name && !seat->output) {
        seat->output =
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
        wl_output_add_listener(seat->output, &outputListener, seat);
    } else if (is == zwp_virtual_keyboard_manager_v1_interface.name)
        seat->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (is == zwlr_virtual_pointer_manager_v1_interface.name)
        seat->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (is == org_kde_kwin_fake_input_interface.name && version >= 4)
        seat->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

// The default layout's keymap, in a file the compositor can map.
bool uploadKeymap(zwp_virtual_keyboard_v1* keyboard, xkb_state** state)
{
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap =
        context ? xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS)
                : nullptr;
    char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    bool done = false;
    if (text) {
        const size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("keymap", MFD_CLOEXEC);
        if (fd >= 0 && write(fd, text, size) == ssize_t(size)) {
            zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                           uint32_t(size));
            done = true;
        }
        if (fd >= 0)
            close(fd);
    }
    free(text);
    if (done)
        *state = xkb_state_new(keymap);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return done;
}

void perform(wl_display* display, Seat& seat, const char* line, uint32_t time)
{
    unsigned code = 0, state = 0;
    int x = 0, y = 0;
    if (std::sscanf(line, "key %u %u", &code, &state) == 2) {
        if (seat.keyboard) {
            zwp_virtual_keyboard_v1_key(seat.keyboard, time, code, state);
            // Evdev codes are 8 below XKB's.
            xkb_state_update_key(seat.state, code + 8, state ? XKB_KEY_DOWN : XKB_KEY_UP);
            zwp_virtual_keyboard_v1_modifiers(
                seat.keyboard, xkb_state_serialize_mods(seat.state, XKB_STATE_MODS_DEPRESSED),
                xkb_state_serialize_mods(seat.state, XKB_STATE_MODS_LATCHED),
                xkb_state_serialize_mods(seat.state, XKB_STATE_MODS_LOCKED),
                xkb_state_serialize_layout(seat.state, XKB_STATE_LAYOUT_EFFECTIVE));
        } else
            org_kde_kwin_fake_input_keyboard_key(seat.fakeInput, code, state);
    } else if (std::sscanf(line, "motion %d %d", &x, &y) == 2) {
        if (seat.pointer) {
            zwlr_virtual_pointer_v1_motion_absolute(seat.pointer, time, uint32_t(x), uint32_t(y),
                                                    uint32_t(seat.width), uint32_t(seat.height));
            zwlr_virtual_pointer_v1_frame(seat.pointer);
        } else {
            org_kde_kwin_fake_input_pointer_motion_absolute(seat.fakeInput, wl_fixed_from_int(x),
                                                            wl_fixed_from_int(y));
        }
    } else if (std::sscanf(line, "button %u %u", &code, &state) == 2) {
        if (seat.pointer) {
            zwlr_virtual_pointer_v1_button(seat.pointer, time, code, state);
            zwlr_virtual_pointer_v1_frame(seat.pointer);
        } else {
            org_kde_kwin_fake_input_button(seat.fakeInput, code, state);
        }
    } else {
        std::fprintf(stderr, "wayland_seat: unknown command: %s", line);
    }
    wl_display_flush(display);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: wayland_seat COMMAND-PIPE READY-FILE\n", stderr);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wayland_seat: cannot connect to the compositor\n", stderr);
        return 1;
    }
    Seat seat;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &seat);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    if (seat.seat && seat.keyboards && seat.pointers) {
        seat.keyboard =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(seat.keyboards, seat.seat);
        if (!uploadKeymap(seat.keyboard, &seat.state)) {
            std::fputs("wayland_seat: no keymap\n", stderr);
            return 1;
        }
        seat.pointer =
            zwlr_virtual_pointer_manager_v1_create_virtual_pointer(seat.pointers, seat.seat);
    } else if (seat.fakeInput) {
        org_kde_kwin_fake_input_authenticate(seat.fakeInput, "Quillmark tests",
                                             "the test session's keyboard and pointer");
    } else {
        std::fputs("wayland_seat: the compositor offers no virtual keyboard and pointer\n", stderr);
        return 1;
    }
    if (wl_display_roundtrip(display) < 0) {
        std::fputs("wayland_seat: the compositor refused the devices\n", stderr);
        return 1;
    }
    // Opened for writing too, so that the pipe never reports its end between two writers.
    FILE* commands = std::fopen(argv[1], "r+");
    FILE* ready = std::fopen(argv[2], "w");
    if (!commands || !ready) {
        std::perror("wayland_seat");
        return 1;
    }
    std::fputs("ready\n", ready);
    std::fclose(ready);

    char line[256];
    uint32_t time = 0;
    while (std::fgets(line, sizeof line, commands)) {
        perform(display, seat, line, time += 10);
        // Whatever the compositor says (errors included) is read before the next command.
        if (wl_display_roundtrip(display) < 0) {
            std::fputs("wayland_seat: the connection to the compositor broke\n", stderr);
            return 1;
        }
    }
    return 0;
}
