#include "layout/moves.h"

#include "layout/calculation_layouts.h"
#include "layout/ids.h"
#include "layout/info_layouts.h"

namespace kalvoran::layout {

namespace {

using enum Screen;
using enum Step;

constexpr ControlRef kCloseBox{};

// clang-format off
constexpr std::array<Move, 15> kMoves{{
    {.screen = Main,     .button = ids::main::kSiUnits,        .steps = {{Hide, Main}, {Show, Si}}},
    {.screen = Main,     .button = ids::main::kBritishUnits,   .steps = {{Hide, Main}, {Show, British}}},
    {.screen = Main,     .button = ids::main::kExit,           .steps = {{Hide, Main}, {Show, Farewell}}},
    {.screen = Main,     .button = ids::main::kAbout,          .steps = {{Show, About}}},
    {.screen = Main,     .button = kCloseBox,                  .steps = {{Hide, Main}, {Show, Farewell}}},
    {.screen = Si,       .button = ids::calculation::kBack,    .steps = {{Hide, Si}, {Show, Main}}},
    {.screen = Si,       .button = ids::calculation::kExit,    .steps = {{Hide, Si}, {Show, Farewell}}},
    {.screen = Si,       .button = kCloseBox,                  .steps = {{Hide, Si}, {Show, Farewell}}},
    {.screen = British,  .button = ids::calculation::kBack,    .steps = {{Hide, British}, {Show, Main}}},
    {.screen = British,  .button = ids::calculation::kExit,    .steps = {{Hide, British}, {Show, Farewell}}},
    {.screen = British,  .button = kCloseBox,                  .steps = {{Hide, British}, {Show, Farewell}}},
    {.screen = Farewell, .button = ids::farewell::kEnd,        .steps = {{End}}},
    {.screen = Farewell, .button = kCloseBox,                  .steps = {{End}}},
    // About is a window beside the others: it goes away alone.
    {.screen = About,    .button = ids::about::kOk,            .steps = {{Hide, About}}},
    {.screen = About,    .button = kCloseBox,                  .steps = {{Hide, About}}},
}};
// clang-format on

} // namespace

std::string_view screenName(Screen screen)
{
    constexpr std::array<std::string_view, kScreens.size()> kNames{"Main", "Si", "British", "Farewell", "About"};
    return kNames[static_cast<std::size_t>(screen)];
}

const WindowLayout &layoutOf(Screen screen)
{
    switch (screen) {
    case Main:
        return mainLayout();
    case Si:
        return siCalculationLayout();
    case British:
        return britishCalculationLayout();
    case Farewell:
        return farewellLayout();
    case About:
        break;
    }
    return aboutLayout();
}

std::optional<UnitSystem> unitsOf(Screen screen)
{
    switch (screen) {
    case Si:
        return UnitSystem::Si;
    case British:
        return UnitSystem::British;
    case Main:
    case Farewell:
    case About:
        break;
    }
    return std::nullopt;
}

std::string_view unitsName(UnitSystem units)
{
    return units == UnitSystem::Si ? "si" : "british";
}

std::span<const Move> moves()
{
    return kMoves;
}

} // namespace kalvoran::layout
