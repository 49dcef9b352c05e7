#pragma once

#include <QChartView>
#include <QPointer>

#include <array>
#include <functional>
#include <vector>

class QBarSet;
class QXYSeries;

// A chart view zoomed with the mouse: a rectangle dragged with the left button zooms into it; a
// right click goes back one zoom, to the rectangle before the last one and after the first to
// the fitted range; a double click goes back to the fitted range at once. Fitting the axes
// (QChart::zoomReset) ends every zoom, and the steps back with it.
// The pointer within tipReach pixels of a curve or a bar shows its tooltip: of the curves and
// bars given one, the nearest to the pointer, so that a thin line need not be hit exactly.
class TChartView : public QChartView
{
public:
    explicit TChartView(QChart* chart);

    static constexpr double tipReach = 6;
    // The tooltip of a curve at the point of its line nearest to the pointer (in the values of
    // its axes), and of a bar of a bar set by the bar's index. A series or set deleted drops out.
    using CurveTip = std::function<QString(QPointF at)>;
    using BarTip = std::function<QString(int bar)>;
    void setTip(QXYSeries* series, CurveTip tip);
    void setTip(QBarSet* bars, BarTip tip);
    // The tooltip at a point of the viewport; empty where no curve or bar is near.
    QString tipAt(QPointF position) const;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // [min, max] of the horizontal and of the vertical axis.
    using Ranges = std::array<QPointF, 2>;
    Ranges ranges() const;
    void stepBack();

    std::vector<Ranges> earlier; // the ranges before each zoom in force, the oldest first
    // Deleted series and sets leave null pointers, skipped and dropped by the next setTip.
    std::vector<std::pair<QPointer<QXYSeries>, CurveTip>> curveTips;
    std::vector<std::pair<QPointer<QBarSet>, BarTip>> barTips;
};
