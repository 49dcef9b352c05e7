"""Images compressed by our transform beside the array wavelet library's 2-D multilevel one.

Usage: peer_images.py RUNS   (with the module splinewave on PYTHONPATH)
Photographs of the image library's sample data, taken as grey on the scale 0 .. 255, keep the K
coefficients of largest size, K = 1 %, 5 % and 10 % of the pixels, the same K for every method:
ours (m = 4, default rule) by the contribution |c| ||basis function|| over every coefficient, the
coarse ones too; the peer (bior4.4 and db4, modes symmetric and periodization, its default
number of levels) the K of largest |c| over all its arrays. Prints the PSNR of each rebuilt image
overall and in the band of 8 pixels along the edges, then the median time of forward + inverse
of RUNS runs, ours and the peer's and their ratio. Prints one line instead when the array
wavelet library (python3-pywt) or the image library (python3-skimage) is missing.
"""
import sys

try:
    import numpy as np
    import pywt
    import skimage.color
    import skimage.data
except ImportError as missing:
    print(f"images beside the array wavelet library: skipped, {missing.name} is not installed "
          "(python3-pywt, python3-skimage)")
    sys.exit(0)

import splinewave as sw
from peer_wavelets import median_ms  # the timing bench's median of runs

IMAGES = ("camera", "astronaut", "coffee", "chelsea", "moon")
PERCENTS = (1, 5, 10)
PEERS = [(wavelet, mode) for wavelet in ("bior4.4", "db4")
         for mode in ("symmetric", "periodization")]
EDGE = 8  # pixels along each side in the edge PSNR
PEAK = 255


def grey(name):
    """The sample image as grey doubles on the scale 0 .. 255."""
    image = getattr(skimage.data, name)()
    if image.ndim == 3:
        return skimage.color.rgb2gray(image) * PEAK
    return image.astype(float)


def psnr(original, rebuilt):
    mse = np.mean((original - rebuilt) ** 2)
    return np.inf if mse == 0 else 10 * np.log10(PEAK**2 / mse)


def psnrs(original, rebuilt):
    """PSNR overall and in the band of EDGE pixels along the four sides."""
    edge = np.ones(original.shape, bool)
    edge[EDGE:-EDGE, EDGE:-EDGE] = False
    return psnr(original, rebuilt), psnr(original[edge], rebuilt[edge])


def ours(image, K):
    return sw.inverse2(sw.forward2(image, m=4).keep(K))


def peer(image, K, wavelet, mode):
    coefficients = pywt.wavedec2(image, wavelet, mode=mode)
    array, slices = pywt.coeffs_to_array(coefficients)
    flat = np.abs(array).ravel()
    kept = np.zeros_like(array)
    largest = np.argpartition(flat, flat.size - K)[flat.size - K:]
    kept.flat[largest] = array.flat[largest]
    back = pywt.array_to_coeffs(kept, slices, output_format="wavedec2")
    return pywt.waverec2(back, wavelet, mode=mode)[: image.shape[0], : image.shape[1]]


def quality_table(images):
    names = ["ours, m = 4"] + [f"{wavelet} {mode}" for wavelet, mode in PEERS]
    print("PSNR, dB, overall / in the 8-pixel edge band; K coefficients kept of each method\n")
    print("| image | kept | K | " + " | ".join(names) + " |")
    print("|---|---|---|" + "---|" * len(names))
    for name, image in images.items():
        for percent in PERCENTS:
            K = round(image.size * percent / 100)
            rebuilt = [ours(image, K)] + [peer(image, K, *p) for p in PEERS]
            cells = [" / ".join(f"{v:.2f}" for v in psnrs(image, r)) for r in rebuilt]
            print(f"| {name} | {percent} % | {K} | " + " | ".join(cells) + " |")


def time_table(images, runs):
    print(f"\nforward + inverse, median of {runs} runs, milliseconds; ours / the peer's\n")
    heads = [f"{wavelet} {mode}" for wavelet, mode in PEERS]
    print("| image | pixels | ours | " + " | ".join(heads) + " | " + " | ".join(
        f"ours / {h}" for h in heads) + " |")
    print("|---|---|---|" + "---|" * (2 * len(heads)))
    for name, image in images.items():
        mine = median_ms(runs, lambda: sw.inverse2(sw.forward2(image, m=4)))
        theirs = [median_ms(runs, lambda: pywt.waverec2(pywt.wavedec2(image, w, mode=m), w, mode=m))
                  for w, m in PEERS]
        print(f"| {name} | {image.shape[1]} x {image.shape[0]} | {mine:.1f} | "
              + " | ".join(f"{t:.1f}" for t in theirs) + " | "
              + " | ".join(f"{mine / t:.1f}" for t in theirs) + " |")


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    images = {name: grey(name) for name in IMAGES}
    print(f"images beside the array wavelet library (python3-pywt {pywt.__version__}), "
          "grey photographs of python3-skimage\n")
    quality_table(images)
    time_table(images, runs)


if __name__ == "__main__":
    main()
