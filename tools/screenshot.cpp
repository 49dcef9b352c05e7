// Shows the program's window on the X display and saves a picture of the screen.
// Usage: splinewave_screenshot FILE.png [graph|degree|transfer|analysis|image] [m=N] [J=N]
//        [level=N] [window=N] [colours=1]
//   graph     (the default, the README's) the graphs built for m = 3
//   degree    the graph page after the graphs of m = 3 and a change of degree to 4
//   transfer  the transform page after a forward transform of sin(2 pi x) exp(-x) for m = 3
//   analysis  the analysis page after the same transform
//   image     the image page with a colour picture it draws itself, opened by channel
// m=N replaces the degree 3 (4 when J is given), J=N the level of the degree, level=N the level
// the graph page draws and window=N its window (0 left end, 1 middle, 2 right end); colours=1
// checks "разные цвета".

#include "app/Application.h"
#include "app/Main_f.h"
#include "imaging/ImagePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Answers the image page's file dialog with one file; a message goes to the terminal.
class AnswerSeam : public DialogSeam
{
public:
    explicit AnswerSeam(QString file)
        : file(std::move(file))
    {
    }
    void showMessage(const QString& text) override { qWarning("%s", qPrintable(text)); }
    QAction* choosePopupItem(QMenu&) override { return nullptr; }
    std::optional<QString> chooseFile(QFileDialog&) override { return file; }

private:
    QString file;
};

// A picture with smooth shades, sharp edges and fine stripes, 480 x 320.
QImage samplePicture()
{
    QImage picture(480, 320, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(250, 210, 150));
    painter.fillRect(picture.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 230, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(340, 110), 55, 55);
    painter.setBrush(QColor(30, 110, 40));
    painter.drawPolygon(
        QPolygonF({{0, 320}, {0, 230}, {150, 140}, {300, 250}, {480, 200}, {480, 320}}));
    painter.setPen(QPen(Qt::white, 2));
    for (int x = 20; x < 200; x += 6)
        painter.drawLine(x, 20, x, 90);
    painter.setFont(QFont("DejaVu Sans", 28, QFont::Bold));
    painter.drawText(QRect(0, 260, 480, 60), Qt::AlignCenter, "splinewave");
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QString scene = argc >= 3 ? argv[2] : "graph";
    QMap<QString, int> options;
    for (int i = 3; i < argc; ++i)
        options.insert(
            QString(argv[i]).section('=', 0, 0), QString(argv[i]).section('=', 1).toInt());
    TApplication application(argc, argv);
    QTemporaryDir scratch; // the image scene's picture
    std::unique_ptr<AnswerSeam> seam;
    TMainForm* form = application.createMainForm();
    form->setGeometry(form->screen()->availableGeometry());
    form->show();
    form->cbStepSplain->setCurrentText(
        QString::number(options.value("m", options.contains("J") ? 4 : 3)));
    if (options.contains("J"))
        form->sbFinestLevel->setValue(options["J"]);
    if (options.contains("level"))
        form->cbGraphLevel->setCurrentIndex(form->cbGraphLevel->findData(options["level"]));
    form->cbGraphWindow->setCurrentIndex(options.value("window"));
    form->chDistinctColours->setChecked(options.value("colours") == 1);
    if (scene == "graph" || scene == "degree") {
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->btnGraphic->click();
        if (scene == "degree")
            form->cbStepSplain->setCurrentText("4");
    } else if (scene == "image") {
        form->pcCenter->setCurrentWidget(form->tsImage);
        form->tsImage->findChild<QComboBox*>("cbImageChannels")->setCurrentIndex(1);
        const QString file = scratch.filePath("sample.png");
        samplePicture().save(file);
        seam = std::make_unique<AnswerSeam>(file);
        setDialogSeam(seam.get());
        form->tsImage->findChild<QPushButton*>("btnImageOpen")->click();
    } else {
        form->edtFunction->setText("sin(2*pi*x)*exp(-x)");
        form->btnBuild->click();
        form->pcCenter->setCurrentWidget(scene == "analysis" ? form->tsAnalysis : form->tsTransfer);
    }
    bool saved = false;
    QTimer::singleShot(1500, [&] {
        saved = form->screen()->grabWindow(0).save(argv[1]);
        form->close();
    });
    application.exec();
    setDialogSeam(nullptr);
    return saved ? 0 : 1;
}
