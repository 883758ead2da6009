#include "platform/wayland/WaylandKeyboard.h"

#include <QKeyEvent>

namespace platform::wayland {

QKeyCombination WaylandKeyboard::keyOf(const QKeyEvent& e) {
    const QKeyCombination k = e.keyCombination();
    return QKeyCombination(k.keyboardModifiers(), letterKeyOfText(k.key(), e.text(), e.nativeScanCode()));
}

}  // namespace platform::wayland
