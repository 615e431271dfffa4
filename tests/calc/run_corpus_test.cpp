// Every text of the corpus's 200 000 runs is the one recorded: the engine
// gives the same digits on every platform these tests run on.

#include "run_corpus.h"

#include "calc/power_detail.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>

namespace {

constexpr std::uint32_t kRecorded[]{
#include "run_corpus_hashes.inc"
};
static_assert(std::size(kRecorded) == kalvoran::testing::corpus::kBlocks);

TEST(RunCorpus, EveryRunGivesTheRecordedTexts)
{
    using namespace kalvoran::testing::corpus;
    const std::uint64_t accurateBefore = kalvoran::calc::detail::accuratePathRuns();
    std::size_t differing = 0;
    for (std::size_t b = 0; b < kBlocks; ++b) {
        if (blockDigest(b) == kRecorded[b])
            continue;
        // Only the first differing block in full: a broken formula breaks them all.
        if (++differing > 1)
            continue;
        std::string lines;
        for (std::size_t i = b * kBlockRuns; i < (b + 1) * kBlockRuns; ++i)
            lines.append(describeRun(i)).append("\n");
        ADD_FAILURE() << "block " << b << " (runs " << b * kBlockRuns << " to " << (b + 1) * kBlockRuns - 1
                      << ") differs; its runs now give:\n"
                      << lines << "The runs that changed are the lines that differ from run_corpus --block " << b
                      << " built from the last good commit.";
    }
    EXPECT_EQ(differing, 0u) << "blocks of " << kBlockRuns << " runs, of " << kBlocks << ", whose texts differ";
    std::cout << "The power's accurate path ran " << kalvoran::calc::detail::accuratePathRuns() - accurateBefore
              << " times in the " << kRuns << " runs.\n";
}

} // namespace
