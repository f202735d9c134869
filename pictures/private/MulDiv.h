// MulDiv as GDI code knows it: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0
// or the result does not fit an int.
#pragma once

#include <cstdint>
#include <limits>

inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t num = std::int64_t(a) * b;
    const std::int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const std::int64_t an = num < 0 ? -num : num;
    const std::int64_t ad = den < 0 ? -den : den;
    std::int64_t q = (an + ad / 2) / ad;
    if (negative)
        q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min())
        return -1;
    return int(q);
}
