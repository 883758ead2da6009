#include "platform/X11Desktop.h"

#include "platform/LargeImage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb_keysyms.h>

#include <algorithm>
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
      instance_(instanceName("slateboard")) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Desktop::~X11Desktop() {
    if (capture_) xcb_disconnect(capture_);
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

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

std::optional<QPoint> X11Desktop::clientPosition(QWidget& window) {
    auto cookie = xcb_translate_coordinates(c_, windowOf(window), root_, 0, 0);
    XcbReply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(c_, cookie, nullptr), &std::free);
    if (!reply) return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
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
    // A connection of its own, so that megabytes of pixels do not pass through Qt's.
    if (!capture_) {
        capture_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(capture_)) {
            xcb_disconnect(capture_);
            capture_ = nullptr;
        }
    }
    xcb_connection_t* c = capture_ ? capture_ : c_;
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    const QRect r = area.intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
    if (r.isEmpty()) {
        QImage black(area.size(), QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
    // Read in bands of rows, all requested at once: each reply is small enough for the heap to
    // reuse its memory, and the pixels land in one image allocated for the purpose.
    const int band = std::max(1, (1 << 20) / (r.width() * 4));
    std::vector<xcb_get_image_cookie_t> cookies;
    for (int y = r.top(); y <= r.bottom(); y += band)
        cookies.push_back(xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(r.x()), int16_t(y),
                                        uint16_t(r.width()), uint16_t(std::min(band, r.bottom() + 1 - y)), ~0u));
    QImage out = allocateImage(area.size());
    if (r != area) out.fill(Qt::black);
    bool native = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    int y = r.top();
    for (auto cookie : cookies) {
        XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(c, cookie, nullptr), &std::free);
        const int rows = std::min(band, r.bottom() + 1 - y);
        native = native && reply && (reply->depth == 24 || reply->depth == 32) &&
                 xcb_get_image_data_length(reply.get()) == r.width() * rows * 4;
        if (native) {
            // 32 bits per pixel, little-endian: B, G, R, x in memory, the layout of Format_RGB32
            // once the unused byte is set.
            const auto* src = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply.get()));
            for (int row = 0; row < rows; ++row) {
                auto* dst = reinterpret_cast<uint32_t*>(out.scanLine(y - area.y() + row)) + (r.x() - area.x());
                for (int x = 0; x < r.width(); ++x) dst[x] = src[x] | 0xff000000u;
                src += r.width();
            }
        }
        y += rows;
    }
    if (native) return out;
    // An unusual visual: let Qt convert it. Qt takes the area in logical pixels from the
    // screen's top-left, which stays at its device position, and returns device pixels.
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return QImage();
    const qreal f = s->devicePixelRatio();
    const QPoint origin = s->geometry().topLeft();
    QImage shot = s->grabWindow(0, qRound((area.x() - origin.x()) / f), qRound((area.y() - origin.y()) / f),
                                qRound(area.width() / f), qRound(area.height() / f))
                      .toImage();
    return shot.convertToFormat(QImage::Format_RGB32);
}

void X11Desktop::setOwner(QWidget& window, QWidget& owner) {
    // Qt writes no WM_TRANSIENT_FOR for a plain top-level window, so it is written here.
    xcb_window_t o = windowOf(owner);
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, windowOf(window), XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32,
                        1, &o);
    xcb_flush(c_);
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

namespace platform {

namespace {

constexpr uint32_t kKeysymNumLock = 0xff7f, kKeysymScrollLock = 0xff14;
constexpr uint32_t kKeysymF1 = 0xffbe;

// The X keysym of a virtual-key code: letters, digits and the function keys.
uint32_t keysymOf(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return uint32_t(virtualKey - 'A' + 'a');
    if (virtualKey >= '0' && virtualKey <= '9') return uint32_t(virtualKey);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return kKeysymF1 + uint32_t(virtualKey - 0x70);
    return 0;
}

}  // namespace

uint16_t X11Desktop::lockMasks() {
    // CapsLock is always Lock; NumLock and ScrollLock sit on whichever modifier the keyboard
    // map gives them, looked up now.
    uint16_t masks = XCB_MOD_MASK_LOCK;
    xcb_key_symbols_t* syms = xcb_key_symbols_alloc(c_);
    XcbReply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(c_, xcb_get_modifier_mapping(c_), nullptr), &std::free);
    if (syms && map) {
        xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int per = map->keycodes_per_modifier;
        for (uint32_t keysym : {kKeysymNumLock, kKeysymScrollLock}) {
            std::unique_ptr<xcb_keycode_t, decltype(&std::free)> wanted(xcb_key_symbols_get_keycode(syms, keysym), &std::free);
            if (!wanted) continue;
            for (int mod = 0; mod < 8; ++mod)
                for (int k = 0; k < per; ++k)
                    for (xcb_keycode_t* w = wanted.get(); *w != XCB_NO_SYMBOL; ++w)
                        if (codes[mod * per + k] == *w && codes[mod * per + k] != 0) masks |= uint16_t(1u << mod);
        }
    }
    if (syms) xcb_key_symbols_free(syms);
    return masks;
}

std::vector<uint16_t> X11Desktop::lockCombinations() {
    // Every subset of the lock masks: the grab must hold whatever locks are on.
    std::vector<uint16_t> bits;
    for (uint16_t m = lockMasks(), bit = 1; m; bit <<= 1)
        if (m & bit) {
            bits.push_back(bit);
            m &= uint16_t(~bit);
        }
    std::vector<uint16_t> out;
    for (uint32_t subset = 0; subset < (1u << bits.size()); ++subset) {
        uint16_t mask = 0;
        for (size_t i = 0; i < bits.size(); ++i)
            if (subset & (1u << i)) mask |= bits[i];
        out.push_back(mask);
    }
    return out;
}

bool X11Desktop::registerHotKey(int id, int modifiers, int virtualKey) {
    unregisterHotKey(id);
    const uint32_t keysym = keysymOf(virtualKey);
    xcb_key_symbols_t* syms = xcb_key_symbols_alloc(c_);
    if (!syms || !keysym) {
        if (syms) xcb_key_symbols_free(syms);
        return false;
    }
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(xcb_key_symbols_get_keycode(syms, keysym), &std::free);
    xcb_key_symbols_free(syms);
    if (!codes || codes.get()[0] == XCB_NO_SYMBOL) return false;
    const xcb_keycode_t keycode = codes.get()[0];
    const uint16_t mods = (modifiers & 2) ? XCB_MOD_MASK_CONTROL : 0;

    std::vector<uint16_t> done;
    for (uint16_t locks : lockCombinations()) {
        auto cookie = xcb_grab_key_checked(c_, 0, root_, uint16_t(mods | locks), keycode,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* err = xcb_request_check(c_, cookie)) {
            std::free(err);  // BadAccess: another client holds this combination
            for (uint16_t undo : done) xcb_ungrab_key(c_, keycode, root_, uint16_t(mods | undo));
            xcb_flush(c_);
            return false;
        }
        done.push_back(locks);
    }
    xcb_flush(c_);
    grabs_[id] = {keycode, mods};
    return true;
}

void X11Desktop::unregisterHotKey(int id) {
    auto it = grabs_.find(id);
    if (it == grabs_.end()) return;
    for (uint16_t locks : lockCombinations())
        xcb_ungrab_key(c_, it->second.keycode, root_, uint16_t(it->second.modifiers | locks));
    xcb_flush(c_);
    grabs_.erase(it);
}

bool X11Desktop::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (grabs_.empty() || type != "xcb_generic_event_t") return false;
    auto* ev = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = ev->response_type & 0x7f;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
    if (key->event != root_) return false;  // a key for one of our windows, not the grab
    constexpr uint16_t kModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    for (const auto& [id, grab] : grabs_) {
        if (key->detail != grab.keycode || (key->state & kModifiers) != grab.modifiers) continue;
        if (kind == XCB_KEY_PRESS) hotKeyPressed(id);
        return true;  // the hot key is ours alone, press and release
    }
    return false;
}

}  // namespace platform
