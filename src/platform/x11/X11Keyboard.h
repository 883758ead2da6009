#pragma once
#include "platform/Keyboard.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

// Letter keys by their place where the layout has no Latin letters, read from the server's
// keyboard map at each key.
class X11Keyboard final : public Keyboard {
public:
    explicit X11Keyboard(Connection x) : x_(x) {}
    QKeyCombination keyOf(const QKeyEvent& e) override;

private:
    Connection x_;
};

}  // namespace platform::x11
