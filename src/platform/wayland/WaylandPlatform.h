#pragma once
#include "platform/Platform.h"

namespace platform::wayland {

// The capabilities in a native Wayland session: the screen through the desktop portal, the hot
// key through the desktop (its GlobalShortcuts portal where there is one, and a desktop shortcut
// that runs slateboard --toggle everywhere).
Platform createWaylandPlatform();

}  // namespace platform::wayland
