#pragma once

#include "engine/Basis.h"
#include "engine/Coefficients.h"

#include <functional>

// The reference the fast transform is checked and timed against: the coefficients of the
// projection of f on the multilevel basis N_(J0,k), psi_(L,p) from the Gram system of that
// basis, every entry summed by the quadrature of the scalar product from the functions' values
// at the quadrature points, solved by LU with partial pivoting (LAPACK). O(N^2) memory and
// O(N^3) time: for small J only.
engine::Coefficients denseForward(
    const engine::Basis& basis, const std::function<double(double)>& f);
