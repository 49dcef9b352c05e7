// Shows the program's window on the X display as a user leaves it after building the graphs
// for m = 3, and saves a picture of the screen. Usage: splinewave_screenshot FILE.png

#include "app/Application.h"
#include "app/Main_f.h"

#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    TApplication application(argc, argv);
    TMainForm* form = application.createMainForm();
    form->setGeometry(form->screen()->availableGeometry());
    form->show();
    form->cbStepSplain->setCurrentText("3");
    form->pcCenter->setCurrentWidget(form->tsGraphic);
    form->btnGraphic->click();
    bool saved = false;
    QTimer::singleShot(1500, [&] {
        saved = form->screen()->grabWindow(0).save(argv[1]);
        form->close();
    });
    application.exec();
    return saved ? 0 : 1;
}
