// powq for WebAssembly, where long double is binary128 and there is no
// libquadmath. Fault: wasi-libc's (musl's) binary128 powl is only the double
// pow, so a result may differ in its last digit; no upstream bug for powl (the
// same for log1pl: emscripten-core/emscripten#22123). Goes once calc/
// computes its power without powq.

#include <cmath>

extern "C" __float128 powq(__float128 x, __float128 y)
{
    return powl(static_cast<long double>(x), static_cast<long double>(y));
}
