/* Test helper: another X client that holds a key combination on the root window, as a
 * program that owns a global shortcut would. Usage: hold_key ctrl+z | f1
 * Prints "held" and waits to be killed; exits 1 when someone else holds it already. */
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    int ctrl = strcmp(argv[1], "ctrl+z") == 0;
    xcb_keysym_t sym = ctrl ? 0x7a /* z */ : 0xffbe /* F1 */;
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) return 2;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t* syms = xcb_key_symbols_alloc(c);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(syms, sym);
    if (!codes) return 2;
    uint16_t mods = ctrl ? XCB_MOD_MASK_CONTROL : 0;
    xcb_void_cookie_t ck = xcb_grab_key_checked(c, 0, root, mods, codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* err = xcb_request_check(c, ck);
    if (err) {
        printf("taken\n");
        return 1;
    }
    printf("held\n");
    fflush(stdout);
    for (;;) pause();
}
