#include "imaging/ImagePage.h"

#include "app/Dialogs.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "data/SampledData.h"
#include "files/FileText.h"
#include "graphs/ChartStyle.h"
#include "graphs/ChartView.h"
#include "image/ImageCoefficientFile.h"
#include "imaging/ImageCompression.h"
#include "imaging/ImagePictures.h"
#include "imaging/ImageView.h"
#include "imaging/PsnrCurve.h"

#include <QBoxLayout>
#include <QChart>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QMainWindow>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QValueAxis>

#include <cmath>

namespace {

const char* const noImage = "Откройте изображение: PNG, JPEG, BMP или TIFF";
const char* const percentHint
    = "Сколько процентов коэффициентов каждого канала сохранить (от 0 до 100): остаются те, у "
      "которых вклад |c|·‖базисной функции‖ наибольший; остальные считаются нулями. Новая доля "
      "применяется по Enter или при выходе из поля";

// A number as the page writes it: the locale's decimal separator, `decimals` after it.
QString number(double value, int decimals)
{
    return QLocale().toString(value, 'f', decimals);
}

// A percentage as short as it can be: 5, 0,1, 12,5.
QString percentText(double percent)
{
    return QLocale().toString(percent, 'g', 6);
}

QString psnrText(double psnr)
{
    return std::isinf(psnr) ? QString("∞ (без потерь)") : number(psnr, 2) + " дБ";
}

// The file of one channel of a colour image: "-red", "-green" or "-blue" before ".csv".
QString channelFile(const QString& name, image::Channel channel)
{
    const QString tag = QString("-") + image::channelName(channel);
    return name.endsWith(".csv", Qt::CaseInsensitive) ? name.chopped(4) + tag + name.right(4)
                                                      : name + tag;
}

// A basis as the status line names it: "m=3, точное интегрирование".
QString basisText(int m, engine::Rule rule)
{
    return "m=" + IntToStr(m)
        + (rule == engine::Rule::Exact ? ", точное интегрирование"
                                       : ", без точного интегрирования");
}

template <class Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton* toolButton(
    const char* name, const char* caption, QStyle::StandardPixmap glyph, QWidget* parent)
{
    auto* button = named(new QPushButton(caption, parent), name);
    button->setIcon(parent->style()->standardIcon(glyph));
    return button;
}

} // namespace

ImagePage::ImagePage(std::function<ImageBasis()> basis, QWidget* parent)
    : QWidget(parent)
    , basis(std::move(basis))
{
    setObjectName("tsImage");
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    createTools();
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(createViews());
    splitter->addWidget(createChart());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    page->addWidget(splitter, 1);
    createDialogs();
    connectControls();
}

ImagePage::~ImagePage() = default;

// One row: open, the channels, the percentage, the two saves; the result in a line under it.
void ImagePage::createTools()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    btnImageOpen
        = toolButton("btnImageOpen", "Открыть изображение…", QStyle::SP_DialogOpenButton, this);
    btnImageOpen->setToolTip("Изображение PNG, JPEG, BMP или TIFF, или файл CSV коэффициентов "
                             "изображения (из «Сохранить коэффициенты…»): тогда действуют "
                             "m и правило интегрирования из файла");
    cbImageChannels = named(new QComboBox(this), "cbImageChannels");
    cbImageChannels->addItems({"в оттенках серого", "по каналам цвета"}); // as ImageChannels
    cbImageChannels->setToolTip("Цветное изображение: одна яркость или каждый из каналов "
                                "красный, зелёный, синий отдельно");
    auto* percentLabel = new QLabel("сохранить, %", this);
    edImagePercent = named(new QLineEdit(this), "edImagePercent");
    edImagePercent->setToolTip(percentHint);
    percentLabel->setToolTip(percentHint);
    edImagePercent->setFixedWidth(8 * edImagePercent->fontMetrics().horizontalAdvance('0'));
    showPercent();
    lblImageResult = named(new QLabel(noImage, this), "lblImageResult");
    lblImageResult->setWordWrap(true);
    lblImageResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnImageSave = toolButton(
        "btnImageSave", "Сохранить восстановление…", QStyle::SP_DialogSaveButton, this);
    btnImageSave->setToolTip("Восстановленное изображение в файле PNG");
    btnImageSaveCoefficients = toolButton(
        "btnImageSaveCoefficients", "Сохранить коэффициенты…", QStyle::SP_DialogSaveButton, this);
    btnImageSaveCoefficients->setToolTip(
        "Сохранённые коэффициенты (остальные — нули) в таблице CSV со всеми знаками. Цветное "
        "изображение по каналам — три файла, по одному на канал: к имени перед «.csv» "
        "добавляется «-red», «-green» и «-blue»");
    for (QPushButton* save : {btnImageSave, btnImageSaveCoefficients})
        save->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*> {
             btnImageOpen, cbImageChannels, percentLabel, edImagePercent})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(btnImageSave);
    row->addWidget(btnImageSaveCoefficients);
    layout()->addWidget(lblImageResult);
}

// The four views, 2 x 2: what was opened and what came back on top, how they differ and the
// coefficients below.
QWidget* ImagePage::createViews()
{
    auto* views = new QWidget(this);
    auto* grid = new QGridLayout(views);
    grid->setContentsMargins(0, 0, 0, 0);
    imgOriginal = new ImageView("imgOriginal", "Исходное изображение", views);
    imgReconstruction = new ImageView("imgReconstruction", "Восстановление", views);
    imgDifference = new ImageView("imgDifference", "Разность", views);
    imgPyramid = new ImageView("imgPyramid", "Коэффициенты", views);
    grid->addWidget(imgOriginal, 0, 0);
    grid->addWidget(imgReconstruction, 0, 1);
    grid->addWidget(imgDifference, 1, 0);
    grid->addWidget(imgPyramid, 1, 1);
    return views;
}

// The curve in blue with its points, the percentage in force as a red point; no legend.
QChartView* ImagePage::createChart()
{
    auto* percentAxis = new QLogValueAxis;
    chImagePsnr = styledChartView("chImagePsnr", "Сжатие", new QValueAxis, percentAxis);
    QChart* chart = chImagePsnr->chart();
    chart->legend()->setVisible(false);
    chart->setMargins({4, 4, 4, 4});
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    percentAxis->setLabelFormat("%.3g"); // 0,1 1 10 100
    percentAxis->setTitleText("сохранено, %");
    chart->axes(Qt::Vertical).first()->setTitleText("PSNR, дБ");
    fitLogAxis(percentAxis, curvePercentages().front(), curvePercentages().back());
    auto* line = new QLineSeries;
    line->setName("PSNR");
    line->setPen(QPen(Qt::blue, 2));
    line->setPointsVisible(true);
    auto* mark = new QScatterSeries;
    mark->setName("сохранено сейчас");
    mark->setMarkerSize(11);
    mark->setColor(Qt::red);
    mark->setBorderColor(Qt::darkRed);
    for (QXYSeries* series : {(QXYSeries*)line, (QXYSeries*)mark}) {
        chart->addSeries(series);
        for (QAbstractAxis* axis : chart->axes())
            series->attachAxis(axis);
    }
    auto* view = static_cast<TChartView*>(chImagePsnr);
    view->setTip(line, [this](QPointF at) { return curveTip(at); });
    view->setTip(mark, [this](QPointF) {
        return "сохранено сейчас " + percentText(percent) + " %\nPSNR "
            + psnrText(compression->quality().psnr);
    });
    chImagePsnr->setMinimumWidth(220);
    return chImagePsnr;
}

void ImagePage::createDialogs()
{
    openDialog = named(new QFileDialog(this), "ImageOpenDialog");
    openDialog->setNameFilters(
        {"Изображения и их коэффициенты (*.png *.jpg *.jpeg *.bmp *.tif *.tiff *.csv)",
            "Все файлы (*)"});
    openDialog->setFileMode(QFileDialog::ExistingFile);
    saveDialog = named(new QFileDialog(this), "ImageSaveDialog");
    saveDialog->setNameFilter("Рисунок PNG (*.png)");
    saveDialog->setDefaultSuffix("png");
    coefficientsDialog = named(new QFileDialog(this), "ImageCoefficientsDialog");
    coefficientsDialog->setNameFilter("Таблица CSV (*.csv)");
    coefficientsDialog->setDefaultSuffix("csv");
    for (QFileDialog* dialog : {saveDialog, coefficientsDialog})
        dialog->setAcceptMode(QFileDialog::AcceptSave);
    for (QFileDialog* dialog : {openDialog, saveDialog, coefficientsDialog})
        dialog->setOption(QFileDialog::DontUseNativeDialog);
}

// Every command runs under the window's standard exception display.
void ImagePage::connectControls()
{
    auto guarded = [this](void (ImagePage::*command)()) {
        return [this, command] { runGuarded([&] { (this->*command)(); }); };
    };
    connect(btnImageOpen, &QPushButton::clicked, this, guarded(&ImagePage::openClicked));
    connect(cbImageChannels, &QComboBox::currentIndexChanged, this,
        guarded(&ImagePage::channelsChanged));
    connect(edImagePercent, &QLineEdit::editingFinished, this, guarded(&ImagePage::percentTyped));
    connect(btnImageSave, &QPushButton::clicked, this, guarded(&ImagePage::saveClicked));
    connect(btnImageSaveCoefficients, &QPushButton::clicked, this,
        guarded(&ImagePage::saveCoefficientsClicked));
}

std::vector<double> ImagePage::curvePercentages()
{
    constexpr int points = 20;
    std::vector<double> percentages;
    for (int i = 0; i < points; ++i) // 0.1 * 1000^(i/19), the ends exact
        percentages.push_back(i == points - 1 ? 100 : 0.1 * std::pow(1000.0, i / (points - 1.0)));
    return percentages;
}

ImageChannels ImagePage::channelsChosen() const
{
    return ImageChannels(cbImageChannels->currentIndex());
}

bool ImagePage::shown() const
{
    return isVisibleTo(window());
}

QStatusBar* ImagePage::statusBar() const
{
    auto* main = qobject_cast<QMainWindow*>(window());
    return main ? main->statusBar() : nullptr;
}

// Brought up on its window: a basis changed meanwhile is followed, the curve starts.
bool ImagePage::event(QEvent* event)
{
    if (event->type() == QEvent::ShowToParent)
        runGuarded([this] {
            followBasis();
            startCurve();
        });
    return QWidget::event(event);
}

void ImagePage::openClicked()
{
    if (const std::optional<QString> name = runFileDialog(*openDialog))
        open(*name, channelsChosen());
}

// The file read again the other way; when it cannot be, the box shows the way in force again.
// Coefficients read from a file are of one channel whichever way.
void ImagePage::channelsChanged()
{
    if (!compression || source || channelsChosen() == channels)
        return;
    try {
        open(file, channelsChosen());
    } catch (...) {
        const QSignalBlocker quiet(cbImageChannels);
        cbImageChannels->setCurrentIndex(int(channels));
        throw;
    }
}

void ImagePage::open(const QString& name, ImageChannels how)
{
    transform([&] { return made(name, how); });
    file = name;
    channels = how;
}

// The file read whole once: a coefficient file, told by its first line, as an image's in the
// basis it has (a function's or a damaged one gets the reader's message); anything else as an
// image in the window's basis.
ImagePage::Made ImagePage::made(const QString& name, ImageChannels how) const
{
    const std::string path = name.toStdString();
    const std::string text = readFileText(path);
    const QString quoted = "«" + QFileInfo(name).fileName() + "»";
    if (Lines(text).next() != coefficientTitle) {
        const ImageBasis chosen = basis();
        return {std::make_shared<ImageCompression>(
                    imageData(text, path, how), chosen.m, chosen.rule, percent),
            "Изображение " + quoted, std::nullopt};
    }
    image::ImageCoefficientFile read = image::parseImageCoefficientText(text, path);
    return {std::make_shared<ImageCompression>(read.coefficients, read.width, read.height, percent),
        "Изображение из коэффициентов " + quoted,
        CoefficientSource {read.channel, std::move(read.function)}};
}

void ImagePage::basisChanged()
{
    basisDue = true;
    if (shown())
        followBasis();
}

// The transform anew when the window's order or rule is not that of the image's transform;
// coefficients read from a file keep the basis they are in.
void ImagePage::followBasis()
{
    if (!basisDue || !compression)
        return;
    basisDue = false;
    const ImageBasis chosen = basis();
    const image::ImageParameters& now = compression->transform().parameters();
    if (!source && (chosen.m != now.m || chosen.rule != now.rule))
        transform([&] {
            return Made {std::make_shared<ImageCompression>(
                             compression->original(), chosen.m, chosen.rule, percent),
                "Изображение", std::nullopt};
        });
}

// The new transform made under the busy cursor, timed on the status line, then shown; when it
// cannot be made, everything stays as it was.
void ImagePage::transform(const std::function<Made()>& make)
{
    const std::uint32_t start = clockTicks();
    std::optional<WaitingStatus> status;
    if (QStatusBar* bar = statusBar())
        status.emplace(bar, "Подождите, идет преобразование изображения...");
    const BusyCursor busy;
    curveComing.reset(); // the curve of the image in force leaves the processor to the new one
    Made next;
    try {
        next = make();
    } catch (...) {
        startCurve(); // the rest of the curve of the image that stays
        throw;
    }
    compression = std::move(next.compression);
    source = std::move(next.source);
    basisDue = false;
    showOriginal();
    showCompressed();
    restartCurve();
    const image::Pixels& first = compression->original().channels.front();
    if (status)
        status->complete(next.what + " (" + IntToStr(first.width) + " × " + IntToStr(first.height)
            + ") преобразовано для m=" + IntToStr(compression->transform().parameters().m)
            + basisNote() + ". Время выполнения " + IntToStr(int(clockTicks() - start)) + " мc");
}

// Coefficients read from a file in a basis other than the window's: which one holds here.
QString ImagePage::basisNote() const
{
    const ImageBasis chosen = basis();
    const image::ImageParameters& p = compression->transform().parameters();
    if (!source || (chosen.m == p.m && chosen.rule == p.rule))
        return {};
    return "; на этой странице действует базис файла (" + basisText(p.m, p.rule) + "), а не окна ("
        + basisText(chosen.m, chosen.rule) + ")";
}

// The percentage typed, when the typing is done: a number from 0 to 100, "." or "," as its
// point. Another text is refused with the window's message, and the field shows the percentage
// in force again before the message, so that leaving the field for the message box does not
// refuse it twice.
void ImagePage::percentTyped()
{
    const QString typed = edImagePercent->text();
    double value = 0;
    try {
        value = double(typedNumber(typed));
    } catch (const EConvertError&) {
        showPercent();
        throw;
    }
    if (!(value >= 0 && value <= 100)) {
        showPercent();
        throw ERejectedInput("Доля сохраняемых коэффициентов — от 0 до 100 %, а введено «"
            + typed.toStdString() + "».");
    }
    const bool changed = value != percent;
    if (compression && changed) {
        const BusyCursor busy;
        compression->keep(value);
    }
    percent = value;
    showPercent(); // as the page writes it: "12.50" becomes "12.5"
    if (compression && changed)
        showCompressed();
}

void ImagePage::showPercent()
{
    edImagePercent->setText(percentText(percent));
}

// The image opened, or that of all the coefficients read, and the saves of what comes of it.
void ImagePage::showOriginal()
{
    const ImageData& original = compression->original();
    const image::Pixels& first = original.channels.front();
    const QString size = IntToStr(first.width) + " × " + IntToStr(first.height);
    QString caption = "Исходное: " + size
        + (original.channels.size() == 1 ? ", оттенки серого" : ", три канала цвета");
    if (source)
        caption = "Из коэффициентов: " + size
            + ", m=" + IntToStr(compression->transform().parameters().m)
            + (source->channel == image::Channel::Grey
                    ? QString()
                    : QString(", канал ") + image::channelName(source->channel));
    imgOriginal->setPicture(toImage(original.channels), caption);
    for (QPushButton* save : {btnImageSave, btnImageSaveCoefficients})
        save->setEnabled(true);
}

// What the coefficients kept give: the reconstruction, its difference, the pyramid, the result
// and the point of the chart.
void ImagePage::showCompressed()
{
    const ImageCompression& c = *compression;
    imgReconstruction->setPicture(toImage(c.reconstruction()),
        "Восстановление по " + percentText(c.percent()) + " % коэффициентов");
    const DifferencePicture difference
        = differencePicture(c.original().channels, c.reconstruction());
    imgDifference->setPicture(difference.image,
        difference.scale == 0 ? QString("Разность: нет (всё серое)")
                              : "Разность: серый 0, белый +" + number(difference.scale, 3)
                + ", чёрный −" + number(difference.scale, 3));
    const image::ImageParameters& p = c.transform().parameters();
    imgPyramid->setPicture(pyramidPicture(c.kept()),
        "log₁₀ |c|, " + IntToStr(int(pyramidDecades)) + " декад; Jx=" + IntToStr(p.Jx)
            + ", Jy=" + IntToStr(p.Jy) + ", J0=" + IntToStr(p.J0),
        bandOutlines(c.transform()));
    showResult();
    markPercent();
}

void ImagePage::showResult()
{
    const ImageQuality& quality = compression->quality();
    lblImageResult->setText("PSNR " + psnrText(quality.psnr) + ", у краёв (8 пикселей) "
        + psnrText(quality.edgePsnr) + "; сохранено " + QString::number(compression->keptCount())
        + " из " + QString::number(compression->total()) + " коэффициентов");
}

// A new compression: its curve from the start, at once if the page is shown, else when it is.
void ImagePage::restartCurve()
{
    curveComing.reset();
    curve.clear();
    static_cast<QXYSeries*>(chImagePsnr->chart()->series()[0])->clear();
    markPercent();
    startCurve();
}

// The points of the curve not computed yet, while the page is shown.
void ImagePage::startCurve()
{
    const std::vector<double> all = curvePercentages();
    if (!compression || curveComing || curve.size() >= all.size() || !shown())
        return;
    curveComing = std::make_unique<PsnrCurve>(compression,
        std::vector<double>(all.begin() + std::ptrdiff_t(curve.size()), all.end()), this,
        [this](QPointF point) { addCurvePoint(point); });
}

void ImagePage::addCurvePoint(QPointF point)
{
    curve.push_back(point);
    static_cast<QXYSeries*>(chImagePsnr->chart()->series()[0])
        ->append(point.x(), std::min(point.y(), psnrShownAtMost));
    markPercent();
}

// The red point at the percentage in force, and the PSNR axis over it and the curve.
void ImagePage::markPercent()
{
    auto* mark = static_cast<QXYSeries*>(chImagePsnr->chart()->series()[1]);
    mark->clear();
    if (!compression)
        return;
    const double psnr = std::min(compression->quality().psnr, psnrShownAtMost);
    // A logarithmic axis has no 0 %: the point stands at the left end instead.
    mark->append(std::max(percent, curvePercentages().front()), psnr);
    double low = psnr, high = psnr;
    for (QPointF point : curve) {
        low = std::min(low, std::min(point.y(), psnrShownAtMost));
        high = std::max(high, std::min(point.y(), psnrShownAtMost));
    }
    fitAxis(static_cast<QValueAxis*>(chImagePsnr->chart()->axes(Qt::Vertical).first()), low, high,
        0.05);
}

QString ImagePage::curveTip(QPointF at) const
{
    auto nearest = std::min_element(curve.begin(), curve.end(), [at](QPointF p, QPointF q) {
        return std::abs(std::log(p.x() / at.x())) < std::abs(std::log(q.x() / at.x()));
    });
    if (nearest == curve.end())
        return {};
    return "сохранено " + percentText(nearest->x()) + " %\nPSNR " + psnrText(nearest->y());
}

std::optional<QString> ImagePage::saveTarget(QFileDialog& dialog, const QString& waiting,
    const QString& suffix, std::optional<WaitingStatus>& status) const
{
    if (QStatusBar* bar = statusBar())
        status.emplace(bar, waiting);
    const std::optional<QString> chosen = runFileDialog(dialog);
    return chosen ? std::optional(withSuffix(*chosen, suffix)) : std::nullopt;
}

void ImagePage::saveClicked()
{
    std::optional<WaitingStatus> status;
    const std::optional<QString> name
        = saveTarget(*saveDialog, "Подождите, идет сохранение изображения...", "png", status);
    if (name && saveWholeFile(*name, pngBytes(compression->reconstruction())) && status)
        status->complete("Восстановление было сохранено в " + *name);
}

// The coefficients kept, those set to 0 too, in the image coefficient file of each channel: of
// a colour image three files (channelFile). A save that fails stops the rest.
void ImagePage::saveCoefficientsClicked()
{
    std::optional<WaitingStatus> status;
    const std::optional<QString> chosen = saveTarget(
        *coefficientsDialog, "Подождите, идет сохранение коэффициентов...", "csv", status);
    if (!chosen)
        return;
    const QString& name = *chosen;
    const std::vector<image::ImageCoefficients>& kept = compression->kept();
    const image::Pixels& first = compression->original().channels.front();
    // The image's file names where the coefficients came from, a coefficient file's as it says;
    // a line break would end the key line of the file.
    const std::string origin = source
        ? source->function
        : "image:" + QFileInfo(file).fileName().replace('\n', ' ').replace('\r', ' ').toStdString();
    QStringList written;
    for (std::size_t c = 0; c < kept.size(); ++c) {
        const image::Channel channel = kept.size() > 1
            ? image::Channel(int(image::Channel::Red) + int(c))
            : source ? source->channel
                     : image::Channel::Grey;
        const QString target = kept.size() == 1 ? name : channelFile(name, channel);
        const image::ImageCoefficientFile saved {
            kept[c], first.width, first.height, channel, origin};
        if (!saveWholeFile(target, QByteArray::fromStdString(image::imageCoefficientText(saved))))
            return;
        written << target;
    }
    if (status)
        status->complete("Коэффициенты были сохранены в " + written.join(", "));
}
