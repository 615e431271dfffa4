#include "ui/contrast.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#endif

namespace kalvoran::ui {

namespace {

bool g_moreContrast = false;

} // namespace

void setMoreContrast(bool more)
{
    g_moreContrast = more;
}

bool moreContrast()
{
    return g_moreContrast;
}

#ifdef _WIN32

// Qt 6.4's own QWindowsTheme::queryHighContrast() is private to the platform
// plugin and hands SPI_GETHIGHCONTRAST a BOOL where Windows fills a
// HIGHCONTRAST, so the windows ask Windows themselves.
bool desktopAsksMoreContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, contrast.cbSize, &contrast, 0) != FALSE
        && (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

#else

// The desktop portal's org.freedesktop.appearance "contrast": 1 asks for
// higher contrast (where the desktop's portal passes on such a switch, as
// recent GNOME does its high-contrast one). No portal running, no session bus
// or no answer within a moment: normal contrast. Neither a bus (libdbus
// starts one where no address is given) nor the portal is started for this:
// either would hold up the first window.
bool desktopAsksMoreContrast()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(portal).value())
        return false;
    QDBusMessage read = QDBusMessage::createMethodCall(portal, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("contrast");
    const QDBusMessage reply = bus.call(read, QDBus::Block, 500);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    // Read answers a variant within a variant.
    QVariant value = reply.arguments().constFirst();
    while (value.canConvert<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value.toUInt() == 1;
}

#endif

} // namespace kalvoran::ui
