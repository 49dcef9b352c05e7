#pragma once

#include <QColor>

// Colours for curves told apart by colour alone: 16 that stay distinct from each other on a white
// plot, and from the colours the analysis page gives its other curves (red, blue, black, light
// grey). Curve i takes colour i modulo 16.
QColor curveColour(int i);
constexpr int curveColours = 16;
