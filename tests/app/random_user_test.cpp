// A user who does anything at all, in any order: clicks any visible button
// but End, types any text (long, non-ASCII, control characters) into any
// visible field, picks list entries and asks any window but the farewell
// screen to close. After every action the program must still make sense.
// KALVORAN_RANDOM_USER_ACTIONS sets the number of actions (default 3000;
// `make soak` runs far more), KALVORAN_RANDOM_USER_SEED the seed, printed first
// for replay. With KALVORAN_RANDOM_USER_MAX_GROWTH_KIB set, the memory held
// may grow by at most that much from a warm-up to the end: a leak shows as
// steady growth.

#include "app/program.h"
#include "calc/number_text.h"
#include "layout/ids.h"
#include "support/process_memory.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>

using kalvoran::app::Program;
using kalvoran::layout::Screen;
namespace ids = kalvoran::layout::ids;
using kalvoran::testing::describe;
using kalvoran::testing::ProcessMemory;
using kalvoran::testing::processMemory;
using kalvoran::testing::UserActions;

namespace {

using kalvoran::layout::kScreens;
constexpr std::array kResults{"ELF", "EL", "FL", "elevationdrop", "PD", "pumppressure", "V"};

// A whole number from the environment, if it holds one.
std::optional<std::uint64_t> environmentNumber(const char *name)
{
    bool ok = false;
    const std::uint64_t n = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? std::optional(n) : std::nullopt;
}

// With no event loop running, Qt's queues only grow: window-system events
// (such as the exposure of every window shown) wait to be delivered, and
// objects scheduled with deleteLater() wait to be deleted. Emptying both after
// each run of the program keeps the memory figures about the program alone.
void flushQtQueues()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One run of the program, from start to End, driven by a shared random source.
class RandomUser
{
public:
    explicit RandomUser(std::mt19937_64 &random)
        : m_random(random)
    {
        m_program.setQuit([this](int status) { m_quitStatus = status; });
        m_program.setErrorPresenter([this](QWidget *, const QString &message) { m_messages << message; });
    }

    Program &program() { return m_program; }
    // The farewell screen has no way on but End.
    [[nodiscard]] bool atFarewell() const { return visible(Screen::Farewell); }
    [[nodiscard]] int quitStatus() const { return m_quitStatus; }
    [[nodiscard]] std::size_t count(std::size_t n)
    {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random);
    }

    // One random action; returns a description for failure messages.
    std::string act()
    {
        const std::size_t n = count(10);
        if (n < 4)
            return clickSomething();
        if (n < 7)
            return typeSomething();
        return n < 9 ? pickSomething() : closeSomething();
    }

    // Checks everything that must hold between two actions.
    void checkInvariants(const std::string &action)
    {
        SCOPED_TRACE(action);
        int visibleMain = 0;
        for (const Screen s : kScreens) {
            QWidget *w = m_program.window(s);
            if (w == nullptr)
                continue;
            // A screen, once made, stays the same window: never created twice.
            const auto [it, inserted] = m_created.emplace(s, w);
            ASSERT_EQ(it->second, w);
            if (s != Screen::About && w->isVisible())
                ++visibleMain;
        }
        ASSERT_EQ(visibleMain, 1) << "exactly one of the main, SI, British and farewell screens is visible";
        std::map<QString, int> windows;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName().startsWith("Form"))
                ++windows[w->objectName()];
        }
        for (const auto &[name, n] : windows)
            ASSERT_EQ(n, 1) << name.toStdString();
        for (const auto &[window, shown] : m_expectedFrame)
            ASSERT_EQ(window->control(ids::calculation::kResultsFrame)->isVisible(), shown && window->isVisible());
        ASSERT_FALSE(m_program.hasEnded());
        ASSERT_EQ(m_quitStatus, -1);
    }

    // Leaves through Exit to the farewell screen and presses End there.
    void finish()
    {
        for (const Screen s : {Screen::Main, Screen::Si, Screen::British}) {
            if (visible(s))
                UserActions(*m_program.window(s)).click(s == Screen::Main ? ids::main::kExit : ids::calculation::kExit);
        }
        UserActions(*m_program.window(Screen::Farewell)).click(ids::farewell::kEnd);
    }

    [[nodiscard]] std::vector<kalvoran::ui::LayoutWindow *> visibleWindows() const
    {
        std::vector<kalvoran::ui::LayoutWindow *> shown;
        for (const Screen s : kScreens) {
            if (visible(s))
                shown.push_back(m_program.window(s));
        }
        return shown;
    }

private:
    [[nodiscard]] bool visible(Screen s) const
    {
        return m_program.window(s) != nullptr && m_program.window(s)->isVisible();
    }

    template<typename T> std::vector<T *> visibleControls()
    {
        std::vector<T *> found;
        for (auto *window : visibleWindows()) {
            for (T *control : window->findChildren<T *>()) {
                if (control->isVisible())
                    found.push_back(control);
            }
        }
        return found;
    }

    std::string clickSomething()
    {
        // The ways to the farewell screen are taken less often, so that a run
        // of the program lasts long enough to do something on each screen.
        const bool mayLeave = count(6) == 0;
        std::vector<QPushButton *> buttons;
        for (QPushButton *b : visibleControls<QPushButton>()) {
            if (b->window()->objectName() != "Form4" && (b->text() != "Exit" || mayLeave))
                buttons.push_back(b);
        }
        if (buttons.empty())
            return "nothing to click";
        QPushButton *button = buttons[count(buttons.size())];
        auto *calculation = qobject_cast<kalvoran::ui::CalculationWindow *>(button->window());
        const std::string what = "click " + button->window()->objectName().toStdString() + "."
            + button->objectName().toStdString() + " \"" + button->text().toStdString() + "\"";
        const qsizetype before = m_messages.size();
        QTest::mouseClick(button, Qt::LeftButton);
        if (calculation != nullptr && button == calculation->control(ids::calculation::kCalculate)) {
            const bool refused = std::any_of(m_messages.cbegin() + before, m_messages.cend(),
                [](const QString &message) { return !message.contains("negative head"); });
            m_expectedFrame[calculation] = !refused;
            if (!refused) {
                // Every result the run wrote reads back as a finite number.
                for (const char *field : kResults) {
                    const std::string text = calculation->fieldText(field).toStdString();
                    EXPECT_FALSE(text.empty()) << field;
                    EXPECT_TRUE(std::isfinite(kalvoran::calc::readLeadingNumber(text))) << field << ": " << text;
                }
            }
        } else if (calculation != nullptr && button == calculation->control(ids::calculation::kClear)) {
            m_expectedFrame[calculation] = false;
        } else {
            EXPECT_EQ(m_messages.size(), before) << "navigation shows no message";
        }
        return what;
    }

    QString randomText()
    {
        static const QStringList pieces{"0", "1", "2", "5", "9", ".", "-", "+", "E", "e", "D", "d", " ", "\t", "\n",
            "\r", ",", "/", "120", "50", "1E999", "1e-999", "abc", "Select C", "\u00e9", "\u0663", "\u4e2d",
            "\U0001F600", "\u00a0", QString(QChar(1)), QString(QChar(0x7f))};
        const std::size_t kind = count(20);
        QString text;
        if (kind == 0) { // very long
            const std::size_t n = 1000 + count(100000);
            text.reserve(static_cast<qsizetype>(n));
            for (std::size_t i = 0; i < n; ++i)
                text += QChar(static_cast<char16_t>('0' + count(10)));
        } else {
            const std::size_t n = count(12);
            for (std::size_t i = 0; i < n; ++i)
                text += pieces[static_cast<qsizetype>(count(static_cast<std::size_t>(pieces.size())))];
        }
        return text;
    }

    std::string typeSomething()
    {
        std::vector<QWidget *> fields;
        for (QLineEdit *e : visibleControls<QLineEdit>())
            fields.push_back(e);
        for (QPlainTextEdit *e : visibleControls<QPlainTextEdit>())
            fields.push_back(e);
        if (fields.empty())
            return "nothing to type into";
        QWidget *field = fields[count(fields.size())];
        const QString text = randomText();
        const bool byKeys = text.size() < 40 && count(2) == 0;
        if (auto *edit = qobject_cast<QLineEdit *>(field)) {
            if (byKeys) {
                edit->clear();
                // One key press per character; those without a key of their
                // own arrive as text, as from an input method.
                for (const QChar c : text) {
                    if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
                        QTest::keyClick(edit, c.toLatin1());
                    else
                        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            } else {
                edit->setText(text);
            }
        } else {
            qobject_cast<QPlainTextEdit *>(field)->setPlainText(text);
        }
        QWidget *named = field->objectName().isEmpty() ? field->parentWidget() : field;
        return "type " + std::to_string(text.size()) + " characters into " + named->objectName().toStdString();
    }

    std::string pickSomething()
    {
        const auto combos = visibleControls<QComboBox>();
        if (combos.empty())
            return "nothing to pick from";
        QComboBox *combo = combos[count(combos.size())];
        const int index = static_cast<int>(count(static_cast<std::size_t>(combo->count())));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return "pick " + combo->itemText(index).toStdString() + " in " + combo->objectName().toStdString();
    }

    std::string closeSomething()
    {
        const bool mayLeave = count(6) == 0;
        std::vector<kalvoran::ui::LayoutWindow *> closable;
        for (auto *w : visibleWindows()) {
            if (w->objectName() == "Form5" || (w->objectName() != "Form4" && mayLeave))
                closable.push_back(w);
        }
        if (closable.empty())
            return "nothing to close";
        auto *window = closable[count(closable.size())];
        QCloseEvent event;
        QCoreApplication::sendEvent(window, &event);
        return "close " + window->objectName().toStdString();
    }

    Program m_program;
    std::mt19937_64 &m_random;
    QStringList m_messages;
    int m_quitStatus = -1;
    std::map<Screen, QWidget *> m_created;
    std::map<kalvoran::ui::CalculationWindow *, bool> m_expectedFrame;
};

// Each run of the program lasts until the user reaches the farewell screen,
// where only End is left; then the next run starts, until the actions are
// spent. Every run ends with End, which must end the program.
TEST(RandomUser, NothingTheUserDoesBreaksTheProgram)
{
    const std::uint64_t startSeed = environmentNumber("KALVORAN_RANDOM_USER_SEED").value_or(20261207);
    const std::uint64_t wanted = environmentNumber("KALVORAN_RANDOM_USER_ACTIONS").value_or(0);
    const int actions = wanted > 0 && wanted <= INT_MAX ? static_cast<int>(wanted) : 3000;
    std::printf("random user: seed %llu (replay with KALVORAN_RANDOM_USER_SEED=%llu), %d actions\n",
        static_cast<unsigned long long>(startSeed), static_cast<unsigned long long>(startSeed), actions);
    std::fflush(stdout);
    std::mt19937_64 random(startSeed);
    // Memory is first measured after a tenth of the actions, once the
    // program's windows, fonts and caches have all been made.
    const int warmUp = actions / 10;
    std::optional<ProcessMemory> afterWarmUp;
    int done = 0;
    int runs = 0;
    while (done < actions) {
        ++runs;
        {
            RandomUser user(random);
            ASSERT_TRUE(user.program().start());
            while (done < actions && !user.atFarewell()) {
                const std::string action
                    = "run " + std::to_string(runs) + ", action " + std::to_string(done) + ": " + user.act();
                ++done;
                user.checkInvariants(action);
                if (::testing::Test::HasFailure())
                    FAIL() << "stopped after " << action << " (seed " << startSeed << ")";
            }
            user.finish();
            EXPECT_EQ(user.quitStatus(), 0);
            EXPECT_TRUE(user.program().hasEnded());
            EXPECT_TRUE(user.visibleWindows().empty());
        }
        flushQtQueues();
        if (!afterWarmUp && done >= warmUp) {
            afterWarmUp = processMemory();
            std::printf("after %d actions in %d runs: %s\n", done, runs, describe(*afterWarmUp).c_str());
        }
    }
    const ProcessMemory atEnd = processMemory();
    std::printf("%d actions in %d runs of the program: %s\n", done, runs, describe(atEnd).c_str());

    if (const auto allowed = environmentNumber("KALVORAN_RANDOM_USER_MAX_GROWTH_KIB")) {
        ASSERT_TRUE(afterWarmUp);
        ASSERT_GE(atEnd.residentKib, 0) << "the system gave no memory figure";
        EXPECT_LE(atEnd.residentKib - afterWarmUp->residentKib, static_cast<std::int64_t>(*allowed))
            << "resident memory grew from the warm-up to the end (seed " << startSeed << ")";
        EXPECT_LE(atEnd.peakKib - afterWarmUp->peakKib, static_cast<std::int64_t>(*allowed))
            << "peak memory grew from the warm-up to the end (seed " << startSeed << ")";
    }
}

} // namespace
