// Every wavelet of the finest level as a combination of fine B-splines: alphaW[p][k].
//
//   left boundary  p = 1-m .. -1:          k = 1-m .. 2p+3m-2
//   central        p = 0 .. H-2m+1:        k = 2p .. 2p+3m-2,   alphaW[p][k] = alpha[0][k-2p]
//   right boundary p = H-2m+2 .. H-m:      k = 2p .. 2^J-1
// A boundary wavelet is its central translate minus its partner combination (computeAlpha).

#include "app/Main_f.h"
#include "numerics/Levels.h"

void TMainForm::computeAlphaW()
{
    const double H = pow2(finestLevel - 1);
    for (int p = 1 - m; p <= -1; ++p)
        alphaW[p] = boundaryWavelet(p, 1 - m, 2 * p + 3 * m - 2, 2 - 2 * m);
    SparseRow work;
    for (int p = 0; p <= H - 2 * m + 1; ++p) {
        for (int k = 2 * p; k <= 2 * p + 3 * m - 2; ++k)
            work.insert({k, alpha[0][k - 2 * p]});
        alphaW[p] = work;
        work.clear();
    }
    for (int p = int(H - 2 * m + 2); p <= H - m; ++p)
        alphaW[p] = boundaryWavelet(p, 2 * p, int(pow2(finestLevel)) - 1, int(H - m + 1));
}

// alphaW[p][k] = alpha[0][k-2p] - sum over the m - 1 partners c = firstPartner .. of
// alpha[p][c] alpha[0][k-2c], for k = firstKey .. lastKey.
SparseRow TMainForm::boundaryWavelet(int p, int firstKey, int lastKey, int firstPartner)
{
    SparseRow row;
    for (int k = firstKey; k <= lastKey; ++k) {
        double s = 0;
        for (int c = firstPartner; c <= firstPartner + m - 2; ++c)
            s += alpha[p][c] * alpha[0][k - 2 * c];
        row.insert({k, alpha[0][k - 2 * p] - s});
    }
    return row;
}
