// The inverse transform: the expansion sum d_k N_(J0,k)(x) + sum c_(e,i) psi_(J0+e,i)(x) at
// the sample points, accumulated term by term in funcValues itself: the scaling part first,
// then the wavelet levels from the coarsest to the finest, indices increasing.

#include "app/Main_f.h"
#include "numerics/Levels.h"

void TMainForm::inverseTransform()
{
    const int J0 = coarsestLevel;
    const double s = (b - a) / pow2(J0);
    for (std::size_t p = 0; p < points.size(); ++p) {
        const double x = points[p][0];
        double& value = funcValues[p][0];
        value = 0;
        for (int k = 1 - m; k <= pow2(J0) - 1; ++k)
            value += bspline(a, m - 1, k, x, s) * coeffD[0][k];
        for (int e = 1; e <= finestLevel - J0; ++e)
            for (int i = 1 - m; i <= pow2(J0 + e - 1) - m; ++i)
                value += waveletValue(x, i, J0 + e) * coeffC[e][i];
    }
    showFunctionValues();
}
