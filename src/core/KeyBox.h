#pragma once
#include <QLineEdit>

// The hidden key box of a panel: first in the tab order, so it holds the focus when the panel
// opens. It reports each key as a virtual-key code and modifier mask (1 Shift, 2 Ctrl, 4 Alt)
// and never keeps a character. Tab still moves the focus on, as in any window.
class KeyBox final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void keyDown(int keyCode, int shift);
protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
};
