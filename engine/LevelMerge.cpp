#include "engine/LevelMerge.h"

#include <algorithm>

namespace engine {

namespace {

    // One kind of a level's columns: N_(L-1,k) over k, or psi_(L,p) over p, with coefficient i at
    // c[i]. Columns whole0 .. whole1 are all of `whole`, from key 2i on.
    struct ColumnKind
    {
        const Basis& basis;
        int L;
        bool wavelet;
        const double* c;
        Indices indices = wavelet ? waveletIndices(basis.m(), L) : scalingIndices(basis.m(), L - 1);
        const std::vector<double>& whole = wavelet ? basis.centralWavelet() : basis.betta();
        int whole0 = indices.front(), whole1 = indices.back();

        SplineRow row(int i) const { return wavelet ? basis.wavelet(L, i) : basis.twoScale(L, i); }
        bool isWhole(int i) const
        {
            const SplineRow r = row(i);
            return r.values.data() == whole.data() && r.values.size() == whole.size();
        }
        // The whole columns lie between the cut or boundary ones at the two ends: a few probes
        // from each end find them.
        void findWhole()
        {
            while (whole0 <= whole1 && !isWhole(whole0))
                ++whole0;
            while (whole1 >= whole0 && !isWhole(whole1))
                --whole1;
        }
        int size() const { return int(whole.size()); }
        // The terms of an entry of key 2q + phase: whole[phase + 2s] c[q - s], s = 0 .. this - 1.
        int terms(int phase) const { return (size() - phase + 1) / 2; }
    };

    // The entries [first, last] that only whole columns reach: past the entries of the columns
    // before them, short of those of the columns after them (key r at entry r + m - 1).
    std::pair<int, int> interior(const ColumnKind& kind, int m, int n)
    {
        if (kind.whole0 > kind.whole1)
            return {0, -1};
        int first = 0, last = n - 1;
        for (int i = kind.indices.front(); i < kind.whole0; ++i)
            first = std::max(first, kind.row(i).last() + m);
        for (int i = kind.whole1 + 1; i <= kind.indices.back(); ++i)
            last = std::min(last, kind.row(i).first + m - 2);
        return {first, last};
    }

    // Adds each column's terms to the entries outside [e0, e1], column by column in ascending i;
    // the columns whose entries all lie inside, whole ones in a row, are passed over at once.
    void addOutside(const ColumnKind& kind, int m, int e0, int e1, double* out)
    {
        for (int i = kind.indices.front(); i <= kind.indices.back(); ++i) {
            const SplineRow row = kind.row(i);
            const int first = row.first + m - 1;
            if (first >= e0 && row.last() + m - 1 <= e1) {
                i = std::min(kind.whole1, (e1 - m + 2 - kind.size()) >> 1);
                continue;
            }
            for (std::size_t j = 0; j < row.values.size(); ++j) {
                const int e = first + int(j);
                if (e < e0 || e > e1)
                    out[e] += row.values[j] * kind.c[i];
            }
        }
    }

    // acc plus the terms of the whole columns that reach key r, in ascending i.
    double gather(const ColumnKind& kind, int r, double acc)
    {
        const int last = std::min(kind.whole1, r >> 1);
        for (int i = std::max(kind.whole0, (r - kind.size() + 2) >> 1); i <= last; ++i)
            acc = acc + kind.whole[r - 2 * i] * kind.c[i];
        return acc;
    }

    // The entries of keys 2q .. 2(q + lanes) - 1, every term of both kinds whole: the even keys
    // side by side, the odd ones likewise, each term as gather would add it; M the order, so that
    // the compiler knows the number of terms (m + 1 and 3m - 1 long rows).
    constexpr int lanes = 8;
    template <int M> void gatherLanes(const ColumnKind (&kinds)[2], int q, double* out)
    {
        constexpr int sizes[2] = {M + 1, 3 * M - 1};
        double even[lanes] = {}, odd[lanes] = {};
        auto add = [&](double(&sum)[lanes], const ColumnKind& kind, int t, int s) {
            const double value = kind.whole[t];
            const double* c = kind.c + q - s;
#pragma GCC unroll 8
            for (int l = 0; l < lanes; ++l)
                sum[l] = sum[l] + value * c[l];
        };
        for (int k = 0; k < 2; ++k) {
#pragma GCC unroll 8
            for (int s = (sizes[k] + 1) / 2 - 1; s >= 0; --s)
                add(even, kinds[k], 2 * s, s);
#pragma GCC unroll 8
            for (int s = sizes[k] / 2 - 1; s >= 0; --s)
                add(odd, kinds[k], 2 * s + 1, s);
        }
        for (int l = 0; l < lanes; ++l) {
            out[2 * l] = even[l];
            out[2 * l + 1] = odd[l];
        }
    }

} // namespace

void mergeLevel(
    const Basis& basis, int L, const double* coarse, const double* wavelets, double* out)
{
    const int m = basis.m(), n = (1 << L) + m - 1;
    ColumnKind kinds[2] = {{basis, L, false, coarse + m - 1}, {basis, L, true, wavelets + m - 1}};
    int e0 = 0, e1 = n - 1;
    for (ColumnKind& kind : kinds) {
        kind.findWhole();
        const auto [first, last] = interior(kind, m, n);
        e0 = std::max(e0, first);
        e1 = std::min(e1, last);
    }
    std::fill(out, out + std::max(e0, 0), 0.0);
    std::fill(out + std::max(e1 + 1, e0), out + n, 0.0);
    for (const ColumnKind& kind : kinds)
        addOutside(kind, m, e0, e1, out);
    // Lanes from q on where entry 2q + m - 1 is inside, and every column a lane reaches whole.
    int q = std::max((e0 - m + 2) >> 1, 0);
    int qEnd = (e1 - m + 2) >> 1; // past the last q whose two entries are inside
    for (const ColumnKind& kind : kinds) {
        q = std::max(q, kind.whole0 + kind.terms(0) - 1);
        qEnd = std::min(qEnd, kind.whole1 + 1);
    }
    auto single
        = [&](int e) { out[e] = gather(kinds[1], e - m + 1, gather(kinds[0], e - m + 1, 0.0)); };
    int e = e0;
    for (; e <= e1 && e < 2 * q + m - 1; ++e)
        single(e);
    for (; q + lanes <= qEnd; q += lanes, e += 2 * lanes)
        switch (m) {
        case 2:
            gatherLanes<2>(kinds, q, out + e);
            break;
        case 3:
            gatherLanes<3>(kinds, q, out + e);
            break;
        default:
            gatherLanes<4>(kinds, q, out + e);
        }
    for (; e <= e1; ++e)
        single(e);
}

} // namespace engine
