#pragma once
#include <QKeyCombination>
#include <QString>

#include <array>
#include <cstdint>

class QKeyEvent;

namespace platform {

// Which key a key event stands for in the program's single-key commands.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Qt's key and modifiers, where nothing more is known of the keyboard.
    virtual QKeyCombination keyOf(const QKeyEvent& e);
};

// X keycodes as the evdev rules number them (Linux input codes + 8), which X servers have used
// for years: the letter a US keyboard has on a key, Qt::Key_unknown for any other key; and the
// key of a letter, 0 for anything but A to Z.
Qt::Key usLetterAt(uint32_t keycode);
uint32_t usKeycodeOf(Qt::Key letter);

// The letter key a key stands for, as the letter keys are known by their place on systems with
// virtual-key codes. Under a Latin layout it is Qt's key (an AZERTY keyboard's A is A, where a
// US keyboard has Q); under a layout of another script (Cyrillic, Greek, kana) it is the letter
// a US keyboard has at that place, whatever the layout puts there (Greek: a semicolon on Q).
// `layout` holds the keysyms the key's layout, in the key's level, gives the keys of A to Z of a
// US keyboard.
Qt::Key letterKey(Qt::Key key, uint32_t keycode, const std::array<uint32_t, 26>& layout);

// The same where the layout's other keys cannot be asked (Wayland, where Qt keeps the keymap to
// itself), from the key's own text: a letter of another script than Latin stands for a layout of
// that script, and the key is the letter a US keyboard has at its place; anything else is Qt's key.
// (A layout of another script that puts punctuation on a letter key, as Greek's semicolon on Q,
// is not recognised there.)
Qt::Key letterKeyOfText(Qt::Key key, const QString& text, uint32_t keycode);

}  // namespace platform
