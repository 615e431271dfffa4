#pragma once

// A fixed corpus of random "Calculate Now" runs of both unit systems, made
// from a seed with integer arithmetic alone, so that every platform (x86-64,
// arm64, Windows, WebAssembly) types the same texts and must read back the
// same results. The runs' texts are hashed a block at a time;
// run_corpus_hashes.inc holds the digests that the engine gave when the
// corpus was recorded (run_corpus --write regenerates it).

#include "calc/calculation.h"
#include "calc/tables.h"
#include "support/recording_screen.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvoran::testing::corpus {

inline constexpr std::size_t kRuns = 200000;
inline constexpr std::uint64_t kSeed = 20261208;

// SplitMix64: the same numbers on every platform, unlike the distributions of
// <random>, which differ between standard libraries.
class Random
{
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    { }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }

private:
    std::uint64_t m_state;
};

// A number as a user might type it: mostly plain decimals of up to `digits`
// integer digits, sometimes an exponent, a sign, junk after the number, or a
// text that is no number at all.
inline std::string numberText(Random &random, int digits, bool mayBeNegative)
{
    static constexpr std::array<std::string_view, 12> kOdd{
        "", "abc", "-0", ".5", "1,5", "  7 ", "1e400", "1e-400", "12abc", "0x10", "1.2.3", "1D3"};
    if (random.below(64) == 0)
        return std::string(kOdd[random.below(kOdd.size())]);
    std::uint64_t limit = 1;
    for (int i = 0, n = 1 + static_cast<int>(random.below(static_cast<std::uint64_t>(digits))); i < n; ++i)
        limit *= 10;
    std::string text = mayBeNegative && random.below(24) == 0 ? "-" : "";
    text += std::to_string(random.below(limit));
    if (const auto decimals = random.below(5); decimals > 0) {
        text += '.';
        for (std::uint64_t i = 0; i < decimals; ++i)
            text += static_cast<char>('0' + random.below(10));
    }
    if (random.below(16) == 0)
        text += "E" + std::to_string(static_cast<int>(random.below(13)) - 6);
    return text;
}

// A table entry's number in its shortest text, or, now and then, any number.
inline std::string pickText(Random &random, std::span<const double> entries)
{
    if (random.below(16) == 0)
        return numberText(random, 3, true);
    std::array<char, 32> text{};
    const double value = entries[random.below(entries.size())];
    return {text.data(), std::to_chars(text.data(), text.data() + text.size(), value).ptr};
}

// The texts typed into run `index`'s fields, in the order typed: even runs
// are SI, odd ones British.
inline std::vector<std::pair<std::string_view, std::string>> runInputs(std::size_t index)
{
    Random random(kSeed ^ (static_cast<std::uint64_t>(index) * 0xD1B54A32D192ED03u));
    static constexpr std::array<double, 5> kCFactors{100, 120, 130, 140, 150};
    const auto table = index % 2 == 0 ? calc::siFittingsTable() : calc::britishFittingsTable();
    std::array<double, 14> diameters{};
    for (std::size_t i = 0; i < diameters.size(); ++i)
        diameters[i] = table[i].nominalDiameter;

    namespace f = calc::field;
    std::vector<std::pair<std::string_view, std::string>> inputs;
    inputs.emplace_back(f::kCFactor, pickText(random, kCFactors));
    inputs.emplace_back(f::kDiameter, pickText(random, diameters));
    inputs.emplace_back(f::kLength, numberText(random, 4, true));
    inputs.emplace_back(f::kFlow, numberText(random, 5, true));
    inputs.emplace_back(f::kElevation, numberText(random, 3, true));
    inputs.emplace_back(f::kResidualPressure, numberText(random, 2, true));
    for (const auto count :
        {f::kTees, f::kElbows, f::kLongElbows, f::kButterflyValves, f::kGateValves, f::kSwingCheckValves})
        inputs.emplace_back(count, numberText(random, 1, true));
    return inputs;
}

// Run `index` of the corpus on a freshly opened window. Returns every text
// the run leaves behind: the results, the messages in order, and whether the
// results frame shows.
inline std::string runTexts(std::size_t index)
{
    RecordingScreen screen;
    screen.recordEvents(false);
    for (const auto &[name, text] : runInputs(index))
        screen.type(name, text);
    index % 2 == 0 ? calc::calculateSi(screen) : calc::calculateBritish(screen);

    namespace f = calc::field;
    std::string texts;
    for (const auto name : {f::kFittingsLength, f::kPipeLength, f::kFrictionLoss, f::kElevationPressure,
             f::kPressureDrop, f::kPumpHead, f::kVelocity})
        texts.append(name).append("=").append(screen.fieldText(name)).append("\n");
    for (const auto &message : screen.messages())
        texts.append("error ").append(message).append("\n");
    texts.append(screen.resultsVisible() ? "shown\n" : "hidden\n");
    return texts;
}

// One line for run `index`: its number, what was typed, what it gave. The
// lines of a block from two builds differ just where their runs do.
inline std::string describeRun(std::size_t index)
{
    std::string line = "run " + std::to_string(index) + (index % 2 == 0 ? " SI:" : " British:");
    for (const auto &[name, text] : runInputs(index))
        line.append(" ").append(name).append("='").append(text).append("'");
    std::string texts = runTexts(index);
    texts.pop_back();
    std::replace(texts.begin(), texts.end(), '\n', ';');
    return line.append(" -> ").append(texts);
}

// FNV-1a, 32 bits, continued from `h`: enough to tell a changed block of
// runs from an unchanged one.
inline std::uint32_t hash(std::string_view text, std::uint32_t h = 2166136261u)
{
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

// The runs are recorded a block at a time: one digest of all the texts of
// kBlockRuns runs in a row, which a failing test recomputes run by run.
inline constexpr std::size_t kBlockRuns = 1000;
inline constexpr std::size_t kBlocks = kRuns / kBlockRuns;
static_assert(kBlocks * kBlockRuns == kRuns);

inline std::uint32_t blockDigest(std::size_t block)
{
    std::uint32_t h = hash("");
    for (std::size_t i = block * kBlockRuns; i < (block + 1) * kBlockRuns; ++i)
        h = hash(runTexts(i), h);
    return h;
}

} // namespace kalvoran::testing::corpus
