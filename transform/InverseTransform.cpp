// The inverse transform: the expansion sum d_k N_(J0,k)(x) + sum c_(e,i) psi_(J0+e,i)(x) at
// the sample points, accumulated term by term in funcValues itself, in the order of the basis:
// the scaling part first, then the wavelet levels from the coarsest to the finest, indices
// increasing.

#include "app/Main_f.h"

void TMainForm::inverseTransform()
{
    const std::vector<BasisFunction> basis = gramBasis();
    for (std::size_t p = 0; p < points.size(); ++p) {
        double& value = funcValues[p][0];
        value = 0;
        for (const BasisFunction& function : basis)
            value += basisValue(function, points[p][0]) * coefficient(function);
    }
    showFunctionValues();
}
