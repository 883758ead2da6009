/* Another X client holding a key on the root window, as a program owning a global shortcut would.
 * Usage: hold_key ctrl+z | f1. Prints "held" and waits to be killed, or "taken" and exits 1.
 * hold_key probe ctrl+z | f1: "taken" while another client holds it, else "free" (nothing kept).
 * hold_key type CHORD...: keys by their X keycodes, whatever the layout gives them; a chord's keycodes,
 * joined by "+", are pressed in order and released in reverse. */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
static int type(int n, char** chords) {
    Display* d = XOpenDisplay(NULL);
    if (!d) return 2;
    for (int i = 0; i < n; ++i) {
        unsigned codes[8], k = 0;
        for (char *s = chords[i], *end; k < 8 && *s; s = *end ? end + 1 : end) codes[k++] = strtoul(s, &end, 10);
        for (unsigned j = 0; j < k; ++j) XTestFakeKeyEvent(d, codes[j], True, 0);
        while (k) XTestFakeKeyEvent(d, codes[--k], False, 0);
    }
    XSync(d, False);
    return 0;
}
int main(int argc, char** argv) {
    if (argc >= 2 && !strcmp(argv[1], "type")) return type(argc - 2, argv + 2);
    int probe = argc == 3 && !strcmp(argv[1], "probe");
    if (probe) --argc, ++argv;
    int ctrl = argc == 2 && argv[1][0] == 'c'; /* ctrl+z, else f1 */
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (argc != 2 || xcb_connection_has_error(c)) return 2;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(xcb_key_symbols_alloc(c), ctrl ? 0x7a /* z */ : 0xffbe /* F1 */);
    if (!codes) return 2;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_void_cookie_t ck = xcb_grab_key_checked(c, 0, root, ctrl ? XCB_MOD_MASK_CONTROL : 0, codes[0],
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_request_check(c, ck)) return puts("taken"), 1;
    if (probe) return puts("free"), 0; /* the grab ends with the connection */
    puts("held"), fflush(stdout);
    for (;;) pause();
}
