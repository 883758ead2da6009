#include "platform/Keyboard.h"

#include <QKeyEvent>

#include <algorithm>

namespace platform {

namespace {
// A to Z.
constexpr std::array<uint32_t, 26> kUsKeycodes = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                                  57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
}  // namespace

QKeyCombination Keyboard::keyOf(const QKeyEvent& e) { return e.keyCombination(); }

Qt::Key usLetterAt(uint32_t keycode) {
    const auto at = std::find(kUsKeycodes.begin(), kUsKeycodes.end(), keycode);
    return at == kUsKeycodes.end() ? Qt::Key_unknown : Qt::Key(Qt::Key_A + (at - kUsKeycodes.begin()));
}

uint32_t usKeycodeOf(Qt::Key letter) {
    return letter >= Qt::Key_A && letter <= Qt::Key_Z ? kUsKeycodes[letter - Qt::Key_A] : 0;
}

Qt::Key letterKey(Qt::Key key, uint32_t keycode, const std::array<uint32_t, 26>& layout) {
    const Qt::Key place = usLetterAt(keycode);
    if (place == Qt::Key_unknown || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;
    // A Latin layout has Latin letters on most of these keys; Dvorak has punctuation on four.
    const auto latin = [](uint32_t s) { return (s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z'); };
    return std::count_if(layout.begin(), layout.end(), latin) > 13 ? key : place;
}

Qt::Key letterKeyOfText(Qt::Key key, const QString& text, uint32_t keycode) {
    const Qt::Key place = usLetterAt(keycode);
    if (place == Qt::Key_unknown || text.size() != 1 || !text[0].isLetter()) return key;
    return text[0].script() == QChar::Script_Latin ? key : place;
}

}  // namespace platform
