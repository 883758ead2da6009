#include "platform/x11/X11Platform.h"

#include "platform/x11/X11GlobalShortcut.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11WindowHints.h"

namespace platform::x11 {

Platform createX11Platform(xcb_connection_t* connection) {
    const Connection x(connection);
    return {std::make_unique<X11WindowHints>(x), std::make_unique<X11ScreenCapture>(x),
            std::make_unique<X11GlobalShortcut>(x), std::make_unique<SingleInstance>(instanceName("slateboard"))};
}

}  // namespace platform::x11
