#include "core/KeyBox.h"

#include "toolbar/KeyMap.h"

#include <QKeyEvent>

void KeyBox::keyPressEvent(QKeyEvent* e) {
    emit keyDown(keymap::virtualKeyFromQt(e->key()), keymap::shiftMaskFromQt(e->modifiers()));
    clear();
    e->accept();
}

void KeyBox::inputMethodEvent(QInputMethodEvent* e) {
    e->accept();
    clear();
}
