#include "app/program.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"
#include "ui/info_windows.h"

#include <QCloseEvent>
#include <QGroupBox>

#include <gtest/gtest.h>

#include <stdexcept>

using kalvoran::app::Program;
using kalvoran::app::Screen;
using kalvoran::testing::UserActions;

namespace {

constexpr std::array kAllScreens{Screen::Main, Screen::Si, Screen::British, Screen::Farewell, Screen::About};

// A started program whose event loop is not really ended and whose messages
// are recorded.
class Session
{
public:
    Session()
    {
        program.setQuit([this](int status) { exitStatus = status; });
        program.setErrorPresenter([this](QWidget *, const QString &message) { messages << message; });
        started = program.start();
    }

    // Clicks a button on a screen that must exist and be visible.
    void click(Screen screen, std::string_view button)
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

    Program program;
    bool started = false;
    int exitStatus = -1;
    QStringList messages;
};

TEST(Program, StartsWithOnlyTheMainScreen)
{
    Session session;
    ASSERT_TRUE(session.started);
    EXPECT_TRUE(session.visible(Screen::Main));
    for (const Screen s : {Screen::Si, Screen::British, Screen::Farewell, Screen::About})
        EXPECT_EQ(session.program.window(s), nullptr);
}

// Each navigation button, from each screen that carries it.
struct Move
{
    const char *name;
    std::vector<std::pair<Screen, std::string_view>> clicks;
    std::vector<Screen> visibleAfter; // among Form1 to Form4
    bool aboutVisible;
};

class Moves : public ::testing::TestWithParam<Move>
{
};

TEST_P(Moves, ShowExactlyOneOfTheFourScreens)
{
    Session session;
    for (const auto &[screen, button] : GetParam().clicks)
        session.click(screen, button);
    EXPECT_EQ(session.visibleMainScreens(), GetParam().visibleAfter);
    EXPECT_EQ(session.visible(Screen::About), GetParam().aboutVisible);
    EXPECT_EQ(session.exitStatus, -1);
}

INSTANTIATE_TEST_SUITE_P(Cases, Moves,
    ::testing::Values(Move{"si", {{Screen::Main, "Command1"}}, {Screen::Si}, false},
        Move{"british", {{Screen::Main, "Command2"}}, {Screen::British}, false},
        Move{"exit_from_main", {{Screen::Main, "Command3"}}, {Screen::Farewell}, false},
        Move{"exit_from_si", {{Screen::Main, "Command1"}, {Screen::Si, "Command2"}}, {Screen::Farewell}, false},
        Move{"exit_from_british", {{Screen::Main, "Command2"}, {Screen::British, "Command2"}}, {Screen::Farewell},
            false},
        Move{"back_from_si", {{Screen::Main, "Command1"}, {Screen::Si, "Command3"}}, {Screen::Main}, false},
        Move{"back_from_british", {{Screen::Main, "Command2"}, {Screen::British, "Command3"}}, {Screen::Main}, false},
        Move{"about", {{Screen::Main, "Command4"}}, {Screen::Main}, true},
        Move{"about_twice", {{Screen::Main, "Command4"}, {Screen::Main, "Command4"}}, {Screen::Main}, true},
        Move{"about_then_si", {{Screen::Main, "Command4"}, {Screen::Main, "Command1"}}, {Screen::Si}, true},
        Move{"about_ok", {{Screen::Main, "Command4"}, {Screen::About, "Command1"}}, {Screen::Main}, false},
        Move{"about_then_si_then_ok",
            {{Screen::Main, "Command4"}, {Screen::Main, "Command1"}, {Screen::About, "Command1"}}, {Screen::Si},
            false}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(Program, AboutTwiceGivesOneWindow)
{
    Session session;
    session.click(Screen::Main, "Command4");
    auto *first = session.program.window(Screen::About);
    session.click(Screen::Main, "Command4");
    EXPECT_EQ(session.program.window(Screen::About), first);
    int aboutWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        aboutWindows += w->objectName() == "Form5" ? 1 : 0;
    EXPECT_EQ(aboutWindows, 1);
}

TEST(Program, RoundTripKeepsInputsResultsAndFrame)
{
    Session session;
    session.click(Screen::Main, "Command1");
    auto *si = qobject_cast<kalvoran::ui::CalculationWindow *>(session.program.window(Screen::Si));
    ASSERT_NE(si, nullptr);
    UserActions user(*si);
    user.pick("C", "120");
    user.pick("D", "50");
    user.type("L", "10");
    user.type("Q", "500");
    user.type("hight", "5");
    user.click("Command1");
    ASSERT_TRUE(si->control("Frame1")->isVisible());
    const QPoint position = si->pos();

    session.click(Screen::Si, "Command3");
    EXPECT_FALSE(si->isVisible());
    session.click(Screen::Main, "Command1");
    EXPECT_EQ(session.program.window(Screen::Si), si);
    EXPECT_TRUE(si->control("Frame1")->isVisible());
    EXPECT_EQ(user.text("L"), "10");
    EXPECT_EQ(user.text("C"), "120");
    EXPECT_EQ(user.text("V"), "4.24628450106157");
    EXPECT_EQ(si->pos(), position);
}

TEST(Program, BritishOpensFreshWhileSiKeepsItsOwn)
{
    Session session;
    session.click(Screen::Main, "Command1");
    UserActions si(*session.program.window(Screen::Si));
    si.type("L", "77");
    session.click(Screen::Si, "Command3");
    session.click(Screen::Main, "Command2");
    UserActions british(*session.program.window(Screen::British));
    EXPECT_EQ(british.text("L"), "1.00");
    EXPECT_FALSE(session.program.window(Screen::British)->control("Frame1")->isVisible());
    EXPECT_FALSE(session.visible(Screen::Si));
    EXPECT_EQ(si.text("L"), "77");
}

TEST(Program, EndWithEverythingOpenEndsAtOnce)
{
    Session session;
    session.click(Screen::Main, "Command4"); // About stays open throughout
    session.click(Screen::Main, "Command1");
    session.click(Screen::Si, "Command3");
    session.click(Screen::Main, "Command2");
    session.click(Screen::British, "Command2");
    ASSERT_TRUE(session.visible(Screen::Farewell));
    ASSERT_TRUE(session.visible(Screen::About));
    session.click(Screen::Farewell, "Command1");
    EXPECT_EQ(session.exitStatus, 0);
    EXPECT_TRUE(session.program.hasEnded());
    for (const Screen s : kAllScreens)
        EXPECT_FALSE(session.visible(s));
    EXPECT_TRUE(session.messages.isEmpty());
}

// A close request from the window frame does what the screen's own way out
// does; the program is never left with every screen hidden.
struct CloseCase
{
    const char *name;
    std::vector<std::pair<Screen, std::string_view>> clicks;
    Screen closed;
    std::vector<Screen> visibleAfter;
    bool ended;
};

class CloseRequests : public ::testing::TestWithParam<CloseCase>
{
};

TEST_P(CloseRequests, FollowTheScreensOwnWayOut)
{
    Session session;
    for (const auto &[screen, button] : GetParam().clicks)
        session.click(screen, button);
    session.requestClose(GetParam().closed);
    EXPECT_EQ(session.visibleMainScreens(), GetParam().visibleAfter);
    EXPECT_EQ(session.program.hasEnded(), GetParam().ended);
    EXPECT_EQ(session.exitStatus, GetParam().ended ? 0 : -1);
    EXPECT_FALSE(session.visible(Screen::About));
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseRequests,
    ::testing::Values(CloseCase{"main", {}, Screen::Main, {Screen::Farewell}, false},
        CloseCase{"si", {{Screen::Main, "Command1"}}, Screen::Si, {Screen::Farewell}, false},
        CloseCase{"british", {{Screen::Main, "Command2"}}, Screen::British, {Screen::Farewell}, false},
        CloseCase{"farewell", {{Screen::Main, "Command3"}}, Screen::Farewell, {}, true},
        CloseCase{"about", {{Screen::Main, "Command4"}}, Screen::About, {Screen::Main}, false}),
    [](const auto &p) { return std::string(p.param.name); });

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
    BrokenProgram program;
    int status = -1;
    QStringList messages;
    program.setQuit([&status](int s) { status = s; });
    program.setErrorPresenter([&messages](QWidget *, const QString &message) { messages << message; });
    ASSERT_TRUE(program.start());
    UserActions(*program.window(Screen::Main)).click("Command3");
    EXPECT_EQ(status, 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("out of memory"));
    EXPECT_FALSE(program.window(Screen::Main)->isVisible());
}

} // namespace
