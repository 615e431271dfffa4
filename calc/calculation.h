#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kalvoran::calc {

// What a calculation run needs of the screen it runs on. A run knows fields
// only by their names and uses nothing else of the screen, so it runs the same
// against the real window and against a test double. Texts are UTF-8.
class CalculationScreen
{
public:
    virtual ~CalculationScreen() = default;

    [[nodiscard]] virtual std::string fieldText(std::string_view field) const = 0;
    virtual void setFieldText(std::string_view field, std::string_view text) = 0;
    // Shows or hides the results frame and everything inside it.
    virtual void setResultsVisible(bool visible) = 0;
    // A modal message box titled "Error" with the error icon and one OK button;
    // returns once the user has dismissed it.
    virtual void showError(std::string_view message) = 0;

protected:
    CalculationScreen() = default;
    CalculationScreen(const CalculationScreen &) = default;
    CalculationScreen &operator=(const CalculationScreen &) = default;
};

// The names of the fields a run reads and writes.
namespace field {
// Inputs.
inline constexpr std::string_view kDiameter = "D";
inline constexpr std::string_view kLength = "L";
inline constexpr std::string_view kCFactor = "C";
inline constexpr std::string_view kFlow = "Q";
inline constexpr std::string_view kElevation = "hight"; // the layout's own spelling, kept on purpose
inline constexpr std::string_view kResidualPressure = "RP";
inline constexpr std::string_view kTees = "Tf";
inline constexpr std::string_view kElbows = "Ef";
inline constexpr std::string_view kLongElbows = "E1f";
inline constexpr std::string_view kButterflyValves = "BVf";
inline constexpr std::string_view kGateValves = "GVf";
inline constexpr std::string_view kSwingCheckValves = "SCf";
// Results.
inline constexpr std::string_view kFittingsLength = "ELF";
inline constexpr std::string_view kPipeLength = "EL";
inline constexpr std::string_view kFrictionLoss = "FL";
inline constexpr std::string_view kPressureDrop = "PD";
inline constexpr std::string_view kVelocity = "V";
inline constexpr std::string_view kElevationPressure = "elevationdrop";
inline constexpr std::string_view kPumpHead = "pumppressure";
} // namespace field

// The results that a run empties before its checks, and that Clear empties.
// The elevation pressure and the pump head keep their texts: a refused run
// leaves them as they were.
inline constexpr std::array kClearedResults{
    field::kFittingsLength, field::kPipeLength, field::kFrictionLoss, field::kPressureDrop, field::kVelocity};

// The messages a run can show, in the order of its checks.
namespace message {
inline constexpr std::string_view kSelectCFactor = "Select a C Factor";
inline constexpr std::string_view kSelectDiameter = "Select a Diameter";
inline constexpr std::string_view kNegativeHead = "Do not enter a negative head ... positive or zero only";
inline constexpr std::string_view kNegativeFlow = "Do not enter a negative flow ... positive or zero only";
inline constexpr std::string_view kOutOfRange = "A value is out of range ... check the inputs";
} // namespace message

// "Calculate Now" on the SI screen: D in mm, L in m, Q in L/min, hight in m,
// RP in bar; ELF and EL in m, FL in bar/m, PD in bar, elevationdrop in bar,
// pumppressure in metres of water, V in m/s.
void calculateSi(CalculationScreen &screen);

// "Calculate Now" on the British screen: D in inches, L in ft, Q in US gpm,
// hight in ft, RP in psi; ELF and EL in ft, FL in psi/ft, PD, elevationdrop
// and pumppressure in psi, V in ft/s.
void calculateBritish(CalculationScreen &screen);

} // namespace kalvoran::calc
