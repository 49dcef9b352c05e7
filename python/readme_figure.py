"""Draws the README's Python example: a signal, its reconstruction from 1 % of the wavelet
coefficients, and the coarse part and the details of each level.

Usage: PYTHONPATH=build/python /usr/bin/python3 python/readme_figure.py docs/python-example.png
Needs Debian's python3-matplotlib.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import splinewave as sw

x = np.linspace(0, 1, 2**12 + 1)
y = np.sin(12 * np.pi * x**2) * np.exp(-x) + 0.5 * (x > 0.6)
y += 0.02 * np.random.default_rng(1).standard_normal(x.size)

c = sw.forward(y, m=4, J=12, rule="exact")
kept = c.keep(c.c.size // 100)  # 1 % of the wavelet coefficients, the coarse d kept
parts = c.components(x)  # row 0: the coarse part, row L - J0: the detail of level L

figure, axes = plt.subplots(2, 1, figsize=(8, 6.4), height_ratios=[1, 1.6], dpi=80)
axes[0].plot(x, y, color="0.6", lw=1, label="сигнал, 4097 отсчётов")
axes[0].plot(x, sw.inverse(kept, x), color="C3", lw=1.2,
             label=f"восстановление по {kept.c.size // 100} коэффициентам (1 %)")
axes[0].legend(loc="lower left", fontsize=9)
axes[0].set_title("m = 4, J = 12, точное интегрирование")
shown = range(c.J0, c.J + 1, 1)
for row, L in enumerate(shown):
    part = parts[L - c.J0]
    scaled = part / (np.abs(part).max() or 1) * 0.45 - row
    axes[1].plot(x, scaled, lw=0.8, color=f"C{row % 10}")
names = [f"грубая, J0 = {L}" if L == c.J0 else f"уровень {L}" for L in shown]
axes[1].set_yticks([-row for row, _ in enumerate(shown)], names)
axes[1].set_title("грубая часть и детали уровней (каждая в своём масштабе)")
axes[1].set_xlabel("x")
figure.tight_layout()
figure.savefig(sys.argv[1])
