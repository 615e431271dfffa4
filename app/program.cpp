#include "app/program.h"

#include "ui/calculation_window.h"
#include "ui/info_windows.h"

#include <QCoreApplication>

#include <exception>

namespace kalvoran::app {

namespace {

std::size_t slotOf(Screen screen)
{
    return static_cast<std::size_t>(screen);
}

} // namespace

Program::Program(QObject *parent)
    : QObject(parent)
    , m_presentError(ui::showErrorBox)
    , m_quit([](int status) { QCoreApplication::exit(status); })
{ }

Program::~Program() = default;

bool Program::start()
{
    show(Screen::Main);
    return window(Screen::Main) != nullptr;
}

void Program::show(Screen screen)
{
    if (ui::LayoutWindow *w = ensure(screen)) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void Program::hide(Screen screen)
{
    if (ui::LayoutWindow *w = ensure(screen))
        w->hide();
}

void Program::move(Screen from, Screen to)
{
    hide(from);
    show(to);
}

void Program::end()
{
    // Hidden at once, so no window lingers while the event loop winds down;
    // the windows themselves go with the program.
    hideAll();
    m_ended = true;
    m_quit(0);
}

ui::LayoutWindow *Program::window(Screen screen) const
{
    return m_slots[slotOf(screen)].get();
}

void Program::setErrorPresenter(ui::ErrorPresenter presenter)
{
    m_presentError = std::move(presenter);
    for (const auto &slot : m_slots) {
        if (auto *calculation = qobject_cast<ui::CalculationWindow *>(slot.get()))
            calculation->setErrorPresenter(m_presentError);
    }
}

void Program::setQuit(Quit quit)
{
    m_quit = std::move(quit);
}

std::unique_ptr<ui::LayoutWindow> Program::createWindow(Screen screen)
{
    switch (screen) {
    case Screen::Main:
        return std::make_unique<ui::MainWindow>();
    case Screen::Si:
        return std::make_unique<ui::CalculationWindow>(ui::UnitSystem::Si);
    case Screen::British:
        return std::make_unique<ui::CalculationWindow>(ui::UnitSystem::British);
    case Screen::Farewell:
        return std::make_unique<ui::FarewellWindow>();
    case Screen::About:
        return std::make_unique<ui::AboutWindow>();
    }
    return nullptr;
}

ui::LayoutWindow *Program::ensure(Screen screen)
{
    auto &slot = m_slots[slotOf(screen)];
    if (slot || m_ended)
        return slot.get();
    try {
        slot = createWindow(screen);
    } catch (const std::exception &error) {
        fail(QString::fromLocal8Bit(error.what()));
        return nullptr;
    }
    if (!slot) {
        fail(QStringLiteral("unknown screen"));
        return nullptr;
    }
    if (auto *calculation = qobject_cast<ui::CalculationWindow *>(slot.get()))
        calculation->setErrorPresenter(m_presentError);
    connectNavigation(screen, *slot);
    return slot.get();
}

void Program::connectNavigation(Screen screen, ui::LayoutWindow &window)
{
    // A close request from the window frame does what the screen's own way
    // out does, so the program is never left running with nothing shown.
    if (auto *main = qobject_cast<ui::MainWindow *>(&window)) {
        connect(main, &ui::MainWindow::siUnitsRequested, this, [this] { move(Screen::Main, Screen::Si); });
        connect(main, &ui::MainWindow::britishUnitsRequested, this, [this] { move(Screen::Main, Screen::British); });
        connect(main, &ui::MainWindow::exitRequested, this, [this] { move(Screen::Main, Screen::Farewell); });
        connect(main, &ui::MainWindow::aboutRequested, this, [this] { show(Screen::About); });
        connect(main, &ui::LayoutWindow::closeRequested, this, [this] { move(Screen::Main, Screen::Farewell); });
    } else if (auto *calculation = qobject_cast<ui::CalculationWindow *>(&window)) {
        connect(
            calculation, &ui::CalculationWindow::backRequested, this, [this, screen] { move(screen, Screen::Main); });
        connect(calculation, &ui::CalculationWindow::exitRequested, this,
            [this, screen] { move(screen, Screen::Farewell); });
        connect(
            calculation, &ui::LayoutWindow::closeRequested, this, [this, screen] { move(screen, Screen::Farewell); });
    } else if (auto *farewell = qobject_cast<ui::FarewellWindow *>(&window)) {
        connect(farewell, &ui::FarewellWindow::endRequested, this, &Program::end);
        connect(farewell, &ui::LayoutWindow::closeRequested, this, &Program::end);
    } else if (auto *about = qobject_cast<ui::AboutWindow *>(&window)) {
        connect(about, &ui::AboutWindow::okRequested, this, [this] { hide(Screen::About); });
        connect(about, &ui::LayoutWindow::closeRequested, this, [this] { hide(Screen::About); });
    }
}

void Program::fail(const QString &reason)
{
    m_presentError(nullptr, QStringLiteral("Kalvoran cannot open one of its windows (%1) and must end.").arg(reason));
    hideAll();
    m_ended = true;
    m_quit(1);
}

void Program::hideAll()
{
    for (const auto &slot : m_slots) {
        if (slot)
            slot->hide();
    }
}

} // namespace kalvoran::app
