#include "platform/x11/X11GlobalShortcut.h"

#include "platform/Keyboard.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace platform::x11 {

namespace {

constexpr uint32_t kKeysymNumLock = 0xff7f, kKeysymScrollLock = 0xff14, kKeysymF1 = 0xffbe;
constexpr uint8_t kXkbNewKeyboardNotify = 0, kXkbMapNotify = 1;

// The X keysym of a letter, digit or function key.
uint32_t keysymOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint32_t(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint32_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return kKeysymF1 + uint32_t(key - Qt::Key_F1);
    return 0;
}

using Keycodes = std::unique_ptr<xcb_keycode_t, decltype(&std::free)>;
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;

// Every key that carries the symbol, in any group or level, each once.
std::vector<xcb_keycode_t> keycodesOf(xcb_key_symbols_t* syms, uint32_t keysym) {
    std::vector<xcb_keycode_t> out;
    Keycodes codes(xcb_key_symbols_get_keycode(syms, keysym), &std::free);
    for (const xcb_keycode_t* c = codes.get(); c && *c != XCB_NO_SYMBOL; ++c)
        if (std::find(out.begin(), out.end(), *c) == out.end()) out.push_back(*c);
    return out;
}

}  // namespace

X11GlobalShortcut::X11GlobalShortcut(Connection x) : x_(x) {
    // Under the keyboard extension, which Qt uses, a new layout comes as its event rather than
    // as the core MappingNotify.
    constexpr const char* kXkb = "XKEYBOARD";
    Reply<xcb_query_extension_reply_t> xkb(
        xcb_query_extension_reply(x_.get(), xcb_query_extension(x_.get(), uint16_t(std::strlen(kXkb)), kXkb), nullptr),
        &std::free);
    if (xkb && xkb->present) xkbEvent_ = xkb->first_event;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalShortcut::~X11GlobalShortcut() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::vector<uint16_t> X11GlobalShortcut::lockCombinations(xcb_key_symbols_t* syms) {
    // Caps Lock is always Lock; Num Lock and Scroll Lock sit on whichever modifier the keyboard
    // map gives them, looked up now.
    uint16_t masks = XCB_MOD_MASK_LOCK;
    Reply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(x_.get(), xcb_get_modifier_mapping(x_.get()), nullptr), &std::free);
    if (map) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int per = map->keycodes_per_modifier;
        for (uint32_t keysym : {kKeysymNumLock, kKeysymScrollLock})
            for (xcb_keycode_t wanted : keycodesOf(syms, keysym))
                for (int i = 0; i < 8 * per; ++i)
                    if (codes[i] == wanted) masks |= uint16_t(1u << (i / per));
    }
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
    if (!grab(key)) return false;
    key_ = key;
    return true;
}

void X11GlobalShortcut::clear() {
    key_.reset();
    release();
}

std::vector<X11GlobalShortcut::Grab> X11GlobalShortcut::grabsFor(QKeyCombination key) {
    const uint32_t keysym = keysymOf(key.key());
    KeySymbols syms(keysym ? xcb_key_symbols_alloc(x_.get()) : nullptr, &xcb_key_symbols_free);
    if (!syms) return {};
    std::vector<xcb_keycode_t> keycodes = keycodesOf(syms.get(), keysym);
    // A layout without Latin letters (Cyrillic, Greek): the letter's place on a US keyboard.
    if (keycodes.empty() && usKeycodeOf(key.key())) keycodes.push_back(xcb_keycode_t(usKeycodeOf(key.key())));
    modifiers_ = uint16_t(key.keyboardModifiers() & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0);
    const std::vector<uint16_t> locks = lockCombinations(syms.get());
    std::vector<Grab> out;
    for (xcb_keycode_t keycode : keycodes)
        for (uint16_t lock : locks) out.push_back({keycode, uint16_t(modifiers_ | lock)});
    return out;
}

bool X11GlobalShortcut::take(const Grab& g) {
    const auto cookie = xcb_grab_key_checked(x_.get(), 0, x_.root(), g.modifiers, g.keycode, XCB_GRAB_MODE_ASYNC,
                                             XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* err = xcb_request_check(x_.get(), cookie);  // BadAccess: another client holds it
    const bool taken = !err;
    std::free(err);
    if (taken) grabs_.push_back(g);
    return taken;
}

bool X11GlobalShortcut::grab(QKeyCombination key) {
    const std::vector<Grab> wanted = grabsFor(key);
    for (const Grab& g : wanted)
        if (!take(g)) {
            release();
            return false;
        }
    xcb_flush(x_.get());
    return !grabs_.empty();
}

void X11GlobalShortcut::release() {
    for (const Grab& g : grabs_) xcb_ungrab_key(x_.get(), g.keycode, x_.root(), g.modifiers);
    xcb_flush(x_.get());
    grabs_.clear();
}

void X11GlobalShortcut::refresh() {
    refreshQueued_ = false;
    if (!key_) return;
    // The keys that carried the symbol may carry another now. The new ones are taken before the
    // old ones are let go, so that a key that keeps the symbol is never free for a moment (the
    // first synthetic key of a test tool brings such a change, in the middle of a chord). A key
    // another program holds is left to it, once it has held it through a few tries.
    const std::vector<Grab> wanted = grabsFor(*key_);
    const auto in = [](const std::vector<Grab>& list, const Grab& g) {
        return std::any_of(list.begin(), list.end(), [&g](const Grab& o) { return o == g; });
    };
    const std::vector<Grab> held = grabs_;
    bool missing = false;
    for (const Grab& g : wanted)
        if (!in(held, g) && !take(g)) missing = true;
    if (missing && retries_ < kRetries)
        QTimer::singleShot(kFirstRetryMs << retries_++, this, [this] { if (!refreshQueued_) refresh(); });
    for (const Grab& g : held)
        if (!in(wanted, g)) {
            xcb_ungrab_key(x_.get(), g.keycode, x_.root(), g.modifiers);
            std::erase_if(grabs_, [&g](const Grab& o) { return o == g; });
        }
    xcb_flush(x_.get());
}

bool X11GlobalShortcut::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (!key_ || type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = ev->response_type & 0x7f;
    const uint8_t xkbKind = reinterpret_cast<const uint8_t*>(ev)[1];  // the second byte of the keyboard's events
    const bool newMap =
        (kind == XCB_MAPPING_NOTIFY &&
         reinterpret_cast<const xcb_mapping_notify_event_t*>(ev)->request != XCB_MAPPING_POINTER) ||
        (xkbEvent_ && kind == xkbEvent_ && (xkbKind == kXkbNewKeyboardNotify || xkbKind == kXkbMapNotify));
    if (newMap && !refreshQueued_) {
        // Once, after the burst of events one change brings.
        refreshQueued_ = true;
        retries_ = 0;
        QMetaObject::invokeMethod(this, &X11GlobalShortcut::refresh, Qt::QueuedConnection);
    }
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(ev);
    if (key->event != x_.root()) return false;  // a key for one of our windows, not the grab
    constexpr uint16_t kModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    const auto ours = [key](const Grab& g) { return g.keycode == key->detail; };
    if ((key->state & kModifiers) != modifiers_ || std::none_of(grabs_.begin(), grabs_.end(), ours)) return false;
    if (kind == XCB_KEY_PRESS) emit activated();
    return true;  // the hot key is ours alone, press and release
}

}  // namespace platform::x11
