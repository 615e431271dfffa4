#include "app/display_guard.h"

#include "app/platform.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <cstdlib>
#include <mutex>

namespace kalvoran::app {

namespace {

// What the platform plugins say when the display server is not there: X11
// when DISPLAY names no server, Wayland when there is no compositor's socket.
constexpr std::array<const char *, 2> kNoDisplayMarkers{"could not connect to display", "Failed to create wl_display"};

// Enough for the plugin loader's complaints that lead up to the fatal one.
constexpr qsizetype kKeptMessages = 32;

std::mutex g_mutex;
QStringList g_messages; // the toolkit's start-up messages, as it would print them

bool saysNoDisplay(const QStringList &messages)
{
    for (const QString &message : messages) {
        for (const char *marker : kNoDisplayMarkers) {
            if (message.contains(QLatin1StringView(marker)))
                return true;
        }
    }
    return false;
}

// During start-up the toolkit's messages are held back; a working start
// drops them, a fatal one decides what the user is told.
void startUpHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const std::lock_guard lock(g_mutex);
    g_messages.append(qFormatLogMessage(type, context, message));
    if (g_messages.size() > kKeptMessages)
        g_messages.removeFirst();
    if (type != QtFatalMsg)
        return;

    QString text;
    if (saysNoDisplay(g_messages)) {
        text = QStringLiteral("kalvoran: needs a graphical display, and none could be opened (is DISPLAY set?)\n");
    } else {
        text = QStringLiteral("kalvoran: the graphical interface could not be started; Qt says:\n");
        for (const QString &line : std::as_const(g_messages))
            text += line + QLatin1Char('\n');
    }
    reportStartFailure(text);
    std::_Exit(1);
}

} // namespace

DisplayGuard::DisplayGuard()
{
    qInstallMessageHandler(startUpHandler);
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(nullptr); // back to the toolkit's own handler
    const std::lock_guard lock(g_mutex);
    g_messages.clear();
}

} // namespace kalvoran::app
