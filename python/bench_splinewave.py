"""Times the module's transforms beside the array wavelet library's, on the same samples.

Usage: PYTHONPATH=build/python /usr/bin/python3 python/bench_splinewave.py [RUNS]
The samples are sin(2 pi x) exp(-x) at N equally spaced points of [0, 1], the ends included, for
N = 2^16 (J = 16) and N = 2^20 + 1 (J = 20); m = 4, default rule, as the C++ bench's table beside
the peer (splinewave_bench RUNS peer). Ours: forward from the samples on a basis built once
(Basis.forward: the spline through the samples and the transform), the same with the basis built
in the call (splinewave.forward), and the inverse at the N sample points. The peer: multilevel
decomposition and reconstruction (pywt.wavedec, waverec), db4 and bior3.3, mode "symmetric".
Prints the medians of RUNS calls in milliseconds, each after one call not timed, and the ratios
ours / peer.
"""
import os
import sys

import numpy as np

import splinewave as sw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench"))
from peer_wavelets import median_ms, peer_times  # noqa: E402  the C++ bench's peer timings


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 11
    print(f"load average {os.getloadavg()[0]:.2f}, median of {runs} runs, milliseconds\n")
    print("| N | ours: Basis.forward | forward with set-up | inverse "
          "| db4 dec / rec | bior3.3 dec / rec | forward / db4 | forward / bior3.3 "
          "| inverse / db4 | inverse / bior3.3 |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for J, N in [(16, 2**16), (20, 2**20 + 1)]:
        x = np.linspace(0, 1, N)
        y = np.sin(2 * np.pi * x) * np.exp(-x)
        basis = sw.Basis(m=4, J=J)
        c = basis.forward(y)
        forward = median_ms(runs, lambda: basis.forward(y))
        whole = median_ms(runs, lambda: sw.forward(y, m=4, J=J))
        inverse = median_ms(runs, lambda: sw.inverse(c, x))
        peer = peer_times(y, runs)
        db4, bior = peer["db4"], peer["bior3.3"]
        print(f"| {N} | {forward:.2f} | {whole:.2f} | {inverse:.2f} "
              f"| {db4[0]:.2f} / {db4[1]:.2f} | {bior[0]:.2f} / {bior[1]:.2f} "
              f"| {forward / db4[0]:.1f} | {forward / bior[0]:.1f} "
              f"| {inverse / db4[1]:.1f} | {inverse / bior[1]:.1f} |")


main()
