#include "app/display_guard.h"
#include "app/platform.h"
#include "app/program.h"
#include "ui/accessibility.h"
#include "ui/contrast.h"
#include "ui/fonts.h"

#include "kalvoran/version.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    kalvoran::app::choosePlatform();
    std::unique_ptr<QApplication> application;
    {
        const kalvoran::app::DisplayGuard guard;
        application = std::make_unique<QApplication>(argc, argv);
    }
    QApplication::setApplicationName(QStringLiteral("Kalvoran"));
    QApplication::setApplicationVersion(QString::fromUtf8(kalvoran::kVersion));
    // Matches the installed desktop entry, so desktops show its name and icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kalvoran::kApplicationId));
    // The program ends through its farewell screen only, never because the
    // last visible window went away.
    QApplication::setQuitOnLastWindowClosed(false);

    // One face throughout, message boxes included; it also spares loading the
    // system's default face at start-up.
    QApplication::setFont(kalvoran::ui::fontFor(kalvoran::layout::kRegular));
    // Before the first window: the windows' accessible interfaces come from it.
    kalvoran::ui::installAccessibility();
    // The darker red where the desktop asks for more contrast.
    kalvoran::ui::setMoreContrast(kalvoran::ui::desktopAsksMoreContrast());

    kalvoran::app::Program program;
    if (!program.start())
        return 1;
    return QApplication::exec();
}
