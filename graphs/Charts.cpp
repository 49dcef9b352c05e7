// What every chart of the window shares: one horizontal and one vertical axis for its whole life,
// fitted to the curves shown with round ticks; no animation, so that the axes and their labels
// stand at their numbers as soon as a command returns; the legend in rows under the plot; a
// tooltip on every curve; a legend click that hides and shows a curve; and the picture of a chart
// as a file.

#include "app/Main_f.h"
#include "core/Conversions.h"
#include "files/FileText.h"
#include "graphs/ChartStyle.h"
#include "graphs/ChartView.h"

#include <algorithm>
#include <cmath>

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLegend>
#include <QLegendMarker>
#include <QLogValueAxis>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QValueAxis>
#include <QXYSeries>

namespace {

// The space between the legend and the edges of the chart, in pixels.
constexpr int legendInset = 10;

// The part of the item taken by its visible texts, in the item's coordinates.
QRectF textArea(QGraphicsItem* item)
{
    QRectF area;
    for (QGraphicsItem* child : item->childItems())
        if (child->isVisible()) {
            const QRectF own
                = dynamic_cast<QGraphicsTextItem*>(child) ? child->boundingRect() : textArea(child);
            area |= child->mapRectToParent(own);
        }
    return area;
}

// The samples of a curve; the bars of a bar series as (index, value).
QList<QPointF> shownValues(QAbstractSeries* series)
{
    auto* bars = qobject_cast<QAbstractBarSeries*>(series);
    if (!bars)
        return static_cast<QXYSeries*>(series)->points();
    QList<QPointF> values;
    for (const QBarSet* set : bars->barSets())
        for (int i = 0; i < set->count(); ++i)
            values.append({double(i), set->at(i)});
    return values;
}

// The title of a picture: that of its chart, or of the first chart on it.
QString chartTitle(QWidget* view)
{
    auto* chart = qobject_cast<QChartView*>(view);
    if (!chart)
        chart = view->findChild<QChartView*>();
    return chart ? chart->chart()->title() : QString();
}

} // namespace

// A chart in the style of every chart of the window (graphs/ChartStyle.h), its legend placed in
// rows under the plot.
QChartView* TMainForm::createChartView(
    const char* name, const QString& title, QAbstractAxis* left, QAbstractAxis* bottom)
{
    QChartView* view = styledChartView(name, title, left, bottom);
    QChart* chart = view->chart();
    connect(chart, &QChart::geometryChanged, this, [this, chart] { placeLegend(chart); });
    return view;
}

// The legend stands under the plot in as many rows as its entries need at the chart's width
// (one row would cut the sixteen entries of m = 4 short on a window of the design size); the
// chart's bottom margin makes room for it.
void TMainForm::placeLegend(QChart* chart)
{
    QLegend* legend = chart->legend();
    if (!legend->isVisible())
        return;
    const QRectF frame = chart->rect().adjusted(legendInset, 0, -legendInset, 0);
    legend->setGeometry(frame);
    legend->layout()->activate();
    const double height = std::ceil(textArea(legend).bottom()) + legendInset / 2;
    legend->setGeometry(frame.adjusted(0, frame.height() - height - legendInset, 0, -legendInset));
    QMargins margins = chart->margins();
    margins.setBottom(int(height) + legendInset);
    chart->setMargins(margins);
    // A legend placed while the chart was narrow, on a page not shown yet, took many rows, and
    // their margin grew the chart beyond its view; it is back at the view's size.
    for (const QGraphicsView* view : chart->scene()->views())
        chart->resize(chart->size().boundedTo(view->size()));
}

// A curve on the chart's two axes, with its tooltip (the text of `tip`) and its legend entry.
void TMainForm::addCurve(QChartView* view, QXYSeries* series, const QPen& pen, TipText tip)
{
    QChart* chart = view->chart();
    series->setPen(pen);
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);
    static_cast<TChartView*>(view)->setTip(
        series, [this, series, tip](QPointF at) { return (this->*tip)(*series, at); });
    if (chart->legend()->isVisible())
        connectLegendMarker(chart->legend()->markers(series).first());
}

// The legend and the axes fit the curves or bars that are shown: x over their samples with the
// given share as margin (categories stay as they are), y over their finite values with a small
// margin (whole decades on a logarithmic axis). A zoom is undone first, so that zooming out
// returns to these ranges.
void TMainForm::fitAxes(QChart* chart, double xMargin)
{
    placeLegend(chart);
    chart->zoomReset();
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    for (QAbstractSeries* series : chart->series())
        if (series->isVisible())
            for (QPointF point : shownValues(series))
                if (std::isfinite(point.x()) && std::isfinite(point.y())) {
                    left = std::min(left, point.x());
                    right = std::max(right, point.x());
                    bottom = std::min(bottom, point.y());
                    top = std::max(top, point.y());
                }
    if (auto* horizontal = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first()))
        fitAxis(horizontal, left, right, xMargin);
    QAbstractAxis* vertical = chart->axes(Qt::Vertical).first();
    if (auto* logarithmic = qobject_cast<QLogValueAxis*>(vertical))
        fitLogAxis(logarithmic, bottom, top);
    else
        fitAxis(static_cast<QValueAxis*>(vertical), bottom, top, 0.05);
    chart->layout()->activate();
}

QPointF TMainForm::nearestSample(const QXYSeries& series, QPointF at)
{
    return nearestPoint(series, at);
}

// The curve, and x and y of its sample as the grids show numbers.
QString TMainForm::pointTip(const QXYSeries& series, QPointF at)
{
    const QPointF sample = nearestSample(series, at);
    return series.name() + "\nx = " + FloatToStrF(sample.x()) + "\ny = " + FloatToStrF(sample.y());
}

// A click on a legend entry hides or shows its curve; the entry stays, dimmed while the curve
// is hidden, so that it can be clicked again.
void TMainForm::connectLegendMarker(QLegendMarker* marker)
{
    QAbstractSeries* series = marker->series();
    connect(marker, &QLegendMarker::clicked, this, [this, marker, series] {
        series->setVisible(!series->isVisible());
        marker->setVisible(true);
        fitAxes(series->chart());
    });
    connect(series, &QAbstractSeries::visibleChanged, this, [marker, series] {
        QColor label = marker->labelBrush().color();
        label.setAlphaF(series->isVisible() ? 1.0 : 0.4);
        marker->setLabelBrush(label);
    });
}

// Runs the drawing with the page brought up: a page that has never been shown has no real size
// yet. The page shown before is brought back.
void TMainForm::onPage(QWidget* page, const std::function<void()>& draw)
{
    QWidget* current = pcCenter->currentWidget();
    pcCenter->setCurrentWidget(page);
    draw();
    pcCenter->setCurrentWidget(current);
}

// The view as shown on its page, at the screen's pixel density.
QImage TMainForm::pageImage(QWidget* page, QWidget* view)
{
    QImage image;
    onPage(page, [&] { image = view->grab().toImage(); });
    return image;
}

// The view as a picture file: "svg" draws its lines and texts as vectors (at the view's size in
// pixels); "png" and "bmp" are its image.
QByteArray TMainForm::picture(QWidget* page, QWidget* view, const QString& suffix)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix != "svg") {
        pageImage(page, view).save(&buffer, suffix.toUpper().toLatin1());
        return bytes;
    }
    onPage(page, [&] {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(view->size());
        svg.setViewBox(view->rect());
        svg.setResolution(view->logicalDpiX()); // texts as large as on the screen
        svg.setTitle(chartTitle(view));
        QPainter painter(&svg);
        view->render(&painter);
    });
    return bytes;
}

// Runs the picture dialog and writes the view. A name that ends in one of the dialog's suffixes,
// in any case, is written in that format under that name; any other name gets the suffix of the
// filter chosen and its format. The name written, or nothing when the dialog was cancelled or
// the write failed (saveWholeFile has said why).
std::optional<QString> TMainForm::savePicture(QFileDialog& dialog, QWidget* page, QWidget* view)
{
    const std::optional<QString> chosen = runFileDialog(dialog);
    if (!chosen)
        return std::nullopt;
    static const QRegularExpression pattern(R"(\*\.(\w+))");
    QString suffix = pattern.match(dialog.selectedNameFilter()).captured(1).toLower();
    for (const QString& filter : dialog.nameFilters())
        if (const QString offered = pattern.match(filter).captured(1).toLower();
            chosen->endsWith("." + offered, Qt::CaseInsensitive))
            suffix = offered;
    const QString name = withSuffix(*chosen, suffix);
    if (!saveWholeFile(name, picture(page, view, suffix)))
        return std::nullopt;
    return name;
}
