#pragma once

#include <algorithm>
#include <cmath>
#include <ranges>

// The index ranges of the spline-wavelet basis of degree m on [a, b], each written once.
//
// Level L divides [a, b] into the 2^L mesh intervals i = 0 .. 2^L-1 of spacing (b - a)/2^L.
// Its B-splines N_(L,k), of degree m - 1, span m intervals each; those that meet [a, b] are the
// scaling indices k = 1-m .. 2^L-1. Its wavelets psi_(L,p), H = 2^(L-1) of them, are
// p = 1-m .. H-m, in three classes; wavelet p combines the B-splines k (its keys) shown below:
//
//          a                                                                           b
//          |<-- left boundary -->|<------------ central ------------>|<-- right boundary -->|
//     p     1-m     ..     -1      0            ..            H-2m+1   H-2m+2   ..    H-m
//     k     1-m  ..  2p+3m-2       2p  ..  2p+3m-2                     2p  ..  2^L-1
//
// A central wavelet is the translate psi_p of the pattern alpha[0][0 .. 3m-2] to keys 2p ..
// 2p+3m-2, inside [a, b]. A boundary wavelet is its translate cut off at a or b, less a
// combination of m - 1 partner translates that cross the same end: c = 2-2m .. -m on the left,
// H-m+1 .. H-1 on the right. The combination makes it orthogonal to the m - 1 B-splines of level
// L - 1 that cross that end: l = 1-m .. -1 on the left, H-m+1 .. H-1 on the right.

// 2^exponent as a double, for the mesh spacings (b - a)/2^L; exact for the levels used.
inline double pow2(int exponent)
{
    return std::pow(2.0, exponent);
}

// first .. last, both included; empty when last < first.
using Indices = std::ranges::iota_view<int, int>;
inline Indices indices(int first, int last)
{
    return Indices(first, std::max(first, last + 1));
}

// H = 2^(L-1), the number of wavelets of level L >= 1.
inline int waveletCount(int L)
{
    return 1 << (L - 1);
}

// The mesh intervals of level L, i = 0 .. 2^L-1; on the finest level, also the sample points.
inline Indices meshIntervals(int L)
{
    return indices(0, (1 << L) - 1);
}

inline Indices scalingIndices(int m, int L)
{
    return indices(1 - m, (1 << L) - 1);
}

inline Indices waveletIndices(int m, int L)
{
    return indices(1 - m, waveletCount(L) - m);
}

// The levels with wavelet coefficients, J0+1 .. J; level L is row L - J0 of coeffC.
inline Indices waveletLevels(int J0, int J)
{
    return indices(J0 + 1, J);
}

// The wavelets of levels J0+1 .. J: 2^J0 + 2^(J0+1) + ... + 2^(J-1).
inline int waveletTotal(int J0, int J)
{
    return (1 << J) - (1 << J0);
}

enum class WaveletClass
{
    LeftBoundary,
    Central,
    RightBoundary
};

// Where the classes overlap (m = 4 on level 3) a negative index is a left one. An index past
// the right boundary, which no wavelet has, is summed like a left one.
inline WaveletClass waveletClass(int p, int m, int L)
{
    const int H = waveletCount(L);
    if (p < 0 || p > H - m)
        return WaveletClass::LeftBoundary;
    return p <= H - 2 * m + 1 ? WaveletClass::Central : WaveletClass::RightBoundary;
}

// The keys 2p .. 2p+3m-2 of the translate psi_p of the central wavelet.
inline Indices translateKeys(int p, int m)
{
    return indices(2 * p, 2 * p + 3 * m - 2);
}

// The B-splines of level L that wavelet p of level L combines.
inline Indices waveletKeys(int p, int m, int L)
{
    const WaveletClass kind = waveletClass(p, m, L);
    const int first = kind == WaveletClass::LeftBoundary ? 1 - m : 2 * p;
    const int last = kind == WaveletClass::RightBoundary ? (1 << L) - 1 : 2 * p + 3 * m - 2;
    return indices(first, last);
}

// The m - 1 consecutive indices at the end of boundary wavelet p of level L: from leftFirst on
// the left, from H-m+1 on the right; none for a central wavelet.
inline Indices boundaryGroup(int p, int m, int L, int leftFirst)
{
    switch (waveletClass(p, m, L)) {
    case WaveletClass::LeftBoundary:
        return indices(leftFirst, leftFirst + m - 2);
    case WaveletClass::RightBoundary:
        return indices(waveletCount(L) - m + 1, waveletCount(L) - 1);
    case WaveletClass::Central:
        break;
    }
    return {};
}

// The partner translates of wavelet p of level L.
inline Indices partners(int p, int m, int L)
{
    return boundaryGroup(p, m, L, 2 - 2 * m);
}

// The B-splines of level L - 1 that cross the end of wavelet p of level L.
inline Indices crossingSplines(int p, int m, int L)
{
    return boundaryGroup(p, m, L, 1 - m);
}
