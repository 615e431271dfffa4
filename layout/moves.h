#pragma once

#include "layout/layout.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

// The program's screens and the moves between them, as the desktop program
// and the page both carry them out: what each button, and each window frame's
// close box, does.

namespace kalvoran::layout {

// The five screens, each one window, created at most once.
enum class Screen {
    Main,     // Form1
    Si,       // Form2
    British,  // Form3
    Farewell, // Form4
    About,    // Form5
};

inline constexpr std::array kScreens{Screen::Main, Screen::Si, Screen::British, Screen::Farewell, Screen::About};

// The screen's name, as in "Main"; and the window it shows.
[[nodiscard]] std::string_view screenName(Screen screen);
[[nodiscard]] const WindowLayout &layoutOf(Screen screen);

// The unit system a calculation screen works in; the other screens have none.
enum class UnitSystem { Si, British };
[[nodiscard]] std::optional<UnitSystem> unitsOf(Screen screen);
[[nodiscard]] std::string_view unitsName(UnitSystem units); // "si", "british"

enum class Step {
    Hide, // the screen becomes invisible, keeping everything it holds
    Show, // the screen becomes visible and active
    End,  // the program ends at once: every window goes, nothing asks or saves
};

struct Action
{
    Step step = Step::End;
    Screen screen = Screen::Main; // not used by End
};

// A move's actions, in order: at most two.
class Steps
{
public:
    constexpr Steps(std::initializer_list<Action> actions)
    {
        for (const Action &action : actions)
            m_actions.at(m_size++) = action;
    }
    [[nodiscard]] constexpr const Action *begin() const { return m_actions.data(); }
    [[nodiscard]] constexpr const Action *end() const { return m_actions.data() + m_size; }
    [[nodiscard]] constexpr std::size_t size() const { return m_size; }

private:
    std::array<Action, 2> m_actions{};
    std::size_t m_size = 0;
};

// What a click on a screen's button does; a button with no name stands for
// the window frame's close box, which does what the screen's own way out
// does, so the program is never left running with nothing shown.
struct Move
{
    Screen screen;
    ControlRef button;
    Steps steps;
};

[[nodiscard]] std::span<const Move> moves();

} // namespace kalvoran::layout
