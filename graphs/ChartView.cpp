#include "graphs/ChartView.h"

#include <QLogValueAxis>
#include <QMouseEvent>
#include <QValueAxis>

namespace {

QPointF range(QAbstractAxis* axis)
{
    if (auto* values = qobject_cast<QValueAxis*>(axis))
        return {values->min(), values->max()};
    auto* logarithmic = static_cast<QLogValueAxis*>(axis);
    return {logarithmic->min(), logarithmic->max()};
}

} // namespace

TChartView::TChartView(QChart* chart)
    : QChartView(chart)
{
    setRubberBand(QChartView::RectangleRubberBand);
}

TChartView::Ranges TChartView::ranges() const
{
    return {
        range(chart()->axes(Qt::Horizontal).first()), range(chart()->axes(Qt::Vertical).first())};
}

// A right click steps back; a left release ends the rubber band, and a zoom is remembered with
// the ranges it left.
void TChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        stepBack();
        event->accept();
        return;
    }
    if (!chart()->isZoomed())
        earlier.clear(); // the axes were fitted since
    const Ranges before = ranges();
    QChartView::mouseReleaseEvent(event);
    if (ranges() != before)
        earlier.push_back(before);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    chart()->zoomReset();
    earlier.clear();
    event->accept();
}

// The chart keeps the fitted ranges from its first zoom on: the last step back restores them and
// ends the zoom.
void TChartView::stepBack()
{
    if (!chart()->isZoomed())
        earlier.clear();
    if (earlier.empty())
        return;
    const Ranges back = earlier.back();
    earlier.pop_back();
    if (earlier.empty()) {
        chart()->zoomReset();
        return;
    }
    const QList<QAbstractAxis*> axes {
        chart()->axes(Qt::Horizontal).first(), chart()->axes(Qt::Vertical).first()};
    for (int i = 0; i < 2; ++i)
        axes[i]->setRange(back[i].x(), back[i].y());
}
