#include "platform/X11Desktop.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace platform {

namespace {
constexpr uint32_t kNetWmStateAdd = 1;
constexpr uint32_t kSourceApplication = 1;

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_window_t windowOf(QWidget& w) { return static_cast<xcb_window_t>(w.winId()); }
}  // namespace

X11Desktop::X11Desktop(xcb_connection_t* connection)
    : c_(connection),
      root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
      instance_(instanceName("slateboard")) {}

bool X11Desktop::prevInstance() { return !instance_.claim(); }

xcb_atom_t X11Desktop::atom(const char* name) {
    auto cookie = xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name);
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c_, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<uint32_t> X11Desktop::cardinals(xcb_window_t window, xcb_atom_t property) {
    auto cookie = xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c_, cookie, nullptr), &std::free);
    std::vector<uint32_t> values;
    if (!reply || reply->format != 32) return values;
    auto* data = static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
    values.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
    return values;
}

void X11Desktop::sendToRoot(xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = type;
    size_t i = 0;
    for (uint32_t d : data) ev.data.data32[i++] = d;
    xcb_send_event(c_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
}

void X11Desktop::keepOnTop(QWidget& window) {
    // The window's stays-on-top flag asks for the above state when it is mapped; a mapped
    // window is asked again, in case the window manager or the user took it away.
    if (window.isVisible()) {
        sendToRoot(windowOf(window), atom("_NET_WM_STATE"),
                   {kNetWmStateAdd, atom("_NET_WM_STATE_ABOVE"), 0, kSourceApplication, 0});
        window.raise();
    }
    xcb_flush(c_);
}

void X11Desktop::setMinimizeBox(QWidget& window, bool present) {
    // Window managers keep the minimise action of normal windows whatever the Motif hints
    // say, but take it from toolbar windows; they read the type again when the Motif hints
    // change, so both properties are written.
    xcb_window_t w = windowOf(window);
    xcb_atom_t type = atom(present ? "_NET_WM_WINDOW_TYPE_NORMAL" : "_NET_WM_WINDOW_TYPE_TOOLBAR");
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);

    constexpr uint32_t kFunctions = 1, kDecorations = 2;
    constexpr uint32_t kFuncAll = 1, kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncClose = 32;
    constexpr uint32_t kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32;
    uint32_t functions = kFuncMove | kFuncClose | kFuncResize;
    uint32_t decorations = kDecorBorder | kDecorTitle | kDecorMenu;
    if (present) {
        functions |= kFuncMinimize;
        decorations |= kDecorMinimize;
    }
    (void)kFuncAll;
    uint32_t hints[5] = {kFunctions | kDecorations, functions, decorations, 0, 0};
    xcb_atom_t motif = atom("_MOTIF_WM_HINTS");
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, motif, motif, 32, 5, hints);
    xcb_flush(c_);
}

FrameExtents X11Desktop::frameExtents(QWidget& window) {
    xcb_window_t w = windowOf(window);
    xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    auto values = cardinals(w, extents);
    if (values.size() < 4) {
        // Ask the window manager what frame it would give the window, and wait briefly.
        sendToRoot(w, atom("_NET_REQUEST_FRAME_EXTENTS"), {0, 0, 0, 0, 0});
        xcb_flush(c_);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while ((values = cardinals(w, extents)).size() < 4 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (values.size() < 4) return {};
    return {int(values[0]), int(values[1]), int(values[2]), int(values[3])};
}

}  // namespace platform

namespace platform {

xcb_window_t X11Desktop::frameOf(xcb_window_t window) {
    // Walk up to the child of the root: the window manager's frame around the window.
    xcb_window_t w = window;
    for (int depth = 0; depth < 8; ++depth) {
        XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr), &std::free);
        if (!tree || tree->parent == XCB_WINDOW_NONE || tree->parent == root_) break;
        w = tree->parent;
    }
    return w;
}

void X11Desktop::waitUntilGone(QWidget& window) {
    using clock = std::chrono::steady_clock;
    xcb_window_t frame = frameOf(windowOf(window));
    auto deadline = clock::now() + std::chrono::milliseconds(500);
    while (clock::now() < deadline) {
        XcbReply<xcb_get_window_attributes_reply_t> attrs(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, frame), nullptr), &std::free);
        if (!attrs || attrs->map_state == XCB_MAP_STATE_UNMAPPED) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The windows beneath repaint what was uncovered in their own time.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

QImage X11Desktop::capture(const QRect& area) {
    const xcb_setup_t* setup = xcb_get_setup(c_);
    xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    QRect r = area.intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    if (r.isEmpty()) return out;
    auto cookie = xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, int16_t(r.x()), int16_t(r.y()),
                                uint16_t(r.width()), uint16_t(r.height()), ~0u);
    XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(c_, cookie, nullptr), &std::free);
    const int bytes = reply ? xcb_get_image_data_length(reply.get()) : 0;
    const bool native32 = reply && (reply->depth == 24 || reply->depth == 32) &&
                          bytes == r.width() * r.height() * 4 &&
                          setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (!native32) {
        // An unusual visual: let Qt convert it.
        QScreen* s = QGuiApplication::primaryScreen();
        if (s) return s->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage().convertToFormat(QImage::Format_RGB32);
        return out;
    }
    // 32 bits per pixel, little-endian: B, G, R, x in memory, the layout of Format_RGB32.
    const uint8_t* data = xcb_get_image_data(reply.get());
    const QPoint offset = r.topLeft() - area.topLeft();
    for (int y = 0; y < r.height(); ++y) {
        auto* dst = reinterpret_cast<uint32_t*>(out.scanLine(offset.y() + y)) + offset.x();
        const auto* src = reinterpret_cast<const uint32_t*>(data + size_t(y) * r.width() * 4);
        for (int x = 0; x < r.width(); ++x) dst[x] = src[x] | 0xff000000u;
    }
    return out;
}

void X11Desktop::minimize(QWidget& window) {
    window.showMinimized();
    xcb_flush(c_);
}

void X11Desktop::restore(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
    xcb_flush(c_);
}

bool X11Desktop::isMinimized(QWidget& window) {
    // What the window manager says, not what Qt last asked for.
    auto state = cardinals(windowOf(window), atom("_NET_WM_STATE"));
    xcb_atom_t hidden = atom("_NET_WM_STATE_HIDDEN");
    for (uint32_t a : state)
        if (a == hidden) return true;
    return window.isMinimized();
}

}  // namespace platform
