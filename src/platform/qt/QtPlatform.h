#pragma once
#include "platform/Platform.h"

namespace platform::qt {

// What Qt alone can do, for platforms without X11 (Qt's offscreen platform): no global keys,
// no frames, the screen through Qt.
Platform createQtPlatform();

}  // namespace platform::qt
