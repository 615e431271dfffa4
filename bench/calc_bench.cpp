// Speed of one "Calculate Now" against the bare arithmetic it wraps.
//
// The baseline computes the seven results of the SI worked run with the same
// pow calls and products, but with no text at all: no field is read, parsed,
// formatted or written. A full run does all of that through a test double.
// main() prints how many times the baseline each full run takes, and how many
// times std::pow the correctly rounded power takes.

#include "calc/calculation.h"
#include "calc/formulas.h"
#include "calc/number_text.h"
#include "calc/power.h"
#include "calc/power_detail.h"
#include "calc/tables.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace calc = kalvoran::calc;

namespace {

void bareArithmetic(benchmark::State &state, bool british)
{
    const auto table = british ? calc::britishFittingsTable() : calc::siFittingsTable();
    const auto row = *calc::findRow(table, british ? 2 : 50);
    double q = british ? 50 : 500;
    double l = british ? 100 : 10;
    double h = british ? 10 : 5;
    double p = british ? 20 : 1;
    const std::array<double, calc::kFittingKinds> counts{1, 2, 1, 1, 1, 1};
    for (auto _ : state) {
        benchmark::DoNotOptimize(q);
        benchmark::DoNotOptimize(l);
        const double elf = calc::equivalentLengthOfFittings(counts, row, 1);
        const double el = elf + l;
        const double fl = british ? calc::british::frictionLoss(q, 120, row.nominalDiameter)
                                  : calc::si::frictionLoss(q, 120, row.nominalDiameter);
        const double elevation = british ? calc::british::elevationPressure(h) : calc::si::elevationPressure(h);
        const double pd = fl * el;
        const double head = british ? calc::british::pumpHead(p, h, el, fl) : calc::si::pumpHead(p, h, el, fl);
        const double v
            = british ? calc::british::velocity(q, row.nominalDiameter) : calc::si::velocity(q, row.nominalDiameter);
        benchmark::DoNotOptimize(elf + el + fl + elevation + pd + head + v);
    }
}

// The cheapest screen that keeps texts by name: a run's cost is then mostly
// its own, reading, checking, formatting and writing.
class BenchScreen : public calc::CalculationScreen
{
public:
    explicit BenchScreen(const std::map<std::string, std::string> &inputs)
    {
        for (const auto &[name, text] : inputs)
            setFieldText(name, text);
    }

    [[nodiscard]] std::string fieldText(std::string_view name) const override
    {
        for (const auto &[key, text] : m_fields) {
            if (key == name)
                return text;
        }
        return {};
    }
    void setFieldText(std::string_view name, std::string_view text) override
    {
        for (auto &[key, value] : m_fields) {
            if (key == name) {
                value.assign(text);
                return;
            }
        }
        m_fields.emplace_back(std::string(name), std::string(text));
    }
    void setResultsVisible(bool visible) override { m_visible = visible; }
    void showError(std::string_view /*message*/) override { }

private:
    std::vector<std::pair<std::string, std::string>> m_fields;
    bool m_visible = false;
};

void fullRun(benchmark::State &state, void (*procedure)(calc::CalculationScreen &),
    const std::map<std::string, std::string> &inputs)
{
    BenchScreen screen(inputs);
    for (auto _ : state) {
        procedure(screen);
        benchmark::DoNotOptimize(screen.fieldText("V"));
    }
}

const std::map<std::string, std::string> kSiInputs{{"C", "120"}, {"D", "50"}, {"L", "10"}, {"Q", "500"}, {"Tf", "1"},
    {"Ef", "2"}, {"E1f", "1"}, {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "5"}, {"RP", "1"}};
const std::map<std::string, std::string> kBritishInputs{{"C", "120"}, {"D", "2"}, {"L", "100"}, {"Q", "50"},
    {"Tf", "1"}, {"Ef", "2"}, {"E1f", "1"}, {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "10"}, {"RP", "20"}};

void BM_BareArithmeticSi(benchmark::State &state)
{
    bareArithmetic(state, false);
}
void BM_BareArithmeticBritish(benchmark::State &state)
{
    bareArithmetic(state, true);
}
void BM_FullRunSi(benchmark::State &state)
{
    fullRun(state, calc::calculateSi, kSiInputs);
}
void BM_FullRunBritish(benchmark::State &state)
{
    fullRun(state, calc::calculateBritish, kBritishInputs);
}

// The two text rules on their own, for the breakdown of a run.
void BM_FormatResult(benchmark::State &state)
{
    double value = 0.0451212015753386;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(calc::formatNumber(value));
    }
}

void BM_ReadField(benchmark::State &state)
{
    const std::string text = "0.0451212015753386";
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::readLeadingNumber(text));
}

// A million pasted characters: the leading-number rule must stay linear.
void BM_ReadMillionCharacters(benchmark::State &state)
{
    const std::string text = std::string(500'000, ' ') + "12" + std::string(499'998, '5');
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::readLeadingNumber(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

// One power at a time over flows from 0.5 to 2000 L/min, with the flow
// exponent: the correctly rounded power against the C library's.
void powerOfFlows(benchmark::State &state, double (*power)(double, double))
{
    std::array<double, 64> flows{};
    for (std::size_t i = 0; i < flows.size(); ++i)
        flows[i] = 0.5 + 31.25 * static_cast<double>(i);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(power(flows[i], 1.85));
        i = (i + 1) % flows.size();
    }
}

void BM_StdPow(benchmark::State &state)
{
    powerOfFlows(state, [](double x, double y) { return std::pow(x, y); });
}
void BM_CorrectlyRoundedPow(benchmark::State &state)
{
    powerOfFlows(state, calc::correctlyRoundedPow);
}
// Each of the power's two paths alone: the fast one (whose rounding test
// decides nearly every power) and the accurate one, which decides the rest.
void BM_PowFastPath(benchmark::State &state)
{
    powerOfFlows(state, [](double x, double y) { return calc::detail::fastPow(x, y).value_or(0); });
}
void BM_PowAccuratePath(benchmark::State &state)
{
    powerOfFlows(state, calc::detail::accuratePow);
}

BENCHMARK(BM_BareArithmeticSi);
BENCHMARK(BM_FullRunSi);
BENCHMARK(BM_BareArithmeticBritish);
BENCHMARK(BM_FullRunBritish);
BENCHMARK(BM_FormatResult);
BENCHMARK(BM_ReadField);
BENCHMARK(BM_ReadMillionCharacters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdPow);
BENCHMARK(BM_CorrectlyRoundedPow);
BENCHMARK(BM_PowFastPath);
BENCHMARK(BM_PowAccuratePath);

// Keeps the per-iteration time of each benchmark so main() can print the
// ratios. With --benchmark_repetitions the median of the repetitions stands
// for a benchmark; one that --benchmark_filter left out has no time.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit RatioReporter(OutputOptions options)
        : ConsoleReporter(options)
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const auto &run : runs) {
            const std::string &name = run.run_name.function_name;
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[name] = run.GetAdjustedRealTime();
            } else {
                m_times[name].push_back(run.GetAdjustedRealTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per iteration, or nothing when the benchmark did not run.
    [[nodiscard]] std::optional<double> time(const std::string &name) const
    {
        if (const auto median = m_medians.find(name); median != m_medians.end())
            return median->second;
        const auto times = m_times.find(name);
        if (times == m_times.end() || times->second.empty())
            return std::nullopt;
        std::vector<double> sorted = times->second;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

private:
    std::map<std::string, double> m_medians;
    std::map<std::string, std::vector<double>> m_times;
};

// "SI 28.1 x" when both benchmarks ran, otherwise why there is no figure.
std::string ratio(const RatioReporter &reporter, const char *label, const std::string &run, const std::string &floor)
{
    const auto full = reporter.time(run);
    const auto bare = reporter.time(floor);
    if (!full || !bare)
        return std::string(label) + " not measured (needs " + run + " and " + floor + ")";
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s %.1f x", label, *full / *bare);
    return text.data();
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    // Colours only on a terminal, not in a log.
    RatioReporter reporter(
        isatty(fileno(stdout)) != 0 ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::string si = ratio(reporter, "SI", "BM_FullRunSi", "BM_BareArithmeticSi");
    const std::string british = ratio(reporter, "British", "BM_FullRunBritish", "BM_BareArithmeticBritish");
    std::printf("\nFull run / bare arithmetic: %s, %s (goal: at most 10 x)\n", si.c_str(), british.c_str());
    const std::string power = ratio(reporter, "power", "BM_CorrectlyRoundedPow", "BM_StdPow");
    const std::string fast = ratio(reporter, "fast path", "BM_PowFastPath", "BM_StdPow");
    const std::string accurate = ratio(reporter, "accurate path", "BM_PowAccuratePath", "BM_StdPow");
    std::printf("Correctly rounded / std::pow: %s (goal: at most 10 x); %s, %s\n", power.c_str(), fast.c_str(),
        accurate.c_str());
    benchmark::Shutdown();
    return 0;
}
