/* Drives the real program as a user does, through XTest, and measures what the user and the machine see.
 *
 * drive launch FILE PROGRAM [ARGS...]   runs PROGRAM in this process (same PID) and writes to FILE the
 *                                       milliseconds until a window titled "SB" is on screen (its frame mapped)
 * drive hotkey                          presses Ctrl + Z and prints the milliseconds until the screen's
 *                                       top-left pixel turns black (the canvas's corner mark is on screen)
 * drive drag X0 Y0 X1 Y1 STEPS PID...   a left-button drag from (X0, Y0) to (X1, Y1) in STEPS moves 1 ms
 *                                       apart; prints, for each PID, the CPU time it spent (the run time of all
 *                                       its threads, /proc/PID/task/TID/schedstat) per move, in microseconds, from before
 *                                       the press until it is idle again after the release
 * drive count X Y W H RRGGBB            prints how many pixels of that screen area are not of that colour
 * drive tick FILE                       until killed, the least a preview can be: a screen-sized window takes
 *                                       the drags, and once a display refresh (60 Hz) after a move it asks where
 *                                       the pointer is and draws one pixel there; FILE is made once the window is
 *                                       on screen. The server's CPU beside it is the least that showing a drag on
 *                                       every refresh costs
 *
 * Every move of a drag goes to a new place: the pointer trembles by 2 pixels on every other step, as a
 * hand does, so no step is lost to the server dropping a move to where the pointer already is. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void pause_us(long us) {
    struct timespec t = {us / 1000000, (us % 1000000) * 1000};
    nanosleep(&t, NULL);
}

/* Nanoseconds run by all threads of the process so far: exact, where utime and stime are sampled
 * once a clock tick (10 ms, a quarter of a whole drag's server time). */
static long long run_ns(int pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", pid);
    DIR* dir = opendir(path);
    if (!dir) return -1;
    long long sum = 0;
    for (struct dirent* e; (e = readdir(dir));) {
        if (e->d_name[0] == '.') continue;
        char file[320];
        snprintf(file, sizeof file, "/proc/%d/task/%s/schedstat", pid, e->d_name);
        FILE* f = fopen(file, "r");
        long long ns = 0;
        if (f && fscanf(f, "%lld", &ns) == 1) sum += ns;
        if (f) fclose(f);
    }
    closedir(dir);
    return sum;
}

/* Returns once none of the processes has run for 30 ms (10 s at most). */
static void wait_idle(const int* pids, int n) {
    double start = now_ms(), quiet_since = now_ms();
    long long last[16] = {0};
    for (int i = 0; i < n; i++) last[i] = run_ns(pids[i]);
    while (now_ms() - quiet_since < 30 && now_ms() - start < 10000) {
        pause_us(2000);
        for (int i = 0; i < n; i++) {
            long long v = run_ns(pids[i]);
            if (v != last[i]) last[i] = v, quiet_since = now_ms();
        }
    }
}

static int has_title(Display* d, Window w, const char* title) {
    char* name = NULL;
    int yes = XFetchName(d, w, &name) && name && strcmp(name, title) == 0;
    if (name) XFree(name);
    if (yes) return 1;
    Window root, parent, *kids = NULL;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return 0;
    for (unsigned i = 0; i < n && !yes; i++) yes = has_title(d, kids[i], title);
    if (kids) XFree(kids);
    return yes;
}

static int launch(Display* d, char** argv) {
    const char* file = argv[0];
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    double t0 = now_ms();
    pid_t watcher = fork();
    if (watcher < 0) return 2;
    if (watcher > 0) { /* this process becomes the program, so that its PID is the program's */
        fcntl(ConnectionNumber(d), F_SETFD, FD_CLOEXEC);
        execvp(argv[1], argv + 1);
        return 127;
    }
    /* The time is taken as the map is heard of: the title search that follows asks the server about
     * every window of the frame, one round trip each, which took 7 to 22 ms while the new window kept
     * the server and the manager busy. */
    double mapped;
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        mapped = now_ms();
        if (e.type == MapNotify && has_title(d, e.xmap.window, "SB")) break;
    }
    FILE* out = fopen(file, "w");
    if (!out) return 2;
    fprintf(out, "%.1f\n", mapped - t0);
    return fclose(out) != 0;
}

static unsigned long top_left(Display* d) {
    XImage* img = XGetImage(d, DefaultRootWindow(d), 0, 0, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = img ? XGetPixel(img, 0, 0) & 0xffffff : 1;
    if (img) XDestroyImage(img);
    return p;
}

static int hotkey(Display* d) {
    KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L), z = XKeysymToKeycode(d, XK_z);
    if (top_left(d) == 0) return 3; /* already black: nothing to wait for */
    double t0 = now_ms();
    XTestFakeKeyEvent(d, ctrl, True, 0);
    XTestFakeKeyEvent(d, z, True, 0);
    XTestFakeKeyEvent(d, z, False, 0);
    XTestFakeKeyEvent(d, ctrl, False, 0);
    XFlush(d);
    while (top_left(d) != 0) {
        if (now_ms() - t0 > 10000) return 1;
        pause_us(500);
    }
    printf("%.1f\n", now_ms() - t0);
    return 0;
}

static int drag(Display* d, char** argv, int argc) {
    int x0 = atoi(argv[0]), y0 = atoi(argv[1]), x1 = atoi(argv[2]), y1 = atoi(argv[3]), steps = atoi(argv[4]);
    int pids[16], n = 0;
    for (int i = 5; i < argc && n < 16; i++) pids[n++] = atoi(argv[i]);
    long long before[16];
    XTestFakeMotionEvent(d, -1, x0, y0, 0);
    XSync(d, False);
    wait_idle(pids, n);
    for (int i = 0; i < n; i++) before[i] = run_ns(pids[i]);
    XTestFakeButtonEvent(d, 1, True, 0);
    for (int i = 1; i <= steps; i++) {
        int tremble = i % 2 ? 2 : 0;
        XTestFakeMotionEvent(d, -1, x0 + (int)((long long)(x1 - x0) * i / steps) + tremble,
                             y0 + (int)((long long)(y1 - y0) * i / steps) + tremble, 0);
        XFlush(d);
        pause_us(1000);
    }
    XTestFakeButtonEvent(d, 1, False, 0);
    XSync(d, False);
    wait_idle(pids, n);
    for (int i = 0; i < n; i++) printf("%s%.1f", i ? " " : "", (run_ns(pids[i]) - before[i]) / 1e3 / steps);
    printf("\n");
    return 0;
}

static int count(Display* d, char** argv) {
    int x = atoi(argv[0]), y = atoi(argv[1]), w = atoi(argv[2]), h = atoi(argv[3]);
    unsigned long want = strtoul(argv[4], NULL, 16), other = 0;
    XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, w, h, AllPlanes, ZPixmap);
    if (!img) return 1;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) other += (XGetPixel(img, i, j) & 0xffffff) != want;
    XDestroyImage(img);
    printf("%lu\n", other);
    return 0;
}

static int tick(Display* d, const char* ready) {
    const int screen = DefaultScreen(d);
    XSetWindowAttributes a = {0};
    a.override_redirect = True;
    a.event_mask = ButtonPressMask | ButtonReleaseMask | ButtonMotionMask | PointerMotionHintMask | StructureNotifyMask;
    /* no background: the desktop stays on screen as it was */
    Window w = XCreateWindow(d, DefaultRootWindow(d), 0, 0, DisplayWidth(d, screen), DisplayHeight(d, screen), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask, &a);
    GC gc = XCreateGC(d, w, 0, NULL);
    XMapRaised(d, w);
    XEvent e;
    do XNextEvent(d, &e);
    while (e.type != MapNotify);
    FILE* f = fopen(ready, "w");
    if (!f) return 1;
    fclose(f);
    double shown = 0;
    for (;;) {
        XNextEvent(d, &e);
        if (e.type != MotionNotify) continue;
        /* a hint: the moves since the last query wait for the next refresh */
        double wait = shown + 1000.0 / 60 - now_ms();
        if (wait > 0) pause_us((long)(wait * 1000));
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask;
        XQueryPointer(d, w, &root, &child, &rx, &ry, &wx, &wy, &mask);
        XSetForeground(d, gc, (unsigned long)wx * 2654435761u);
        XDrawPoint(d, w, gc, wx, wy);
        XFlush(d);
        shown = now_ms();
    }
}

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (!d || argc < 2) return 2;
    if (!strcmp(argv[1], "launch") && argc >= 4) return launch(d, argv + 2);
    if (!strcmp(argv[1], "hotkey")) return hotkey(d);
    if (!strcmp(argv[1], "drag") && argc >= 8) return drag(d, argv + 2, argc - 2);
    if (!strcmp(argv[1], "count") && argc == 7) return count(d, argv + 2);
    if (!strcmp(argv[1], "tick") && argc == 3) return tick(d, argv[2]);
    fprintf(stderr, "drive: unknown command\n");
    return 2;
}
