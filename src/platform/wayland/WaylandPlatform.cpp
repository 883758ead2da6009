#include "platform/wayland/WaylandPlatform.h"

#include "platform/wayland/PortalGlobalShortcut.h"
#include "platform/wayland/WaylandKeyboard.h"
#include "platform/wayland/PortalScreenCapture.h"
#include "platform/wayland/WaylandWindowHints.h"

#include <cstdlib>

namespace platform::wayland {

Platform createWaylandPlatform() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return {std::make_unique<WaylandWindowHints>(), std::make_unique<PortalScreenCapture>(),
            std::make_unique<PortalGlobalShortcut>(),
            std::make_unique<SingleInstance>(
                instanceName("slateboard", waylandDisplayKey(display ? display : "", runtime ? runtime : ""))),
            std::make_unique<WaylandKeyboard>(), nullptr};
}

}  // namespace platform::wayland
