#include "platform/Desktop.h"

#include "platform/SingleInstance.h"
#include "platform/X11Desktop.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Without X11 (Qt's offscreen platform): what Qt alone can do.
class QtDesktop final : public Desktop {
public:
    QtDesktop() : instance_(instanceName("slateboard")) {}
    bool prevInstance() override { return !instance_.claim(); }
    void keepOnTop(QWidget& window) override { window.raise(); }
    void setMinimizeBox(QWidget& window, bool present) override {
        if (QWindow* handle = window.windowHandle())
            handle->setFlag(Qt::WindowMinimizeButtonHint, present);
    }
    FrameExtents frameExtents(QWidget&) override { return {}; }
    void waitUntilGone(QWidget&) override {}
    QImage capture(const QRect& area) override {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return {};
        QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        return shot.copy(area);
    }
    void setOwner(QWidget&, QWidget&) override {}
    void minimize(QWidget& window) override { window.showMinimized(); }
    void restore(QWidget& window) override { window.showNormal(); }
    bool isMinimized(QWidget& window) override { return window.isMinimized(); }
    bool registerHotKey(int, int, int) override { return false; }  // no global keys without X11
    void unregisterHotKey(int) override {}

private:
    SingleInstance instance_;
};

}  // namespace

std::unique_ptr<Desktop> createDesktop() {
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (xcb_connection_t* c = x11->connection()) return std::make_unique<X11Desktop>(c);
    }
    return std::make_unique<QtDesktop>();
}

}  // namespace platform
