"""Keeping K coefficients: the error of ours beside the array wavelet library's, on real series.

Usage: PYTHONPATH=build/python /usr/bin/python3 bench/peer_series.py
Signals: N = 4096 samples, equally spaced on [0, 1] with the ends, of three test functions, and
four series of python3-statsmodels resampled to N equally spaced samples by linear interpolation
over their own span (the short ones, Nile and sunspots, are stretched).
Ours: J = 12, default rule, the spline of V_J through the samples (fit='interpolate'); the coarse
d and the K - len(d) wavelet coefficients of largest contribution |c| ||psi|| are kept (keep()
counts wavelet coefficients only), K numbers in all; the values at the N samples.
The peer: pywt.wavedec to its deepest level, the K largest |c| over all arrays (approximation
included), waverec; for every signal, K and measure the best of its wavelets and modes.
Errors at the samples, relative: ||f - f_K|| / ||f|| over all N samples and over the edge bands
alone (the first and last 3 % of the samples, against ||f|| there).
Prints markdown tables; a note instead of them when python3-pywt or the module is missing, instead
of the series when python3-statsmodels is.
"""
import os
import sys

import numpy as np

try:
    import pywt
    import splinewave as sw
except ImportError as missing:  # python3-pywt not installed, or the module not built
    print(f"no comparison of the errors: {missing}")
    sys.exit()

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_wavelets import smooth  # noqa: E402  the timing bench's test signal

N, J = 4096, 12
X = np.linspace(0, 1, N)
KEPT = (N // 64, N // 16, N // 4)
EDGES = np.r_[0 : round(0.03 * N), N - round(0.03 * N) : N]
WAVELETS = ("db4", "sym4", "bior2.2", "bior3.3")
MODES = ("symmetric", "periodization", "smooth")


def resampled(t, y):
    """y at N equally spaced points from t[0] to t[-1], linear between the samples."""
    return np.interp(np.linspace(t[0], t[-1], N), t, y)


def series():
    """{name: N samples} of the statsmodels series; empty, with a note, when it is missing."""
    try:
        from statsmodels.api import datasets
    except ImportError:
        print("python3-statsmodels is not installed: the real series are skipped\n")
        return {}
    sun = datasets.sunspots.load_pandas().data
    co2 = datasets.co2.load_pandas().data["co2"].ffill()  # weekly; a missing week: the last one
    nino = datasets.elnino.load_pandas().data.drop(columns="YEAR").to_numpy().ravel()
    nile = datasets.nile.load_pandas().data
    days = (co2.index - co2.index[0]).days.to_numpy(float)
    return {
        "sunspots, 309 years": resampled(sun["YEAR"].to_numpy(), sun["SUNACTIVITY"].to_numpy()),
        "co2, 2284 weeks": resampled(days, co2.to_numpy()),
        "elnino, 732 months": resampled(np.arange(float(nino.size)), nino),
        "nile, 100 years": resampled(nile["year"].to_numpy(), nile["volume"].to_numpy()),
    }


def signals():
    """{name: N samples}: the test functions at X, then the series."""
    return {
        "sin(2 pi x) exp(-x)": smooth(X),
        "abs(x - 0.3)": np.abs(X - 0.3),
        "(x < 0.4) + x": (X < 0.4) + X,
        **series(),
    }


def errors(f, approximation):
    """The relative error over all samples and over the edge bands."""
    def relative(part):
        return np.linalg.norm((f - approximation)[part]) / np.linalg.norm(f[part])
    return relative(slice(None)), relative(EDGES)


def ours(basis, y, K=None):
    """Our errors keeping K numbers (None: every coefficient)."""
    c = basis.forward(y, fit="interpolate")
    kept = c if K is None else c.keep(K - c.d.size)
    return errors(y, sw.inverse(kept, X))


def peer(y, wavelet, mode, K=None):
    """The peer's errors keeping its K largest |c| (None: every coefficient)."""
    flat, slices = pywt.coeffs_to_array(pywt.wavedec(y, wavelet, mode=mode))
    if K is not None:
        flat[np.argsort(-np.abs(flat), kind="stable")[K:]] = 0
    arrays = pywt.array_to_coeffs(flat, slices, output_format="wavedec")
    return errors(y, pywt.waverec(arrays, wavelet, mode=mode)[:N])


def best_peer(y, K, wavelets=WAVELETS):
    """For each measure (all samples, edges): (error, wavelet, mode) of the best peer."""
    tried = [(peer(y, w, mode, K), w, mode) for w in wavelets for mode in MODES]
    return [min((e[i], w, mode) for e, w, mode in tried) for i in (0, 1)]


def main():
    print(f"load average {os.getloadavg()[0]:.2f}; N = {N}, J = {J}, default rule\n")
    bases = {m: sw.Basis(m=m, J=J) for m in (2, 3, 4)}
    data = signals()
    print("every coefficient kept, relative error at the samples\n\n"
          "| signal | ours m = 2 | m = 3 | m = 4 | peer, largest |\n|---|---|---|---|---|")
    for name, y in data.items():
        worst = max(peer(y, w, mode)[0] for w in WAVELETS for mode in MODES)
        print(f"| {name} | " + " | ".join(f"{ours(bases[m], y)[0]:.1e}" for m in (2, 3, 4))
              + f" | {worst:.1e} |")
    print("\nK kept, m = 4: relative error at all samples, then in the edge bands, ratios ours /"
          " best peer;\nlast the ratios at all samples: m = 4 to the best orthogonal peer (db4,"
          " sym4), m = 2, 3 to the best peer\n\n"
          "| signal | K | ours | best peer | ours / peer | ours, edges | best peer, edges "
          "| ours / peer, edges | ours / orthogonal | m = 2 / peer | m = 3 / peer |\n"
          "|---|---|---|---|---|---|---|---|---|---|---|")
    for name, y in data.items():
        for K in KEPT:
            peers = best_peer(y, K)
            mine = {m: ours(bases[m], y, K) for m in (2, 3, 4)}
            cells = []
            for i in (0, 1):
                error, wavelet, mode = peers[i]
                cells += [f"{mine[4][i]:.2e}", f"{error:.2e} {wavelet} {mode}",
                          f"{mine[4][i] / error:.3g}"]
            orthogonal = best_peer(y, K, ("db4", "sym4"))[0][0]
            cells += [f"{mine[4][0] / orthogonal:.3g}"]
            cells += [f"{mine[m][0] / peers[0][0]:.3g}" for m in (2, 3)]
            print(f"| {name} | {K} | " + " | ".join(cells) + " |")


main()
