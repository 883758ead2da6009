#include "platform/Platform.h"

#include "platform/qt/QtPlatform.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/x11/X11Platform.h"

#include <QGuiApplication>

namespace platform {

Platform createPlatform() {
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        if (xcb_connection_t* c = x11->connection()) return x11::createX11Platform(c, x11->display());
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return wayland::createWaylandPlatform();
    return qt::createQtPlatform();
}

}  // namespace platform
