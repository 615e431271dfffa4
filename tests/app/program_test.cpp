#include "app/program.h"
#include "layout/ids.h"
#include "support/named_case.h"
#include "support/test_tables.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"
#include "ui/info_windows.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

using kalvoran::app::Program;
using kalvoran::layout::Screen;
using enum kalvoran::layout::Screen;
using kalvoran::layout::ControlRef;
using kalvoran::testing::kCaseName;
using kalvoran::testing::NamedCase;
using kalvoran::testing::UserActions;

namespace {

namespace main = kalvoran::layout::ids::main;
namespace calculation = kalvoran::layout::ids::calculation;
namespace farewell = kalvoran::layout::ids::farewell;
namespace about = kalvoran::layout::ids::about;

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
        for (const Screen s : {Main, Si, British, Farewell}) {
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
    EXPECT_TRUE(session.visible(Main));
    for (const Screen s : {Si, British, Farewell, About})
        EXPECT_EQ(session.program.window(s), nullptr);
}

// Each navigation button, from each screen that carries it, and a close
// request from the window frame, which does what the screen's own way out
// does: the program is never left with every screen hidden. The rows are
// tests/data/moves.json, which the page's browser tests read as well.
using Clicks = std::vector<std::pair<Screen, ControlRef>>;

struct Move : NamedCase
{
    Clicks clicks;
    std::vector<Screen> visibleAfter; // among Form1 to Form4
    bool aboutVisible;
    std::optional<Screen> closed = {}; // after the clicks
    bool ended = false;
};

Screen screenNamed(const QString &name)
{
    const std::pair<const char *, Screen> screens[]{
        {"Main", Main}, {"Si", Si}, {"British", British}, {"Farewell", Farewell}, {"About", About}};
    for (const auto &[text, screen] : screens) {
        if (name == QLatin1StringView(text))
            return screen;
    }
    std::fprintf(stderr, "tests/data/moves.json: no screen %s\n", qPrintable(name));
    std::exit(2);
}

std::vector<Move> movesOf(const char *suite)
{
    std::vector<Move> moves;
    for (const QJsonValue row : kalvoran::testing::sharedTable("moves", "moves")) {
        const QJsonObject move = row.toObject();
        if (move["suite"].toString() != QLatin1StringView(suite))
            continue;
        Move m{{kalvoran::testing::keep(move["name"].toString())}, {}, {}, move["aboutVisible"].toBool()};
        for (const QJsonValue click : move["clicks"].toArray())
            m.clicks.emplace_back(
                screenNamed(click[0].toString()), ControlRef{kalvoran::testing::keep(click[1].toString())});
        for (const QJsonValue screen : move["visibleAfter"].toArray())
            m.visibleAfter.push_back(screenNamed(screen.toString()));
        if (move.contains("closed"))
            m.closed = screenNamed(move["closed"].toString());
        m.ended = move["ended"].toBool();
        moves.push_back(std::move(m));
    }
    return moves;
}

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
    EXPECT_EQ(session.visible(About), move.aboutVisible);
    EXPECT_EQ(session.program.hasEnded(), move.ended);
    EXPECT_EQ(session.exitStatus, move.ended ? 0 : -1);
    EXPECT_TRUE(session.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(FromMain, Moves, ::testing::ValuesIn(movesOf("FromMain")), kCaseName);
INSTANTIATE_TEST_SUITE_P(FromCalculation, Moves, ::testing::ValuesIn(movesOf("FromCalculation")), kCaseName);
INSTANTIATE_TEST_SUITE_P(WithAbout, Moves, ::testing::ValuesIn(movesOf("WithAbout")), kCaseName);
INSTANTIATE_TEST_SUITE_P(WindowFrame, Moves, ::testing::ValuesIn(movesOf("WindowFrame")), kCaseName);
// About stays open on the way to the farewell screen; End there ends at once.
INSTANTIATE_TEST_SUITE_P(End, Moves, ::testing::ValuesIn(movesOf("End")), kCaseName);

TEST(Program, AboutTwiceGivesOneWindow)
{
    Session session;
    session.click(Main, main::kAbout);
    auto *first = session.program.window(About);
    session.click(Main, main::kAbout);
    EXPECT_EQ(session.program.window(About), first);
    int aboutWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        aboutWindows += w->objectName() == "Form5" ? 1 : 0;
    EXPECT_EQ(aboutWindows, 1);
}

TEST(Program, RoundTripKeepsInputsResultsAndFrame)
{
    Session session;
    session.click(Main, main::kSiUnits);
    auto *si = qobject_cast<kalvoran::ui::CalculationWindow *>(session.program.window(Si));
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

    session.click(Si, calculation::kBack);
    EXPECT_FALSE(si->isVisible());
    session.click(Main, main::kSiUnits);
    EXPECT_EQ(session.program.window(Si), si);
    EXPECT_TRUE(si->control(calculation::kResultsFrame)->isVisible());
    EXPECT_EQ(user.text("L"), "10");
    EXPECT_EQ(user.text("C"), "120");
    EXPECT_EQ(user.text("V"), "4.24628450106157");
    EXPECT_EQ(si->pos(), position);
}

TEST(Program, BritishOpensFreshWhileSiKeepsItsOwn)
{
    Session session;
    session.click(Main, main::kSiUnits);
    UserActions si(*session.program.window(Si));
    si.type("L", "77");
    session.click(Si, calculation::kBack);
    session.click(Main, main::kBritishUnits);
    UserActions british(*session.program.window(British));
    EXPECT_EQ(british.text("L"), "1.00");
    EXPECT_FALSE(session.program.window(British)->control(calculation::kResultsFrame)->isVisible());
    EXPECT_FALSE(session.visible(Si));
    EXPECT_EQ(si.text("L"), "77");
}

// A program whose farewell screen cannot be built.
class BrokenProgram : public Program
{
protected:
    std::unique_ptr<kalvoran::ui::LayoutWindow> createWindow(Screen screen) override
    {
        if (screen == Farewell)
            throw std::runtime_error("out of memory");
        return Program::createWindow(screen);
    }
};

TEST(Program, AScreenThatCannotBeCreatedEndsTheProgramWithAMessage)
{
    SessionOf<BrokenProgram> session;
    ASSERT_TRUE(session.started);
    session.click(Main, main::kExit);
    EXPECT_EQ(session.exitStatus, 1);
    ASSERT_EQ(session.messages.size(), 1);
    EXPECT_TRUE(session.messages.front().contains("out of memory"));
    EXPECT_FALSE(session.visible(Main));
}

} // namespace
