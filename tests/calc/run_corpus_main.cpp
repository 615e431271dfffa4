// Prints the corpus's block digests as run_corpus_hashes.inc wants them
// (--write), the texts of one run (--show N), or one line for each run of a
// block (--block B): the same from a good build and a broken one differ just
// at the runs that changed.

#include "run_corpus.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char **argv)
{
    using namespace kalvoran::testing::corpus;
    const std::string_view mode = argc > 1 ? argv[1] : "";
    const std::size_t number = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 0;
    if (mode == "--show" && argc > 2 && number < kRuns) {
        std::fputs(runTexts(number).c_str(), stdout);
        return 0;
    }
    if (mode == "--block" && argc > 2 && number < kBlocks) {
        for (std::size_t i = number * kBlockRuns; i < (number + 1) * kBlockRuns; ++i)
            std::puts(describeRun(i).c_str());
        return 0;
    }
    if (mode != "--write") {
        std::fprintf(stderr, "usage: run_corpus --write > run_corpus_hashes.inc | --show RUN | --block BLOCK\n");
        return 2;
    }
    std::printf("// The digests of the corpus's blocks of %u runs, as recorded; written by run_corpus --write.\n",
        static_cast<unsigned>(kBlockRuns));
    for (std::size_t b = 0; b < kBlocks; ++b)
        std::printf("0x%08x,%c", static_cast<unsigned>(blockDigest(b)), b % 8 == 7 ? '\n' : ' ');
    return 0;
}
