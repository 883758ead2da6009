#pragma once
#include "platform/Keyboard.h"

namespace platform::wayland {

// Letter keys by their place under layouts of other scripts, from what Qt tells of each key:
// its text and its keycode (evdev + 8 on Wayland too).
class WaylandKeyboard final : public Keyboard {
public:
    QKeyCombination keyOf(const QKeyEvent& e) override;
};

}  // namespace platform::wayland
