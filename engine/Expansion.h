#pragma once

#include "engine/Coefficients.h"
#include "engine/Transform.h"

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace engine {

// Where the coefficients of an expansion came from.
enum class Origin
{
    Function, // a forward transform of a function known at every point (a formula, samples' spline)
    Coefficients, // read or typed: the function they expand is not known
};

// What thresholds and the K largest compare. The B-splines are h times the normalised ones, so the
// L^2 norm of a basis function shrinks by 2^(3/2) per finer level and |c| alone favours the fine
// levels: the contribution |c| ||psi|| weighs each coefficient by the size of what it adds.
enum class Measure
{
    Contribution, // |c| ||psi_(L,p)||, true L^2 norms (engine/Norms.h)
    Value, // |c|
};

// The largest and the root mean square difference of two sets of values at the same points.
struct Deviation
{
    double largest = 0;
    double rms = 0;
};
Deviation deviation(std::span<const double> reference, std::span<const double> values);

// One expansion in the multilevel spline-wavelet basis of a Transform: its coefficients, the basis
// they belong to, and where they came from. Everything a user does with coefficients is here, once,
// for the window, the command line and any other face: the values at points and on a mesh, the
// coarse approximation and each level's detail, thresholds and the K largest coefficients (each a
// new expansion, this one untouched), the error against reference values, the N-term curve and the
// energies per level. N = 2^J below.
class Expansion
{
public:
    // The coefficients must be of the transform's basis (same m, J0, J).
    Expansion(std::shared_ptr<const Transform> transform, Coefficients coefficients,
        Origin origin = Origin::Coefficients, std::string label = {});

    const Transform& transform() const { return *transform_; }
    const std::shared_ptr<const Transform>& sharedTransform() const { return transform_; }
    const Coefficients& coefficients() const { return coefficients_; }
    Origin origin() const { return origin_; }
    // What the coefficients expand, as a coefficient file names it: the formula, or "data:FILE";
    // empty when unknown.
    const std::string& label() const { return label_; }

    // The expansion at each x. O(N m + points m).
    std::vector<double> at(std::span<const double> x) const;
    // At a + (i + s/S) h, i = 0 .. 2^J-1, s = 0 .. S-1, then at b (Transform::meshValues).
    // O(N S m).
    std::vector<double> onMesh(int S) const;
    // One level's part: L = J0, the coarse approximation sum d_k N_(J0,k); L > J0, the detail
    // sum c_(L,p) psi_(L,p) of that level.
    Expansion level(int L) const;

    // The wavelet coefficients whose measure is below `below` count as zero; the coarse d stay.
    Expansion thresholded(double below, Measure measure = Measure::Contribution) const;
    // All wavelet coefficients but the K of largest measure count as zero (equal measures: the
    // earlier in level order stay). O(N log N).
    Expansion keepingLargest(std::size_t K, Measure measure = Measure::Contribution) const;
    // How many wavelet coefficients measure at least `below`.
    std::size_t countAtLeast(double below, Measure measure = Measure::Contribution) const;
    // The indices into coefficients().c, largest measure first, equal measures in level order.
    std::vector<std::size_t> ranking(Measure measure = Measure::Contribution) const;
    // ||N_(J0,k)|| and ||psi_(L,p)|| in L^2, in the layout of the coefficients (basisNorms).
    const Coefficients& basisNorms() const { return transform_->basisNorms(); }
    // The measure of wavelet coefficient c[u].
    double measure(std::size_t u, Measure measure) const;

    // [0] the sum of d^2, [e] the sum of c^2 of level J0 + e.
    std::vector<double> sumsOfSquares() const;
    // [0] ||sum of d_k N_(J0,k)||^2, [e] ||sum of c_p psi_(J0+e,p)||^2: the energy of each
    // level's part in L^2. O(N m^2).
    std::vector<double> levelEnergies() const;
    // ||f_J||^2, the energy of the whole expansion in L^2. Under the exact rule the levels are
    // orthogonal and their energies add up to it. O(N m^2).
    double energy() const;

    // (K, the largest deviation from reference on the mesh of onMesh(S) of the expansion that
    // keeps every d and the K largest |c|): K = 0 .. 100, then steps growing by a constant factor
    // up to all of them, at most 200 points. Built up term by term, each wavelet added on its
    // support: O(N log N + N S m (J - J0) + 200 N S).
    std::vector<std::pair<std::size_t, double>> nTermCurve(
        std::span<const double> reference, int S, Measure measure = Measure::Contribution) const;

private:
    // The level's part as a spline of that level: d over N_(J0,k), or c over psi_(L,p) summed
    // into coefficients of N_(L,k).
    std::vector<double> levelSpline(int L) const;

    std::shared_ptr<const Transform> transform_;
    Coefficients coefficients_;
    Origin origin_;
    std::string label_;
};

} // namespace engine
