#include "graphs/GraphSamples.h"

#include <algorithm>

GraphSamples::GraphSamples(
    std::shared_ptr<const LevelFunctions> functions, const std::vector<int>& indices, bool whole)
    : functions(std::move(functions))
{
    const engine::BasisParameters& basis = this->functions->parameters();
    const std::size_t samples = std::size_t(2 * basis.m) << basis.J;
    const double step = (basis.b - basis.a) / double(1 << basis.J);
    abscissae.reserve(samples);
    for (double x = basis.a; x <= basis.b && abscissae.size() < samples;
         x = x + step / (2 * basis.m))
        abscissae.push_back(x);
    const int columns = int(abscissae.size());
    for (int index : indices) {
        if (whole) {
            curves.push_back({index, 0, columns - 1});
            continue;
        }
        const auto [left, right] = this->functions->support(index);
        const auto first = std::ranges::lower_bound(abscissae, left);
        const auto end = std::ranges::upper_bound(abscissae, right);
        curves.push_back({index, int(first - abscissae.begin()), int(end - abscissae.begin()) - 1});
    }
}

double GraphSamples::value(int curve, int column) const
{
    const Curve& c = curves[curve];
    return column < c.first || column > c.last ? 0.0 : functions->value(c.index, abscissae[column]);
}
