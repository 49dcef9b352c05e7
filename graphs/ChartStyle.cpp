// The look every chart of the window shares, and the fitting of its axes.

#include "graphs/ChartStyle.h"
#include "graphs/ChartView.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLogValueAxis>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cmath>

namespace {

// Ticks at 1, 2 or 5 times a power of ten that divide the span into at most six parts, labelled
// with as many decimals as the interval needs. No span (the ends set one at a time can cross
// for a moment) changes nothing.
void setRoundTicks(QValueAxis* axis, double span)
{
    if (!(span > 0) || !std::isfinite(span))
        return;
    const int exponent = int(std::floor(std::log10(span / 6)));
    const double unit = std::pow(10.0, exponent);
    const double factor = span / 6 <= unit ? 1
        : span / 6 <= 2 * unit             ? 2
        : span / 6 <= 5 * unit             ? 5
                                           : 10;
    axis->setTickInterval(factor * unit);
    // The chart reaches the tick at 0 by adding the interval to the lowest tick again and again,
    // and the rounding of those sums can leave it at -3e-17, labelled "-0,0": the anchor a
    // billionth of an interval above 0 keeps that tick positive, too little to move it a pixel.
    axis->setTickAnchor(factor * unit * 1e-9);
    const int decimals = std::max(0, factor == 10 ? -exponent - 1 : -exponent);
    axis->setLabelFormat("%." + QString::number(decimals) + "f");
}

} // namespace

void fitAxis(QValueAxis* axis, double low, double high, double margin)
{
    if (!(high > low) || !std::isfinite(high - low)) { // nothing shown, or a flat curve
        low = std::isfinite(low) ? low - 1 : -1;
        high = low + 2;
    }
    axis->setRange(low - margin * (high - low), high + margin * (high - low));
}

// Labelled at every power of ten, or at every second,
// third ... one when that keeps the labels at most seven. Qt's charts lay out no axis whose span
// is within 1e-12 of zero: its labels would stay those of the range before, so a range of tiny
// values reaches up to 1e-11.
void fitLogAxis(QLogValueAxis* axis, double low, double high)
{
    if (!(low > 0 && high >= low && std::isfinite(high))) { // nothing shown
        low = 0.1;
        high = 1;
    }
    double first = std::floor(std::log10(low));
    double last = std::max({std::ceil(std::log10(high)), first + 1, -11.0});
    const double decades = std::ceil((last - first) / 6);
    first = decades * std::floor(first / decades);
    last = decades * std::ceil(last / decades);
    axis->setBase(std::pow(10.0, decades));
    // A hair wider, so that rounding in the axis never drops the labels at its ends.
    axis->setRange(std::pow(10.0, first) * (1 - 1e-9), std::pow(10.0, last) * (1 + 1e-9));
}

QChartView* styledChartView(
    const char* name, const QString& title, QAbstractAxis* left, QAbstractAxis* bottom)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont titleFont("Arial");
    titleFont.setPixelSize(16);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(Qt::blue);
    chart->legend()->setVisible(true);
    chart->legend()->detachFromChart(); // placed by the main window, in rows
    chart->legend()->setAlignment(Qt::AlignTop); // rows filled from the top, in series order
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setLocalizeNumbers(true); // axis numbers with the locale's decimal separator
    if (!bottom)
        bottom = new QValueAxis;
    for (QAbstractAxis* axis : {(QAbstractAxis*)bottom, left}) {
        auto layOut = [chart] { chart->layout()->activate(); };
        if (auto* values = qobject_cast<QValueAxis*>(axis)) {
            values->setTickType(QValueAxis::TicksDynamic);
            // The axis lays out its ticks as soon as its range changes, before rangeChanged is
            // emitted: the interval must follow the range when its ends are set, or the old
            // interval over the new range could mean a myriad of ticks (seconds of work).
            auto follow = [values] { setRoundTicks(values, values->max() - values->min()); };
            QObject::connect(values, &QValueAxis::minChanged, values, follow);
            QObject::connect(values, &QValueAxis::maxChanged, values, follow);
            QObject::connect(values, &QValueAxis::rangeChanged, values, layOut);
        } else if (auto* logarithmic = qobject_cast<QLogValueAxis*>(axis)) {
            logarithmic->setMinorTickCount(0);
            logarithmic->setLabelFormat("%.0e"); // 1e-05: a power of ten
            QObject::connect(logarithmic, &QLogValueAxis::rangeChanged, logarithmic, layOut);
        }
        chart->addAxis(axis, axis == bottom ? Qt::AlignBottom : Qt::AlignLeft);
    }
    auto* view = new TChartView(chart); // drag to zoom, right click back, double click out
    view->setObjectName(name);
    view->setFrameShape(QFrame::NoFrame);
    return view;
}

QPointF nearestPoint(const QXYSeries& series, QPointF at)
{
    const QList<QPointF> samples = series.points();
    auto nearer = [at](QPointF p, QPointF q) {
        return std::abs(p.x() - at.x()) < std::abs(q.x() - at.x());
    };
    return *std::min_element(samples.begin(), samples.end(), nearer);
}
