#pragma once
#include "platform/Keyboard.h"

#include <QKeyCombination>
#include <QLineEdit>

// The hidden box that holds a window's keyboard focus and turns each key into keyPressed(); it
// never keeps a character. Tab moves the focus on as in any window, unless the box is the
// window's only control (the toolbar's), where Tab is a key like the others.
class KeyBox final : public QLineEdit {
    Q_OBJECT
public:
    KeyBox(QWidget* parent, platform::Keyboard& keyboard, bool tabIsKey = false)
        : QLineEdit(parent), keyboard_(keyboard), tabIsKey_(tabIsKey) {}

signals:
    void keyPressed(QKeyCombination key);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    platform::Keyboard& keyboard_;
    const bool tabIsKey_;
};
