#include "platform/x11/X11WindowHints.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWindow>
#include <QWidget>
#include <xcb/xinerama.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace platform::x11 {

namespace {
constexpr uint32_t kStateAdd = 1;
constexpr uint32_t kSourceApplication = 1;

// WM_STATE's states.
constexpr uint32_t kNormalState = 1, kIconicState = 3;

// Asks `done` every 2 ms until it says yes or `limit` has passed; whether it said yes. For what
// the window manager does within a few milliseconds of a request.
template <class Done>
bool askUntil(std::chrono::milliseconds limit, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
}  // namespace

void X11WindowHints::keepOnTop(QWidget& window) {
    // The stays-on-top flag asks for the above state when the window is mapped; a mapped window
    // is asked again, in case the window manager or the user took it away. A manager without
    // the band (i3) may take a raise for an activation, which ends a full screen: no raise there.
    if (window.isVisible()) {
        x_.sendToRoot(Connection::windowOf(window), "_NET_WM_STATE",
                      {kStateAdd, x_.atom("_NET_WM_STATE_ABOVE"), 0, kSourceApplication, 0});
        if (hasOnTopBand()) window.raise();
    }
    xcb_flush(x_.get());
}

bool X11WindowHints::setMinimizable(QWidget& window, bool minimizable) {
    // Most window managers keep the minimise action of normal windows whatever the Motif hints
    // say, but take it from toolbar windows; they read the type again when the Motif hints
    // change, so both properties are written. Metacity and its heirs follow the Motif hints but
    // take the frame from a toolbar window: the type stays normal there.
    const xcb_window_t w = Connection::windowOf(window);
    ++changes_;
    const bool asToolbar = !minimizable && !followsMotifMinimise();
    const xcb_atom_t type = x_.atom(asToolbar ? "_NET_WM_WINDOW_TYPE_TOOLBAR" : "_NET_WM_WINDOW_TYPE_NORMAL");
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, x_.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &type);
    constexpr uint32_t kFunctions = 1, kDecorations = 2;
    constexpr uint32_t kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncClose = 32;
    constexpr uint32_t kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32;
    const uint32_t hints[5] = {kFunctions | kDecorations,
                               kFuncMove | kFuncClose | kFuncResize | (minimizable ? kFuncMinimize : 0),
                               kDecorBorder | kDecorTitle | kDecorMenu | (minimizable ? kDecorMinimize : 0), 0, 0};
    const xcb_atom_t motif = x_.atom("_MOTIF_WM_HINTS");
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, motif, motif, 32, 5, hints);
    xcb_flush(x_.get());
    // A shown window: the manager that reads the change at once says so in the allowed actions
    // within a few milliseconds.
    if (!minimizable || !window.isVisible() || !x_.managerSupports("_NET_WM_ALLOWED_ACTIONS")) return true;
    const xcb_atom_t action = x_.atom("_NET_WM_ACTION_MINIMIZE");
    return askUntil(std::chrono::milliseconds(50), [&] {
        const auto actions = x_.cardinals(w, "_NET_WM_ALLOWED_ACTIONS");
        return (std::find(actions.begin(), actions.end(), action) != actions.end()) == minimizable;
    });
}

bool X11WindowHints::followsMotifMinimise() {
    const std::string name = x_.managerName();
    return name.starts_with("Metacity") || name.starts_with("Mutter") || name.starts_with("GNOME Shell");
}

FrameExtents X11WindowHints::frameExtents(QWidget& window) {
    const xcb_window_t w = Connection::windowOf(window);
    auto values = x_.cardinals(w, "_NET_FRAME_EXTENTS");
    if (values.size() >= 4) return {int(values[0]), int(values[1]), int(values[2]), int(values[3])};
    // A framed window: the frame is measured round it.
    if (const auto measured = measuredFrame(w)) return *measured;
    // Not framed yet: a manager that offers it says what frame the window will get. Some never
    // answer, so the program waits for the answer at most 100 ms in all until one comes; a
    // manager that answered once may still miss a window on its way in or out (each wait is
    // then 100 ms at most).
    constexpr std::chrono::milliseconds kWait(100);
    if (!x_.managerRuns() || (!managerAnswers_ && requestBudget_.count() <= 0)) return {};
    x_.sendToRoot(w, "_NET_REQUEST_FRAME_EXTENTS", {0, 0, 0, 0, 0});
    xcb_flush(x_.get());
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto limit = managerAnswers_ ? kWait : requestBudget_;
    while ((values = x_.cardinals(w, "_NET_FRAME_EXTENTS")).size() < 4 && clock::now() - start < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (!managerAnswers_) requestBudget_ -= std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - start);
    if (values.size() < 4) return {};
    managerAnswers_ = true;
    return {int(values[0]), int(values[1]), int(values[2]), int(values[3])};
}

X11WindowHints::~X11WindowHints() = default;

void X11WindowHints::watchFrame(QWidget& window, std::function<void()> changed) {
    if (frameWatches_.empty()) {
        frameAtom_ = x_.atom("_NET_FRAME_EXTENTS");
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    std::erase_if(frameWatches_, [](const FrameWatch& w) { return !w.window; });
    frameWatches_.push_back({&window, std::move(changed)});
}

bool X11WindowHints::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(ev);
    if (property->atom != frameAtom_) return false;
    for (const FrameWatch& w : frameWatches_)
        if (w.window && w.window->isVisible() && Connection::windowOf(*w.window) == property->window)
            // After Qt has seen the event too: the new frame is read then.
            QTimer::singleShot(0, w.window, w.changed);
    return false;
}

std::optional<FrameExtents> X11WindowHints::measuredFrame(xcb_window_t w) {
    const xcb_window_t frame = x_.frameOf(w);
    if (frame == w) return std::nullopt;
    xcb_connection_t* c = x_.get();
    const auto outerCookie = xcb_get_geometry(c, frame);
    const auto innerCookie = xcb_get_geometry(c, w);
    const auto whereCookie = xcb_translate_coordinates(c, w, frame, 0, 0);
    Reply<xcb_get_geometry_reply_t> outer(xcb_get_geometry_reply(c, outerCookie, nullptr), &std::free);
    Reply<xcb_get_geometry_reply_t> inner(xcb_get_geometry_reply(c, innerCookie, nullptr), &std::free);
    Reply<xcb_translate_coordinates_reply_t> where(xcb_translate_coordinates_reply(c, whereCookie, nullptr),
                                                   &std::free);
    if (!outer || !inner || !where) return std::nullopt;
    const int left = where->dst_x, top = where->dst_y;
    return FrameExtents{left, outer->width - inner->width - left, top, outer->height - inner->height - top};
}

std::optional<QPoint> X11WindowHints::clientPosition(QWidget& window) {
    const auto cookie = xcb_translate_coordinates(x_.get(), Connection::windowOf(window), x_.root(), 0, 0);
    Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(x_.get(), cookie, nullptr),
                                                   &std::free);
    if (!reply) return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
}

bool X11WindowHints::confirmGeometry(QWidget& window, const QRect& device) {
    const xcb_window_t w = Connection::windowOf(window);
    const auto at = clientPosition(window);
    Reply<xcb_get_geometry_reply_t> size(xcb_get_geometry_reply(x_.get(), xcb_get_geometry(x_.get(), w), nullptr),
                                         &std::free);
    if (!at || !size || QRect(*at, QSize(size->width, size->height)) == device) return true;
    const uint16_t mask = XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
    const uint32_t values[] = {uint32_t(device.x()), uint32_t(device.y()), uint32_t(device.width()),
                               uint32_t(device.height())};
    xcb_configure_window(x_.get(), w, mask, values);
    xcb_flush(x_.get());
    return false;
}

void X11WindowHints::askSize(QWidget& window, QSize device) {
    const uint32_t values[] = {uint32_t(device.width()), uint32_t(device.height())};
    xcb_configure_window(x_.get(), Connection::windowOf(window), XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(x_.get());
}

void X11WindowHints::setOwner(QWidget& window, QWidget* owner) {
    // Qt writes the owner only when it maps a dialog or tool window.
    const xcb_window_t w = Connection::windowOf(window);
    if (owner) {
        const xcb_window_t o = Connection::windowOf(*owner);
        xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &o);
    } else {
        xcb_delete_property(x_.get(), w, XCB_ATOM_WM_TRANSIENT_FOR);
    }
    xcb_flush(x_.get());
}

void X11WindowHints::giveKeys(QWidget& window, unsigned long userTime) {
    giveKeysSoon(&window, xcb_timestamp_t(userTime), 0);
}

void X11WindowHints::giveKeysSoon(QPointer<QWidget> window, xcb_timestamp_t userTime, int tries) {
    if (!window || !window->isVisible()) return;
    const xcb_window_t w = Connection::windowOf(*window);
    Reply<xcb_get_window_attributes_reply_t> attrs(
        xcb_get_window_attributes_reply(x_.get(), xcb_get_window_attributes(x_.get(), w), nullptr), &std::free);
    if (attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE) {
        // At the user's time, the server drops the request if the focus moved on since (xfwm4 may
        // carry out a later activation with that same time, and would be refused after one now).
        Reply<xcb_generic_error_t> error(
            xcb_request_check(x_.get(), xcb_set_input_focus_checked(x_.get(), XCB_INPUT_FOCUS_PARENT, w, userTime)),
            &std::free);
        if (!error) return;
    }
    // Not mapped yet: the manager maps it within a few milliseconds.
    if (tries < 100) QTimer::singleShot(5, window, [this, window, userTime, tries] { giveKeysSoon(window, userTime, tries + 1); });
}

void X11WindowHints::liftAboveDocks(QWidget& window, bool lifted) {
    // The older layer protocol, which icewm still offers: 4 normal, 6 on top, 8 docks, 10 above
    // docks, 14 full screen, 15 above all. A window kept on top stays above the others lifted
    // with it, as in the layers below the docks; icewm takes a click on the canvas for its
    // activation and moves it up to the full-screen layer, so that is the top one.
    if (!x_.managerRuns()) return;
    const auto protocols = x_.cardinals(x_.root(), "_WIN_PROTOCOLS");
    if (std::find(protocols.begin(), protocols.end(), x_.atom("_WIN_LAYER")) == protocols.end()) return;
    const bool onTop = window.windowHandle() && window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    const uint32_t layer = lifted ? (onTop ? 15 : 10) : (onTop ? 6 : 4);
    const xcb_window_t w = Connection::windowOf(window);
    // Read when the window is mapped; a mapped one is told.
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, w, x_.atom("_WIN_LAYER"), XCB_ATOM_CARDINAL, 32, 1, &layer);
    if (window.isVisible()) x_.sendToRoot(w, "_WIN_LAYER", {layer, 0, 0, 0, 0});
    xcb_flush(x_.get());
}

void X11WindowHints::fullScreenOn(QWidget& window, const QRect& monitor) {
    // Monitors are named by their place in the Xinerama list; with one there is nothing to say.
    xcb_connection_t* c = x_.get();
    const xcb_query_extension_reply_t* xinerama = xcb_get_extension_data(c, &xcb_xinerama_id);
    if (!xinerama || !xinerama->present) return;  // a request of a missing extension breaks the connection
    Reply<xcb_xinerama_query_screens_reply_t> screens(
        xcb_xinerama_query_screens_reply(c, xcb_xinerama_query_screens(c), nullptr), &std::free);
    if (!screens || xcb_xinerama_query_screens_screen_info_length(screens.get()) < 2) return;
    const xcb_xinerama_screen_info_t* info = xcb_xinerama_query_screens_screen_info(screens.get());
    for (uint32_t i = 0; i < uint32_t(xcb_xinerama_query_screens_screen_info_length(screens.get())); ++i) {
        if (QRect(info[i].x_org, info[i].y_org, info[i].width, info[i].height) != monitor) continue;
        const xcb_window_t w = Connection::windowOf(window);
        const uint32_t monitors[4] = {i, i, i, i};  // top, bottom, left, right
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, x_.atom("_NET_WM_FULLSCREEN_MONITORS"), XCB_ATOM_CARDINAL,
                            32, 4, monitors);
        if (window.isVisible()) x_.sendToRoot(w, "_NET_WM_FULLSCREEN_MONITORS", {i, i, i, i, kSourceApplication});
        xcb_flush(c);
        return;
    }
}

bool X11WindowHints::isManaged(QWidget& window) {
    if (!x_.managerRuns()) return true;
    // The manager sets WM_STATE to NormalState when it has mapped the window it took in.
    const auto state = x_.cardinals(Connection::windowOf(window), "WM_STATE");
    return !state.empty() && state[0] == kNormalState;
}

void X11WindowHints::withdraw(QWidget& window) {
    const xcb_window_t w = Connection::windowOf(window);
    ++changes_;
    const bool managed = x_.managerRuns();
    window.hide();
    xcb_flush(x_.get());
    if (!managed) return;
    // The manager deletes WM_STATE (or reparents the window to the root) once it let it go.
    const xcb_atom_t wmState = x_.atom("WM_STATE");
    askUntil(std::chrono::milliseconds(100), [&] {
        const auto cookie = xcb_get_property(x_.get(), 0, w, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 2);
        Reply<xcb_get_property_reply_t> state(xcb_get_property_reply(x_.get(), cookie, nullptr), &std::free);
        if (!state || state->type == XCB_NONE || x_.frameOf(w) == w) return true;
        const auto* value = static_cast<uint32_t*>(xcb_get_property_value(state.get()));
        return xcb_get_property_value_length(state.get()) >= 4 && value[0] == 0;  // WithdrawnState
    });
}

void X11WindowHints::minimize(QWidget& window) {
    // A manager that offers no minimise action (i3, or none at all) would leave the window as it
    // is: it is hidden instead, and the hot key brings it back.
    if (!x_.managerSupports("_NET_WM_ALLOWED_ACTIONS")) {
        window.hide();
        return;
    }
    const bool mapping = !window.isVisible();
    window.showMinimized();
    xcb_flush(x_.get());
    if (!mapping) return;
    // A window mapped straight into the minimised state: KWin often takes it in shown, and then
    // mostly, not always, minimises it later. Once taken in shown, it is asked at once, as a shown
    // window is asked to minimise, and again while KWin still shows it a moment later.
    const xcb_window_t w = Connection::windowOf(window);
    std::vector<uint32_t> state;
    askUntil(std::chrono::milliseconds(100), [&] {
        state = x_.cardinals(w, "WM_STATE");
        return !state.empty() && (state[0] == kIconicState || state[0] == kNormalState);
    });
    if (state.empty() || state[0] != kNormalState) return;
    x_.sendToRoot(w, "WM_CHANGE_STATE", {kIconicState});
    xcb_flush(x_.get());
    minimizeAgainLater(window, 2);
}

void X11WindowHints::minimizeAgainLater(QWidget& window, int tries) {
    const xcb_window_t w = Connection::windowOf(window);
    QTimer::singleShot(150, &window, [this, &window, w, tries, asked = changes_] {
        if (changes_ != asked || !window.isVisible()) return;
        const auto state = x_.cardinals(w, "WM_STATE");
        if (state.empty() || state[0] != kNormalState) return;
        x_.sendToRoot(w, "WM_CHANGE_STATE", {kIconicState});
        xcb_flush(x_.get());
        if (tries > 1) minimizeAgainLater(window, tries - 1);
    });
}

void X11WindowHints::restore(QWidget& window) {
    // Brought back and raised; the caller gives it the keys, as an activation or without one.
    ++changes_;
    window.showNormal();
    if (hasOnTopBand()) window.raise();
    xcb_flush(x_.get());
}

bool X11WindowHints::isMinimized(QWidget& window) {
    if (!x_.managerSupports("_NET_WM_ALLOWED_ACTIONS")) return !window.isVisible();
    // What the window manager says, not what Qt last asked for.
    const auto state = x_.cardinals(Connection::windowOf(window), "_NET_WM_STATE");
    return std::count(state.begin(), state.end(), x_.atom("_NET_WM_STATE_HIDDEN")) > 0 || window.isMinimized();
}

}  // namespace platform::x11
