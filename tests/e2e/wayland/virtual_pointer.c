// A pointer for the Wayland end-to-end test: moves, presses and releases through the compositor's
// wlr-virtual-pointer protocol, so that they reach clients as a user's would.
//   virtual_pointer WIDTH HEIGHT
// WIDTH and HEIGHT: the desktop's layout size. Reads lines of commands from standard input, for
// as long as it is open, all through one device (a device that comes and goes makes clients drop
// and make their pointer again): move:X,Y  down:left|right  up:left|right  click:left|right (a
// press and a release). Each command is a frame of its own; once the compositor has taken the
// line's, "ok" is written on standard output.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

static struct zwlr_virtual_pointer_manager_v1* manager;
static uint32_t width, height;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    (void)data, (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) { (void)data, (void)registry, (void)name; }

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

static int button_of(const char* name) {
    if (strcmp(name, "left") == 0) return BTN_LEFT;
    if (strcmp(name, "right") == 0) return BTN_RIGHT;
    return -1;
}

static void press(struct zwlr_virtual_pointer_v1* pointer, int button, bool down) {
    zwlr_virtual_pointer_v1_button(pointer, now_ms(), (uint32_t)button,
                                   down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
}

static bool run(struct zwlr_virtual_pointer_v1* pointer, const char* command) {
    unsigned x, y;
    char name[16];
    int button = -1;
    if (sscanf(command, "move:%u,%u", &x, &y) == 2) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
    } else if (sscanf(command, "down:%15s", name) == 1 && (button = button_of(name)) >= 0) {
        press(pointer, button, true);
    } else if (sscanf(command, "up:%15s", name) == 1 && (button = button_of(name)) >= 0) {
        press(pointer, button, false);
    } else if (sscanf(command, "click:%15s", name) == 1 && (button = button_of(name)) >= 0) {
        press(pointer, button, true);
        zwlr_virtual_pointer_v1_frame(pointer);
        press(pointer, button, false);
    } else {
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT <commands\n", argv[0]);
        return 2;
    }
    width = (uint32_t)atoi(argv[1]), height = (uint32_t)atoi(argv[2]);
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) return fprintf(stderr, "virtual_pointer: no Wayland display\n"), 1;
    static const struct wl_registry_listener listener = {global, global_remove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!manager) return fprintf(stderr, "virtual_pointer: the compositor has no virtual pointers\n"), 1;
    struct zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
    wl_display_roundtrip(display);
    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        for (char* command = strtok(line, " \t\n"); command; command = strtok(NULL, " \t\n")) {
            if (!run(pointer, command)) {
                fprintf(stderr, "virtual_pointer: cannot read '%s'\n", command);
                return 2;
            }
            zwlr_virtual_pointer_v1_frame(pointer);
            wl_display_roundtrip(display);
        }
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
