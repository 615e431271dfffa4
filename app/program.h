#pragma once

#include "layout/moves.h"
#include "ui/error_message.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

namespace kalvoran::ui {
class LayoutWindow;
}

namespace kalvoran::app {

using layout::Screen;

// The program's screens, and the moves between them as layout/moves.h lists
// them. Holds one slot per screen; a slot is filled on the screen's first use
// and kept until the program ends, so a hidden screen keeps every text and
// its frame state.
class Program : public QObject
{
    Q_OBJECT
public:
    // Ends the program's event loop with an exit status.
    using Quit = std::function<void(int status)>;

    explicit Program(QObject *parent = nullptr);
    ~Program() override;

    // Creates and shows the main screen. False when it could not be created.
    [[nodiscard]] bool start();

    // Creates the screen if its slot is empty, then makes it visible and active.
    void show(Screen screen);
    // Creates the screen if its slot is empty, then makes it invisible.
    void hide(Screen screen);
    // Ends the program at once: every window disappears, nothing asks or saves.
    void end();

    // The screen in its slot, or nullptr while the slot is empty.
    [[nodiscard]] ui::LayoutWindow *window(Screen screen) const;
    [[nodiscard]] bool hasEnded() const { return m_ended; }

    // For tests: how messages are shown, and how the event loop is ended.
    void setErrorPresenter(ui::ErrorPresenter presenter);
    void setQuit(Quit quit);

protected:
    // Builds the window of a screen, hidden, with its initial contents.
    [[nodiscard]] virtual std::unique_ptr<ui::LayoutWindow> createWindow(Screen screen);

private:
    ui::LayoutWindow *ensure(Screen screen);
    [[nodiscard]] bool connectMoves(Screen screen, ui::LayoutWindow &window);
    void perform(const layout::Steps &steps);
    void fail(const QString &reason);
    void hideAll();

    std::array<std::unique_ptr<ui::LayoutWindow>, layout::kScreens.size()> m_slots;
    ui::ErrorPresenter m_presentError;
    Quit m_quit;
    bool m_ended = false;
};

} // namespace kalvoran::app
