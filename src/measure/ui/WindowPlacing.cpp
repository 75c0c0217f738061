#include "measure/ui/WindowPlacing.h"

#include <QGuiApplication>
#include <QString>

#ifdef KALVOR_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace {

// X window managers that place the windows of X programs themselves.
constexpr QStringView kPlacingWindowManagers[] = {u"Weston WM"};

#ifdef KALVOR_HAVE_XCB
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The value of a window's property, empty where it has none.
QByteArray Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                    xcb_atom_t type) {
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 256), nullptr));
    if (reply == nullptr) return {};
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      std::max(length, 0));
}

QString X11WindowManagerName() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) return {};
    // The window manager names itself on a window the root's
    // _NET_SUPPORTING_WM_CHECK points to.
    const QByteArray check = Property(
        connection, screen->root, Atom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.size() < static_cast<int>(sizeof(xcb_window_t))) return {};
    xcb_window_t window = 0;
    std::memcpy(&window, check.constData(), sizeof window);
    return QString::fromUtf8(Property(connection, window, Atom(connection, "_NET_WM_NAME"),
                                      Atom(connection, "UTF8_STRING")));
}
#endif

}  // namespace

bool ProgramPlacesWindows(QStringView platform, QStringView windowManager) {
    if (platform.startsWith(u"wayland")) return false;
    for (QStringView placing : kPlacingWindowManagers)
        if (platform == u"xcb" && windowManager == placing) return false;
    return true;
}

bool ProgramPlacesWindows() {
    const QString platform = QGuiApplication::platformName();
    QString windowManager;
#ifdef KALVOR_HAVE_XCB
    if (platform == QLatin1String("xcb")) windowManager = X11WindowManagerName();
#endif
    return ProgramPlacesWindows(platform, windowManager);
}
