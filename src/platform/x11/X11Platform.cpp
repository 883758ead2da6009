#include "platform/x11/X11Platform.h"

#include "platform/x11/X11DirectWindow.h"
#include "platform/x11/X11GlobalShortcut.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11WindowHints.h"

#include <X11/Xlib.h>  // last: its macros clash with the names of other headers

namespace platform::x11 {

Platform createX11Platform(xcb_connection_t* connection, Display* display) {
    // Qt opens the display named by -display or $DISPLAY and puts its windows on that name's
    // screen, Xlib's default one.
    const Connection x(connection, display ? DefaultScreen(display) : 0,
                       display && DisplayString(display) ? DisplayString(display) : "");
    return {std::make_unique<X11WindowHints>(x), std::make_unique<X11ScreenCapture>(x),
            std::make_unique<X11GlobalShortcut>(x),
            std::make_unique<SingleInstance>(instanceName("slateboard", x.display())),
            std::make_unique<X11Keyboard>(x), std::make_unique<X11DirectWindows>(x)};
}

}  // namespace platform::x11
