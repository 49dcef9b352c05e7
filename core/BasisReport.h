#pragma once

#include "engine/Basis.h"

#include <QString>

// The report of the basis coefficients betta, alpha and alphaW:
//   betta / b[i]=v ... / alpha / (для центр. wavelet): a[j]=v ... /
//   (для гран. слева wavelet): / one line per left row / (для гран. справа wavelet): /
//   one line per right row / empty line / alphaW / one line per wavelet, left to right.
// A boundary row of alpha lists its partners, a row of alphaW its keys (engine/Levels.h); a key
// outside the row's B-splines reads 0. Every value is rounded to 15 significant digits first
// (through its general text), then written as streamText. A basis built under the exact rule
// says so on the first line: "betta (точное интегрирование)".
QString basisReport(const engine::Basis& basis);
