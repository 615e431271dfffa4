#include "calc/number_text.h"
#include "calc/tables.h"
#include "layout/calculation_layouts.h"
#include "support/named_case.h"
#include "support/recording_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

namespace calc = kalvoran::calc;
namespace layout = kalvoran::layout;

// Notes every field a run reads or writes.
struct FieldRecorder : kalvoran::testing::RecordingScreen
{
    [[nodiscard]] std::string fieldText(std::string_view name) const override
    {
        read.emplace(name);
        return RecordingScreen::fieldText(name);
    }
    void setFieldText(std::string_view name, std::string_view text) override
    {
        written.emplace(name);
        RecordingScreen::setFieldText(name, text);
    }
    mutable std::set<std::string> read;
    std::set<std::string> written;
};

struct Window : kalvoran::testing::NamedCase
{
    const layout::WindowLayout &(*layout)();
    void (*run)(calc::CalculationScreen &);
    std::span<const calc::FittingsRow> (*fittings)();
};

const Window kWindows[]{
    {{"Si"}, layout::siCalculationLayout, calc::calculateSi, calc::siFittingsTable},
    {{"British"}, layout::britishCalculationLayout, calc::calculateBritish, calc::britishFittingsTable},
};

class Fields : public ::testing::TestWithParam<Window>
{
protected:
    const layout::WindowLayout &m_layout = GetParam().layout();

    // Label for a name the table lacks: no field either way.
    [[nodiscard]] layout::Kind kindOf(std::string_view name) const { return row(name).kind; }
    [[nodiscard]] std::span<const std::string_view> items(std::string_view name) const { return row(name).items; }

private:
    [[nodiscard]] const layout::Control &row(std::string_view name) const
    {
        static const layout::Control kNone{};
        const auto it = std::ranges::find(m_layout.controls, name, &layout::Control::name);
        return it == m_layout.controls.end() ? kNone : *it;
    }
};

// A name the window lacks would read as 0, or lose a result, without a word.
TEST_P(Fields, EveryFieldTheEngineUsesIsInTheTableWithItsKind)
{
    FieldRecorder screen;
    // The first entry of each list, so that the run reaches every result.
    for (const auto name : {calc::field::kCFactor, calc::field::kDiameter})
        screen.type(name, items(name).empty() ? "" : items(name)[0]);
    GetParam().run(screen);
    ASSERT_TRUE(screen.resultsVisible()) << ::testing::PrintToString(screen.messages());
    for (const std::string &name : screen.read) {
        const layout::Kind kind = kindOf(name);
        EXPECT_TRUE(kind == layout::Kind::TextBox || kind == layout::Kind::ComboBox)
            << "the engine reads \"" << name << "\", no text or combo box in " << m_layout.name;
    }
    for (const std::string &name : screen.written)
        EXPECT_EQ(kindOf(name), layout::Kind::TextBox)
            << "the engine writes \"" << name << "\", no text box in " << m_layout.name;
}

// Every entry is one the engine accepts, and none is missing: else a size
// picked from the list brings "Select a Diameter".
TEST_P(Fields, ListsOfferExactlyTheEnginesTables)
{
    std::vector<double> diameters;
    for (const auto &row : GetParam().fittings())
        diameters.push_back(row.nominalDiameter);
    std::vector<double> cFactors;
    for (const auto &row : calc::cFactorTable())
        cFactors.push_back(row.c);
    for (const auto &[name, engine] :
        {std::pair{calc::field::kDiameter, diameters}, {calc::field::kCFactor, cFactors}}) {
        std::vector<double> shown;
        for (const std::string_view item : items(name))
            shown.push_back(calc::readLeadingNumber(item));
        EXPECT_EQ(shown, engine) << m_layout.name << "'s list \"" << name << "\" against the engine's table";
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, Fields, ::testing::ValuesIn(kWindows), kalvoran::testing::kCaseName);

} // namespace
