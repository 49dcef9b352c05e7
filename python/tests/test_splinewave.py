"""The Python module against the command line, exact polynomials and its argument checks."""

import concurrent.futures
import os
import subprocess

import numpy as np
import pytest

import splinewave as sw

CLI = os.environ.get("SPLINEWAVE_CLI", "build/splinewave-cli")


def cli(*arguments):
    return subprocess.run([CLI, *arguments], check=True, capture_output=True, text=True).stdout


def fit_arguments(fit):
    """The command line's option for the route from samples; None when it has no such option."""
    if "--fit" in cli("--help"):
        return ["--fit", fit]
    return [] if fit == "project" else None


def same_bits(a, b):
    return np.asarray(a).tobytes() == np.asarray(b).tobytes()


def signal(x):
    return np.sin(7 * x) * np.exp(-x) + 0.3 * np.cos(40 * x * x)


# m, J, rule, number of samples (None: 2^J + 1), irregular x
SAMPLE_CASES = [
    (2, 6, "default", None, False),
    (3, 9, "exact", 100, False),
    (4, 12, "exact", None, False),
    (4, 10, "default", 37, True),
]


@pytest.mark.parametrize("fit", ["project", "interpolate"])
@pytest.mark.parametrize("m, J, rule, count, irregular", SAMPLE_CASES)
def test_samples_give_the_command_lines_doubles(tmp_path, m, J, rule, count, irregular, fit):
    if fit_arguments(fit) is None:
        pytest.skip("the command line has no --fit")
    count = count or 2**J + 1
    rng = np.random.default_rng(J)
    x = np.linspace(0, 1, count)
    if irregular:
        x[1:-1] = np.sort(rng.uniform(0, 1, count - 2))
    y = signal(x) + 0.01 * rng.standard_normal(count)
    rows = [f"{a!r},{b!r}" for a, b in zip(x, y)] if irregular else [repr(v) for v in y]
    (tmp_path / "y.csv").write_text("\n".join(rows) + "\n")
    exact = ["--exact"] if rule == "exact" else []
    cli("forward", "-m", str(m), "-J", str(J), *exact, *fit_arguments(fit),
        "--data", str(tmp_path / "y.csv"), "-o", str(tmp_path / "k.csv"))
    expected = sw.load(tmp_path / "k.csv")
    got = sw.forward(y, m=m, J=J, rule=rule, x=x if irregular else None, fit=fit)
    assert same_bits(got.d, expected.d) and same_bits(got.c, expected.c)


@pytest.mark.parametrize("m, J, rule", [(2, 8, "default"), (3, 11, "exact"), (4, 14, "exact")])
def test_function_and_inverse_give_the_command_lines_doubles(tmp_path, m, J, rule):
    exact = ["--exact"] if rule == "exact" else []
    cli("forward", "-m", str(m), "-J", str(J), *exact, "-f", "x*x*x - 2*x",
        "-o", str(tmp_path / "k.csv"))
    expected = sw.load(tmp_path / "k.csv")
    got = sw.forward(lambda t: t * t * t - 2 * t, m=m, J=J, rule=rule)
    assert same_bits(got.d, expected.d) and same_bits(got.c, expected.c)

    table = cli("inverse", str(tmp_path / "k.csv"), "--points", "1001")
    points, values = np.loadtxt(table.splitlines()[1:], delimiter=",").T
    x = np.arange(1001) / 1000.0
    x[-1] = 1.0
    assert same_bits(x, points) and same_bits(sw.inverse(got, x), values)


@pytest.mark.parametrize("m", [2, 3, 4])
@pytest.mark.parametrize("rule", ["default", "exact"])
def test_polynomials_below_the_order_come_back(m, rule):
    coefficients = np.arange(1.0, m + 1) * (-1) ** np.arange(m)  # degree m - 1
    def poly(t):
        return np.polynomial.polynomial.polyval(t, coefficients)
    x = np.random.default_rng(m).uniform(0, 1, 500)
    from_function = sw.forward(poly, m=m, J=9, rule=rule)
    assert np.abs(sw.inverse(from_function, x) - poly(x)).max() < 1e-11
    # The spline through samples is exact for straight lines.
    samples = np.linspace(0, 1, 200)
    line = sw.forward(2 - 3 * samples, m=m, J=8, rule=rule)
    assert np.abs(sw.inverse(line, x) - (2 - 3 * x)).max() < 1e-11


BAD_CALLS = [
    (lambda: sw.forward([0.0, np.nan, 1.0], m=3, J=6), ValueError, "y is not finite at index 1"),
    (lambda: sw.forward([0.0, np.inf], m=3, J=6), ValueError, "y is not finite"),
    (lambda: sw.forward(np.ones((4, 4)), m=3, J=6), ValueError, "y must be one-dimensional"),
    (lambda: sw.forward([1.0], m=3, J=6), ValueError, "y needs at least 2"),
    (lambda: sw.forward(np.ones(66), m=3, J=6), ValueError, "2^J + 1 = 65"),
    (lambda: sw.forward([1.0, 2.0], m=3, J=23), ValueError, "J: "),
    (lambda: sw.forward([1.0, 2.0], m=3, J=2), ValueError, "J: "),
    (lambda: sw.forward([1.0, 2.0], m=5, J=6), ValueError, "m: "),
    (lambda: sw.forward([1.0, 2.0], m=4, J=6, rule="exact", J0=1), ValueError, "J0: "),
    (lambda: sw.forward([1.0, 2.0], m=3, J=6, rule="gauss"), ValueError, "rule must be"),
    (lambda: sw.forward([1.0, 2.0], m=3, J=6, fit="nearest"), ValueError, "fit must be"),
    (lambda: sw.forward(["a", "b"], m=3, J=6), TypeError, "y must hold real numbers"),
    (lambda: sw.forward([1j, 2.0], m=3, J=6), TypeError, "y must hold real numbers"),
    (lambda: sw.forward([1.0, 2.0], m="3", J=6), TypeError, ""),
    (lambda: sw.forward([1.0, 2.0, 3.0], m=3, J=6, x=[0, 0.5]), ValueError, "x has 2 points"),
    (lambda: sw.forward([1.0, 2.0, 3.0], m=3, J=6, x=[0, 0.7, 0.5]), ValueError, "x must increase"),
    (lambda: sw.forward([1.0, 2.0, 3.0], m=3, J=6, x=[0, 0.5, 2]), ValueError, "x must run from"),
    (lambda: sw.forward(lambda t: np.where(t > 0.5, np.inf, t), m=3, J=6), ValueError,
     "f is not finite at x = 0.5"),
    (lambda: sw.forward(lambda t: t[:3], m=3, J=6), ValueError, "f must return one value"),
    (lambda: sw.forward(lambda t: 1 / 0, m=3, J=6), ZeroDivisionError, ""),
    (lambda: sw.forward(np.sin, m=3, J=6, x=[0, 1]), TypeError, "x and fit belong to samples"),
    (lambda: sw.inverse(sw.forward([1.0, 2.0], m=2, J=3), [0.5, np.nan]), ValueError, "x is not"),
    (lambda: sw.forward([1.0, 2.0], m=2, J=3).level(4), ValueError, "level must be in 1 .. 3"),
    (lambda: sw.forward([1.0, 2.0], m=2, J=3).threshold(-1), ValueError, "t must be"),
    (lambda: sw.forward([1.0, 2.0], m=2, J=3).threshold(1, mode="soft"), ValueError, "mode"),
    (lambda: sw.forward([1.0, 2.0], m=2, J=3).keep(5, by="size"), ValueError, "by must be"),
    (lambda: sw.forward([1.0, 2.0], m=2, J=3).keep(-1), ValueError, "K must be"),
    (lambda: sw.Basis(m=2, J=3).wavelet(level=2, index=1, x=[0.5]), ValueError, "index must"),
]


@pytest.mark.parametrize("call, error, words", BAD_CALLS)
def test_bad_arguments_raise_naming_them(call, error, words):
    with pytest.raises(error, match=words.replace("^", r"\^").replace("+", r"\+")):
        call()


def test_arrays_of_any_layout_and_dtype_give_the_same_coefficients():
    y = signal(np.linspace(0, 1, 129))
    reference = sw.forward(y, m=3, J=7)
    strided = np.repeat(y, 2)[::2]
    for variant in [strided, y.tolist(), y[::-1].copy()[::-1]]:
        assert same_bits(sw.forward(variant, m=3, J=7).c, reference.c)
    single = sw.forward(y.astype(np.float32), m=3, J=7)
    assert same_bits(single.c, sw.forward(y.astype(np.float32).astype(float), m=3, J=7).c)
    grid = np.linspace(0, 1, 12).reshape(3, 4)
    assert sw.inverse(reference, grid).shape == (3, 4)
    assert reference.components(grid.T).shape == (7 - reference.J0 + 1, 4, 3)


def test_a_function_is_called_on_whole_arrays():
    sizes = []
    def f(t):
        sizes.append(t.size)
        return np.cos(t)
    sw.forward(f, m=4, J=14)
    assert len(sizes) <= 20 and min(sizes) > 1000


def test_two_threads_on_two_bases_give_what_one_gives():
    x = np.linspace(0, 1, 2**15 + 1)
    jobs = [lambda: sw.forward(signal, m=3, J=15, rule="exact"),
            lambda: sw.forward(signal(x), m=4, J=15)]
    alone = [job() for job in jobs]
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        together = [future.result() for future in [pool.submit(job) for job in jobs * 2]]
    for got, expected in zip(together, alone * 2):
        assert same_bits(got.c, expected.c) and same_bits(got.d, expected.d)


def test_the_coefficient_file_reads_back_every_bit(tmp_path):
    c = sw.forward(signal, m=4, J=10, rule="exact").keep(50)
    c.save(tmp_path / "k.csv")
    back = sw.load(str(tmp_path / "k.csv"))
    assert (back.m, back.J, back.J0, back.rule, back.label) == (4, 10, 3, "exact", c.label)
    assert same_bits(back.d, c.d) and same_bits(back.c, c.c)
    (tmp_path / "bad.csv").write_text("# splinewave coefficients\nnonsense\n")
    with pytest.raises(ValueError, match="path: not a coefficient file"):
        sw.load(tmp_path / "bad.csv")
    with pytest.raises(FileNotFoundError):
        sw.load(tmp_path / "missing.csv")


def test_levels_thresholds_and_components_split_one_expansion():
    c = sw.forward(signal, m=3, J=8)
    levels = c.levels()
    assert [len(a) for a in levels] == [2**c.J0 + 2] + [2 ** (L - 1) for L in range(c.J0 + 1, 9)]
    assert same_bits(np.concatenate(levels[1:]), c.c) and same_bits(levels[0], c.d)
    t = np.quantile(np.abs(c.c), 0.9)
    kept = c.threshold(t, by="value")
    assert same_bits(kept.c, np.where(np.abs(c.c) >= t, c.c, 0.0)) and same_bits(kept.d, c.d)
    assert np.count_nonzero(c.keep(20).c) == 20 and np.count_nonzero(c.c) == c.c.size
    x = np.linspace(0, 1, 301)
    parts = c.components(x)
    assert np.abs(parts.sum(axis=0) - sw.inverse(c, x)).max() < 1e-12
    # A level's detail is the sum of its coefficients times its wavelets, evaluated one by one.
    L, m = 6, c.m
    detail = sum(v * c.basis.wavelet(level=L, index=p, x=x)
                 for p, v in zip(range(1 - m, 2 ** (L - 1) - m + 1), c.level(L)))
    assert np.abs(parts[L - c.J0] - detail).max() < 1e-12


@pytest.mark.parametrize("m", [2, 3, 4])
def test_b_splines_sum_to_the_mesh_spacing(m):
    basis = sw.Basis(m=m, J=6)
    x = np.linspace(0, 1, 97)
    total = sum(basis.scaling(level=5, index=k, x=x) for k in range(1 - m, 2**5))
    assert np.abs(total - 2.0**-5).max() < 1e-15


def test_every_public_name_has_a_docstring():
    public = [sw, sw.forward, sw.inverse, sw.load, sw.Basis, sw.Coefficients]
    public += [getattr(sw.Basis, n) for n in dir(sw.Basis) if not n.startswith("_")]
    public += [getattr(sw.Coefficients, n) for n in dir(sw.Coefficients) if not n.startswith("_")]
    assert all(len(item.__doc__ or "") > 10 for item in public)
    for convention in ["[0, 1]", "J0", "1-m .. 2^J0 - 1", "h times the normalised", "'exact'"]:
        assert convention in sw.__doc__
