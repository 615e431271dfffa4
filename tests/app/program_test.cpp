#include "app/program.h"
#include "support/named_case.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"
#include "ui/ids.h"
#include "ui/info_windows.h"

#include <QCloseEvent>
#include <QGroupBox>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

using kalvoran::app::Program;
using kalvoran::app::Screen;
using kalvoran::testing::kCaseName;
using kalvoran::testing::NamedCase;
using kalvoran::testing::UserActions;
using kalvoran::ui::ControlRef;

namespace {

namespace main = kalvoran::ui::ids::main;
namespace calculation = kalvoran::ui::ids::calculation;
namespace farewell = kalvoran::ui::ids::farewell;
namespace about = kalvoran::ui::ids::about;

constexpr std::array kAllScreens{Screen::Main, Screen::Si, Screen::British, Screen::Farewell, Screen::About};

// A started program whose event loop is not really ended and whose messages
// are recorded.
template<typename P> class SessionOf
{
public:
    SessionOf()
    {
        program.setQuit([this](int status) { exitStatus = status; });
        program.setErrorPresenter([this](QWidget *, const QString &message) { messages << message; });
        started = program.start();
    }

    // Clicks a button on a screen that must exist and be visible.
    void click(Screen screen, ControlRef button)
    {
        auto *window = program.window(screen);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        UserActions(*window).click(button);
    }

    // Asks a screen's window to close, as the window frame would.
    void requestClose(Screen screen)
    {
        QCloseEvent event;
        QCoreApplication::sendEvent(program.window(screen), &event);
    }

    [[nodiscard]] bool visible(Screen screen) const
    {
        return program.window(screen) != nullptr && program.window(screen)->isVisible();
    }

    // The visible screens among Form1 to Form4, which are one at a time.
    [[nodiscard]] std::vector<Screen> visibleMainScreens() const
    {
        std::vector<Screen> shown;
        for (const Screen s : {Screen::Main, Screen::Si, Screen::British, Screen::Farewell}) {
            if (visible(s))
                shown.push_back(s);
        }
        return shown;
    }

    P program;
    bool started = false;
    int exitStatus = -1;
    QStringList messages;
};
using Session = SessionOf<Program>;

TEST(Program, StartsWithOnlyTheMainScreen)
{
    Session session;
    ASSERT_TRUE(session.started);
    EXPECT_TRUE(session.visible(Screen::Main));
    for (const Screen s : {Screen::Si, Screen::British, Screen::Farewell, Screen::About})
        EXPECT_EQ(session.program.window(s), nullptr);
}

// Each navigation button, from each screen that carries it, and a close
// request from the window frame, which does what the screen's own way out
// does: the program is never left with every screen hidden.
struct Move : NamedCase
{
    std::vector<std::pair<Screen, ControlRef>> clicks;
    std::vector<Screen> visibleAfter; // among Form1 to Form4
    bool aboutVisible;
    std::optional<Screen> closed = {}; // after the clicks
    bool ended = false;
};

class Moves : public ::testing::TestWithParam<Move>
{
};

TEST_P(Moves, ShowExactlyOneOfTheFourScreens)
{
    const Move &move = GetParam();
    Session session;
    for (const auto &[screen, button] : move.clicks)
        session.click(screen, button);
    if (move.closed)
        session.requestClose(*move.closed);
    EXPECT_EQ(session.visibleMainScreens(), move.visibleAfter);
    EXPECT_EQ(session.visible(Screen::About), move.aboutVisible);
    EXPECT_EQ(session.program.hasEnded(), move.ended);
    EXPECT_EQ(session.exitStatus, move.ended ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(FromMain, Moves,
    ::testing::Values(Move{"si_units", {{Screen::Main, main::kSiUnits}}, {Screen::Si}, false},
        Move{"british_units", {{Screen::Main, main::kBritishUnits}}, {Screen::British}, false},
        Move{"exit", {{Screen::Main, main::kExit}}, {Screen::Farewell}, false}),
    kCaseName);

INSTANTIATE_TEST_SUITE_P(FromCalculation, Moves,
    ::testing::Values(Move{"exit_from_si", {{Screen::Main, main::kSiUnits}, {Screen::Si, calculation::kExit}},
                          {Screen::Farewell}, false},
        Move{"exit_from_british", {{Screen::Main, main::kBritishUnits}, {Screen::British, calculation::kExit}},
            {Screen::Farewell}, false},
        Move{"back_from_si", {{Screen::Main, main::kSiUnits}, {Screen::Si, calculation::kBack}}, {Screen::Main}, false},
        Move{"back_from_british", {{Screen::Main, main::kBritishUnits}, {Screen::British, calculation::kBack}},
            {Screen::Main}, false}),
    kCaseName);

INSTANTIATE_TEST_SUITE_P(WithAbout, Moves,
    ::testing::Values(Move{"about", {{Screen::Main, main::kAbout}}, {Screen::Main}, true},
        Move{"about_twice", {{Screen::Main, main::kAbout}, {Screen::Main, main::kAbout}}, {Screen::Main}, true},
        Move{"about_then_si", {{Screen::Main, main::kAbout}, {Screen::Main, main::kSiUnits}}, {Screen::Si}, true},
        Move{"about_ok", {{Screen::Main, main::kAbout}, {Screen::About, about::kOk}}, {Screen::Main}, false},
        Move{"about_then_si_then_ok",
            {{Screen::Main, main::kAbout}, {Screen::Main, main::kSiUnits}, {Screen::About, about::kOk}}, {Screen::Si},
            false}),
    kCaseName);

INSTANTIATE_TEST_SUITE_P(WindowFrame, Moves,
    ::testing::Values(Move{"main", {}, {Screen::Farewell}, false, Screen::Main},
        Move{"si", {{Screen::Main, main::kSiUnits}}, {Screen::Farewell}, false, Screen::Si},
        Move{"british", {{Screen::Main, main::kBritishUnits}}, {Screen::Farewell}, false, Screen::British},
        Move{"farewell", {{Screen::Main, main::kExit}}, {}, false, Screen::Farewell, true},
        Move{"about", {{Screen::Main, main::kAbout}}, {Screen::Main}, false, Screen::About}),
    kCaseName);

TEST(Program, AboutTwiceGivesOneWindow)
{
    Session session;
    session.click(Screen::Main, main::kAbout);
    auto *first = session.program.window(Screen::About);
    session.click(Screen::Main, main::kAbout);
    EXPECT_EQ(session.program.window(Screen::About), first);
    int aboutWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        aboutWindows += w->objectName() == "Form5" ? 1 : 0;
    EXPECT_EQ(aboutWindows, 1);
}

TEST(Program, RoundTripKeepsInputsResultsAndFrame)
{
    Session session;
    session.click(Screen::Main, main::kSiUnits);
    auto *si = qobject_cast<kalvoran::ui::CalculationWindow *>(session.program.window(Screen::Si));
    ASSERT_NE(si, nullptr);
    UserActions user(*si);
    user.pick("C", "120");
    user.pick("D", "50");
    user.type("L", "10");
    user.type("Q", "500");
    user.type("hight", "5");
    user.click(calculation::kCalculate);
    ASSERT_TRUE(si->control(calculation::kResultsFrame)->isVisible());
    const QPoint position = si->pos();

    session.click(Screen::Si, calculation::kBack);
    EXPECT_FALSE(si->isVisible());
    session.click(Screen::Main, main::kSiUnits);
    EXPECT_EQ(session.program.window(Screen::Si), si);
    EXPECT_TRUE(si->control(calculation::kResultsFrame)->isVisible());
    EXPECT_EQ(user.text("L"), "10");
    EXPECT_EQ(user.text("C"), "120");
    EXPECT_EQ(user.text("V"), "4.24628450106157");
    EXPECT_EQ(si->pos(), position);
}

TEST(Program, BritishOpensFreshWhileSiKeepsItsOwn)
{
    Session session;
    session.click(Screen::Main, main::kSiUnits);
    UserActions si(*session.program.window(Screen::Si));
    si.type("L", "77");
    session.click(Screen::Si, calculation::kBack);
    session.click(Screen::Main, main::kBritishUnits);
    UserActions british(*session.program.window(Screen::British));
    EXPECT_EQ(british.text("L"), "1.00");
    EXPECT_FALSE(session.program.window(Screen::British)->control(calculation::kResultsFrame)->isVisible());
    EXPECT_FALSE(session.visible(Screen::Si));
    EXPECT_EQ(si.text("L"), "77");
}

TEST(Program, EndWithEverythingOpenEndsAtOnce)
{
    Session session;
    session.click(Screen::Main, main::kAbout); // About stays open throughout
    session.click(Screen::Main, main::kSiUnits);
    session.click(Screen::Si, calculation::kBack);
    session.click(Screen::Main, main::kBritishUnits);
    session.click(Screen::British, calculation::kExit);
    ASSERT_TRUE(session.visible(Screen::Farewell));
    ASSERT_TRUE(session.visible(Screen::About));
    session.click(Screen::Farewell, farewell::kEnd);
    EXPECT_EQ(session.exitStatus, 0);
    EXPECT_TRUE(session.program.hasEnded());
    for (const Screen s : kAllScreens)
        EXPECT_FALSE(session.visible(s));
    EXPECT_TRUE(session.messages.isEmpty());
}

// A program whose farewell screen cannot be built.
class BrokenProgram : public Program
{
protected:
    std::unique_ptr<kalvoran::ui::LayoutWindow> createWindow(Screen screen) override
    {
        if (screen == Screen::Farewell)
            throw std::runtime_error("out of memory");
        return Program::createWindow(screen);
    }
};

TEST(Program, AScreenThatCannotBeCreatedEndsTheProgramWithAMessage)
{
    SessionOf<BrokenProgram> session;
    ASSERT_TRUE(session.started);
    session.click(Screen::Main, main::kExit);
    EXPECT_EQ(session.exitStatus, 1);
    ASSERT_EQ(session.messages.size(), 1);
    EXPECT_TRUE(session.messages.front().contains("out of memory"));
    EXPECT_FALSE(session.visible(Screen::Main));
}

} // namespace
