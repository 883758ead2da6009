#pragma once
#include "platform/Desktop.h"
#include "platform/SingleInstance.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <map>

#include <string>
#include <vector>

namespace platform {

// The desktop of an X11 session, reached through Qt's own xcb connection.
class X11Desktop final : public Desktop, private QAbstractNativeEventFilter {
public:
    explicit X11Desktop(xcb_connection_t* connection);
    ~X11Desktop() override;

    bool prevInstance() override;
    void keepOnTop(QWidget& window) override;
    void setMinimizeBox(QWidget& window, bool present) override;
    FrameExtents frameExtents(QWidget& window) override;
    std::optional<QPoint> clientPosition(QWidget& window) override;
    void waitUntilGone(QWidget& window) override;
    QImage capture(const QRect& area) override;
    void setOwner(QWidget& window, QWidget& owner) override;
    void minimize(QWidget& window) override;
    void restore(QWidget& window) override;
    bool isMinimized(QWidget& window) override;
    bool registerHotKey(int id, int modifiers, int virtualKey) override;
    void unregisterHotKey(int id) override;

private:
    xcb_atom_t atom(const char* name);
    std::vector<uint32_t> cardinals(xcb_window_t window, xcb_atom_t property);
    xcb_window_t frameOf(xcb_window_t window);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data);

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
    uint16_t lockMasks();
    std::vector<uint16_t> lockCombinations();

    struct Grab {
        xcb_keycode_t keycode;
        uint16_t modifiers;
    };
    std::map<int, Grab> grabs_;
    xcb_connection_t* c_;
    xcb_connection_t* capture_ = nullptr;
    xcb_window_t root_;
    SingleInstance instance_;
};

}  // namespace platform
