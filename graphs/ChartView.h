#pragma once

#include <QChartView>

#include <array>
#include <vector>

// A chart view zoomed with the mouse: a rectangle dragged with the left button zooms into it; a
// right click goes back one zoom, to the rectangle before the last one and after the first to
// the fitted range; a double click goes back to the fitted range at once. Fitting the axes
// (QChart::zoomReset) ends every zoom, and the steps back with it.
class TChartView : public QChartView
{
public:
    explicit TChartView(QChart* chart);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // [min, max] of the horizontal and of the vertical axis.
    using Ranges = std::array<QPointF, 2>;
    Ranges ranges() const;
    void stepBack();

    std::vector<Ranges> earlier; // the ranges before each zoom in force, the oldest first
};
