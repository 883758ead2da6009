#pragma once
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace platform::x11 {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Qt's own connection to the X server, with the few requests the X11 classes share.
class Connection {
public:
    // `screen` is the X screen Qt's windows live on, `display` the name Qt opened the server by
    // (empty: $DISPLAY).
    explicit Connection(xcb_connection_t* c, int screen = 0, std::string display = {});
    xcb_connection_t* get() const { return c_; }
    xcb_window_t root() const { return root_; }
    int screen() const { return screen_; }
    const std::string& display() const { return display_; }
    // The numbered screen of a connection; the first when there is no such screen.
    static const xcb_screen_t* screenOf(xcb_connection_t* c, int number);

    xcb_atom_t atom(const char* name);
    // A property of 32-bit values (atoms, cardinals); empty when unset.
    std::vector<uint32_t> cardinals(xcb_window_t window, const char* property);
    // A client message about `window` to the window manager.
    void sendToRoot(xcb_window_t window, const char* type, std::initializer_list<uint32_t> data);
    // Whether a client owns this selection (_NET_WM_CM_S0: a compositing manager runs).
    bool selectionOwned(const std::string& selection);
    // Whether an EWMH window manager runs, and whether it lists this in _NET_SUPPORTED.
    bool managerRuns();
    bool managerSupports(const char* hint);
    // The running manager's name as it gives it (_NET_WM_NAME of its check window); empty if none.
    std::string managerName();
    // The window manager's frame round a window: the child of the root that holds it.
    xcb_window_t frameOf(xcb_window_t window);

    static xcb_window_t windowOf(QWidget& w);

private:
    xcb_connection_t* c_;
    int screen_;
    std::string display_;
    xcb_window_t root_;
};

}  // namespace platform::x11
