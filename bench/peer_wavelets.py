"""Times the array wavelet library's multilevel transforms on the samples the C++ bench uses.

Usage: peer_wavelets.py EXPONENT RUNS
The samples are sin(2 pi x) exp(-x) at x = i / 2^EXPONENT, i = 0 .. 2^EXPONENT. Prints one line
per wavelet, "name decomposition reconstruction" in milliseconds (medians of RUNS calls, each
after one call not timed). Exits with status 3 when the library is not installed.
"""
import statistics
import sys
import time

try:
    import numpy
    import pywt
except ImportError:
    sys.exit(3)


def smooth(x):
    """The benches' smooth test signal sin(2 pi x) exp(-x)."""
    return numpy.sin(2 * numpy.pi * x) * numpy.exp(-x)


def median_ms(runs, call):
    call()
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        call()
        times.append((time.perf_counter() - start) * 1e3)
    return statistics.median(times)


def peer_times(samples, runs, wavelets=("bior3.3", "db4")):
    """{wavelet: (decomposition, reconstruction)} in milliseconds, mode "symmetric"."""
    times = {}
    for wavelet in wavelets:
        coefficients = pywt.wavedec(samples, wavelet, mode="symmetric")
        times[wavelet] = (
            median_ms(runs, lambda: pywt.wavedec(samples, wavelet, mode="symmetric")),
            median_ms(runs, lambda: pywt.waverec(coefficients, wavelet, mode="symmetric")))
    return times


def main():
    exponent, runs = int(sys.argv[1]), int(sys.argv[2])
    x = numpy.arange(2**exponent + 1) / 2**exponent
    samples = smooth(x)
    for wavelet, (decomposition, reconstruction) in peer_times(samples, runs).items():
        print(wavelet, f"{decomposition:.3f}", f"{reconstruction:.3f}")


if __name__ == "__main__":
    main()
