#pragma once
#include "ui/PanelWindow.h"

// The key reference. H hides it; its button, Esc and the close command close it.
class HelpPanel final : public PanelWindow {
    Q_OBJECT
public:
    HelpPanel(platform::WindowHints& hints, platform::Keyboard& keyboard, QScreen* screen);

protected:
    void keyPressed(QKeyCombination key) override;
    void paintEvent(QPaintEvent* e) override;
};
