#pragma once
#include "platform/DirectWindow.h"
#include "platform/x11/X11Connection.h"

#include <memory>
#include <vector>

class QSocketNotifier;

namespace platform::x11 {

// Direct windows on a connection of their own, read in the program's main thread: each is a
// child window covering a toolkit window, whose pointer events reach only this connection and
// whose pixels are put from the image as they change (through shared memory where the server
// offers it and the image lives there).
class X11DirectWindows final : public DirectWindows {
public:
    explicit X11DirectWindows(Connection x);
    ~X11DirectWindows() override;
    std::unique_ptr<DirectWindow> attach(QWidget& window, const QImage& image, DirectWindow::Pointer pointer) override;

private:
    class Window;
    bool open();
    void readEvents();
    void readEventsLater();

    Connection x_;
    xcb_connection_t* c_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<Window*> windows_;
};

}  // namespace platform::x11
