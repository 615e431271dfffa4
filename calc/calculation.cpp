#include "calc/calculation.h"

#include "calc/formulas.h"
#include "calc/number_text.h"
#include "calc/tables.h"

#include <array>
#include <cmath>
#include <span>

namespace kalvoran::calc {

namespace {

// A row of the table of units: what sets one unit system apart from the
// other, its fittings table and its formulas. Everything else of a run is
// shared.
struct UnitsRow
{
    std::span<const FittingsRow> (*fittingsTable)();
    double (*frictionLoss)(double q, double c, double d);
    double (*elevationPressure)(double h);
    double (*pumpHead)(double p, double h, double el, double fl);
    double (*velocity)(double q, double d);
};

constexpr UnitsRow kSi{siFittingsTable, si::frictionLoss, si::elevationPressure, si::pumpHead, si::velocity};
constexpr UnitsRow kBritish{
    britishFittingsTable, british::frictionLoss, british::elevationPressure, british::pumpHead, british::velocity};

// The counts of fittings, in the order of the fittings tables.
constexpr std::array kCountFields{field::kTees, field::kElbows, field::kLongElbows, field::kButterflyValves,
    field::kGateValves, field::kSwingCheckValves};

// Every finite double below this writes a text that reads back as finite;
// from 1.797693134862315E+308 up, the 15-digit text exceeds the largest double.
constexpr double kNoReadBackDoubt = 1e308;

// The numbers of the input fields of one run. Each field is read once: no field
// can change while a run goes on (its message boxes are modal), so this gives
// the same numbers as reading a field again at every use.
struct Inputs
{
    double cFactor;
    double diameter;
    double elevation;                         // m or ft
    double flow;                              // L/min or US gpm
    double length;                            // m or ft
    double residualPressure;                  // bar or psi
    std::array<double, kFittingKinds> counts; // pieces, in fittings-table order

    [[nodiscard]] bool allFinite() const
    {
        bool finite = std::isfinite(elevation) && std::isfinite(flow) && std::isfinite(length)
            && std::isfinite(residualPressure);
        for (const double count : counts)
            finite = finite && std::isfinite(count);
        return finite;
    }
};

// One "Calculate Now" on one screen.
class Run
{
public:
    Run(CalculationScreen &screen, const UnitsRow &units)
        : m_screen(screen)
        , m_units(units)
    { }

    void execute()
    {
        m_screen.setResultsVisible(false);
        clearResults();

        const Inputs in = readInputs();
        // All checks are made, in this order, before the run decides to stop.
        const auto cFactor = findCFactor(in.cFactor);
        if (!cFactor)
            m_screen.showError(message::kSelectCFactor);
        const auto row = findRow(m_units.fittingsTable(), in.diameter);
        if (!row)
            m_screen.showError(message::kSelectDiameter);
        if (in.elevation < 0)
            m_screen.showError(message::kNegativeHead); // a warning: the run goes on
        const bool negativeFlow = in.flow < 0;
        if (negativeFlow)
            m_screen.showError(message::kNegativeFlow);
        if (!cFactor || !row || negativeFlow)
            return;

        if (!in.allFinite()) {
            m_screen.showError(message::kOutOfRange);
            return;
        }

        // A run that ends up out of range leaves these two as they were.
        const std::string previousElevation = m_screen.fieldText(field::kElevationPressure);
        const std::string previousPumpHead = m_screen.fieldText(field::kPumpHead);
        if (!computeResults(in, *cFactor, *row)) {
            clearResults();
            m_screen.setFieldText(field::kElevationPressure, previousElevation);
            m_screen.setFieldText(field::kPumpHead, previousPumpHead);
            m_screen.showError(message::kOutOfRange);
            return;
        }
        m_screen.setResultsVisible(true);
    }

private:
    [[nodiscard]] double read(std::string_view name) const { return readLeadingNumber(m_screen.fieldText(name)); }

    [[nodiscard]] Inputs readInputs() const
    {
        Inputs in{};
        in.cFactor = read(field::kCFactor);
        in.diameter = read(field::kDiameter);
        in.elevation = read(field::kElevation);
        in.flow = read(field::kFlow);
        in.length = read(field::kLength);
        in.residualPressure = read(field::kResidualPressure);
        for (std::size_t k = 0; k < kFittingKinds; ++k)
            in.counts[k] = read(kCountFields[k]);
        return in;
    }

    void clearResults()
    {
        for (const auto name : kClearedResults)
            m_screen.setFieldText(name, {});
    }

    // Writes a result as soon as it is known. Refuses (and writes nothing) a
    // value that is not finite or whose text would not read back as finite.
    [[nodiscard]] bool write(std::string_view name, double value)
    {
        if (!std::isfinite(value))
            return false;
        const NumberText text = formatNumber(value);
        if (std::fabs(value) > kNoReadBackDoubt && !std::isfinite(readLeadingNumber(text)))
            return false;
        m_screen.setFieldText(name, text);
        return true;
    }

    // The seven results in their order. Later ones read earlier ones back from
    // the texts of their fields, so they work with the digits the user sees.
    [[nodiscard]] bool computeResults(const Inputs &in, const CFactor &cFactor, const FittingsRow &row)
    {
        const double d = row.nominalDiameter;
        return write(field::kFittingsLength, equivalentLengthOfFittings(in.counts, row, cFactor.fittingsMultiplier))
            && write(field::kPipeLength, read(field::kFittingsLength) + in.length)
            && write(field::kFrictionLoss, m_units.frictionLoss(in.flow, cFactor.c, d))
            && write(field::kElevationPressure, m_units.elevationPressure(in.elevation))
            && write(field::kPressureDrop, read(field::kFrictionLoss) * read(field::kPipeLength))
            && write(field::kPumpHead,
                m_units.pumpHead(
                    in.residualPressure, in.elevation, read(field::kPipeLength), read(field::kFrictionLoss)))
            && write(field::kVelocity, m_units.velocity(in.flow, d));
    }

    CalculationScreen &m_screen;
    const UnitsRow &m_units;
};

} // namespace

void calculateSi(CalculationScreen &screen)
{
    Run(screen, kSi).execute();
}

void calculateBritish(CalculationScreen &screen)
{
    Run(screen, kBritish).execute();
}

} // namespace kalvoran::calc
