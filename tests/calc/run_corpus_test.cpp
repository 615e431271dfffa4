// Every text of the corpus's 200 000 runs is the one recorded: the engine
// gives the same digits on every platform these tests run on.

#include "run_corpus.h"

#include "calc/power_detail.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>

namespace {

constexpr std::uint32_t kRecorded[]{
#include "run_corpus_hashes.inc"
};
static_assert(std::size(kRecorded) == kalvoran::testing::corpus::kRuns);

TEST(RunCorpus, EveryRunGivesTheRecordedTexts)
{
    using namespace kalvoran::testing::corpus;
    const std::uint64_t accurateBefore = kalvoran::calc::detail::accuratePathRuns();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < kRuns; ++i) {
        if (hash(runTexts(i)) == kRecorded[i])
            continue;
        if (++differing <= 5)
            ADD_FAILURE() << "run " << i << " now gives:\n" << runTexts(i);
    }
    EXPECT_EQ(differing, 0u) << "runs of " << kRuns << " whose texts differ";
    std::cout << "The power's accurate path ran " << kalvoran::calc::detail::accuratePathRuns() - accurateBefore
              << " times in the " << kRuns << " runs.\n";
}

} // namespace
