#pragma once
#include "platform/GlobalShortcut.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>

#include <optional>

namespace platform::x11 {

// A key grab on the root window, held whatever lock keys (Caps, Num, Scroll Lock) are on.
class X11GlobalShortcut final : public GlobalShortcut, private QAbstractNativeEventFilter {
public:
    explicit X11GlobalShortcut(Connection x);
    ~X11GlobalShortcut() override;
    bool set(QKeyCombination key) override;
    void clear() override;

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
    std::vector<uint16_t> lockCombinations();

    struct Grab {
        xcb_keycode_t keycode;
        uint16_t modifiers;
    };
    Connection x_;
    std::optional<Grab> grab_;
};

}  // namespace platform::x11
