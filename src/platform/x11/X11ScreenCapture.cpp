#include "platform/x11/X11ScreenCapture.h"

#include "platform/LargeImage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <thread>

namespace platform::x11 {

X11ScreenCapture::~X11ScreenCapture() {
    if (own_) xcb_disconnect(own_);
}

void X11ScreenCapture::waitUntilGone(QWidget& window) {
    using clock = std::chrono::steady_clock;
    const xcb_window_t frame = x_.frameOf(Connection::windowOf(window));
    const auto deadline = clock::now() + std::chrono::milliseconds(500);
    while (clock::now() < deadline) {
        Reply<xcb_get_window_attributes_reply_t> attrs(
            xcb_get_window_attributes_reply(x_.get(), xcb_get_window_attributes(x_.get(), frame), nullptr), &std::free);
        if (!attrs || attrs->map_state == XCB_MAP_STATE_UNMAPPED) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The windows beneath repaint what was uncovered in their own time.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

QImage X11ScreenCapture::grab(const QRect& area) {
    if (!own_) {
        // The server and screen Qt uses, which need not be $DISPLAY's (-display, DISPLAY=:0.1).
        own_ = xcb_connect(x_.display().empty() ? nullptr : x_.display().c_str(), nullptr);
        if (xcb_connection_has_error(own_)) {
            xcb_disconnect(own_);
            own_ = nullptr;
        }
    }
    xcb_connection_t* c = own_ ? own_ : x_.get();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = Connection::screenOf(c, x_.screen());
    const QRect r = area.intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
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
