#include "StartupFeedback.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

xcb_atom_t atomFrom(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_intern_atom_cookie_t askAtom(xcb_connection_t* connection, const char* name)
{
    return xcb_intern_atom(connection, 0, std::strlen(name), name);
}

} // namespace

// The X11 start-up notification protocol: the line "remove: ID=…" with its closing zero byte,
// in pieces of 20 bytes sent to the root window, the first as _NET_STARTUP_INFO_BEGIN.
void EndStartupFeedback()
{
    const QByteArray id = qgetenv("DESKTOP_STARTUP_ID");
    if (id.isEmpty())
        return;
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem > 0) {
        const xcb_intern_atom_cookie_t beginCookie = askAtom(connection, "_NET_STARTUP_INFO_BEGIN");
        const xcb_intern_atom_cookie_t moreCookie = askAtom(connection, "_NET_STARTUP_INFO");
        const xcb_atom_t begin = atomFrom(connection, beginCookie);
        const xcb_atom_t more = atomFrom(connection, moreCookie);
        QByteArray quoted = id;
        quoted.replace('\\', "\\\\").replace('"', "\\\"");
        const QByteArray message = "remove: ID=\"" + quoted + "\"";
        const xcb_window_t root = screens.data->root;
        xcb_client_message_event_t event;
        for (qsizetype sent = 0; sent <= message.size(); sent += 20) {
            std::memset(&event, 0, sizeof event);
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 8;
            event.window = root;
            event.type = sent == 0 ? begin : more;
            // The zero byte after the last character is part of the message.
            std::memcpy(event.data.data8, message.constData() + sent, std::min<qsizetype>(20, message.size() - sent));
            xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
        }
        // The server drops what it has not read yet once the connection closes: a round trip first.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
}
