#include "LaunchActivation.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

constexpr qsizetype kMaxToken = 255;

QByteArray wellFormedOrEmpty(const QByteArray& token)
{
    return LaunchActivation::WellFormed(token) ? token : QByteArray();
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// The launch time the ID carries after "_TIME", the moment the user asked; 0 without one.
xcb_timestamp_t launchTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const qulonglong time = startupId.mid(at + 5).toULongLong(&ok);
    return ok && time <= 0xFFFFFFFFull ? xcb_timestamp_t(time) : 0;
}

// Window managers that prevent focus stealing (KWin, Mutter) watch _NET_STARTUP_ID on a window
// that is already there and give it the focus with the launch's time, as they would a new
// window; an activation request that carries that time is granted too.
void markLaunch(xcb_connection_t* connection, xcb_window_t window, const QByteArray& startupId)
{
    const xcb_atom_t property = atom(connection, "_NET_STARTUP_ID");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    if (property == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, utf8, 8, uint32_t(startupId.size()),
                        startupId.constData());
}

void requestActivation(xcb_connection_t* connection, xcb_window_t window, xcb_timestamp_t time)
{
    const xcb_atom_t active = atom(connection, "_NET_ACTIVE_WINDOW");
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry || active == XCB_ATOM_NONE) {
        std::free(geometry);
        return;
    }
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = active;
    event.data.data32[0] = 1;   // from an application
    event.data.data32[1] = time;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

LaunchActivation LaunchActivation::FromEnvironment()
{
    return {wellFormedOrEmpty(qgetenv("DESKTOP_STARTUP_ID")), wellFormedOrEmpty(qgetenv("XDG_ACTIVATION_TOKEN"))};
}

bool LaunchActivation::WellFormed(const QByteArray& token)
{
    return !token.isEmpty() && token.size() <= kMaxToken
        && std::all_of(token.cbegin(), token.cend(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

void LaunchActivation::BringForward(QWidget& window, const std::function<void()>& comeForward) const
{
    const QString platform = QGuiApplication::platformName();
    // Qt's Wayland backend spends this on the window's next activation.
    if (platform == QLatin1String("wayland") && WellFormed(activationToken))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (platform != QLatin1String("xcb") || !x11 || !WellFormed(startupId)) {
        comeForward();
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window.winId());
    markLaunch(connection, id, startupId);
    comeForward();
    if (const xcb_timestamp_t time = launchTime(startupId); time != 0 && window.isVisible())
        requestActivation(connection, id, time);
    // Taken by the server before the second start, answered after this, ends the launcher's feedback.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}
