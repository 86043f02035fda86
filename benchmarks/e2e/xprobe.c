// SPDX-License-Identifier: MIT
// Event-driven timings on an X display, read off the events every X client sees, so that
// no figure includes the start of a helper program or a polling interval.
//
//   xprobe panel KEYS [--hold MS] [--class NAME] [--timeout MS]
//       Types KEYS (for example alt+super+t) through XTest, holding the last key for MS
//       milliseconds, and times from the key press as the server reports it (an XInput2 raw
//       event) to the MapNotify of a top-level window whose WM_CLASS (or its framed client's) holds NAME
//       (default "quillmark") and to that window's first drawing (a DAMAGE notification).
//       The panel is left open. Prints one line:
//           map MS paint MS after-release MS
//       after-release is the map time counted from the moment the last key went up (negative
//       when the panel came first).
//
//   xprobe key KEYS --expect KEY [--hold MS] [--timeout MS]
//       Types KEYS the same way and times from the last key going up to the press of KEY
//       that another client types (a paste's Ctrl+V, a copy's Ctrl+C). Prints:
//           key MS after-release MS
//
//   xprobe dock [--log TEXT] -- COMMAND [ARGUMENT...]
//       Becomes the tray (the _NET_SYSTEM_TRAY_S<screen> selection owner), starts COMMAND
//       and times from its start to its tray icon's dock request, and to the first line of
//       its standard error that contains TEXT. Prints:
//           dock MS log MS
//       and stops the command.
//
// A figure that was not seen within the time-out (default 3000 ms) is printed as "-".
#define _GNU_SOURCE
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <ctype.h>
#include <poll.h>
#include <signal.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { maxKeys = 8 };

static xcb_connection_t* connection;
static xcb_screen_t* screen;
static uint8_t xinputOpcode;
static uint8_t damageEventBase;

static double now(void)
{
    struct timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec * 1000.0 + time.tv_nsec / 1e6;
}

static void fail(const char* message)
{
    fprintf(stderr, "xprobe: %s\n", message);
    exit(2);
}

static void printFigure(const char* name, double value, bool seen)
{
    if (seen)
        printf("%s %.2f ", name, value);
    else
        printf("%s - ", name);
}

static xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name), NULL);
    if (!reply)
        fail("cannot intern an atom");
    const xcb_atom_t result = reply->atom;
    free(reply);
    return result;
}

// Waits until the server has handled every request sent so far.
static void roundTrip(void)
{
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), NULL));
}

static void connect(void)
{
    int screenNumber = 0;
    connection = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(connection))
        fail("cannot open the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    screen = screens.data;
}

// --- keys -------------------------------------------------------------------------------

static xcb_keysym_t keysymOf(const char* name)
{
    static const struct {
        const char* name;
        xcb_keysym_t keysym;
    } named[] = {
        {"alt", 0xffe9},    {"super", 0xffeb}, {"ctrl", 0xffe3},  {"control", 0xffe3},
        {"shift", 0xffe1},  {"escape", 0xff1b}, {"return", 0xff0d}, {"space", 0x20},
    };
    for (size_t i = 0; i < sizeof named / sizeof named[0]; ++i)
        if (strcasecmp(name, named[i].name) == 0)
            return named[i].keysym;
    if (strlen(name) == 1 && isprint((unsigned char)name[0]))
        return (xcb_keysym_t)tolower((unsigned char)name[0]);
    fprintf(stderr, "xprobe: unknown key %s\n", name);
    exit(2);
}

static xcb_keycode_t keycodeOf(xcb_keysym_t keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), NULL);
    if (!mapping)
        fail("cannot read the keyboard mapping");
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && !found; ++code)
        for (int level = 0; level < mapping->keysyms_per_keycode; ++level)
            if (keysyms[code * mapping->keysyms_per_keycode + level] == keysym) {
                found = (xcb_keycode_t)(setup->min_keycode + code);
                break;
            }
    free(mapping);
    if (!found)
        fail("a key is not on the keyboard");
    return found;
}

// "alt+super+t" → keycodes, in order.
static int parseKeys(const char* text, xcb_keycode_t* codes)
{
    char* copy = strdup(text);
    int count = 0;
    for (char* part = strtok(copy, "+"); part && count < maxKeys; part = strtok(NULL, "+"))
        codes[count++] = keycodeOf(keysymOf(part));
    free(copy);
    return count;
}

static void fakeKey(uint8_t type, xcb_keycode_t code)
{
    xcb_test_fake_input(connection, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

static void pressAll(const xcb_keycode_t* codes, int count)
{
    for (int i = 0; i < count; ++i)
        fakeKey(XCB_KEY_PRESS, codes[i]);
    xcb_flush(connection);
}

static void releaseAll(const xcb_keycode_t* codes, int count)
{
    for (int i = count - 1; i >= 0; --i)
        fakeKey(XCB_KEY_RELEASE, codes[i]);
    xcb_flush(connection);
}

// Raw key events of every device, as the server delivers them to all who ask.
static void listenToRawKeys(void)
{
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present)
        fail("the X server has no XInputExtension");
    xinputOpcode = extension->major_opcode;
    // XInput 2 events reach only a client that said which version it speaks.
    free(xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2),
                                          NULL));
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1},
              XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE};
    xcb_input_xi_select_events(connection, screen->root, 1, &mask.head);
}

static bool isRawKey(xcb_generic_event_t* event, uint16_t type, xcb_keycode_t* code)
{
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    xcb_ge_generic_event_t* generic = (xcb_ge_generic_event_t*)event;
    if (generic->extension != xinputOpcode || generic->event_type != type)
        return false;
    *code = (xcb_keycode_t)((xcb_input_raw_key_press_event_t*)event)->detail;
    return true;
}

// Waits for the next event until `deadline` (a now() value); NULL when none came.
static xcb_generic_event_t* nextEvent(double deadline)
{
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (event)
            return event;
        if (xcb_connection_has_error(connection))
            fail("the display went away");
        const double left = deadline - now();
        if (left <= 0)
            return NULL;
        struct pollfd descriptor = {xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, (int)(left + 1));
    }
}

// --- panel ------------------------------------------------------------------------------

static bool hasClass(xcb_window_t window, const char* name)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64),
        NULL);
    bool found = false;
    if (reply) {
        const char* value = xcb_get_property_value(reply);
        const int length = xcb_get_property_value_length(reply);
        for (int at = 0; at < length && !found; at += (int)strnlen(value + at, length - at) + 1)
            found = strncasecmp(value + at, name, strlen(name)) == 0;
        free(reply);
    }
    return found;
}

// The window itself, or, when a window manager framed it, the frame's client inside.
static bool holdsClass(xcb_window_t window, const char* name)
{
    if (hasClass(window, name))
        return true;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), NULL);
    bool found = false;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
            found = hasClass(children[i], name);
        free(tree);
    }
    return found;
}

struct Options {
    const char* keys;
    const char* expect;
    const char* className;
    const char* logText;
    int holdMs;
    int timeoutMs;
};

struct Round {
    double pressed, released, mapped, painted, expected;
};

// Types the keys and follows the events until `done` says the round has what it waits for
// or the time-out passes. Every window mapped during the round is watched for drawing.
static void runRound(const struct Options* options, struct Round* round,
                     bool (*done)(const struct Round*))
{
    xcb_keycode_t codes[maxKeys];
    const int count = parseKeys(options->keys, codes);
    xcb_keycode_t expected = options->expect ? keycodeOf(keysymOf(options->expect)) : 0;
    const xcb_keycode_t last = codes[count - 1];

    xcb_window_t panel = XCB_NONE;
    xcb_damage_damage_t damage = XCB_NONE;
    bool releaseSent = false;
    const double started = now();
    pressAll(codes, count);
    if (options->holdMs == 0) {
        releaseAll(codes, count);
        releaseSent = true;
    }
    const double deadline = started + options->timeoutMs;
    while (!done(round)) {
        const double releaseAt = started + options->holdMs;
        xcb_generic_event_t* event = nextEvent(releaseSent ? deadline : releaseAt);
        if (!event) {
            if (!releaseSent) {
                releaseAll(codes, count);
                releaseSent = true;
                continue;
            }
            break;
        }
        const uint8_t type = event->response_type & 0x7f;
        xcb_keycode_t code = 0;
        if (isRawKey(event, XCB_INPUT_RAW_KEY_PRESS, &code)) {
            if (code == last && round->pressed == 0)
                round->pressed = now();
            else if (expected && code == expected && releaseSent && round->released > 0)
                round->expected = now();
        } else if (isRawKey(event, XCB_INPUT_RAW_KEY_RELEASE, &code)) {
            if (code == codes[0] && releaseSent && round->released == 0)
                round->released = now();
        } else if (type == XCB_MAP_NOTIFY && panel == XCB_NONE) {
            xcb_map_notify_event_t* map = (xcb_map_notify_event_t*)event;
            const double at = now();
            if (holdsClass(map->window, options->className)) {
                panel = map->window;
                round->mapped = at;
                damage = xcb_generate_id(connection);
                xcb_damage_create(connection, damage, panel, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(connection);
            }
        } else if (damageEventBase && type == damageEventBase + XCB_DAMAGE_NOTIFY) {
            if (round->painted == 0)
                round->painted = now();
        }
        free(event);
    }
    if (!releaseSent)
        releaseAll(codes, count);
    if (damage != XCB_NONE)
        xcb_damage_destroy(connection, damage);
    xcb_flush(connection);
}

static bool panelDone(const struct Round* round)
{
    return round->painted > 0 && round->released > 0;
}

static bool keyDone(const struct Round* round)
{
    return round->expected > 0;
}

static int measureKeys(const struct Options* options, bool panelMode)
{
    connect();
    listenToRawKeys();
    if (panelMode) {
        const xcb_query_extension_reply_t* extension =
            xcb_get_extension_data(connection, &xcb_damage_id);
        if (!extension || !extension->present)
            fail("the X server has no DAMAGE extension");
        damageEventBase = extension->first_event;
        xcb_damage_query_version_reply_t* version = xcb_damage_query_version_reply(
            connection, xcb_damage_query_version(connection, 1, 1), NULL);
        free(version);
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(connection);
    roundTrip();

    struct Round round = {0};
    runRound(options, &round, panelMode ? panelDone : keyDone);
    if (panelMode) {
        printFigure("map", round.mapped - round.pressed, round.mapped > 0 && round.pressed > 0);
        printFigure("paint", round.painted - round.pressed, round.painted > 0 && round.pressed > 0);
        printFigure("after-release", round.mapped - round.released,
                    round.mapped > 0 && round.released > 0);
    } else {
        printFigure("key", round.expected - round.pressed, round.expected > 0);
        printFigure("after-release", round.expected - round.released,
                    round.expected > 0 && round.released > 0);
    }
    printf("\n");
    xcb_disconnect(connection);
    return 0;
}

// --- dock -------------------------------------------------------------------------------

static int measureDock(const struct Options* options, char** command)
{
    connect();
    char selectionName[64];
    snprintf(selectionName, sizeof selectionName, "_NET_SYSTEM_TRAY_S%d", 0);
    const xcb_atom_t selection = atom(selectionName);
    const xcb_atom_t opcode = atom("_NET_SYSTEM_TRAY_OPCODE");
    const xcb_atom_t manager = atom("MANAGER");

    const xcb_window_t tray = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, tray, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, NULL);
    xcb_set_selection_owner(connection, tray, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t announce = {0};
    announce.response_type = XCB_CLIENT_MESSAGE;
    announce.format = 32;
    announce.window = screen->root;
    announce.type = manager;
    announce.data.data32[0] = XCB_CURRENT_TIME;
    announce.data.data32[1] = selection;
    announce.data.data32[2] = tray;
    xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   (const char*)&announce);
    roundTrip();

    int errors[2];
    if (pipe(errors) != 0)
        fail("cannot make a pipe");
    const double started = now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(errors[1], STDERR_FILENO);
        close(errors[0]);
        execvp(command[0], command);
        _exit(127);
    }
    close(errors[1]);

    double docked = 0, logged = 0;
    char buffer[8192];
    size_t filled = 0;
    const double deadline = started + options->timeoutMs;
    bool logOpen = true;
    while ((docked == 0 || (options->logText && logged == 0)) && now() < deadline) {
        struct pollfd descriptors[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0},
                                        {logOpen ? errors[0] : -1, POLLIN, 0}};
        xcb_generic_event_t* event;
        while ((event = xcb_poll_for_event(connection))) {
            xcb_client_message_event_t* message = (xcb_client_message_event_t*)event;
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && message->type == opcode &&
                message->data.data32[1] == 0 /* SYSTEM_TRAY_REQUEST_DOCK */ && docked == 0)
                docked = now();
            free(event);
        }
        poll(descriptors, 2, (int)(deadline - now()) + 1);
        if (descriptors[1].revents) {
            const ssize_t got = read(errors[0], buffer + filled, sizeof buffer - 1 - filled);
            if (got <= 0) {
                logOpen = false;
                continue;
            }
            filled += (size_t)got;
            buffer[filled] = '\0';
            if (options->logText && logged == 0 && strstr(buffer, options->logText))
                logged = now();
            // Keep only the unfinished last line.
            char* lineEnd = strrchr(buffer, '\n');
            if (lineEnd) {
                filled = strlen(lineEnd + 1);
                memmove(buffer, lineEnd + 1, filled + 1);
            } else if (filled >= sizeof buffer - 1) {
                filled = 0;
            }
        }
    }
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    printFigure("dock", docked - started, docked > 0);
    printFigure("log", logged - started, logged > 0);
    printf("\n");
    xcb_disconnect(connection);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: xprobe panel|key|dock …  (see the top of xprobe.c)\n");
        return 2;
    }
    struct Options options = {NULL, NULL, "quillmark", NULL, 0, 3000};
    const char* mode = argv[1];
    int at = 2;
    if (strcmp(mode, "dock") != 0) {
        if (argc < 3)
            fail("no keys given");
        options.keys = argv[at++];
    }
    for (; at < argc; ++at) {
        const char* argument = argv[at];
        const char* value = at + 1 < argc ? argv[at + 1] : NULL;
        if (strcmp(argument, "--") == 0) {
            ++at;
            break;
        }
        if (!value)
            fail("an option has no value");
        if (strcmp(argument, "--hold") == 0)
            options.holdMs = atoi(value);
        else if (strcmp(argument, "--timeout") == 0)
            options.timeoutMs = atoi(value);
        else if (strcmp(argument, "--class") == 0)
            options.className = value;
        else if (strcmp(argument, "--expect") == 0)
            options.expect = value;
        else if (strcmp(argument, "--log") == 0)
            options.logText = value;
        else
            fail("unknown option");
        ++at;
    }
    if (strcmp(mode, "panel") == 0)
        return measureKeys(&options, true);
    if (strcmp(mode, "key") == 0) {
        if (!options.expect)
            fail("key needs --expect KEY");
        return measureKeys(&options, false);
    }
    if (strcmp(mode, "dock") == 0) {
        if (at >= argc)
            fail("dock needs -- COMMAND");
        return measureDock(&options, argv + at);
    }
    fail("unknown mode");
    return 2;
}
