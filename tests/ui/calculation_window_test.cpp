#include "layout/ids.h"
#include "support/named_case.h"
#include "support/recording_screen.h"
#include "support/test_tables.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"

#include <QAccessible>
#include <QGroupBox>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

using kalvoran::testing::kCaseName;
using kalvoran::testing::kFreshCalculationTexts;
using kalvoran::testing::NamedCase;
using kalvoran::testing::shownText;
using kalvoran::testing::UserActions;
using kalvoran::ui::CalculationWindow;
using kalvoran::ui::UnitSystem;

namespace {

namespace ids = kalvoran::layout::ids::calculation;

// A calculation window whose message boxes are recorded instead of shown.
class Screen
{
public:
    explicit Screen(UnitSystem units)
        : window(std::make_unique<CalculationWindow>(units))
        , user(*window)
    {
        window->setErrorPresenter([this](QWidget *owner, const QString &message) {
            EXPECT_EQ(owner, window.get());
            messages.append(message);
        });
        window->show();
    }

    void select(const QString &c, const QString &d)
    {
        user.pick("C", c);
        user.pick("D", d);
    }

    [[nodiscard]] bool resultsShown() const { return window->control(ids::kResultsFrame)->isVisible(); }

    std::unique_ptr<CalculationWindow> window;
    UserActions user;
    QStringList messages;
};

using Texts = std::vector<std::pair<std::string, QString>>;

// What tells the two calculation windows apart.
struct Units : NamedCase
{
    UnitSystem units;
    QStringList diameters;
    QString diameterLabel;
    Texts accessibleNames; // of some fields, as a screen reader speaks them
};

using BothWindows = ::testing::TestWithParam<Units>;

// The names the code uses lead to the controls that carry these captions, and
// the results frame starts hidden with its bold red caption.
TEST_P(BothWindows, OpenWithTheirInitialTextsListsAndCaptions)
{
    const Units &param = GetParam();
    Screen s(param.units);
    for (const auto &[name, text] : kFreshCalculationTexts)
        EXPECT_EQ(s.user.text(name), kalvoran::ui::toQString(text)) << name;
    EXPECT_FALSE(s.resultsShown());
    const QStringList cFactors{"100", "120", "130", "140", "150"};
    for (const auto &[name, expected] : {std::pair{"C", cFactors}, std::pair{"D", param.diameters}}) {
        const auto *combo = s.window->control<QComboBox>(name);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, expected) << name;
    }
    const std::pair<kalvoran::layout::ControlRef, QString> captions[]{{ids::kCalculate, "Calculate Now"},
        {ids::kExit, "Exit"}, {ids::kBack, "Back"}, {ids::kClear, "Clear"}, {ids::kResultsFrame, "Results"}};
    for (const auto &[ref, caption] : captions)
        EXPECT_EQ(shownText(s.window->control(ref)), caption) << ref.name;
    const auto *frame = s.window->control<QGroupBox>(ids::kResultsFrame);
    EXPECT_TRUE(frame->font().bold());
    EXPECT_EQ(frame->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(frame->isHidden());
}

TEST_P(BothWindows, FreshCalculateAsksForCFactorThenDiameter)
{
    Screen s(GetParam().units);
    s.user.click(ids::kCalculate);
    EXPECT_EQ(s.messages, (QStringList{"Select a C Factor", "Select a Diameter"}));
    EXPECT_FALSE(s.resultsShown());
}

// Every input and result field is named; a combo box is labelled through a
// relation to its label, and the C factor carries the hint shown under it.
TEST_P(BothWindows, FieldsCarryTheirLabelsForScreenReaders)
{
    Screen s(GetParam().units);
    const auto accessible
        = [&s](std::string_view field) { return QAccessible::queryAccessibleInterface(s.window->control(field)); };
    for (const auto &[field, name] : GetParam().accessibleNames) {
        ASSERT_NE(accessible(field), nullptr);
        EXPECT_EQ(accessible(field)->text(QAccessible::Name), name) << field;
    }
    const auto labels = accessible("D")->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), GetParam().diameterLabel);
    EXPECT_EQ(accessible("C")->text(QAccessible::Description), shownText(s.window->control(ids::kCFactorHint)));
    for (const auto &[field, text] : kFreshCalculationTexts)
        EXPECT_FALSE(s.window->control(field)->accessibleName().isEmpty()) << field;
}

INSTANTIATE_TEST_SUITE_P(CalculationWindow, BothWindows,
    ::testing::Values(
        Units{"Si", UnitSystem::Si,
            {"15", "20", "25", "32", "40", "50", "65", "80", "90", "100", "125", "150", "200", "250"},
            "The Dia. of the pipe  ( mm )",
            {{"Q", "Flow of water in the pipe (  L/min  )"}, {"elevationdrop", "Elevation Drop / Gain ( bar )"}}},
        Units{"British", UnitSystem::British,
            {"0.5", "0.75", "1", "1.25", "1.50", "2", "2.5", "3", "3.5", "4", "5", "6", "8", "10"},
            "The Dia. of the pipe  ( inch )",
            {{"elevationdrop", "Elevation Drop / Gain ( psi )"}, {"pumppressure", "Requiered Pump Head ( psi )"},
                {"FL", "Pressure Friction losses in the pipe ( psi / ft )"}}}),
    kCaseName);

// A worked run typed and picked as a user would, with the messages it shows
// and the texts every result field shows afterwards: the rows of
// tests/data/worked_runs.json, which the page's browser tests read as well.
struct WorkedRun : NamedCase
{
    UnitSystem units;
    QString c;
    QString d;
    Texts typed;
    QStringList messages;
    Texts results;
    bool resultsShown;
};

Texts textsOf(const QJsonArray &pairs)
{
    Texts texts;
    for (const QJsonValue pair : pairs)
        texts.emplace_back(pair[0].toString().toStdString(), pair[1].toString());
    return texts;
}

std::vector<WorkedRun> workedRuns()
{
    std::vector<WorkedRun> runs;
    for (const QJsonValue row : kalvoran::testing::sharedTable("worked_runs", "runs")) {
        const QJsonObject run = row.toObject();
        QStringList messages;
        for (const QJsonValue message : run["messages"].toArray())
            messages << message.toString();
        runs.push_back({{kalvoran::testing::keep(run["name"].toString())},
            run["units"].toString() == "Si" ? UnitSystem::Si : UnitSystem::British, run["c"].toString(),
            run["d"].toString(), textsOf(run["typed"].toArray()), messages, textsOf(run["results"].toArray()),
            run["resultsShown"].toBool(true)});
    }
    return runs;
}

using WindowRuns = ::testing::TestWithParam<WorkedRun>;

TEST_P(WindowRuns, FillTheResultsFrame)
{
    const WorkedRun &run = GetParam();
    Screen s(run.units);
    s.select(run.c, run.d);
    for (const auto &[name, text] : run.typed)
        s.user.type(name, text);
    s.user.click(ids::kCalculate);
    EXPECT_EQ(s.messages, run.messages);
    EXPECT_EQ(s.resultsShown(), run.resultsShown);
    for (const auto &[name, text] : run.results) {
        EXPECT_EQ(s.user.text(name), text) << name;
        EXPECT_TRUE(s.window->control(name)->isVisible()) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Worked, WindowRuns, ::testing::ValuesIn(workedRuns()), kCaseName);

TEST(CalculationWindow, ClearEmptiesFiveResultsAndHidesTheFrame)
{
    Screen s(UnitSystem::Si);
    s.select("120", "50");
    s.user.type("hight", "5");
    s.user.click(ids::kCalculate);
    ASSERT_TRUE(s.resultsShown());
    const QString elevation = s.user.text("elevationdrop");
    const QString head = s.user.text("pumppressure");

    s.user.click(ids::kClear);
    EXPECT_FALSE(s.resultsShown());
    const Texts after{{"ELF", ""}, {"EL", ""}, {"FL", ""}, {"PD", ""}, {"V", ""}, {"elevationdrop", elevation},
        {"pumppressure", head}, {"hight", "5"}, {"C", "120"}};
    for (const auto &[name, text] : after)
        EXPECT_EQ(s.user.text(name), text) << name;

    // The next run shows the frame again with its own results.
    s.user.type("hight", "10");
    s.user.click(ids::kCalculate);
    EXPECT_TRUE(s.resultsShown());
    EXPECT_EQ(s.user.text("ELF"), "0");
    EXPECT_EQ(s.user.text("elevationdrop"), "0.971817298347911");
}

// What a typed C factor or diameter selects.
struct TypedSelection : NamedCase
{
    UnitSystem units;
    std::string field;
    QString typed;
    QStringList messages;
};

using TypedSelections = ::testing::TestWithParam<TypedSelection>;

TEST_P(TypedSelections, StayAsTypedAndAreCheckedAsRead)
{
    const TypedSelection &c = GetParam();
    Screen s(c.units);
    s.select("120", c.units == UnitSystem::Si ? "50" : "2");
    s.user.type(c.field, c.typed);
    // No completion from the list, and Enter adds nothing to it.
    EXPECT_EQ(s.user.text(c.field), c.typed);
    auto *combo = s.window->control<QComboBox>(c.field);
    const int count = combo->count();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), count);
    EXPECT_EQ(s.user.text(c.field), c.typed);

    s.user.click(ids::kCalculate);
    EXPECT_EQ(s.messages, c.messages);
    EXPECT_EQ(s.resultsShown(), c.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(CFactor, TypedSelections,
    ::testing::Values(TypedSelection{"si_1", UnitSystem::Si, "C", "1", {"Select a C Factor"}},
        TypedSelection{"si_10", UnitSystem::Si, "C", "10", {"Select a C Factor"}},
        TypedSelection{"si_110", UnitSystem::Si, "C", "110", {"Select a C Factor"}},
        TypedSelection{"si_120abc", UnitSystem::Si, "C", "120abc", {}},
        TypedSelection{"british_1_5E2", UnitSystem::British, "C", "1.5E2", {}}),
    kCaseName);

INSTANTIATE_TEST_SUITE_P(Diameter, TypedSelections,
    ::testing::Values(TypedSelection{"si_100mm", UnitSystem::Si, "D", "100mm", {}},
        TypedSelection{"si_4", UnitSystem::Si, "D", "4", {"Select a Diameter"}},
        TypedSelection{"british_1_5", UnitSystem::British, "D", "1.5", {}},
        TypedSelection{"british_3_slash_4", UnitSystem::British, "D", "3/4", {}},
        TypedSelection{"british_0_comma_5", UnitSystem::British, "D", "0,5", {"Select a Diameter"}}),
    kCaseName);

TEST(CalculationWindow, PickedAndTypedDiameterSelectTheSameRow)
{
    Screen picked(UnitSystem::British);
    Screen typed(UnitSystem::British);
    for (Screen *s : {&picked, &typed}) {
        s->user.pick("C", "130");
        s->user.type("Tf", "1");
        s->user.type("SCf", "2");
    }
    picked.user.pick("D", "1.50");
    typed.user.type("D", "1.5");
    picked.user.click(ids::kCalculate);
    typed.user.click(ids::kCalculate);
    EXPECT_EQ(picked.user.text("ELF"), "30.16"); // (1 x 8 ft + 2 x 9 ft) x 1.16
    for (const char *name : {"ELF", "EL", "FL", "PD", "V", "elevationdrop", "pumppressure"})
        EXPECT_EQ(picked.user.text(name), typed.user.text(name)) << name;
}

TEST(CalculationWindow, TwoWindowsAreIndependent)
{
    Screen si(UnitSystem::Si);
    Screen british(UnitSystem::British);
    si.select("120", "50");
    si.user.type("L", "42");
    si.user.click(ids::kCalculate);
    EXPECT_TRUE(si.resultsShown());
    EXPECT_FALSE(british.resultsShown());
    EXPECT_EQ(british.user.text("L"), "1.00");
    EXPECT_EQ(british.user.text("C"), "Select C");
    EXPECT_TRUE(british.messages.isEmpty());
}

TEST(CalculationWindow, ResultFieldsAreEditable)
{
    Screen s(UnitSystem::Si);
    s.select("120", "50");
    s.user.click(ids::kCalculate);
    s.user.type("PD", "my note");
    EXPECT_EQ(s.user.text("PD"), "my note");
    EXPECT_FALSE(s.window->control<QLineEdit>("PD")->isReadOnly());
}

} // namespace
