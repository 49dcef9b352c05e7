#include "graphs/Envelope.h"

#include <algorithm>
#include <array>
#include <cmath>

QList<QPointF> pixelEnvelope(std::span<const double> x, std::span<const double> y, int columns)
{
    QList<QPointF> kept;
    if (x.empty())
        return kept;
    kept.reserve(qsizetype(std::min(x.size(), 4 * std::size_t(columns))));
    const double left = x.front(), width = x.back() - left;
    auto columnOf = [&](std::size_t q) {
        return width > 0 ? std::min(int((x[q] - left) / width * columns), columns - 1) : 0;
    };
    int column = -1; // the column of the samples [first .. last]; none yet
    std::size_t first = 0, low = 0, high = 0, last = 0;
    auto close = [&] {
        const std::array<std::size_t, 4> order {
            first, std::min(low, high), std::max(low, high), last};
        for (std::size_t i = 0; i < order.size(); ++i)
            if (i == 0 || order[i] != order[i - 1])
                kept.append({x[order[i]], y[order[i]]});
    };
    for (std::size_t q = 0; q < y.size(); ++q) {
        if (!std::isfinite(y[q]))
            continue;
        if (columnOf(q) != column) {
            if (column >= 0)
                close();
            column = columnOf(q);
            first = low = high = q;
        }
        low = y[q] < y[low] ? q : low;
        high = y[q] > y[high] ? q : high;
        last = q;
    }
    if (column >= 0)
        close();
    return kept;
}
