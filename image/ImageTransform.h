#pragma once

#include "engine/Transform.h"

#include <memory>
#include <vector>

namespace image {

// One grey image, or one channel of a colour image: width x height values, row after row, pixel
// (x, y) at [y * width + x], row y = 0 at the top. The pixels are equally spaced over [0, 1]^2
// with the first and the last on the edges: column x at t = x / (width - 1), row y at
// s = y / (height - 1).
struct Pixels
{
    int width = 0, height = 0;
    std::vector<double> values;

    double& at(int x, int y) { return values[std::size_t(y) * width + x]; }
    double at(int x, int y) const { return values[std::size_t(y) * width + x]; }
};

// What a two-dimensional basis is built for: the order m, the rule of the scalar product, the
// finest levels along x and y and the one coarsest level J0 of both.
struct ImageParameters
{
    int m = 4;
    engine::Rule rule = engine::Rule::Default;
    int Jx = 0, Jy = 0, J0 = 0;

    bool operator==(const ImageParameters&) const = default;
};

// The levels an image of width x height takes unless told otherwise: Jx, Jy the smallest with
// 2^J >= width - 1 (height - 1), and no smaller than the smallest finest level for m and J0;
// J0 the smallest the rule allows. Throws engine::ParameterError for an m no basis has and
// DataError (data/SampledData.h) for an image narrower or lower than 2 pixels, or wider or
// higher than 2^22 + 1.
ImageParameters defaultParameters(int width, int height, int m, engine::Rule rule);

// The kinds of coefficients of the pyramid. Level L counts on the axis with more levels; the
// other axis runs Jmax - Jx (Jmax - Jy) levels behind, Jmax = max(Jx, Jy), and stops splitting
// once it reaches J0: level L splits x at Lx = L - (Jmax - Jx) when Lx > J0, y likewise.
enum class Band
{
    Coarse, // N_(J0,k)(x) N_(J0,l)(y)
    X, // psi_(Lx,p)(x) N_(Ly',l)(y): detail along x; Ly' = Ly - 1 when y splits too, else J0
    Y, // N_(Lx',k)(x) psi_(Ly,q)(y): detail along y
    XY, // psi_(Lx,p)(x) psi_(Ly,q)(y)
};

// Where one band lies in the coefficient array: columns column .. column + columns - 1, rows
// row .. row + rows - 1; its first column holds index firstX (1 - m, for k or p alike) along x,
// its first row index firstY along y.
struct BandPlace
{
    Band band = Band::Coarse;
    int level = 0; // J0 for the coarse block, else the pyramid level L
    int column = 0, row = 0, columns = 0, rows = 0;
    int firstX = 0, firstY = 0;
    // The levels of its functions along x and y: of the wavelets along an axis the band has
    // them on (Lx, Ly), else of the B-splines (J0, Lx', Ly').
    int levelX = 0, levelY = 0;
};

// nx = 2^Jx + m - 1 and ny = 2^Jy + m - 1: the columns and the rows of the coefficient array.
int coefficientColumns(const ImageParameters& parameters);
int coefficientRows(const ImageParameters& parameters);
// The places of the bands for the parameters (ImageTransform::bands).
std::vector<BandPlace> bandPlaces(const ImageParameters& parameters);

// The coefficients of an image in the tensor-product basis, an nx x ny array, nx = 2^Jx + m - 1,
// ny = 2^Jy + m - 1, entry (column i, row j) at [j * nx + i], in the layout the pyramid leaves
// them: the coarse block at the top left, each level's bands beside it (ImageTransform::bands).
struct ImageCoefficients
{
    ImageParameters parameters;
    int nx = 0, ny = 0;
    std::vector<double> values;
};

// The fast wavelet transform of images on [0, 1]^2 in the tensor product of two spline-wavelet
// bases of the same m, rule and J0 (finest levels Jx and Jy), N = width x height pixels:
//   1. along every row, the spline of V_Jx through its pixels by the interpolating route of
//      samples (data/SampleFit.h): the same equally spaced points in every row, so one
//      factorisation serves them all; then along every column of the result, the spline of V_Jy:
//      the coefficients of the finest tensor spline through the pixels;              O(N m^2)
//   2. the pyramid, level by level from the finest: the level step (Transform::split) along x
//      for every row of the current coarse block, then along y for every column of it;
//      one coarse block and up to three detail bands per level;                     O(N m)
// The inverse merges the levels back and evaluates the finest tensor spline at the pixels, the
// B-spline values at the columns' (rows') positions taken once:                      O(N m)
// Linear and separable: with every coefficient kept the pixels come back to rounding, and an
// image that is a polynomial of degree < m in x and in y (a constant, a plane) comes back to
// rounding as well. Memory O(N). An ImageTransform does not change after it is built.
class ImageTransform
{
public:
    // Throws engine::ParameterError for levels that make no basis, DataError for an image size
    // whose pixels no spline of the levels goes through (fewer than 2 or more than 2^J + 1
    // along an axis). Both bases, the fits' factors, the B-splines at the pixels and the norms:
    // O(N + 2^Jx m^2 + 2^Jy m^2) time and memory.
    ImageTransform(const ImageParameters& parameters, int width, int height);

    const ImageParameters& parameters() const { return parameters_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const engine::Transform& alongX() const { return *x_; }
    const engine::Transform& alongY() const { return *y_; }

    // The coarse block, then level by level from J0 + 1 up the bands X, Y, XY that it has.
    std::vector<BandPlace> bands() const { return bandPlaces(parameters_); }
    // ||basis function|| in L^2([0, 1]^2) of every entry of the coefficient array, in its layout:
    // the product of the two one-dimensional norms of the entry's band.
    const std::vector<double>& norms() const { return norms_; }

    // The pixels must be width x height and finite (DataError names the first that is not).
    // O(N m^2) time, memory O(N) for the coefficients and O(2^J) besides.
    ImageCoefficients forward(const Pixels& pixels) const;
    // The image at the pixel positions; the coefficients must be of this transform's basis
    // (DataError otherwise). O(N m) time, memory O(N) for the pixels and O(2^J) besides.
    Pixels inverse(const ImageCoefficients& coefficients) const;
    // Throws DataError unless the coefficients are of this transform's basis: its parameters,
    // nx x ny values.
    void requireBasis(const ImageCoefficients& coefficients) const;

private:
    // One axis: its factored fit through the pixels and the B-splines at the pixels.
    struct Axis;

    void requireSize(const Pixels& pixels) const;
    void decompose(double* c) const;
    void compose(double* c) const;

    ImageParameters parameters_;
    int width_, height_;
    std::shared_ptr<const engine::Transform> x_, y_;
    std::shared_ptr<const Axis> columns_, rows_; // along x (a row's pixels), along y
    std::vector<double> norms_;
};

// Compression, by the contribution |c| ||basis function|| (the norms above), so that levels and
// bands compare fairly. Every coefficient takes part, the coarse block's too.

// The coefficients with all but the K of largest contribution set to 0 (equal contributions: the
// earlier in the array stay). O(N) on average, O(N) memory. Coefficients of another basis throw
// DataError, here and in thresholded.
ImageCoefficients keepLargest(
    const ImageTransform& transform, const ImageCoefficients& coefficients, std::size_t K);
// K for a percentage 0 .. 100 of all coefficients, rounded to the nearest; a percentage outside
// is taken as 0 or 100, NaN throws std::invalid_argument.
std::size_t keptForPercent(const ImageCoefficients& coefficients, double percent);
// The coefficients whose contribution is below t set to 0.
ImageCoefficients thresholded(
    const ImageTransform& transform, const ImageCoefficients& coefficients, double t);
// How many coefficients are not 0.
std::size_t nonZero(const ImageCoefficients& coefficients);

// How far a reconstruction is from the original, overall and in the band of `edge` pixels along
// the four sides (the pixels with x < edge, x >= width - edge, y < edge or y >= height - edge).
struct ImageError
{
    double psnr = 0; // 10 log10(peak^2 / mean squared error), +inf when equal
    double largest = 0; // the largest |difference|
    double edgePsnr = 0;
    double edgeLargest = 0;
};
// peak: the largest value a pixel can take (255 for 8-bit images). The images must be of one size
// (DataError otherwise). An empty edge band (edge 0) has +inf and 0. O(N).
ImageError imageError(
    const Pixels& original, const Pixels& reconstruction, double peak, int edge = 8);

} // namespace image
