#pragma once
#include "platform/DirectWindow.h"
#include "platform/GlobalShortcut.h"
#include "platform/Keyboard.h"
#include "platform/ScreenCapture.h"
#include "platform/SingleInstance.h"
#include "platform/WindowHints.h"

#include <memory>

namespace platform {

// The desktop's capabilities the program uses, one object each.
struct Platform {
    std::unique_ptr<WindowHints> hints;
    std::unique_ptr<ScreenCapture> capture;
    std::unique_ptr<GlobalShortcut> shortcut;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<Keyboard> keyboard = std::make_unique<Keyboard>();
    std::unique_ptr<DirectWindows> direct;  // none: the toolkit paints every window
};

// The running session's: X11 when Qt runs on xcb, Wayland when it runs on wayland, otherwise what
// Qt alone can do (Qt's offscreen platform, where nothing is global).
Platform createPlatform();

}  // namespace platform
