#include "platform/x11/X11Connection.h"

#include <QWidget>

#include <algorithm>
#include <cstring>

namespace platform::x11 {

Connection::Connection(xcb_connection_t* c, int screen, std::string display)
    : c_(c), screen_(screen), display_(std::move(display)), root_(screenOf(c, screen)->root) {}

const xcb_screen_t* Connection::screenOf(xcb_connection_t* c, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    const xcb_screen_t* first = it.data;
    for (int i = 0; i < number && it.rem; ++i) xcb_screen_next(&it);
    return it.rem ? it.data : first;
}

xcb_window_t Connection::windowOf(QWidget& w) { return static_cast<xcb_window_t>(w.winId()); }

xcb_atom_t Connection::atom(const char* name) {
    const auto cookie = xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c_, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<uint32_t> Connection::cardinals(xcb_window_t window, const char* property) {
    const auto cookie = xcb_get_property(c_, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c_, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

void Connection::sendToRoot(xcb_window_t window, const char* type, std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = atom(type);
    size_t i = 0;
    for (uint32_t d : data) ev.data.data32[i++] = d;
    xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
}

bool Connection::selectionOwned(const std::string& selection) {
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, atom(selection.c_str())), nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

bool Connection::managerRuns() {
    // The check window names itself when the manager that made it still runs.
    const auto check = cardinals(root_, "_NET_SUPPORTING_WM_CHECK");
    return !check.empty() && cardinals(check[0], "_NET_SUPPORTING_WM_CHECK") == check;
}

std::string Connection::managerName() {
    if (!managerRuns()) return {};
    const xcb_window_t check = cardinals(root_, "_NET_SUPPORTING_WM_CHECK").front();
    const auto cookie = xcb_get_property(c_, 0, check, atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c_, cookie, nullptr), &std::free);
    if (!reply || reply->format != 8) return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return {text, text + xcb_get_property_value_length(reply.get())};
}

bool Connection::managerSupports(const char* hint) {
    if (!managerRuns()) return false;
    const xcb_atom_t wanted = atom(hint);
    const auto cookie = xcb_get_property(c_, 0, root_, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c_, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return std::find(atoms, atoms + xcb_get_property_value_length(reply.get()) / 4, wanted) !=
           atoms + xcb_get_property_value_length(reply.get()) / 4;
}

xcb_window_t Connection::frameOf(xcb_window_t window) {
    xcb_window_t w = window;
    for (int depth = 0; depth < 8; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr), &std::free);
        if (!tree || tree->parent == XCB_WINDOW_NONE || tree->parent == root_) break;
        w = tree->parent;
    }
    return w;
}

}  // namespace platform::x11
