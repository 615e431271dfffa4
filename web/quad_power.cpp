// powq for WebAssembly, where long double is binary128 and there is no
// libquadmath: wasi-libc's powl, which is only the double pow in binary128
// (wasi-libc ld128 powl falls back to pow; no upstream bug found), so a few
// results may differ in their last digit. Goes once calc/ computes its power
// without powq.

#include <cmath>

extern "C" __float128 powq(__float128 x, __float128 y)
{
    return powl(static_cast<long double>(x), static_cast<long double>(y));
}
