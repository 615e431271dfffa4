// Prints the corpus's hashes as run_corpus_hashes.inc wants them (--write),
// or the texts of one run (--show N), to see what a changed run shows.

#include "run_corpus.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char **argv)
{
    using namespace kalvoran::testing::corpus;
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "--show" && argc > 2) {
        std::fputs(runTexts(std::strtoull(argv[2], nullptr, 10)).c_str(), stdout);
        return 0;
    }
    if (mode != "--write") {
        std::fputs("usage: run_corpus --write > run_corpus_hashes.inc | --show RUN\n", stderr);
        return 2;
    }
    std::puts("// The hashes of the corpus's runs, as recorded; written by run_corpus --write.");
    for (std::size_t i = 0; i < kRuns; ++i)
        std::printf("0x%08x,%c", static_cast<unsigned>(hash(runTexts(i))), i % 8 == 7 ? '\n' : ' ');
    return 0;
}
