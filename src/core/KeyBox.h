#pragma once
#include <QLineEdit>

// The hidden key box of a panel: first in the tab order, so it holds the focus when the panel
// opens. It reports each key as a virtual-key code and modifier mask (1 Shift, 2 Ctrl, 4 Alt)
// and never keeps a character. Tab moves the focus on, as in any window, unless the box is the
// window's only control (the toolbar's), where Tab is a key like the others.
class KeyBox final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    void setTabIsKey(bool on) { tabIsKey_ = on; }
signals:
    void keyDown(int keyCode, int shift);
protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
private:
    bool tabIsKey_ = false;
};
