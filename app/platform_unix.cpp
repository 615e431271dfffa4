#include "app/platform.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace kalvoran::app {

// Unless the user chose one (QT_QPA_PLATFORM): X11 wherever an X server is at
// hand, an XWayland one included, because only there can the program place
// its windows (centred at first, back where they were after that); native
// Wayland where there is no X server; else Qt's own default.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    else if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
}

// On the terminal or in the desktop's session log.
void reportStartFailure(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace kalvoran::app
