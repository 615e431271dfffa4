#include "app/display_guard.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace kalvoran::app {

namespace {

// During start-up the toolkit's complaints about the display are dropped; a
// fatal one means there is no display to work on.
void startUpHandler(QtMsgType type, const QMessageLogContext & /*context*/, const QString & /*message*/)
{
    if (type != QtFatalMsg)
        return;
    std::fputs("kalvoran: needs a graphical display, and none could be opened (is DISPLAY set?)\n", stderr);
    std::fflush(stderr);
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
}

} // namespace kalvoran::app
