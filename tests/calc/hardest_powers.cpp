// Searches for the bases x whose x^1.85 and x^4.87 lie closest to a point
// halfway between two doubles: the hardest cases to round, which
// power_mpfr_test.cpp then checks. Every x the fast path cannot decide is
// measured with MPFR; the fast path decides all the others, which lie further
// from a halfway point than its error bound.
//
//   hardest_powers [RANDOM_BASES]
//
// It scans every decimal of up to 7 significant digits from 10^-3 to 10^7
// (the values users type), then RANDOM_BASES random doubles in that range
// (10^8 by default), and prints the closest five for each exponent.

#include "calc/power_detail.h"

#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace {

// The distance of x^y from the nearest halfway point, in units in the last
// place of the double result.
double distanceToHalfway(double x, double y)
{
    mpfr_t base, power, scaled;
    mpfr_inits2(256, base, power, scaled, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(base, x, MPFR_RNDN);
    mpfr_set_d(scaled, y, MPFR_RNDN);
    mpfr_pow(power, base, scaled, MPFR_RNDN);
    // power / ulp, and its distance to the nearest odd multiple of 1/2.
    const long exponent = mpfr_get_exp(power); // power in [2^(exponent-1), 2^exponent)
    mpfr_mul_2si(scaled, power, 53 - exponent, MPFR_RNDN);
    mpfr_frac(scaled, scaled, MPFR_RNDN);
    const double distance = std::fabs(mpfr_get_d(scaled, MPFR_RNDN) - 0.5);
    mpfr_clears(base, power, scaled, static_cast<mpfr_ptr>(nullptr));
    return distance;
}

struct Search
{
    double y;
    std::multimap<double, double> closest; // distance -> x, the five closest
    long measured = 0;

    void consider(double x)
    {
        if (kalvoran::calc::detail::fastPow(x, y))
            return;
        ++measured;
        closest.emplace(distanceToHalfway(x, y), x);
        if (closest.size() > 5)
            closest.erase(std::prev(closest.end()));
    }
};

} // namespace

int main(int argc, char **argv)
{
    const long randomBases = argc > 1 ? std::atol(argv[1]) : 100'000'000;
    Search searches[]{{1.85, {}}, {4.87, {}}};
    for (int digits = 1; digits <= 7; ++digits) {
        const long first = std::lround(std::pow(10, digits - 1));
        for (int decade = -3 - (digits - 1); decade <= 7 - digits; ++decade) {
            for (long n = first; n < first * 10; ++n) {
                // Both operands exact, so x is the decimal rounded once, as typed.
                const double x = decade < 0 ? static_cast<double>(n) / std::pow(10.0, -decade)
                                            : static_cast<double>(n) * std::pow(10.0, decade);
                for (Search &s : searches)
                    s.consider(x);
            }
        }
    }
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> log10Base(-3, 7);
    for (long i = 0; i < randomBases; ++i) {
        const double x = std::pow(10.0, log10Base(random));
        for (Search &s : searches)
            s.consider(x);
    }
    for (const Search &s : searches) {
        std::printf("y = %g: %ld bases measured\n", s.y, s.measured);
        for (const auto &[distance, x] : s.closest)
            std::printf("  x = %a (%.17g): %.3g ulp from halfway\n", x, x, distance);
    }
    return 0;
}
