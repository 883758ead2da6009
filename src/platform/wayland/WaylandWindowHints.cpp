#include "platform/wayland/WaylandWindowHints.h"

#include <QWindow>

namespace platform::wayland {

bool WaylandWindowHints::setMinimizable(QWidget& window, bool minimizable) {
    // Read by decorations that draw the window's buttons; xdg-shell has no word for it.
    if (QWindow* handle = window.windowHandle()) handle->setFlag(Qt::WindowMinimizeButtonHint, minimizable);
    return true;
}

void WaylandWindowHints::minimize(QWidget& window) { window.showMinimized(); }

void WaylandWindowHints::restore(QWidget& window) { window.showNormal(); }

}  // namespace platform::wayland
