#pragma once

#include <QList>
#include <QPointF>

#include <span>

// What a chart needs of a dense curve to draw it as the whole curve would be drawn: the x range
// of the samples split into `columns` equal columns (one per pixel), and of the samples in each
// column the first, the lowest, the highest and the last, in their order. A one-sample peak is
// kept, the line enters and leaves every column where the curve does, and at most 4 points per
// column remain. Samples whose y is not finite are left out. x ascending; O(samples).
QList<QPointF> pixelEnvelope(std::span<const double> x, std::span<const double> y, int columns);
