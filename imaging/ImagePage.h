#pragma once

#include "core/ImageFile.h"
#include "engine/Basis.h"
#include "image/ImageCoefficientFile.h"

#include <QPointF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ImageCompression;
class ImageView;
class PsnrCurve;
class QChartView;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class WaitingStatus;

// The order and the rule of the images' basis: those chosen on the main window.
struct ImageBasis
{
    int m = 4;
    engine::Rule rule = engine::Rule::Default;
};

// The page "Изображение": an image opened from a file, its two-dimensional transform in the
// basis of the window's order and rule, the coefficients kept at a percentage, and four views:
// the original, the reconstruction, their difference and the coefficient pyramid; the PSNR
// against the percentage kept on a chart. The page holds its own state (ImageCompression) and
// reads the window only through the basis it is given.
//
// Costs, N = pixels of the image, C = channels (1 grey, 3 by colour), m the order:
//   open, a change of channels    read O(C N), forward O(C N m^2), keep + inverse
//                                 O(C N m), pictures O(C N)
//   open a coefficient file       read O(N), inverse O(N m) for the original, keep + inverse
//                                 O(N m), pictures O(N)
//   a change of the percentage    keep O(C N) on average + inverse O(C N m), pictures O(C N)
//   a change of order or rule     as an open without the read, when the page is (next) shown
//   the PSNR curve                20 points of keep + inverse each, on a thread of its own
//                                 (PsnrCurve), from when the page is first shown with the image
//   the saves                     PNG O(C N); CSV O(C N) numbers of 17 digits
class ImagePage : public QWidget
{
    Q_OBJECT

public:
    ImagePage(std::function<ImageBasis()> basis, QWidget* parent = nullptr);
    ~ImagePage() override;

    // The window's order or rule may have changed: the transform follows at once when the page
    // is shown, otherwise when it is next shown.
    void basisChanged();

    // The percentages of the PSNR curve: 0.1 .. 100 %, evenly on a logarithmic scale.
    static std::vector<double> curvePercentages();
    // PSNR above this is drawn at it: the largest difference is then far below a grey level.
    static constexpr double psnrShownAtMost = 100;

protected:
    bool event(QEvent* event) override;

private:
    void createTools();
    QWidget* createViews();
    QChartView* createChart();
    void createDialogs();
    void connectControls();

    // The commands of the controls.
    void openClicked();
    void channelsChanged();
    void percentTyped();
    void saveClicked();
    void saveCoefficientsClicked();

    // Where coefficients read from a file came from: their channel and the image they are of
    // ("image:NAME"), both written again by a save.
    struct CoefficientSource
    {
        image::Channel channel = image::Channel::Grey;
        std::string function;
    };
    // What a transform makes: the compression, how the status line names it, and the source
    // when it was read from a coefficient file.
    struct Made
    {
        std::shared_ptr<ImageCompression> compression;
        QString what;
        std::optional<CoefficientSource> source;
    };

    // Reads the file, an image or an image's coefficient file, and transforms it; nothing
    // changes when it cannot be read or transformed.
    void open(const QString& name, ImageChannels how);
    Made made(const QString& name, ImageChannels how) const;
    ImageChannels channelsChosen() const;
    bool shown() const; // the page is the current one of its window
    void followBasis();
    void transform(const std::function<Made()>& make);
    QString basisNote() const;
    void showOriginal();
    void showCompressed();
    void showResult();
    void showPercent();
    void restartCurve();
    void startCurve();
    void addCurvePoint(QPointF point);
    void markPercent();
    QString curveTip(QPointF at) const;
    QStatusBar* statusBar() const;
    // The file a save writes: `waiting` on the status line, the name chosen in the dialog with
    // `suffix` added where it has none; nothing when the dialog is cancelled.
    std::optional<QString> saveTarget(QFileDialog& dialog, const QString& waiting,
        const QString& suffix, std::optional<WaitingStatus>& status) const;

    std::function<ImageBasis()> basis;
    std::shared_ptr<ImageCompression> compression; // none until an image is opened
    QString file; // the image's file, or its coefficient file
    // Of coefficients read from a file; their basis holds on the page, not the window's.
    std::optional<CoefficientSource> source;
    ImageChannels channels = ImageChannels::Grey; // how it was read
    double percent = 5; // the percentage of coefficients kept, 0 .. 100
    bool basisDue = false; // the window's basis changed while the page was not shown
    std::vector<QPointF> curve; // (percentage, PSNR) computed so far, PSNR as it is
    std::unique_ptr<PsnrCurve> curveComing; // the rest of the curve, while it is computed

    QPushButton* btnImageOpen = nullptr;
    QComboBox* cbImageChannels = nullptr; // in the order of ImageChannels
    QLineEdit* edImagePercent = nullptr;
    QLabel* lblImageResult = nullptr;
    QPushButton* btnImageSave = nullptr;
    QPushButton* btnImageSaveCoefficients = nullptr;
    ImageView* imgOriginal = nullptr;
    ImageView* imgReconstruction = nullptr;
    ImageView* imgDifference = nullptr;
    ImageView* imgPyramid = nullptr;
    QChartView* chImagePsnr = nullptr;
    QFileDialog* openDialog = nullptr;
    QFileDialog* saveDialog = nullptr;
    QFileDialog* coefficientsDialog = nullptr;
};
