#include "graphs/ChartView.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cmath>

namespace {

QPointF range(QAbstractAxis* axis)
{
    if (auto* values = qobject_cast<QValueAxis*>(axis))
        return {values->min(), values->max()};
    auto* logarithmic = static_cast<QLogValueAxis*>(axis);
    return {logarithmic->min(), logarithmic->max()};
}

// The point of segment p q nearest to c, as the share of the way from p to q.
double nearestShare(QPointF p, QPointF q, QPointF c)
{
    const QPointF d = q - p;
    const double length = QPointF::dotProduct(d, d);
    return length > 0 ? std::clamp(QPointF::dotProduct(c - p, d) / length, 0.0, 1.0) : 0.0;
}

// The bar series of the chart that holds the set.
QAbstractBarSeries* barSeries(const QChart& chart, QBarSet* set)
{
    for (QAbstractSeries* series : chart.series())
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(series);
            bars && bars->barSets().contains(set))
            return bars;
    return nullptr;
}

double distance(QPointF p, QPointF q)
{
    return std::hypot(p.x() - q.x(), p.y() - q.y());
}

} // namespace

TChartView::TChartView(QChart* chart)
    : QChartView(chart)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TChartView::setTip(QXYSeries* series, CurveTip tip)
{
    std::erase_if(curveTips, [](const auto& entry) { return entry.first.isNull(); });
    curveTips.emplace_back(series, std::move(tip));
}

void TChartView::setTip(QBarSet* bars, BarTip tip)
{
    std::erase_if(barTips, [](const auto& entry) { return entry.first.isNull(); });
    barTips.emplace_back(bars, std::move(tip));
}

// The lines are searched only where they can come near: the samples of a curve increase in x,
// so a binary search finds those within reach horizontally, O(log n + those) per curve. Bars
// are rectangles from their value down to the bottom of the plot.
QString TChartView::tipAt(QPointF position) const
{
    const QPointF c = chart()->mapFromScene(mapToScene(position.toPoint()));
    if (!chart()->plotArea().adjusted(-tipReach, -tipReach, tipReach, tipReach).contains(c))
        return {};
    double nearest = tipReach;
    std::function<QString()> tip;
    for (const auto& [pointer, curveTip] : curveTips) {
        QXYSeries* series = pointer;
        if (!series || !series->isVisible() || series->count() == 0)
            continue;
        const QList<QPointF> points = series->points();
        const double left = chart()->mapToValue(c - QPointF(tipReach, 0), series).x();
        const double right = chart()->mapToValue(c + QPointF(tipReach, 0), series).x();
        auto first = std::lower_bound(
            points.begin(), points.end(), left, [](QPointF p, double x) { return p.x() < x; });
        const bool dots = qobject_cast<const QScatterSeries*>(series) != nullptr;
        for (auto p = first == points.begin() || dots ? first : first - 1; p != points.end(); ++p) {
            const auto q = dots || p + 1 == points.end() ? p : p + 1;
            const QPointF from = chart()->mapToPosition(*p, series);
            const double share = nearestShare(from, chart()->mapToPosition(*q, series), c);
            const QPointF at = *p + share * (*q - *p);
            if (const double d = distance(c, chart()->mapToPosition(at, series)); d <= nearest) {
                nearest = d;
                tip = [&curveTip, at] { return curveTip(at); };
            }
            if (p->x() > right)
                break;
        }
    }
    for (const auto& [pointer, barTip] : barTips) {
        QBarSet* bars = pointer;
        QAbstractBarSeries* series = bars ? barSeries(*chart(), bars) : nullptr;
        if (!series || !series->isVisible())
            continue;
        const double half = series->barWidth() / 2;
        for (int i = 0; i < bars->count(); ++i) {
            const QPointF top = chart()->mapToPosition({i - half, bars->at(i)}, series);
            const QPointF end = chart()->mapToPosition({i + half, bars->at(i)}, series);
            const QRectF bar(QPointF(top.x(), std::min(top.y(), chart()->plotArea().bottom())),
                QPointF(end.x(), chart()->plotArea().bottom()));
            const QPointF inside(std::clamp(c.x(), bar.left(), bar.right()),
                std::clamp(c.y(), bar.top(), bar.bottom()));
            if (const double d = distance(c, inside); d <= nearest) {
                nearest = d;
                tip = [&barTip, i] { return barTip(i); };
            }
        }
    }
    return tip ? tip() : QString();
}

void TChartView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton)
        return;
    const QString tip = tipAt(event->position());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), tip, this);
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
