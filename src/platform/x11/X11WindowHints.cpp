#include "platform/x11/X11WindowHints.h"

#include <QWidget>

#include <algorithm>
#include <chrono>
#include <thread>

namespace platform::x11 {

namespace {
constexpr uint32_t kStateAdd = 1;
constexpr uint32_t kSourceApplication = 1;
}  // namespace

void X11WindowHints::keepOnTop(QWidget& window) {
    // The stays-on-top flag asks for the above state when the window is mapped; a mapped window
    // is asked again, in case the window manager or the user took it away.
    if (window.isVisible()) {
        x_.sendToRoot(Connection::windowOf(window), "_NET_WM_STATE",
                      {kStateAdd, x_.atom("_NET_WM_STATE_ABOVE"), 0, kSourceApplication, 0});
        window.raise();
    }
    xcb_flush(x_.get());
}

void X11WindowHints::setMinimizable(QWidget& window, bool minimizable) {
    // Window managers keep the minimise action of normal windows whatever the Motif hints say,
    // but take it from toolbar windows; they read the type again when the Motif hints change,
    // so both properties are written.
    const xcb_window_t w = Connection::windowOf(window);
    const xcb_atom_t type = x_.atom(minimizable ? "_NET_WM_WINDOW_TYPE_NORMAL" : "_NET_WM_WINDOW_TYPE_TOOLBAR");
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, x_.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &type);
    constexpr uint32_t kFunctions = 1, kDecorations = 2;
    constexpr uint32_t kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncClose = 32;
    constexpr uint32_t kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32;
    const uint32_t hints[5] = {kFunctions | kDecorations,
                               kFuncMove | kFuncClose | kFuncResize | (minimizable ? kFuncMinimize : 0),
                               kDecorBorder | kDecorTitle | kDecorMenu | (minimizable ? kDecorMinimize : 0), 0, 0};
    const xcb_atom_t motif = x_.atom("_MOTIF_WM_HINTS");
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, motif, motif, 32, 5, hints);
    xcb_flush(x_.get());
}

FrameExtents X11WindowHints::frameExtents(QWidget& window) {
    const xcb_window_t w = Connection::windowOf(window);
    auto values = x_.cardinals(w, "_NET_FRAME_EXTENTS");
    if (values.size() < 4) {
        // Ask the window manager what frame it would give the window, and wait briefly.
        x_.sendToRoot(w, "_NET_REQUEST_FRAME_EXTENTS", {0, 0, 0, 0, 0});
        xcb_flush(x_.get());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while ((values = x_.cardinals(w, "_NET_FRAME_EXTENTS")).size() < 4 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (values.size() < 4) return {};
    return {int(values[0]), int(values[1]), int(values[2]), int(values[3])};
}

std::optional<QPoint> X11WindowHints::clientPosition(QWidget& window) {
    const auto cookie = xcb_translate_coordinates(x_.get(), Connection::windowOf(window), x_.root(), 0, 0);
    Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(x_.get(), cookie, nullptr),
                                                   &std::free);
    if (!reply) return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
}

void X11WindowHints::setOwner(QWidget& window, QWidget& owner) {
    // Qt writes no WM_TRANSIENT_FOR for a plain top-level window.
    const xcb_window_t o = Connection::windowOf(owner);
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, Connection::windowOf(window), XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &o);
    xcb_flush(x_.get());
}

void X11WindowHints::minimize(QWidget& window) {
    window.showMinimized();
    xcb_flush(x_.get());
}

void X11WindowHints::restore(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
    xcb_flush(x_.get());
}

bool X11WindowHints::isMinimized(QWidget& window) {
    // What the window manager says, not what Qt last asked for.
    const auto state = x_.cardinals(Connection::windowOf(window), "_NET_WM_STATE");
    return std::count(state.begin(), state.end(), x_.atom("_NET_WM_STATE_HIDDEN")) > 0 || window.isMinimized();
}

}  // namespace platform::x11
