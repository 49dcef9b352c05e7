// Shows the program's window on the X display and saves a picture of the screen.
// Usage: splinewave_screenshot FILE.png [graph|degree|transfer|analysis [m [J]]]
//   graph     (the default, the README's) the graphs built for m = 3
//   degree    the graph page after the graphs of m = 3 and a change of degree to 4
//   transfer  the transform page after a forward transform of sin(2 pi x) exp(-x) for m = 3
//   analysis  the analysis page after the same transform
// m and J, when given, replace the degree 3 and the level of the degree.

#include "app/Application.h"
#include "app/Main_f.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 5)
        return 2;
    const QString scene = argc >= 3 ? argv[2] : "graph";
    TApplication application(argc, argv);
    TMainForm* form = application.createMainForm();
    form->setGeometry(form->screen()->availableGeometry());
    form->show();
    form->cbStepSplain->setCurrentText(argc > 3 ? argv[3] : "3");
    if (argc > 4)
        form->sbFinestLevel->setValue(QString(argv[4]).toInt());
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
