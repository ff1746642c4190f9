#include "platform/desktop_queries.h"

#include <optional>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include <xcb/xcb.h>

namespace hv::platform {

namespace {

// Services answer within milliseconds; a hung one must not hold up the clock for long.
constexpr int DBUS_TIMEOUT_MS = 250;

// The answer of a call, or nothing when no such service runs. No service is started for it.
std::optional<QVariant> callService(const QDBusConnection& bus, const QString& service,
                                    const QString& path, const QString& interface,
                                    const QString& method, const QVariantList& arguments = {})
{
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, DBUS_TIMEOUT_MS);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant answer = reply.arguments().constFirst();
    // Properties come wrapped in a variant of their own.
    if (answer.canConvert<QDBusVariant>())
        return answer.value<QDBusVariant>().variant();
    return answer;
}

std::optional<QVariant> property(const QDBusConnection& bus, const QString& service,
                                 const QString& path, const QString& interface, const QString& name)
{
    return callService(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("Get"), {interface, name});
}

bool gnomeBannersOff()
{
    if (!qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("GNOME")))
        return false;
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty())
        return false;
    QProcess process;
    process.start(gsettings,
                  {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.notifications"),
                   QStringLiteral("show-banners")});
    if (!process.waitForFinished(DBUS_TIMEOUT_MS))
        return false;
    return process.readAllStandardOutput().trimmed() == "false";
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

// The 32-bit values of a window's property, up to `count` of them.
QList<uint32_t> values(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                       xcb_atom_t type, uint32_t count)
{
    QList<uint32_t> result;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, type, 0, count);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        result = QList<uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return result;
}

} // namespace

bool desktopNotificationsInhibited()
{
    const std::optional<QVariant> inhibited =
        property(QDBusConnection::sessionBus(), QStringLiteral("org.freedesktop.Notifications"),
                 QStringLiteral("/org/freedesktop/Notifications"),
                 QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Inhibited"));
    return (inhibited && inhibited->toBool()) || gnomeBannersOff();
}

bool desktopActiveWindowFullScreen()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t active = atom(connection, "_NET_ACTIVE_WINDOW");
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t fullScreen = atom(connection, "_NET_WM_STATE_FULLSCREEN");
    if (!screen || active == XCB_ATOM_NONE || state == XCB_ATOM_NONE || fullScreen == XCB_ATOM_NONE)
        return false;
    const QList<uint32_t> window = values(connection, screen->root, active, XCB_ATOM_WINDOW, 1);
    if (window.isEmpty() || window.constFirst() == XCB_WINDOW_NONE)
        return false;
    // A window has only a handful of states; 32 is plenty.
    return values(connection, window.constFirst(), state, XCB_ATOM_ATOM, 32).contains(fullScreen);
}

bool desktopScreenLocked()
{
    const QDBusConnection session = QDBusConnection::sessionBus();
    for (const auto& [service, path] : {std::pair{QStringLiteral("org.freedesktop.ScreenSaver"),
                                                  QStringLiteral("/org/freedesktop/ScreenSaver")},
                                        std::pair{QStringLiteral("org.gnome.ScreenSaver"),
                                                  QStringLiteral("/org/gnome/ScreenSaver")}}) {
        const std::optional<QVariant> active =
            callService(session, service, path, service, QStringLiteral("GetActive"));
        if (active)
            return active->toBool();
    }
    // Without a screen saver service the login manager may still know of the lock.
    const std::optional<QVariant> locked =
        property(QDBusConnection::systemBus(), QStringLiteral("org.freedesktop.login1"),
                 QStringLiteral("/org/freedesktop/login1/session/auto"),
                 QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("LockedHint"));
    return locked && locked->toBool();
}

} // namespace hv::platform
