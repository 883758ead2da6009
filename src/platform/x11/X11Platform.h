#pragma once
#include "platform/Platform.h"

#include <xcb/xcb.h>

typedef struct _XDisplay Display;

namespace platform::x11 {

// The X11 implementations, over Qt's connection to the server, opened through Xlib's `display`
// when Qt has one.
Platform createX11Platform(xcb_connection_t* connection, Display* display);

}  // namespace platform::x11
