#include "core/KeyBox.h"

#include "toolbar/KeyMap.h"

#include <QKeyEvent>

bool KeyBox::event(QEvent* e) {
    if (tabIsKey_ && e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QLineEdit::event(e);
}

void KeyBox::keyPressEvent(QKeyEvent* e) {
    emit keyDown(keymap::virtualKeyFromQt(e->key()), keymap::shiftMaskFromQt(e->modifiers()));
    clear();
    e->accept();
}

void KeyBox::inputMethodEvent(QInputMethodEvent* e) {
    // Composed text (input methods) is dropped like typed keys.
    e->accept();
    clear();
}
