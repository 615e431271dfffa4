#include "app/program.h"

#include "ui/calculation_window.h"
#include "ui/info_windows.h"

#include <QAbstractButton>
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
    if (const auto units = layout::unitsOf(screen))
        return std::make_unique<ui::CalculationWindow>(*units);
    switch (screen) {
    case Screen::Main:
        return std::make_unique<ui::MainWindow>();
    case Screen::Si:
    case Screen::British:
        break;
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
    return connectMoves(screen, *slot) ? slot.get() : nullptr;
}

bool Program::connectMoves(Screen screen, ui::LayoutWindow &window)
{
    for (const layout::Move &move : layout::moves()) {
        if (move.screen != screen)
            continue;
        const auto run = [this, &move] { perform(move.steps); };
        if (move.button.name.empty()) {
            connect(&window, &ui::LayoutWindow::closeRequested, this, run);
        } else if (auto *button = window.control<QAbstractButton>(move.button)) {
            connect(button, &QAbstractButton::clicked, this, run);
        } else {
            // A way out that does nothing would strand the user: the tables
            // are checked for this, so it is a build that went wrong.
            fail(QStringLiteral("no button %1").arg(ui::toQString(move.button.name)));
            return false;
        }
    }
    return true;
}

void Program::perform(const layout::Steps &steps)
{
    for (const layout::Action &action : steps) {
        switch (action.step) {
        case layout::Step::Hide:
            hide(action.screen);
            break;
        case layout::Step::Show:
            show(action.screen);
            break;
        case layout::Step::End:
            end();
            return;
        }
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
