// The window's size and place, kept between runs in the settings (QSettings).

#include "app/Main_f.h"

#include <QCloseEvent>
#include <QSettings>

namespace {

const char* const geometryKey = "window/geometry";

} // namespace

// Where the window was when it was last closed, maximized or not; maximized the first time.
void TMainForm::showAsLastTime()
{
    if (restoreGeometry(QSettings().value(geometryKey).toByteArray()))
        show();
    else
        showMaximized();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    QSettings().setValue(geometryKey, saveGeometry());
    QMainWindow::closeEvent(event);
}
