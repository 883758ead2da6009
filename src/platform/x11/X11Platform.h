#pragma once
#include "platform/Platform.h"

#include <xcb/xcb.h>

namespace platform::x11 {

// The X11 implementations, over Qt's connection to the server.
Platform createX11Platform(xcb_connection_t* connection);

}  // namespace platform::x11
