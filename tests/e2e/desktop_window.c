/* The test desktop: a root-sized window of type _NET_WM_WINDOW_TYPE_DESKTOP showing a binary PPM picture from
 * its top-left corner, so every window manager shows the same desktop whatever it paints on the root.
 * desktop_window FILE.ppm [override]: runs until the server ends; override: unmanaged, at the bottom, for a
 * manager that has no desktop layer. desktop_window -cm: exits 0 when a compositing manager owns
 * _NET_WM_CM_S<screen>. desktop_window -close WINDOW: asks the window to close, as a manager's close does.
 * desktop_window -activate WINDOW: asks the manager to activate it, as a taskbar does: with the server's time
 * of now (xdotool sends none, and a manager that then takes the time of the last event it saw may carry out
 * the activation with a time older than the latest focus change, which the server ignores: xfwm4). */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (argc < 2 || !d) return 2;
    int s = DefaultScreen(d), w = DisplayWidth(d, s), h = DisplayHeight(d, s), pw, ph, max;
    char name[32];
    snprintf(name, sizeof name, "_NET_WM_CM_S%d", s);
    if (argc == 3 && !strcmp(argv[1], "-activate")) {
        Window probe = XCreateSimpleWindow(d, RootWindow(d, s), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(d, probe, PropertyChangeMask);
        XChangeProperty(d, probe, XA_WM_NAME, XA_STRING, 8, PropModeReplace, (unsigned char*)"", 0);
        XEvent now;
        XWindowEvent(d, probe, PropertyChangeMask, &now);
        XClientMessageEvent e = {.type = ClientMessage, .window = strtoul(argv[2], NULL, 0), .format = 32,
                                 .message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False),
                                 .data.l = {2, now.xproperty.time, 0}};
        int sent = XSendEvent(d, RootWindow(d, s), False, SubstructureRedirectMask | SubstructureNotifyMask, (XEvent*)&e);
        return XSync(d, False), !sent;
    }
    if (argc == 3 && !strcmp(argv[1], "-close")) {
        XClientMessageEvent e = {.type = ClientMessage, .window = strtoul(argv[2], NULL, 0), .format = 32,
                                 .message_type = XInternAtom(d, "WM_PROTOCOLS", False),
                                 .data.l = {XInternAtom(d, "WM_DELETE_WINDOW", False), CurrentTime}};
        int sent = XSendEvent(d, e.window, False, NoEventMask, (XEvent*)&e);
        return XSync(d, False), !sent;
    }
    if (argv[1][0] == '-') return XGetSelectionOwner(d, XInternAtom(d, name, False)) == None;
    FILE* f = fopen(argv[1], "rb");
    if (!f || fscanf(f, "P6 %d %d %d", &pw, &ph, &max) != 3 || fgetc(f) == EOF || max != 255) return 2;
    Pixmap pic = XCreatePixmap(d, RootWindow(d, s), pw, ph, DefaultDepth(d, s));
    XImage* img =
        XCreateImage(d, DefaultVisual(d, s), DefaultDepth(d, s), ZPixmap, 0, malloc(4L * pw * ph), pw, ph, 32, 0);
    for (int y = 0; y < ph; y++)
        for (int x = 0; x < pw; x++) {
            int r = fgetc(f), g = fgetc(f), b = fgetc(f);
            XPutPixel(img, x, y, (unsigned long)r << 16 | g << 8 | b);
        }
    XPutImage(d, pic, DefaultGC(d, s), img, 0, 0, 0, 0, pw, ph);
    Window win = XCreateSimpleWindow(d, RootWindow(d, s), 0, 0, w, h, 0, 0, 0);
    XSetWindowAttributes a = {.background_pixmap = pic, .override_redirect = argc > 2};
    XChangeWindowAttributes(d, win, CWBackPixmap | CWOverrideRedirect, &a);
    XLowerWindow(d, win);
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    XChangeProperty(d, win, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    (unsigned char*)&type, 1);
    XStoreName(d, win, "desktop");
    XMapWindow(d, win);
    for (XEvent e;;) XNextEvent(d, &e);  // until the server goes away
}
