"""Images in the Python module against the command line, exact planes and its argument checks."""

import concurrent.futures
import os
import struct
import subprocess
import zlib

import numpy as np
import pytest

import splinewave as sw

CLI = os.environ.get("SPLINEWAVE_CLI", "build/splinewave-cli")


def same_bits(a, b):
    return np.asarray(a).tobytes() == np.asarray(b).tobytes()


def grey_png(pixels):
    """An 8-bit grey PNG of the uint8 array (height, width): signature, IHDR, IDAT, IEND."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    height, width = pixels.shape
    rows = b"".join(b"\0" + bytes(row) for row in pixels.astype(np.uint8))  # filter 0: none
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)  # 8 bits, grey
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))


def noise(height, width, seed=1):
    return np.random.default_rng(seed).integers(0, 256, (height, width)).astype(np.uint8)


# height, width, m, rule, the command line's level options and forward2's
LEVEL_CASES = [
    (17, 23, 2, "default", [], {}),
    (9, 40, 3, "exact", [], {}),
    (33, 20, 4, "default", ["--Jx", "6", "--Jy", "5", "--J0", "3"], dict(Jx=6, Jy=5, J0=3)),
    (12, 12, 4, "exact", ["-J", "5"], dict(Jx=5, Jy=5)),
]


@pytest.mark.parametrize("height, width, m, rule, options, levels", LEVEL_CASES)
def test_the_command_lines_coefficients_to_the_bit(tmp_path, height, width, m, rule, options,
                                                   levels):
    pixels = noise(height, width)
    (tmp_path / "in.png").write_bytes(grey_png(pixels))
    exact = ["--exact"] if rule == "exact" else []
    subprocess.run([CLI, "image", str(tmp_path / "in.png"), "-m", str(m), *exact, *options,
                    "--percent", "100", "-o", str(tmp_path / "out.png"),
                    "--coefficients", str(tmp_path / "k.csv")], check=True, capture_output=True)
    expected = sw.load(tmp_path / "k.csv")
    got = sw.forward2(pixels, m=m, rule=rule, **levels)
    assert (expected.m, expected.J0, expected.rule, expected.shape) == (m, got.J0, rule,
                                                                         (height, width))
    assert (expected.Jx, expected.Jy) == (got.Jx, got.Jy) and expected.label == "image:in.png"
    for name, value in levels.items():
        assert getattr(got, name) == value
    assert same_bits(got.values, expected.values)


@pytest.mark.parametrize("m", [2, 3, 4])
@pytest.mark.parametrize("rule", ["default", "exact"])
def test_every_coefficient_gives_the_image_back_and_planes_hold_between_pixels(m, rule):
    image = noise(20, 37, seed=m).astype(float)
    c = sw.forward2(image, m=m, rule=rule)
    assert c.values.shape == (2**c.Jy + m - 1, 2**c.Jx + m - 1) and c.shape == (20, 37)
    back = sw.inverse2(c)
    assert back.shape == (20, 37) and np.abs(back - image).max() < 1e-9 * 255
    # A plane is a spline of every order: at the most pixels the levels hold, 2^J + 1 along each
    # axis, it is the plane there too.
    y, x = np.mgrid[0:20, 0:37]
    plane = sw.forward2(3 + 50 * x / 36 - 20 * y / 19, m=m, rule=rule)
    y, x = np.mgrid[0:33, 0:65]
    between = sw.inverse2(plane, shape=(33, 65))
    assert np.abs(between - (3 + 50 * x / 64 - 20 * y / 32)).max() < 1e-11


def test_any_dtype_and_layout_give_the_same_coefficients():
    image = noise(30, 25)
    reference = sw.forward2(image.astype(float), m=3)
    for variant in [image, image.astype(np.float32), np.asfortranarray(image),
                    image.T.copy().T, image.tolist()]:
        assert same_bits(sw.forward2(variant, m=3).values, reference.values)


def test_keep_percent_and_threshold_rank_every_coefficient():
    c = sw.forward2(noise(40, 50), m=4)
    values = c.values
    kept = c.keep(100)
    assert np.count_nonzero(kept.values) == 100 and same_bits(c.values, values)
    assert same_bits(kept.values, np.where(kept.values != 0, values, 0.0))
    assert same_bits(c.keep_percent(5).values, c.keep(round(0.05 * values.size)).values)
    assert np.count_nonzero(c.keep_percent(100).values) == values.size
    assert np.count_nonzero(c.threshold(0).values) == values.size
    assert np.count_nonzero(c.threshold(1e300).values) == 0
    # The coarse block takes part in the ranking: an image of one grey, whose wavelet
    # coefficients are rounding noise, keeps its coarse block and nothing else.
    flat = sw.forward2(np.full((20, 30), 100.0), m=2)
    coarse = flat.bands()[0]
    block = flat.values[coarse["rows"], coarse["columns"]]
    assert coarse["band"] == "coarse" and block.shape == (2**flat.J0 + 1,) * 2
    kept = flat.keep(block.size).values
    assert same_bits(kept[coarse["rows"], coarse["columns"]], block)
    assert np.count_nonzero(kept) == block.size


def test_bands_tile_the_coefficients():
    c = sw.forward2(noise(20, 70), m=3, J0=2)
    assert (c.Jx, c.Jy) == (7, 5)
    cover = np.zeros(c.values.shape, int)
    for band in c.bands():
        cover[band["rows"], band["columns"]] += 1
        assert band["first_x"] == band["first_y"] == 1 - c.m
    assert (cover == 1).all()
    # y, two levels behind x, splits from level 5 on.
    names = [(band["band"], band["level"]) for band in c.bands()]
    assert names[:4] == [("coarse", 2), ("x", 3), ("x", 4), ("x", 5)]
    assert names[-3:] == [("x", 7), ("y", 7), ("xy", 7)] and len(names) == 1 + 2 + 3 * 3


def test_the_file_reads_back_every_bit(tmp_path):
    c = sw.forward2(noise(15, 18), m=4, rule="exact").keep(30)
    c.save(tmp_path / "k.csv")
    back = sw.load(str(tmp_path / "k.csv"))
    assert isinstance(back, sw.Coefficients2) and same_bits(back.values, c.values)
    assert (back.m, back.Jx, back.Jy, back.J0, back.rule, back.shape, back.label) == (
        c.m, c.Jx, c.Jy, c.J0, c.rule, c.shape, "image:array")
    assert same_bits(sw.inverse2(back), sw.inverse2(c))
    text = (tmp_path / "k.csv").read_text()
    # A colour channel's file keeps its channel through the module.
    (tmp_path / "red.csv").write_text(text.replace("; channel=grey;", "; channel=red;"))
    sw.load(tmp_path / "red.csv").save(tmp_path / "again.csv")
    assert back.channel == "grey" and (tmp_path / "again.csv").read_text() == (
        tmp_path / "red.csv").read_text()
    (tmp_path / "bad.csv").write_text(text[: text.rindex("\n", 0, -1)] + "\n")  # a row short
    with pytest.raises(ValueError, match="path: not a coefficient file"):
        sw.load(tmp_path / "bad.csv")


def test_two_threads_give_what_one_gives():
    images = [noise(300, 400, seed) for seed in (1, 2)]
    alone = [sw.forward2(image, m=4).values for image in images]
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        together = list(pool.map(lambda image: sw.forward2(image, m=4).values, images * 2))
    assert all(same_bits(got, expected) for got, expected in zip(together, alone * 2))


GOOD = np.ones((4, 5))
BAD_CALLS = [
    (lambda: sw.forward2(np.where(np.eye(3, 4) > 0, np.nan, 1.0)), ValueError,
     r"img is not finite at index \(0, 0\) \(nan\)"),
    (lambda: sw.forward2(np.ones(10)), ValueError,
     r"img must be two-dimensional, not of shape \(10,\)"),
    (lambda: sw.forward2(np.ones((4, 4, 3))), ValueError, "img must be two-dimensional"),
    (lambda: sw.forward2(np.ones((1, 5))), ValueError,
     r"img must be at least 2 x 2, not of shape \(1, 5\)"),
    (lambda: sw.forward2([["a", "b"], ["c", "d"]]), TypeError, "img must hold real numbers"),
    (lambda: sw.forward2(GOOD * 1j), TypeError, "img must hold real numbers"),
    (lambda: sw.forward2(GOOD, m=5), ValueError, "m: "),
    (lambda: sw.forward2(GOOD, m=4, Jx=9, Jy=3), ValueError, "Jy: "),
    (lambda: sw.forward2(np.ones((4, 40)), m=2, Jx=4), ValueError,
     r"img has along x \(width\) 40 pixels, more than 2\^J \+ 1 = 17"),
    (lambda: sw.forward2(GOOD, m=4, rule="exact", J0=2), ValueError, "J0: "),
    (lambda: sw.forward2(GOOD, rule="gauss"), ValueError, "rule must be"),
    (lambda: sw.forward2(GOOD, 4), TypeError, ""),
    (lambda: sw.forward2(GOOD).keep(-1), ValueError, "K must be"),
    (lambda: sw.forward2(GOOD).keep_percent(101), ValueError, "percent must be in 0 .. 100"),
    (lambda: sw.forward2(GOOD).keep_percent(np.nan), ValueError, "percent must be"),
    (lambda: sw.forward2(GOOD).threshold(np.inf), ValueError, "t must be"),
    (lambda: sw.inverse2(sw.forward2(GOOD), shape=(1, 5)), ValueError, "shape must be at least"),
    (lambda: sw.inverse2(sw.forward2(GOOD), shape="ab"), TypeError,
     r"shape must be \(height, width\)"),
    (lambda: sw.inverse2(sw.forward2(GOOD), shape=(3,)), TypeError, "shape must be"),
    (lambda: sw.inverse2(sw.forward2(GOOD, m=2), shape=(4, 10)), ValueError,
     r"shape has along x \(width\) 10 pixels, more than 2\^J \+ 1 = 9"),
]


@pytest.mark.parametrize("call, error, words", BAD_CALLS)
def test_bad_arguments_raise_naming_them(call, error, words):
    with pytest.raises(error, match=words):
        call()


def test_every_image_name_has_a_docstring():
    public = [sw.forward2, sw.inverse2, sw.Coefficients2]
    public += [getattr(sw.Coefficients2, n) for n in dir(sw.Coefficients2) if not n.startswith("_")]
    assert all(len(item.__doc__ or "") > 10 for item in public)
