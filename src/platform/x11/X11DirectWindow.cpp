#include "platform/x11/X11DirectWindow.h"

#include "platform/x11/SharedImage.h"

#include <xcb/shm.h>

#include <QSocketNotifier>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace platform::x11 {

namespace {

Qt::MouseButton buttonOf(uint8_t detail) {
    switch (detail) {
    case 1: return Qt::LeftButton;
    case 2: return Qt::MiddleButton;
    case 3: return Qt::RightButton;
    case 8: return Qt::BackButton;
    case 9: return Qt::ForwardButton;
    default: return Qt::NoButton;  // the wheel's clicks (4 to 7) and the rest
    }
}

// The buttons down in an event's state, which is the state before the event.
Qt::MouseButtons heldIn(uint16_t state) {
    Qt::MouseButtons held;
    if (state & XCB_BUTTON_MASK_1) held |= Qt::LeftButton;
    if (state & XCB_BUTTON_MASK_2) held |= Qt::MiddleButton;
    if (state & XCB_BUTTON_MASK_3) held |= Qt::RightButton;
    return held;
}

constexpr uint32_t kEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                             XCB_EVENT_MASK_BUTTON_MOTION;

}  // namespace

class X11DirectWindows::Window final : public DirectWindow {
public:
    Window(X11DirectWindows& owner, xcb_window_t id, const QImage& image, uint8_t depth, uint32_t segment,
           Pointer pointer)
        : owner_(owner), c_(owner.c_), id_(id), image_(image), depth_(depth), segment_(segment),
          pointer_(std::move(pointer)) {
        gc_ = xcb_generate_id(c_);
        const uint32_t noExposures = 0;
        xcb_create_gc(c_, gc_, id_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        if (segment_) {
            packed_ = sharedImage(kPackedSize);
            packedSegment_ = attachShared(c_, packed_);
        }
        owner_.windows_.push_back(this);
    }

    ~Window() override {
        std::erase(owner_.windows_, this);
        xcb_destroy_window(c_, id_);
        xcb_free_gc(c_, gc_);
        xcb_flush(c_);
    }

    xcb_window_t id() const { return id_; }

    void show(const QRegion& pixels) override {
        // Rows side by side cost the server half as much to read as rows a whole screen's width
        // apart, each on a page of its own: what fits goes through the packed segment, unless the
        // server may not have read what was last put from it.
        qsizetype packed = packedSegment_ && !packedUnread_ ? 0 : -1;
        for (const QRect& screen : pixels) {
            const QRect r = screen.intersected(image_.rect());
            if (r.isEmpty()) continue;
            const qsizetype bytes = qsizetype(r.width()) * r.height() * 4;
            if (packed >= 0 && packed + bytes <= packed_.sizeInBytes()) {
                putPacked(r, packed);
                packed += bytes;
            } else {
                put(r);
            }
        }
        if (packed > 0) packedUnread_ = true;
        xcb_flush(c_);
    }

    void setTracking(bool on) override {
        if (on == tracking_) return;
        tracking_ = on;
        selectEvents();
    }

    void setEveryMove(bool on) override {
        if (on == everyMove_) return;
        everyMove_ = on;
        selectEvents();
    }

    bool keepsMoves() const override { return xcb_get_setup(c_)->motion_buffer_size > 0; }

    std::optional<PointerPath> pointerPath(bool moves) override {
        // The record's reply costs the server as much as two replies, each a write and a wake-up
        // of this program, and a walk through the whole record.
        const auto kept = moves ? xcb_get_motion_events(c_, id_, recordFrom_, XCB_CURRENT_TIME)
                                : xcb_get_motion_events_cookie_t{0};
        const auto now = xcb_query_pointer(c_, id_);
        Reply<xcb_get_motion_events_reply_t> record(moves ? xcb_get_motion_events_reply(c_, kept, nullptr) : nullptr,
                                                    &std::free);
        Reply<xcb_query_pointer_reply_t> here(xcb_query_pointer_reply(c_, now, nullptr), &std::free);
        if (here) packedUnread_ = false;  // the server answers in order: what was put before is read
        // Events that came with the replies wait in the queue, and the socket will not tell.
        owner_.readEventsLater();
        if (!here || !here->same_screen) return std::nullopt;
        PointerPath path{{}, QPointF(here->win_x, here->win_y), heldIn(here->mask)};
        // With every button up, the release waits in the queue (or was lost): the moves before
        // it go with it, and those after it to nobody.
        if (!path.held) return path;
        const QPoint place(here->win_x, here->win_y);
        if (moves) {
            path.moves = keptIn(record.get());
            last_ = place;
        }
        // The record's entry for the next move holds this place.
        marked_ = place;
        markNextMove_ = true;
        return path;
    }

    void handle(const xcb_generic_event_t* e) {
        switch (e->response_type & 0x7f) {
        case XCB_EXPOSE: {
            const auto* x = reinterpret_cast<const xcb_expose_event_t*>(e);
            exposed_ += QRect(x->x, x->y, x->width, x->height);
            if (x->count == 0) show(std::exchange(exposed_, {}));
            break;
        }
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE: {
            const auto* b = reinterpret_cast<const xcb_button_press_event_t*>(e);
            const Qt::MouseButton button = buttonOf(b->detail);
            if (button == Qt::NoButton) break;
            const bool press = (e->response_type & 0x7f) == XCB_BUTTON_PRESS;
            PointerEvent event{press ? PointerEvent::Kind::Press : PointerEvent::Kind::Release, button,
                               press ? heldIn(b->state) | button : heldIn(b->state) & ~button,
                               QPointF(b->event_x, b->event_y), b->time, {}};
            if (!press && keeping()) event.path = keptUntil(b->time);
            recordFrom_ = b->time;
            markNextMove_ = false;
            last_ = {b->event_x, b->event_y};
            pointer_(event);
            break;
        }
        case XCB_MOTION_NOTIFY: {
            // Kept back, a move only says that there are moves to read (it may stand for several:
            // the display merges those it queues while another client's grab holds the pointer,
            // as a window manager's click-to-focus does at the press).
            const auto* m = reinterpret_cast<const xcb_motion_notify_event_t*>(e);
            // The first move after the last place given: the record's entry of that time holds
            // that place, and the moves since follow it, however late the record is read.
            if (keeping() && std::exchange(markNextMove_, false) && int32_t(m->time - recordFrom_) > 0) {
                recordFrom_ = m->time;
                last_ = marked_;
            }
            pointer_({keeping() ? PointerEvent::Kind::Moved : PointerEvent::Kind::Move, Qt::NoButton, heldIn(m->state),
                      QPointF(m->event_x, m->event_y), m->time, {}});
            break;
        }
        default: break;
        }
    }

private:
    void selectEvents() {
        const uint32_t moves = (tracking_ ? XCB_EVENT_MASK_POINTER_MOTION : 0) |
                               (everyMove_ ? 0 : XCB_EVENT_MASK_POINTER_MOTION_HINT);
        const uint32_t events = kEvents | moves;
        xcb_change_window_attributes(c_, id_, XCB_CW_EVENT_MASK, &events);
        // A drag's events come through the grab its press began, which took the window's events
        // as they were then; nothing happens when this connection holds no grab.
        xcb_change_active_pointer_grab(c_, XCB_NONE, XCB_CURRENT_TIME, uint16_t((kEvents & ~XCB_EVENT_MASK_EXPOSURE) | moves));
        xcb_flush(c_);
    }

    // Whether moves the display kept back are read from its record of them.
    bool keeping() const { return !everyMove_ && keepsMoves(); }

    // The moves the display recorded after the last place given, up to `time`.
    std::vector<QPointF> keptUntil(xcb_timestamp_t time) {
        Reply<xcb_get_motion_events_reply_t> record(
            xcb_get_motion_events_reply(c_, xcb_get_motion_events(c_, id_, recordFrom_, time), nullptr), &std::free);
        if (record) packedUnread_ = false;
        // Events that came with the reply wait in the queue, and the socket will not tell.
        owner_.readEventsLater();
        return keptIn(record.get());
    }

    // The server's record runs one change behind the pointer: each entry holds the place the
    // pointer left, stamped with the time of the change that followed, and a button's change
    // holds 0,0. The place the pointer is at is recorded once it leaves it: the moves after the
    // last place given follow that place's entry, and there are none while it has none.
    std::vector<QPointF> keptIn(const xcb_get_motion_events_reply_t* kept) {
        std::vector<QPointF> moves;
        if (!kept) return moves;
        const xcb_timecoord_t* record = xcb_get_motion_events_events(kept);
        const int n = xcb_get_motion_events_events_length(kept);
        int from = 0;
        while (from < n && (record[from].x != last_.x() || record[from].y != last_.y())) ++from;
        for (int i = from + 1; i < n; ++i)
            if (record[i].x != 0 || record[i].y != 0) {
                moves.emplace_back(record[i].x, record[i].y);
                recordFrom_ = record[i].time;
                last_ = {record[i].x, record[i].y};
            }
        return moves;
    }

    // The image's pixels in `r`, their rows side by side from `to` on.
    void packRows(const QRect& r, uchar* to) const {
        const size_t rowBytes = size_t(r.width()) * 4;
        for (int y = r.top(); y <= r.bottom(); ++y, to += rowBytes)
            std::memcpy(to, image_.constScanLine(y) + r.x() * 4, rowBytes);
    }

    // The rectangle packed at `offset` in the packed segment, and put from there.
    void putPacked(const QRect& r, qsizetype offset) {
        packRows(r, packed_.bits() + offset);
        xcb_shm_put_image(c_, id_, gc_, uint16_t(r.width()), uint16_t(r.height()), 0, 0, uint16_t(r.width()),
                          uint16_t(r.height()), int16_t(r.x()), int16_t(r.y()), depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                          packedSegment_, uint32_t(offset));
    }

    void put(const QRect& r) {
        if (segment_) {
            xcb_shm_put_image(c_, id_, gc_, uint16_t(image_.width()), uint16_t(image_.height()), int16_t(r.x()),
                              int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height()), int16_t(r.x()),
                              int16_t(r.y()), depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
            return;
        }
        // Through the socket, in requests no longer than the server takes.
        const size_t rowBytes = size_t(r.width()) * 4;
        const size_t room = std::min<size_t>(size_t(xcb_get_maximum_request_length(c_)) * 4 - 64, size_t(1) << 20);
        const int band = int(std::max<size_t>(1, room / rowBytes));
        for (int y = r.top(); y <= r.bottom(); y += band) {
            const int rows = std::min(band, r.bottom() + 1 - y);
            scratch_.resize(rowBytes * size_t(rows));
            packRows(QRect(r.x(), y, r.width(), rows), scratch_.data());
            xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, id_, gc_, uint16_t(r.width()), uint16_t(rows),
                          int16_t(r.x()), int16_t(y), 0, depth_, uint32_t(scratch_.size()), scratch_.data());
        }
    }

    X11DirectWindows& owner_;
    xcb_connection_t* c_;
    xcb_window_t id_;
    xcb_gcontext_t gc_ = 0;
    const QImage& image_;
    uint8_t depth_;
    uint32_t segment_;  // 0: none; the image's, detached with it
    // Small changes, their rows packed; not written again until a reply shows the server read it.
    static constexpr QSize kPackedSize{1024, 512};
    QImage packed_;
    uint32_t packedSegment_ = 0;
    bool packedUnread_ = false;
    Pointer pointer_;
    QRegion exposed_;
    bool tracking_ = false;
    bool everyMove_ = true;
    // The last place given during a drag, and the time from which the record is read for it:
    // that of the last move read, or of the first move after the last place given.
    QPoint last_;
    xcb_timestamp_t recordFrom_ = 0;
    // The place last asked for: the next move's time is where the record is read from, and its
    // entry holds that place.
    QPoint marked_;
    bool markNextMove_ = false;
    std::vector<uint8_t> scratch_;
};

X11DirectWindows::X11DirectWindows(Connection x) : x_(x) {}

X11DirectWindows::~X11DirectWindows() {
    notifier_.reset();
    if (!c_) return;
    forgetConnection(c_);
    xcb_disconnect(c_);
}

bool X11DirectWindows::open() {
    if (c_) return !xcb_connection_has_error(c_);
    c_ = xcb_connect(x_.display().empty() ? nullptr : x_.display().c_str(), nullptr);
    if (xcb_connection_has_error(c_)) return false;
    xcb_prefetch_maximum_request_length(c_);
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
    return true;
}

void X11DirectWindows::readEventsLater() {
    QMetaObject::invokeMethod(notifier_.get(), [this] { readEvents(); }, Qt::QueuedConnection);
}

void X11DirectWindows::readEvents() {
    // Events read while waiting for a reply wait in the queue without the socket telling.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
        const auto type = e->response_type & 0x7f;
        xcb_window_t target = XCB_WINDOW_NONE;
        if (type == XCB_EXPOSE)
            target = reinterpret_cast<xcb_expose_event_t*>(e)->window;
        else if (type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE || type == XCB_MOTION_NOTIFY)
            target = reinterpret_cast<xcb_button_press_event_t*>(e)->event;  // the same place in all three
        for (Window* w : windows_)
            if (w->id() == target) {
                w->handle(e);
                break;
            }
        std::free(e);
    }
    if (xcb_connection_has_error(c_)) notifier_->setEnabled(false);
}

std::unique_ptr<DirectWindow> X11DirectWindows::attach(QWidget& window, const QImage& image,
                                                       DirectWindow::Pointer pointer) {
    if (image.format() != QImage::Format_RGB32 || image.isNull() || !open()) return nullptr;
    // The toolkit's window, made and known to the server before a child goes into it.
    const xcb_window_t parent = Connection::windowOf(window);
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x_.get(), xcb_get_geometry(x_.get(), parent), nullptr), &std::free);
    if (!geometry) return nullptr;
    // Pixels as the image holds them: 32 bits, B G R x in memory.
    const xcb_setup_t* setup = xcb_get_setup(c_);
    bool native = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST && (geometry->depth == 24 || geometry->depth == 32);
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == geometry->depth && f.data->bits_per_pixel != 32) native = false;
    if (!native) return nullptr;

    const xcb_window_t id = xcb_generate_id(c_);
    // No background to clear before each expose is put; no pointer event going on to the
    // toolkit's window, not even the XInput 2 events of the pointer's own device (the toolkit
    // selects those of every device, and would wake on each move).
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, kEvents,
                               XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                   XCB_EVENT_MASK_POINTER_MOTION};
    const auto made = xcb_create_window_checked(
        c_, XCB_COPY_FROM_PARENT, id, parent, 0, 0, uint16_t(image.width()), uint16_t(image.height()), 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
        XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK | XCB_CW_DONT_PROPAGATE, values);
    if (xcb_generic_error_t* error = xcb_request_check(c_, made)) {
        std::free(error);
        return nullptr;
    }
    const uint32_t segment = attachShared(c_, image);  // 0: through the socket
    auto direct = std::make_unique<Window>(*this, id, image, geometry->depth, segment, std::move(pointer));
    xcb_map_window(c_, id);
    xcb_flush(c_);
    readEventsLater();
    return direct;
}

}  // namespace platform::x11
