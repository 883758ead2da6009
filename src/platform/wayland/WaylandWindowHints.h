#pragma once
#include "platform/WindowHints.h"

namespace platform::wayland {

// What a Wayland client may ask of the compositor through Qt. The compositor places every
// window and tells no client where it is; it has no always-on-top band for ordinary windows
// (the toolbar stays above the canvas as its transient tool window, which compositors stack
// above its parent), and it never says whether a window is minimised.
class WaylandWindowHints final : public WindowHints {
public:
    void keepOnTop(QWidget&) override {}
    bool hasOnTopBand() override { return false; }
    bool setMinimizable(QWidget& window, bool minimizable) override;
    FrameExtents frameExtents(QWidget&) override { return {}; }
    // The relation is part of the window's map, which Qt makes with its transient parent.
    void setOwner(QWidget&, QWidget*) override {}
    // Nothing: a client may activate its window only with a token from the user's latest input
    // to it, and a compositor that refuses the request marks the window as asking for attention
    // (sway: a red title). The canvas passes its keys on to the toolbar instead.
    void giveKeys(QWidget&, unsigned long) override {}
    void minimize(QWidget& window) override;
    void restore(QWidget& window) override;
    // Always false: a compositor may honour a request to minimise (KDE, GNOME) or ignore it
    // (sway), and tells the client neither way.
    bool isMinimized(QWidget&) override { return false; }
};

}  // namespace platform::wayland
