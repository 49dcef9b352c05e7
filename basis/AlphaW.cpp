// Every wavelet of the finest level as a combination of fine B-splines:
//   alphaW[p][k] = alpha[0][k-2p] - sum over the partners c of p of alpha[p][c] alpha[0][k-2c]
// for the keys k of wavelet p (numerics/Levels.h). A central wavelet has no partners: its row
// is alpha row 0 moved to keys 2p .. 2p+3m-2.

#include "app/Main_f.h"
#include "numerics/Levels.h"

void TMainForm::computeAlphaW()
{
    const int J = finestLevel;
    for (int p : waveletIndices(m, J)) {
        SparseRow row;
        for (int k : waveletKeys(p, m, J)) {
            double s = 0;
            for (int c : partners(p, m, J))
                s += alpha[p][c] * alpha[0][k - 2 * c];
            row.insert({k, alpha[0][k - 2 * p] - s});
        }
        alphaW[p] = row;
    }
}
