#include "ui/KeyBox.h"

#include <QKeyEvent>

bool KeyBox::event(QEvent* e) {
    if (tabIsKey_ && e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QLineEdit::event(e);
}

void KeyBox::keyPressEvent(QKeyEvent* e) {
    emit keyPressed(keyboard_.keyOf(*e));
    clear();
    e->accept();
}

void KeyBox::inputMethodEvent(QInputMethodEvent* e) {
    // Composed text (input methods) is dropped like typed keys.
    e->accept();
    clear();
}
