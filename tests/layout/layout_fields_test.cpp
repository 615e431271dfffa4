#include "calc/calculation.h"
#include "calc/number_text.h"
#include "calc/tables.h"
#include "layout/calculation_layouts.h"
#include "support/named_case.h"
#include "support/recording_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace calc = kalvoran::calc;
namespace ui = kalvoran::ui;
using kalvoran::testing::RecordingScreen;

// Notes every field a run reads or writes.
class FieldRecorder : public RecordingScreen
{
public:
    [[nodiscard]] std::string fieldText(std::string_view name) const override
    {
        m_read.emplace(name);
        return RecordingScreen::fieldText(name);
    }
    void setFieldText(std::string_view name, std::string_view text) override
    {
        m_written.emplace(name);
        RecordingScreen::setFieldText(name, text);
    }

    mutable std::set<std::string, std::less<>> m_read;
    std::set<std::string, std::less<>> m_written;
};

const ui::Control *find(const ui::WindowLayout &layout, std::string_view name)
{
    const auto it = std::ranges::find(layout.controls, name, &ui::Control::name);
    return it == layout.controls.end() ? nullptr : &*it;
}

struct Window : kalvoran::testing::NamedCase
{
    const ui::WindowLayout &(*layout)();
    void (*run)(calc::CalculationScreen &);
    std::string_view diameter; // a size from the list, so that the run reaches every result
    std::span<const calc::FittingsRow> (*fittings)();
};

const Window kWindows[]{
    {{"Si"}, ui::siCalculationLayout, calc::calculateSi, "50", calc::siFittingsTable},
    {{"British"}, ui::britishCalculationLayout, calc::calculateBritish, "2", calc::britishFittingsTable},
};

class Fields : public ::testing::TestWithParam<Window>
{
};

// A field the engine names but the window lacks reads as 0 or loses a result.
TEST_P(Fields, EveryFieldTheEngineUsesIsInTheTableWithItsKind)
{
    FieldRecorder screen;
    for (const auto &[name, text] : {std::pair{calc::field::kCFactor, std::string_view("120")},
             {calc::field::kDiameter, GetParam().diameter}, {calc::field::kElevation, "5"}})
        screen.type(name, text);
    GetParam().run(screen);
    ASSERT_TRUE(screen.resultsVisible()) << "the run stopped early: " << ::testing::PrintToString(screen.messages());
    const ui::WindowLayout &layout = GetParam().layout();
    for (const std::string &name : screen.m_read) {
        const ui::Control *c = find(layout, name);
        ASSERT_NE(c, nullptr) << "the engine reads \"" << name << "\", which " << layout.name << " does not have";
        EXPECT_TRUE(c->kind == ui::Kind::TextBox || c->kind == ui::Kind::ComboBox)
            << "the engine reads \"" << name << "\", which is no text or combo box in " << layout.name;
    }
    for (const std::string &name : screen.m_written) {
        const ui::Control *c = find(layout, name);
        ASSERT_NE(c, nullptr) << "the engine writes \"" << name << "\", which " << layout.name << " does not have";
        EXPECT_EQ(c->kind, ui::Kind::TextBox) << "the engine writes \"" << name << "\", no text box in " << layout.name;
    }
}

// Each list entry reads as a number the engine accepts, and each row of its
// table is offered once: else a size picked from the list is refused.
TEST_P(Fields, ListsOfferExactlyTheEnginesTables)
{
    const ui::WindowLayout &layout = GetParam().layout();
    std::vector<double> diameters;
    for (const auto &row : GetParam().fittings())
        diameters.push_back(row.nominalDiameter);
    std::vector<double> cFactors;
    for (const auto &row : calc::cFactorTable())
        cFactors.push_back(row.c);
    for (const auto &[name, expected] :
        {std::pair{calc::field::kDiameter, diameters}, std::pair{calc::field::kCFactor, cFactors}}) {
        const ui::Control *combo = find(layout, name);
        ASSERT_NE(combo, nullptr);
        std::vector<double> shown;
        for (const std::string_view item : combo->items)
            shown.push_back(calc::readLeadingNumber(item));
        EXPECT_EQ(shown, expected) << layout.name << "'s list \"" << name << "\" against the engine's table";
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, Fields, ::testing::ValuesIn(kWindows), kalvoran::testing::kCaseName);

} // namespace
