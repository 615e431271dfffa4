#include "layout/ids.h"
#include "support/named_case.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/info_windows.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <thread>

using kalvoran::testing::kCaseName;
using kalvoran::testing::NamedCase;

namespace {

// Ends the test program if the work in its scope takes longer than allowed:
// a text query that never returns must fail the test, not hang it.
// Workaround: the watcher polls a flag. A stoppable wait on a
// condition_variable_any, ended by std::jthread's stop request, at times never
// wakes in MinGW-w64's libstdc++ 12 under Wine 8 (the whole test program then
// hung); a 20-line program shows it, no upstream report found. Can go once a
// stoppable wait ends every time there.
class Deadline
{
public:
    explicit Deadline(std::chrono::seconds limit)
        : m_watch([this, end = std::chrono::steady_clock::now() + limit] {
            while (!m_done.load()) {
                if (std::chrono::steady_clock::now() > end) {
                    std::fputs("A text query did not return in time.\n", stderr);
                    std::_Exit(EXIT_FAILURE);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        })
    { }
    ~Deadline()
    {
        m_done = true;
        m_watch.join();
    }
    Deadline(const Deadline &) = delete;
    Deadline &operator=(const Deadline &) = delete;

private:
    std::atomic<bool> m_done{false}; // before m_watch, which reads it
    std::thread m_watch;
};

// Far more than the queries of a test take, even in a sanitized build.
constexpr std::chrono::seconds kQueriesTime(5);

enum class Box { LineEdit, ComboEdit, MultiLine };

struct TextCase : NamedCase
{
    Box box;
    const char *text;
};

// A text box of each kind the windows have, shown.
std::unique_ptr<QWidget> shownTextBox(Box box, const QString &text)
{
    std::unique_ptr<QWidget> widget;
    if (box == Box::LineEdit) {
        widget = std::make_unique<QLineEdit>(text);
    } else if (box == Box::ComboEdit) {
        auto combo = std::make_unique<QComboBox>();
        combo->setEditable(true);
        combo->setEditText(text);
        widget = std::move(combo);
    } else {
        widget = std::make_unique<QPlainTextEdit>(text);
        widget->resize(90, 200); // narrow, so that its paragraphs wrap onto several lines
    }
    widget->show();
    return widget;
}

// The accessible text of a text box: a combo box's is its edit field's.
QAccessibleInterface *accessibleText(const std::unique_ptr<QWidget> &box)
{
    auto *edit = box->findChild<QLineEdit *>();
    return QAccessible::queryAccessibleInterface(edit != nullptr ? edit : box.get());
}

using TextQueries = ::testing::TestWithParam<TextCase>;

constexpr QAccessible::TextBoundaryType kBoundaries[] = {QAccessible::CharBoundary, QAccessible::WordBoundary,
    QAccessible::SentenceBoundary, QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary};

// Every query at every offset, the end of the text included, names a range
// inside the text and returns what that range holds; the item "at" an offset
// holds it; one attribute run covers the whole text.
TEST_P(TextQueries, AnswerInsideTheTextAtEveryOffset)
{
    kalvoran::ui::installAccessibility(); // as at start-up
    const QString text = QString::fromUtf8(GetParam().text);
    const auto box = shownTextBox(GetParam().box, text);
    QAccessibleInterface *accessible = accessibleText(box);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    QAccessibleTextInterface *queries = accessible->textInterface();
    ASSERT_NE(queries, nullptr);
    ASSERT_EQ(queries->characterCount(), text.size());

    const int length = static_cast<int>(text.size());
    using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int *, int *) const;
    const std::pair<const char *, Query> kinds[] = {{"at", &QAccessibleTextInterface::textAtOffset},
        {"before", &QAccessibleTextInterface::textBeforeOffset}, {"after", &QAccessibleTextInterface::textAfterOffset}};
    const Deadline deadline(kQueriesTime);
    for (int offset = 0; offset <= length; ++offset) {
        for (const QAccessible::TextBoundaryType boundary : kBoundaries) {
            for (const auto &[kind, query] : kinds) {
                int start = -1;
                int end = -1;
                const QString found = (queries->*query)(offset, boundary, &start, &end);
                const auto where = ::testing::Message()
                    << kind << " offset " << offset << ", boundary " << boundary << ": " << start << "-" << end;
                ASSERT_TRUE(0 <= start && start <= end && end <= length) << where;
                EXPECT_EQ(found, text.mid(start, end - start)) << where;
                if (kind == std::string_view("at")) {
                    EXPECT_TRUE(start <= offset && offset <= end) << where;
                }
            }
        }
        int start = -1;
        int end = -1;
        queries->attributes(offset, &start, &end);
        EXPECT_EQ(start, 0) << "attributes at " << offset;
        EXPECT_EQ(end, length) << "attributes at " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Accessibility, TextQueries,
    ::testing::Values(TextCase{{"Empty"}, Box::LineEdit, ""}, TextCase{{"Number"}, Box::LineEdit, "5.184"},
        TextCase{{"LongResult"}, Box::LineEdit, "0.0451212015753386"},
        TextCase{{"WebAddress"}, Box::LineEdit, "www.orrimark.example.com"},
        TextCase{{"ComboWords"}, Box::ComboEdit, "Select Dia"}, TextCase{{"TrailingSpace"}, Box::ComboEdit, "12 "},
        TextCase{{"Paragraphs"}, Box::MultiLine,
            "A first sentence. A second one, long enough to wrap.\nwww.orrimark.example.com\n\nLast line\n"}),
    kCaseName);

// What a screen reader speaks of a number: the line at the caret and the
// word at the end are the whole number, and so is its one attribute run.
TEST(NumberField, IsReadWholeByAScreenReader)
{
    kalvoran::ui::installAccessibility();
    const auto box = shownTextBox(Box::LineEdit, QStringLiteral("5.184"));
    const Deadline deadline(kQueriesTime);
    QAccessibleTextInterface *queries = accessibleText(box)->textInterface();
    int start = -1;
    int end = -1;
    EXPECT_EQ(queries->textAtOffset(-2, QAccessible::LineBoundary, &start, &end), "5.184");
    EXPECT_EQ(queries->textAtOffset(5, QAccessible::WordBoundary, &start, &end), "5.184");
    EXPECT_EQ(queries->textAtOffset(5, QAccessible::CharBoundary, &start, &end), "");
    EXPECT_EQ(start, 5);
    EXPECT_EQ(queries->textBeforeOffset(5, QAccessible::CharBoundary, &start, &end), "4");
}

// A key as pressed on the keyboard, and how often it presses the button.
struct KeyCase : NamedCase
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int presses;
};

using ButtonKeys = ::testing::TestWithParam<KeyCase>;

// Return and the keypad's Enter press a focused button once, as Space does,
// though no button of the program is a default button; with Shift, nothing.
TEST_P(ButtonKeys, PressTheFocusedButton)
{
    kalvoran::ui::MainWindow window;
    window.show();
    auto *about = window.control<kalvoran::ui::PushButton>(kalvoran::layout::ids::main::kAbout);
    ASSERT_NE(about, nullptr);
    ASSERT_FALSE(about->isDefault() || about->autoDefault());
    about->setFocus();
    int pressed = 0;
    QObject::connect(about, &QPushButton::clicked, [&pressed] { ++pressed; });
    QTest::keyClick(about, GetParam().key, GetParam().modifiers);
    EXPECT_EQ(pressed, GetParam().presses);
}

INSTANTIATE_TEST_SUITE_P(Accessibility, ButtonKeys,
    ::testing::Values(KeyCase{{"Space"}, Qt::Key_Space, Qt::NoModifier, 1},
        KeyCase{{"Return"}, Qt::Key_Return, Qt::NoModifier, 1},
        KeyCase{{"Enter"}, Qt::Key_Enter, Qt::KeypadModifier, 1},
        KeyCase{{"ShiftReturn"}, Qt::Key_Return, Qt::ShiftModifier, 0}),
    kCaseName);

} // namespace

// Counts the window activations a screen reader's bridge passes on: the
// spontaneous ones.
class Activations : public QObject
{
public:
    explicit Activations(QObject *of)
        : m_of(of)
    {
        qApp->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        count += target == m_of && event->type() == QEvent::WindowActivate && event->spontaneous() ? 1 : 0;
        return false;
    }

private:
    QObject *m_of;
};

// A window already active when a screen reader's bridge comes up is handed its
// activation once more, with the focus where it was, so that the screen reader
// hears of it.
TEST(BridgeComingUp, TellsTheActiveWindowAgain)
{
    kalvoran::ui::installAccessibility();
    QWidget window;
    auto *first = new QLineEdit(&window);
    auto *second = new QLineEdit(&window);
    first->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    second->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == second; }));
    Activations activations(&window);
    QAccessible::setActive(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations.count > 0; })) << "no activation handed to the window";
    QAccessible::setActive(false);
    QCoreApplication::processEvents(); // where a second would be queued
    EXPECT_EQ(activations.count, 1);
    EXPECT_EQ(QApplication::focusWidget(), second);
}
