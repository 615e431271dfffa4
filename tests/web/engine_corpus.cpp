// The run corpus as a WebAssembly command: every run's texts against the
// hashes the native engine recorded. Prints the first differing runs, then
// "differing N of RUNS"; exits 1 when any differ.

#include "calc/run_corpus.h"

#include <cstdint>
#include <cstdio>
#include <iterator>

namespace {

constexpr std::uint32_t kRecorded[]{
#include "calc/run_corpus_hashes.inc"
};
static_assert(std::size(kRecorded) == kalvoran::testing::corpus::kRuns);

} // namespace

int main()
{
    using namespace kalvoran::testing::corpus;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < kRuns; ++i) {
        if (hash(runTexts(i)) == kRecorded[i])
            continue;
        if (++differing <= 5)
            std::printf("run %zu now gives:\n%s", i, runTexts(i).c_str());
    }
    std::printf("differing %zu of %zu\n", differing, kRuns);
    return differing == 0 ? 0 : 1;
}
