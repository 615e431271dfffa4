#include "calc/formulas.h"

#include "calc/power.h"

#include <numbers>

// The evaluation order below is part of the result: it fixes the rounding of
// every intermediate value (the build also forbids fused multiply-adds). Every
// power is correctly rounded, never the C library's pow, whose last bit
// differs between platforms.

namespace kalvoran::calc {

namespace {
constexpr double kHazenWilliamsFlowExponent = 1.85;
constexpr double kHazenWilliamsDiameterExponent = 4.87;
} // namespace

namespace si {

namespace {
constexpr double kHazenWilliamsCoefficient = 6.05;
constexpr double kMetresOfWaterPerBarElevation = 10.29;
// The pump head uses 10.28, the elevation 10.29: kept as users of earlier versions know it.
constexpr double kMetresOfWaterPerBarPumpHead = 10.28;
constexpr double kLitresPerMinutePerCubicMetrePerSecond = 60000;
constexpr double kMillimetresOfDiameterPerMetreOfRadius = 2000;
constexpr double kPi = 3.14; // not M_PI: kept as users of earlier versions know it
} // namespace

double frictionLoss(double q, double c, double d)
{
    const double flowTerm = kHazenWilliamsCoefficient * correctlyRoundedPow(q, kHazenWilliamsFlowExponent);
    const double scale = correctlyRoundedPow(10.0, 5.0);
    const double numerator = scale * flowTerm;
    const double denominator
        = correctlyRoundedPow(c, kHazenWilliamsFlowExponent) * correctlyRoundedPow(d, kHazenWilliamsDiameterExponent);
    return numerator / denominator;
}

double elevationPressure(double h)
{
    return h / kMetresOfWaterPerBarElevation;
}

double pumpHead(double p, double h, double el, double fl)
{
    const double staticPart = p * kMetresOfWaterPerBarPumpHead + h;
    const double frictionPart = (el * fl) * kMetresOfWaterPerBarPumpHead;
    return staticPart + frictionPart;
}

double velocity(double q, double d)
{
    const double cubicMetresPerSecond = q / kLitresPerMinutePerCubicMetrePerSecond;
    const double radius = d / kMillimetresOfDiameterPerMetreOfRadius; // m
    const double area = kPi * (radius * radius);                      // m^2
    return cubicMetresPerSecond / area;
}

} // namespace si

namespace british {

namespace {
constexpr double kHazenWilliamsCoefficient = 4.52;
constexpr double kElevationMultiplier = 14.5;
constexpr double kElevationDivisor = 33.307;
constexpr double kCubicInchesPerGallon = 231;
constexpr double kCubicInchesPerCubicFoot = 1728;
constexpr double kSecondsPerMinute = 60;
constexpr double kInchesOfDiameterPerFootOfRadius = 24;
} // namespace

double frictionLoss(double q, double c, double d)
{
    const double numerator = kHazenWilliamsCoefficient * correctlyRoundedPow(q, kHazenWilliamsFlowExponent);
    const double denominator
        = correctlyRoundedPow(c, kHazenWilliamsFlowExponent) * correctlyRoundedPow(d, kHazenWilliamsDiameterExponent);
    return numerator / denominator;
}

double elevationPressure(double h)
{
    return h * kElevationMultiplier / kElevationDivisor;
}

double pumpHead(double p, double h, double el, double fl)
{
    const double staticPart = p + h * kElevationMultiplier / kElevationDivisor;
    return staticPart + el * fl;
}

double velocity(double q, double d)
{
    const double cubicFeetPerSecond = q * kCubicInchesPerGallon / kCubicInchesPerCubicFoot / kSecondsPerMinute;
    const double radius = d / kInchesOfDiameterPerFootOfRadius; // ft
    const double area = std::numbers::pi * (radius * radius);   // ft^2
    return cubicFeetPerSecond / area;
}

} // namespace british

} // namespace kalvoran::calc
