#pragma once

#include <cmath>

// 2^exponent as a double. Loop bounds that involve powers of two are computed this way and
// compared with the integer index converted to double; they are exact for the degrees used.
inline double pow2(int exponent)
{
    return std::pow(2.0, exponent);
}
