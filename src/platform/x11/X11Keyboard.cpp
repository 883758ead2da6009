#include "platform/x11/X11Keyboard.h"

#include <QKeyEvent>

namespace platform::x11 {

QKeyCombination X11Keyboard::keyOf(const QKeyEvent& e) {
    const QKeyCombination k = e.keyCombination();
    const uint32_t keycode = e.nativeScanCode();  // Qt's scan code on X11 is the keycode
    if ((k.key() >= Qt::Key_A && k.key() <= Qt::Key_Z) || usLetterAt(keycode) == Qt::Key_unknown) return k;
    // The rows of the letter keys in the map, read now: the layout may have changed since.
    constexpr uint32_t kFirst = 24, kCount = 58 - kFirst + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> map(
        xcb_get_keyboard_mapping_reply(x_.get(), xcb_get_keyboard_mapping(x_.get(), kFirst, kCount), nullptr),
        &std::free);
    const int per = map ? map->keysyms_per_keycode : 0;
    if (!per || xcb_get_keyboard_mapping_keysyms_length(map.get()) < int(kCount) * per) return k;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    // The column that holds the key's symbol stands for its layout and level.
    int column = 0;
    while (column < per && syms[(keycode - kFirst) * per + column] != e.nativeVirtualKey()) ++column;
    if (column == per) column = 0;
    std::array<uint32_t, 26> layout;
    for (int i = 0; i < 26; ++i) layout[i] = syms[(usKeycodeOf(Qt::Key(Qt::Key_A + i)) - kFirst) * per + column];
    return QKeyCombination(k.keyboardModifiers(), letterKey(k.key(), keycode, layout));
}

}  // namespace platform::x11
