#include "platform/x11/X11ScreenCapture.h"

#include "platform/LargeImage.h"
#include "platform/x11/SharedImage.h"

#include <xcb/damage.h>
#include <xcb/shm.h>
#include <poll.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace platform::x11 {

X11ScreenCapture::~X11ScreenCapture() {
    if (!own_) return;
    forgetConnection(own_);
    xcb_disconnect(own_);
}

xcb_connection_t* X11ScreenCapture::connection() {
    if (!own_) {
        // The server and screen Qt uses, which need not be $DISPLAY's (-display, DISPLAY=:0.1).
        own_ = xcb_connect(x_.display().empty() ? nullptr : x_.display().c_str(), nullptr);
        if (xcb_connection_has_error(own_)) {
            xcb_disconnect(own_);
            own_ = nullptr;
        }
    }
    return own_ ? own_ : x_.get();
}

void X11ScreenCapture::hide(QWidget& window) {
    using namespace std::chrono;
    xcb_connection_t* c = connection();
    const xcb_window_t root = Connection::screenOf(c, x_.screen())->root;
    const xcb_window_t frame = x_.frameOf(Connection::windowOf(window));
    // Where the frame is: only drawing there tells whether the screen still shows it.
    QRect area;
    {
        Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, frame), nullptr), &std::free);
        Reply<xcb_translate_coordinates_reply_t> at(
            xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, frame, root, 0, 0), nullptr), &std::free);
        if (g && at) area = QRect(at->dst_x, at->dst_y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    }
    // Watched before the window goes, so that no repaint is missed. Without the DAMAGE extension
    // (some nested servers) the windows beneath get a fixed moment instead.
    if (!damageReady_ && c == own_) {
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_damage_id);
        Reply<xcb_damage_query_version_reply_t> version(
            ext && ext->present ? xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr)
                                : nullptr,
            &std::free);
        damageReady_ = version != nullptr;
    }
    uint32_t damage = 0;
    if (damageReady_) {
        damage = xcb_generate_id(c);
        xcb_damage_create(c, damage, root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(c);
    }
    window.hide();
    xcb_flush(x_.get());
    const auto start = steady_clock::now();
    while (steady_clock::now() - start < milliseconds(500)) {
        Reply<xcb_get_window_attributes_reply_t> attrs(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, frame), nullptr), &std::free);
        if (!attrs || attrs->map_state == XCB_MAP_STATE_UNMAPPED) break;
        std::this_thread::sleep_for(milliseconds(1));
    }
    if (!damage) {
        std::this_thread::sleep_for(milliseconds(50));
        return;
    }
    // A compositing manager repaints the screen a frame at a time, and may fade the window out
    // over a few hundred milliseconds: it is done when it has drawn nothing there for a few
    // frames. Without one, the windows beneath repaint what they were shown at once.
    const bool composited = x_.selectionOwned("_NET_WM_CM_S" + std::to_string(x_.screen()));
    waitForQuiet(c, damage, area, composited ? milliseconds(50) : milliseconds(15), start + milliseconds(1000));
    xcb_damage_destroy(c, damage);
    xcb_flush(c);
}

void X11ScreenCapture::waitForQuiet(xcb_connection_t* c, uint32_t damage, const QRect& area,
                                    std::chrono::milliseconds quiet, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    const uint8_t notify = xcb_get_extension_data(c, &xcb_damage_id)->first_event + XCB_DAMAGE_NOTIFY;
    auto last = steady_clock::now();
    while (true) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            if ((e->response_type & 0x7f) == notify) {
                const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e);
                const QRect r(d->geometry.x + d->area.x, d->geometry.y + d->area.y, d->area.width, d->area.height);
                if (d->damage == damage && (area.isEmpty() || r.intersects(area))) last = steady_clock::now();
            }
            std::free(e);
        }
        const auto now = steady_clock::now();
        if (now - last >= quiet || now >= deadline || xcb_connection_has_error(c)) return;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        const auto left = std::min(duration_cast<milliseconds>(last + quiet - now),
                                   duration_cast<milliseconds>(deadline - now));
        ::poll(&fd, 1, int(std::max<int64_t>(1, left.count())));
    }
}

// The whole area in one request, written by the server straight into an image in shared
// memory, which the canvas then shows without its pixels passing through the socket either.
// A null image where the server cannot do it (no MIT-SHM, another machine, an unusual visual).
QImage X11ScreenCapture::grabShared(xcb_connection_t* c, xcb_window_t root, const QRect& area) {
    if (xcb_get_setup(c)->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return {};
    QImage out = sharedImage(area.size());
    const uint32_t segment = attachShared(c, out);
    if (!segment) return {};
    Reply<xcb_shm_get_image_reply_t> reply(
        xcb_shm_get_image_reply(c,
                                xcb_shm_get_image(c, root, int16_t(area.x()), int16_t(area.y()), uint16_t(area.width()),
                                                  uint16_t(area.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment, 0),
                                nullptr),
        &std::free);
    if (!reply || (reply->depth != 24 && reply->depth != 32) ||
        reply->size != uint32_t(area.width()) * uint32_t(area.height()) * 4)
        return {};
    // 32 bits a pixel, little-endian: B, G, R and a pad byte, the layout of RGB32. The pad byte
    // is left as the server wrote it, not set to RGB32's 0xff: the canvas only inverts, masks and
    // copies these pixels and shows them on this server, which ignores that byte, and setting it
    // would touch every page of the image once more (a sixth of the time to enter drawing mode
    // at 4K).
    return out;
}

QImage X11ScreenCapture::grab(const QRect& area) {
    xcb_connection_t* c = connection();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = Connection::screenOf(c, x_.screen());
    const QRect r = area.intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
    if (r == area && c == own_) {
        QImage shared = grabShared(c, screen->root, area);
        if (!shared.isNull()) return shared;
    }
    QImage out = allocateImage(area.size());
    if (r != area) out.fill(Qt::black);
    if (r.isEmpty()) return out;
    // In bands of rows, all asked for at once: each reply is small enough for the heap to reuse
    // its memory, and the pixels land in the one image.
    const int band = std::max(1, (1 << 20) / (r.width() * 4));
    std::vector<xcb_get_image_cookie_t> cookies;
    for (int y = r.top(); y <= r.bottom(); y += band)
        cookies.push_back(xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(r.x()), int16_t(y),
                                        uint16_t(r.width()), uint16_t(std::min(band, r.bottom() + 1 - y)), ~0u));
    bool native = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    int y = r.top();
    for (const auto cookie : cookies) {
        Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(c, cookie, nullptr), &std::free);
        const int rows = std::min(band, r.bottom() + 1 - y);
        native = native && reply && (reply->depth == 24 || reply->depth == 32) &&
                 xcb_get_image_data_length(reply.get()) == r.width() * rows * 4;
        if (native) {
            // 32 bits a pixel, little-endian: B, G, R, x, the layout of RGB32 once x is set.
            const auto* src = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply.get()));
            for (int row = 0; row < rows; ++row, src += r.width()) {
                auto* dst = reinterpret_cast<uint32_t*>(out.scanLine(y - area.y() + row)) + (r.x() - area.x());
                for (int x = 0; x < r.width(); ++x) dst[x] = src[x] | 0xff000000u;
            }
        }
        y += rows;
    }
    if (native) return out;
    // An unusual visual: Qt converts it. Qt takes the area in logical pixels from the screen's
    // top-left, which stays at its device position, and returns device pixels.
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return out;
    const qreal f = s->devicePixelRatio();
    const QPoint origin = s->geometry().topLeft();
    return s->grabWindow(0, qRound((area.x() - origin.x()) / f), qRound((area.y() - origin.y()) / f),
                         qRound(area.width() / f), qRound(area.height() / f))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace platform::x11
