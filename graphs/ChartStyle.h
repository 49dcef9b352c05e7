#pragma once

#include <QPointF>
#include <QString>

class QAbstractAxis;
class QChartView;
class QLogValueAxis;
class QValueAxis;
class QXYSeries;

// The look every chart of the window shares, for the main window's pages and for the pages that
// are widgets of their own: a blue title, a white plot, numbers in the locale's format, value axes
// with round ticks and logarithmic axes labelled at powers of ten, no animation; the view zooms
// with the mouse and shows tooltips (graphs/ChartView.h).

// A chart view with its title and the given axes on the left and at the bottom (a value axis
// unless given), its legend visible but detached from the layout (the main window places it in
// rows under the plot).
QChartView* styledChartView(
    const char* name, const QString& title, QAbstractAxis* left, QAbstractAxis* bottom = nullptr);

// Sets the axis to [low - margin, high + margin], margin a share of the span, with round ticks.
void fitAxis(QValueAxis* axis, double low, double high, double margin);

// Whole decades around [low, high], low > 0, labelled at powers of ten.
void fitLogAxis(QLogValueAxis* axis, double low, double high);

// The sample of the curve nearest to the hovered point, by x.
QPointF nearestPoint(const QXYSeries& series, QPointF at);
