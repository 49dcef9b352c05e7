// The numbers of the analysis page, from the expansion in force (engine/Expansion.h): its values
// on a dense grid of [a, b], split into the coarse approximation sum d_k N_(J0,k) and one detail
// curve sum c_(e,i) psi_(J0+e,i) per level, with the wavelet coefficients whose measure is below
// a threshold counted as zero; its error against f; and the error of the expansions that keep
// the K coefficients of largest measure (engine::Measure: |c| ||psi||, or |c|).
//
//   x_(Si+s) = points[i][0] + s h/S   (i = 0 .. 2^J-1, s = 0 .. S-1),   x_(S 2^J) = b
//
// Every curve is a fast inverse transform, O(N m + grid m), the J - J0 + 2 of them
// O((J - J0)(N m + grid m)). Every sample point of the inverse transform is a grid point (s = 0),
// and the whole sum there is the inverse transform's own. The grid's points are those of the
// engine's mesh values, a + (i + s/S) h, computed here.

#include "app/Main_f.h"

#include <algorithm>
#include <cmath>

// 16 points per mesh interval up to J = 10; above, 2^14 points in all up to J = 14, from where
// there is one per interval: more than a chart can show, which draws their envelope.
int TMainForm::densePerInterval() const
{
    return std::clamp((1 << 14) >> finestLevel, 1, 16);
}

void TMainForm::sampleDenseGrid()
{
    const int perInterval = densePerInterval();
    denseGrid.clear();
    for (const auto& point : points)
        for (int s = 0; s < perInterval; ++s)
            denseGrid.push_back(point[0] + s * step / perInterval);
    denseGrid.push_back(b);
}

double TMainForm::shownX(double x) const
{
    if (!expansionRange)
        return x;
    const auto [x0, x1] = *expansionRange;
    if (x == a || x == b)
        return x == a ? x0 : x1;
    return x0 + (x - a) * ((x1 - x0) / (b - a));
}

bool TMainForm::functionKnown() const
{
    return expansion && expansion->origin() == engine::Origin::Function;
}

// The curves of the page under the current threshold, in the order of the series of chAnalysis:
// f when it is known, the reconstruction, the coarse approximation, the details level by level.
DenseMatrix TMainForm::analysisCurves()
{
    const engine::Expansion kept = expansion->thresholded(threshold, thresholdMeasure());
    const int S = densePerInterval();
    DenseMatrix curves;
    if (functionKnown())
        curves.push_back(denseFunction);
    curves.push_back(kept.onMesh(S));
    for (int L = coarsestLevel; L <= finestLevel; ++L)
        curves.push_back(kept.level(L).onMesh(S));
    return curves;
}

// The error can be measured only against a known f that is finite on the whole grid (the
// forward transform checked it only at its own points).
bool TMainForm::errorsKnown() const
{
    return functionKnown()
        && std::ranges::all_of(denseFunction, [](double value) { return std::isfinite(value); });
}

// The largest and the root mean square error of values on the dense grid against f.
engine::Deviation TMainForm::denseError(const std::vector<double>& values) const
{
    return engine::deviation(denseFunction, values);
}

// (K, the largest error of the expansion with every d and the K wavelet coefficients of largest
// measure), equal measures taken in the order of the levels (Expansion::nTermCurve). A threshold keeps
// exactly such a set, so its error is a point of this curve where the curve has that K (up to
// rounding: the curve adds the terms in another order).
QList<QPointF> TMainForm::nTermErrors()
{
    QList<QPointF> errors;
    for (const auto& [K, error] :
        expansion->nTermCurve(denseFunction, densePerInterval(), thresholdMeasure()))
        errors.append({double(K), error});
    return errors;
}
