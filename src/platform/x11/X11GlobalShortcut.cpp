#include "platform/x11/X11GlobalShortcut.h"

#include <QCoreApplication>

#include <xcb/xcb_keysyms.h>

namespace platform::x11 {

namespace {

constexpr uint32_t kKeysymNumLock = 0xff7f, kKeysymScrollLock = 0xff14, kKeysymF1 = 0xffbe;

// The X keysym of a letter, digit or function key.
uint32_t keysymOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint32_t(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint32_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return kKeysymF1 + uint32_t(key - Qt::Key_F1);
    return 0;
}

using Keycodes = std::unique_ptr<xcb_keycode_t, decltype(&std::free)>;

}  // namespace

X11GlobalShortcut::X11GlobalShortcut(Connection x) : x_(x) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalShortcut::~X11GlobalShortcut() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::vector<uint16_t> X11GlobalShortcut::lockCombinations() {
    // Caps Lock is always Lock; Num Lock and Scroll Lock sit on whichever modifier the keyboard
    // map gives them, looked up now.
    uint16_t masks = XCB_MOD_MASK_LOCK;
    xcb_key_symbols_t* syms = xcb_key_symbols_alloc(x_.get());
    Reply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(x_.get(), xcb_get_modifier_mapping(x_.get()), nullptr), &std::free);
    if (syms && map) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int per = map->keycodes_per_modifier;
        for (uint32_t keysym : {kKeysymNumLock, kKeysymScrollLock}) {
            Keycodes wanted(xcb_key_symbols_get_keycode(syms, keysym), &std::free);
            for (int i = 0; wanted && i < 8 * per; ++i)
                for (const xcb_keycode_t* w = wanted.get(); *w != XCB_NO_SYMBOL; ++w)
                    if (codes[i] == *w && codes[i] != 0) masks |= uint16_t(1u << (i / per));
        }
    }
    if (syms) xcb_key_symbols_free(syms);
    // Every subset of the lock masks: the grab must hold whatever locks are on.
    std::vector<uint16_t> out{0};
    for (uint16_t bit = 1; bit; bit <<= 1) {
        if (!(masks & bit)) continue;
        const size_t n = out.size();
        for (size_t i = 0; i < n; ++i) out.push_back(out[i] | bit);
    }
    return out;
}

bool X11GlobalShortcut::set(QKeyCombination key) {
    clear();
    const uint32_t keysym = keysymOf(key.key());
    xcb_key_symbols_t* syms = keysym ? xcb_key_symbols_alloc(x_.get()) : nullptr;
    if (!syms) return false;
    Keycodes codes(xcb_key_symbols_get_keycode(syms, keysym), &std::free);
    xcb_key_symbols_free(syms);
    if (!codes || codes.get()[0] == XCB_NO_SYMBOL) return false;
    const Grab grab{codes.get()[0], uint16_t(key.keyboardModifiers() & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0)};
    std::vector<uint16_t> done;
    for (uint16_t locks : lockCombinations()) {
        const auto cookie = xcb_grab_key_checked(x_.get(), 0, x_.root(), uint16_t(grab.modifiers | locks), grab.keycode,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* err = xcb_request_check(x_.get(), cookie)) {
            std::free(err);  // BadAccess: another client holds this combination
            for (uint16_t undo : done)
                xcb_ungrab_key(x_.get(), grab.keycode, x_.root(), uint16_t(grab.modifiers | undo));
            xcb_flush(x_.get());
            return false;
        }
        done.push_back(locks);
    }
    xcb_flush(x_.get());
    grab_ = grab;
    return true;
}

void X11GlobalShortcut::clear() {
    if (!grab_) return;
    for (uint16_t locks : lockCombinations())
        xcb_ungrab_key(x_.get(), grab_->keycode, x_.root(), uint16_t(grab_->modifiers | locks));
    xcb_flush(x_.get());
    grab_.reset();
}

bool X11GlobalShortcut::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (!grab_ || type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = ev->response_type & 0x7f;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(ev);
    if (key->event != x_.root()) return false;  // a key for one of our windows, not the grab
    constexpr uint16_t kModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    if (key->detail != grab_->keycode || (key->state & kModifiers) != grab_->modifiers) return false;
    if (kind == XCB_KEY_PRESS) emit activated();
    return true;  // the hot key is ours alone, press and release
}

}  // namespace platform::x11
