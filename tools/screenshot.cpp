// Shows the program's window on the X display and saves a picture of the screen.
// Usage: splinewave_screenshot FILE.png [graph|degree|transfer|analysis] [m=N] [J=N] [level=N]
//        [window=N] [colours=1]
//   graph     (the default, the README's) the graphs built for m = 3
//   degree    the graph page after the graphs of m = 3 and a change of degree to 4
//   transfer  the transform page after a forward transform of sin(2 pi x) exp(-x) for m = 3
//   analysis  the analysis page after the same transform
// m=N replaces the degree 3 (4 when J is given), J=N the level of the degree, level=N the level
// the graph page draws and window=N its window (0 left end, 1 middle, 2 right end); colours=1
// checks "разные цвета".

#include "app/Application.h"
#include "app/Main_f.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

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
    return saved ? 0 : 1;
}
