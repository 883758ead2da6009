#pragma once
#include "platform/GlobalShortcut.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb_keysyms.h>

#include <optional>

namespace platform::x11 {

// A key grab on the root window, held whatever lock keys (Caps, Num, Scroll Lock) are on, on
// every key that carries the key's symbol; taken anew whenever the keyboard map changes.
class X11GlobalShortcut final : public GlobalShortcut, private QAbstractNativeEventFilter {
public:
    explicit X11GlobalShortcut(Connection x);
    ~X11GlobalShortcut() override;
    bool set(QKeyCombination key) override;
    void clear() override;

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
    std::vector<uint16_t> lockCombinations(xcb_key_symbols_t* syms);
    struct Grab {
        xcb_keycode_t keycode;
        uint16_t modifiers;  // the key's own and the locks'
        bool operator==(const Grab&) const = default;
    };
    // The key and lock combinations that carry the key under the current keyboard map.
    std::vector<Grab> grabsFor(QKeyCombination key);
    // One combination grabbed and noted; false if another client holds it.
    bool take(const Grab& g);
    bool grab(QKeyCombination key);
    void release();
    void refresh();

    // Another program may hold a key for a moment only: one not taken at a change of the map is
    // tried again this many times, after 0.2, 0.4, 0.8, ... s.
    static constexpr int kRetries = 5;
    static constexpr int kFirstRetryMs = 200;

    Connection x_;
    uint8_t xkbEvent_ = 0;                // the keyboard extension's event code, 0 without it
    std::optional<QKeyCombination> key_;  // set and not cleared since
    uint16_t modifiers_ = 0;              // the key's own modifiers, without the locks
    std::vector<Grab> grabs_;             // exactly what the server holds for us
    bool refreshQueued_ = false;
    int retries_ = 0;  // since the last change of the map
};

}  // namespace platform::x11
