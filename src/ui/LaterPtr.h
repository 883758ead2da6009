#pragma once
#include <QWidget>

#include <memory>

// Owns a window that may be let go from inside one of its own event handlers (a double-click on
// the canvas, a panel's button): it is hidden at once and freed once that handler has returned.
struct HideAndDeleteLater {
    void operator()(QWidget* window) const {
        window->hide();
        window->deleteLater();
    }
};
template <class Window>
using LaterPtr = std::unique_ptr<Window, HideAndDeleteLater>;
