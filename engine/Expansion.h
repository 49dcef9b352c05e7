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

    // The wavelet coefficients with |c| < below count as zero.
    Expansion thresholded(double below) const;
    // All wavelet coefficients but the K largest |c| count as zero (equal |c|: the earlier in
    // level order stay). O(N log N).
    Expansion keepingLargest(std::size_t K) const;
    // How many wavelet coefficients have |c| >= below.
    std::size_t countAtLeast(double below) const;
    // The indices into coefficients().c, largest |c| first, equal |c| in level order.
    std::vector<std::size_t> ranking() const;
    // [0] the sum of d^2, [e] the sum of c^2 of level J0 + e.
    std::vector<double> levelEnergies() const;

    // (K, the largest deviation from reference on the mesh of onMesh(S) of the expansion that
    // keeps every d and the K largest |c|): K = 0 .. 100, then steps growing by a constant factor
    // up to all of them, at most 200 points. Built up term by term, each wavelet added on its
    // support: O(N log N + N S m (J - J0) + 200 N S).
    std::vector<std::pair<std::size_t, double>> nTermCurve(
        std::span<const double> reference, int S) const;

private:
    std::shared_ptr<const Transform> transform_;
    Coefficients coefficients_;
    Origin origin_;
    std::string label_;
};

} // namespace engine
