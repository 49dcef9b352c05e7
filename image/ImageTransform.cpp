#include "image/ImageTransform.h"

#include "data/SampleFit.h"
#include "data/SampledData.h"
#include "engine/Norms.h"

#include <algorithm>
#include <cmath>

namespace image {

namespace {

    constexpr int largestSide = (1 << engine::largestFinestLevel) + 1;

    // 2^L + m - 1, the B-splines N_(L,k) of level L.
    int splineCount(int m, int L)
    {
        return int(scalingIndices(m, L).size());
    }

    // The smallest level J with 2^J >= pixels - 1.
    int levelFor(int pixels)
    {
        int J = 0;
        while ((1 << J) < pixels - 1)
            ++J;
        return J;
    }

    // One step of the pyramid at level L: where each axis is and whether it splits.
    struct Step
    {
        int Lx, Ly, J0;
        bool x, y;
        // The levels of the B-splines along x and y before the step and after it.
        int xBefore() const { return std::max(Lx, J0); }
        int yBefore() const { return std::max(Ly, J0); }
        int xAfter() const { return std::max(Lx - 1, J0); }
        int yAfter() const { return std::max(Ly - 1, J0); }
    };
    Step stepAt(const ImageParameters& p, int L)
    {
        const int Jmax = std::max(p.Jx, p.Jy), Lx = L - (Jmax - p.Jx), Ly = L - (Jmax - p.Jy);
        return {Lx, Ly, p.J0, Lx > p.J0, Ly > p.J0};
    }

    engine::BasisParameters alongAxis(const ImageParameters& p, int J)
    {
        return {p.m, J, p.J0, p.rule};
    }

    // Many vectors in one array: value i of vector r at data[r between + i along]; as
    // engine::Strided, and read-only where T is const (the pixels).
    template <class T> struct Vectors
    {
        T* data;
        std::size_t count;
        std::ptrdiff_t along, between;

        operator Vectors<const T>() const { return {data, count, along, between}; }
        T& at(std::size_t r, std::size_t i) const
        {
            return data[std::ptrdiff_t(r) * between + std::ptrdiff_t(i) * along];
        }
    };

    // The vectors a group takes: as many as the band solves take at once.
    constexpr std::size_t group = engine::BandLU::lanes;

    // Calls step(in, out) for groups of `group` vectors: `in` holds their inSize values each,
    // interleaved (value i of vector g at [i group + g]; the vectors past the last are 0), and
    // the outSize values each that step leaves in `out`, interleaved alike, go to the same
    // vectors of `target`. A group of neighbouring columns reads and writes whole cache lines.
    // The buffers are kept per thread from one call to the next: fresh pages cost more than the
    // work done in them. O(vectors (inSize + outSize)).
    template <class Step>
    void inGroups(Vectors<const double> source, std::size_t inSize, Vectors<double> target,
        std::size_t outSize, Step step)
    {
        thread_local std::vector<double> in, out;
        in.resize(group * inSize);
        out.resize(group * outSize);
        for (std::size_t r0 = 0; r0 < source.count; r0 += group) {
            const std::size_t count = std::min(group, source.count - r0);
            for (std::size_t i = 0; i < inSize; ++i)
                for (std::size_t g = 0; g < group; ++g)
                    in[i * group + g] = g < count ? source.at(r0 + g, i) : 0.0;
            step(in.data(), out.data());
            for (std::size_t i = 0; i < outSize; ++i)
                for (std::size_t g = 0; g < count; ++g)
                    target.at(r0 + g, i) = out[i * group + g];
        }
    }

    // ||N_(L,k)|| for k = 1-m .. 2^L-1, or ||psi_(L,p)|| for the wavelets of level L.
    std::vector<double> axisNorms(const engine::Transform& transform, int L, bool wavelet)
    {
        if (wavelet) {
            const std::span<const double> c = transform.basisNorms().level(L);
            return {c.begin(), c.end()};
        }
        const engine::SplineNorm norm(transform.basis(), L);
        std::vector<double> norms;
        const double one = 1.0;
        for (int k : scalingIndices(transform.basis().m(), L))
            norms.push_back(std::sqrt(norm.squared(k, std::span(&one, 1))));
        return norms;
    }

    std::string text(const ImageParameters& p)
    {
        return "m=" + std::to_string(p.m) + ", Jx=" + std::to_string(p.Jx)
            + ", Jy=" + std::to_string(p.Jy) + ", J0=" + std::to_string(p.J0) + ", "
            + (p.rule == engine::Rule::Exact ? "exact" : "default");
    }

} // namespace

ImageParameters defaultParameters(int width, int height, int m, engine::Rule rule)
{
    if (width < 2 || height < 2 || width > largestSide || height > largestSide)
        throw DataError("Изображение " + std::to_string(width) + " × " + std::to_string(height)
            + ": по ширине и по высоте нужно от 2 до " + std::to_string(largestSide)
            + " пикселей.");
    ImageParameters p {m, rule};
    if (m < 2 || m > 4) // no levels to compute: the check throws for the order first
        engine::checkParameters(alongAxis(p, 0));
    p.J0 = engine::smallestCoarsestLevel(m, rule);
    const int lowest = engine::smallestFinestLevel(m, p.J0);
    p.Jx = std::max(lowest, levelFor(width));
    p.Jy = std::max(lowest, levelFor(height));
    return p;
}

int coefficientColumns(const ImageParameters& p)
{
    return splineCount(p.m, p.Jx);
}

int coefficientRows(const ImageParameters& p)
{
    return splineCount(p.m, p.Jy);
}

// Level by level from J0 + 1: the block of level L - 1 at the top left, the detail along x to
// its right, along y below it, along both to the lower right:
//
//     +--------+-----+
//     | coarse |  X  |     rows:    B-splines of the level after the step along y
//     +--------+-----+
//     |   Y    | XY  |     rows:    wavelets of level Ly
//     +--------+-----+
//      columns: B-splines after the step along x | wavelets of level Lx
std::vector<BandPlace> bandPlaces(const ImageParameters& p)
{
    const int m = p.m, coarse = splineCount(m, p.J0);
    std::vector<BandPlace> bands {
        {Band::Coarse, p.J0, 0, 0, coarse, coarse, 1 - m, 1 - m, p.J0, p.J0}};
    for (int L : waveletLevels(p.J0, std::max(p.Jx, p.Jy))) {
        const Step s = stepAt(p, L);
        const int columns = splineCount(m, s.xAfter()), rows = splineCount(m, s.yAfter());
        if (s.x)
            bands.push_back(
                {Band::X, L, columns, 0, waveletCount(s.Lx), rows, 1 - m, 1 - m, s.Lx, s.yAfter()});
        if (s.y)
            bands.push_back(
                {Band::Y, L, 0, rows, columns, waveletCount(s.Ly), 1 - m, 1 - m, s.xAfter(), s.Ly});
        if (s.x && s.y)
            bands.push_back({Band::XY, L, columns, rows, waveletCount(s.Lx), waveletCount(s.Ly),
                1 - m, 1 - m, s.Lx, s.Ly});
    }
    return bands;
}

// The B-splines at the pixels t_i = i / (pixels - 1) as Transform::splineValues takes them: those
// of the interval floor(t_i / h) and the m - 1 before it that meet [0, 1].
struct ImageTransform::Axis
{
    Axis(std::shared_ptr<const engine::Transform> along, int pixelCount)
        : transform(std::move(along))
        , pixels(pixelCount)
        , spline(transform->basis(), positions())
    {
        const engine::Basis& basis = transform->basis();
        const int m = basis.m(), J = basis.finestLevel(), N = 1 << J;
        const std::vector<double> t = positions();
        for (int i = 0; i < pixels; ++i) {
            const int interval = int(std::floor(std::clamp(t[i] * N, 0.0, 1.0 * N)));
            const int k0 = std::max(interval - m + 1, 1 - m), k1 = std::min(interval, N - 1);
            first.push_back(k0);
            count.push_back(k1 - k0 + 1);
            for (int j = 0; j < m; ++j)
                value.push_back(k0 + j <= k1 ? basis.splineValue(J, k0 + j, t[i]) : 0.0);
        }
    }

    std::vector<double> positions() const
    {
        std::vector<double> t(pixels);
        for (int i = 0; i < pixels; ++i)
            t[i] = double(i) / (pixels - 1);
        return t;
    }

    // 2^J + m - 1, the coefficients of a vector along this axis.
    std::size_t coefficients() const
    {
        return std::size_t(splineCount(transform->basis().m(), transform->basis().finestLevel()));
    }

    // Each vector's `pixels` values in `source` replaced with the 2^J + m - 1 coefficients of
    // the finest spline through them in `target` (the same vectors, or others of room enough):
    // the fit's level, merged with zero wavelets up to J (the two-scale relation). O(vectors
    // 2^J m).
    void fit(Vectors<const double> source, Vectors<double> target) const
    {
        const int J = transform->basis().finestLevel();
        const std::size_t n = coefficients(), fitted = std::size_t(spline.coefficientCount());
        inGroups(source, pixels, target, n, [&](const double* in, double* out) {
            thread_local std::vector<double> work;
            work.resize(spline.workSize() * group);
            spline.solveLanes(in, out, work.data());
            std::fill(out + fitted * group, out + n * group, 0.0);
            for (int L = spline.level() + 1; L <= J; ++L)
                transform->merge(L, {out, group, std::ptrdiff_t(group), 1});
        });
    }

    // Each vector's 2^J + m - 1 coefficients replaced with the spline's values at the pixels,
    // sum of s_k N_(J,k)(t_i) from 0.0 in ascending k. O(vectors pixels m).
    void evaluate(Vectors<double> vectors) const
    {
        const int m = transform->basis().m();
        inGroups(Vectors<const double>(vectors), coefficients(), vectors, pixels,
            [&](const double* in, double* out) {
                for (int i = 0; i < pixels; ++i, out += group) {
                    const double* c = in + std::size_t(first[i] + m - 1) * group;
                    const double* v = value.data() + std::size_t(i) * m;
                    double sum[group] = {};
                    for (int j = 0; j < count[i]; ++j, c += group)
                        for (std::size_t g = 0; g < group; ++g)
                            sum[g] += c[g] * v[j];
                    std::copy_n(sum, group, out);
                }
            });
    }

    std::shared_ptr<const engine::Transform> transform;
    int pixels;
    SplineFit spline;
    // At pixel i the B-splines first[i] .. first[i] + count[i] - 1, values [i m ..].
    std::vector<int> first, count;
    std::vector<double> value;
};

ImageTransform::ImageTransform(const ImageParameters& parameters, int width, int height)
    : parameters_(parameters)
    , width_(width)
    , height_(height)
{
    const ImageParameters& p = parameters_;
    engine::checkParameters(alongAxis(p, p.Jx));
    engine::checkParameters(alongAxis(p, p.Jy));
    auto refuse = [](const char* axis, int J, int pixels, const char* side, const char* size) {
        throw DataError(std::string("Сплайн уровня ") + axis + " = " + std::to_string(J)
            + " проходит не более чем через " + std::to_string((1 << J) + 1) + " пикселей " + side
            + ", а " + size + " изображения — " + std::to_string(pixels) + "; увеличьте " + axis
            + ".");
    };
    if (width < 2 || height < 2)
        throw DataError("Изображение " + std::to_string(width) + " × " + std::to_string(height)
            + ": по ширине и по высоте нужно не меньше 2 пикселей.");
    if (width > (1 << p.Jx) + 1)
        refuse("Jx", p.Jx, width, "строки", "ширина");
    if (height > (1 << p.Jy) + 1)
        refuse("Jy", p.Jy, height, "столбца", "высота");
    x_ = std::make_shared<const engine::Transform>(alongAxis(p, p.Jx));
    y_ = p.Jy == p.Jx ? x_ : std::make_shared<const engine::Transform>(alongAxis(p, p.Jy));
    columns_ = std::make_shared<const Axis>(x_, width);
    rows_ = std::make_shared<const Axis>(y_, height);

    const int nx = coefficientColumns(p);
    norms_.resize(std::size_t(nx) * coefficientRows(p));
    for (const BandPlace& band : bands()) {
        const bool waveletX = band.band == Band::X || band.band == Band::XY;
        const bool waveletY = band.band == Band::Y || band.band == Band::XY;
        const std::vector<double> x = axisNorms(*x_, band.levelX, waveletX);
        const std::vector<double> y = axisNorms(*y_, band.levelY, waveletY);
        for (int j = 0; j < band.rows; ++j)
            for (int i = 0; i < band.columns; ++i)
                norms_[std::size_t(band.row + j) * nx + band.column + i] = x[i] * y[j];
    }
}

// The pyramid from the finest level down: along x for the rows of the block, then along y for
// its columns (all of them, the details along x too). O(N m).
void ImageTransform::decompose(double* c) const
{
    const ImageParameters& p = parameters_;
    const std::ptrdiff_t nx = coefficientColumns(p);
    for (int L = std::max(p.Jx, p.Jy); L > p.J0; --L) {
        const Step s = stepAt(p, L);
        const std::size_t columns = splineCount(p.m, s.xBefore()),
                          rows = splineCount(p.m, s.yBefore());
        if (s.x)
            x_->split(s.Lx, {c, rows, 1, nx});
        if (s.y)
            y_->split(s.Ly, {c, columns, nx, 1});
    }
}

// The pyramid's steps undone from the coarsest level up, each in the reverse order. O(N m).
void ImageTransform::compose(double* c) const
{
    const ImageParameters& p = parameters_;
    const std::ptrdiff_t nx = coefficientColumns(p);
    for (int L : waveletLevels(p.J0, std::max(p.Jx, p.Jy))) {
        const Step s = stepAt(p, L);
        const std::size_t columns = splineCount(p.m, s.xBefore()),
                          rows = splineCount(p.m, s.yBefore());
        if (s.y)
            y_->merge(s.Ly, {c, columns, nx, 1});
        if (s.x)
            x_->merge(s.Lx, {c, rows, 1, nx});
    }
}

// Along x, the spline through every row's pixels in the rows of the array, then along y the
// spline through every column of those: the finest tensor spline's coefficients. Then the
// pyramid, in place. O(N m^2) time, no memory but the coefficients' and O(2^J) for a group.
ImageCoefficients ImageTransform::forward(const Pixels& pixels) const
{
    requireSize(pixels);
    const std::size_t nx = std::size_t(coefficientColumns(parameters_)),
                      ny = std::size_t(coefficientRows(parameters_));
    ImageCoefficients result {parameters_, int(nx), int(ny), std::vector<double>(nx * ny)};
    double* c = result.values.data();
    const std::size_t width = std::size_t(width_), height = std::size_t(height_);
    columns_->fit({pixels.values.data(), height, 1, std::ptrdiff_t(width)},
        {c, height, 1, std::ptrdiff_t(nx)});
    rows_->fit({c, nx, std::ptrdiff_t(nx), 1}, {c, nx, std::ptrdiff_t(nx), 1});
    decompose(c);
    return result;
}

// The finest tensor spline from the pyramid; its values at the pixels along x in every row of
// its coefficients, then along y in the first `width` columns; the pixels moved together.
// O(N m) time, no memory but the pixels' and O(2^J) for a group.
Pixels ImageTransform::inverse(const ImageCoefficients& coefficients) const
{
    requireBasis(coefficients);
    const std::size_t nx = std::size_t(coefficients.nx), ny = std::size_t(coefficients.ny);
    const std::size_t width = std::size_t(width_), height = std::size_t(height_);
    Pixels result {width_, height_, coefficients.values};
    double* c = result.values.data();
    compose(c);
    columns_->evaluate({c, ny, 1, std::ptrdiff_t(nx)});
    rows_->evaluate({c, width, std::ptrdiff_t(nx), 1});
    for (std::size_t y = 0; y < height; ++y) // row y moves to y width <= y nx
        std::copy_n(c + y * nx, width, c + y * width);
    result.values.resize(width * height);
    if (result.values.capacity() > result.values.size() / 4 * 5) // up to 4 times for some sizes
        result.values.shrink_to_fit();
    return result;
}

// The pixels must be width x height and finite.
void ImageTransform::requireSize(const Pixels& pixels) const
{
    if (pixels.width != width_ || pixels.height != height_
        || pixels.values.size() != std::size_t(width_) * height_)
        throw DataError("Изображение " + std::to_string(pixels.width) + " × "
            + std::to_string(pixels.height) + " пикселей, а преобразование построено для "
            + std::to_string(width_) + " × " + std::to_string(height_) + ".");
    const auto bad
        = std::ranges::find_if(pixels.values, [](double v) { return !std::isfinite(v); });
    if (bad != pixels.values.end()) {
        const std::size_t at = std::size_t(bad - pixels.values.begin());
        throw DataError("Значение пикселя x = " + std::to_string(at % width_)
            + ", y = " + std::to_string(at / width_) + " — не конечное число.");
    }
}

void ImageTransform::requireBasis(const ImageCoefficients& coefficients) const
{
    const int nx = coefficientColumns(parameters_), ny = coefficientRows(parameters_);
    if (!(coefficients.parameters == parameters_) || coefficients.nx != nx || coefficients.ny != ny
        || coefficients.values.size() != std::size_t(nx) * ny)
        throw DataError("Коэффициенты (" + text(coefficients.parameters) + ", "
            + std::to_string(coefficients.values.size())
            + " чисел) не относятся к базису этого преобразования (" + text(parameters_) + ", "
            + std::to_string(std::size_t(nx) * ny) + " чисел).");
}

} // namespace image
